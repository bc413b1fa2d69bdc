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
using zktest::RegValue;
using zktest::sz;
typedef std::map<std::string, RegValue> Values;

const HKEY HKLM = HKEY_LOCAL_MACHINE;
const std::string kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const std::string kUninstallRoot = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string textOf(const Values& values, const std::string& name) {
    auto it = values.find(name);
    if (it == values.end())
        return "<missing>";
    return it->second.data.substr(0, it->second.data.find('\0'));
}

std::string longForm(const std::string& path) {
    char out[MAX_PATH] = {};
    GetLongPathNameA(path.c_str(), out, sizeof out);
    return out;
}

class RegistryApi : public ::testing::Test {
  protected:
    void SetUp() override {
        ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
        std::string pid = std::to_string(GetCurrentProcessId());
        exeName = "ZKRegApi" + pid + ".exe";
        division = "ZKRegApi" + pid;
        gameKey = "SOFTWARE\\" + division + "\\Resumed Game";
        appKey = kAppPaths + exeName;
        clean();
    }
    void TearDown() override { clean(); }
    void clean() {
        zktest::deleteTree(HKLM, appKey);
        zktest::deleteTree(HKLM, "SOFTWARE\\" + division);
    }

    // What an installation interrupted by a reboot after DirectX left behind.
    void recordInterruptedInstallation(const std::string& installedFrom, DWORD language) {
        zktest::setNumber(HKLM, appKey, "Restart", 1);
        zktest::setNumber(HKLM, appKey, "DirectX Installed", 1);
        zktest::setText(HKLM, appKey, "Game Registry", gameKey);
        zktest::setText(HKLM, gameKey, "Installed From", installedFrom + "\\");
        zktest::setNumber(HKLM, gameKey + "\\1.0", "Language", language);
    }

    zktest::MessageScript script;
    zktest::ScratchDir dir{"zkregapi"};
    std::string exeName, division, gameKey, appKey;
};

TEST_F(RegistryApi, ResumedInstallationIsRegisteredUnderItsRecordedGameKey) {
    std::string disc = dir / "Setup Disc";
    std::string installFolder = dir / "Program Files\\Resumed Game";
    zktest::makeDirs(disc + "\\AutoRun");
    zktest::makeDirs(installFolder + "\\Bin");
    zktest::writeFile(installFolder + "\\Bin\\" + exeName, "MZ");
    zktest::writeFile(disc + "\\AutoRun\\ZKUninstall.exe", "uninstaller");
    recordInterruptedInstallation(disc, 3);

    std::string exe = exeName;
    ASSERT_TRUE(ZKINSTALL_init(&exe[0]));
    char text[260] = {};
    ZKINSTALL_getProductDivision(text);
    EXPECT_EQ(division, text);
    ZKINSTALL_getInstallFromLocation(text);
    EXPECT_NE('\\', std::string(text).back()) << text;
    EXPECT_EQ(0, lstrcmpiA((disc + "\\").c_str(), longForm(std::string(text) + "\\").c_str()))
        << text;
    EXPECT_EQ(3, ZKINSTALL_getCurrentlySelectedLanguage(text));
    EXPECT_TRUE(ZKINSTALL_getRestartedStatus(&exe[0]));
    EXPECT_FALSE(ZKINSTALL_getWasGamePreviouslyInstalled());

    Values uninstallBefore = zktest::readValues(HKLM, kUninstallRoot);
    std::string folder = installFolder;
    ZKINSTALL_setGameCacheLocation(&folder[0]);
    EXPECT_TRUE(ZKINSTALL_setStandardGameRegistryItems());

    EXPECT_EQ((Values{{"", sz(installFolder + "\\Bin\\" + exeName)},
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
    EXPECT_EQ(0, lstrcmpiA((installFolder + "\\").c_str(),
                           longForm(textOf(game, "Install Dir")).c_str()));
    EXPECT_EQ(0, lstrcmpiA((disc + "\\").c_str(), longForm(textOf(game, "Installed From")).c_str()));
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
    recordInterruptedInstallation(dir.path(), 1);
    std::string exe = exeName;
    ASSERT_TRUE(ZKINSTALL_init(&exe[0]));
    std::string folder = dir / "Game";
    ZKINSTALL_setGameCacheLocation(&folder[0]);

    ZKINSTALL_setInstallationCompleted(true);
    EXPECT_EQ(dword(1), zktest::readValues(HKLM, appKey)["Installed"]);
    ZKINSTALL_setInstallationCompleted(false);
    EXPECT_EQ(dword(0), zktest::readValues(HKLM, appKey)["Installed"]);

    EXPECT_FALSE(ZKINSTALL_setRestartedStatus(false));
    EXPECT_EQ(dword(0), zktest::readValues(HKLM, appKey)["Restart"]);
    EXPECT_FALSE(ZKINSTALL_getRestartedStatus(&exe[0]));
    // The DirectX installation recorded before the reboot is still known.
    EXPECT_TRUE(ZKINSTALL_setRestartedStatus(true));
    EXPECT_EQ(dword(1), zktest::readValues(HKLM, appKey)["Restart"]);
    EXPECT_EQ(dword(1), zktest::readValues(HKLM, appKey)["DirectX Installed"]);
    EXPECT_TRUE(ZKINSTALL_getRestartedStatus(&exe[0]));

    EXPECT_EQ(0, ZKINSTALL_getGameCacheSize());
    struct Case {
        __int64 cache, swap;
        const char *cacheText, *swapText;
    } cases[] = {
        {1048576, 1000, "1024", "0"},
        {6442450944LL, 2097152, "6291456", "2048"},
    };
    for (const Case& c : cases) {
        ZKINSTALL_setGameCacheSize(c.cache);
        ZKINSTALL_setGameSwapSize(c.swap);
        EXPECT_EQ(c.cache, ZKINSTALL_getGameCacheSize());
        Values game = zktest::readValues(HKLM, gameKey);
        EXPECT_EQ(sz(c.cacheText), game["CacheSize"]);
        EXPECT_EQ(sz(c.swapText), game["SwapSize"]);
        // The configured swap size, not the chosen one.
        __int64 swap = -1;
        EXPECT_EQ(0, ZKINSTALL_getSwapSize(&swap));
        EXPECT_EQ(0, swap);
    }
}

TEST_F(RegistryApi, RestartWithoutDirectXIsNotResumed) {
    recordInterruptedInstallation(dir.path(), 3);
    zktest::setNumber(HKLM, appKey, "DirectX Installed", 0);
    std::string exe = exeName;
    ASSERT_TRUE(ZKINSTALL_init(&exe[0]));
    EXPECT_FALSE(ZKINSTALL_getRestartedStatus(&exe[0]));
    char text[260] = {};
    ZKINSTALL_getInstallFromLocation(text);
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    EXPECT_STREQ(cwd, text);
}

} // namespace
