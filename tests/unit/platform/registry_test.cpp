// CZKRegistry against the real (Wine) registry, in a key of its own.
#include <gtest/gtest.h>

#include <string>

#include "ZKInstall.h"
#include "zktest/harness.h"

namespace {

class Registry : public ::testing::Test {
  protected:
    void SetUp() override {
        base = "SOFTWARE\\ZKRegistryTest" + std::to_string(GetCurrentProcessId());
        zktest::deleteTree(HKEY_LOCAL_MACHINE, base);
    }
    void TearDown() override { zktest::deleteTree(HKEY_LOCAL_MACHINE, base); }
    std::string base;
};

TEST_F(Registry, RootNames) {
    CZKRegistry reg;
    struct Case {
        const char* name;
        HKEY key;
    } cases[] = {
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"hkey_local_machine", HKEY_LOCAL_MACHINE},
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"Hkey_Current_User", HKEY_CURRENT_USER},
        {"HKEY_USERS", HKEY_USERS},
        {"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
        {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
        {"HKEY_DYN_DATA", HKEY_DYN_DATA},
        {"HKLM", nullptr},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        std::string name = c.name;
        EXPECT_EQ(c.key, reg.stringToKey(&name[0])) << c.name;
    }
}

TEST_F(Registry, ValuesRoundTripWithTheirTypesAndSizes) {
    CZKRegistry reg;
    ASSERT_EQ(0, reg.createKey(HKEY_LOCAL_MACHINE, (base + "\\Game").c_str()));
    EXPECT_EQ(0, reg.setValue("Text", "Hello"));
    EXPECT_EQ(0, reg.setValue("Empty", ""));
    EXPECT_EQ(0, reg.setValue("Number", 0xDEADBEEFul));

    // Checked with the system calls, independently of the class.
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, (base + "\\Game").c_str(), 0, KEY_READ, &key));
    DWORD type = 0, size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Text", nullptr, &type, nullptr, &size));
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_EQ(6u, size);  // the terminating zero is stored
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Empty", nullptr, &type, nullptr, &size));
    EXPECT_EQ(1u, size);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Number", nullptr, &type, nullptr, &size));
    EXPECT_EQ(DWORD(REG_DWORD), type);
    EXPECT_EQ(4u, size);
    RegCloseKey(key);

    char text[260] = {};
    unsigned long textSize = sizeof text;
    EXPECT_EQ(0, reg.getValue("Text", text, &textSize));
    EXPECT_STREQ("Hello", text);
    EXPECT_EQ(6ul, textSize);
    unsigned long number = 0;
    EXPECT_EQ(0, reg.getValue("Number", &number));
    EXPECT_EQ(0xDEADBEEFul, number);
    // The type is not looked at: a short string read as a number gives its
    // bytes; a longer one does not fit the four bytes.
    EXPECT_EQ(0, reg.setValue("Short", "ab"));
    EXPECT_EQ(0, reg.getValue("Short", &number));
    EXPECT_EQ(0x6261ul, number);
    EXPECT_EQ(ERROR_MORE_DATA, reg.getValue("Text", &number));
    char small[3];
    unsigned long smallSize = sizeof small;
    EXPECT_EQ(ERROR_MORE_DATA, reg.getValue("Text", small, &smallSize));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.getValue("Missing", &number));

    EXPECT_EQ(0, reg.deleteValue("Text"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.deleteValue("Text"));
}

TEST_F(Registry, ReadOnlyAndClosedObjectsRefuseToWrite) {
    CZKRegistry reg;
    EXPECT_EQ(-1, reg.setValue("A", "x"));
    EXPECT_EQ(-1, reg.setValue("A", 1ul));
    unsigned long n;
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
    CZKRegistry reg;
    ASSERT_EQ(0, reg.createKey(HKEY_LOCAL_MACHINE, (base + "\\WithValues").c_str()));
    reg.setValue("Kept", "until deleted");
    ASSERT_EQ(0, reg.createKey(HKEY_LOCAL_MACHINE, (base + "\\WithChild\\Child").c_str()));
    reg.closeKey();

    EXPECT_EQ(0, reg.deleteKeyIfEmpty((base + "\\WithValues").c_str()));
    EXPECT_FALSE(zktest::keyExists(HKEY_LOCAL_MACHINE, base + "\\WithValues"));
    EXPECT_EQ(ERROR_DIR_NOT_EMPTY, reg.deleteKeyIfEmpty((base + "\\WithChild").c_str()));
    EXPECT_TRUE(zktest::keyExists(HKEY_LOCAL_MACHINE, base + "\\WithChild\\Child"));
    EXPECT_EQ(ERROR_DIR_NOT_EMPTY, reg.deleteKeyIfEmpty((base + "\\Missing").c_str()));
}

TEST_F(Registry, XdelKeysRemovesTheTreeAndThenTheKey) {
    CZKRegistry reg;
    const char* keys[] = {"\\A\\B\\C1\\D", "\\A\\B\\C1\\E", "\\A\\B\\C2", "\\A\\Sibling"};
    for (const char* k : keys)
        ASSERT_EQ(0, reg.createKey(HKEY_LOCAL_MACHINE, (base + k).c_str()));
    reg.setValue("Deep", 1ul);

    std::string b = base + "\\A\\B";
    ASSERT_EQ(0, reg.createKey(HKEY_LOCAL_MACHINE, b.c_str()));
    EXPECT_EQ(0, reg.XdelKeys(b.c_str()));
    EXPECT_FALSE(zktest::keyExists(HKEY_LOCAL_MACHINE, b));
    EXPECT_TRUE(zktest::keyExists(HKEY_LOCAL_MACHINE, base + "\\A\\Sibling"));
}

TEST_F(Registry, XdelKeysOnAPathWithoutBackslashKeepsTheKey) {
    std::string top = "ZKXdelTop" + std::to_string(GetCurrentProcessId());
    CZKRegistry reg;
    ASSERT_EQ(0, reg.createKey(HKEY_LOCAL_MACHINE, (top + "\\X\\Y").c_str()));
    ASSERT_EQ(0, reg.createKey(HKEY_LOCAL_MACHINE, top.c_str()));
    EXPECT_EQ(0, reg.XdelKeys(top.c_str()));
    EXPECT_TRUE(zktest::keyExists(HKEY_LOCAL_MACHINE, top));
    EXPECT_FALSE(zktest::keyExists(HKEY_LOCAL_MACHINE, top + "\\X"));
    reg.closeKey();
    zktest::deleteTree(HKEY_LOCAL_MACHINE, top);
}

TEST_F(Registry, XdelKeysEndsOnErrors) {
    CZKRegistry closed;
    EXPECT_NE(0, closed.XdelKeys((base + "\\Nothing").c_str()));

    // Given the wrong path, the children of a subkey are never found, so the
    // subkey cannot be deleted; the loop must not spin on it: the call ends
    // and reports the failure.
    CZKRegistry reg;
    ASSERT_EQ(0, reg.createKey(HKEY_LOCAL_MACHINE, (base + "\\P\\Q\\R").c_str()));
    ASSERT_EQ(0, reg.createKey(HKEY_LOCAL_MACHINE, (base + "\\P").c_str()));
    int rc = reg.XdelKeys((base + "\\WrongPath").c_str());
    EXPECT_NE(0, rc);
    EXPECT_TRUE(zktest::keyExists(HKEY_LOCAL_MACHINE, base + "\\P\\Q"));
}

} // namespace
