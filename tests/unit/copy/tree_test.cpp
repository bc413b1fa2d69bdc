// Folders and trees: path pieces, folder chains with roll-back, XCopy,
// findFile and XRemove.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "copy_support.h"
#include "zktest/harness.h"

using zktest::exists;
using zktest::isDirectory;
using zktest::MessageScript;
using zktest::writeFile;

namespace {

std::vector<char> mutableText(const std::string& s) {
    std::vector<char> out(s.begin(), s.end());
    out.push_back('\0');
    return out;
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Builds files (relative paths) below root, each holding its own name.
void plant(const std::string& root, const std::vector<std::string>& files) {
    for (const std::string& f : files) {
        std::string path = root + "\\" + f;
        zktest::makeDirs(path.substr(0, path.rfind('\\')));
        writeFile(path, f);
    }
}

const std::vector<std::string> kTree = {
    "a.txt", "b.dat", "one\\c.txt", "one\\d.dat", "one\\deep\\e.txt", "one\\deep\\f.dat",
    "two\\g.txt",
};

class Tree : public ::testing::Test {
  protected:
    void SetUp() override { ZKINSTALL_setMessageBox(MessageScript::callback); }
    MessageScript script;
    zktest::ScratchDir dir{"tree"};
    CZKCopyFile copier;
};

TEST(PathPieces, NamesFoldersAndExtensions) {
    struct Case {
        const char* input;
        const char* filename;
        const char* path;
        const char* extension;  // of the input taken as a name
    };
    const Case cases[] = {
        {"C:\\Games\\ZK\\game.exe", "game.exe", "C:\\Games\\ZK", "exe"},
        {"archive.tar.gz", "archive.tar.gz", ".", "gz"},
        {".profile", ".profile", ".", ""},
        {"Data\\", "", "Data", ""},
    };
    CZKCopyFile copier;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        char out[260];
        copier.extractFilename(out, c.input);
        EXPECT_STREQ(out, c.filename);
        copier.extractPath(out, c.input);
        EXPECT_STREQ(out, c.path);
        copier.extractExtension(out, c.input);
        EXPECT_STREQ(out, c.extension);
    }
}

TEST_F(Tree, CreateDirectoryBuildsChainsAndUndoesOnlyItsOwnWork) {
    zktest::makeDirs(dir / "existing");  // empty, the user's own
    writeFile(dir / "blocker", "a file where a folder should be");
    struct Case {
        std::string path;
        bool result;
        std::vector<std::string> gone;  // folders a failure must not leave
    };
    const Case cases[] = {
        {dir / "a\\b\\c", true, {}},
        {dir / "a\\b\\c", true, {}},
        {dir / "x\\y\\", true, {}},
        {dir / "existing\\new1\\new2\\bad*name\\leaf", false,
         {dir / "existing\\new1\\new2", dir / "existing\\new1"}},
        {dir / "blocker\\under", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(copier.createDirectory(c.path.c_str(), 0), c.result);
        EXPECT_EQ(isDirectory(c.path), c.result);
        for (const std::string& g : c.gone)
            EXPECT_FALSE(exists(g)) << g;
        EXPECT_TRUE(isDirectory(dir / "existing"));
    }
}

TEST_F(Tree, XCopyReproducesTheMatchingTree) {
    const std::string source = dir / "source";
    plant(source, kTree);
    struct Case {
        const char* pattern;
        int recurse;
    };
    const Case cases[] = {{"*.txt", 1}, {"*.txt", 0}, {"*.*", 1}, {"d.dat", 1}};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + (c.recurse ? " /s" : ""));
        const std::string target = dir / ("target" + std::to_string(n++));
        std::string wildcard = source + "\\" + c.pattern;
        std::string suffix = std::string(c.pattern).substr(1);  // "*.txt" -> ".txt"
        std::vector<std::string> expected;
        for (const std::string& f : kTree) {
            std::string name = f.substr(f.rfind('\\') == std::string::npos ? 0 : f.rfind('\\') + 1);
            bool matches = c.pattern[0] == '*' ? (suffix == ".*" || endsWith(name, suffix))
                                               : name == c.pattern;
            if (matches && (c.recurse || f.find('\\') == std::string::npos))
                expected.push_back(f);
        }
        int count = 0, cancel = 0;
        float unused = 0;
        EXPECT_EQ(copier.XCopy(wildcard.c_str(), target.c_str(), c.recurse, &cancel, &count, 1,
                               &unused, nullptr, nullptr),
                  static_cast<int>(expected.size()));
        EXPECT_EQ(count, static_cast<int>(expected.size()));
        for (const std::string& f : kTree)
            EXPECT_EQ(zktest::readFile(target + "\\" + f),
                      std::find(expected.begin(), expected.end(), f) != expected.end() ? f : "")
                << f;
    }
    EXPECT_TRUE(script.calls().empty());
}

