// The game's registry entries, restart record and cache values through the
// library's exports, as a host drives them, checked with the system's own
// registry calls.
#include <gtest/gtest.h>

#include <string>

#include "ZKInstall.h"
#include "zktest/harness.h"
#include "zktest/regvalues.h"

namespace {

using zktest::dword;
using zktest::sz;
typedef std::map<std::string, zktest::RegValue> Values;

const HKEY HKLM = HKEY_LOCAL_MACHINE;
const std::string kUninstallRoot = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The stored folder, short form or not, names `folder`.
void expectFolder(const std::string& folder, const std::string& stored) {
    char out[MAX_PATH] = {};
    GetLongPathNameA(stored.c_str(), out, sizeof out);
    EXPECT_EQ(0, lstrcmpiA((folder + "\\").c_str(), out)) << stored;
}

class RegistryApi : public ::testing::Test {
  protected:
    void SetUp() override {
        ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
        division = "ZKRegApi" + std::to_string(GetCurrentProcessId());
        exe = division + ".exe";
        gameKey = "SOFTWARE\\" + division + "\\Resumed Game";
        appKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + exe;
        TearDown();
    }
    void TearDown() override {
        zktest::deleteTree(HKLM, appKey);
        zktest::deleteTree(HKLM, "SOFTWARE\\" + division);
    }

    // What an installation interrupted by a reboot after DirectX left behind,
    // then the host's start.
    void resume(const std::string& installedFrom, DWORD language, DWORD directX = 1) {
        zktest::setNumber(HKLM, appKey, "Restart", 1);
        zktest::setNumber(HKLM, appKey, "DirectX Installed", directX);
        zktest::setText(HKLM, appKey, "Game Registry", gameKey);
        zktest::setText(HKLM, gameKey, "Installed From", installedFrom + "\\");
        zktest::setNumber(HKLM, gameKey + "\\1.0", "Language", language);
        ASSERT_TRUE(ZKINSTALL_init(&exe[0]));
    }

