// Disc identification and disc requests against the prefix's real CD-ROM
// drives (D:, E:, F:) and disc-image folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/host.h"
#include "core/installer.h"
#include "core/text.h"
#include "install/discs.h"
#include "zktest/discs.h"
#include "zktest/harness.h"

namespace {

using zktest::DiscHost;
using zktest::DiscStep;

const char* const kGuid = "6F1C2A7E-0B4D-4E5A-9C3B-2D8E7F6A5B41";

// Installs the scripted host in the library's callbacks and gives the
// installer state a known install-from location; puts everything back after.
class DiscRequest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(zktest::haveDiscDrives());
        zk::copyText(savedFrom_, zk::installer().m_installFrom);
        zk::copyText(zk::installer().m_installFrom, "X:\\Setup");
        zk::g_messageBox = DiscHost::box;
        zk::g_beforeDiscRequest = DiscHost::beforeRequest;
        zk::g_afterDiscRequest = DiscHost::afterRequest;
    }
    void TearDown() override {
        zk::g_messageBox = nullptr;
        zk::g_beforeDiscRequest = zk::noDiscAnswer;
        zk::g_afterDiscRequest = zk::noDiscAnswer;
        zk::copyText(zk::installer().m_installFrom, savedFrom_);
    }

    zktest::DiscDrivesGuard drives_;
    DiscHost host_;
    char savedFrom_[260] = {};
};

TEST(IdentifyDisc, ReadsTheNumberAndMatchesTheProduct) {
    zktest::ScratchDir scratch("ident");
    struct Case {
        const char* name;
        const char* inf;  // null: no AutoRun.inf at all
        const char* configured;
        int expected;
    };
    const std::string placeholder = zk::kPlaceholderGUID;
    const Case cases[] = {
        {"ours", "[Special]\nDisk=2\nProductGuiID=%G\n", kGuid, 2},
        {"other product", "[Special]\nDisk=2\nProductGuiID=0000-OTHER\n", kGuid, -1},
        {"GUID in other case", "[Special]\nDisk=2\nProductGuiID=%g\n", kGuid, -1},
        {"no GUID on the disc", "[Special]\nDisk=2\n", kGuid, -1},
        {"placeholder, foreign GUID", "[Special]\nDisk=3\nProductGuiID=0000-OTHER\n",
         placeholder.c_str(), 3},
        {"placeholder, no GUID", "[special]\r\nDisk=1\r\n", placeholder.c_str(), 1},
        {"disc 0", "[Special]\nDisk=0\nProductGuiID=%G\n", kGuid, -1},
        {"no number", "[Special]\nProductGuiID=%G\n", kGuid, -1},
        {"number not decimal", "[Special]\nDisk=two\n", placeholder.c_str(), -1},
        {"number in another section", "[Other]\nDisk=2\n", placeholder.c_str(), -1},
        {"no AutoRun.inf", nullptr, placeholder.c_str(), -1},
        {"empty GUID configured, none on disc", "[Special]\nDisk=4\n", "", 4},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string root = scratch / ("disc" + std::to_string(++n));
        zktest::makeDirs(root);
        if (c.inf) {
            std::string inf = c.inf;
            std::string lower = kGuid;
            for (char& ch : lower)
                ch = static_cast<char>(tolower(ch));
            size_t at;
            if ((at = inf.find("%G")) != std::string::npos)
                inf.replace(at, 2, kGuid);
            if ((at = inf.find("%g")) != std::string::npos)
                inf.replace(at, 2, lower);
            zktest::writeFile(root + "\\AutoRun.inf", inf);
        }
        EXPECT_EQ(c.expected, zk::identifyDisc(root.c_str(), false, c.configured));
        EXPECT_EQ(c.expected, zk::identifyDisc((root + "\\").c_str(), false, c.configured));
    }
}

// A host that copies the wanted disc's image into place while it asks.
std::string s_imagesFolder;
int __stdcall addImageThenAnswer(int disc) {
    zktest::writeDisc(s_imagesFolder + "\\Disk" + std::to_string(disc), disc);
    return DiscHost::beforeRequest(disc);
}

