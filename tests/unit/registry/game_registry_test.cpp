// The game's registry entries written from a state, read back with the system's calls.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "core/host.h"
#include "core/installer.h"
#include "platform/text.h"
#include "integration/game_registry.h"
#include "zktest/harness.h"
#include "zktest/regvalues.h"

namespace {

using zk::CZKInstaller;
using zktest::dword;
using zktest::sz;
typedef std::map<std::string, zktest::RegValue> Values;

const std::string kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kInstalledGames = "SOFTWARE\\Vantorel\\ZK Core\\Installed Games\\";
const HKEY HKLM = HKEY_LOCAL_MACHINE;

// A GUID of this test run; `kind` tells products apart.
std::string newGuid(unsigned kind) {
    char text[64];
    snprintf(text, sizeof text, "{6B29FC40-CA47-1067-B31D-%04X%08lX}", kind, GetCurrentProcessId());
    return text;
}

// Sets text fields of a state.
void set(std::initializer_list<std::pair<char*, std::string>> fields) {
    for (const auto& f : fields)
        zk::copyText(f.first, zk::kText, f.second.c_str());
}

// A short form names the same folder, ends in a backslash and has no blanks.
void expectShortFormOf(const std::string& folder, const std::string& value) {
    ASSERT_FALSE(value.empty());
    EXPECT_EQ('\\', value.back()) << value;
    EXPECT_EQ(std::string::npos, value.find(' ')) << value;
    char longForm[MAX_PATH] = {};
    GetLongPathNameA(value.c_str(), longForm, sizeof longForm);
    EXPECT_EQ(0, lstrcmpiA((folder + "\\").c_str(), longForm)) << value << " -> " << longForm;
}

class GameRegistry : public ::testing::Test {
  protected:
    void SetUp() override {
        zk::g_messageBox = zktest::MessageScript::callback;
        zktest::makeDirs(installFolder + "\\Art");
        zktest::makeDirs(installFolder + "\\bin");
        zktest::makeDirs(installFrom);
        zktest::writeFile(installFolder + "\\bin\\" + exe, "MZ");
        zktest::writeFile(installFolder + "\\Art\\game.ico", "icon");
        cleanRegistry();
        s = bare(company.c_str(), "2.1");
        set({{s->m_productName, "Game One: Deluxe"}, {s->m_friendlyName, "Game One Deluxe"},
             {s->m_productGUID, guid}, {s->m_rtPatchDiscId, "EU"}, {s->m_coreLink, coreLink},
             {s->m_rtPatchURL, "http://patch.example/game"}, {s->m_icon, "game.ico"},
             {s->m_suppressionExe, "suppress.exe"}, {s->m_installFolder, installFolder},
             {s->m_installFrom, installFrom},
             {s->m_startMenuFolder, "C:\\Menu\\Vantorel\\Game One"}});
        s->m_currentLanguage = 2;  // French, prefix fr-fr
    }
    void TearDown() override {
        cleanRegistry();
        zk::g_messageBox = nullptr;
    }

    void cleanRegistry() {
        zktest::deleteTree(HKLM, appKey());
        zktest::deleteTree(HKLM, "SOFTWARE\\" + company);
        zktest::deleteTree(HKLM, kUninstall + guid);
        zktest::deleteTree(HKLM, kInstalledGames + coreLink);
        zktest::deleteIfEmpty(HKLM, "SOFTWARE\\Vantorel\\ZK Core\\Installed Games");
        zktest::deleteIfEmpty(HKLM, "SOFTWARE\\Vantorel\\ZK Core");
        zktest::deleteIfEmpty(HKLM, "SOFTWARE\\Vantorel");
    }

    // A state that knows the executable and the game key's name only.
    std::unique_ptr<CZKInstaller> bare(const char* division, const char* version) {
        auto st = std::make_unique<CZKInstaller>();
        set({{st->m_executable, exe}, {st->m_company, division}, {st->m_registryName, "Game One"},
             {st->m_version, version}});
        return st;
    }

