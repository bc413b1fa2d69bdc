// Facts the library determines once per process while it loads, read in a fresh
// host process (zkhostprobe) per case; run in the default prefix, in a Windows XP
// prefix and in one whose locale key the tests change (see test.cmake).
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "zktest/harness.h"

namespace {

std::map<std::string, std::string> probeFacts() {
    zktest::RunResult r = zktest::run("\"" + zktest::binDir() + "\\zkhostprobe.exe\" facts");
    EXPECT_EQ(0u, r.exitCode) << r.output;
    std::map<std::string, std::string> facts;
    for (const std::string& line : zktest::lines(r.output)) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos)
            facts[line.substr(0, eq)] = line.substr(eq + 1);
        else
            facts["message"] += line + "\n";
    }
    return facts;
}

TEST(Facts, OperatingSystemFoldersAndAdministratorRule) {
    const char* expected = getenv("ZK_EXPECT_OS");
    if (!expected)
        GTEST_SKIP() << "ZK_EXPECT_OS not set";
    auto facts = probeFacts();
    EXPECT_EQ(expected, facts["os"]);
    EXPECT_EQ("1", facts["nt"]);
    // Set without a check from Vista on; on XP Wine's user passes the access check.
    EXPECT_EQ("1", facts["admin"]);
    char windows[MAX_PATH], system[MAX_PATH], temp[MAX_PATH], pf[MAX_PATH], profile[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    GetSystemDirectoryA(system, sizeof system);
    GetTempPathA(sizeof temp, temp);
    *strrchr(temp, '\\') = '\0';
    DWORD size = sizeof pf;
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_LOCAL_MACHINE,
                                          "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                          "ProgramFilesDir", RRF_RT_REG_SZ, nullptr, pf, &size));
    GetEnvironmentVariableA("USERPROFILE", profile, sizeof profile);
    *strrchr(profile, '\\') = '\0';  // the profiles folder is its parent
    EXPECT_EQ(std::string(windows) + "|" + system + "|" + temp + "|" + pf + "|" + profile,
              facts["windows"] + "|" + facts["system"] + "|" + facts["temp"] + "|" +
                  facts["programfiles"] + "|" + facts["profiles"]);
    for (const char* key : {"startmenu", "desktop", "startup"})
        EXPECT_TRUE(zktest::isDirectory(facts[key])) << key << "=" << facts[key];
    EXPECT_EQ("", facts["message"]);
}

// Only in the prefix reserved for it: it rewrites the user's locale.
TEST(Locale, NorthAmericaFollowsTheLocaleCode) {
    const char* mine = getenv("ZK_LOCALE_TESTS");
    if (!mine || std::string(mine) != "1")
        GTEST_SKIP() << "needs the locale prefix";
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\International", 0,
                                             nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    const std::pair<std::string, const char*> cases[] = {
        {"00001009", "1"}, {"00000809", "0"}, {"00000407", "0"}, {"00000409", "1"}};
    for (const auto& c : cases) {  // ends on the prefix's own locale
        RegSetValueExA(key, "Locale", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.first.c_str()),
                       static_cast<DWORD>(c.first.size() + 1));
        auto facts = probeFacts();
        EXPECT_EQ(c.first, facts["locale"]);
        EXPECT_EQ(c.second, facts["northamerica"]) << c.first;
    }
    RegCloseKey(key);
}

} // namespace