TEST_F(DiscRequest, DiscImagesAreLookedForBesideTheCurrentImageOnly) {
    zktest::ScratchDir scratch("images");
    const std::string images = scratch / "Disk Images";
    for (int disc : {1, 2, 3})
        zktest::writeDisc(images + "\\Disk" + std::to_string(disc), disc);
    zktest::insertDisc('d', 4);  // must never be looked at

    char root[260];
    zk::copyText(root, (images + "\\Disk1").c_str());
    int current = 1, cancel = 0;
    EXPECT_EQ(3, zk::requestDisc(&current, 3, root, &cancel, false, 1, zk::kPlaceholderGUID));
    EXPECT_EQ(images + "\\Disk3", root);

    // Disc 4 is in drive D: but not among the images: the host is asked, and
    // the image it then adds is found.
    host_.beforeSteps({{IDOK}});
    s_imagesFolder = images;
    zk::g_beforeDiscRequest = addImageThenAnswer;
    EXPECT_EQ(4, zk::requestDisc(&current, 4, root, &cancel, false, 1, zk::kPlaceholderGUID));
    EXPECT_EQ(images + "\\Disk4", root);
    EXPECT_EQ(std::vector<int>{4}, host_.before());
    EXPECT_EQ(std::vector<int>{4}, host_.after());
}

