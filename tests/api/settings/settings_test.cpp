// The settings read as a host drives it: disc 1 in a CD-ROM drive, its
// autorun.cfg read by ZKINSTALL_readSettings and reported by the getters.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ZKInstall.h"
#include "zktest/harness.h"

namespace {

const char kGuid[] = "{5A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9}";

// Message boxes: answered from a queue; one nobody expected ends the program
// loudly, since a settings read that is never answered would ask forever and
// one answered "quit" would end the test program with a passing exit code.
struct Boxes {
    std::vector<zktest::MessageCall> calls;
    std::deque<std::function<int()>> answers;
};
Boxes* g_boxes = nullptr;

int __stdcall answerBox(HWND, const char* text, const char* caption, unsigned style) {
    if (!g_boxes || g_boxes->answers.empty()) {
        fprintf(stderr, "unexpected message box: %s | %s\n", caption, text);
        fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    g_boxes->calls.push_back({text, caption, style});
    auto answer = g_boxes->answers.front();
    g_boxes->answers.pop_front();
    return answer();
}

int __stdcall discMissing(int disc) {
    fprintf(stderr, "disc %d was asked for but should have been found\n", disc);
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 4);
    return IDCANCEL;
}

std::string cfgOf(const std::vector<std::pair<std::string, std::string>>& settings) {
    std::string out;
    for (const auto& kv : settings)
        out += kv.first + "=" + kv.second + "\r\n";
    return out;
}

std::string text(void (*getter)(char*)) {
    char out[300];
    memset(out, '#', sizeof out);
    getter(out);
    EXPECT_EQ('#', out[260]) << "a getter wrote past 260 bytes";
    return std::string(out, strnlen(out, 260));
}

std::string text(bool (*getter)(char*)) {
    char out[300];
    memset(out, '#', sizeof out);
    EXPECT_TRUE(getter(out));
    EXPECT_EQ('#', out[260]) << "a getter wrote past 260 bytes";
    return std::string(out, strnlen(out, 260));
}

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(zktest::haveDiscDrives()) << "run through the build's wine-run.sh";
        GetCurrentDirectoryA(sizeof home, home);
        for (char drive : {'D', 'E', 'F'})
            zktest::insertEmptyDisc(drive);
        g_boxes = &boxes;
        ZKINSTALL_setMessageBox(answerBox);
        ZKINSTALL_setBeforeCDRequest(discMissing);
        company = "ZKSettingsApi" + std::to_string(GetCurrentProcessId());
    }
    void TearDown() override {
        SetCurrentDirectoryA(home);
        g_boxes = nullptr;
        zktest::deleteTree(HKEY_CURRENT_USER, "SOFTWARE\\" + company);
        for (char drive : {'D', 'E', 'F'})
            zktest::insertEmptyDisc(drive);
    }

    // Disc 1 of the product in the drive; autorun.cfg only when given.
    void disc1(char drive, const std::string* cfg) {
        std::string root = zktest::discFolder(drive);
        zktest::writeFile(root + "\\AutoRun.inf",
                          std::string("[Special]\r\nDisk=1\r\nProductGuiID=") + kGuid + "\r\n");
        zktest::makeDirs(root + "\\AutoRun");
        if (cfg)
            zktest::writeFile(root + "\\AutoRun\\autorun.cfg", *cfg);
    }

    // ZKINSTALL_init from the given folder, then the settings read.
    void initAndRead(const std::string& folder) {
        ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str())) << folder;
        char exe[] = "AutoRun.exe";
        ASSERT_TRUE(ZKINSTALL_init(exe));
        EXPECT_TRUE(ZKINSTALL_readSettings());
    }

    std::string base() {
        return cfgOf({{"Registry", company + "\\Sky Pirates"},
                      {"AppName", "Sky Pirates: Gold"},
                      {"Executable", "Bin\\Pirates.exe"},
                      {"Icon", "Art\\pirates.ico"},
                      {"ProductGuiID", kGuid},
                      {"French", "1"},
                      {"German", "1"}});
    }

    char home[MAX_PATH] = {};
    Boxes boxes;
    std::string company;
};

