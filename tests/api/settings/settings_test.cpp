// The settings read as a host drives it: disc 1 in a CD-ROM drive, its
// autorun.cfg read by ZKINSTALL_readSettings and reported by the getters.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ZKInstall.h"
#include "zktest/discs.h"
#include "zktest/harness.h"
#include "zktest/regvalues.h"

namespace {

const char kGuid[] = "{5A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9}";
const unsigned kRetry = MB_RETRYCANCEL | MB_ICONEXCLAMATION;
const unsigned kQuit = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;

// A text getter's answer; it must stay within the 260 bytes a host provides.
template <typename Getter>
std::string text(Getter getter) {
    char out[300];
    memset(out, '#', sizeof out);
    getter(out);
    EXPECT_EQ('#', out[260]) << "a getter wrote past 260 bytes";
    return std::string(out, strnlen(out, 260));
}

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(zktest::haveDiscDrives()) << "run through the build's wine-run.sh";
        // Unanswered, a read would ask forever, and a "quit" answer would end the test
        // program with a passing exit code.
        script.setFallback(zktest::kEndProcess);
        ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
        ZKINSTALL_setBeforeCDRequest(zktest::MessageScript::beforeRequest);
    }
    void TearDown() override { zktest::deleteTree(HKEY_CURRENT_USER, "SOFTWARE\\" + company); }

    // Disc 1 of the product in the drive; autorun.cfg only when given.
    void disc1(char drive, const char* cfg) {
        std::string root = zktest::discFolder(drive);
        zktest::writeDisc(root, 1, kGuid);
        zktest::makeDirs(root + "\\AutoRun");
        if (cfg)
            zktest::writeFile(root + "\\AutoRun\\autorun.cfg", cfg);
    }

    // ZKINSTALL_init from the given folder, then the settings read.
    void initAndRead(const std::string& folder) {
        ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str())) << folder;
        char exe[] = "AutoRun.exe";
        ASSERT_TRUE(ZKINSTALL_init(exe));
        EXPECT_TRUE(ZKINSTALL_readSettings());
    }

    std::string base() {
        return "Registry=" + company + "\\Sky Pirates\r\nAppName=Sky Pirates: Gold\r\n"
               "Executable=Bin\\Pirates.exe\r\nIcon=Art\\pirates.ico\r\nProductGuiID=" +
               kGuid + "\r\nFrench=1\r\nGerman=1\r\n";
    }

    zktest::DiscDrivesGuard drives;
    zktest::MessageScript script;
    const std::string company = "ZKSettingsApi" + std::to_string(GetCurrentProcessId());
};