// How the answers of the user, through the library's own boxes or through
// the host's callbacks, end a request for disc 2 while drive D: holds disc 1
// and E: is empty.
TEST_F(DiscRequest, AnswersDecideBetweenSearchingAgainAndQuitting) {
    enum Callback { HostCallback, DefaultCallback, NoCallback };
    struct Case {
        const char* name;
        const char* root;
        Callback callback;
        int confirmKind;
        std::vector<DiscStep> boxes;
        std::vector<DiscStep> before;
        int cancel;                    // expected cancel state
        std::vector<unsigned> styles;  // expected boxes, in order
        size_t afterCalls;
    };
    const DiscStep insert2 = {IDOK, 'e', 2};
    const Case cases[] = {
        {"own box: cancel, quit", "", HostCallback, 0, {{IDCANCEL}, {IDYES}}, {}, -1,
         {MB_OKCANCEL, 0x124}, 0},
        {"own box: quit during the installation", "", HostCallback, 1, {{IDCANCEL}, {IDYES}}, {},
         -1, {MB_OKCANCEL, 0x124}, 0},
        {"own box: OK after inserting", "", HostCallback, 0, {insert2}, {}, 0, {MB_OKCANCEL}, 1},
        {"own box: cancel, then No and insert", "", HostCallback, 0,
         {{IDCANCEL}, {IDNO, 'e', 2}}, {}, 0, {MB_OKCANCEL, 0x124}, 0},
        {"own box cannot be shown", "", HostCallback, 0, {{0}, {0}}, {}, -1,
         {MB_OKCANCEL, 0x124}, 0},
        {"host: cancel, quit", "D:\\", HostCallback, 1, {{IDYES}}, {{IDCANCEL}}, -1, {0x124}, 0},
        {"host: cancel, No, then inserts", "D:\\", HostCallback, 1, {{IDNO}},
         {{IDCANCEL}, {IDOK, 'e', 2}}, 0, {0x124}, 1},
        {"host: answers that are not Cancel search again", "D:\\", HostCallback, 0, {},
         {{0}, {IDRETRY}, {IDNO, 'e', 2}}, 0, {}, 3},
        {"host never set a callback: own box", "D:\\", DefaultCallback, 0,
         {{IDCANCEL}, {IDYES}}, {}, -1, {MB_OKCANCEL, 0x124}, 0},
        {"host set a null callback: own box", "D:\\", NoCallback, 0, {insert2}, {}, 0,
         {MB_OKCANCEL}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        zktest::insertDisc('d', 1);
        zktest::insertEmptyDisc('e');
        DiscHost host;
        for (const DiscStep& s : c.boxes)
            host.boxSteps({s});
        for (const DiscStep& s : c.before)
            host.beforeSteps({s});
        zk::g_beforeDiscRequest = c.callback == HostCallback    ? DiscHost::beforeRequest
                                  : c.callback == DefaultCallback ? zk::noDiscAnswer
                                                                  : nullptr;
        char root[260];
        zk::copyText(root, c.root);
        int current = 1, cancel = 0;
        int found = zk::requestDisc(&current, 2, root, &cancel, false, c.confirmKind,
                                    zk::kPlaceholderGUID);
        EXPECT_EQ(c.cancel, cancel);
        EXPECT_EQ(found, current);
        if (c.cancel == 0) {
            EXPECT_EQ(2, current);
            EXPECT_STREQ("E:\\", root);
        } else {
            EXPECT_NE(2, current);
            EXPECT_STREQ("F:\\", root);  // the last CD-ROM drive examined
        }
        ASSERT_EQ(c.styles.size(), host.boxes().size());
        for (size_t i = 0; i < c.styles.size(); ++i) {
            EXPECT_EQ(c.styles[i], host.boxes()[i].style);
            EXPECT_EQ("", host.boxes()[i].caption);
            if (c.styles[i] == MB_OKCANCEL)
                EXPECT_EQ(zktest::insertDiscText('X'), host.boxes()[i].text);
            else
                EXPECT_EQ(c.confirmKind ? zktest::kQuitInstallText : zktest::kQuitSetupText,
                          host.boxes()[i].text);
        }
        if (c.callback == HostCallback && c.root[0])
            EXPECT_EQ(std::vector<int>(c.before.size(), 2), host.before());
        else
            EXPECT_TRUE(host.before().empty());
        EXPECT_EQ(std::vector<int>(c.afterCalls, 2), host.after());
        zk::g_beforeDiscRequest = DiscHost::beforeRequest;
    }
}

TEST_F(DiscRequest, NobodyToAnswerEndsTheRequest) {
    zktest::insertDisc('d', 1);
    zk::g_messageBox = nullptr;
    zk::g_beforeDiscRequest = zk::noDiscAnswer;
    for (const char* start : {"", "D:\\"}) {
        SCOPED_TRACE(start);
        char root[260];
        zk::copyText(root, start);
        int current = 1, cancel = 0;
        zk::requestDisc(&current, 2, root, &cancel, false, 0, zk::kPlaceholderGUID);
        EXPECT_EQ(-1, cancel);
    }
}

// During the installation the host stops a request by setting the cancel flag
// from its own thread while the request keeps searching.
TEST_F(DiscRequest, TheHostsCancelFlagEndsASearchFromAnotherThread) {
    zktest::insertDisc('d', 1);
    static std::atomic<int> s_asked{0};
    struct Polling {
        static int __stdcall before(int) {
            // Gives up after a while, so a request that misses the flag fails
            // the test instead of hanging it.
            if (++s_asked > 400)
                return IDCANCEL;
            Sleep(5);
            return 0;
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
    zk::requestDisc(&current, 2, root, &cancel, false, 1, zk::kPlaceholderGUID);
    host.join();
    EXPECT_EQ(1, cancel);
    EXPECT_GE(s_asked.load(), 3);

    // Already cancelled: nothing is searched or asked.
    s_asked = 0;
    char untouched[260] = "C:\\Elsewhere";
    zk::requestDisc(&current, 2, untouched, &cancel, false, 1, zk::kPlaceholderGUID);
    EXPECT_STREQ("C:\\Elsewhere", untouched);
    EXPECT_EQ(0, s_asked.load());
}

// requestCD: the current directory and the root follow the disc, and the
// process-wide flag tells whether the user quit.
TEST_F(DiscRequest, RequestCDMovesToTheDiscOrReportsTheQuit) {
    zktest::insertDisc('d', 1);
    zktest::insertDisc('e', 2);
    zk::CInstallUtility utility;
    const std::string start = zktest::currentDirectory();

    char root[260] = "D:";
    EXPECT_EQ(0, utility.requestCD(1, "C:\\Game", root, false, zk::kPlaceholderGUID));
    EXPECT_STREQ("D:", root) << "a disc already in place is not searched for";
    EXPECT_EQ(start, zktest::currentDirectory());

    EXPECT_EQ(0, utility.requestCD(2, "C:\\Game", root, false, zk::kPlaceholderGUID));
    EXPECT_STREQ("E:\\", root);
    EXPECT_EQ("E:\\", zktest::currentDirectory());
    EXPECT_FALSE(zk::g_installationCancelled);

    host_.beforeSteps({{IDCANCEL}});
    host_.boxSteps({{IDYES}});
    SetCurrentDirectoryA(start.c_str());
    EXPECT_EQ(-1, utility.requestCD(3, "C:\\Game", root, false, zk::kPlaceholderGUID));
    EXPECT_TRUE(zk::g_installationCancelled);
    EXPECT_EQ(start, zktest::currentDirectory());
    ASSERT_EQ(1u, host_.boxes().size());
    EXPECT_EQ(zktest::kQuitSetupText, host_.boxes()[0].text);

    // Asking for no disc clears the flag without looking anywhere.
    zk::copyText(root, "Q:\\Nowhere");
    EXPECT_EQ(0, utility.requestCD(0, "C:\\Game", root, false, zk::kPlaceholderGUID));
    EXPECT_FALSE(zk::g_installationCancelled);
    EXPECT_STREQ("Q:\\Nowhere", root);
    EXPECT_EQ(1u, host_.boxes().size());
}

TEST_F(DiscRequest, RequestCDEntersTheDiscImageFolder) {
    zktest::ScratchDir scratch("imagecd");
    const std::string images = scratch / "Disk Images";
    zktest::writeDisc(images + "\\Disk1", 1);
    zktest::writeDisc(images + "\\Disk2", 2);
    zk::CInstallUtility utility;

    char root[260];
    zk::copyText(root, (images + "\\Disk1").c_str());
    EXPECT_EQ(0, utility.requestCD(2, "", root, false, zk::kPlaceholderGUID));
    EXPECT_EQ(images + "\\Disk2", root);
    // The file lists are opened relative to the current directory, so it must
    // be the image folder, not the root of the hard disk.
    EXPECT_EQ(images + "\\Disk2", zktest::currentDirectory());

    // A root that does not start with a drive letter is found but not entered.
    SetCurrentDirectoryA(scratch.path().c_str());
    zk::copyText(root, ".\\Disk Images\\Disk2");
    EXPECT_EQ(0, utility.requestCD(1, "", root, false, zk::kPlaceholderGUID));
    EXPECT_STREQ(".\\Disk Images\\Disk1", root);
    EXPECT_EQ(scratch.path(), zktest::currentDirectory());
    EXPECT_TRUE(host_.before().empty());
    SetCurrentDirectoryA("C:\\");
}

TEST_F(DiscRequest, RequestCDTracesItsStartInDebugMode) {
    zktest::insertDisc('d', 1);
    const std::string log = "c:\\debugInstaller.txt";
    const size_t before = zktest::readFile(log).size();
    zk::CInstallUtility utility;
    char root[260] = "D:";
    EXPECT_EQ(0, utility.requestCD(1, "C:\\Games\\ZK", root, true, zk::kPlaceholderGUID));
    const std::string added = zktest::readFile(log).substr(before);
    const std::vector<std::string> lines = zktest::lines(added);
    const std::string expected =
        "Using cachefile 'C:\\Games\\ZK\\filelist.txt' to identify CD '1' in CDDIR 'D:' - "
        "requestStartupCD";
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), expected)) << added;
}

