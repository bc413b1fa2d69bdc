// CZKRegistry against the (Wine) registry, below a key of its own.
#include <gtest/gtest.h>

#include <string>

#include "ZKInstall.h"
#include "zktest/harness.h"

namespace {

class Registry : public ::testing::Test {
  protected:
    void SetUp() override { zktest::deleteTree(HKEY_LOCAL_MACHINE, base); }
    void TearDown() override {
        reg.closeKey();
        zktest::deleteTree(HKEY_LOCAL_MACHINE, base);
    }
    bool exists(const std::string& sub) {
        return zktest::keyExists(HKEY_LOCAL_MACHINE, base + sub);
    }
    const std::string base = "SOFTWARE\\ZKRegistryTest" + std::to_string(GetCurrentProcessId());
    CZKRegistry reg;
};

TEST_F(Registry, RootNamesInAnyCase) {
    struct Case {
        const char* name;
        HKEY key;
    } cases[] = {
        {"hkey_local_machine", HKEY_LOCAL_MACHINE}, {"Hkey_Current_User", HKEY_CURRENT_USER},
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},   {"HKEY_DYN_DATA", HKEY_DYN_DATA},
        {"HKLM", nullptr}, {"HKEY_LOCAL_MACHINE\\SOFTWARE", nullptr}, {"", nullptr},
    };
    for (const Case& c : cases) {
        std::string name = c.name;
        EXPECT_EQ(c.key, reg.stringToKey(&name[0])) << c.name;
    }
}

TEST_F(Registry, ValuesRoundTripWithTheirTypesAndSizes) {
    ASSERT_EQ(0, reg.createKey(HKEY_LOCAL_MACHINE, base.c_str()));
    EXPECT_EQ(0, reg.setValue("Text", "Hello"));
    EXPECT_EQ(0, reg.setValue("Number", 0xDEADBEEFul));

    // Checked with the system calls: the terminating zero is stored.
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, base.c_str(), 0, KEY_READ, &key));
    DWORD type = 0, size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Text", nullptr, &type, nullptr, &size));
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_EQ(6u, size);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Number", nullptr, &type, nullptr, &size));
    EXPECT_EQ(DWORD(REG_DWORD), type);
    RegCloseKey(key);

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
    ASSERT_EQ(0, reg.createKey(HKEY_LOCAL_MACHINE, base.c_str()));
    ASSERT_EQ(0, reg.openKey(HKEY_LOCAL_MACHINE, base.c_str()));
    EXPECT_EQ(ERROR_ACCESS_DENIED, reg.setValue("A", "x"));
    reg.closeKey();
    EXPECT_EQ(-1, reg.setValue("A", "x"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.openKey(HKEY_LOCAL_MACHINE, (base + "\\Nope").c_str()));
}

TEST_F(Registry, DeleteKeyIfEmptyLooksAtSubkeysOnly) {
    ASSERT_EQ(0, reg.createKey(HKEY_LOCAL_MACHINE, (base + "\\WithValues").c_str()));
    reg.setValue("Kept", "until deleted");
    ASSERT_EQ(0, reg.createKey(HKEY_LOCAL_MACHINE, (base + "\\WithChild\\Child").c_str()));
    reg.closeKey();
    EXPECT_EQ(0, reg.deleteKeyIfEmpty((base + "\\WithValues").c_str()));
    EXPECT_FALSE(exists("\\WithValues"));
    EXPECT_EQ(ERROR_DIR_NOT_EMPTY, reg.deleteKeyIfEmpty((base + "\\WithChild").c_str()));
    EXPECT_TRUE(exists("\\WithChild\\Child"));
    EXPECT_EQ(ERROR_DIR_NOT_EMPTY, reg.deleteKeyIfEmpty((base + "\\Missing").c_str()));
}

TEST_F(Registry, XdelKeysRemovesTheTreeAndThenTheKey) {
    for (const char* k : {"\\A\\B\\C1\\D", "\\A\\B\\C1\\E", "\\A\\B\\C2", "\\A\\Sibling"})
        ASSERT_EQ(0, reg.createKey(HKEY_LOCAL_MACHINE, (base + k).c_str()));
    ASSERT_EQ(0, reg.createKey(HKEY_LOCAL_MACHINE, (base + "\\A\\B").c_str()));
    EXPECT_EQ(0, reg.XdelKeys((base + "\\A\\B").c_str()));
    EXPECT_FALSE(exists("\\A\\B"));
    EXPECT_TRUE(exists("\\A\\Sibling"));

    // A path without a backslash has no parent to delete it from: the key stays.
    const std::string top = "ZKXdelTop" + std::to_string(GetCurrentProcessId());
    ASSERT_EQ(0, reg.createKey(HKEY_LOCAL_MACHINE, (top + "\\X\\Y").c_str()));
    ASSERT_EQ(0, reg.createKey(HKEY_LOCAL_MACHINE, top.c_str()));
    EXPECT_EQ(0, reg.XdelKeys(top.c_str()));
    reg.closeKey();
    EXPECT_TRUE(zktest::keyExists(HKEY_LOCAL_MACHINE, top));
    EXPECT_FALSE(zktest::keyExists(HKEY_LOCAL_MACHINE, top + "\\X"));
    zktest::deleteTree(HKEY_LOCAL_MACHINE, top);
}

TEST_F(Registry, XdelKeysEndsOnErrors) {
    EXPECT_NE(0, reg.XdelKeys((base + "\\Nothing").c_str()));  // no key open
    // Under a wrong path a subkey's children are never found, so it cannot be
    // deleted: the call must still end, and report the failure.
    ASSERT_EQ(0, reg.createKey(HKEY_LOCAL_MACHINE, (base + "\\P\\Q\\R").c_str()));
    ASSERT_EQ(0, reg.createKey(HKEY_LOCAL_MACHINE, (base + "\\P").c_str()));
    EXPECT_NE(0, reg.XdelKeys((base + "\\WrongPath").c_str()));
    EXPECT_TRUE(exists("\\P\\Q"));
}

} // namespace
