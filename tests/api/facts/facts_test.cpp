// Facts the library determines once per process while it loads: checked in a
// fresh host process (zkhostprobe) per case.  The same program runs in the
// default prefix (Windows 7 as Wine reports it), in a Windows XP prefix, and in
// a prefix of its own whose locale key the tests change (see test.cmake).
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "zktest/harness.h"

namespace {

std::map<std::string, std::string> probeFacts() {
    zktest::RunResult r = zktest::run("\"" + zktest::binDir() + "\\zkhostprobe.exe\" facts");
    EXPECT_EQ(0u, r.exitCode) << r.output;
    std::map<std::string, std::string> facts;
    for (const std::string& line : zktest::lines(r.output)) {
        size_t eq = line.find('=');
        if (eq != std::string::npos)
            facts[line.substr(0, eq)] = line.substr(eq + 1);
        else
            facts["message"] += line + "\n";
    }
    return facts;
}

std::string env(const char* name) {
    const char* v = getenv(name);
    return v ? v : "";
}

TEST(Facts, OperatingSystemAndAdministratorRule) {
    std::string expected = env("ZK_EXPECT_OS");
    if (expected.empty())
        GTEST_SKIP() << "ZK_EXPECT_OS not set";
    auto facts = probeFacts();
    EXPECT_EQ(expected, facts["os"]);
    EXPECT_EQ("1", facts["nt"]);
    // On Vista and later the administrator flag is set without a check; on XP
    // the access check decides, and Wine's user belongs to Administrators.
    EXPECT_EQ("1", facts["admin"]);
    for (const char* key : {"startmenu", "desktop", "startup", "profiles", "programfiles"})
        EXPECT_TRUE(zktest::isDirectory(facts[key])) << key << "=" << facts[key];
    EXPECT_EQ("", facts["message"]);
}

// Runs only in the prefix reserved for it: it rewrites the user's locale.
class Locale : public ::testing::Test {
  protected:
    void SetUp() override {
        if (env("ZK_LOCALE_TESTS") != "1")
            GTEST_SKIP() << "needs the locale prefix";
    }
    void setLocale(const char* value) {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\International",
                                                 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                                 nullptr));
        RegSetValueExA(key, "Locale", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>(strlen(value) + 1));
        RegCloseKey(key);
    }
};

TEST_F(Locale, NorthAmericaFollowsTheLocaleCode) {
    struct Case {
        const char* locale;
        const char* na;
    } cases[] = {{"00000409", "1"}, {"00001009", "1"}, {"00000809", "0"}, {"00000407", "0"}};
    for (const Case& c : cases) {
        setLocale(c.locale);
        auto facts = probeFacts();
        EXPECT_EQ(c.locale, facts["locale"]);
        EXPECT_EQ(c.na, facts["northamerica"]) << c.locale;
    }
    setLocale("00000409");
}

} // namespace
