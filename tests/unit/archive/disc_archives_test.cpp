// A disc's numbered archives, extracted the way the game copy does it, against
// what the disc generator says they hold.
#include <gtest/gtest.h>

#include <algorithm>

#include "archive_fixtures.h"
#include "core/installer.h"
#include "install/archive.h"
#include "install/filelist.h"

using namespace archivetest;
using zktest::exists;
using zktest::isDirectory;
using zktest::readFile;

namespace {

struct DiscRun {
    explicit DiscRun(const zktest::ScratchDir& scratch)
        : installFolder(scratch / "Game"), logPath(installFolder + "\\filelist.txt") {
        zktest::makeDirs(installFolder);
        log = zk::createFileList(installFolder.c_str());
        record.expectedTotal = &expected;
        record.copiedTotal = &copied;
        record.percent = &percent;
        record.fileDone = &fileDone;
    }
    ~DiscRun() { closeLog(); }
    void run(const std::string& root, const std::string& folder, const char* prefix) {
        zk::extractDiscArchives(scratchName, root.c_str(), folder.c_str(), prefix, currentFile,
                                &record, &cancel, log);
    }
    std::vector<std::string> logLines() {
        closeLog();
        return zktest::lines(readFile(logPath));
    }
    void closeLog() {
        if (log)
            fclose(log);
        log = nullptr;
    }

    std::string installFolder, logPath;
    FILE* log = nullptr;
    __int64 expected = 0, copied = 0, fileDone = 0;
    float percent = 0.0f;
    int cancel = 0;
    char scratchName[260] = "";
    char currentFile[260] = "";
    _zk_copyprogress record = {};
};

} // namespace

TEST(DiscArchives, EachDiscAndLanguageGivesWhatTheGeneratorRecorded) {
    ASSERT_TRUE(exists(discSetDir() + "\\manifest.json")) << "fixtures missing: " << discSetDir();
    int checked = 0;
    for (int disc = 1; disc <= 9; ++disc) {
        std::string root = discSetDir() + "\\Disk" + std::to_string(disc);
        if (!isDirectory(root))
            break;
        for (const char* prefix : {"en-us", "fr-fr", "de"}) {
            SCOPED_TRACE(root + " " + prefix);
            Expectation want = expectation(discSetDir() + "\\expected\\archives_" +
                                           std::to_string(disc) + "_" + prefix + ".txt");
            ASSERT_FALSE(want.files.empty());
            zktest::ScratchDir scratch("disc");
            DiscRun r(scratch);
            r.expected = want.counted;
            // Either spelling of the folders: with and without a trailing backslash.
            bool slashed = (disc + checked) % 2 == 0;
            r.run(slashed ? root + "\\" : root, slashed ? r.installFolder : r.installFolder + "\\",
                  prefix);

            for (const Expectation::File& f : want.files) {
                std::string bytes = readFile(r.installFolder + "\\" + f.path);
                EXPECT_EQ(f.size, static_cast<long long>(bytes.size())) << f.path;
                EXPECT_EQ(f.crc, crcOf(bytes)) << f.path;
            }
            for (const std::string& folder : want.folders)
                EXPECT_TRUE(isDirectory(r.installFolder + "\\" + folder)) << folder;
            std::vector<std::string> found = filesBelow(r.installFolder);
            EXPECT_EQ(want.files.size() + 1, found.size());  // and the log
            EXPECT_EQ(want.log, r.logLines());
            EXPECT_EQ(want.counted, r.copied);
            EXPECT_FLOAT_EQ(100.0f, r.percent);
            EXPECT_EQ(0, r.cancel);
            // Every number is tried, the last name being the language archive 9.
            EXPECT_EQ(root + "\\9" + prefix + "_compressed.zip", std::string(r.scratchName));
            ++checked;
        }
    }
    EXPECT_GE(checked, 6);
}

TEST(DiscArchives, DiscWithoutArchivesChangesNothing) {
    zktest::ScratchDir scratch("noarchives");
    zktest::makeDirs(scratch / "Disc");
    DiscRun r(scratch);
    r.expected = 1000;
    r.run(scratch / "Disc", r.installFolder, "en-us");
    EXPECT_EQ(std::vector<std::string>{"filelist.txt"}, filesBelow(r.installFolder));
    EXPECT_TRUE(r.logLines().empty());
    EXPECT_EQ(0, r.copied);
    EXPECT_EQ(0.0f, r.percent);
}

// A failing member on a disc goes to the user through the host's message box;
// confirming the cancel stops the disc: no later archive is opened.
TEST(DiscArchives, CancelConfirmedByTheUserStopsTheDisc) {
    zktest::ScratchDir scratch("disccancel");
    std::string disc = scratch / "Disc";
    zktest::makeDirs(disc);
    ASSERT_TRUE(CopyFileA((fixtureDir() + "\\corrupt.zip").c_str(),
                          (disc + "\\0compressed.zip").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((fixtureDir() + "\\chunks.zip").c_str(),
                          (disc + "\\0en-us_compressed.zip").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((fixtureDir() + "\\debian.zip").c_str(),
                          (disc + "\\1compressed.zip").c_str(), FALSE));

    zk::g_messageBox = zktest::MessageScript::callback;
    zktest::MessageScript script;
    script.answers({IDRETRY, IDCANCEL, IDYES});
    DiscRun r(scratch);
    r.expected = 1 << 30;
    r.run(disc, r.installFolder, "en-us");
    zk::g_messageBox = nullptr;

    EXPECT_EQ(1, r.cancel);
    ASSERT_EQ(3u, script.calls().size());
    EXPECT_EQ(static_cast<unsigned>(MB_RETRYCANCEL), script.calls()[0].style);
    EXPECT_EQ(static_cast<unsigned>(MB_RETRYCANCEL), script.calls()[1].style);
    EXPECT_EQ(0x124u, script.calls()[2].style);
    EXPECT_TRUE(exists(r.installFolder + "\\first.txt"));
    EXPECT_FALSE(exists(r.installFolder + "\\last.txt"));
    EXPECT_FALSE(exists(r.installFolder + "\\part1.bin"));
    EXPECT_FALSE(exists(r.installFolder + "\\readme.txt"));
    EXPECT_EQ((std::vector<std::string>{"1,1,first.txt", "1,1,bad_stored.bin",
                                        "1,1,bad_stored.bin"}),
              r.logLines());
}
