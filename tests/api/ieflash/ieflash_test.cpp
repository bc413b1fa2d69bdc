// Internet Explorer and Flash as a host sees them: registry states written by
// the tests, a disc folder with stand-in setups, autorun.cfg's versions.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ZKInstall.h"
#include "zktest/discs.h"
#include "zktest/harness.h"
#include "zktest/regvalues.h"

namespace {

const char kIEKey[] = "Software\\Microsoft\\Internet Explorer";
const char kFlashKey[] =
    "SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\"
    "{D27CDB6E-AE6D-11cf-96B8-444553540000}";
const char kGuid[] = "{7C1D2E3F-4A5B-4C6D-8E9F-0A1B2C3D4E5F}";
const char* const kSetups[] = {"ie6setup", "msxml3sp2Setup", "Shockwave_Installer_Full",
                               "Shockwave_Installer_Fullk"};
enum Language { kFrench = 2, kGreek = 13, kJapanese = 14, kKorean = 15, kPolish = 20 };

// The key holding exactly these REG_SZ values (name, text, ...); none: no key.
void writeKey(const char* path, const std::vector<const char*>& values) {
    zktest::deleteTree(HKEY_LOCAL_MACHINE, path);
    for (size_t i = 0; i + 1 < values.size(); i += 2)
        zktest::setText(HKEY_LOCAL_MACHINE, path, values[i], values[i + 1]);
}

// A text getter's answer ("<unwritten>" when it wrote nothing), within 260 bytes.
std::string text(bool (*getter)(char*)) {
    char out[300];
    memset(out, '#', sizeof out);
    memcpy(out, "<unwritten>", 12);
    EXPECT_TRUE(getter(out));
    EXPECT_EQ('#', out[260]) << "a getter wrote past 260 bytes";
    return std::string(out, strnlen(out, 260));
}

float number(bool (*getter)(float*)) {
    float value = -1.0f;
    EXPECT_TRUE(getter(&value));
    return value;
}

// Disc 1 in a folder of its own with copies of the fixture program standing in
// for the setups: IE for French and for languages without a code, Shockwave
// for all but Korean and Japanese, and Korean's own.
class IEFlash : public ::testing::Test {
  protected:
    void SetUp() override {
        script.setFallback(zktest::kEndProcess);
        ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
        zktest::writeDisc(disc.path(), 1, kGuid);
        for (const char* program :
             {"IE\\FR\\ie6setup.exe", "IE\\ie6setup.exe", "IE\\FR\\msxml3sp2Setup.exe",
              "Macromedia\\Shockwave_Installer_Full.exe",
              "Macromedia\\Shockwave_Installer_Fullk.exe"}) {
            std::string path = disc / program;
            zktest::makeDirs(path.substr(0, path.rfind('\\')));
            ASSERT_TRUE(CopyFileA(fixture.c_str(), path.c_str(), FALSE)) << path;
        }
    }
    // The scratch disc cannot go while it is the current folder.
    void TearDown() override { SetCurrentDirectoryA(zktest::binDir().c_str()); }

    // The host's start: init on the disc, the settings read, the language.
    void start(const std::string& cfg, int language, bool debug = false) {
        zktest::makeDirs(disc / "AutoRun");
        zktest::writeFile(disc / "AutoRun\\autorun.cfg",
                          "Registry=ZKIEFlashTest\\Game\r\nAppName=Game\r\nProductGuiID=" +
                              std::string(kGuid) + "\r\nFrench=1\r\n" + cfg);
        ASSERT_TRUE(SetCurrentDirectoryA(disc.path().c_str()));
        char exe[] = "AutoRun.exe";
        ASSERT_TRUE(ZKINSTALL_init(exe));
        ZKINSTALL_setDebugMode(debug);
        ASSERT_TRUE(ZKINSTALL_readSettings());
        ASSERT_TRUE(ZKINSTALL_setLanguage(language));
    }

    // Every setup records itself, then exits with `code` (or keeps running
    // while `hold` exists).
    void plan(int code, const std::string& hold = "") {
        std::string plan = "record=" + record + "|exit=" + std::to_string(code);
        if (!hold.empty())
            plan += "|hold=" + hold;
        for (const char* name : kSetups)
            SetEnvironmentVariableA((std::string("ZKFIXTURE_PLAN_") + name).c_str(), plan.c_str());
    }

