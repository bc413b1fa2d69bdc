// Folders and trees: path pieces, folder chains with roll-back, XCopy, findFile and XRemove.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ZKInstall.h"
#include "zktest/harness.h"
#include "zktest/tree.h"

using zktest::exists;
using zktest::isDirectory;
using zktest::MessageScript;

namespace {

// Builds files (relative paths) below root, each holding its own name.
void plant(const std::string& root, const std::vector<std::string>& files) {
    for (const std::string& f : files) {
        std::string path = root + "\\" + f;
        zktest::makeDirs(path.substr(0, path.rfind('\\')));
        zktest::writeFile(path, f);
    }
}

// What plant leaves, as the harness lists it.
std::map<std::string, unsigned long long> planted(const std::vector<std::string>& files) {
    std::map<std::string, unsigned long long> out;
    for (const std::string& f : files)
        out[f] = f.size();
    return out;
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

TEST_F(Tree, PathPieces) {
    struct Case {
        const char *input, *filename, *path, *extension;
    } cases[] = {
        {"C:\\Games\\ZK\\game.exe", "game.exe", "C:\\Games\\ZK", "exe"},
        {"archive.tar.gz", "archive.tar.gz", ".", "gz"},
        {".profile", ".profile", ".", ""},
        {"Data\\", "", "Data", ""},
    };
    for (const Case& c : cases) {
        char name[260], path[260], extension[260];
        copier.extractFilename(name, c.input);
        copier.extractPath(path, c.input);
        copier.extractExtension(extension, c.input);
        EXPECT_EQ((std::vector<std::string>{c.filename, c.path, c.extension}),
                  (std::vector<std::string>{name, path, extension}))
            << c.input;
    }
}

TEST_F(Tree, CreateDirectoryBuildsChainsAndUndoesOnlyItsOwnWork) {
    zktest::makeDirs(dir / "existing");  // empty, the user's own
    zktest::writeFile(dir / "blocker", "a file where a folder should be");
    struct Case {
        std::string path;
        bool result;
    } cases[] = {
        {dir / "a\\b\\c", true},
        {dir / "a\\b\\c", true},
        {dir / "x\\y\\", true},
        {dir / "existing\\new1\\new2\\bad*name\\leaf", false},
        {dir / "blocker\\under", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(copier.createDirectory(c.path.c_str(), 0), c.result) << c.path;
        EXPECT_EQ(isDirectory(c.path), c.result) << c.path;
    }
    // The failed chain below "existing" is rolled back, "existing" itself kept.
    std::vector<std::string> folders = zktest::listFolders(dir.path());
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(folders,
              (std::vector<std::string>{"a", "a\\b", "a\\b\\c", "existing", "x", "x\\y"}));
}

TEST_F(Tree, XCopyReproducesTheMatchingTreeAndStopsWhenTheUserCancels) {
    const std::string source = dir / "source";
    plant(source, kTree);
    struct Case {
        std::string wildcard;
        int recurse;
        std::vector<std::string> copied;
        const char* held = nullptr;  // held open without sharing: its copy fails, the user quits
    } cases[] = {
        {source + "\\*.txt", 1, {"a.txt", "one\\c.txt", "one\\deep\\e.txt", "two\\g.txt"}},
        {"*.txt", 0, {"a.txt"}},  // a bare wildcard reads the current folder
        {source + "\\*.*", 1, kTree},
        {source + "\\d.dat", 1, {"one\\d.dat"}},
        {source + "\\*.txt", 1, {"a.txt"}, "one\\c.txt"},
    };
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof saved, saved);
    SetCurrentDirectoryA(source.c_str());
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wildcard + (c.recurse ? " /s" : ""));
        // A file standing where the target folder goes is replaced by it.
        const std::string target = dir / ("target" + std::to_string(n++));
        zktest::writeFile(target, "in the way");
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.held) {
            held = CreateFileA((source + "\\" + c.held).c_str(), GENERIC_READ, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
            script.answers({IDCANCEL, IDYES});
        }
        int count = 0, cancel = 0;
        int result = copier.XCopy(c.wildcard.c_str(), target.c_str(), c.recurse, &cancel, &count,
                                  1, nullptr, nullptr, nullptr);
        if (c.held)
            CloseHandle(held);
        EXPECT_EQ(result, c.held ? -1 : static_cast<int>(c.copied.size()));
        EXPECT_EQ(count, static_cast<int>(c.copied.size()));
        EXPECT_EQ(cancel, c.held ? 1 : 0);
        EXPECT_EQ(zktest::listFiles(target), planted(c.copied));
    }
    SetCurrentDirectoryA(saved);
    EXPECT_EQ(script.calls().size(), 2u);
}

TEST_F(Tree, FindFileSearchesDepthFirst) {
    const std::string root = dir / "root";
    plant(root, {"z.txt", "a\\x.dat", "b\\deep\\y.dat", "b\\y.txt"});
    struct Case {
        const char* wildcard;
        int recurse;
        const char* found;  // null: nothing
    } cases[] = {
        {"*.dat", 1, "a\\x.dat"}, {"y.dat", 1, "b\\deep\\y.dat"}, {"*.dat", 0, nullptr},
        {"z.txt", 0, "z.txt"},    {"y.txt", 1, "b\\y.txt"},       {"nope.*", 1, nullptr},
    };
    for (const Case& c : cases) {
        char out[260] = "untouched";
        EXPECT_EQ(copier.findFile((root + "\\" + c.wildcard).c_str(), c.recurse, out),
                  c.found != nullptr);
        EXPECT_EQ(std::string(out), c.found ? root + "\\" + c.found : "untouched") << c.wildcard;
    }
}

TEST_F(Tree, XRemoveTakesWhatTheWildcardNamesAndTheFoldersItEmpties) {
    struct Case {
        const char *name, *wildcard;  // wildcard below the tree's root
        bool recurse;
        std::vector<std::string> removed;
    } cases[] = {
        {"everything", "*.*", true, kTree},
        {"top level only", "*.*", false, {"a.txt", "b.dat"}},
        {"the last file of a folder", "two\\g.txt", false, {"two\\g.txt"}},
        {"a wildcard at every level", "*.dat", true, {"b.dat", "one\\d.dat", "one\\deep\\f.dat"}},
        {"a named folder's tree", "one", true,
         {"one\\c.txt", "one\\d.dat", "one\\deep\\e.txt", "one\\deep\\f.dat"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string root = dir / ("root" + std::to_string(n++));
        plant(root, kTree);
        std::string wildcard = root + "\\" + c.wildcard;
        EXPECT_EQ(copier.XRemove(&wildcard[0], c.recurse), 1);
        // What is left keeps its folders, and only those.
        auto left = planted(kTree);
        std::set<std::string> folders;
        for (const std::string& f : c.removed)
            left.erase(f);
        for (const auto& f : left)
            for (size_t at = f.first.find('\\'); at != std::string::npos;
                 at = f.first.find('\\', at + 1))
                folders.insert(f.first.substr(0, at));
        EXPECT_EQ(zktest::listFiles(root), left);
        std::vector<std::string> found = zktest::listFolders(root);
        EXPECT_EQ(std::set<std::string>(found.begin(), found.end()), folders);
        EXPECT_EQ(exists(root), !left.empty());
    }
}

} // namespace