    zktest::MessageScript script;
    zktest::ScratchDir dir{"zkregapi"};
    std::string exe, division, gameKey, appKey;
};

TEST_F(RegistryApi, ResumedInstallationIsRegisteredUnderItsRecordedGameKey) {
    std::string disc = dir / "Setup Disc";
    std::string installFolder = dir / "Program Files\\Resumed Game";
    zktest::makeDirs(disc + "\\AutoRun");
    zktest::makeDirs(installFolder + "\\Bin");
    zktest::writeFile(installFolder + "\\Bin\\" + exe, "MZ");
    zktest::writeFile(disc + "\\AutoRun\\ZKUninstall.exe", "uninstaller");
    resume(disc, 3);

    char text[260] = {};
    ZKINSTALL_getProductDivision(text);
    EXPECT_EQ(division, text);
    ZKINSTALL_getInstallFromLocation(text);
    EXPECT_NE('\\', std::string(text).back()) << text;
    expectFolder(disc, std::string(text) + "\\");
    EXPECT_EQ(3, ZKINSTALL_getCurrentlySelectedLanguage(text));
    EXPECT_TRUE(ZKINSTALL_getRestartedStatus(&exe[0]));
    EXPECT_FALSE(ZKINSTALL_getWasGamePreviouslyInstalled());

    Values uninstallBefore = zktest::readValues(HKLM, kUninstallRoot);
    std::string folder = installFolder;
    ZKINSTALL_setGameCacheLocation(&folder[0]);
    EXPECT_TRUE(ZKINSTALL_setStandardGameRegistryItems());

    EXPECT_EQ((Values{{"", sz(installFolder + "\\Bin\\" + exe)},
                      {"Path", sz(installFolder)},
                      {"Game Registry", sz(gameKey)},
                      {"Restart", dword(1)},
                      {"DirectX Installed", dword(1)}}),
              zktest::readValues(HKLM, appKey));
    Values game = zktest::readValues(HKLM, gameKey);
    EXPECT_EQ(sz("ZK Game"), game["DisplayName"]);
    EXPECT_EQ(sz("German"), game["Language"]);
    EXPECT_EQ(sz("de"), game["Locale"]);
    EXPECT_EQ(sz(disc.substr(0, 2) + "\\"), game["CD Drive"]);
    expectFolder(installFolder, zktest::text(HKLM, gameKey, "Install Dir"));
    expectFolder(disc, zktest::text(HKLM, gameKey, "Installed From"));
    EXPECT_EQ(0u, game.count("CoreLink"));
    EXPECT_EQ((Values{{"DisplayName", sz("ZK Game")},
                      {"Language", dword(3)},
                      {"LanguageName", sz("German")}}),
              zktest::readValues(HKLM, gameKey + "\\1.0"));
    // Without a product GUID there is no Uninstall entry to write, and the
    // shared Uninstall key keeps its values.
    EXPECT_EQ(uninstallBefore, zktest::readValues(HKLM, kUninstallRoot));
    EXPECT_TRUE(script.calls().empty());

    // The uninstaller comes from the disc's AutoRun folder, the library from
    // its own folder; both are logged for the uninstaller to remove.
    EXPECT_EQ("uninstaller", zktest::readFile(installFolder + "\\ZKUninstall.exe"));
    EXPECT_EQ(zktest::readFile(zktest::binDir() + "\\ZKInstall.dll"),
              zktest::readFile(installFolder + "\\ZKInstall.dll"));
    EXPECT_EQ("0,0,ZKUninstall.exe\r\n0,0,ZKInstall.dll\r\n",
              zktest::readFile(installFolder + "\\filelist.txt"));
}

TEST_F(RegistryApi, CompletionRestartAndSizesAreRecorded) {
    resume(dir.path(), 1);
    std::string folder = dir / "Game";
    ZKINSTALL_setGameCacheLocation(&folder[0]);

    for (bool done : {true, false}) {
        ZKINSTALL_setInstallationCompleted(done);
        EXPECT_EQ(dword(done), zktest::readValues(HKLM, appKey)["Installed"]);
    }
    // The DirectX installation recorded before the reboot is still known.
    for (bool restart : {false, true}) {
        EXPECT_EQ(restart, ZKINSTALL_setRestartedStatus(restart));
        EXPECT_EQ(dword(restart), zktest::readValues(HKLM, appKey)["Restart"]);
        EXPECT_EQ(dword(1), zktest::readValues(HKLM, appKey)["DirectX Installed"]);
        EXPECT_EQ(restart, ZKINSTALL_getRestartedStatus(&exe[0]));
    }

    // Sizes chosen by the host are kilobyte text in the game key; the
    // configured sizes stay as they were.
    EXPECT_EQ(0, ZKINSTALL_getGameCacheSize());
    ZKINSTALL_setGameCacheSize(6442450944LL);
    ZKINSTALL_setGameSwapSize(2098175);
    EXPECT_EQ(6442450944LL, ZKINSTALL_getGameCacheSize());
    Values game = zktest::readValues(HKLM, gameKey);
    EXPECT_EQ(sz("6291456"), game["CacheSize"]);
    EXPECT_EQ(sz("2048"), game["SwapSize"]);
    __int64 swap = -1, cache = -1;
    EXPECT_EQ(0, ZKINSTALL_getSwapSize(&swap));
    EXPECT_EQ(0, ZKINSTALL_getCacheFull(&cache));
    EXPECT_EQ(0, swap);
    EXPECT_EQ(0, cache);
}

TEST_F(RegistryApi, RestartWithoutDirectXIsNotResumed) {
    resume(dir.path(), 3, 0);
    EXPECT_FALSE(ZKINSTALL_getRestartedStatus(&exe[0]));
    char text[260] = {}, cwd[MAX_PATH] = {};
    ZKINSTALL_getInstallFromLocation(text);
    GetCurrentDirectoryA(sizeof cwd, cwd);
    EXPECT_STREQ(cwd, text);
}

} // namespace