TEST_F(SettingsTest, SwitchesAndTextsReachTheirGetters) {
    // Two discs with opposite switches, so a getter that reads the wrong
    // switch cannot pass both.
    struct Disc {
        const char* demo;
        const char* rtPatch;
        const char* splash;
        const char* slides;
        const char* tools;
        const char* toolsContinue;
        const char* url;
        const char* suppression;
    } discs[] = {
        {"1", "0", "1", "0", "1", "0", "http://patch.example/a", "nocd.exe"},
        {"0", "1", "0", "1", "0", "1", "", ""},
    };
    for (const Disc& d : discs) {
        std::string cfg = base() + cfgOf({{"Demo", d.demo},
                                          {"RTPatch", d.rtPatch},
                                          {"SplashScreen", d.splash},
                                          {"SlideShow", d.slides},
                                          {"ToolsEULA", d.tools},
                                          {"ToolsEULADeclineContinue", d.toolsContinue},
                                          {"RTPatchURL", d.url},
                                          {"SuppressionExe", d.suppression}});
        disc1('D', &cfg);
        initAndRead("D:\\");
        SCOPED_TRACE(std::string("Demo=") + d.demo);
        EXPECT_EQ(*d.demo == '1', ZKINSTALL_isDemo());
        EXPECT_EQ(*d.rtPatch == '1', ZKINSTALL_getIsRTPatchActive());
        EXPECT_EQ(*d.splash == '1', ZKINSTALL_getUseSplashScreen());
        EXPECT_EQ(*d.slides == '1', ZKINSTALL_getUseSlideShow());
        EXPECT_EQ(*d.tools == '1', ZKINSTALL_getDisplayToolsEULA());
        EXPECT_EQ(*d.toolsContinue == '1', ZKINSTALL_getToolsEULADeclineContinue());
        EXPECT_EQ(d.url, text(ZKINSTALL_getRTPatchURL));
        EXPECT_EQ(d.suppression, text(ZKINSTALL_getSuppressionExe));

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
        EXPECT_TRUE(boxes.calls.empty());
    }
}

TEST_F(SettingsTest, OverlongValuesAreCut) {
    std::string name(300, 'P'), url(300, 'u'), exe(300, 'x');
    // Before the ordinary settings: the first of two equal keys is read.
    std::string cfg = cfgOf({{"AppName", name},
                             {"RTPatchURL", url},
                             {"SuppressionExe", exe},
                             {"WebURL", std::string(2000, 'w')},
                             {"Demo", "1"}}) +
                      base();
    disc1('D', &cfg);
    initAndRead("D:\\");
    EXPECT_EQ(name.substr(0, 259), text(ZKINSTALL_getProductName));
    EXPECT_EQ(url.substr(0, 259), text(ZKINSTALL_getRTPatchURL));
    EXPECT_EQ(exe.substr(0, 259), text(ZKINSTALL_getSuppressionExe));
    // The install folder is built from the cut name and is itself bounded.
    std::string folder = text(ZKINSTALL_getGameCacheLocation);
    EXPECT_EQ(259u, folder.size());
    EXPECT_EQ(0u, folder.find(CZKSystem::m_programFilesPath));
    EXPECT_TRUE(ZKINSTALL_isDemo()) << "settings after the long ones are still read";
}

TEST_F(SettingsTest, SizesKeepTheirFull64Bits) {
    struct Row {
        const char* text;
        __int64 value;
    };
    // Four different sizes per disc, so a getter of the wrong size fails.
    const Row discs[][4] = {
        {{"5000000000", 5000000000LL},
         {"4294967296", 4294967296LL},
         {"-42", -42},
         {"9223372036854775807", 9223372036854775807LL}},
        {{"", 0}, {"12 MB", 12}, {"-9223372036854775808", -9223372036854775807LL - 1},
         {"4294967295", 4294967295LL}},
    };
    const char* keys[4] = {"CacheMinimum", "CacheSatisfactory", "CacheFull", "SwapSize"};
    int (*getters[4])(__int64*) = {ZKINSTALL_getCacheMinimum, ZKINSTALL_getCacheSatisfactory,
                                   ZKINSTALL_getCacheFull, ZKINSTALL_getSwapSize};
    for (const auto& disc : discs) {
        std::string cfg = base();
        for (int i = 0; i < 4; ++i)
            cfg += std::string(keys[i]) + "=" + disc[i].text + "\r\n";
        disc1('D', &cfg);
        initAndRead("D:\\");
        for (int i = 0; i < 4; ++i) {
            __int64 size = 77;
            EXPECT_EQ(0, getters[i](&size));
            EXPECT_EQ(disc[i].value, size) << keys[i] << "=" << disc[i].text;
        }
    }
}

TEST_F(SettingsTest, DiscOneIsFoundInAnotherDrive) {
    std::string cfg = base();
    disc1('E', &cfg);
    zktest::ScratchDir elsewhere("notadisc");
    initAndRead(elsewhere.path());
    EXPECT_EQ("E:", text(ZKINSTALL_getInstallFromLocation));
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof cwd, cwd);
    EXPECT_STREQ("E:\\", cwd);
    EXPECT_EQ("Sky Pirates: Gold", text(ZKINSTALL_getProductName));
}

