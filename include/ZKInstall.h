// ZKInstall.h - the exported interface of ZKInstall.dll.
// Every function, class and datum a host binds to is declared here with the
// exact types a Visual C++ host sees; the build derives the decorated export
// names from these declarations.
#ifndef ZKINSTALL_H
#define ZKINSTALL_H

#if defined(ZK_STANDALONE_TYPES)
// Used when the header is compiled without the Windows headers (the export
// name probe compiled for the Microsoft ABI).  Same types, same names.
struct HWND__;
struct HINSTANCE__;
struct HBITMAP__;
struct HKEY__;
typedef HWND__* HWND;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef HBITMAP__* HBITMAP;
typedef HKEY__* HKEY;
typedef unsigned long DWORD;
typedef void* HANDLE;
typedef void* LPVOID;
typedef union _LARGE_INTEGER {
    struct {
        DWORD LowPart;
        long HighPart;
    } u;
    __int64 QuadPart;
} LARGE_INTEGER;
typedef DWORD(__stdcall* LPPROGRESS_ROUTINE)(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER,
                                              LARGE_INTEGER, DWORD, DWORD, HANDLE, HANDLE,
                                              LPVOID);
#else
#include <windows.h>
#endif

// Hosts import everything; the library's own sources define ZK_API empty.
#ifndef ZK_API
#define ZK_API __declspec(dllimport)
#endif

// MFC's CString as the host passes it: one pointer to the characters.
namespace ATL {
template <typename T>
class ChTraitsCRT;
template <typename BaseType, class StringTraits>
class CStringT {
  public:
    const BaseType* m_pszData;
};
} // namespace ATL
template <typename T, class ChTraits>
class StrTraitMFC_DLL;
typedef ATL::CStringT<char, StrTraitMFC_DLL<char, ATL::ChTraitsCRT<char> > > CString;

// Verdict on a proposed install folder.
enum PathStatus {
    PathValid = 0,
    PathMalformed = 1,
    PathProtected = 2,
    PathTooLong = 3,
    PathBadCharacter = 4
};

// Progress record shared by the copy engine, the game installation and the
// archive extraction.  The caller owns it and everything it points to.
struct _zk_copyprogress {
    __int64* expectedTotal;
    __int64* copiedTotal;
    float* percent;
    void* reserved;
    __int64* fileDone;
    bool debug;
    bool suppress;
};

typedef int(__stdcall* ZKMessageBoxCallback)(HWND, const char*, const char*, unsigned);
typedef int(__stdcall* ZKDiscRequestCallback)(int);

// Lets the build's export probe take the address of private members.
struct ZKExportProbe;

// ---------------------------------------------------------------------------
// System facts, special folders and program start-up.
class ZK_API CZKSystem {
  public:
    CZKSystem();
    ~CZKSystem();
    CZKSystem& operator=(const CZKSystem&);

    void setDebugMode(bool);
    void getOS(char*);
    bool getIsNT();
    bool getIsAdminstator();
    bool getIsNorthAmerica();
    void getWindowsSystemPath(char*);
    void getWindowsPath(char*);
    void getTempPath(char*);
    void getProgramFilesPath(char*);
    void getStartMenuPath(char*);
    void getStartUpMenuPath(char*);
    void getDesktopPath(char*);
    void getProfilesPath(char*);
    bool convertVersion(char*);
    bool fileExists(const char*);
    unsigned long execAndWait(const char*, const char*, const char*, int, int);
    bool asyncExec(const char*, const char*, const char*);
    void rebootSystem();

    static bool initialized;
    static bool m_isNorthAmerica;
    static bool m_isNT;
    static bool m_isAdmin;
    static char m_OS[260];
    static char m_windowsSystemPath[260];
    static char m_programFilesPath[260];
    static char m_windowsPath[260];
    static char m_tempPath[260];
    static char m_startMenuPath[260];
    static char m_startUpMenuPath[260];
    static char m_desktopPath[260];
    static char m_locale[260];
    static char m_profilesPath[260];

  private:
    friend struct ZKExportProbe;
    void determineOS();
    void determineIfNorthAmerica();
    bool getProgramFilesPath(char*, int);
    int isAdmin();

    bool m_debug;
};

// ---------------------------------------------------------------------------
// One open registry key.
class ZK_API CZKRegistry {
  public:
    CZKRegistry();
    ~CZKRegistry();
    CZKRegistry& operator=(const CZKRegistry&);

