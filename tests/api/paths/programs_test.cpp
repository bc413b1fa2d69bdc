// Running-program checks against fixture processes, and the product names
// with the folders derived from them, through the DLL.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ZKInstall.h"
#include "zktest/harness.h"

namespace {

// A copy of the fixture program under a name no other test uses, so programs
// started by tests running alongside cannot change the counts.
class RunningPrograms : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[64];
        snprintf(name, sizeof name, "zkrun_%lu.exe", GetCurrentProcessId());
        exeName = name;
        exePath = dir / exeName;
        ASSERT_TRUE(CopyFileA((zktest::binDir() + "\\zkfixture.exe").c_str(), exePath.c_str(),
                              FALSE));
    }
    void TearDown() override {
        for (PROCESS_INFORMATION& pi : started) {
            TerminateProcess(pi.hProcess, 0);
            WaitForSingleObject(pi.hProcess, 5000);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }

    void start(int sleepMs) {
        std::string cmd = "\"" + exePath + "\" --sleep " + std::to_string(sleepMs);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &si, &pi));
        started.push_back(pi);
    }

    bool running(const std::string& name, int allowed) {
        std::string copy = name;
        return ZKINSTALL_isThisProgramRunning(&copy[0], allowed);
    }

    static std::string ownName() {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, sizeof path);
        const char* slash = strrchr(path, '\\');
        return slash ? slash + 1 : path;
    }

    zktest::ScratchDir dir{"zkrun"};
    std::string exeName, exePath;
    std::vector<PROCESS_INFORMATION> started;
};

TEST_F(RunningPrograms, CountsInstancesByFileName) {
    EXPECT_FALSE(running(exeName, 0)) << "nothing started yet";
    start(60000);
    start(60000);
    std::string upper = exeName;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));

    struct Case {
        std::string name;
        int allowed;
        bool expected;
    } cases[] = {
        {exeName, 0, true},
        {exeName, 1, true},
        {exeName, 2, false},
        {upper, 1, true},                       // names compare without case
        {exePath, 0, false},                    // the file name, not a path
        {exeName.substr(0, exeName.size() - 4), 0, false},
        {ownName(), 0, true},
        {ownName(), 1, false},                  // only this test runs
        {"", 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, running(c.name, c.allowed)) << c.name << " allowed " << c.allowed;
}

TEST_F(RunningPrograms, ProgramThatEndsDuringTheChecksIsNotRunning) {
    // Four checks a second apart: a program that ends after the first one
    // must not be reported as running.
    start(1200);
    DWORD begin = GetTickCount();
    EXPECT_FALSE(running(exeName, 0));
    EXPECT_GE(GetTickCount() - begin, 900u) << "it was not seen by the first check";
}

TEST(ProductNames, SettersDeriveTheInstallFolder) {
    char exe[] = "ZKGame.exe";
    ASSERT_TRUE(ZKINSTALL_init(exe));

    char programFiles[MAX_PATH] = {};
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                                           "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                                           KEY_READ, &key));
    DWORD size = sizeof programFiles - 1;
    LONG rc = RegQueryValueExA(key, "ProgramFilesDir", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(programFiles), &size);
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, rc);

    char text[260];
    ASSERT_TRUE(ZKINSTALL_getProductName(text));
    EXPECT_STREQ("ZK Game", text);
    ZKINSTALL_getProductDivision(text);
    EXPECT_STREQ("Vantorel", text);

    char friendly[] = "Harbour Lights 2";
    EXPECT_TRUE(ZKINSTALL_setFriendlyProductName(friendly));
    ASSERT_TRUE(ZKINSTALL_getFriendlyProductName(text));
    EXPECT_STREQ("Harbour Lights 2", text);
    ZKINSTALL_getGameCacheLocation(text);
    EXPECT_EQ(std::string(programFiles) + "\\Vantorel\\Harbour Lights 2", text);

    // The product name moves the start-menu group, not the install folder.
    char product[] = "Harbour Lights: The Return";
    EXPECT_TRUE(ZKINSTALL_setProductName(product));
    ASSERT_TRUE(ZKINSTALL_getProductName(text));
    EXPECT_STREQ("Harbour Lights: The Return", text);
    ZKINSTALL_getGameCacheLocation(text);
    EXPECT_EQ(std::string(programFiles) + "\\Vantorel\\Harbour Lights 2", text);

    // Getters hand out at most a 260-byte field, however long the name was.
    std::string longName(400, 'n');
    EXPECT_TRUE(ZKINSTALL_setProductName(&longName[0]));
    char bounded[260 + 16];
    memset(bounded, '#', sizeof bounded);
    ZKINSTALL_getProductName(bounded);
    EXPECT_EQ(259u, strnlen(bounded, sizeof bounded));
    EXPECT_EQ('#', bounded[260]);
}

} // namespace
