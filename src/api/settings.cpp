// Reading autorun.cfg: the disc's one configuration file, read into the
// installer state each time the host asks for the settings.
#include "api/settings.h"

#include <cstdlib>
#include <cstring>

#include "components/ie.h"
#include "core/config_values.h"
#include "core/host.h"
#include "core/paths.h"
#include "core/prompts.h"
#include "core/inifile.h"
#include "core/installer.h"
#include "core/languages.h"
#include "core/names.h"
#include "platform/text.h"
#include "install/discs.h"
#include "integration/game_registry.h"

namespace zk {

namespace {

// Every setting stands before the first section header.
const char kSettings[] = "";

// Reads the text setting `key` into a fixed field, cut to fit.
template <size_t N>
void readText(CIniFile& ini, const char* key, char (&field)[N]) {
    ini.getText(kSettings, key, field, N);
}

void readLanguageFlags(CZKInstaller& s, CIniFile& ini) {
    for (int i = 1; i < kLanguageCount; ++i)
        ini.getBool(kSettings, g_languages[i].name, &s.m_availableLanguages[i]);
}

void readKeys(CZKInstaller& s, CIniFile& ini) {
    readText(ini, "AppName", s.m_displayName);
    makeFriendlyName(s.m_friendlyName, s.m_displayName);
    makeFriendlyName(s.m_registryName, s.m_displayName);
    readText(ini, "AppName", s.m_productName);
    char executable[kText];
    readText(ini, "Executable", executable);
    CZKCopyFile names;
    names.extractFilename(s.m_executable, executable);
    readText(ini, "Icon", s.m_icon);
    ini.getBool(kSettings, "TechSupport", &s.m_techSupport);
    readText(ini, "ProductGuiID", s.m_productGUID);
    ini.getBool(kSettings, "AutoSort", &s.m_autoSort);
    ini.getBool(kSettings, "Demo", &s.m_demo);
    readText(ini, "DirectXVersion", s.m_minimumDirectX);
    readText(ini, "IEVersion", s.m_minimumIE);
    ini.getInt64(kSettings, "CacheMinimum", &s.m_cacheMinimum);
    ini.getInt64(kSettings, "CacheSatisfactory", &s.m_cacheSatisfactory);
    ini.getInt64(kSettings, "CacheFull", &s.m_cacheFull);
    ini.getBool(kSettings, "RTPatch", &s.m_rtPatchActive);
    readText(ini, "RTPatchURL", s.m_rtPatchURL);
    ini.getInt64(kSettings, "InstallMinimum", &s.m_installMinimum);
    ini.getInt64(kSettings, "InstallSatisfactory", &s.m_installSatisfactory);
    ini.getInt64(kSettings, "InstallFull", &s.m_installFull);
    ini.getInt64(kSettings, "InstallFullNoStreaming", &s.m_installFullNoStreaming);
    ini.getInt64(kSettings, "SwapSize", &s.m_swapSize);
    char startupDisc[kText];
    readText(ini, "StartupCD", startupDisc);
    readText(ini, "RTPatchCDID", s.m_rtPatchDiscId);
    ini.getBool(kSettings, "StartMenuDXEULA", &s.m_directXLicenceInStartMenu);
    ini.getBool(kSettings, "LanguageSelectionScreen", &s.m_languageSelectionScreen);
    ini.getBool(kSettings, "IEForOnlineOnly", &s.m_ieForOnlineOnly);
    ini.getBool(kSettings, "FlashForOnlineOnly", &s.m_flashForOnlineOnly);
    readText(ini, "FlashVersion", s.m_minimumFlash);
    ini.getBool(kSettings, "ZKSOInstall", &s.m_zksoInstall);
    readText(ini, "SuppressionExe", s.m_suppressionExe);
    ini.getBool(kSettings, "SplashScreen", &s.m_splashScreen);
    ini.getBool(kSettings, "SlideShow", &s.m_slideShow);
    readText(ini, "Version", s.m_version);
    ini.getBool(kSettings, "GameII", &s.m_gameHasStreaming);
    ini.getBool(kSettings, "ToolsEULA", &s.m_toolsLicence);
    ini.getBool(kSettings, "ToolsEULADeclineContinue", &s.m_toolsLicenceDeclineContinues);
    readText(ini, "IEonCD", s.m_cdIE);
    ini.getBool(kSettings, "GameSpyInstall", &s.m_gameSpyInstall);
    ini.getBool(kSettings, "ZKDInstall", &s.m_zkdInstall);
    readText(ini, "WebURL", s.m_webURL);
    readText(ini, "RegistryLnk", s.m_coreLink);

    s.m_startupDisc = startupDiscNumber(startupDisc);
}

// The game's key of an earlier installation: the user's first, then the
// machine's.  The object closes it when it goes.
bool openGameKey(CZKRegistry& key, const char* path) {
    return key.openKey(HKEY_CURRENT_USER, path) == ERROR_SUCCESS ||
           key.openKey(HKEY_LOCAL_MACHINE, path) == ERROR_SUCCESS;
}

} // namespace

void applyRegistrySetting(CZKInstaller& s, const char* value) {
    splitRegistrySetting(value, s.m_company, sizeof s.m_company, s.m_registryKeyPath,
                         sizeof s.m_registryKeyPath);
}

bool readRegistryLanguage(CZKInstaller& s, CIniFile& ini) {
    CZKRegistry game;
    if (!openGameKey(game, s.m_registryKeyPath))
        return false;

    // Language names are short; room for 255 bytes and the terminator we add
    // ourselves, since a stored string need not be terminated.
    char language[256] = {};
    unsigned long size = sizeof language - 1;
    int rc = game.getValue("Language", language, &size);
    if (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
        if (rc == ERROR_SUCCESS && size < sizeof language)
            language[size] = '\0';
        else
            language[0] = '\0';  // too long to be any language's name
        s.m_languageFromRegistry = true;
        s.m_currentLanguage = 0;
        for (int i = 1; i < kLanguageCount; ++i) {
            if (strcmp(language, g_languages[i].name) == 0) {
                s.m_currentLanguage = i;
                break;
            }
        }
    }

    readLanguageFlags(s, ini);
    for (int i = 1; i < kLanguageCount && s.m_currentLanguage == 0; ++i)
        if (s.m_availableLanguages[i])
            s.m_currentLanguage = i;

    unsigned long count = 0;
    if (game.getValue("NumLanguages", &count) != ERROR_SUCCESS)
        count = 0;
    s.m_numLanguages = static_cast<int>(count);
    return true;
}

void readConfigurationFrom(CZKInstaller& s, CIniFile& ini) {
    char registry[kText];
    readText(ini, "Registry", registry);
    applyRegistrySetting(s, registry);

    for (int i = 1; i < kLanguageCount; ++i)
        s.m_availableLanguages[i] = false;

    readKeys(s, ini);
    CZKIE::setCDVersion(s.m_cdIE);

    if (s.m_demo)
        s.m_techSupport = false;

    readLanguageFlags(s, ini);

    composeStartMenuFolder(s.m_startMenuPath, s.m_company, s.m_productName, s.m_startMenuFolder);

    readRegistryLanguage(s, ini);
}

bool askToRetryConfiguration(const CZKInstaller& s, const char* path) {
    char text[2 * kText];
    formatText(text, sizeof text, "Can't open %s", path ? path : "");
    return askRetry(s.m_installerWindow, text, "Corrupted AutoRun.CFG File") == kPromptRetry;
}

void readConfiguration(CZKInstaller& s) {
    CIniFile ini;
    for (;;) {
        copyText(s.m_productGUID, kPlaceholderGUID);
        char from[kText];
        copyInstallFrom(s, from, sizeof from);
        int cancel = requestCD(1, "", from, s.m_debug, s.m_productGUID);
        publishInstallFrom(s, from, 0);
        if (cancel != 0)
            quitInstaller("the user quit while disc 1 was asked for");

        char path[kText];
        formatText(path, sizeof path, "%s\\%s", s.m_autoRunFolder, "autorun.cfg");
        ini.setPath(path);
        if (ini.load() == 0)
            break;
        // Without this question a disc whose file cannot be read would be
        // asked for again and again without the user ever hearing why.
        if (!askToRetryConfiguration(s, path))
            quitInstaller("the user quit when autorun.cfg could not be read");
    }
    readConfigurationFrom(s, ini);
}

void readSettings(CZKInstaller& s) {
    readConfiguration(s);
    if (!s.m_rtPatchDiscId[0])
        copyText(s.m_rtPatchDiscId, "none");
    formatText(s.m_installFolder, sizeof s.m_installFolder, "%s\\%s\\%s", s.m_programFilesPath,
               s.m_company, s.m_friendlyName);
    // The region is known before the language's files are chosen, so that a
    // language the disc does not name falls back to the right English.
    s.m_northAmerica = s.m_system.getIsNorthAmerica();
    applyLanguage(s, s.m_currentLanguage);
    s.m_iconHasFolder = strchr(s.m_icon, '\\') != nullptr;
    s.m_previouslyInstalled = detectPreviousInstallation(s);
}

} // namespace zk

using namespace zk;

bool ZKINSTALL_readSettings() {
    readSettings(installer());
    return true;
}

bool ZKINSTALL_isDemo() { return installer().m_demo; }
bool ZKINSTALL_getIsRTPatchActive() { return installer().m_rtPatchActive; }
void ZKINSTALL_getRTPatchURL(char* url) { copyText(url, kText, installer().m_rtPatchURL); }

bool ZKINSTALL_getSuppressionExe(char* exe) {
    copyText(exe, kText, installer().m_suppressionExe);
    return true;
}

bool ZKINSTALL_getUseSplashScreen() { return installer().m_splashScreen; }
bool ZKINSTALL_getUseSlideShow() { return installer().m_slideShow; }
bool ZKINSTALL_getDisplayToolsEULA() { return installer().m_toolsLicence; }
bool ZKINSTALL_getToolsEULADeclineContinue() { return installer().m_toolsLicenceDeclineContinues; }
