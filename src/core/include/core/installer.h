// installer.h - the one process-wide installer state behind the exports.
// Every ZKINSTALL_ export forwards to this object or to a short-lived helper.
#ifndef ZK_CORE_INSTALLER_H
#define ZK_CORE_INSTALLER_H

#include "ZKInstall.h"
#include "platform/text.h"

namespace zk {

const int kLanguageCount = 26;

class CZKInstaller {
  public:
    CZKInstaller();

    // Fills paths and defaults (the start of ZKINSTALL_init).
    void init(const char* executable);
    void setDebugMode(bool debug);

    // host
    HWND m_installerWindow = nullptr;
    HMODULE m_hostModule = nullptr;
    HBITMAP m_sideBar = nullptr;

    // members
    CZKSystem m_system;

    // state
    bool m_debug = false;
    bool m_previouslyInstalled = false;
    bool m_directXInstalled = false;
    bool m_directXSetupRun = false;  // a DirectX setup was started by this installation
    bool m_rebootRequired = false;   // a DirectX setup asked for a restart
    bool m_northAmerica = false;
    bool m_iconHasFolder = false;
    bool m_desktopShortcutWanted = false;

    // system paths
    char m_os[kText] = {};
    char m_windowsPath[kText] = {};
    char m_windowsSystemPath[kText] = {};
    char m_programFilesPath[kText] = {};
    char m_tempPath[kText] = {};
    char m_startMenuPath[kText] = {};
    char m_desktopPath[kText] = {};

    // disc paths: the installation thread moves them when it finds a disc
    // elsewhere, so they change under a lock (publishInstallFrom) and are
    // read under it while a copy may run (copyInstallFrom).
    char m_installFrom[kText] = {};
    char m_autoRunFolder[kText] = {};
    char m_supportFolder[kText] = {};
    char m_directXFolder[kText] = {};

    // targets
    char m_installFolder[kText] = {};
    char m_startMenuFolder[kText] = {};
    char m_startupFolderName[kText] = {};
    char m_startMenuGroup[kText] = {};  // the group folder the host chose
    // The install folder before the desktop shortcut moved it into the icon's
    // subfolder; empty until then.
    char m_iconFolderBase[kText] = {};

    // product
    char m_displayName[kText] = {};
    char m_productName[kText] = {};
    char m_friendlyName[kText] = {};
    char m_registryName[kText] = {};
    char m_company[kText] = {};
    char m_registryKeyPath[kText] = {};
    char m_executable[kText] = {};
    char m_icon[kText] = {};
    char m_version[kText] = {};
    char m_productGUID[kText] = {};
    char m_suppressionExe[kText] = {};
    char m_coreLink[kText] = {};
    char m_rtPatchURL[kText] = {};
    char m_rtPatchDiscId[kText] = {};
    char m_webURL[1024] = {};

    // switches
    bool m_demo = false;
    bool m_techSupport = false;
    bool m_autoSort = false;
    bool m_rtPatchActive = false;
    bool m_directXLicenceInStartMenu = false;
    bool m_languageSelectionScreen = false;
    bool m_ieForOnlineOnly = false;
    bool m_flashForOnlineOnly = false;
    bool m_zksoInstall = false;
    bool m_splashScreen = false;
    bool m_slideShow = false;
    bool m_gameHasStreaming = false;
    bool m_toolsLicence = false;
    bool m_toolsLicenceDeclineContinues = false;
    bool m_gameSpyInstall = false;
    bool m_zkdInstall = false;

    // versions
    char m_minimumDirectX[kText] = {};
    char m_minimumIE[kText] = {};
    char m_cdIE[kText] = {};
    char m_minimumFlash[kText] = {};
    // DirectX names found on first use (empty until then)
    char m_cdDirectXName[kText] = {};
    char m_userDirectXName[kText] = {};
    char m_existingIE[kText] = {};     // "%d.%d" of the installed IE, as last checked
    char m_existingFlash[kText] = {};  // the installed Flash, as last found

    // sizes
    __int64 m_cacheMinimum = 0;
    __int64 m_cacheSatisfactory = 0;
    __int64 m_cacheFull = 0;
    __int64 m_installMinimum = 0;
    __int64 m_installSatisfactory = 0;
    __int64 m_installFull = 0;
    __int64 m_installFullNoStreaming = 0;
    __int64 m_swapSize = 0;
    __int64 m_gameCacheSize = 0;
    __int64 m_gameSwapSize = 0;

    // discs
    int m_startupDisc = 0;
    int m_currentDisc = 0;  // disc in the install-from location, as last identified

    // languages
    int m_currentLanguage = 0;
    bool m_availableLanguages[kLanguageCount] = {};
    char m_languagePrefix[kText] = {};
    char m_readmeFile[kText] = {};
    char m_licenceFile[kText] = {};
    char m_helpFile[kText] = {};
    char m_prefixUnderscores[kText] = {};
    bool m_languageFromRegistry = false;
    int m_numLanguages = 0;
};

// Sets the AutoRun, Support and DirectX folders from the install-from location.
void setDiscFolders(CZKInstaller& s);
// Moves the install-from location (without its trailing backslash) and the
// disc folders with it; a disc number of 0 leaves the current disc as it is.
void publishInstallFrom(CZKInstaller& s, const char* root, int disc);
// The install-from location as it is now.
void copyInstallFrom(CZKInstaller& s, char* out, size_t cap);
// The last component of the Startup folder's path (one trailing backslash cut).
void startupFolderName(const char* startupPath, char* out, int size);
// Chooses the user's language while the library loads.
void detectLoadTimeLanguage(CZKInstaller& s);

// The process-wide objects, constructed when the library loads.
CZKInstaller& installer();
CZKSystem& sharedSystem();

// Process-wide switches.
extern bool g_debugMode;
extern bool g_rebootRequired;


} // namespace zk

#endif