TEST_F(SettingsTest, SwitchesAndTextsReachTheirGetters) {
    // Two discs with opposite switches, alternating along the list: a getter that reads a
    // neighbouring switch cannot pass both.
    const struct {
        const char* key;
        bool (*get)();
    } switches[] = {
        {"Demo", ZKINSTALL_isDemo}, {"RTPatch", ZKINSTALL_getIsRTPatchActive},
        {"SplashScreen", ZKINSTALL_getUseSplashScreen}, {"SlideShow", ZKINSTALL_getUseSlideShow},
        {"ToolsEULA", ZKINSTALL_getDisplayToolsEULA},
        {"ToolsEULADeclineContinue", ZKINSTALL_getToolsEULADeclineContinue},
        {"GameII", ZKINSTALL_getGameHasStreaming},
    };
    for (int disc = 0; disc < 2; ++disc) {
        SCOPED_TRACE(disc);
        std::string cfg = base() + (disc ? "" : "RTPatchURL=http://patch.example/a\r\n"
                                                "SuppressionExe=nocd.exe\r\n");
        for (const auto& w : switches)
            cfg += std::string(w.key) + "=" + ((&w - switches + disc) % 2 ? "1" : "0") + "\r\n";
        disc1('D', cfg.c_str());
        initAndRead("D:\\");
        for (const auto& w : switches)
            EXPECT_EQ((&w - switches + disc) % 2 == 1, w.get()) << w.key;
        EXPECT_EQ(disc ? "" : "http://patch.example/a", text(ZKINSTALL_getRTPatchURL));
        EXPECT_EQ(disc ? "" : "nocd.exe", text(ZKINSTALL_getSuppressionExe));
        EXPECT_EQ("Sky Pirates: Gold", text(ZKINSTALL_getProductName));
        EXPECT_EQ("Sky Pirates Gold", text(ZKINSTALL_getFriendlyProductName));
        EXPECT_EQ(company, text(ZKINSTALL_getProductDivision));
        EXPECT_EQ("Art\\pirates.ico", text(ZKINSTALL_getGameIcon));
        EXPECT_EQ("D:", text(ZKINSTALL_getInstallFromLocation));
        EXPECT_EQ(std::string(CZKSystem::m_programFilesPath) + "\\" + company +
                      "\\Sky Pirates Gold",
                  text(ZKINSTALL_getGameCacheLocation));
        EXPECT_FALSE(ZKINSTALL_getWasGamePreviouslyInstalled());
        bool* available = ZKINSTALL_getAvailableLanguages();
        for (int i = 1; i < 26; ++i)
            EXPECT_EQ(i == 2 || i == 3, available[i]) << i;
        EXPECT_TRUE(script.calls().empty());
    }
}

TEST_F(SettingsTest, OverlongValuesAreCutAndSizesKeepTheirFull64Bits) {
    // Different sizes each, so a getter of the wrong size fails.
    const struct {
        const char *key, *text;
        __int64 value;
        int (*get)(__int64*);
    } sizes[] = {
        {"CacheMinimum", "5000000000", 5000000000LL, ZKINSTALL_getCacheMinimum},
        {"CacheSatisfactory", "-9223372036854775808", -9223372036854775807LL - 1,
         ZKINSTALL_getCacheSatisfactory},
        {"CacheFull", "4294967296 MB", 4294967296LL, ZKINSTALL_getCacheFull},
        {"SwapSize", "9223372036854775807", 9223372036854775807LL, ZKINSTALL_getSwapSize},
    };
    // Before the ordinary settings: the first of two equal keys is read.
    std::string cfg = "AppName=" + std::string(300, 'P') + "\r\nRTPatchURL=" +
                      std::string(300, 'u') + "\r\nSuppressionExe=" + std::string(300, 'x') +
                      "\r\nWebURL=" + std::string(2000, 'w') + "\r\nDemo=1\r\n" + base();
    for (const auto& z : sizes)
        cfg += std::string(z.key) + "=" + z.text + "\r\n";
    disc1('D', cfg.c_str());
    initAndRead("D:\\");
    EXPECT_EQ(std::string(259, 'P'), text(ZKINSTALL_getProductName));
    EXPECT_EQ(std::string(259, 'u'), text(ZKINSTALL_getRTPatchURL));
    EXPECT_EQ(std::string(259, 'x'), text(ZKINSTALL_getSuppressionExe));
    // The install folder is built from the cut name and is itself bounded.
    std::string folder = text(ZKINSTALL_getGameCacheLocation);
    EXPECT_EQ(259u, folder.size());
    EXPECT_EQ(0u, folder.find(CZKSystem::m_programFilesPath));
    EXPECT_TRUE(ZKINSTALL_isDemo()) << "settings after the long ones are still read";
    for (const auto& z : sizes) {
        __int64 size = 77;
        EXPECT_EQ(0, z.get(&size));
        EXPECT_EQ(z.value, size) << z.key;
        EXPECT_EQ(0, z.get(nullptr)) << z.key;
    }
}