TEST_F(DiscRequest, LongRootsStayWithinTheirBuffer) {
    zktest::ScratchDir scratch("long");
    // An image path that leaves room for "Disk1" but not for "Disk12345".
    std::string base = scratch.path() + "\\";
    while (base.size() < 260 - 1 - 19)
        base += "x";
    std::string root1 = base + "\\Disk Images\\Disk1";
    ASSERT_LT(root1.size(), 260u);
    struct Guarded {
        char root[260];
        char guard[8];
    } g;
    memset(g.guard, 'G', sizeof g.guard);
    zk::copyText(g.root, root1.c_str());
    host_.beforeSteps({{IDCANCEL}});
    host_.boxSteps({{IDYES}});
    int current = -1, cancel = 0;
    zk::requestDisc(&current, 12345, g.root, &cancel, false, 1, zk::kPlaceholderGUID,
                    sizeof g.root);
    EXPECT_EQ(-1, cancel);
    EXPECT_EQ(259u, strlen(g.root));
    EXPECT_EQ(std::string(8, 'G'), std::string(g.guard, 8));
}

TEST(DriveChecks, FreeSpaceComesFromEitherSystemCall) {
    ULARGE_INTEGER available, total, totalFree;
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &totalFree));
    const double system = static_cast<double>(available.QuadPart);
    const double slack = 64.0 * 1024 * 1024;  // other programs write meanwhile

    ASSERT_NE(nullptr, zk::lookUpDiskFreeSpaceEx());
    const __int64 ex = zk::freeBytes("C:\\Program Files\\Game", zk::lookUpDiskFreeSpaceEx());
    const __int64 classic = zk::freeBytes("C:\\Program Files\\Game", nullptr);
    EXPECT_NEAR(system, static_cast<double>(ex), slack);
    EXPECT_NEAR(system, static_cast<double>(classic), slack);
    EXPECT_NEAR(system, zk::CInstallUtility().getFreeSpace("c:\\x"), slack);

    // A free-space entry that fails falls back to the cluster counts.
    struct Failing {
        static BOOL WINAPI call(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER) {
            return FALSE;
        }
    };
    EXPECT_NEAR(system, static_cast<double>(zk::freeBytes("C:", Failing::call)), slack);

    EXPECT_EQ(0, zk::freeBytes("Q:\\Games", zk::lookUpDiskFreeSpaceEx()));
    EXPECT_EQ(0, zk::freeBytes("", zk::lookUpDiskFreeSpaceEx()));
    EXPECT_EQ(0, zk::freeBytes(nullptr, nullptr));
}

TEST(DriveChecks, ClusterCountsDoNotOverflow) {
    struct Case {
        DWORD clusters, sectors, bytes;
    };
    const Case cases[] = {
        {18478031, 8, 512}, {0xFFFFFFFFu, 128, 4096}, {2000000, 8, 512}, {1, 1, 512}, {0, 8, 512}};
    for (const Case& c : cases) {
        long double exact = static_cast<long double>(c.clusters) * c.sectors * c.bytes;
        EXPECT_EQ(exact, static_cast<long double>(zk::clusterBytes(c.clusters, c.sectors, c.bytes)))
            << c.clusters;
    }
}

} // namespace
