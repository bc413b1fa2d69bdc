// The add-on exports as a host sees them: autorun.cfg's switches, a disc folder
// with stand-ins for GameSpy Arcade, the download manager, the online component
// and a game installer, each recording how it was started.
#include <gtest/gtest.h>

#include <string>

#include "ZKInstall.h"
#include "zktest/discs.h"
#include "zktest/harness.h"

namespace {

const char kGuid[] = "{5B0E7D1A-3C2F-4E6B-9A8D-1F2E3D4C5B6A}";
const char* const kPrograms[] = {"GameSpy\\ArcadeSetup.exe", "Support\\zkd-installer.exe",
                                 "CommonZKSO\\ZKSOInstaller.exe", "zkaddons_inst.exe"};
const char kUpdate[] = "zkaddonsupdate.exe";
const int kGerman = 3;

class AddonExports : public ::testing::Test {
  protected:
    void SetUp() override {
        script.setFallback(zktest::kEndProcess);
        ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
        zktest::writeDisc(disc.path(), 1, kGuid);
        for (const char* program : kPrograms) {
            std::string path = disc / program;
            zktest::makeDirs(path.substr(0, path.rfind('\\')));
            ASSERT_TRUE(CopyFileA(fixture.c_str(), path.c_str(), FALSE)) << path;
        }
        zktest::writeFile(disc / ("GameSpy\\" + std::string(kUpdate)), "update");
    }
    void TearDown() override {
        SetCurrentDirectoryA(zktest::binDir().c_str());
        for (const char* name : {"ArcadeSetup", "zkd-installer", "ZKSOInstaller", "zkaddons_inst"})
            SetEnvironmentVariableA((std::string("ZKFIXTURE_PLAN_") + name).c_str(), nullptr);
        DeleteFileA((temp() + "\\zkaddons_inst.exe").c_str());
    }
    void start(const std::string& cfg, int language) {
        zktest::makeDirs(disc / "AutoRun");
        zktest::writeFile(disc / "AutoRun\\autorun.cfg",
                          "Registry=ZKAddonsTest\\Game\r\nAppName=Zk Game\r\nProductGuiID=" +
                              std::string(kGuid) + "\r\nGerman=1\r\n" + cfg);
        ASSERT_TRUE(SetCurrentDirectoryA(disc.path().c_str()));
        char exe[] = "AutoRun.exe";
        ASSERT_TRUE(ZKINSTALL_init(exe));
        ASSERT_TRUE(ZKINSTALL_readSettings());
        ASSERT_TRUE(ZKINSTALL_setLanguage(language));
    }
    void plan(const char* name, int code) {
        SetEnvironmentVariableA((std::string("ZKFIXTURE_PLAN_") + name).c_str(),
                                ("record=" + record + "|exit=" + std::to_string(code)).c_str());
    }
    // The record once `name` has ended (asynchronous starts included).
    std::string ended(const char* name) {
        std::string log;
        for (int i = 0; i < 200 && log.find(std::string("\nend ") + name) == std::string::npos;
             ++i) {
            Sleep(50);
            log = zktest::readFile(record);
        }
        return log;
    }
    static std::string temp() {
        char path[MAX_PATH];
        CZKSystem().getTempPath(path);
        return path;
    }

