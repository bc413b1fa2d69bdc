// Reading autorun.cfg into an installer state: every key into its field, the
// names and folders derived from them, the "Registry" forms, the language of
// an earlier installation, and the question asked when the file cannot be read.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/host.h"
#include "core/inifile.h"
#include "core/installer.h"
#include "core/languages.h"
#include "core/names.h"
#include "core/settings.h"
#include "core/text.h"
#include "zktest/harness.h"

namespace {

using zk::CZKInstaller;

// A fresh state with the folders ZKINSTALL_init would have set.
std::unique_ptr<CZKInstaller> freshState() {
    std::unique_ptr<CZKInstaller> s(new CZKInstaller());
    zk::copyText(s->m_startMenuPath, "C:\\Users\\Player\\Start Menu\\Programs");
    zk::copyText(s->m_programFilesPath, "C:\\Program Files");
    zk::copyText(s->m_company, "Vantorel");
    return s;
}

// Writes the text as autorun.cfg into a scratch folder and reads it into s
// as the settings read does once the disc is found.
void readConfig(CZKInstaller& s, const std::string& text) {
    zktest::ScratchDir dir("cfg");
    zktest::writeFile(dir / "autorun.cfg", text);
    CIniFile ini;
    ini.setPath((dir / "autorun.cfg").c_str());
    ASSERT_EQ(0, ini.load());
    zk::readConfigurationFrom(s, ini);
}

std::string cfg(const std::vector<std::pair<std::string, std::string>>& settings) {
    std::string out;
    for (const auto& kv : settings)
        out += kv.first + "=" + kv.second + "\r\n";
    return out;
}

TEST(ReadConfiguration, EveryKeyReachesItsField) {
    auto s = freshState();
    readConfig(*s, "// written by the disc builder\r\n" +
                       cfg({{"Registry", "Northwind\\Sky Pirates"},
                            {"AppName", "Sky Pirates: Gold 2.0"},
                            {"Executable", "Bin\\Release\\Pirates.exe"},
                            {"Icon", "Art\\pirates.ico"},
                            {"ProductGuiID", "{0E1D2C3B-4A59-6877-8695-A4B3C2D1E0F0}"},
                            {"AutoSort", "1"},
                            {"DirectXVersion", "9.0c"},
                            {"IEVersion", "5.5"},
                            {"CacheMinimum", "111"},
                            {"CacheSatisfactory", "222"},
                            {"CacheFull", "333"},
                            {"RTPatch", "1"},
                            {"RTPatchURL", "http://patch.example/pirates"},
                            {"InstallMinimum", "444"},
                            {"InstallSatisfactory", "555"},
                            {"InstallFull", "666"},
                            {"InstallFullNoStreaming", "777"},
                            {"SwapSize", "888"},
                            {"StartupCD", "2"},
                            {"RTPatchCDID", "EU"},
                            {"StartMenuDXEULA", "1"},
                            {"LanguageSelectionScreen", "1"},
                            {"IEForOnlineOnly", "1"},
                            {"FlashForOnlineOnly", "1"},
                            {"FlashVersion", "6.0.79.0"},
                            {"ZKSOInstall", "1"},
                            {"SuppressionExe", "nocd.exe"},
                            {"SplashScreen", "1"},
                            {"SlideShow", "1"},
                            {"Version", "2.0"},
                            {"GameII", "1"},
                            {"ToolsEULA", "1"},
                            {"ToolsEULADeclineContinue", "1"},
                            {"IEonCD", "6.0"},
                            {"GameSpyInstall", "1"},
                            {"ZKDInstall", "1"},
                            {"WebURL", "http://www.example/pirates"},
                            {"RegistryLnk", "Pirates"},
                            {"TechSupport", "1"}}) +
                       "[Other]\r\nAppName=Not this one\r\n");

    struct TextCase {
        const char* name;
        const char* field;
        const char* expected;
    } texts[] = {
        {"company", s->m_company, "Northwind"},
        {"registry key path", s->m_registryKeyPath, "SOFTWARE\\Northwind\\Sky Pirates"},
        {"display name", s->m_displayName, "Sky Pirates: Gold 2.0"},
        {"product name", s->m_productName, "Sky Pirates: Gold 2.0"},
        {"friendly name", s->m_friendlyName, "Sky Pirates Gold 20"},
        {"registry name", s->m_registryName, "Sky Pirates Gold 20"},
        {"executable", s->m_executable, "Pirates.exe"},
        {"icon", s->m_icon, "Art\\pirates.ico"},
        {"product GUID", s->m_productGUID, "{0E1D2C3B-4A59-6877-8695-A4B3C2D1E0F0}"},
        {"minimum DirectX", s->m_minimumDirectX, "9.0c"},
        {"minimum IE", s->m_minimumIE, "5.5"},
        {"RTPatch URL", s->m_rtPatchURL, "http://patch.example/pirates"},
        {"RTPatch disc", s->m_rtPatchDiscId, "EU"},
        {"minimum Flash", s->m_minimumFlash, "6.0.79.0"},
        {"suppression exe", s->m_suppressionExe, "nocd.exe"},
        {"version", s->m_version, "2.0"},
        {"CD IE", s->m_cdIE, "6.0"},
        {"web address", s->m_webURL, "http://www.example/pirates"},
        {"core link", s->m_coreLink, "Pirates"},
        {"start-menu folder", s->m_startMenuFolder,
         "C:\\Users\\Player\\Start Menu\\Programs\\Northwind\\Sky Pirates Gold 2.0"},
    };
    for (const TextCase& c : texts)
        EXPECT_STREQ(c.expected, c.field) << c.name;

    struct FlagCase {
        const char* name;
        bool value;
    } flags[] = {
        {"AutoSort", s->m_autoSort},
        {"RTPatch", s->m_rtPatchActive},
        {"StartMenuDXEULA", s->m_directXLicenceInStartMenu},
        {"LanguageSelectionScreen", s->m_languageSelectionScreen},
        {"IEForOnlineOnly", s->m_ieForOnlineOnly},
        {"FlashForOnlineOnly", s->m_flashForOnlineOnly},
        {"ZKSOInstall", s->m_zksoInstall},
        {"SplashScreen", s->m_splashScreen},
        {"SlideShow", s->m_slideShow},
        {"GameII", s->m_gameHasStreaming},
        {"ToolsEULA", s->m_toolsLicence},
        {"ToolsEULADeclineContinue", s->m_toolsLicenceDeclineContinues},
        {"GameSpyInstall", s->m_gameSpyInstall},
        {"ZKDInstall", s->m_zkdInstall},
        {"TechSupport", s->m_techSupport},
    };
    for (const FlagCase& c : flags)
        EXPECT_TRUE(c.value) << c.name;
    EXPECT_FALSE(s->m_demo);

    struct SizeCase {
        const char* name;
        __int64 value;
        __int64 expected;
    } sizes[] = {
        {"CacheMinimum", s->m_cacheMinimum, 111},
        {"CacheSatisfactory", s->m_cacheSatisfactory, 222},
        {"CacheFull", s->m_cacheFull, 333},
        {"InstallMinimum", s->m_installMinimum, 444},
        {"InstallSatisfactory", s->m_installSatisfactory, 555},
        {"InstallFull", s->m_installFull, 666},
        {"InstallFullNoStreaming", s->m_installFullNoStreaming, 777},
        {"SwapSize", s->m_swapSize, 888},
        {"StartupCD", s->m_startupDisc, 2},
    };
    for (const SizeCase& c : sizes)
        EXPECT_EQ(c.expected, c.value) << c.name;
}

TEST(ReadConfiguration, MissingKeysLeaveNoEarlierValue) {
    auto s = freshState();
    // What ZKINSTALL_init and an earlier read may have left behind.
    zk::copyText(s->m_displayName, "ZK Game");
    zk::copyText(s->m_productName, "ZK Game");
    zk::copyText(s->m_version, "1.0");
    zk::copyText(s->m_productGUID, "{11111111-2222-3333-4444-555555555555}");
    zk::copyText(s->m_webURL, "http://old.example");
    zk::copyText(s->m_executable, "Old.exe");
    s->m_directXLicenceInStartMenu = true;
    s->m_splashScreen = true;
    s->m_cacheFull = 99;
    s->m_startupDisc = 3;
    s->m_availableLanguages[5] = true;

    readConfig(*s, "[Section]\r\nAppName=Under a header\r\n");

    for (const char* field : {s->m_displayName, s->m_productName, s->m_version, s->m_productGUID,
                              s->m_webURL, s->m_executable, s->m_friendlyName})
        EXPECT_STREQ("", field);
    EXPECT_FALSE(s->m_directXLicenceInStartMenu);
    EXPECT_FALSE(s->m_splashScreen);
    EXPECT_EQ(0, s->m_cacheFull);
    EXPECT_EQ(0, s->m_startupDisc);
    EXPECT_FALSE(s->m_availableLanguages[5]);
    // An absent "Registry" still gives a key path, and the company stays.
    EXPECT_STREQ("SOFTWARE\\", s->m_registryKeyPath);
    EXPECT_STREQ("Vantorel", s->m_company);
}

TEST(ReadConfiguration, ValuesAsWrittenAndParsed) {
    struct Case {
        std::string line;
        std::string display;     // display name afterwards
        std::string friendly;    // friendly name afterwards
    } names[] = {
        {"AppName = Spaced", "", ""},  // the key ends in a blank: not AppName
        {"AppName= Blank Before", " Blank Before", "Blank Before"},
    };
    for (const Case& c : names) {
        auto s = freshState();
        readConfig(*s, c.line + "\r\n");
        EXPECT_EQ(c.display, s->m_displayName) << c.line;
        EXPECT_EQ(c.friendly, s->m_friendlyName) << c.line;
    }

    struct Number {
        std::string value;
        __int64 size;       // as "CacheFull"
        int disc;           // as "StartupCD"
    } numbers[] = {
        {"2nd", 2, 2},
        {"", 0, 0},
        {"  7", 7, 7},
        {"-3", -3, -3},
        {"4294967296", 4294967296LL, INT_MAX},
        {"9223372036854775807", LLONG_MAX, INT_MAX},
        {"-9223372036854775808", LLONG_MIN, INT_MIN},
        {"x12", 0, 0},
    };
    for (const Number& n : numbers) {
        auto s = freshState();
        readConfig(*s, "CacheFull=" + n.value + "\r\nStartupCD=" + n.value + "\r\n");
        EXPECT_EQ(n.size, s->m_cacheFull) << n.value;
        EXPECT_EQ(n.disc, s->m_startupDisc) << n.value;
    }
}

TEST(ReadConfiguration, DemoClearsTechSupport) {
    struct Case {
        const char* techSupport;
        const char* demo;
        bool expectDemo;
        bool expectTechSupport;
    } cases[] = {
        {"1", "0", false, true},
        {"1", "1", true, false},
        {"0", "1", true, false},
        {"1", "", false, true},
    };
    for (const Case& c : cases) {
        auto s = freshState();
        readConfig(*s, std::string("TechSupport=") + c.techSupport + "\r\nDemo=" + c.demo + "\r\n");
        EXPECT_EQ(c.expectDemo, s->m_demo) << c.techSupport << "/" << c.demo;
        EXPECT_EQ(c.expectTechSupport, s->m_techSupport) << c.techSupport << "/" << c.demo;
    }
}

TEST(ReadConfiguration, OverlongValuesAreCutToTheirFields) {
    auto s = freshState();
    // Fields lie side by side in the state: a copy that ran past its field
    // would show in the settings read after it.
    std::string name(400, 'N');
    std::string url(1500, 'u');
    readConfig(*s, "AppName=" + name + "\r\nWebURL=" + url + "\r\nRegistry=" +
                       std::string(300, 'C') + "\\Game\r\nRegistryLnk=Link\r\nVersion=3.1\r\n");
    EXPECT_EQ(name.substr(0, 259), s->m_displayName);
    EXPECT_EQ(name.substr(0, 259), s->m_productName);
    EXPECT_EQ(name.substr(0, 259), s->m_friendlyName);
    size_t urlLength = strnlen(s->m_webURL, sizeof s->m_webURL);
    EXPECT_LT(urlLength, sizeof s->m_webURL);
    EXPECT_GT(urlLength, 259u) << "the web address has room for more than a plain field";
    EXPECT_EQ(url.substr(0, urlLength), s->m_webURL);
    // The cut "Registry" value holds no backslash any more; the key path is cut too.
    EXPECT_EQ(259u, strnlen(s->m_registryKeyPath, sizeof s->m_registryKeyPath));
    EXPECT_EQ(0, strncmp("SOFTWARE\\CCC", s->m_registryKeyPath, 12));
    EXPECT_STREQ("Vantorel", s->m_company);
    EXPECT_STREQ("Link", s->m_coreLink);
    EXPECT_STREQ("3.1", s->m_version);
    EXPECT_LT(strnlen(s->m_startMenuFolder, sizeof s->m_startMenuFolder),
              sizeof s->m_startMenuFolder);
}

TEST(RegistrySetting, CompanyAndKeyPath) {
    struct Case {
        const char* value;
        const char* company;
        const char* path;
    } cases[] = {
        {"Vantorel\\Game", "Vantorel", "SOFTWARE\\Vantorel\\Game"},
        {"Northwind\\Games\\Sky", "Northwind", "SOFTWARE\\Northwind\\Games\\Sky"},
        {"JustAName", "Before", "SOFTWARE\\JustAName"},
        {"\\Leading\\Slash", "Before", "SOFTWARE\\\\Leading\\Slash"},
        {"Trailing\\", "Trailing", "SOFTWARE\\Trailing\\"},
        {"", "Before", "SOFTWARE\\"},
    };
    for (const Case& c : cases) {
        auto s = freshState();
        zk::copyText(s->m_company, "Before");
        zk::applyRegistrySetting(*s, c.value);
        EXPECT_STREQ(c.company, s->m_company) << c.value;
        EXPECT_STREQ(c.path, s->m_registryKeyPath) << c.value;
    }
}

TEST(ReadConfiguration, LanguageFlagsByName) {
    auto s = freshState();
    s->m_availableLanguages[4] = true;  // from an earlier read: must go
    readConfig(*s, "French=1\r\nGerman=1\r\nEnglish US=0\r\nSpanish (Mexican)=1\r\n"
                   "english uk=1\r\nItalian=\r\n");
    for (int i = 1; i < zk::kLanguageCount; ++i) {
        bool expected = i == 2 || i == 3 || i == 25;
        EXPECT_EQ(expected, s->m_availableLanguages[i]) << zk::g_languages[i].name;
    }
}

// A game key of an earlier installation, removed again afterwards.
class RegistryLanguage : public ::testing::Test {
  protected:
    void SetUp() override {
        company = "ZKSettingsUnit" + std::to_string(GetCurrentProcessId());
        registry = company + "\\Game";
        keyPath = "SOFTWARE\\" + registry;
    }
    void TearDown() override {
        zktest::deleteTree(HKEY_CURRENT_USER, "SOFTWARE\\" + company);
        zktest::deleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + company);
    }
    void writeGameKey(HKEY root, const char* language, const DWORD* count) {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key, nullptr));
        if (language)
            RegSetValueExA(key, "Language", 0, REG_SZ, reinterpret_cast<const BYTE*>(language),
                           static_cast<DWORD>(strlen(language) + 1));
        if (count)
            RegSetValueExA(key, "NumLanguages", 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(count), sizeof *count);
        RegCloseKey(key);
    }
    std::string company, registry, keyPath;
};

