// The frame of the exported API, driven only through the decorated exports.
#include <gtest/gtest.h>

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

    char os[260] = {};
    ZKINSTALL_getOS(os);
    CZKSystem system;
    char sysOs[260] = {};
    system.getOS(sysOs);
    EXPECT_STREQ(sysOs, os);
    EXPECT_STREQ(CZKSystem::m_OS, os);
    EXPECT_EQ(system.getIsAdminstator(), ZKINSTALL_isAdministrator());
    EXPECT_FALSE(ZKINSTALL_getIsRebootRequired());

    char folder[] = "D:\\Games\\Vantorel\\ZK Game";
    ZKINSTALL_setGameCacheLocation(folder);
    char out[260] = {};
    ZKINSTALL_getGameCacheLocation(out);
    EXPECT_STREQ(folder, out);

    HWND window = reinterpret_cast<HWND>(0x1234);
    ZKINSTALL_setInstallerWindowHandle(window);
    EXPECT_EQ(window, ZKINSTALL_getInstallerWindowHandle());
    ZKINSTALL_setInstallerWindowHandle(nullptr);

    ZKINSTALL_setDebugMode(true);
    EXPECT_TRUE(ZKINSTALL_getDebugMode());
    ZKINSTALL_setDebugMode(false);
    EXPECT_FALSE(ZKINSTALL_getDebugMode());
    EXPECT_TRUE(script.calls().empty());
}

TEST(Frame, FactsAreExportedAsDataAndMatchTheSystem) {
    char windows[MAX_PATH], systemDir[MAX_PATH], temp[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    GetSystemDirectoryA(systemDir, sizeof systemDir);
    GetTempPathA(sizeof temp, temp);
    std::string tempNoSlash(temp);
    tempNoSlash.pop_back();
    EXPECT_TRUE(CZKSystem::initialized);
    EXPECT_STREQ(windows, CZKSystem::m_windowsPath);
    EXPECT_STREQ(systemDir, CZKSystem::m_windowsSystemPath);
    EXPECT_EQ(tempNoSlash, CZKSystem::m_tempPath);
    EXPECT_TRUE(CZKSystem::m_isNT);

    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                                           "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                                           KEY_READ, &key));
    char pf[MAX_PATH] = {};
    DWORD size = sizeof pf;
    RegQueryValueExA(key, "ProgramFilesDir", nullptr, nullptr, reinterpret_cast<BYTE*>(pf), &size);
    RegCloseKey(key);
    EXPECT_STREQ(pf, CZKSystem::m_programFilesPath);

    // The profiles folder is the parent of the user's own profile.
    char profile[MAX_PATH] = {};
    GetEnvironmentVariableA("USERPROFILE", profile, sizeof profile);
    std::string parent(profile);
    parent = parent.substr(0, parent.find_last_of('\\'));
    EXPECT_STREQ(parent.c_str(), CZKSystem::m_profilesPath);
    for (const char* folder : {CZKSystem::m_startMenuPath, CZKSystem::m_startUpMenuPath,
                               CZKSystem::m_desktopPath})
        EXPECT_TRUE(zktest::isDirectory(folder)) << folder;
}

// A Visual C++ host calls the decorated constructor and uses what it returns.
TEST(Frame, ExportedConstructorsReturnThis) {
    HMODULE dll = GetModuleHandleA("ZKInstall.dll");
    ASSERT_TRUE(dll != nullptr);
    typedef void* (*Ctor)(void*);
    typedef void (*Dtor)(void*);
    struct Case {
        const char* ctor;
        const char* dtor;
    } cases[] = {
        {"??0CZKSystem@@QEAA@XZ", "??1CZKSystem@@QEAA@XZ"},
        {"??0CZKRegistry@@QEAA@XZ", "??1CZKRegistry@@QEAA@XZ"},
    };
    for (const Case& c : cases) {
        Ctor ctor = reinterpret_cast<Ctor>(reinterpret_cast<void*>(GetProcAddress(dll, c.ctor)));
        Dtor dtor = reinterpret_cast<Dtor>(reinterpret_cast<void*>(GetProcAddress(dll, c.dtor)));
        ASSERT_TRUE(ctor && dtor) << c.ctor;
        alignas(16) unsigned char object[64];
        memset(object, 0xCC, sizeof object);
        EXPECT_EQ(static_cast<void*>(object), ctor(object)) << c.ctor;
        dtor(object);
    }
    const char* os = reinterpret_cast<const char*>(GetProcAddress(dll, "?m_OS@CZKSystem@@2PADA"));
    ASSERT_TRUE(os != nullptr);
    EXPECT_STREQ(CZKSystem::m_OS, os);
}

TEST(Frame, ScreenSaverStateIsSavedOnceAndRestored) {
    auto read = [](UINT what) {
        int v = -1;
        SystemParametersInfoA(what, 0, &v, 0);
        return v;
    };
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0);
    SystemParametersInfoA(SPI_SETPOWEROFFACTIVE, 1, nullptr, 0);
    ASSERT_EQ(1, read(SPI_GETSCREENSAVEACTIVE));

    // Nothing saved yet: restoring changes nothing.
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 0, nullptr, 0);
    ZKINSTALL_RestoreScreenSaverState();
    EXPECT_EQ(0, read(SPI_GETSCREENSAVEACTIVE));
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0);

    ZKINSTALL_SetScreenSaverState(0);
    EXPECT_EQ(0, read(SPI_GETSCREENSAVEACTIVE));
    int powerOffAfterFirst = read(SPI_GETPOWEROFFACTIVE);
    ZKINSTALL_SetScreenSaverState(0);  // saves nothing the second time
    ZKINSTALL_SetScreenSaverState(1);
    EXPECT_EQ(1, read(SPI_GETSCREENSAVEACTIVE));
    ZKINSTALL_SetScreenSaverState(0);
    ZKINSTALL_RestoreScreenSaverState();
    EXPECT_EQ(1, read(SPI_GETSCREENSAVEACTIVE));
    if (powerOffAfterFirst == 0) {  // only where the system keeps the power-off switch
        EXPECT_EQ(1, read(SPI_GETPOWEROFFACTIVE));
    }
    EXPECT_TRUE(ZKINSTALL_restore());
    EXPECT_EQ(1, read(SPI_GETSCREENSAVEACTIVE));
}

