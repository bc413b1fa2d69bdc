// Reading autorun.cfg into an installer state: fields, derived names and folders, languages.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>

#include "core/inifile.h"
#include "core/installer.h"
#include "core/languages.h"
#include "api/settings.h"
#include "platform/text.h"
#include "zktest/discs.h"
#include "zktest/harness.h"
#include "zktest/regvalues.h"

namespace {

using zk::CZKInstaller;

// A fresh state with the folders ZKINSTALL_init would have set.
std::unique_ptr<CZKInstaller> freshState() {
    auto s = std::make_unique<CZKInstaller>();
    zk::copyText(s->m_startMenuPath, "C:\\Users\\Player\\Start Menu\\Programs");
    zk::copyText(s->m_programFilesPath, "C:\\Program Files");
    zk::copyText(s->m_company, "Vantorel");
    return s;
}

// Reads the text as autorun.cfg into s, as the settings read does once the disc is found.
void readConfig(CZKInstaller& s, const std::string& text) {
    zktest::ScratchDir dir("cfg");
    zktest::writeFile(dir / "autorun.cfg", text);
    CIniFile ini;
    ini.setPath((dir / "autorun.cfg").c_str());
    ASSERT_EQ(0, ini.load());
    zk::readConfigurationFrom(s, ini);
}

TEST(ReadConfiguration, EveryKeyReachesItsFieldAndALaterReadWithoutItClearsIt) {
    auto s = freshState();
    const struct {
        const char *key, *value, *field;
    } texts[] = {
        {"Icon", "Art\\pirates.ico", s->m_icon},
        {"ProductGuiID", "{0E1D2C3B-4A59-6877-8695-A4B3C2D1E0F0}", s->m_productGUID},
        {"DirectXVersion", "9.0c", s->m_minimumDirectX}, {"IEVersion", "5.5", s->m_minimumIE},
        {"RTPatchURL", "http://patch.example/pirates", s->m_rtPatchURL},
        {"RTPatchCDID", "EU", s->m_rtPatchDiscId}, {"FlashVersion", "6.0.79.0", s->m_minimumFlash},
        {"SuppressionExe", "nocd.exe", s->m_suppressionExe}, {"Version", "2.0", s->m_version},
        {"IEonCD", "6.0", s->m_cdIE}, {"WebURL", "http://www.example/pirates", s->m_webURL},
        {"RegistryLnk", "Pirates", s->m_coreLink},
    };
    const std::pair<const char*, const bool*> flags[] = {
        {"AutoSort", &s->m_autoSort}, {"RTPatch", &s->m_rtPatchActive},
        {"StartMenuDXEULA", &s->m_directXLicenceInStartMenu},
        {"LanguageSelectionScreen", &s->m_languageSelectionScreen},
        {"IEForOnlineOnly", &s->m_ieForOnlineOnly}, {"ZKSOInstall", &s->m_zksoInstall},
        {"FlashForOnlineOnly", &s->m_flashForOnlineOnly}, {"SplashScreen", &s->m_splashScreen},
        {"SlideShow", &s->m_slideShow}, {"GameII", &s->m_gameHasStreaming},
        {"ToolsEULA", &s->m_toolsLicence}, {"TechSupport", &s->m_techSupport},
        {"ToolsEULADeclineContinue", &s->m_toolsLicenceDeclineContinues},
        {"GameSpyInstall", &s->m_gameSpyInstall}, {"ZKDInstall", &s->m_zkdInstall},
    };
    const std::pair<const char*, const __int64*> sizes[] = {
        {"CacheMinimum", &s->m_cacheMinimum}, {"CacheSatisfactory", &s->m_cacheSatisfactory},
        {"CacheFull", &s->m_cacheFull}, {"InstallMinimum", &s->m_installMinimum},
        {"InstallSatisfactory", &s->m_installSatisfactory}, {"InstallFull", &s->m_installFull},
        {"InstallFullNoStreaming", &s->m_installFullNoStreaming}, {"SwapSize", &s->m_swapSize},
    };
    std::string cfg = "// written by the disc builder\r\nRegistry=Northwind\\Sky Pirates\r\n"
                      "AppName=Sky Pirates: Gold 2.0\r\nExecutable=Bin\\Release\\Pirates.exe\r\n"
                      "StartupCD=2\r\n";
    for (const auto& t : texts)
        cfg += std::string(t.key) + "=" + t.value + "\r\n";
    for (const auto& f : flags)
        cfg += std::string(f.first) + "=1\r\n";
    for (const auto& z : sizes)
        cfg += std::string(z.first) + "=" + std::to_string(&z - sizes + 111) + "\r\n";
    readConfig(*s, cfg + "[Other]\r\nAppName=Not this one\r\n");

    for (const auto& t : texts)
        EXPECT_STREQ(t.value, t.field) << t.key;
    for (const auto& f : flags)
        EXPECT_TRUE(*f.second) << f.first;
    for (const auto& z : sizes)
        EXPECT_EQ(&z - sizes + 111, *z.second) << z.first;
    EXPECT_FALSE(s->m_demo);
    EXPECT_EQ(2, s->m_startupDisc);
    EXPECT_STREQ("Northwind", s->m_company);
    EXPECT_STREQ("SOFTWARE\\Northwind\\Sky Pirates", s->m_registryKeyPath);
    for (const char* name : {s->m_displayName, s->m_productName})
        EXPECT_STREQ("Sky Pirates: Gold 2.0", name);
    for (const char* name : {s->m_friendlyName, s->m_registryName})
        EXPECT_STREQ("Sky Pirates Gold 20", name);
    EXPECT_STREQ("Pirates.exe", s->m_executable);
    EXPECT_STREQ("C:\\Users\\Player\\Start Menu\\Programs\\Northwind\\Sky Pirates Gold 2.0",
                 s->m_startMenuFolder);

    // Keys below a section header are not read; nothing of the first read stays but the company.
    s->m_availableLanguages[5] = true;
    readConfig(*s, "[Section]\r\nAppName=Under a header\r\n");
    for (const auto& t : texts)
        EXPECT_STREQ("", t.field) << t.key;
    for (const auto& f : flags)
        EXPECT_FALSE(*f.second) << f.first;
    for (const auto& z : sizes)
        EXPECT_EQ(0, *z.second) << z.first;
    for (const char* field : {s->m_displayName, s->m_productName, s->m_friendlyName,
                              s->m_registryName, s->m_executable})
        EXPECT_STREQ("", field);
    EXPECT_EQ(0, s->m_startupDisc);
    EXPECT_FALSE(s->m_availableLanguages[5]);
    EXPECT_STREQ("SOFTWARE\\", s->m_registryKeyPath);
    EXPECT_STREQ("Northwind", s->m_company);
}

TEST(ReadConfiguration, ValuesAsWrittenAndParsed) {
    // A blank after "=" belongs to the value; the friendly name drops it. Languages by name.
    auto named = freshState();
    readConfig(*named, "AppName= Blank Before\r\nFrench=1\r\nGerman=1\r\nEnglish US=0\r\n"
                       "Spanish (Mexican)=1\r\nenglish uk=1\r\nItalian=\r\n");
    EXPECT_STREQ(" Blank Before", named->m_displayName);
    EXPECT_STREQ("Blank Before", named->m_friendlyName);
    for (int i = 1; i < zk::kLanguageCount; ++i)
        EXPECT_EQ(i == 2 || i == 3 || i == 25, named->m_availableLanguages[i])
            << zk::g_languages[i].name;

    const struct {
        std::string value;
        __int64 size;  // as "CacheFull"
        int disc;      // as "StartupCD"
    } numbers[] = {
        {"2nd", 2, 2}, {"-3", -3, -3}, {"x12", 0, 0}, {"4294967296", 4294967296LL, INT_MAX},
        {"9223372036854775807", LLONG_MAX, INT_MAX}, {"-9223372036854775808", LLONG_MIN, INT_MIN},
    };
    for (const auto& n : numbers) {
        auto s = freshState();
        readConfig(*s, "CacheFull=" + n.value + "\r\nStartupCD=" + n.value + "\r\n");
        EXPECT_EQ(n.size, s->m_cacheFull) << n.value;
        EXPECT_EQ(n.disc, s->m_startupDisc) << n.value;
    }
    // A demo has no technical support.
    for (std::string techAndDemo : {"10", "11", "01"}) {
        auto s = freshState();
        readConfig(*s, "TechSupport=" + techAndDemo.substr(0, 1) + "\r\nDemo=" +
                           techAndDemo.substr(1) + "\r\n");
        EXPECT_EQ(techAndDemo[1] == '1', s->m_demo) << techAndDemo;
        EXPECT_EQ(techAndDemo == "10", s->m_techSupport) << techAndDemo;
    }
}

TEST(ReadConfiguration, OverlongValuesAreCutToTheirFields) {
    auto s = freshState();
    // A copy that ran past its field would show in the fields read after it.
    std::string name(400, 'N'), url(1500, 'u');
    readConfig(*s, "AppName=" + name + "\r\nWebURL=" + url + "\r\nRegistry=" +
                       std::string(300, 'C') + "\\Game\r\nRegistryLnk=Link\r\nVersion=3.1\r\n");
    for (const char* field : {s->m_displayName, s->m_productName, s->m_friendlyName})
        EXPECT_EQ(name.substr(0, 259), field);
    size_t urlLength = strnlen(s->m_webURL, sizeof s->m_webURL);
    EXPECT_LT(urlLength, sizeof s->m_webURL);
    EXPECT_GT(urlLength, 259u) << "the web address has room for more than a plain field";
    EXPECT_EQ(url.substr(0, urlLength), s->m_webURL);
    // The cut "Registry" value has no backslash left, so it names no company.
    EXPECT_EQ(259u, strnlen(s->m_registryKeyPath, sizeof s->m_registryKeyPath));
    EXPECT_EQ(0, strncmp("SOFTWARE\\CCC", s->m_registryKeyPath, 12));
    EXPECT_STREQ("Vantorel", s->m_company);
    EXPECT_STREQ("Link", s->m_coreLink);
    EXPECT_STREQ("3.1", s->m_version);
    EXPECT_LT(strnlen(s->m_startMenuFolder, sizeof s->m_startMenuFolder),
              sizeof s->m_startMenuFolder);
}

TEST(ReadConfiguration, StoredLanguageOfAnEarlierInstallationBecomesCurrent) {
    const std::string company = "ZKSettingsUnit" + std::to_string(GetCurrentProcessId());
    const std::string key = "SOFTWARE\\" + company + "\\Game";
    const HKEY user = HKEY_CURRENT_USER, machine = HKEY_LOCAL_MACHINE;
    const std::string longName(300, 'L');
    const struct {
        const char *name, *userLanguage, *machineLanguage;  // null: no "Language" value
        bool count;                                         // NumLanguages=3 in the user's key
        int expected;
        bool fromRegistry;
    } cases[] = {
        {"French on a German system", "French", nullptr, true, 2, true},
        {"machine key", nullptr, "Hungarian", false, 24, true},
        {"the user's key wins", "Polish", "Italian", false, 20, true},
        {"unknown name: first on the disc", "Klingon", nullptr, true, 3, true},
        {"case matters", "french", nullptr, false, 3, true},
        {"too long for any name", longName.c_str(), nullptr, false, 3, true},
        {"no value: detected language stays", nullptr, nullptr, true, 6, false},
        {"no key", nullptr, nullptr, false, 6, false},
    };
    for (const auto& c : cases) {
        if (c.userLanguage)
            zktest::setText(user, key, "Language", c.userLanguage);
        if (c.machineLanguage)
            zktest::setText(machine, key, "Language", c.machineLanguage);
        if (c.count)
            zktest::setNumber(user, key, "NumLanguages", 3);
        auto s = freshState();
        s->m_currentLanguage = 6;  // as detected at load (Swedish)
        readConfig(*s, "Registry=" + company + "\\Game\r\nGerman=1\r\nDutch=1\r\n");
        EXPECT_EQ(c.expected, s->m_currentLanguage) << c.name;
        EXPECT_EQ(c.fromRegistry, s->m_languageFromRegistry) << c.name;
        EXPECT_EQ(c.count ? 3 : 0, s->m_numLanguages) << c.name;
        zktest::deleteTree(user, "SOFTWARE\\" + company);
        zktest::deleteTree(machine, "SOFTWARE\\" + company);
    }
}

// The whole settings read from disc 1 in drive D:.
TEST(ReadSettings, DerivedFieldsFollowTheConfiguration) {
    ASSERT_TRUE(zktest::haveDiscDrives()) << "run through the build's wine-run.sh";
    zktest::DiscDrivesGuard drives;
    const std::string disc = zktest::discFolder('D');
    const std::string company = "ZKSettingsWhole" + std::to_string(GetCurrentProcessId());
    const struct {
        std::string extra;  // settings besides the product's own
        const char* region;
        bool iconHasFolder;
    } cases[] = {{"Icon=pirates.ico\r\n", "none", false},
                 {"Icon=Art\\pirates.ico\r\nRTPatchCDID=EU\r\n", "EU", true}};
    for (const auto& c : cases) {
        zktest::insertDisc('D', 1);
        zktest::makeDirs(disc + "\\AutoRun");
        // An unknown stored language and none on the disc: the English of the machine's region.
        zktest::writeFile(disc + "\\AutoRun\\autorun.cfg",
                          c.extra + "AppName=Sky: Pirates\r\nRegistry=" + company + "\\Sky\r\n");
        zktest::setText(HKEY_CURRENT_USER, "SOFTWARE\\" + company + "\\Sky", "Language", "Elvish");

        auto s = freshState();
        zk::copyText(s->m_installFrom, "D:");
        s->m_northAmerica = !CZKSystem::m_isNorthAmerica;  // as left by an earlier read
        zk::readSettings(*s);
        SetCurrentDirectoryA("C:\\");  // off the disc, which the next case replaces
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
}

} // namespace