TEST_F(RegistryLanguage, StoredLanguageBecomesCurrent) {
    const DWORD three = 3;
    const std::string longName(300, 'L');
    struct Case {
        const char* name;
        HKEY root;
        const char* language;  // null: no "Language" value
        const DWORD* count;
        int expected;          // current language afterwards
        bool fromRegistry;
        int languages;
    } cases[] = {
        {"French on a German system", HKEY_CURRENT_USER, "French", &three, 2, true, 3},
        {"machine key", HKEY_LOCAL_MACHINE, "Hungarian", nullptr, 24, true, 0},
        {"unknown name: first on the disc", HKEY_CURRENT_USER, "Klingon", &three, 3, true, 3},
        {"case matters", HKEY_CURRENT_USER, "french", nullptr, 3, true, 0},
        {"too long for any name", HKEY_CURRENT_USER, longName.c_str(), nullptr, 3, true, 0},
        {"no value: detected language stays", HKEY_CURRENT_USER, nullptr, &three, 6, false, 3},
    };
    for (const Case& c : cases) {
        auto s = freshState();
        s->m_currentLanguage = 6;  // as detected at load (Swedish)
        writeGameKey(c.root, c.language, c.count);
        readConfig(*s, "Registry=" + registry + "\r\nGerman=1\r\nDutch=1\r\n");
        EXPECT_EQ(c.expected, s->m_currentLanguage) << c.name;
        EXPECT_EQ(c.fromRegistry, s->m_languageFromRegistry) << c.name;
        EXPECT_EQ(c.languages, s->m_numLanguages) << c.name;
        TearDown();
    }
}

