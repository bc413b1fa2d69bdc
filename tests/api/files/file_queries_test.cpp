// The exported file-system queries, seen from the host.
#include <gtest/gtest.h>

#include <string>

#include "ZKInstall.h"
#include "zktest/harness.h"

namespace {

TEST(FileQueries, FilesFoldersAndWildcards) {
    zktest::ScratchDir dir;
    zktest::writeFile(dir / "game.exe", "MZ");
    zktest::makeDirs(dir / "Data");
    struct Case {
        std::string path;
        bool isFile, fileExists, dirExists;
    } cases[] = {
        {dir / "game.exe", true, true, false},
        {dir / "*.exe", true, true, false},
        {dir / "Data", false, false, true},
        {dir / "missing.txt", false, false, false},
        {dir / "Data\\missing", false, false, false},
    };
    for (Case& c : cases) {
        EXPECT_EQ(c.isFile, ZKINSTALL_isFile(&c.path[0])) << c.path;
        EXPECT_EQ(c.fileExists, ZKINSTALL_fileExists(c.path.c_str())) << c.path;
        EXPECT_EQ(c.dirExists, ZKINSTALL_dirExists(c.path.c_str())) << c.path;
    }
}

TEST(FileQueries, CreateDirectoryMakesTheWholeChain) {
    zktest::ScratchDir dir;
    std::string deep = dir / "Vantorel\\ZK Game\\Saves";
    EXPECT_TRUE(ZKINSTALL_createDirectory(&deep[0]));
    EXPECT_TRUE(zktest::isDirectory(deep));
    EXPECT_TRUE(ZKINSTALL_createDirectory(&deep[0]));  // already there
    // A file in the way cannot become a folder.
    zktest::writeFile(dir / "blocker", "x");
    std::string blocked = dir / "blocker\\inside";
    EXPECT_FALSE(ZKINSTALL_createDirectory(&blocked[0]));
    EXPECT_FALSE(zktest::isDirectory(blocked));
}

TEST(FileQueries, WebAddressIsExportedAsData) {
    HMODULE dll = GetModuleHandleA("ZKInstall.dll");
    const char* url = reinterpret_cast<const char*>(GetProcAddress(dll, "?g_WebURL@@3PADA"));
    ASSERT_TRUE(url != nullptr);
    EXPECT_EQ(static_cast<const void*>(g_WebURL), static_cast<const void*>(url));
}

} // namespace
