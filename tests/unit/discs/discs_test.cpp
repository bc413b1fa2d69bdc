// Disc identification and disc requests over the prefix's CD-ROM drives (D:, E:, F:)
// and disc-image folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/host.h"
#include "core/installer.h"
#include "platform/text.h"
#include "install/discs.h"
#include "zktest/discs.h"
#include "zktest/harness.h"

namespace {

using zktest::MessageScript;
using zktest::Step;
const char* const kAny = zk::kPlaceholderGUID;

// The scripted host in the library's callbacks, install-from "X:\Setup".
class DiscRequest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(zktest::haveDiscDrives());
        zk::copyText(zk::installer().m_installFrom, "X:\\Setup");
        zk::g_messageBox = MessageScript::callback;
        zk::g_beforeDiscRequest = MessageScript::beforeRequest;
        zk::g_afterDiscRequest = MessageScript::afterRequest;
    }
    void TearDown() override {
        zk::g_messageBox = nullptr;
        zk::g_beforeDiscRequest = zk::noDiscAnswer;
        zk::g_afterDiscRequest = zk::noDiscAnswer;
    }
    zktest::DiscDrivesGuard drives_;
    MessageScript host_;
};

TEST(IdentifyDisc, ReadsTheNumberAndMatchesTheProduct) {
    zktest::ScratchDir scratch("ident");
    const std::string guid = "6F1C2A7E-0B4D-4E5A-9C3B-2D8E7F6A5B41", two = "[Special]\nDisk=2\n";
    const struct {
        std::string inf;  // empty: no AutoRun.inf
        std::string configured;
        int expected;
    } cases[] = {
        {two + "ProductGuiID=" + guid, guid, 2},
        {two + "ProductGuiID=0000-OTHER", guid, -1},
        {two, guid, -1},
        {"[Special]\nDisk=3\nProductGuiID=0000-OTHER", kAny, 3},  // the placeholder takes any
        {"[Special]\nDisk=0\nProductGuiID=" + guid, guid, -1},
        {"", kAny, -1},
        {"[special]\r\nDisk=4\r\n", "", 4},  // none configured, none on the disc
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string root = scratch / std::to_string(i);
        zktest::makeDirs(root);
        if (!cases[i].inf.empty())
            zktest::writeFile(root + "\\AutoRun.inf", cases[i].inf);
        for (const std::string& r : {root, root + "\\"})
            EXPECT_EQ(cases[i].expected, zk::identifyDisc(r.c_str(), false,
                                                          cases[i].configured.c_str()))
                << r;
    }
}

