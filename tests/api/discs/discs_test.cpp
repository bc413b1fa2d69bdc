// Disc requests and drive checks as a host sees them: through the decorated
// exports, with the prefix's CD-ROM drives D:, E: and F:.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ZKInstall.h"
#include "zktest/discs.h"
#include "zktest/harness.h"

namespace {

using zktest::DiscHost;

// Starts the library from drive D:, as the host does from the disc, with the
// scripted host's callbacks.  After ZKINSTALL_init the product has no GUID,
// so only discs without one count as this product's.
class HostRequest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(zktest::haveDiscDrives());
        zktest::insertDisc('d', 1);
        ASSERT_TRUE(SetCurrentDirectoryA("D:\\"));
        ZKINSTALL_setMessageBox(DiscHost::box);
        ZKINSTALL_setBeforeCDRequest(DiscHost::beforeRequest);
        ZKINSTALL_setAfterCDRequest(DiscHost::afterRequest);
        char exe[] = "Game.exe";
        ZKINSTALL_init(exe);
    }
    void TearDown() override {
        ZKINSTALL_setMessageBox(nullptr);
        ZKINSTALL_setBeforeCDRequest(nullptr);
        ZKINSTALL_setAfterCDRequest(nullptr);
    }

    static std::string installFrom() {
        char from[260] = {};
        ZKINSTALL_getInstallFromLocation(from);
        return from;
    }

    zktest::DiscDrivesGuard drives_;
    DiscHost host_;
};

TEST_F(HostRequest, TheSecondDriveBecomesTheSourceOfTheSecondDisc) {
    zktest::insertDisc('e', 2);
    ASSERT_EQ("D:", installFrom());

    EXPECT_EQ(0, ZKINSTALL_requestSpecificCD(2));
    EXPECT_FALSE(ZKINSTALL_IsInstallationCancelled());
    EXPECT_EQ("E:", installFrom());
    EXPECT_EQ("E:\\", zktest::currentDirectory());

    EXPECT_EQ(0, ZKINSTALL_requestSpecificCD(1));
    EXPECT_EQ("D:", installFrom());
    EXPECT_EQ("D:\\", zktest::currentDirectory());

    EXPECT_TRUE(host_.before().empty());
    EXPECT_TRUE(host_.boxes().empty());
}

TEST_F(HostRequest, TheHostsCallbackChangesTheDisc) {
    zktest::ejectDisc('e');
    host_.beforeSteps({{IDOK, 'e', 2}});
    EXPECT_EQ(0, ZKINSTALL_requestSpecificCD(2));
    EXPECT_EQ(std::vector<int>{2}, host_.before());
    EXPECT_EQ(std::vector<int>{2}, host_.after());
    EXPECT_EQ("E:", installFrom());
    EXPECT_FALSE(ZKINSTALL_IsInstallationCancelled());
    EXPECT_TRUE(host_.boxes().empty());
}

TEST_F(HostRequest, ADiscOfAnotherProductIsNotAccepted) {
    zktest::insertDisc('e', 2, "0000-ANOTHER-PRODUCT");
    // The user declines, thinks again, then quits.
    host_.beforeSteps({{IDCANCEL}, {IDCANCEL}});
    host_.boxSteps({{IDNO}, {IDYES}});
    EXPECT_EQ(-1, ZKINSTALL_requestSpecificCD(2));
    EXPECT_TRUE(ZKINSTALL_IsInstallationCancelled());
    EXPECT_EQ((std::vector<int>{2, 2}), host_.before());
    EXPECT_TRUE(host_.after().empty());
    ASSERT_EQ(2u, host_.boxes().size());
    for (const zktest::MessageCall& box : host_.boxes()) {
        EXPECT_EQ(zktest::kQuitSetupText, box.text);
        EXPECT_EQ("", box.caption);
        EXPECT_EQ(unsigned(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), box.style);
    }
    EXPECT_EQ("D:\\", zktest::currentDirectory()) << "a declined request stays where it was";

    // The start-up disc of a disc without settings is "none": asking for it
    // succeeds at once and clears the flag.
    EXPECT_EQ(0, ZKINSTALL_requestStartupCD());
    EXPECT_FALSE(ZKINSTALL_IsInstallationCancelled());
    EXPECT_EQ(2u, host_.boxes().size());
}

TEST_F(HostRequest, WithoutDiscCallbacksTheLibraryAsksItself) {
    ZKINSTALL_setBeforeCDRequest(nullptr);
    ZKINSTALL_setAfterCDRequest(nullptr);
    host_.boxSteps({{IDOK}, {IDOK, 'f', 3}});
    EXPECT_EQ(0, ZKINSTALL_requestSpecificCD(3));
    EXPECT_EQ("F:", installFrom());
    ASSERT_EQ(2u, host_.boxes().size());
    // The prompt names the drive of the install-from location, which the
    // search has moved to the last CD-ROM drive it looked at.
    EXPECT_EQ(zktest::insertDiscText('F'), host_.boxes()[0].text);
    EXPECT_EQ(unsigned(MB_OKCANCEL), host_.boxes()[0].style);
    EXPECT_TRUE(host_.before().empty());
}

TEST(DriveChecks, ValidDrivesAreWritableAndMounted) {
    ASSERT_TRUE(zktest::haveDiscDrives());
    zktest::DiscDrivesGuard drives;
    zktest::insertDisc('d', 1);
    zktest::ejectDisc('e');
    struct Case {
        const char* path;
        bool valid;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Vantorel\\ZK Game", true},
        {"c:", true},
        {"D:\\Game", false},
        {"E:\\Game", false},
        {"F:\\", false},
        {"R:\\Game", false},
        {"Game", false},
        {"", false},
    };
    for (const Case& c : cases) {
        std::string path = c.path;
        EXPECT_EQ(c.valid, ZKINSTALL_getIsValidDrive(&path[0])) << c.path;
    }
}

TEST(DriveChecks, SufficientSpaceIsMeasuredOnTheTargetsVolume) {
    ULARGE_INTEGER available, total, totalFree;
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &totalFree));
    const __int64 free = static_cast<__int64>(available.QuadPart);
    ASSERT_GT(free, 2LL * 1024 * 1024 * 1024) << "the tests expect a few gigabytes on C:";
    struct Case {
        const char* path;
        __int64 needed;
        bool enough;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Game", 1, true},
        {"C:\\Program Files\\Game", free / 2, true},
        {"C:\\Program Files\\Game", free + (1LL << 40), false},
        {"c:", 0, true},
        {"R:\\Game", 1, false},  // no such drive: no space at all
        {"", 1, false},
    };
    for (const Case& c : cases) {
        std::string path = c.path;
        EXPECT_EQ(c.enough, ZKINSTALL_getIsSufficentSpace(&path[0], c.needed))
            << c.path << " " << c.needed;
    }
}

} // namespace
