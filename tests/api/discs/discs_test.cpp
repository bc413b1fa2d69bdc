// Disc requests and drive checks through the decorated exports, with the
// prefix's CD-ROM drives D:, E: and F:.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ZKInstall.h"
#include "zktest/discs.h"
#include "zktest/harness.h"

namespace {

using zktest::MessageScript;

// Started from disc 1 in D:, as a host on the disc is.  Without settings the
// product has no GUID, so discs without one count as its own.
class HostRequest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(zktest::haveDiscDrives());
        zktest::insertDisc('d', 1);
        ASSERT_TRUE(SetCurrentDirectoryA("D:\\"));
        ZKINSTALL_setMessageBox(MessageScript::callback);
        ZKINSTALL_setBeforeCDRequest(MessageScript::beforeRequest);
        ZKINSTALL_setAfterCDRequest(MessageScript::afterRequest);
        char exe[] = "Game.exe";
        ZKINSTALL_init(exe);
    }
    // Where the library now installs from, and the current folder.
    static std::string source() {
        char from[260] = {};
        ZKINSTALL_getInstallFromLocation(from);
        return std::string(from) + " " + zktest::currentDirectory();
    }
    zktest::DiscDrivesGuard drives_;
    MessageScript host_;
};

TEST_F(HostRequest, TheDriveHoldingTheDiscBecomesTheSource) {
    ASSERT_EQ("D: D:\\", source());
    host_.beforeSteps({{IDOK, zktest::inserting('e', 2)}});  // the user puts disc 2 into E:
    EXPECT_EQ(0, ZKINSTALL_requestSpecificCD(2));
    EXPECT_FALSE(ZKINSTALL_IsInstallationCancelled());
    EXPECT_EQ("E: E:\\", source());
    EXPECT_EQ(0, ZKINSTALL_requestSpecificCD(1));  // in a drive: found without asking
    EXPECT_EQ("D: D:\\", source());
    EXPECT_EQ(std::vector<int>{2}, host_.before());
    EXPECT_EQ(std::vector<int>{2}, host_.after());
    EXPECT_TRUE(host_.calls().empty());
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
    ASSERT_EQ(2u, host_.calls().size());
    for (const zktest::MessageCall& box : host_.calls())
        EXPECT_EQ(std::string(zktest::kQuitSetupText) + "||" +
                      std::to_string(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2),
                  box.text + "|" + box.caption + "|" + std::to_string(box.style));
    EXPECT_EQ("D:\\", zktest::currentDirectory());
    // Without settings the start-up disc is "none": found at once, flag cleared.
    EXPECT_EQ(0, ZKINSTALL_requestStartupCD());
    EXPECT_FALSE(ZKINSTALL_IsInstallationCancelled());
    EXPECT_EQ(2u, host_.calls().size());
}

TEST_F(HostRequest, WithoutDiscCallbacksTheLibraryAsksItself) {
    ZKINSTALL_setBeforeCDRequest(nullptr);
    ZKINSTALL_setAfterCDRequest(nullptr);
    host_.boxSteps({{IDOK}, {IDOK, zktest::inserting('f', 3)}});
    EXPECT_EQ(0, ZKINSTALL_requestSpecificCD(3));
    EXPECT_EQ("F: F:\\", source());
    ASSERT_EQ(2u, host_.calls().size());
    // The prompt names the last CD-ROM drive searched.
    EXPECT_EQ(zktest::insertDiscText('F'), host_.calls()[0].text);
    EXPECT_EQ(unsigned(MB_OKCANCEL), host_.calls()[0].style);
    EXPECT_TRUE(host_.before().empty());
}

TEST(DriveChecks, ValidDrivesAreWritableAndMountedWithEnoughSpace) {
    ASSERT_TRUE(zktest::haveDiscDrives());
    zktest::DiscDrivesGuard drives;
    zktest::insertDisc('d', 1);
    zktest::ejectDisc('e');
    ULARGE_INTEGER available, total, totalFree;
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &totalFree));
    const __int64 free = static_cast<__int64>(available.QuadPart);
    ASSERT_GT(free, 2LL << 30) << "the tests expect a few gigabytes on C:";
    const struct {
        std::string path;
        bool valid;
        __int64 needed;  // -1: the space is not asked
        bool enough;
    } cases[] = {
        {"C:\\Program Files\\Vantorel\\ZK Game", true, free / 2, true},
        {"C:\\Program Files\\Game", true, free + (1LL << 40), false},
        {"c:", true, 0, true},
        {"D:\\Game", false, -1, false},  // a disc, and a drive without one
        {"E:\\Game", false, -1, false},
        {"R:\\Game", false, 1, false},
        {"Game", false, -1, false},
        {"", false, 1, false},
    };
    for (auto c : cases) {
        EXPECT_EQ(c.valid, ZKINSTALL_getIsValidDrive(&c.path[0])) << c.path;
        if (c.needed >= 0)
            EXPECT_EQ(c.enough, ZKINSTALL_getIsSufficentSpace(&c.path[0], c.needed)) << c.path;
    }
}

} // namespace