// A request for disc 2 while D: holds disc 1 and E: is empty, ended by the answers
// given through the library's own boxes or the host's callbacks.
TEST_F(DiscRequest, AnswersDecideBetweenSearchingAgainAndQuitting) {
    enum Callback { Host, Default, Nobody };
    const unsigned kOwn = MB_OKCANCEL, kQuit = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
    const auto putIn2 = zktest::inserting('e', 2);  // the user puts disc 2 into E:
    const struct {
        const char* root;
        Callback callback;
        int confirmKind;
        std::vector<Step> boxes, before;
        int cancel;
        std::vector<unsigned> styles;  // boxes shown, in order
        size_t afterCalls;
    } cases[] = {
        // The library's own box: Cancel and quit, OK after inserting, Cancel then No and insert.
        {"", Host, 0, {{IDCANCEL}, {IDYES}}, {}, -1, {kOwn, kQuit}, 0},
        {"", Host, 0, {{IDOK, putIn2}}, {}, 0, {kOwn}, 1},
        {"", Host, 0, {{IDCANCEL}, {IDNO, putIn2}}, {}, 0, {kOwn, kQuit}, 0},
        {"", Host, 0, {{0}, {0}}, {}, -1, {kOwn, kQuit}, 0},  // the box cannot be shown
        // The host: Cancel and quit, Cancel then No and it inserts, other answers search again.
        {"D:\\", Host, 1, {{IDYES}}, {{IDCANCEL}}, -1, {kQuit}, 0},
        {"D:\\", Host, 1, {{IDNO}}, {{IDCANCEL}, {IDOK, putIn2}}, 0, {kQuit}, 1},
        {"D:\\", Host, 0, {}, {{0}, {IDRETRY}, {IDNO, putIn2}}, 0, {}, 3},
        {"D:\\", Default, 0, {{IDCANCEL}, {IDYES}}, {}, -1, {kOwn, kQuit}, 0},  // no callback set
        {"D:\\", Nobody, 0, {}, {}, -1, {}, 0},                                 // nobody to answer
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        zktest::insertDisc('d', 1);
        zktest::insertEmptyDisc('e');
        MessageScript host;
        host.boxSteps(c.boxes);
        host.beforeSteps(c.before);
        zk::g_beforeDiscRequest =
            c.callback == Host ? MessageScript::beforeRequest : zk::noDiscAnswer;
        zk::g_messageBox = c.callback == Nobody ? nullptr : MessageScript::callback;
        char root[260];
        zk::copyText(root, c.root);
        int current = 1, cancel = 0;
        EXPECT_EQ(c.cancel ? -1 : 2,
                  zk::requestDisc(&current, 2, root, &cancel, false, c.confirmKind, kAny));
        EXPECT_EQ(c.cancel, cancel);
        EXPECT_STREQ(c.cancel ? "F:\\" : "E:\\", root);  // F: is the last drive searched
        const std::string quit = c.confirmKind ? zktest::kQuitInstallText : zktest::kQuitSetupText;
        std::string expected, shown;
        for (unsigned style : c.styles)
            // The prompt names the drive of the location searched last.
            expected += (style == kOwn ? zktest::insertDiscText('F') : quit) + "||" +
                        std::to_string(style) + "\n";
        for (const zktest::MessageCall& box : host.calls())
            shown += box.text + "|" + box.caption + "|" + std::to_string(box.style) + "\n";
        EXPECT_EQ(expected, shown);
        EXPECT_EQ(std::vector<int>(c.before.size(), 2), host.before());
        EXPECT_EQ(std::vector<int>(c.afterCalls, 2), host.after());
    }
}

// The host stops a request by setting the cancel flag from its own thread; once set,
// nothing is searched or asked.
TEST_F(DiscRequest, TheHostsCancelFlagEndsASearchFromAnotherThread) {
    zktest::insertDisc('d', 1);
    static std::atomic<int> s_asked{0};
    struct Polling {
        static int __stdcall before(int) {
            Sleep(5);
            return ++s_asked > 400 ? IDCANCEL : 0;  // flag missed: fail instead of hanging
        }
    };
    zk::g_beforeDiscRequest = Polling::before;
    int cancel = 0, current = 1;
    std::thread host([&] {
        while (s_asked < 3)
            Sleep(5);
        *static_cast<volatile int*>(&cancel) = 1;
    });
    char root[260] = "D:\\";
    zk::requestDisc(&current, 2, root, &cancel, false, 1, kAny);
    host.join();
    EXPECT_EQ(1, cancel);
    s_asked = 0;
    char untouched[260] = "C:\\Elsewhere";
    zk::requestDisc(&current, 2, untouched, &cancel, false, 1, kAny);
    EXPECT_STREQ("C:\\Elsewhere", untouched);
    EXPECT_EQ(0, s_asked.load());
}

TEST_F(DiscRequest, RequestCDLeavesADiscInPlaceAndTracesInDebugMode) {
    zktest::insertDisc('d', 1);
    const std::string start = zktest::currentDirectory();
    const std::string log = "c:\\debugInstaller.txt";
    const size_t logSize = zktest::readFile(log).size();
    char root[260] = "D:";
    EXPECT_EQ(0, zk::requestCD(1, "C:\\Game", root, true, kAny));
    EXPECT_STREQ("D:", root);
    EXPECT_EQ(start, zktest::currentDirectory());
    const std::vector<std::string> lines = zktest::lines(zktest::readFile(log).substr(logSize));
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(),
                                     "Using cachefile 'C:\\Game\\filelist.txt' to identify CD "
                                     "'1' in CDDIR 'D:' - requestStartupCD"));
}

