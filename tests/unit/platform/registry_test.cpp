// CZKRegistry against the (Wine) registry, below a key of its own.
#include <gtest/gtest.h>

#include <string>

#include "ZKInstall.h"
#include "zktest/harness.h"
#include "zktest/regvalues.h"

namespace {

const HKEY HKLM = HKEY_LOCAL_MACHINE;

class Registry : public ::testing::Test {
  protected:
    void SetUp() override { zktest::deleteTree(HKLM, base); }
    void TearDown() override {
        reg.closeKey();
        zktest::deleteTree(HKLM, base);
    }
    bool exists(const std::string& sub) { return zktest::keyExists(HKLM, base + sub); }
    int create(const std::string& sub) { return reg.createKey(HKLM, (base + sub).c_str()); }
    const std::string base = "SOFTWARE\\ZKRegistryTest" + std::to_string(GetCurrentProcessId());
    CZKRegistry reg;
};

TEST_F(Registry, RootNamesInAnyCase) {
    const std::pair<std::string, HKEY> cases[] = {
        {"hkey_local_machine", HKEY_LOCAL_MACHINE}, {"Hkey_Current_User", HKEY_CURRENT_USER},
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},   {"HKEY_DYN_DATA", HKEY_DYN_DATA},
        {"HKLM", nullptr}, {"HKEY_LOCAL_MACHINE\\SOFTWARE", nullptr}, {"", nullptr},
    };
    for (auto c : cases)
        EXPECT_EQ(c.second, reg.stringToKey(&c.first[0])) << c.first;
}

TEST_F(Registry, ValuesRoundTripWithTheirTypesAndSizes) {
    ASSERT_EQ(0, create(""));
    EXPECT_EQ(0, reg.setValue("Text", "Hello"));
    EXPECT_EQ(0, reg.setValue("Number", 0xDEADBEEFul));
    // The terminating zero is stored.
    EXPECT_EQ((std::map<std::string, zktest::RegValue>{{"Text", zktest::sz("Hello")},
                                                       {"Number", zktest::dword(0xDEADBEEF)}}),
              zktest::readValues(HKLM, base));

    char text[260] = {}, small[3];
    unsigned long textSize = sizeof text, smallSize = sizeof small, number = 0;
    EXPECT_EQ(0, reg.getValue("Text", text, &textSize));
    EXPECT_STREQ("Hello", text);
    EXPECT_EQ(6ul, textSize);
    EXPECT_EQ(0, reg.getValue("Number", &number));
    EXPECT_EQ(0xDEADBEEFul, number);
    EXPECT_EQ(ERROR_MORE_DATA, reg.getValue("Text", small, &smallSize));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.getValue("Missing", &number));
    EXPECT_EQ(0, reg.deleteValue("Text"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.deleteValue("Text"));
}

TEST_F(Registry, ReadOnlyAndClosedObjectsRefuseToWrite) {
    unsigned long n;
    EXPECT_EQ(-1, reg.setValue("A", "x"));
    EXPECT_EQ(-1, reg.setValue("A", 1ul));
    EXPECT_EQ(-1, reg.getValue("A", &n));
    EXPECT_EQ(-1, reg.deleteValue("A"));
    ASSERT_EQ(0, create(""));
    ASSERT_EQ(0, reg.openKey(HKLM, base.c_str()));
    EXPECT_EQ(ERROR_ACCESS_DENIED, reg.setValue("A", "x"));
    reg.closeKey();
    EXPECT_EQ(-1, reg.setValue("A", "x"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.openKey(HKLM, (base + "\\Nope").c_str()));
}

TEST_F(Registry, DeleteKeyIfEmptyLooksAtSubkeysOnly) {
    ASSERT_EQ(0, create("\\WithValues"));
    reg.setValue("Kept", "until deleted");
    ASSERT_EQ(0, create("\\WithChild\\Child"));
    reg.closeKey();
    EXPECT_EQ(0, reg.deleteKeyIfEmpty((base + "\\WithValues").c_str()));
    EXPECT_FALSE(exists("\\WithValues"));
    EXPECT_EQ(ERROR_DIR_NOT_EMPTY, reg.deleteKeyIfEmpty((base + "\\WithChild").c_str()));
    EXPECT_TRUE(exists("\\WithChild\\Child"));
    EXPECT_EQ(ERROR_DIR_NOT_EMPTY, reg.deleteKeyIfEmpty((base + "\\Missing").c_str()));
}

TEST_F(Registry, XdelKeysRemovesTheTreeAndThenTheKeyAndEndsOnErrors) {
    EXPECT_NE(0, reg.XdelKeys((base + "\\Nothing").c_str()));  // no key open
    for (const char* k : {"\\A\\B\\C1\\D", "\\A\\B\\C1\\E", "\\A\\B\\C2", "\\A\\Sibling", "\\A\\B"})
        ASSERT_EQ(0, create(k));
    EXPECT_EQ(0, reg.XdelKeys((base + "\\A\\B").c_str()));
    EXPECT_FALSE(exists("\\A\\B"));
    EXPECT_TRUE(exists("\\A\\Sibling"));

    // Under a wrong path the children are never found: the call still ends, and fails.
    ASSERT_EQ(0, create("\\P\\Q\\R"));
    ASSERT_EQ(0, create("\\P"));
    EXPECT_NE(0, reg.XdelKeys((base + "\\WrongPath").c_str()));
    EXPECT_TRUE(exists("\\P\\Q"));

    // A path without a backslash has no parent to delete it from: the key stays.
    const std::string top = "ZKXdelTop" + std::to_string(GetCurrentProcessId());
    ASSERT_EQ(0, reg.createKey(HKLM, (top + "\\X\\Y").c_str()));
    ASSERT_EQ(0, reg.createKey(HKLM, top.c_str()));
    EXPECT_EQ(0, reg.XdelKeys(top.c_str()));
    reg.closeKey();
    EXPECT_TRUE(zktest::keyExists(HKLM, top));
    EXPECT_FALSE(zktest::keyExists(HKLM, top + "\\X"));
    zktest::deleteTree(HKLM, top);
}

} // namespace