    HKEY stringToKey(char*);
    int createKey(HKEY, const char*);
    int openKey(HKEY, const char*);
    void closeKey();
    int setValue(const char*, const char*);
    int setValue(const char*, unsigned long);
    int getValue(const char*, char*, unsigned long*);
    int getValue(const char*, unsigned long*);
    int deleteValue(const char*);
    int deleteKey(const char*);
    int deleteKeyIfEmpty(const char*);
    int XdelKeys(const char*);

  private:
    HKEY m_key;
};

// ---------------------------------------------------------------------------
// File version resources and version comparison.
class ZK_API CZKVersion {
  public:
    CZKVersion();
    ~CZKVersion();
    CZKVersion& operator=(const CZKVersion&);

    int compare(const char*, const char*);
    bool getVersionString(const char*, char*);
};

// ---------------------------------------------------------------------------
// Copies, finds and removes files and folder trees.
class ZK_API CZKCopyFile {
  public:
    CZKCopyFile();
    ~CZKCopyFile();
    CZKCopyFile& operator=(const CZKCopyFile&);

    void setDebugMode(bool);
    void extractExtension(char*, const char*);
    void extractFilename(char*, const char*);
    void extractPath(char*, const char*);
    int isFile(const CString&, DWORD*, DWORD*);
    bool fileExists(const char*, bool);
    bool dirExists(const char*);
    bool MyCopyFile(const char*, const char*, int*, LPPROGRESS_ROUTINE, _zk_copyprogress*);
    int MyCopyFileEx(const char*, const char*, LPPROGRESS_ROUTINE, void*, int*, DWORD);
    bool createDirectory(const char*, int);
    int XCopy(const char*, const char*, int, int*, int*, int, float*, LPPROGRESS_ROUTINE,
              _zk_copyprogress*);
    bool findFile(const char*, int, char*);
    int Remove(char*);
    int XRemove(char*, bool);

    static bool copySuspended;

  private:
    friend struct ZKExportProbe;
    bool DLLHasCOMObjects(const char*);

    static bool firstTime;
    static char m_registerFilename[260];

    bool m_debug;
};

// ---------------------------------------------------------------------------
// Removes an installed game, or rolls back a cancelled installation.
class ZK_API CZKUninstall {
  public:
    CZKUninstall();
    ~CZKUninstall();
    CZKUninstall& operator=(const CZKUninstall&);

    void setDebug(bool);
    bool getDebug();
    bool prepareForUninstallation(const char*, const char*);
    bool prepareForCancellation(const char*);
    bool cancelInstallation(const char*, const char*, const char*, float*, int*, int);
    bool runGameSpecificUninstallExe();
    bool runUninstallExe(char*, char*);
    bool removeFiles(float*);
    bool removeStartMenu();
    bool removeDesktopIcon();
    bool removeGameRegistryEntries();
    bool removeUninstallRegistryEntry();
    void cleanUpUninstallation();

  private:
    char m_installedFrom[1024];
    char m_productKey[1024];
    char m_installFolder[1024];
    char m_productGUID[1024];
    char m_logFile[1024];
    char m_gameKey[1024];
    char m_startMenuFolder[1024];
    char m_displayName[1024];
    char m_friendlyName[1024];
    char m_tempFolder[260];
    char m_programName[260];
    char m_languageName[260];
    int m_languageIndex;
    bool m_debug;
};

// ---------------------------------------------------------------------------
// Free functions.

ZK_API extern char g_WebURL[1024];

ZK_API int __stdcall DebugMessageBox(HWND, const char*, const char*, unsigned);

// Lifecycle, host callbacks and process-wide switches.
ZK_API bool ZKINSTALL_init(char*);
ZK_API void ZKINSTALL_setMessageBox(int(__stdcall*)(HWND, const char*, const char*, unsigned));
ZK_API void ZKINSTALL_setBeforeCDRequest(int(__stdcall*)(int));
ZK_API void ZKINSTALL_setAfterCDRequest(int(__stdcall*)(int));
ZK_API void ZKINSTALL_setInstallerWindowHandle(HWND);
ZK_API HWND ZKINSTALL_getInstallerWindowHandle();
ZK_API void ZKINSTALL_setDebugMode(bool);
ZK_API bool ZKINSTALL_getDebugMode();
ZK_API void ZKINSTALL_SetScreenSaverState(int);
ZK_API void ZKINSTALL_RestoreScreenSaverState();
ZK_API bool ZKINSTALL_restore();
ZK_API bool ZKINSTALL_isAdministrator();
ZK_API void ZKINSTALL_getOS(char*);
ZK_API bool ZKINSTALL_getIsRebootRequired();
ZK_API int ZKINSTALL_execAndWait(char*, char*, char*, int);
ZK_API bool ZKINSTALL_rebootSystem();