TEST_F(DiscRequest, DiscImagesAreLookedForBesideTheCurrentImageOnly) {
    zktest::ScratchDir scratch("images");
    const std::string images = scratch / "Disk Images";
    zktest::writeDisc(images + "\\Disk1", 1);
    zktest::writeDisc(images + "\\Disk2", 2);
    zktest::insertDisc('d', 3);  // never looked at

    // The file lists are opened relative to the image folder: it is entered.
    char root[260];
    zk::copyText(root, (images + "\\Disk1").c_str());
    EXPECT_EQ(0, zk::requestCD(2, "", root, false, kAny));
    EXPECT_EQ(images + "\\Disk2", root);
    EXPECT_EQ(images + "\\Disk2", zktest::currentDirectory());

    // The host copies the wanted disc's image into place while it asks.
    host_.beforeSteps({{IDOK, [&] { zktest::writeDisc(images + "\\Disk3", 3); }}});
    EXPECT_EQ(0, zk::requestCD(3, "", root, false, kAny));
    EXPECT_EQ(images + "\\Disk3", root);
    EXPECT_EQ(std::vector<int>{3}, host_.before());
    EXPECT_EQ(std::vector<int>{3}, host_.after());

    // A root without a drive letter is found but not entered.
    SetCurrentDirectoryA(scratch.path().c_str());
    zk::copyText(root, ".\\Disk Images\\Disk2");
    EXPECT_EQ(0, zk::requestCD(1, "", root, false, kAny));
    EXPECT_STREQ(".\\Disk Images\\Disk1", root);
    EXPECT_EQ(scratch.path(), zktest::currentDirectory());
    EXPECT_TRUE(host_.calls().empty());
    SetCurrentDirectoryA("C:\\");  // the scratch folder can go
}

TEST_F(DiscRequest, LongRootsStayWithinTheirBuffer) {
    zktest::ScratchDir scratch("long");
    // Room for "Disk1" but not for "Disk12345".
    std::string base = scratch.path() + "\\";
    base.resize(260 - 1 - 19, 'x');
    struct {
        char root[260];
        char guard[8];
    } g;
    memset(g.guard, 'G', sizeof g.guard);
    zk::copyText(g.root, (base + "\\Disk Images\\Disk1").c_str());
    host_.beforeSteps({{IDCANCEL}});
    host_.boxSteps({{IDYES}});
    int current = -1, cancel = 0;
    zk::requestDisc(&current, 12345, g.root, &cancel, false, 1, kAny, sizeof g.root);
    EXPECT_EQ(-1, cancel);
    EXPECT_EQ(1u, host_.calls().size());
    EXPECT_EQ(259u, strlen(g.root));
    EXPECT_EQ(std::string(8, 'G'), std::string(g.guard, 8));
}

BOOL WINAPI failingFreeSpace(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER) {
    return FALSE;
}

TEST(DriveChecks, FreeSpaceComesFromEitherSystemCall) {
    ULARGE_INTEGER available, total, totalFree;
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &totalFree));
    const double system = static_cast<double>(available.QuadPart);
    const double slack = 64.0 * 1024 * 1024;  // other programs write meanwhile
    const auto ex = zk::lookUpDiskFreeSpaceEx();
    ASSERT_NE(nullptr, ex);
    EXPECT_NEAR(system, double(zk::freeBytes("C:\\Program Files\\Game", ex)), slack);
    EXPECT_NEAR(system, double(zk::freeBytes("C:\\Program Files\\Game", nullptr)), slack);
    EXPECT_NEAR(system, double(zk::freeBytes("C:", failingFreeSpace)), slack);
    EXPECT_EQ(0, zk::freeBytes(nullptr, nullptr));

    // Cluster counts multiply in 64 bits.
    EXPECT_EQ(18478031LL * 8 * 512, zk::clusterBytes(18478031, 8, 512));
    EXPECT_EQ(0xFFFFFFFFLL * 128 * 4096, zk::clusterBytes(0xFFFFFFFFu, 128, 4096));
}

} // namespace
