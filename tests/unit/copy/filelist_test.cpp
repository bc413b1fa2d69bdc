// The install log: line format, entries the uninstaller could replay outside the install
// folder, and lines from several writers in one file.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "install/filelist.h"
#include "zktest/harness.h"

namespace {

TEST(FileListLine, FormatAndRefusals) {
    struct Case {
        const char* path;
        bool recursive;
        const char* line;
    } formed[] = {
        {"Data\\maps.pak", false, "2,3,Data\\maps.pak\r\n"},
        {"Movies\\*.bik ", true, "2,3,Movies\\*.bik  /s\r\n"},
        {"Saves /s", false, "2,3,Saves /s\r\n"},
        {"..hidden\\a..b", false, "2,3,..hidden\\a..b\r\n"},
        {"x /s ..\\beyond the mark", false, "2,3,x /s ..\\beyond the mark\r\n"},
    };
    for (const Case& c : formed) {
        char out[600] = "junk";
        EXPECT_TRUE(zk::formatFileListLine(out, sizeof out, 2, 3, c.path, c.recursive)) << c.path;
        EXPECT_STREQ(out, c.line);
    }
    const std::string tooLong(260, 'a');
    for (const char* path : {"", "..\\outside.txt", "Data\\.. \\x", "...\\x", "Data/../../x",
                             "..\\Windows /s", "C:\\Windows\\system.ini", "/etc", "file.txt:stream",
                             "a.txt\r\n1,1,..\\b.txt", "x/S\\..\\y /s", tooLong.c_str()}) {
        char out[600] = "junk";
        EXPECT_FALSE(zk::formatFileListLine(out, sizeof out, 2, 3, path, false)) << path;
        EXPECT_STREQ(out, "");
    }
    char small[8];  // a line that does not fit
    EXPECT_FALSE(zk::formatFileListLine(small, sizeof small, 1, 1, "Data\\long.txt", false));
    EXPECT_STREQ(small, "");
}

TEST(FileListLine, SplitAtTheFirstMarkOfEitherCase) {
    const struct {
        const char* line;
        bool split;
        int disc, level;
        bool recursive;
        const char* path;
    } cases[] = {
        {"2,3,Data\\maps.pak", true, 2, 3, false, "Data\\maps.pak"},
        {"2,1,Movies\\*.bik /S", true, 2, 1, true, "Movies\\*.bik "},
        // A later mark of the other case must not leave this one in the path.
        {"1,1,a/S\\..\\..\\x /s", true, 1, 1, true, "a"},
        {"4,2,", true, 4, 2, false, ""},
        {"1,1/s,a", false, 0, 0, true, ""},
        {"nonsense", false, 0, 0, false, ""},
    };
    for (const auto& c : cases) {
        zk::FileListEntry e;
        EXPECT_EQ(c.split, zk::parseFileListLine(c.line, &e)) << c.line;
        if (c.split)
            EXPECT_EQ(std::make_tuple(c.disc, c.level, c.recursive, std::string(c.path)),
                      std::make_tuple(e.disc, e.level, e.recursive, std::string(e.path)))
                << c.line;
    }
}

TEST(FileList, LinesOfOtherWritersSurviveTheOpenLog) {
    zktest::ScratchDir dir("filelist");
    const std::string log = dir / "filelist.txt";
    zktest::writeFile(log, "1,1,from an earlier installation\r\n");
    FILE* open = zk::createFileList(dir.path().c_str());
    ASSERT_TRUE(open != nullptr);
    EXPECT_EQ(zktest::readFile(log), "");
    EXPECT_TRUE(zk::writeFileListLine(open, 0, 0, "cache.dat", false));
    // The readme line, written through a second stream while the log is open.
    EXPECT_TRUE(zk::appendFileListEntry(1, 1, "Support\\readme.txt", (dir.path() + "\\").c_str(),
                                        false));
    EXPECT_TRUE(zk::writeFileListLine(open, 2, 1, "Maps\\*.*", true));
    EXPECT_FALSE(zk::writeFileListLine(open, 2, 1, "..\\Maps", true));
    fclose(open);
    EXPECT_EQ(zktest::readFile(log),
              "0,0,cache.dat\r\n1,1,Support\\readme.txt\r\n2,1,Maps\\*.* /s\r\n");
    // No folder, or one that does not exist: nothing written, not "\filelist.txt" at a root.
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof saved, saved);
    SetCurrentDirectoryA(dir.path().c_str());
    const std::string missing = dir / "missing";
    for (const char* folder : {"", static_cast<const char*>(nullptr), missing.c_str()})
        EXPECT_FALSE(zk::appendFileListEntry(1, 1, "a.txt", folder, false));
    SetCurrentDirectoryA(saved);
    EXPECT_FALSE(zktest::exists(dir.path().substr(0, 2) + "\\filelist.txt"));
    EXPECT_FALSE(zktest::exists(missing));
}

} // namespace
