// The harness's CD-ROM drives: folders that Windows programs see as discs.
#include <gtest/gtest.h>

#include "zktest/harness.h"

namespace {

TEST(CdromDrives, MountedFoldersAreCdromDrivesWithCdfs) {
    ASSERT_TRUE(zktest::haveDiscDrives()) << "run through the build's wine-run.sh";
    for (char letter : {'D', 'E', 'F'}) {
        zktest::insertEmptyDisc(letter);
        zktest::writeFile(zktest::discFolder(letter) + "\\AutoRun.inf", "[Disc]\r\nDisc=1\r\n");
        std::string root = std::string(1, letter) + ":\\";
        EXPECT_EQ(UINT(DRIVE_CDROM), GetDriveTypeA(root.c_str())) << root;
        char label[MAX_PATH] = {}, fs[MAX_PATH] = {};
        DWORD serial = 0, maxLen = 0, flags = 0;
        ASSERT_TRUE(GetVolumeInformationA(root.c_str(), label, sizeof label, &serial, &maxLen,
                                          &flags, fs, sizeof fs))
            << root;
        EXPECT_STREQ("CDFS", fs) << root;
        // What the test wrote into the folder is on the disc.
        EXPECT_EQ("[Disc]\r\nDisc=1\r\n", zktest::readFile(root + "AutoRun.inf"));
        DWORD mask = GetLogicalDrives();
        EXPECT_TRUE(mask & (1u << (letter - 'A'))) << root;
    }
}

TEST(CdromDrives, EjectedDiscIsNotReadable) {
    zktest::ejectDisc('F');
    char fs[MAX_PATH] = {};
    EXPECT_FALSE(zktest::exists("F:\\AutoRun.inf"));
    EXPECT_FALSE(GetVolumeInformationA("F:\\", nullptr, 0, nullptr, nullptr, nullptr, fs,
                                       sizeof fs) &&
                 zktest::exists("F:\\AutoRun.inf"));
    zktest::insertEmptyDisc('F');
    EXPECT_TRUE(zktest::isDirectory("F:\\"));
}

} // namespace
