// The installer state, its construction at load and the exports of the frame.
#include "core/installer.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "core/host.h"
#include "core/names.h"
#include "core/text.h"

namespace zk {

bool g_debugMode = false;
bool g_rebootRequired = false;
int __stdcall noDiscAnswer(int) { return 0; }
ZKDiscRequestCallback g_beforeDiscRequest = noDiscAnswer;
ZKDiscRequestCallback g_afterDiscRequest = noDiscAnswer;

// Load-time objects, in this order: the shared system object determines the
// system facts before the installer state reads them.
static CZKSystem s_sharedSystem;
static CZKInstaller s_installer;

CZKInstaller& installer() { return s_installer; }
CZKSystem& sharedSystem() { return s_sharedSystem; }

CZKInstaller::CZKInstaller() { detectLoadTimeLanguage(*this); }

void CZKInstaller::setDebugMode(bool debug) {
    m_debug = debug;
    m_system.setDebugMode(debug);
    m_directX.setDebug(debug);
}

void CZKInstaller::init(const char* executable) {
    m_hostModule = GetModuleHandleA(nullptr);
    setDebugMode(false);

    m_system.getOS(m_os);
    m_system.getWindowsSystemPath(m_windowsSystemPath);
    m_system.getWindowsPath(m_windowsPath);
    char cwd[MAX_PATH + 1] = {};
    DWORD n = GetCurrentDirectoryA(sizeof cwd, cwd);
    copyText(m_installFrom, n > 0 && n < sizeof cwd ? cwd : "");
    m_system.getTempPath(m_tempPath);
    m_system.getProgramFilesPath(m_programFilesPath);
    m_system.getStartMenuPath(m_startMenuPath);
    char startup[kText];
    m_system.getStartUpMenuPath(startup);
    startupFolderName(startup, m_startupFolderName, kText);
    m_system.getDesktopPath(m_desktopPath);

    copyText(m_displayName, "ZK Game");
    makeFriendlyName(m_friendlyName, m_displayName);
    makeFriendlyName(m_registryName, m_displayName);
    copyText(m_productName, "ZK Game");
    copyText(m_executable, executable);
    m_previouslyInstalled = false;
    copyText(m_company, "Vantorel");
    m_desktopShortcutWanted = true;
    m_rtPatchActive = false;
    m_directXInstalled = false;
    m_directXLicenceInStartMenu = true;
    m_languageSelectionScreen = false;
    m_ieForOnlineOnly = false;
    m_rtPatchURL[0] = '\0';
    m_productGUID[0] = '\0';
    m_minimumDirectX[0] = '\0';
    copyText(m_version, "1.0");
    memset(m_availableLanguages, 0, sizeof m_availableLanguages);

    // Resuming after a reboot: a pending restart brings back the interrupted
    // installation's game key, language and install-from location.
    m_installUtility.getRestartFlag(*this);

    cutTrailingBackslash(m_installFrom);
    setDiscFolders(*this);
}

void setDiscFolders(CZKInstaller& s) {
    formatText(s.m_autoRunFolder, kText, "%s\\AutoRun", s.m_installFrom);
    formatText(s.m_supportFolder, kText, "%s\\Support", s.m_installFrom);
    formatText(s.m_directXFolder, kText, "%s\\DirectX", s.m_installFrom);
}

void startupFolderName(const char* startupPath, char* out, int size) {
    char path[kText];
    copyText(path, startupPath);
    cutTrailingBackslash(path);
    const char* slash = strrchr(path, '\\');
    copyText(out, size, slash ? slash + 1 : path);
}

// --- debug log ---------------------------------------------------------------

static FILE* s_debugLog = nullptr;
static bool s_debugFirstUse = true;
static const char* const kDebugLogPath = "c:\\debugInstaller.txt";

} // namespace zk

using namespace zk;

// The web address of the Start-menu's web shortcut, exported for the host.
char g_WebURL[1024] = "";

int __stdcall DebugMessageBox(HWND owner, const char* text, const char* caption, unsigned style) {
    if (s_debugFirstUse) {
        s_debugFirstUse = false;
        s_debugLog = fopen(kDebugLogPath, "a");
        if (s_debugLog) {
            time_t now = time(nullptr);
            const char* stamp = asctime(localtime(&now));  // 24 characters and "\n"
            fprintf(s_debugLog, "Started: %s\n", stamp ? stamp : "\n");
        }
    }
    if (s_debugLog) {
        fprintf(s_debugLog, "%s - %s\n", text ? text : "", caption ? caption : "");
        fflush(s_debugLog);
    } else {
        MessageBoxA(owner, text, caption, style);
    }
    return 0;
}

// --- exports of the frame -----------------------------------------------------

bool ZKINSTALL_init(char* executable) {
    installer().init(executable);
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