    zktest::MessageScript script;
    zktest::ScratchDir disc{"addondisc"}, work{"addonwork"};
    const std::string fixture = zktest::binDir() + "\\zkfixture.exe";
    const std::string record = work / "record.txt";
};

// The tools licence switches are read and tested with the other settings.
TEST_F(AddonExports, SwitchesAndDiscDecideWhatIsRequired) {
    const struct {
        const char* name;
        const char* cfg;
        bool removePrograms, gameSpy, zkd, zkso;
    } rows[] = {
        {"all on, all there", "GameSpyInstall=1\r\nZKDInstall=1\r\nZKSOInstall=1\r\n", false,
         true, true, true},
        {"all off", "", false, false, false, false},
        {"on, programs missing: the online component asks only its switch",
         "GameSpyInstall=1\r\nZKDInstall=1\r\nZKSOInstall=1\r\n", true, false, false, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        if (r.removePrograms)
            for (const char* program : kPrograms)
                DeleteFileA((disc / program).c_str());
        start(r.cfg, kGerman);
        EXPECT_EQ(r.gameSpy, ZKINSTALL_isGameSpyInstallRequired());
        EXPECT_EQ(r.zkd, ZKINSTALL_isZKDInstallRequired());
        EXPECT_EQ(r.zkso, ZKINSTALL_isCommonZKSOInstallRequired());
    }
    EXPECT_TRUE(script.calls().empty());
}

TEST_F(AddonExports, ProgramsRunWithTheirArgumentsAndFolders) {
    const std::string root = disc.path(), install = work / "Zk Game";
    char startMenu[MAX_PATH];
    CZKSystem().getStartMenuPath(startMenu);
    const std::string facts = "argc: 5\narg1: %ROOT%\narg2: " + install + "\narg3: " +
                              startMenu + "\\ZKAddonsTest\\Zk Game\narg4: 3\ncwd: ";
    auto with = [&](std::string text, const std::string& folder) {
        text.replace(text.find("%ROOT%"), 6, folder);
        return text;
    };
    const struct {
        const char* program;
        bool (*run)();
        int code;
        std::string expected;  // a stretch of the record, up to the end line
        bool keptInTemp;
    } rows[] = {
        {"ArcadeSetup", ZKINSTALL_installGameSpy, 5,
         "cmdline: \"" + root + "\\GameSpy\\ArcadeSetup.exe\" \n\n", false},
        {"zkd-installer", ZKINSTALL_installZKD, 0, "argc: 1\ncwd: " + root + "\\Support\nend",
         false},
        {"ZKSOInstaller", ZKINSTALL_InstallCommonZKSO, 2,
         with(facts, root + "\\CommonZKSO") + root + "\\CommonZKSO\nend ZKSOInstaller 2\n", false},
        {"zkaddons_inst", nullptr, 3, with(facts, root) + temp() + "\nend zkaddons_inst 3\n",
         true},
        {"zkaddons_inst", nullptr, 0, with(facts, root) + temp() + "\nend zkaddons_inst 0\n",
         false},
    };
    ASSERT_TRUE(CreateDirectoryA(install.c_str(), nullptr));
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.program) + " " + std::to_string(r.code));
        DeleteFileA(record.c_str());
        start("", kGerman);
        ZKINSTALL_setGameCacheLocation(const_cast<char*>(install.c_str()));
        plan(r.program, r.code);
        if (r.run)
            EXPECT_TRUE(r.run());
        else
            EXPECT_EQ(0, ZKINSTALL_runGameInstallSpecificExe());
        const std::string log = ended(r.program);
        EXPECT_NE(std::string::npos, log.find(r.expected)) << log;
        EXPECT_EQ(r.keptInTemp, zktest::exists(temp() + "\\zkaddons_inst.exe"));
        EXPECT_EQ(root, zktest::currentDirectory());
    }
    // The GameSpy update went into the install folder and its log.
    EXPECT_EQ("update", zktest::readFile(install + "\\" + kUpdate));
    EXPECT_EQ("1,1," + std::string(kUpdate) + "\r\n", zktest::readFile(install + "\\filelist.txt"));
    EXPECT_TRUE(script.calls().empty());

    // Without an install folder the setup still runs, but nothing lands in the drive's root.
    ZKINSTALL_setGameCacheLocation(const_cast<char*>(""));
    DeleteFileA(record.c_str());
    EXPECT_TRUE(ZKINSTALL_installGameSpy());
    const std::string log = ended("ArcadeSetup");
    EXPECT_NE(std::string::npos, log.find("cwd: " + root + "\\GameSpy\nend ArcadeSetup 5")) << log;
    EXPECT_FALSE(zktest::exists(std::string("C:\\") + kUpdate));
    DeleteFileA((std::string("C:\\") + kUpdate).c_str());
}

} // namespace
