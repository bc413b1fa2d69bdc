// The installer state, its construction at load and the exports of the frame.
#include "core/installer.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "core/host.h"
#include "core/names.h"
#include "core/prompts.h"
#include "platform/text.h"

namespace zk {

bool g_debugMode = false;
bool g_rebootRequired = false;
int __stdcall noDiscAnswer(int) { return 0; }
ZKDiscRequestCallback g_beforeDiscRequest = noDiscAnswer;
ZKDiscRequestCallback g_afterDiscRequest = noDiscAnswer;

// Guards the install-from location and the disc folders, which the
// installation thread moves while the host may read them.
class DiscLock {
  public:
    DiscLock() { InitializeCriticalSection(&m_section); }
    ~DiscLock() { DeleteCriticalSection(&m_section); }
    void enter() { EnterCriticalSection(&m_section); }
    void leave() { LeaveCriticalSection(&m_section); }

  private:
    CRITICAL_SECTION m_section;
};
static DiscLock s_discLock;

// Load-time objects, in this order: the shared system object determines the
// system facts before the installer state reads them.
static CZKSystem s_sharedSystem;
static CZKInstaller s_installer;

CZKInstaller& installer() { return s_installer; }
CZKSystem& sharedSystem() { return s_sharedSystem; }

namespace {

int messageForPlatform(const char* text, const char* caption, unsigned style) {
    return showMessage(nullptr, text, caption, style);
}

// A setup program is missing: its disc is asked for in the install-from
// location's drive; quitting there ends the process.
bool askForProgramDisc(const char*) {
    char from[kText];
    copyInstallFrom(installer(), from, sizeof from);
    if (askForDisc(from[0], kTextQuitInstall) == kPromptQuit)
        quitInstaller("the user quit while a setup program's disc was missing");
    return true;
}

} // namespace

CZKInstaller::CZKInstaller() {
    setPlatformHooks({messageForPlatform, hostString, askForProgramDisc});
    detectLoadTimeLanguage(*this);
}


void CZKInstaller::setDebugMode(bool debug) {
    m_debug = debug;
    m_system.setDebugMode(debug);
}

void CZKInstaller::init(const char* executable) {
    m_hostModule = GetModuleHandleA(nullptr);
    setDebugMode(false);

    m_system.getOS(m_os);
    m_system.getWindowsSystemPath(m_windowsSystemPath);
    m_system.getWindowsPath(m_windowsPath);
    char cwd[MAX_PATH + 1] = {};
    DWORD n = GetCurrentDirectoryA(sizeof cwd, cwd);
    publishInstallFrom(*this, n > 0 && n < sizeof cwd ? cwd : "", 0);
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
    copyText(m_startMenuGroup, "Vantorel");
    m_iconFolderBase[0] = '\0';
    m_desktopShortcutWanted = true;
    m_rtPatchActive = false;
    m_directXInstalled = false;
    m_directXSetupRun = false;
    m_rebootRequired = false;
    m_directXLicenceInStartMenu = true;
    m_languageSelectionScreen = false;
    m_ieForOnlineOnly = false;
    m_rtPatchURL[0] = '\0';
    m_productGUID[0] = '\0';
    m_minimumDirectX[0] = '\0';
    copyText(m_version, "1.0");
    memset(m_availableLanguages, 0, sizeof m_availableLanguages);
}

void setDiscFolders(CZKInstaller& s) {
    formatText(s.m_autoRunFolder, kText, "%s\\AutoRun", s.m_installFrom);
    formatText(s.m_supportFolder, kText, "%s\\Support", s.m_installFrom);
    formatText(s.m_directXFolder, kText, "%s\\DirectX", s.m_installFrom);
}

void publishInstallFrom(CZKInstaller& s, const char* root, int disc) {
    s_discLock.enter();
    copyText(s.m_installFrom, root);
    cutTrailingBackslash(s.m_installFrom);
    setDiscFolders(s);
    if (disc != 0)
        s.m_currentDisc = disc;
    s_discLock.leave();
}

void copyInstallFrom(CZKInstaller& s, char* out, size_t cap) {
    s_discLock.enter();
    copyText(out, cap, s.m_installFrom);
    s_discLock.leave();
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