TEST(Frame, ExecAndWaitReportsExitCodesAndTimeouts) {
    zktest::MessageScript script;
    ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
    zktest::ScratchDir dir;
    std::string fixture = zktest::binDir() + "\\zkfixture.exe";
    char program[MAX_PATH], folder[MAX_PATH];
    lstrcpynA(program, fixture.c_str(), MAX_PATH);
    lstrcpynA(folder, dir.path().c_str(), MAX_PATH);
    char exit9[] = "--exit 9";
    char slow[] = "--sleep 3000";
    EXPECT_EQ(9, ZKINSTALL_execAndWait(program, folder, exit9, 0));
    EXPECT_EQ(259, ZKINSTALL_execAndWait(program, folder, slow, 3));
    EXPECT_TRUE(script.calls().empty());
}

// The debug log file is shared by every process of the prefix (see test.cmake).
TEST(Frame, DebugLogHasAStartLineAndTextCaptionLines) {
    const char* path = "c:\\debugInstaller.txt";
    DeleteFileA(path);
    EXPECT_EQ(0, DebugMessageBox(nullptr, "ZKINSTALL_isThisProgramRunning", "RUNNING", 0));
    EXPECT_EQ(0, DebugMessageBox(nullptr, "second", "caption two", MB_OK));
    std::string log = zktest::readFile(path);
    std::regex layout(
        "Started: [A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] "
        "[0-9]{4}\r\n\r\nZKINSTALL_isThisProgramRunning - RUNNING\r\nsecond - caption two\r\n");
    EXPECT_TRUE(std::regex_match(log, layout)) << log;
}

} // namespace