TEST_F(RegistryLanguage, UserKeyIsPreferredAndAbsentKeyChangesNothing) {
    auto s = freshState();
    s->m_currentLanguage = 6;
    s->m_numLanguages = 0;
    readConfig(*s, "Registry=" + registry + "\r\nGerman=1\r\n");
    EXPECT_EQ(6, s->m_currentLanguage);
    EXPECT_FALSE(s->m_languageFromRegistry);

    writeGameKey(HKEY_LOCAL_MACHINE, "Italian", nullptr);
    writeGameKey(HKEY_CURRENT_USER, "Polish", nullptr);
    readConfig(*s, "Registry=" + registry + "\r\nGerman=1\r\n");
    EXPECT_EQ(20, s->m_currentLanguage);
}

// The whole settings read from disc 1 in drive D:.
TEST(ReadSettings, DerivedFieldsFollowTheConfiguration) {
    ASSERT_TRUE(zktest::haveDiscDrives()) << "run through the build's wine-run.sh";
    char home[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof home, home);
    const std::string disc = zktest::discFolder('D');
    const std::string company = "ZKSettingsWhole" + std::to_string(GetCurrentProcessId());
    struct Case {
        std::string extra;  // settings besides the product's own
        const char* region;
        bool iconHasFolder;
    } cases[] = {
        {"Icon=pirates.ico\r\n", "none", false},
        {"Icon=Art\\pirates.ico\r\nRTPatchCDID=EU\r\n", "EU", true},
    };
    for (const Case& c : cases) {
        zktest::insertEmptyDisc('D');
        zktest::writeFile(disc + "\\AutoRun.inf", "[Special]\r\nDisk=1\r\n");
        zktest::makeDirs(disc + "\\AutoRun");
        // The stored language is unknown and the disc names none, so the
        // language falls back to the English of the machine's region.
        zktest::writeFile(disc + "\\AutoRun\\autorun.cfg",
                          c.extra + "AppName=Sky: Pirates\r\nRegistry=" + company + "\\Sky\r\n");
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExA(HKEY_CURRENT_USER, ("SOFTWARE\\" + company + "\\Sky").c_str(), 0,
                                  nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
        RegSetValueExA(key, "Language", 0, REG_SZ, reinterpret_cast<const BYTE*>("Elvish"), 7);
        RegCloseKey(key);

        auto s = freshState();
        zk::copyText(s->m_installFrom, "D:");
        s->m_northAmerica = !CZKSystem::m_isNorthAmerica;  // as left by an earlier read
        zk::readSettings(*s);
        SetCurrentDirectoryA(home);
        zktest::deleteTree(HKEY_CURRENT_USER, "SOFTWARE\\" + company);

        EXPECT_STREQ(c.region, s->m_rtPatchDiscId);
        EXPECT_EQ(c.iconHasFolder, s->m_iconHasFolder);
        EXPECT_EQ("C:\\Program Files\\" + company + "\\Sky Pirates", s->m_installFolder);
        EXPECT_STREQ("D:\\AutoRun", s->m_autoRunFolder);
        EXPECT_EQ(CZKSystem::m_isNorthAmerica, s->m_northAmerica);
        EXPECT_EQ(CZKSystem::m_isNorthAmerica ? 1 : 19, s->m_currentLanguage);
        EXPECT_STREQ(zk::g_languages[s->m_currentLanguage].prefix, s->m_languagePrefix);
        EXPECT_FALSE(s->m_previouslyInstalled);
    }
    zktest::insertEmptyDisc('D');
}

TEST(RetryConfiguration, AnswersDecideBetweenRetryAndQuit) {
    struct Case {
        std::vector<int> answers;
        bool retry;
        std::vector<unsigned> styles;
    } cases[] = {
        {{IDRETRY}, true, {MB_RETRYCANCEL | MB_ICONEXCLAMATION}},
        {{IDCANCEL, IDYES}, false,
         {MB_RETRYCANCEL | MB_ICONEXCLAMATION, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2}},
        {{IDCANCEL, IDNO, IDRETRY}, true,
         {MB_RETRYCANCEL | MB_ICONEXCLAMATION, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
          MB_RETRYCANCEL | MB_ICONEXCLAMATION}},
        {{IDCANCEL, IDNO, IDCANCEL, IDYES}, false,
         {MB_RETRYCANCEL | MB_ICONEXCLAMATION, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
          MB_RETRYCANCEL | MB_ICONEXCLAMATION, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2}},
        // A box that cannot be shown answers 0: the read ends, it does not loop.
        {{0, 0}, false,
         {MB_RETRYCANCEL | MB_ICONEXCLAMATION, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2}},
    };
    auto s = freshState();
    zk::copyText(s->m_installFrom, "D:");
    char quit[1024];
    zk::hostString(46, quit, sizeof quit);
    const char* path = "D:\\AutoRun\\autorun.cfg";
    for (const Case& c : cases) {
        zktest::MessageScript script;
        for (int a : c.answers)
            script.answer(a);
        zk::g_messageBox = zktest::MessageScript::callback;
        EXPECT_EQ(c.retry, zk::askToRetryConfiguration(*s, path));
        zk::g_messageBox = nullptr;
        ASSERT_EQ(c.styles.size(), script.calls().size());
        for (size_t i = 0; i < c.styles.size(); ++i) {
            const zktest::MessageCall& call = script.calls()[i];
            EXPECT_EQ(c.styles[i], call.style) << i;
            if ((call.style & MB_TYPEMASK) == MB_RETRYCANCEL)
                EXPECT_NE(std::string::npos, call.text.find(path)) << call.text;
            else
                EXPECT_EQ(quit, call.text);
        }
    }
}

} // namespace