TEST_F(SettingsTest, DiscOneIsFoundInAnotherDriveWithTheLanguageOfAnEarlierInstallation) {
    // Current even though the disc does not name it.
    zktest::setText(HKEY_CURRENT_USER, "SOFTWARE\\" + company + "\\Sky Pirates", "Language",
                    "Polish");
    disc1('E', base().c_str());
    zktest::ScratchDir elsewhere("notadisc");
    initAndRead(elsewhere.path());
    EXPECT_EQ("E:", text(ZKINSTALL_getInstallFromLocation));
    char prefix[260] = {};
    EXPECT_EQ("E:\\", zktest::currentDirectory());
    EXPECT_EQ("Sky Pirates: Gold", text(ZKINSTALL_getProductName));
    EXPECT_EQ(20, ZKINSTALL_getCurrentlySelectedLanguage(prefix));
    EXPECT_STREQ(ZKINSTALL_getLanguageIndexPrefix(20), prefix);
    EXPECT_EQ(ZKINSTALL_getLanguageIndexPrefix(20), text(ZKINSTALL_getLanguagePrefix));
}

TEST_F(SettingsTest, UnreadableConfigurationIsAskedAboutAndRetried) {
    disc1('D', nullptr);
    // The first box comes while the file is missing; the user fixes the disc and retries.
    script.boxSteps({{IDRETRY, [&] {
                          zktest::writeFile(zktest::discFolder('D') + "\\AutoRun\\autorun.cfg",
                                            base());
                      }}});
    initAndRead("D:\\");
    ASSERT_EQ(1u, script.calls().size());
    EXPECT_EQ(kRetry, script.calls()[0].style);
    EXPECT_NE(std::string::npos, script.calls()[0].text.find("D:\\AutoRun\\autorun.cfg"))
        << script.calls()[0].text;
    EXPECT_EQ("Sky Pirates: Gold", text(ZKINSTALL_getProductName));
}

// The quit paths end the host's process, so a probe host runs them.
TEST_F(SettingsTest, QuittingEndsTheHostWithExitCodeZero) {
    std::string probe = "\"" + zktest::binDir() + "\\zkhostprobe.exe\" settings-read ";
    const struct {
        const char* name;
        bool discPresent;
        const char* answers;
        std::vector<unsigned> styles;
    } cases[] = {
        {"cfg missing, Cancel then Yes", true, "2 6", {kRetry, kQuit}},
        {"cfg missing, No returns to the question", true, "2 7 2 6",
         {kRetry, kQuit, kRetry, kQuit}},
        {"no disc 1 anywhere, quit the disc request", false, "6", {kQuit}},
        // A box that cannot be shown answers 0: the read ends, it does not ask again.
        {"boxes unanswered", true, "0 0", {kRetry, kQuit}},
    };
    for (const auto& c : cases) {
        zktest::insertEmptyDisc('D');
        if (c.discPresent)
            disc1('D', nullptr);
        zktest::RunResult r =
            zktest::run(probe + c.answers, c.discPresent ? "D:\\" : zktest::binDir(), 60000);
        SCOPED_TRACE(c.name);
        SCOPED_TRACE(r.output);
        EXPECT_EQ(0u, r.exitCode);
        EXPECT_EQ(std::string::npos, r.output.find("returned")) << "readSettings came back";
        // "box N style 0x.. caption | text"; after an unreadable file, the quit question is
        // the host's own text 46.
        std::string quit;
        std::vector<unsigned> styles;
        bool discRequested = false;
        for (const std::string& line : zktest::lines(r.output)) {
            unsigned style = 0;
            if (line.compare(0, 7, "quit46=") == 0)
                quit = line.substr(7);
            discRequested |= line == "disc request 1";
            if (sscanf(line.c_str(), "box %*d style %x", &style) != 1)
                continue;
            styles.push_back(style);
            if (c.discPresent && style == kQuit)
                EXPECT_EQ(quit, line.substr(line.find(" | ") + 3));
        }
        EXPECT_FALSE(quit.empty());
        EXPECT_EQ(!c.discPresent, discRequested);
        EXPECT_EQ(c.styles, styles);
    }
}

} // namespace
