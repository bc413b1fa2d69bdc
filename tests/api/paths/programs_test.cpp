// Running-program checks against fixture processes, and the product names, through the DLL.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ZKInstall.h"
#include "zktest/harness.h"

namespace {

bool running(std::string name, int allowed) {
    return ZKINSTALL_isThisProgramRunning(&name[0], allowed);
}

// Copies of the fixture program under a name no other test uses, so other tests' programs
// cannot change the counts.
TEST(RunningPrograms, CountsInstancesByFileName) {
    zktest::ScratchDir dir{"zkrun"};
    const std::string exeName = "zkrun_" + std::to_string(GetCurrentProcessId()) + ".exe";
    const std::string exePath = dir / exeName;
    ASSERT_TRUE(CopyFileA((zktest::binDir() + "\\zkfixture.exe").c_str(), exePath.c_str(), 0));
    std::vector<PROCESS_INFORMATION> started;
    auto start = [&](int sleepMs) {
        std::string cmd = "\"" + exePath + "\" --sleep " + std::to_string(sleepMs);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        started.emplace_back();
        EXPECT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &si, &started.back()));
    };

    // The checks run a second apart: a program gone after the first one is not running.
    start(1200);
    DWORD begin = GetTickCount();
    EXPECT_FALSE(running(exeName, 0));
    EXPECT_GE(GetTickCount() - begin, 900u) << "it was not seen by the first check";

    start(60000);
    start(60000);
    char own[MAX_PATH];
    GetModuleFileNameA(nullptr, own, sizeof own);
    std::string upper = exeName;
    CharUpperA(&upper[0]);
    const struct {
        std::string name;
        int allowed;
        bool expected;
    } cases[] = {
        {exeName, 1, true},   {exeName, 2, false},
        {upper, 1, true},     {exePath, 0, false},  // the file name, not a path
        {exeName.substr(0, exeName.size() - 4), 0, false},
        {strrchr(own, '\\') + 1, 0, true},          {"", 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, running(c.name, c.allowed)) << c.name << " allowed " << c.allowed;

    for (PROCESS_INFORMATION& pi : started) {
        TerminateProcess(pi.hProcess, 0);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
}

TEST(ProductNames, SettersDeriveTheInstallFolder) {
    char exe[] = "ZKGame.exe", friendly[] = "Harbour Lights 2", text[260 + 16];
    ASSERT_TRUE(ZKINSTALL_init(exe));
    ASSERT_TRUE(ZKINSTALL_getProductName(text));
    EXPECT_STREQ("ZK Game", text);
    ZKINSTALL_getProductDivision(text);
    EXPECT_STREQ("Vantorel", text);

    EXPECT_TRUE(ZKINSTALL_setFriendlyProductName(friendly));
    ASSERT_TRUE(ZKINSTALL_getFriendlyProductName(text));
    EXPECT_STREQ("Harbour Lights 2", text);
    char programFiles[MAX_PATH] = {};
    DWORD size = sizeof programFiles;
    ASSERT_EQ(ERROR_SUCCESS,
              RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                           "ProgramFilesDir", RRF_RT_REG_SZ, nullptr, programFiles, &size));
    ZKINSTALL_getGameCacheLocation(text);
    EXPECT_EQ(std::string(programFiles) + "\\Vantorel\\Harbour Lights 2", text);

    // The getter hands out at most a 260-byte field.
    std::string longName(400, 'n');
    EXPECT_TRUE(ZKINSTALL_setProductName(&longName[0]));
    memset(text, '#', sizeof text);
    ZKINSTALL_getProductName(text);
    EXPECT_EQ(std::string(259, 'n') + '\0' + std::string(16, '#'), std::string(text, sizeof text));
}

} // namespace