TEST_F(SettingsTest, LanguageOfAnEarlierInstallation) {
    std::string cfg = base();
    disc1('D', &cfg);

    // No game key yet: the language detected at load stays.
    char prefix[260];
    ASSERT_TRUE(SetCurrentDirectoryA("D:\\"));
    char exe[] = "AutoRun.exe";
    ZKINSTALL_init(exe);
    ZKINSTALL_setLanguage(16);
    ZKINSTALL_readSettings();
    EXPECT_EQ(16, ZKINSTALL_getCurrentlySelectedLanguage(prefix));

    struct Case {
        const char* stored;
        int expected;
    } cases[] = {
        {"French", 2},
        {"Polish", 20},  // current even though the disc does not name it
        {"Klingon", 2},  // unknown: the first language of the disc
    };
    for (const Case& c : cases) {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExA(HKEY_CURRENT_USER, ("SOFTWARE\\" + company + "\\Sky Pirates").c_str(),
                                  0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
        RegSetValueExA(key, "Language", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.stored),
                       static_cast<DWORD>(strlen(c.stored) + 1));
        RegCloseKey(key);
        ZKINSTALL_setLanguage(16);
        ZKINSTALL_readSettings();
        EXPECT_EQ(c.expected, ZKINSTALL_getCurrentlySelectedLanguage(prefix)) << c.stored;
        EXPECT_STREQ(ZKINSTALL_getLanguageIndexPrefix(c.expected), prefix);
        char language[260] = {};
        ZKINSTALL_getLanguagePrefix(language);
        EXPECT_STREQ(ZKINSTALL_getLanguageIndexPrefix(c.expected), language) << c.stored;
    }
}

TEST_F(SettingsTest, UnreadableConfigurationIsAskedAboutAndRetried) {
    disc1('D', nullptr);
    std::string cfgPath = zktest::discFolder('D') + "\\AutoRun\\autorun.cfg";
    std::string cfg = base();
    // The first box comes while the file is missing; the user fixes the disc
    // and retries.
    boxes.answers.push_back([&] {
        zktest::writeFile(cfgPath, cfg);
        return IDRETRY;
    });
    initAndRead("D:\\");
    ASSERT_EQ(1u, boxes.calls.size());
    EXPECT_EQ(unsigned(MB_RETRYCANCEL | MB_ICONEXCLAMATION), boxes.calls[0].style);
    EXPECT_NE(std::string::npos, boxes.calls[0].text.find("D:\\AutoRun\\autorun.cfg"))
        << boxes.calls[0].text;
    EXPECT_EQ("Sky Pirates: Gold", text(ZKINSTALL_getProductName));
}

// The quit paths end the host's process, so a probe host runs them.
TEST_F(SettingsTest, QuittingEndsTheHostWithExitCodeZero) {
    std::string probe = "\"" + zktest::binDir() + "\\zkhostprobe.exe\" ";
    struct Case {
        const char* name;
        bool discPresent;
        const char* answers;
        std::vector<unsigned> styles;
    } cases[] = {
        {"cfg missing, Cancel then Yes", true, "2 6",
         {MB_RETRYCANCEL | MB_ICONEXCLAMATION, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2}},
        {"cfg missing, No returns to the question", true, "2 7 2 6",
         {MB_RETRYCANCEL | MB_ICONEXCLAMATION, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
          MB_RETRYCANCEL | MB_ICONEXCLAMATION, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2}},
        {"no disc 1 anywhere, quit the disc request", false, "6",
         {MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2}},
    };
    for (const Case& c : cases) {
        for (char drive : {'D', 'E', 'F'})
            zktest::insertEmptyDisc(drive);
        if (c.discPresent)
            disc1('D', nullptr);
        zktest::RunResult r =
            zktest::run(probe + "settings-read " + c.answers, c.discPresent ? "D:\\" : home, 60000);
        SCOPED_TRACE(c.name);
        SCOPED_TRACE(r.output);
        EXPECT_EQ(0u, r.exitCode);
        EXPECT_EQ(std::string::npos, r.output.find("returned")) << "readSettings came back";
        // "box N style 0x.. caption | text"; the quit question after an
        // unreadable file is the host's own text 46.
        std::string quit;
        std::vector<unsigned> styles;
        bool discRequested = false;
        for (const std::string& line : zktest::lines(r.output)) {
            unsigned style = 0;
            if (line.compare(0, 7, "quit46=") == 0)
                quit = line.substr(7);
            if (line == "disc request 1")
                discRequested = true;
            if (sscanf(line.c_str(), "box %*d style %x", &style) != 1)
                continue;
            styles.push_back(style);
            if (c.discPresent && (style & MB_TYPEMASK) == MB_YESNO) {
                EXPECT_EQ(quit, line.substr(line.find(" | ") + 3));
            }
        }
        EXPECT_FALSE(quit.empty());
        EXPECT_EQ(!c.discPresent, discRequested);
        EXPECT_EQ(c.styles, styles);
    }
}

} // namespace
