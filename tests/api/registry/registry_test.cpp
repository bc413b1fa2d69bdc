// The game's registry entries, restart record and sizes through the exports, as a host drives them.
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
        TearDown();
    }
    void TearDown() override {
        zktest::deleteTree(HKLM, appKey);
        zktest::deleteTree(HKLM, "SOFTWARE\\" + division);
    }

    // A reboot after DirectX interrupted an installation; then the host starts.
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
    const std::string division = "ZKRegApi" + std::to_string(GetCurrentProcessId());
    std::string exe = division + ".exe";
    const std::string gameKey = "SOFTWARE\\" + division + "\\Resumed Game";
    const std::string appKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + exe;
};

TEST_F(RegistryApi, ResumedInstallationIsRegisteredUnderItsRecordedGameKey) {
    const std::string disc = dir / "Setup Disc", installFolder = dir / "Program Files\\Game";
    const std::string uninstallRoot = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
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

    Values uninstallBefore = zktest::readValues(HKLM, uninstallRoot);
    std::string folder = installFolder;
    ZKINSTALL_setGameCacheLocation(&folder[0]);
    EXPECT_TRUE(ZKINSTALL_setStandardGameRegistryItems());
    // The restart record stays beside the new values.
    EXPECT_EQ((Values{{"", sz(installFolder + "\\Bin\\" + exe)}, {"Path", sz(installFolder)},
                      {"Game Registry", sz(gameKey)}, {"Restart", dword(1)},
                      {"DirectX Installed", dword(1)}}),
              zktest::readValues(HKLM, appKey));
    Values game = zktest::readValues(HKLM, gameKey);
    EXPECT_EQ(sz("ZK Game"), game["DisplayName"]);
    EXPECT_EQ(sz("de"), game["Locale"]);
    expectFolder(installFolder, zktest::text(HKLM, gameKey, "Install Dir"));
    // Without a product GUID the shared Uninstall key is left alone.
    EXPECT_EQ(uninstallBefore, zktest::readValues(HKLM, uninstallRoot));
    EXPECT_TRUE(script.calls().empty());

    // The uninstaller comes from the disc's AutoRun folder, the library from its own folder.
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
    for (bool flag : {true, false}) {
        ZKINSTALL_setInstallationCompleted(flag);
        EXPECT_EQ(dword(flag), zktest::readValues(HKLM, appKey)["Installed"]);
        // The DirectX installation recorded before the reboot is still known.
        EXPECT_EQ(flag, ZKINSTALL_setRestartedStatus(flag));
        EXPECT_EQ(dword(flag), zktest::readValues(HKLM, appKey)["Restart"]);
        EXPECT_EQ(dword(1), zktest::readValues(HKLM, appKey)["DirectX Installed"]);
        EXPECT_EQ(flag, ZKINSTALL_getRestartedStatus(&exe[0]));
    }

    // Sizes chosen by the host are kilobyte text in the game key; configured sizes stay.
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
    EXPECT_EQ(0, swap | cache);
}

TEST_F(RegistryApi, RestartWithoutDirectXIsNotResumed) {
    resume(dir.path(), 3, 0);
    EXPECT_FALSE(ZKINSTALL_getRestartedStatus(&exe[0]));
    char text[260] = {};
    ZKINSTALL_getInstallFromLocation(text);
    EXPECT_EQ(zktest::currentDirectory(), text);
}

} // namespace