    void writeEverything() {
        zk::writeGameRegistry(*s);
        zk::writeUninstallEntry(*s);
    }

    std::string appKey() const { return kAppPaths + exe; }
    std::string gameKey() const { return "SOFTWARE\\" + company + "\\Game One"; }
    std::string text(const std::string& key, const std::string& name) {
        return zktest::text(HKLM, key, name);
    }

    zktest::MessageScript script;
    zktest::ScratchDir dir{"zkreg"};
    const std::string pid = std::to_string(GetCurrentProcessId()), guid = newGuid(1);
    const std::string exe = "ZKRegUnit" + pid + ".exe", company = "ZKRegUnit" + pid;
    const std::string coreLink = "ZKRegFamily" + pid, installFolder = dir / "Games\\Game One";
    const std::string installFrom = dir / "Disc Root\\AutoRun";
    std::unique_ptr<CZKInstaller> s;
};

TEST_F(GameRegistry, WritesEveryKeyWithItsValuesTypesAndSizes) {
    writeEverything();
    std::string foundExe = installFolder + "\\bin\\" + exe;
    EXPECT_EQ(
        (Values{{"", sz(foundExe)}, {"Path", sz(installFolder)}, {"Game Registry", sz(gameKey())}}),
        zktest::readValues(HKLM, appKey()));

    std::string installDir = text(gameKey(), "Install Dir");
    std::string installedFrom = text(gameKey(), "Installed From");
    expectShortFormOf(installFolder, installDir);
    expectShortFormOf(installFrom, installedFrom);
    EXPECT_EQ((Values{{"DisplayName", sz("Game One: Deluxe")}, {"Language", sz("French")},
                      {"Locale", sz("fr_fr")}, {"CD Drive", sz(installFrom.substr(0, 2) + "\\")},
                      {"Install Dir", sz(installDir)}, {"Product GUID", sz(guid)},
                      {"Installed From", sz(installedFrom)}, {"Region", sz("EU")},
                      {"Folder", sz("C:\\Menu\\Vantorel\\Game One\\")},
                      {"Patch URL", sz("http://patch.example/game")},
                      {"Suppression Exe", sz("suppress.exe")}, {"CoreLink", sz(coreLink)}}),
              zktest::readValues(HKLM, gameKey()));
    EXPECT_EQ((std::map<std::string, int>{{"2.1", 1}}), zktest::subkeys(HKLM, gameKey()));
    EXPECT_EQ((Values{{"DisplayName", sz("Game One: Deluxe")}, {"Language", dword(2)},
                      {"LanguageName", sz("French")}}),
              zktest::readValues(HKLM, gameKey() + "\\2.1"));
    EXPECT_EQ((Values{{"GameLauncherPath", sz(foundExe)}}),
              zktest::readValues(HKLM, kInstalledGames + coreLink + "\\" + exe));
    EXPECT_EQ((Values{{"DisplayName", sz("Game One: Deluxe")},
                      {"FriendlyName", sz("Game One Deluxe")}, {"Publisher", sz("Vantorel")},
                      {"LogFile", sz(installFolder + "\\filelist.txt")},
                      {"UninstallString", sz(installFolder + "\\ZKUninstall.exe")},
                      {"DisplayIcon", sz(installFolder + "\\Art\\game.ico")}}),
              zktest::readValues(HKLM, kUninstall + guid));
    EXPECT_TRUE(script.calls().empty());
}

TEST_F(GameRegistry, MissingLocationsAndFilesKeepTheComposedPaths) {
    const std::string missing = dir / "Not There";
    set({{s->m_installFrom, "\\\\server\\share\\setup"}, {s->m_installFolder, missing}});
    writeEverything();
    // No short form for a missing location: the long form stays, never an empty folder.
    EXPECT_EQ("\\\\server\\share\\setup\\", text(gameKey(), "Installed From"));
    EXPECT_EQ(missing + "\\", text(gameKey(), "Install Dir"));
    EXPECT_EQ(missing + "\\" + exe, text(appKey(), ""));
    EXPECT_EQ(missing + "\\game.ico", text(kUninstall + guid, "DisplayIcon"));
}

TEST_F(GameRegistry, OptionalEntriesAreLeftOut) {
    set({{s->m_coreLink, ""}, {s->m_icon, ""}, {s->m_version, ""}});
    writeEverything();
    Values game = zktest::readValues(HKLM, gameKey());
    EXPECT_EQ(0u, game.count("CoreLink"));
    EXPECT_FALSE(zktest::keyExists(HKLM, kInstalledGames + coreLink));
    EXPECT_EQ(0u, zktest::readValues(HKLM, kUninstall + guid).count("DisplayIcon"));
    // Without a version the subkey is "1.0"; the game key's Language stays a name.
    EXPECT_EQ(sz("French"), game["Language"]);
    EXPECT_EQ(dword(2), zktest::readValues(HKLM, gameKey() + "\\1.0")["Language"]);
}

// The bare App Paths and Uninstall keys belong to every program: never written into.
TEST_F(GameRegistry, SharedParentKeysAreNeverWritten) {
    std::string appRoot = kAppPaths.substr(0, kAppPaths.size() - 1);
    std::string uninstallRoot = kUninstall.substr(0, kUninstall.size() - 1);
    Values appBefore = zktest::readValues(HKLM, appRoot);
    Values uninstallBefore = zktest::readValues(HKLM, uninstallRoot);
    set({{s->m_executable, ""}, {s->m_productGUID, ""}});
    zk::writeGameRegistry(*s);
    EXPECT_FALSE(zk::writeUninstallEntry(*s));
    zk::setInstalledFlag(*s, true);
    zk::setRestartFlag(*s, true);
    EXPECT_EQ(appBefore, zktest::readValues(HKLM, appRoot));
    EXPECT_EQ(uninstallBefore, zktest::readValues(HKLM, uninstallRoot));
    EXPECT_FALSE(zktest::keyExists(HKLM, kInstalledGames + coreLink + "\\"));
    EXPECT_EQ("Game One: Deluxe", text(gameKey(), "DisplayName"));
}

TEST_F(GameRegistry, GameKeyThatCannotBeCreatedIsShownAndTheRestIsWritten) {
    zk::copyText(s->m_registryName, "");
    writeEverything();
    ASSERT_EQ(1u, script.calls().size());
    EXPECT_FALSE(script.calls()[0].text.empty());
    EXPECT_EQ(unsigned(MB_OK | MB_ICONERROR), script.calls()[0].style);
    EXPECT_TRUE(zktest::readValues(HKLM, "SOFTWARE\\" + company).empty());
    EXPECT_EQ(installFolder, text(appKey(), "Path"));
    EXPECT_EQ("Vantorel", text(kUninstall + guid, "Publisher"));
}

TEST_F(GameRegistry, RestartCountsOnlyWithADirectXInstallation) {
    const std::string division = "ZKRegDiv" + std::to_string(GetCurrentProcessId());
    const std::string game = "SOFTWARE\\" + division + "\\Game";
    struct Case {
        const char* name;
        int restart, directX;  // -1: no value; both -1: no App Paths key at all
        std::string gameRegistry;
        bool versionKey;
        DWORD language;
        bool directXBefore, expected, directXAfter, divisionRead;
    } cases[] = {
        {"no restart, DirectX 1", 0, 1, "", true, 3, false, false, true, false},
        {"restart, DirectX 0", 1, 0, game, true, 3, true, false, false, true},
        {"restart, one backslash", 1, 1, "SOFTWARE\\div", true, 3, false, false, false, false},
        {"restart, no version key", 1, 1, game, false, 3, false, false, true, true},
        {"restart pending", 1, 1, game, true, 3, false, true, true, true},
        {"restart, language out of range", 1, 1, game, true, 99, false, true, true, true},
        {"no App Paths key", -1, -1, "", false, 3, true, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        zktest::deleteTree(HKLM, "SOFTWARE\\" + division);
        if (c.restart >= 0)
            zktest::setNumber(HKLM, appKey(), "Restart", c.restart);
        if (c.directX >= 0)
            zktest::setNumber(HKLM, appKey(), "DirectX Installed", c.directX);
        if (!c.gameRegistry.empty())
            zktest::setText(HKLM, appKey(), "Game Registry", c.gameRegistry);
        zktest::setText(HKLM, game, "Installed From", "D:\\");
        if (c.versionKey)
            zktest::setNumber(HKLM, game + "\\1.0", "Language", c.language);

        auto st = bare("before", "1.0");
        st->m_currentLanguage = 1;
        st->m_directXInstalled = c.directXBefore;
        EXPECT_EQ(c.expected, zk::getRestartFlag(*st));
        EXPECT_EQ(c.directXAfter, st->m_directXInstalled);
        EXPECT_EQ(c.divisionRead ? division : "before", st->m_company);
        if (c.expected) {
            EXPECT_STREQ("D:", st->m_installFrom);
            EXPECT_EQ(c.language <= 25 ? int(c.language) : 1, st->m_currentLanguage);
        }
        zktest::deleteTree(HKLM, appKey());
    }
    zktest::deleteTree(HKLM, "SOFTWARE\\" + division);
}

TEST_F(GameRegistry, ReadBackTakesEveryValueAndNeedsThemAll) {
    writeEverything();
    // The key recorded under "Game Registry" is read, not the state's own.
    auto st = bare("Somebody Else", "2.1");
    zk::copyText(st->m_registryName, "Other");
    ASSERT_EQ(0, zk::readGameRegistry(*st));
    EXPECT_STREQ("Game One: Deluxe", st->m_productName);
    expectShortFormOf(installFolder, std::string(st->m_installFolder) + "\\");
    expectShortFormOf(installFrom, std::string(st->m_installFrom) + "\\");
    EXPECT_STREQ(guid.c_str(), st->m_productGUID);
    EXPECT_STREQ("EU", st->m_rtPatchDiscId);
    EXPECT_STREQ("C:\\Menu\\Vantorel\\Game One", st->m_startMenuFolder);
    EXPECT_STREQ("http://patch.example/game", st->m_rtPatchURL);
    EXPECT_EQ(2, st->m_currentLanguage);
    // Without "Game Registry" the key composed from the state is used.
    zktest::deleteValue(HKLM, appKey(), "Game Registry");
    EXPECT_NE(0, zk::readGameRegistry(*st));
    set({{st->m_company, company}, {st->m_registryName, "Game One"}});
    EXPECT_EQ(0, zk::readGameRegistry(*st));

    // A missing value, or a missing key when the name is null.
    const std::string version = gameKey() + "\\2.1";
    const std::pair<std::string, const char*> missing[] = {
        {appKey(), nullptr}, {gameKey(), nullptr}, {version, nullptr}, {version, "Language"},
        {gameKey(), "DisplayName"}, {gameKey(), "Install Dir"}, {gameKey(), "Product GUID"},
        {gameKey(), "Installed From"}, {gameKey(), "Region"}, {gameKey(), "Folder"},
        {gameKey(), "Patch URL"},
    };
    for (const auto& m : missing) {
        cleanRegistry();
        writeEverything();
        if (m.second)
            zktest::deleteValue(HKLM, m.first, m.second);
        else
            zktest::deleteTree(HKLM, m.first);
        st = bare(company.c_str(), "2.1");
        EXPECT_NE(0, zk::readGameRegistry(*st)) << m.first << " " << m.second;
    }
}

TEST_F(GameRegistry, PreviousInstallationNeedsACompletedMatchingInstall) {
    // Each case spoils one thing of a completed installation; "" spoils nothing.
    for (std::string spoil : {"", "other GUID", "unreadable GUID", "not completed",
                              "executable gone", "no Patch URL"}) {
        SCOPED_TRACE(spoil);
        const bool expected = spoil.empty();
        const std::string configured = spoil == "other GUID"        ? newGuid(2)
                                       : spoil == "unreadable GUID" ? "{not-a-guid}"
                                                                    : guid;
        cleanRegistry();
        zktest::writeFile(installFolder + "\\bin\\" + exe, "MZ");
        writeEverything();
        zk::setInstalledFlag(*s, spoil != "not completed");
        if (spoil == "unreadable GUID")  // stored as configured, yet no match
            zktest::setText(HKLM, gameKey(), "Product GUID", configured);
        if (spoil == "executable gone")
            DeleteFileA((installFolder + "\\bin\\" + exe).c_str());
        if (spoil == "no Patch URL")
            zktest::deleteValue(HKLM, gameKey(), "Patch URL");
        // A leftover Uninstall entry of the configured product.
        zktest::setText(HKLM, kUninstall + configured, "DisplayName", "leftover");

        // As the settings reader leaves the state before detection.
        auto st = bare(company.c_str(), "2.1");
        set({{st->m_productGUID, configured}, {st->m_productName, "Configured"},
             {st->m_installFolder, "C:\\Program Files\\Vantorel\\Game One"},
             {st->m_installFrom, "C:\\Disc"}});
        st->m_currentLanguage = 1;

        EXPECT_EQ(expected, zk::detectPreviousInstallation(*st));
        EXPECT_EQ(expected, st->m_previouslyInstalled);
        EXPECT_EQ(expected, zktest::keyExists(HKLM, kUninstall + configured));
        if (expected) {
            EXPECT_STREQ("Game One: Deluxe", st->m_productName);
            expectShortFormOf(installFolder, std::string(st->m_installFolder) + "\\");
            EXPECT_EQ(2, st->m_currentLanguage);
            EXPECT_TRUE(st->m_availableLanguages[2]);
        } else {
            // Nothing of the old installation is adopted, even what could be read.
            EXPECT_STREQ("C:\\Program Files\\Vantorel\\Game One", st->m_installFolder);
            EXPECT_STREQ("Configured", st->m_productName);
            EXPECT_STREQ("C:\\Disc", st->m_installFrom);
            EXPECT_EQ(1, st->m_currentLanguage);
        }
        // Another product's entry is never touched.
        if (configured != guid)
            EXPECT_EQ("Vantorel", text(kUninstall + guid, "Publisher"));
        zktest::deleteTree(HKLM, kUninstall + configured);
    }
}

TEST_F(GameRegistry, UninstallerIsPlacedOnceAndLoggedAndCountedOnlyWhenLogged) {
    const std::string first = dir / "first", second = dir / "second";
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

    // Files already in the install folder stay as they are and are not logged again.
    zktest::writeFile(installFolder + "\\ZKInstall.dll", "installed from the disc");
    EXPECT_EQ(0, zk::placeUninstaller(*s, folders, 3));
    EXPECT_EQ("installed from the disc", zktest::readFile(installFolder + "\\ZKInstall.dll"));
    EXPECT_EQ(2u, zktest::lines(zktest::readFile(installFolder + "\\filelist.txt")).size());

    // A new log no longer names them: they are logged again for the uninstaller.
    zktest::writeFile(installFolder + "\\filelist.txt", "0,0,cache.dat\r\n");
    EXPECT_EQ(0, zk::placeUninstaller(*s, folders, 3));
    EXPECT_EQ("0,0,cache.dat\r\n0,0,ZKUninstall.exe\r\n0,0,ZKInstall.dll\r\n",
              zktest::readFile(installFolder + "\\filelist.txt"));

    // A log that cannot be written: the copies are made but do not count, as
    // the uninstaller would leave them behind.
    for (const char* f : {"ZKUninstall.exe", "ZKInstall.dll", "filelist.txt"})
        DeleteFileA((installFolder + "\\" + f).c_str());
    zktest::makeDirs(installFolder + "\\filelist.txt");
    EXPECT_EQ(0, zk::placeUninstaller(*s, folders, 3));
    EXPECT_TRUE(zktest::exists(installFolder + "\\ZKInstall.dll"));
    SetFileAttributesA((second + "\\ZKUninstall.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
}

} // namespace
