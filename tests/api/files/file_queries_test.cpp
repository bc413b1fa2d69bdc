// The exported file-system queries, seen from the host.
#include <gtest/gtest.h>

#include <string>

#include "ZKInstall.h"
#include "zktest/harness.h"

namespace {

TEST(FileQueries, FilesFoldersWildcardsAndNewFolderChains) {
    zktest::ScratchDir dir;
    zktest::writeFile(dir / "game.exe", "MZ");
    std::string deep = dir / "Vantorel\\ZK Game\\Saves", blocked = dir / "game.exe\\inside";
    EXPECT_TRUE(ZKINSTALL_createDirectory(&deep[0]));
    EXPECT_FALSE(ZKINSTALL_createDirectory(&blocked[0]));  // a file cannot become a folder
    struct Case {
        std::string path;
        bool isFile, fileExists, dirExists;
    } cases[] = {
        {dir / "game.exe", true, true, false},       {dir / "*.exe", true, true, false},
        {deep, false, false, true},                  {blocked, false, false, false},
        {dir / "missing.txt", false, false, false},
    };
    for (Case& c : cases) {
        EXPECT_EQ(c.isFile, ZKINSTALL_isFile(&c.path[0])) << c.path;
        EXPECT_EQ(c.fileExists, ZKINSTALL_fileExists(c.path.c_str())) << c.path;
        EXPECT_EQ(c.dirExists, ZKINSTALL_dirExists(c.path.c_str())) << c.path;
    }
}

} // namespace