TEST_F(Tree, XCopyEdgesOfSourceAndDestination) {
    // A file standing where the destination folder goes is replaced by it.
    plant(dir / "here", {"a.txt", "b.txt", "c.dat"});
    writeFile(dir / "out", "in the way");
    // A bare pattern reads the current folder.
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof saved, saved);
    SetCurrentDirectoryA((dir / "here").c_str());
    int count = 0;
    int result = copier.XCopy("*.txt", (dir / "out").c_str(), 0, nullptr, &count, 1, nullptr,
                              nullptr, nullptr);
    SetCurrentDirectoryA(saved);
    EXPECT_EQ(result, 2);
    EXPECT_EQ(zktest::readFile(dir / "out\\b.txt"), "b.txt");
    EXPECT_FALSE(exists(dir / "out\\c.dat"));
}

TEST_F(Tree, XCopyStopsAtACopyTheUserCancels) {
    plant(dir / "source", kTree);
    // Held open without sharing: the copy of this file fails.
    HANDLE held = CreateFileA((dir / "source\\one\\c.txt").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    script.answers({IDCANCEL, IDYES});
    int count = 0, cancel = 0;
    int result = copier.XCopy((dir / "source\\*.txt").c_str(), (dir / "target").c_str(), 1,
                              &cancel, &count, 1, nullptr, nullptr, nullptr);
    CloseHandle(held);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(cancel, 1);
    EXPECT_EQ(count, 1);  // a.txt made it before the failure
    EXPECT_EQ(script.calls().size(), 2u);
    EXPECT_FALSE(exists(dir / "target\\two\\g.txt"));
}

TEST_F(Tree, FindFileSearchesDepthFirst) {
    plant(dir / "root", {"z.txt", "a\\x.dat", "b\\deep\\y.dat", "b\\y.txt"});
    const std::string root = dir / "root";
    struct Case {
        const char* wildcard;
        int recurse;
        const char* found;  // null: nothing
    };
    const Case cases[] = {
        {"*.dat", 1, "a\\x.dat"}, {"y.dat", 1, "b\\deep\\y.dat"}, {"*.dat", 0, nullptr},
        {"z.txt", 0, "z.txt"},    {"y.txt", 1, "b\\y.txt"},       {"nope.*", 1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wildcard);
        char out[260] = "untouched";
        EXPECT_EQ(copier.findFile((root + "\\" + c.wildcard).c_str(), c.recurse, out),
                  c.found != nullptr);
        EXPECT_EQ(std::string(out), c.found ? root + "\\" + c.found : "untouched");
    }
}

TEST_F(Tree, XRemoveTakesWhatTheWildcardNames) {
    struct Case {
        const char* name;
        const char* wildcard;  // below the tree's root
        bool recurse;
        std::vector<std::string> remaining;
        bool rootGone;
    };
    const Case cases[] = {
        {"everything", "*.*", true, {}, true},
        {"top level only", "*.*", false, {"one\\c.txt", "one\\d.dat", "one\\deep\\e.txt",
                                          "one\\deep\\f.dat", "two\\g.txt"}, false},
        {"one named file", "one\\deep\\e.txt", false,
         {"a.txt", "b.dat", "one\\c.txt", "one\\d.dat", "one\\deep\\f.dat", "two\\g.txt"}, false},
        {"a pattern at every level", "*.dat", true,
         {"a.txt", "one\\c.txt", "one\\deep\\e.txt", "two\\g.txt"}, false},
        {"a pattern at the top", "*.dat", false,
         {"a.txt", "one\\c.txt", "one\\d.dat", "one\\deep\\e.txt", "one\\deep\\f.dat",
          "two\\g.txt"}, false},
        {"a named folder's tree", "one", true, {"a.txt", "b.dat", "two\\g.txt"}, false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string root = dir / ("root" + std::to_string(n++));
        plant(root, kTree);
        std::vector<char> wildcard = mutableText(root + "\\" + c.wildcard);
        EXPECT_EQ(copier.XRemove(wildcard.data(), c.recurse), 1);
        EXPECT_EQ(exists(root), !c.rootGone);
        for (const std::string& f : kTree) {
            bool kept = std::find(c.remaining.begin(), c.remaining.end(), f) != c.remaining.end();
            EXPECT_EQ(exists(root + "\\" + f), kept) << f;
        }
    }
}

TEST_F(Tree, XRemoveOfTheLastFileTakesItsFolder) {
    plant(dir / "root", {"only\\file.txt", "keep.txt"});
    std::vector<char> wildcard = mutableText(dir / "root\\only\\file.txt");
    copier.XRemove(wildcard.data(), false);
    EXPECT_FALSE(exists(dir / "root\\only"));
    EXPECT_TRUE(exists(dir / "root\\keep.txt"));
}

} // namespace