    zktest::MessageScript script;
    zktest::ScratchDir disc{"iedisc"}, work{"iework"};
    const std::string fixture = zktest::binDir() + "\\zkfixture.exe";
    const std::string record = work / "record.txt";
};

// Rows run in order on the one installer state: the existing-Flash text stays
// from the row before when the registry has none.
TEST_F(IEFlash, VersionsAndRequiredRules) {
    const struct {
        const char* name;
        int language;
        const char* cfg;
        std::vector<const char*> ie, flash;
        bool present, ieRequired, ieOnline;
        const char *userIE, *existingIE, *finding;
        float userIEf, cdIEf, minIEf;
        const char *cdIE, *userFlash, *cdFlash;
        bool flashRequired, flashOnline;
    } rows[] = {
        {"IE 5.5, no Flash yet, online only", kFrench,
         "IEVersion=5.5\r\nIEonCD=6.0\r\nFlashVersion=6.0.79.0\r\nIEForOnlineOnly=1\r\n"
         "FlashForOnlineOnly=1\r\n",
         {"Version", "5.50.4807.2300"}, {}, true, true, true, "5.50", "5.50000",
         "existingIE < cdIE", 5.5f, 6.0f, 5.5f, "6.0", "<unwritten>", "6.0.79.0", true, true},
        {"XP SP2, Flash 6, IEonCD empty", kFrench, "IEVersion=6.0\r\nFlashVersion=6.0.79.0\r\n",
         {"Version", "6.0.2900.2180"}, {"Version", "6,0,79,0"}, true, false, false, "6.0", "6.0",
         "existingIE >= cdIE", 6.0f, 6.0f, 6.0f, "", "6.0.79.0", "6.0.79.0", false, false},
        {"IE 3 by IVer and Build", kPolish,
         "IEonCD=3.1\r\nFlashVersion=7\r\nFlashForOnlineOnly=1\r\n",
         {"IVer", "103", "Build", "1215"}, {"Version", "6,0,79,0"}, true, false, false, "3.01",
         "3.10", "existingIE >= cdIE", 3.01f, 3.1f, 0.0f, "3.1", "6.0.79.0", "6.0.79.0", true,
         true},
        {"no IE key, Flash key gone", kFrench, "IEVersion=6.0sp1\r\nFlashVersion=6.0.79.0\r\n", {},
         {}, true, true, false, "0", "0.0", "existingIE < cdIE", 0.0f, 6.0f, 6.0f, "",
         "<unwritten>", "6.0.79.0", false, false},
        {"Wine's IE, no Greek setup", kGreek, "IEonCD=10.0\r\nFlashVersion=9\r\n",
         {"Version", "9.11.9600.18376"}, {"Version", "9,0,115,0"}, false, false, false, "9.11",
         nullptr, "Installer not present", 9.11f, 0.0f, 0.0f, "10.0", "9.0.115.0", "6.0.79.0",
         false, false},
        {"unreadable IE version, no Japanese installers", kJapanese, "FlashVersion=10\r\n",
         {"Version", "beta"}, {}, false, false, false, "beta", nullptr, "Installer not present",
         -1.0f, 0.0f, 0.0f, "", "<unwritten>", "0.0.0.0", false, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        writeKey(kIEKey, r.ie);
        writeKey(kFlashKey, r.flash);
        start(r.cfg, r.language, true);
        const size_t logStart = zktest::readFile("c:\\debugInstaller.txt").size();

        EXPECT_EQ(r.present, ZKINSTALL_getIsIEInstallerPresent());
        EXPECT_EQ(r.ieRequired, ZKINSTALL_isIEInstallRequired());
        EXPECT_EQ(r.ieOnline, ZKINSTALL_isIEInstallRequiredForOnlineOnly());
        EXPECT_EQ(r.userIE, text(ZKINSTALL_getUserIEVersionString));
        EXPECT_FLOAT_EQ(r.userIEf, number(ZKINSTALL_getUserIEVersion));
        EXPECT_FLOAT_EQ(r.cdIEf, number(ZKINSTALL_getCDIEVersion));
        EXPECT_EQ(r.cdIE, text(ZKINSTALL_getCDIEVersionString));
        EXPECT_FLOAT_EQ(r.minIEf, number(ZKINSTALL_getMinimumIEVersion));
        EXPECT_EQ(r.flashRequired, ZKINSTALL_isFlashInstallRequired());
        EXPECT_EQ(r.flashOnline, ZKINSTALL_isFlashInstallRequiredForOnlineOnly());
        EXPECT_EQ(r.userFlash, text(ZKINSTALL_getUserFlashVersion));
        EXPECT_EQ(r.cdFlash, text(ZKINSTALL_getCDFlashVersion));
        char licence[260] = "kept";
        EXPECT_FALSE(ZKINSTALL_getFlashLicenseAgreement(licence));
        EXPECT_STREQ("kept", licence);

        // The debug log names the finding and, when there was one, the state's IE text.
        const std::string log = zktest::readFile("c:\\debugInstaller.txt").substr(logStart);
        EXPECT_NE(std::string::npos,
                  log.find("ZKINSTALL_isIEInstallRequired - " + std::string(r.finding) + "\r\n"))
            << log;
        if (r.existingIE)
            EXPECT_NE(std::string::npos,
                      log.find(std::string(r.existingIE) + " - Existing IE Version\r\n"))
                << log;
    }
    char minimum[260];
    EXPECT_TRUE(ZKINSTALL_getMinimumIEVersionString(minimum));
    EXPECT_STREQ("", minimum);
    EXPECT_TRUE(ZKINSTALL_getMinimumFlashVersion(minimum));
    EXPECT_STREQ("10", minimum);
}

TEST_F(IEFlash, SetupsRunFromTheLanguagesFolders) {
    const std::string root = disc.path();
    const struct {
        bool (*run)();
        int language;
        const char* program;
        std::string cmdline, cwd;
    } runs[] = {
        {ZKINSTALL_InstallIE, kFrench, "ie6setup", "\"ie6setup.exe\"", root + "\\IE\\FR"},
        {ZKINSTALL_InstallIE55Patch, kFrench, "msxml3sp2Setup",
         "\"" + root + "\\IE\\FR\\msxml3sp2Setup.exe\"", root + "\\IE\\FR"},
        {ZKINSTALL_InstallFlashAndShockwave, kKorean, "Shockwave_Installer_Fullk",
         "\"" + root + "\\Macromedia\\Shockwave_Installer_Fullk.exe\" /s", root + "\\Macromedia"},
    };
    plan(4);
    for (const auto& r : runs) {
        SCOPED_TRACE(r.program);
        DeleteFileA(record.c_str());
        start("", r.language);
        EXPECT_TRUE(r.run());
        const std::string log = zktest::readFile(record);
        EXPECT_EQ("start " + std::string(r.program) + "\ncmdline: " + r.cmdline + "\n",
                  log.substr(0, log.find("argc:")));
        EXPECT_NE(std::string::npos, log.find("cwd: " + r.cwd + "\nend ")) << log;
    }
    EXPECT_TRUE(script.calls().empty());
}

// An IE setup still running after its wait ends the host with exit code 0 and
// is left running; one that ended within the wait lets the host go on.
TEST_F(IEFlash, StillRunningIESetupEndsTheHost) {
    start("", kFrench);  // writes the disc's autorun.cfg
    const std::string hold = work / "setup-busy";
    const std::string probe = "\"" + zktest::binDir() + "\\zkhostprobe.exe\" install-ie 2";
    for (bool busy : {false, true}) {
        SCOPED_TRACE(busy ? "busy" : "ended");
        DeleteFileA(record.c_str());
        if (busy)
            zktest::writeFile(hold, "");
        plan(0, busy ? hold : "");
        zktest::RunResult r = zktest::run(probe, disc.path(), 120000);
        EXPECT_EQ(busy ? 0u : 3u, r.exitCode) << r.output;
        EXPECT_EQ(busy, r.output.find("returned") == std::string::npos) << r.output;
        std::string log = zktest::readFile(record);
        EXPECT_EQ(busy, log.find("\nend ie6setup") == std::string::npos) << log;
        DeleteFileA(hold.c_str());
        for (int i = 0; i < 100 && log.find("\nend ie6setup") == std::string::npos; ++i) {
            Sleep(100);
            log = zktest::readFile(record);
        }
        EXPECT_NE(std::string::npos, log.find("\nend ie6setup 0")) << log;
    }
}

} // namespace
