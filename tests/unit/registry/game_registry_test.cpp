// The game's registry entries written from an installer state, read back
// with the system's registry calls, and the flags and detection that read
// them again.
#include <gtest/gtest.h>

#include <objbase.h>

#include <memory>
#include <string>

#include "core/installer.h"
#include "core/text.h"
#include "integration/game_registry.h"
#include "zktest/harness.h"
#include "zktest/regvalues.h"

namespace {

using zk::CZKInstaller;
using zktest::dword;
using zktest::RegValue;
using zktest::sz;
typedef std::map<std::string, RegValue> Values;

const std::string kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kInstalledGames = "SOFTWARE\\Vantorel\\ZK Core\\Installed Games\\";
const HKEY HKLM = HKEY_LOCAL_MACHINE;

std::string newGuid() {
    GUID guid;
    CoCreateGuid(&guid);
    wchar_t wide[64];
    StringFromGUID2(guid, wide, 64);
    char text[64];
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

std::string lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

class GameRegistry : public ::testing::Test {
  protected:
    void SetUp() override {
        zk::g_messageBox = zktest::MessageScript::callback;
        std::string pid = std::to_string(GetCurrentProcessId());
        exe = "ZKRegUnit" + pid + ".exe";
        company = "ZKRegUnit" + pid;
        coreLink = "ZKRegFamily" + pid;
        guid = newGuid();
        installFolder = dir / "Games\\Game One";
        installFrom = dir / "Disc Root\\AutoRun";
        zktest::makeDirs(installFolder + "\\bin");
        zktest::makeDirs(installFolder + "\\Art");
        zktest::makeDirs(installFrom);
        zktest::writeFile(installFolder + "\\bin\\" + exe, "MZ");
        zktest::writeFile(installFolder + "\\Art\\game.ico", "icon");
        cleanRegistry();
        s = configured();
    }
    void TearDown() override {
        cleanRegistry();
        zk::g_messageBox = nullptr;
    }

    void cleanRegistry() {
        zktest::deleteTree(HKLM, kAppPaths + exe);
        zktest::deleteTree(HKLM, "SOFTWARE\\" + company);
        zktest::deleteTree(HKLM, kUninstall + guid);
        zktest::deleteTree(HKLM, kInstalledGames + coreLink);
        zktest::deleteIfEmpty(HKLM, "SOFTWARE\\Vantorel\\ZK Core\\Installed Games");
        zktest::deleteIfEmpty(HKLM, "SOFTWARE\\Vantorel\\ZK Core");
        zktest::deleteIfEmpty(HKLM, "SOFTWARE\\Vantorel");
    }

    // The state of a configured installer, as the settings and the host's
    // choices leave it.
    std::unique_ptr<CZKInstaller> configured() {
        auto st = std::make_unique<CZKInstaller>();
        zk::copyText(st->m_executable, exe.c_str());
        zk::copyText(st->m_company, company.c_str());
        zk::copyText(st->m_registryName, "Game One");
        zk::copyText(st->m_productName, "Game One: Deluxe");
        zk::copyText(st->m_friendlyName, "Game One Deluxe");
        zk::copyText(st->m_productGUID, guid.c_str());
        zk::copyText(st->m_rtPatchDiscId, "EU");
        zk::copyText(st->m_version, "2.1");
        zk::copyText(st->m_rtPatchURL, "http://patch.example/game");
        zk::copyText(st->m_suppressionExe, "suppress.exe");
        zk::copyText(st->m_coreLink, coreLink.c_str());
        zk::copyText(st->m_icon, "game.ico");
        zk::copyText(st->m_installFolder, installFolder.c_str());
        zk::copyText(st->m_installFrom, installFrom.c_str());
        zk::copyText(st->m_startMenuFolder, "C:\\Menu\\Vantorel\\Game One");
        st->m_currentLanguage = 2;  // French, prefix fr-fr
        return st;
    }

    void writeEverything(CZKInstaller& st) {
        st.m_installUtility.writeGameRegistry(st);
        st.m_installUtility.writeUninstallEntry(st);
    }

    std::string appKey() const { return kAppPaths + exe; }
    std::string gameKey() const { return "SOFTWARE\\" + company + "\\Game One"; }
    std::string text(const std::string& key, const std::string& name) {
        Values v = zktest::readValues(HKLM, key);
        auto it = v.find(name);
        return it == v.end() ? "<missing>" : it->second.data.substr(0, it->second.data.find('\0'));
    }

    zktest::MessageScript script;
    zktest::ScratchDir dir{"zkreg"};
    std::string exe, company, coreLink, guid, installFolder, installFrom;
    std::unique_ptr<CZKInstaller> s;
};

// A short form names the same folder, ends in a backslash and has no blanks.
void expectShortFormOf(const std::string& folder, const std::string& value) {
    ASSERT_FALSE(value.empty());
    EXPECT_EQ('\\', value.back()) << value;
    EXPECT_EQ(std::string::npos, value.find(' ')) << value;
    char longForm[MAX_PATH] = {};
    GetLongPathNameA(value.c_str(), longForm, sizeof longForm);
    EXPECT_EQ(0, lstrcmpiA((folder + "\\").c_str(), longForm)) << value << " -> " << longForm;
}

TEST_F(GameRegistry, WritesEveryKeyWithItsValuesTypesAndSizes) {
    writeEverything(*s);
    std::string foundExe = installFolder + "\\bin\\" + exe;

    Values app = zktest::readValues(HKLM, appKey());
    EXPECT_EQ((Values{{"", sz(foundExe)},
                      {"Path", sz(installFolder)},
                      {"Game Registry", sz(gameKey())}}),
              app);

    Values game = zktest::readValues(HKLM, gameKey());
    std::string installDir = text(gameKey(), "Install Dir");
    std::string installedFrom = text(gameKey(), "Installed From");
    expectShortFormOf(installFolder, installDir);
    expectShortFormOf(installFrom, installedFrom);
    EXPECT_EQ((Values{{"DisplayName", sz("Game One: Deluxe")},
                      {"Language", sz("French")},
                      {"Locale", sz("fr_fr")},
                      {"CD Drive", sz(installFrom.substr(0, 2) + "\\")},
                      {"Install Dir", sz(installDir)},
                      {"Product GUID", sz(guid)},
                      {"Installed From", sz(installedFrom)},
                      {"Region", sz("EU")},
                      {"Folder", sz("C:\\Menu\\Vantorel\\Game One\\")},
                      {"Patch URL", sz("http://patch.example/game")},
                      {"Suppression Exe", sz("suppress.exe")},
                      {"CoreLink", sz(coreLink)}}),
              game);
    EXPECT_EQ((std::map<std::string, int>{{"2.1", 1}}), zktest::subkeys(HKLM, gameKey()));

    EXPECT_EQ((Values{{"DisplayName", sz("Game One: Deluxe")},
                      {"Language", dword(2)},
                      {"LanguageName", sz("French")}}),
              zktest::readValues(HKLM, gameKey() + "\\2.1"));

    EXPECT_EQ((Values{{"GameLauncherPath", sz(foundExe)}}),
              zktest::readValues(HKLM, kInstalledGames + coreLink + "\\" + exe));

    EXPECT_EQ((Values{{"DisplayName", sz("Game One: Deluxe")},
                      {"FriendlyName", sz("Game One Deluxe")},
                      {"Publisher", sz("Vantorel")},
                      {"LogFile", sz(installFolder + "\\filelist.txt")},
                      {"UninstallString", sz(installFolder + "\\ZKUninstall.exe")},
                      {"DisplayIcon", sz(installFolder + "\\Art\\game.ico")}}),
              zktest::readValues(HKLM, kUninstall + guid));
    EXPECT_TRUE(script.calls().empty());
}

TEST_F(GameRegistry, NetworkLocationsAndMissingFilesKeepTheComposedPaths) {
    zk::copyText(s->m_installFrom, "\\\\server\\share\\setup");
    zk::copyText(s->m_executable, exe.c_str());
    zktest::removeTree(installFolder + "\\bin");
    zktest::removeTree(installFolder + "\\Art");
    writeEverything(*s);
    EXPECT_EQ("\\\\server\\share\\", text(gameKey(), "CD Drive"));
    // No short form for a location that does not exist: the long form stays,
    // never an empty folder.
    EXPECT_EQ("\\\\server\\share\\setup\\", text(gameKey(), "Installed From"));
    EXPECT_EQ(installFolder + "\\" + exe, text(appKey(), ""));
    EXPECT_EQ(installFolder + "\\game.ico", text(kUninstall + guid, "DisplayIcon"));

    zk::copyText(s->m_installFolder, (dir / "Not There").c_str());
    writeEverything(*s);
    EXPECT_EQ(dir / "Not There\\", text(gameKey(), "Install Dir"));
}

TEST_F(GameRegistry, OptionalEntriesAreLeftOut) {
    zk::copyText(s->m_coreLink, "");
    zk::copyText(s->m_icon, "");
    zk::copyText(s->m_version, "");
    writeEverything(*s);

    Values game = zktest::readValues(HKLM, gameKey());
    EXPECT_EQ(0u, game.count("CoreLink"));
    EXPECT_FALSE(zktest::keyExists(HKLM, kInstalledGames + coreLink));
    EXPECT_EQ(0u, zktest::readValues(HKLM, kUninstall + guid).count("DisplayIcon"));
    // Without a version the subkey is "1.0", and the game key's Language
    // stays the language's name.
    EXPECT_EQ(sz("French"), game["Language"]);
    EXPECT_EQ(dword(2), zktest::readValues(HKLM, gameKey() + "\\1.0")["Language"]);
}

// The bare App Paths and Uninstall keys are shared by every program: a state
// without an executable or a GUID must not write into them.
TEST_F(GameRegistry, SharedParentKeysAreNeverWritten) {
    std::string appRoot = kAppPaths.substr(0, kAppPaths.size() - 1);
    std::string uninstallRoot = kUninstall.substr(0, kUninstall.size() - 1);
    Values appBefore = zktest::readValues(HKLM, appRoot);
    Values uninstallBefore = zktest::readValues(HKLM, uninstallRoot);

    zk::copyText(s->m_executable, "");
    zk::copyText(s->m_productGUID, "");
    s->m_installUtility.writeGameRegistry(*s);
    EXPECT_FALSE(s->m_installUtility.writeUninstallEntry(*s));
    s->m_installUtility.setInstalledFlag(*s, true);
    s->m_installUtility.setRestartFlag(*s, true);

    EXPECT_EQ(appBefore, zktest::readValues(HKLM, appRoot));
    EXPECT_EQ(uninstallBefore, zktest::readValues(HKLM, uninstallRoot));
    EXPECT_FALSE(zktest::keyExists(HKLM, kInstalledGames + coreLink + "\\"));
    // The game key itself is still written.
    EXPECT_EQ("Game One: Deluxe", text(gameKey(), "DisplayName"));
}

TEST_F(GameRegistry, GameKeyThatCannotBeCreatedIsShownAndTheRestIsWritten) {
    zk::copyText(s->m_registryName, "");
    writeEverything(*s);
    ASSERT_EQ(1u, script.calls().size());
    EXPECT_FALSE(script.calls()[0].text.empty());
    EXPECT_EQ(unsigned(MB_OK | MB_ICONERROR), script.calls()[0].style);
    // Nothing landed in the division's own key.
    EXPECT_TRUE(zktest::readValues(HKLM, "SOFTWARE\\" + company).empty());
    EXPECT_EQ(installFolder, text(appKey(), "Path"));
    EXPECT_EQ("Vantorel", text(kUninstall + guid, "Publisher"));
}

TEST_F(GameRegistry, SizesAreKilobyteTextInTheGameKey) {
    struct Case {
        __int64 bytes;
        const char* text;
    } cases[] = {{1048576, "1024"}, {1000, "0"}, {10737418240LL, "10485760"}};
    for (const Case& c : cases) {
        s->m_installUtility.setCacheSize(*s, c.bytes);
        s->m_installUtility.setSwapSize(*s, c.bytes * 2);
        Values game = zktest::readValues(HKLM, gameKey());
        EXPECT_EQ(sz(c.text), game["CacheSize"]) << c.bytes;
        char swap[32];
        zk::kilobyteText(c.bytes * 2, swap, sizeof swap);
        EXPECT_EQ(sz(swap), game["SwapSize"]) << c.bytes;
    }
    // The registry tool sees text values, not numbers.
    s->m_installUtility.setCacheSize(*s, 1048576);
    s->m_installUtility.writeGameRegistry(*s);
    std::string exported = zktest::regExport("SOFTWARE\\" + company);
    EXPECT_NE(std::string::npos, exported.find("\"CacheSize\"=\"1024\"")) << exported;
    EXPECT_NE(std::string::npos, exported.find("\"Language\"=dword:00000002")) << exported;
    EXPECT_NE(std::string::npos, exported.find("\"Language\"=\"French\"")) << exported;
}

// --- restart record --------------------------------------------------------------

TEST_F(GameRegistry, RestartRecordBringsBackTheInterruptedInstallation) {
    s->m_directXInstalled = true;
    s->m_installUtility.setRestartFlag(*s, true);
    EXPECT_EQ(dword(1), zktest::readValues(HKLM, appKey())["Restart"]);
    EXPECT_EQ(dword(1), zktest::readValues(HKLM, appKey())["DirectX Installed"]);
    expectShortFormOf(installFrom, text(gameKey(), "Installed From"));

    // After the reboot: a fresh state that knows only the executable.
    auto after = std::make_unique<CZKInstaller>();
    zk::copyText(after->m_executable, exe.c_str());
    zk::copyText(after->m_version, "2.1");
    zk::copyText(after->m_company, "Vantorel");
    zk::copyText(after->m_installFrom, "C:\\elsewhere");
    after->m_currentLanguage = 1;
    EXPECT_TRUE(after->m_installUtility.getRestartFlag(*after));
    EXPECT_STREQ(company.c_str(), after->m_company);
    EXPECT_STREQ("Game One", after->m_registryName);
    EXPECT_TRUE(after->m_directXInstalled);
    EXPECT_EQ(2, after->m_currentLanguage);
    std::string restored = after->m_installFrom;
    ASSERT_FALSE(restored.empty());
    EXPECT_NE('\\', restored.back());
    expectShortFormOf(installFrom, restored + "\\");

    s->m_installUtility.setRestartFlag(*s, false);
    EXPECT_FALSE(after->m_installUtility.getRestartFlag(*after));
}

TEST_F(GameRegistry, RestartCountsOnlyWithADirectXInstallation) {
    const int kMissing = -1;
    struct Case {
        const char* name;
        int restart, directX;
        const char* gameRegistry;
        bool versionKey;
        DWORD language;
        bool directXBefore;
        bool expected, directXAfter;
        const char* companyAfter;
    } cases[] = {
        {"no restart, DirectX 1", 0, 1, nullptr, true, 3, false, false, true, "before"},
        {"no restart, DirectX 0", 0, 0, nullptr, true, 3, true, false, true, "before"},
        {"no restart, DirectX missing", 0, kMissing, nullptr, true, 3, true, false, false, "before"},
        {"restart missing", kMissing, 1, nullptr, true, 3, false, false, true, "before"},
        {"restart, DirectX 0", 1, 0, "G", true, 3, true, false, false, "div"},
        {"restart, DirectX missing", 1, kMissing, "G", true, 3, true, false, false, "div"},
        {"restart, one backslash", 1, 1, "SOFTWARE\\div", true, 3, false, false, false, "before"},
        {"restart, no Game Registry", 1, 1, "", true, 3, false, false, false, "before"},
        {"restart, no version key", 1, 1, "G", false, 3, false, false, true, "div"},
        {"restart pending", 1, 1, "G", true, 3, false, true, true, "div"},
        {"restart, language out of range", 1, 1, "G", true, 99, false, true, true, "div"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string pid = std::to_string(GetCurrentProcessId());
        std::string division = "ZKRegDiv" + pid;
        std::string game = "SOFTWARE\\" + division + "\\Game";
        zktest::deleteTree(HKLM, appKey());
        zktest::deleteTree(HKLM, "SOFTWARE\\" + division);
        if (c.restart != kMissing)
            zktest::setNumber(HKLM, appKey(), "Restart", c.restart);
        if (c.directX != kMissing)
            zktest::setNumber(HKLM, appKey(), "DirectX Installed", c.directX);
        if (c.gameRegistry && c.gameRegistry[0])
            zktest::setText(HKLM, appKey(), "Game Registry",
                            std::string(c.gameRegistry) == "G" ? game : c.gameRegistry);
        zktest::setText(HKLM, game, "Installed From", "D:\\");
        if (c.versionKey)
            zktest::setNumber(HKLM, game + "\\1.0", "Language", c.language);

        auto st = std::make_unique<CZKInstaller>();
        zk::copyText(st->m_executable, exe.c_str());
        zk::copyText(st->m_version, "1.0");
        zk::copyText(st->m_company, "before");
        st->m_currentLanguage = 1;
        st->m_directXInstalled = c.directXBefore;
        EXPECT_EQ(c.expected, st->m_installUtility.getRestartFlag(*st));
        EXPECT_EQ(c.directXAfter, st->m_directXInstalled);
        EXPECT_STREQ(std::string(c.companyAfter) == "div" ? division.c_str() : "before",
                     st->m_company);
        if (c.expected) {
            EXPECT_STREQ("D:", st->m_installFrom);
            EXPECT_EQ(c.language <= 25 ? int(c.language) : 1, st->m_currentLanguage);
        }
        zktest::deleteTree(HKLM, "SOFTWARE\\" + division);
    }
    // Without an App Paths key nothing is read and nothing changes.
    zktest::deleteTree(HKLM, appKey());
    auto st = std::make_unique<CZKInstaller>();
    zk::copyText(st->m_executable, exe.c_str());
    st->m_directXInstalled = true;
    EXPECT_FALSE(st->m_installUtility.getRestartFlag(*st));
    EXPECT_TRUE(st->m_directXInstalled);
}

// --- reading an installation back ----------------------------------------------

TEST_F(GameRegistry, ReadBackReportsTheFirstMissingPiece) {
    struct Case {
        const char* missing;  // value name, or "key:<suffix>" for a whole key
        int code;
    } cases[] = {
        {nullptr, 0},
        {"key:app", -1},
        {"key:game", -2},
        {"DisplayName", -3},
        {"Install Dir", -5},
        {"Product GUID", -6},
        {"Installed From", -7},
        {"Region", -8},
        {"Folder", -9},
        {"Patch URL", -10},
        {"key:version", -5},
        {"version:Language", -4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.missing ? c.missing : "nothing missing");
        cleanRegistry();
        writeEverything(*s);
        std::string missing = c.missing ? c.missing : "";
        if (missing == "key:app")
            zktest::deleteTree(HKLM, appKey());
        else if (missing == "key:game")
            zktest::deleteTree(HKLM, gameKey());
        else if (missing == "key:version")
            zktest::deleteTree(HKLM, gameKey() + "\\2.1");
        else if (missing == "version:Language")
            zktest::deleteValue(HKLM, gameKey() + "\\2.1", "Language");
        else if (!missing.empty())
            zktest::deleteValue(HKLM, gameKey(), missing);

        auto st = std::make_unique<CZKInstaller>();
        zk::copyText(st->m_executable, exe.c_str());
        zk::copyText(st->m_company, company.c_str());
        zk::copyText(st->m_registryName, "Game One");
        zk::copyText(st->m_version, "2.1");
        zk::copyText(st->m_productName, "old");
        zk::copyText(st->m_rtPatchDiscId, "old");
        EXPECT_EQ(c.code, st->m_installUtility.readGameRegistry(*st));
        // Values read before the failure are kept, the rest untouched.
        bool nameRead = c.code == 0 || c.code <= -4 || (c.code == -5 && missing != "Install Dir");
        EXPECT_STREQ(nameRead ? "Game One: Deluxe" : "old", st->m_productName);
        bool regionRead = c.code == 0 || c.code == -9 || c.code == -10 || c.code == -4 ||
                          missing == "key:version";
        EXPECT_STREQ(regionRead ? "EU" : "old", st->m_rtPatchDiscId);
        if (c.code == 0) {
            expectShortFormOf(installFolder, std::string(st->m_installFolder) + "\\");
            expectShortFormOf(installFrom, std::string(st->m_installFrom) + "\\");
            EXPECT_STREQ(guid.c_str(), st->m_productGUID);
            EXPECT_STREQ("C:\\Menu\\Vantorel\\Game One", st->m_startMenuFolder);
            EXPECT_STREQ("http://patch.example/game", st->m_rtPatchURL);
            EXPECT_EQ(2, st->m_currentLanguage);
        }
    }
}

TEST_F(GameRegistry, ReadBackFollowsTheRecordedGameKey) {
    writeEverything(*s);
    auto st = std::make_unique<CZKInstaller>();
    zk::copyText(st->m_executable, exe.c_str());
    zk::copyText(st->m_company, "Somebody Else");
    zk::copyText(st->m_registryName, "Other");
    zk::copyText(st->m_version, "2.1");
    EXPECT_EQ(0, st->m_installUtility.readGameRegistry(*st));
    EXPECT_STREQ("Game One: Deluxe", st->m_productName);

    // Without "Game Registry" the key composed from the state is used.
    zktest::deleteValue(HKLM, appKey(), "Game Registry");
    EXPECT_EQ(-2, st->m_installUtility.readGameRegistry(*st));
    zk::copyText(st->m_company, company.c_str());
    zk::copyText(st->m_registryName, "Game One");
    EXPECT_EQ(0, st->m_installUtility.readGameRegistry(*st));
}

// --- detecting an earlier installation ---------------------------------------------

TEST_F(GameRegistry, PreviousInstallationNeedsACompletedMatchingInstall) {
    const std::string otherGuid = newGuid();
    struct Case {
        const char* name;
        const char* configuredGuid;  // "same", "lower", "other", or literal
        const char* storedGuid;      // null: as written
        int installed;               // -1: value missing
        bool removeExecutable;
        const char* removeValue;
        bool expected;
    } cases[] = {
        {"matching", "same", nullptr, 1, false, nullptr, true},
        {"matching in other case", "lower", nullptr, 1, false, nullptr, true},
        {"different GUID", "other", nullptr, 1, false, nullptr, false},
        {"placeholder GUID", "1234ABCD-56EF-78GH-90IJ-123456KLMNOP", nullptr, 1, false, nullptr,
         false},
        {"malformed stored GUID", "{not-a-guid}", "{not-a-guid}", 1, false, nullptr, false},
        {"installed 0", "same", nullptr, 0, false, nullptr, false},
        {"installed missing", "same", nullptr, -1, false, nullptr, false},
        {"executable gone", "same", nullptr, 1, true, nullptr, false},
        {"incomplete entries", "same", nullptr, 1, false, "Patch URL", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cleanRegistry();
        zktest::writeFile(installFolder + "\\bin\\" + exe, "MZ");
        writeEverything(*s);
        if (c.installed >= 0)
            s->m_installUtility.setInstalledFlag(*s, c.installed != 0);
        if (c.storedGuid)
            zktest::setText(HKLM, gameKey(), "Product GUID", c.storedGuid);
        if (c.removeExecutable)
            DeleteFileA((installFolder + "\\bin\\" + exe).c_str());
        if (c.removeValue)
            zktest::deleteValue(HKLM, gameKey(), c.removeValue);

        std::string configuredGuid = c.configuredGuid;
        if (configuredGuid == "same")
            configuredGuid = guid;
        else if (configuredGuid == "lower")
            configuredGuid = lower(guid);
        else if (configuredGuid == "other")
            configuredGuid = otherGuid;
        // A leftover Uninstall entry of the configured product.
        zktest::setText(HKLM, kUninstall + configuredGuid, "DisplayName", "leftover");

        // As the settings reader leaves the state before detection.
        auto st = std::make_unique<CZKInstaller>();
        zk::copyText(st->m_executable, exe.c_str());
        zk::copyText(st->m_company, company.c_str());
        zk::copyText(st->m_registryName, "Game One");
        zk::copyText(st->m_version, "2.1");
        zk::copyText(st->m_productGUID, configuredGuid.c_str());
        zk::copyText(st->m_productName, "Configured");
        zk::copyText(st->m_installFolder, "C:\\Program Files\\Vantorel\\Game One");
        zk::copyText(st->m_installFrom, "C:\\Disc");
        st->m_currentLanguage = 1;

        EXPECT_EQ(c.expected, zk::detectPreviousInstallation(*st));
        EXPECT_EQ(c.expected, st->m_previouslyInstalled);
        if (c.expected) {
            EXPECT_STREQ("Game One: Deluxe", st->m_productName);
            expectShortFormOf(installFolder, std::string(st->m_installFolder) + "\\");
            EXPECT_EQ(2, st->m_currentLanguage);
            EXPECT_TRUE(st->m_availableLanguages[2]);
            EXPECT_TRUE(zktest::keyExists(HKLM, kUninstall + configuredGuid));
        } else {
            // Nothing of the old installation is adopted, even when part of
            // it could be read.
            EXPECT_STREQ("C:\\Program Files\\Vantorel\\Game One", st->m_installFolder);
            EXPECT_STREQ("Configured", st->m_productName);
            EXPECT_STREQ("C:\\Disc", st->m_installFrom);
            EXPECT_EQ(1, st->m_currentLanguage);
            EXPECT_FALSE(zktest::keyExists(HKLM, kUninstall + configuredGuid));
        }
        // Another product's entry is never touched.
        if (configuredGuid != guid) {
            EXPECT_EQ("Vantorel", text(kUninstall + guid, "Publisher"));
        }
        zktest::deleteTree(HKLM, kUninstall + configuredGuid);
    }
}

// --- the uninstaller in the install folder ---------------------------------------

TEST_F(GameRegistry, UninstallerIsPlacedOnceAndLogged) {
    std::string first = dir / "first", second = dir / "second";
    zktest::makeDirs(first);
    zktest::makeDirs(second);
    zktest::writeFile(first + "\\ZKInstall.dll", "library from first");
    zktest::writeFile(second + "\\ZKInstall.dll", "library from second");
    zktest::writeFile(second + "\\ZKUninstall.exe", "uninstaller from second");
    SetFileAttributesA((second + "\\ZKUninstall.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    const char* folders[] = {"", first.c_str(), second.c_str()};

    EXPECT_EQ(2, zk::placeUninstaller(*s, folders, 3));
    EXPECT_EQ("uninstaller from second", zktest::readFile(installFolder + "\\ZKUninstall.exe"));
    EXPECT_EQ("library from first", zktest::readFile(installFolder + "\\ZKInstall.dll"));
    EXPECT_EQ(0u, GetFileAttributesA((installFolder + "\\ZKUninstall.exe").c_str()) &
                      FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ("0,0,ZKUninstall.exe\r\n0,0,ZKInstall.dll\r\n",
              zktest::readFile(installFolder + "\\filelist.txt"));

    // Files already in the install folder stay as they are and are not logged
    // again.
    zktest::writeFile(installFolder + "\\ZKInstall.dll", "installed from the disc");
    EXPECT_EQ(0, zk::placeUninstaller(*s, folders, 3));
    EXPECT_EQ("installed from the disc", zktest::readFile(installFolder + "\\ZKInstall.dll"));
    EXPECT_EQ(2u, zktest::lines(zktest::readFile(installFolder + "\\filelist.txt")).size());

    // Nothing to take from: nothing copied, nothing logged.
    DeleteFileA((installFolder + "\\ZKUninstall.exe").c_str());
    const char* empty[] = {first.c_str()};
    EXPECT_EQ(0, zk::placeUninstaller(*s, empty, 1));
    EXPECT_FALSE(zktest::exists(installFolder + "\\ZKUninstall.exe"));
    SetFileAttributesA((second + "\\ZKUninstall.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
}

} // namespace