// Configuration and installer-state getters.
ZK_API bool ZKINSTALL_readSettings();
ZK_API bool ZKINSTALL_isDemo();
ZK_API bool ZKINSTALL_getIsRTPatchActive();
ZK_API void ZKINSTALL_getRTPatchURL(char*);
ZK_API int ZKINSTALL_getCacheMinimum(__int64*);
ZK_API int ZKINSTALL_getCacheSatisfactory(__int64*);
ZK_API int ZKINSTALL_getCacheFull(__int64*);
ZK_API int ZKINSTALL_getSwapSize(__int64*);
ZK_API bool ZKINSTALL_getSuppressionExe(char*);
ZK_API bool ZKINSTALL_getUseSplashScreen();
ZK_API bool ZKINSTALL_getUseSlideShow();
ZK_API bool ZKINSTALL_getGameHasStreaming();
ZK_API void ZKINSTALL_getGameIcon(char*);
ZK_API void ZKINSTALL_getProductDivision(char*);
ZK_API void ZKINSTALL_getInstallFromLocation(char*);
ZK_API void ZKINSTALL_getGameCacheLocation(char*);
ZK_API void ZKINSTALL_setGameCacheLocation(char*);
ZK_API __int64 ZKINSTALL_getGameCacheSize();
ZK_API void ZKINSTALL_setGameCacheSize(__int64);
ZK_API void ZKINSTALL_setGameSwapSize(__int64);

// Languages and localized texts.
ZK_API char* ZKINSTALL_getLanguageIndexName(int);
ZK_API char* ZKINSTALL_getLanguageIndexPrefix(int);
ZK_API bool* ZKINSTALL_getAvailableLanguages();
ZK_API int ZKINSTALL_convertLanguageToLocale(int, unsigned long*, unsigned short*);
ZK_API int ZKINSTALL_convertLocaleToLanguageIndex(unsigned long);
ZK_API bool ZKINSTALL_autoSelectLanguage(int*, char*);
ZK_API bool ZKINSTALL_setLanguage(int);
ZK_API bool ZKINSTALL_forceLanguage(int);
ZK_API int ZKINSTALL_getCurrentlySelectedLanguage(char*);
ZK_API bool ZKINSTALL_getLanguagePrefix(char*);
ZK_API void ZKINSTALL_getLocalizedReadmeFilename(char*);
ZK_API void ZKINSTALL_getLocalizedTechSupportFilename(char*);
ZK_API bool ZKINSTALL_getToolsEULAAgreement(char*);
ZK_API unsigned short ZKINSTALL_getString(HINSTANCE, unsigned int, char*, int);
ZK_API bool ZKINSTALL_getStringFromDLLorEXE(int, char*, int);

// Paths, names and strings.
ZK_API PathStatus ZKINSTALL_getIsValidZKPath(char*);
ZK_API void ZKINSTALL_squeezeFilename(char*, char*, int);
ZK_API bool ZKINSTALL_convertVersion(char*);
ZK_API void ZKINSTALL_makeStringMFCFriendly(char*, const char*);
ZK_API bool ZKINSTALL_isFile(char*);
ZK_API bool ZKINSTALL_fileExists(const char*);
ZK_API bool ZKINSTALL_dirExists(const char*);
ZK_API bool ZKINSTALL_createDirectory(char*);
ZK_API bool ZKINSTALL_isThisProgramRunning(char*, int);
ZK_API bool ZKINSTALL_getProductName(char*);
ZK_API bool ZKINSTALL_setProductName(char*);
ZK_API bool ZKINSTALL_getFriendlyProductName(char*);
ZK_API bool ZKINSTALL_setFriendlyProductName(char*);
ZK_API bool ZKINSTALL_setSideBar(const char*);
ZK_API bool ZKINSTALL_getSideBar(HBITMAP);

// Discs, drives and file installation.
ZK_API int ZKINSTALL_requestStartupCD();
ZK_API int ZKINSTALL_requestSpecificCD(int);
ZK_API bool ZKINSTALL_IsInstallationCancelled();
ZK_API bool ZKINSTALL_getIsValidDrive(char*);
ZK_API bool ZKINSTALL_getIsSufficentSpace(char*, __int64);
ZK_API void ZKINSTALL_AddFileListEntry(int, int, char*);
ZK_API __int64 ZKINSTALL_getInstallSize(int);
ZK_API int ZKINSTALL_copyReadMe();
ZK_API bool ZKINSTALL_copyCacheFiles(int, int*, char*, float*, int*, __int64, void**);

