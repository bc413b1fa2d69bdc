// Disc requests and drive checks through the decorated exports, with the
// prefix's CD-ROM drives D:, E: and F:.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ZKInstall.h"
#include "zktest/discs.h"
#include "zktest/harness.h"

namespace {

using zktest::DiscHost;

// Started from disc 1 in D:, as a host on the disc is.  Without settings the
// product has no GUID, so discs without one count as its own.
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

TEST_F(HostRequest, TheDriveHoldingTheDiscBecomesTheSource) {
    ASSERT_EQ("D:", installFrom());
    host_.beforeSteps({{IDOK, 'e', 2}});  // the user puts disc 2 into E:
    EXPECT_EQ(0, ZKINSTALL_requestSpecificCD(2));
    EXPECT_FALSE(ZKINSTALL_IsInstallationCancelled());
    EXPECT_EQ("E:", installFrom());
    EXPECT_EQ("E:\\", zktest::currentDirectory());
    EXPECT_EQ(std::vector<int>{2}, host_.before());
    EXPECT_EQ(std::vector<int>{2}, host_.after());

    EXPECT_EQ(0, ZKINSTALL_requestSpecificCD(1));
    EXPECT_EQ("D:", installFrom());
    EXPECT_EQ("D:\\", zktest::currentDirectory());
    EXPECT_EQ(1u, host_.before().size()) << "a disc in a drive is found without asking";
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
    EXPECT_EQ("D:\\", zktest::currentDirectory());

    // Without settings the start-up disc is "none": found at once, flag cleared.
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
    // The prompt names the last CD-ROM drive searched.
    EXPECT_EQ(zktest::insertDiscText('F'), host_.boxes()[0].text);
    EXPECT_EQ(unsigned(MB_OKCANCEL), host_.boxes()[0].style);
    EXPECT_TRUE(host_.before().empty());
}

TEST(DriveChecks, ValidDrivesAreWritableAndMountedWithEnoughSpace) {
    ASSERT_TRUE(zktest::haveDiscDrives());
    zktest::DiscDrivesGuard drives;
    zktest::insertDisc('d', 1);
    zktest::ejectDisc('e');
    for (const char* valid : {"C:\\Program Files\\Vantorel\\ZK Game", "c:"}) {
        std::string path = valid;
        EXPECT_TRUE(ZKINSTALL_getIsValidDrive(&path[0])) << valid;
    }
    for (const char* invalid : {"D:\\Game", "E:\\Game", "R:\\Game", "Game", ""}) {
        std::string path = invalid;
        EXPECT_FALSE(ZKINSTALL_getIsValidDrive(&path[0])) << invalid;
    }

    ULARGE_INTEGER available, total, totalFree;
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &totalFree));
    const __int64 free = static_cast<__int64>(available.QuadPart);
    ASSERT_GT(free, 2LL << 30) << "the tests expect a few gigabytes on C:";
    struct Case {
        const char* path;
        __int64 needed;
        bool enough;
    } cases[] = {
        {"C:\\Program Files\\Game", free / 2, true},
        {"C:\\Program Files\\Game", free + (1LL << 40), false},
        {"c:", 0, true},
        {"R:\\Game", 1, false},
        {"", 1, false},
    };
    for (const Case& c : cases) {
        std::string path = c.path;
        EXPECT_EQ(c.enough, ZKINSTALL_getIsSufficentSpace(&path[0], c.needed)) << c.path;
    }
}

} // namespace
