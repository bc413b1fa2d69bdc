// The frame of the exported API, driven only through the decorated exports.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>

#include "ZKInstall.h"
#include "zktest/harness.h"

namespace {

TEST(Frame, InitFillsTheStateFromTheSystem) {
    zktest::MessageScript script;
    ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
    char exe[] = "Game.exe";
    EXPECT_TRUE(ZKINSTALL_init(exe));
    char os[260] = {}, product[260] = {}, division[260] = {};
    ZKINSTALL_getOS(os);
    EXPECT_STRNE("", os);
    EXPECT_STREQ(CZKSystem::m_OS, os);
    ZKINSTALL_getProductName(product);
    ZKINSTALL_getProductDivision(division);
    EXPECT_EQ("ZK Game Vantorel", std::string(product) + " " + division);
    EXPECT_EQ(CZKSystem().getIsAdminstator(), ZKINSTALL_isAdministrator());
    EXPECT_FALSE(ZKINSTALL_getIsRebootRequired());
    ZKINSTALL_setInstallerWindowHandle(reinterpret_cast<HWND>(0x1234));
    EXPECT_EQ(reinterpret_cast<HWND>(0x1234), ZKINSTALL_getInstallerWindowHandle());
    ZKINSTALL_setInstallerWindowHandle(nullptr);
    ZKINSTALL_setDebugMode(true);
    EXPECT_TRUE(ZKINSTALL_getDebugMode());
    ZKINSTALL_setDebugMode(false);
    EXPECT_TRUE(script.calls().empty());
    EXPECT_TRUE(CZKSystem::initialized);
}

// A Visual C++ host calls the decorated constructor and uses what it returns.
TEST(Frame, ExportedConstructorsReturnThis) {
    HMODULE dll = GetModuleHandleA("ZKInstall.dll");
    ASSERT_TRUE(dll != nullptr);
    const auto symbol = [dll](const char* name) {
        return reinterpret_cast<void*>(GetProcAddress(dll, name));
    };
    for (const char* type : {"CZKSystem", "CZKRegistry"}) {
        const std::string suffix = std::string(type) + "@@QEAA@XZ";
        auto ctor = reinterpret_cast<void* (*)(void*)>(symbol(("??0" + suffix).c_str()));
        auto dtor = reinterpret_cast<void (*)(void*)>(symbol(("??1" + suffix).c_str()));
        ASSERT_TRUE(ctor && dtor) << type;
        alignas(16) unsigned char object[64];
        memset(object, 0xCC, sizeof object);
        EXPECT_EQ(static_cast<void*>(object), ctor(object)) << type;
        dtor(object);
    }
    ASSERT_TRUE(symbol("?m_OS@CZKSystem@@2PADA") != nullptr);
    EXPECT_STREQ(CZKSystem::m_OS, static_cast<const char*>(symbol("?m_OS@CZKSystem@@2PADA")));
}

TEST(Frame, ScreenSaverStateIsSavedOnceAndRestored) {
    auto set = [](UINT what, int on) { SystemParametersInfoA(what, on, nullptr, 0); };
    auto read = [](UINT what) {
        int v = -1;
        SystemParametersInfoA(what, 0, &v, 0);
        return v;
    };
    set(SPI_SETPOWEROFFACTIVE, 1);
    // Nothing saved yet: restoring changes nothing.
    set(SPI_SETSCREENSAVEACTIVE, 0);
    ZKINSTALL_RestoreScreenSaverState();
    EXPECT_EQ(0, read(SPI_GETSCREENSAVEACTIVE));
    set(SPI_SETSCREENSAVEACTIVE, 1);

    ZKINSTALL_SetScreenSaverState(0);
    EXPECT_EQ(0, read(SPI_GETSCREENSAVEACTIVE));
    const int powerOffAfterFirst = read(SPI_GETPOWEROFFACTIVE);
    ZKINSTALL_SetScreenSaverState(0);  // saves nothing the second time
    ZKINSTALL_SetScreenSaverState(1);
    EXPECT_EQ(1, read(SPI_GETSCREENSAVEACTIVE));
    ZKINSTALL_SetScreenSaverState(0);
    ZKINSTALL_RestoreScreenSaverState();
    EXPECT_EQ(1, read(SPI_GETSCREENSAVEACTIVE));
    if (powerOffAfterFirst == 0)  // only where the system keeps the power-off switch
        EXPECT_EQ(1, read(SPI_GETPOWEROFFACTIVE));
    EXPECT_TRUE(ZKINSTALL_restore());
    EXPECT_EQ(1, read(SPI_GETSCREENSAVEACTIVE));
}

TEST(Frame, ExecAndWaitReportsExitCodesAndTimeouts) {
    zktest::MessageScript script;
    ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
    zktest::ScratchDir dir;
    std::string program = zktest::binDir() + "\\zkfixture.exe", folder = dir.path();
    char exit9[] = "--exit 9", slow[] = "--sleep 3000";
    EXPECT_EQ(9, ZKINSTALL_execAndWait(&program[0], &folder[0], exit9, 0));
    EXPECT_EQ(259, ZKINSTALL_execAndWait(&program[0], &folder[0], slow, 3));  // still active
    EXPECT_TRUE(script.calls().empty());
}

// The debug log file is shared by every process of the prefix (see test.cmake).
TEST(Frame, DebugLogHasAStartLineAndTextCaptionLines) {
    const char* path = "c:\\debugInstaller.txt";
    DeleteFileA(path);
    EXPECT_EQ(0, DebugMessageBox(nullptr, "ZKINSTALL_isThisProgramRunning", "RUNNING", 0));
    EXPECT_EQ(0, DebugMessageBox(nullptr, "second", "caption two", MB_OK));
    const std::string log = zktest::readFile(path);
    EXPECT_TRUE(std::regex_match(
        log, std::regex("Started: [A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-3][0-9] [0-2][0-9]:[0-5][0-9]:"
                        "[0-6][0-9] [0-9]{4}\r\n\r\nZKINSTALL_isThisProgramRunning - RUNNING\r\n"
                        "second - caption two\r\n")))
        << log;
}

} // namespace
