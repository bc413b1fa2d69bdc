// The exports of the frame: start-up, host callbacks, debug mode and the
// system facts the host asks for.

#include "core/host.h"
#include "core/installer.h"
#include "integration/game_registry.h"
#include "integration/restart.h"

using namespace zk;

bool ZKINSTALL_init(char* executable) {
    CZKInstaller& s = installer();
    s.init(executable);
    // Resuming after a reboot: a pending restart brings back the interrupted
    // installation's game key, language and install-from location.
    getRestartFlag(s);
    publishInstallFrom(s, s.m_installFrom, 0);
    // Then the run-once links go, so that each runs at most once.
    char startup[kText];
    s.m_system.getStartUpMenuPath(startup);
    removeRunOnceLinks(startup);
    return true;
}

void ZKINSTALL_setMessageBox(int(__stdcall* callback)(HWND, const char*, const char*, unsigned)) {
    g_messageBox = callback;
}

void ZKINSTALL_setBeforeCDRequest(int(__stdcall* callback)(int)) { g_beforeDiscRequest = callback; }
void ZKINSTALL_setAfterCDRequest(int(__stdcall* callback)(int)) { g_afterDiscRequest = callback; }
void ZKINSTALL_setInstallerWindowHandle(HWND window) { installer().m_installerWindow = window; }
HWND ZKINSTALL_getInstallerWindowHandle() { return installer().m_installerWindow; }

void ZKINSTALL_setDebugMode(bool debug) {
    installer().setDebugMode(debug);
    g_debugMode = debug;
}

bool ZKINSTALL_getDebugMode() { return g_debugMode; }

static struct {
    int screenSaver = 0;
    int powerOff = 0;
    bool saved = false;
} s_screenSaver;

void ZKINSTALL_SetScreenSaverState(int on) {
    int active = 0, powerOff = 0;
    SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    SystemParametersInfoA(SPI_GETPOWEROFFACTIVE, 0, &powerOff, 0);
    if (!s_screenSaver.saved) {
        s_screenSaver.screenSaver = active;
        s_screenSaver.powerOff = powerOff;
        s_screenSaver.saved = true;
    }
    if ((active != 0) != (on != 0))
        SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, active ? 0 : 1, nullptr, SPIF_SENDCHANGE);
    if ((powerOff != 0) != (on != 0))
        SystemParametersInfoA(SPI_SETPOWEROFFACTIVE, powerOff ? 0 : 1, nullptr, SPIF_SENDCHANGE);
}

void ZKINSTALL_RestoreScreenSaverState() {
    if (!s_screenSaver.saved)
        return;
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, s_screenSaver.screenSaver, nullptr,
                          SPIF_SENDCHANGE);
    SystemParametersInfoA(SPI_SETPOWEROFFACTIVE, s_screenSaver.powerOff, nullptr, SPIF_SENDCHANGE);
}

bool ZKINSTALL_restore() {
    ZKINSTALL_RestoreScreenSaverState();
    // Hosts call this just before they end; the pause lets the settings
    // broadcast reach the other windows first.
    Sleep(1000);
    return true;
}

bool ZKINSTALL_isAdministrator() { return installer().m_system.getIsAdminstator(); }
void ZKINSTALL_getOS(char* name) { copyText(name, kText, installer().m_os); }
bool ZKINSTALL_getIsRebootRequired() { return g_rebootRequired; }

void ZKINSTALL_getGameCacheLocation(char* folder) {
    copyText(folder, kText, installer().m_installFolder);
}
void ZKINSTALL_setGameCacheLocation(char* folder) { copyText(installer().m_installFolder, folder); }

int ZKINSTALL_execAndWait(char* program, char* folder, char* arguments, int timeout) {
    return static_cast<int>(sharedSystem().execAndWait(program, folder, arguments, timeout, 1));
}

bool ZKINSTALL_rebootSystem() {
    installer().m_system.rebootSystem();
    return true;
}
