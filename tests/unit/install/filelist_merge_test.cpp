// Merging the disc's common file list with the language's list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/host.h"
#include "core/installer.h"
#include "platform/text.h"
#include "install/install_thread.h"
#include "zktest/harness.h"

namespace {

class FileListMerge : public ::testing::Test {
  protected:
    void SetUp() override {
        GetCurrentDirectoryA(sizeof saved, saved);
        SetCurrentDirectoryA(dir.path().c_str());
        zk::g_messageBox = zktest::MessageScript::callback;
    }
    void TearDown() override {
        SetCurrentDirectoryA(saved);
        zk::g_messageBox = nullptr;
    }
    // Writes the lists given (null: none) and merges them.
    std::vector<std::string> merge(const char* common, const char* language) {
        const std::string lists[] = {dir / "common_filelist.txt", dir / "fr-fr_filelist.txt"};
        for (const std::string& list : lists)
            zktest::removeTree(list);
        if (common)
            zktest::writeFile(lists[0], common);
        if (language)
            zktest::writeFile(lists[1], language);
        std::vector<std::string> work;
        EXPECT_TRUE(zk::loadFileList(&work, lists[1].c_str()));
        return work;
    }
    char saved[MAX_PATH];
    zktest::ScratchDir dir;
    zktest::MessageScript script;
};

TEST_F(FileListMerge, LanguageLinesJoinTheirDiscAndLevelAfterCommonOnes) {
    EXPECT_EQ((std::vector<std::string>{"1,1,a.txt", "1,1,fr\\a.txt", "1,2,b.txt",
                                        "1,3,fr\\e.txt", "2,1,c.txt", "2,1,fr\\c.txt", "2,3,d.txt",
                                        "3,1,fr\\f.txt"}),
              merge("1,1,a.txt\r\n1,2,b.txt\r\n\r\n2,1,c.txt\r\n2,3,d.txt\r\n",
                    "1,1,fr\\a.txt\n1,3,fr\\e.txt\n2,1,fr\\c.txt\n3,1,fr\\f.txt\n"));
    // A common entry without a comma is passed over, a language line without one dropped.
    EXPECT_EQ((std::vector<std::string>{"1,1,a", "nonsense", "1,2,c", "2,1,b", "2,2,d"}),
              merge("1,1,a\nnonsense\n2,1,b\n", "1,2,c\nalso nonsense\n2,2,d\n"));
    // Either list alone is enough.
    EXPECT_EQ(std::vector<std::string>{"1,1,x"}, merge(nullptr, "1,1,x\n"));
    EXPECT_EQ(std::vector<std::string>{"1,1,y"}, merge("1,1,y\n", nullptr));
    EXPECT_TRUE(script.calls().empty());
}

TEST_F(FileListMerge, NoListAsksForTheDiscAndGivingUpEndsIt) {
    zk::copyText(zk::installer().m_installFrom, "E:");
    script.answers({IDCANCEL, IDYES});
    std::vector<std::string> work{"stale"};
    EXPECT_FALSE(zk::loadFileList(&work, (dir / "none_filelist.txt").c_str()));
    EXPECT_TRUE(work.empty());
    ASSERT_EQ(2u, script.calls().size());
    char text47[1024];
    zk::hostMessage(47, "E", text47, sizeof text47);
    EXPECT_EQ(text47, script.calls()[0].text);
    EXPECT_EQ(unsigned(MB_OKCANCEL), script.calls()[0].style);
    EXPECT_EQ(unsigned(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), script.calls()[1].style);
}

} // namespace