// Registry entries, shortcuts, restart.
ZK_API bool ZKINSTALL_setStandardGameRegistryItems();
ZK_API void ZKINSTALL_setInstallationCompleted(bool);
ZK_API bool ZKINSTALL_getWasGamePreviouslyInstalled();
ZK_API bool ZKINSTALL_setRestartedStatus(bool);
ZK_API bool ZKINSTALL_getRestartedStatus(char*);
ZK_API bool ZKINSTALL_createStartMenuItems();
ZK_API bool ZKINSTALL_createDesktopItem();
ZK_API bool ZKINSTALL_getStartMenuLocation(char*);
ZK_API void ZKINSTALL_setStartMenuLocation(char*);
ZK_API void ZKINSTALL_getStartMenuRoot(char*);
ZK_API bool ZKINSTALL_getStartupFolderName(char*);
ZK_API bool ZKINSTALL_getIsValidZKStartMenuLocation(char*);
ZK_API void ZKINSTALL_exeToTempAndRestart(char*, char*, char*);
ZK_API int ZKINSTALL_runOnceOnReboot(char*, char*, char*);
ZK_API bool ZKINSTALL_removeRunOnceOnReboot(int);
ZK_API int ZKINSTALL_runGame(char*);

// DirectX.
ZK_API bool ZKINSTALL_isDirectXInstallRequired();
ZK_API bool ZKINSTALL_installDirectX(bool*);
ZK_API bool ZKINSTALL_getIsDirectXInstallerPresent();
ZK_API bool ZKINSTALL_getDirectXInstalled();
ZK_API void ZKINSTALL_setDirectXInstalled(bool);
ZK_API bool ZKINSTALL_getUserDirectXVersion(float*);
ZK_API bool ZKINSTALL_getUserDirectXVersionString(char*);
ZK_API bool ZKINSTALL_getMinimumDirectXVersion(float*);
ZK_API bool ZKINSTALL_getMinimumDirectXVersionString(char*);
ZK_API bool ZKINSTALL_getCDDirectXVersion(float*);
ZK_API bool ZKINSTALL_getCDDirectXVersionString(char*);
ZK_API bool ZKINSTALL_getDirectXLicenseAgreement(char*);
ZK_API bool ZKINSTALL_getDirectXEULAText(char**, unsigned int*, int);
ZK_API bool ZKINSTALL_freeDirectXEULAText(char**);

// Internet Explorer and Flash.
ZK_API bool ZKINSTALL_isIEInstallRequired();
ZK_API bool ZKINSTALL_isIEInstallRequiredForOnlineOnly();
ZK_API bool ZKINSTALL_getIsIEInstallerPresent();
ZK_API bool ZKINSTALL_InstallIE();
ZK_API bool ZKINSTALL_InstallIE55Patch();
ZK_API bool ZKINSTALL_getUserIEVersion(float*);
ZK_API bool ZKINSTALL_getUserIEVersionString(char*);
ZK_API bool ZKINSTALL_getMinimumIEVersion(float*);
ZK_API bool ZKINSTALL_getMinimumIEVersionString(char*);
ZK_API bool ZKINSTALL_getCDIEVersion(float*);
ZK_API bool ZKINSTALL_getCDIEVersionString(char*);
ZK_API bool ZKINSTALL_isFlashInstallRequired();
ZK_API bool ZKINSTALL_isFlashInstallRequiredForOnlineOnly();
ZK_API bool ZKINSTALL_InstallFlashAndShockwave();
ZK_API bool ZKINSTALL_getUserFlashVersion(char*);
ZK_API bool ZKINSTALL_getMinimumFlashVersion(char*);
ZK_API bool ZKINSTALL_getCDFlashVersion(char*);
ZK_API bool ZKINSTALL_getFlashLicenseAgreement(char*);

// Add-on installers and tools licence.
ZK_API bool ZKINSTALL_isGameSpyInstallRequired();
ZK_API bool ZKINSTALL_installGameSpy();
ZK_API bool ZKINSTALL_isZKDInstallRequired();
ZK_API bool ZKINSTALL_installZKD();
ZK_API bool ZKINSTALL_launchZKD(char*);
ZK_API bool ZKINSTALL_isCommonZKSOInstallRequired();
ZK_API bool ZKINSTALL_InstallCommonZKSO();
ZK_API int ZKINSTALL_runGameInstallSpecificExe();
ZK_API bool ZKINSTALL_getDisplayToolsEULA();
ZK_API bool ZKINSTALL_getToolsEULADeclineContinue();

// Uninstallation.
ZK_API bool ZKINSTALL_cancelInstallGame(int*, int*, float*, int*);

#endif // ZKINSTALL_H
