// Whole installations from a generated three-disc set on the CD-ROM drives, driven only through
// the decorated exports, the test's thread acting as the host that polls the worker.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ZKInstall.h"
#include "zktest/discs.h"
#include "zktest/harness.h"
#include "zktest/tree.h"

namespace {

// The host's string library, loaded before the library fetches its first text.
const HMODULE s_strings = LoadLibraryA("AutoRunGUI.dll");

std::string discImage(int disc) {
    return zktest::fixturesDir() + "\\discset\\Disk" + std::to_string(disc);
}

// The host's view of one running installation.
struct HostView {
    int running = 0, cancel = 0;
    float percent = 0, highest = 0;
    char currentFile[1024] = {};
    void* thread = nullptr;
    bool sawRunning = false;
    std::vector<std::string> files;  // distinct current-file values seen
};

// The user puts a disc of the set into a drive.
std::function<void()> putIn(char drive, int disc) {
    return [=] {
        zktest::insertEmptyDisc(drive);
        zktest::copyTree(discImage(disc), zktest::discFolder(drive));
    };
}

class Install : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(zktest::haveDiscDrives());
        ASSERT_TRUE(s_strings != nullptr);
        ASSERT_TRUE(zktest::isDirectory(discImage(1))) << discImage(1);
        for (int disc = 1; disc <= 3; ++disc)
            putIn("def"[disc - 1], disc)();
        target = install.path() + "\\Game";
        ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
        ZKINSTALL_setBeforeCDRequest(zktest::MessageScript::beforeRequest);
        ZKINSTALL_setAfterCDRequest(zktest::MessageScript::afterRequest);
    }

    // Starts the library from disc 1 in D:, as AutoRun.exe on the disc would.
    void prepare() {
        ASSERT_TRUE(SetCurrentDirectoryA("D:\\"));
        char exe[] = "AutoRun.exe";
        ASSERT_TRUE(ZKINSTALL_init(exe));
        ASSERT_TRUE(ZKINSTALL_readSettings());
        ASSERT_TRUE(ZKINSTALL_setLanguage(1));  // en-us
        ZKINSTALL_setGameCacheLocation(&target[0]);
    }

    // Starts the copy and polls it as a host does until the worker ends.
    void poll(HostView& run, int type, void (*duringCopy)(HostView&) = nullptr) {
        ASSERT_TRUE(ZKINSTALL_copyCacheFiles(type, &run.running, run.currentFile, &run.percent,
                                             &run.cancel, expectation(type).counted,
                                             &run.thread));
        ASSERT_NE(reinterpret_cast<void*>(static_cast<intptr_t>(-1)), run.thread);
        HANDLE thread = static_cast<HANDLE>(run.thread);
        while (WaitForSingleObject(thread, 5) == WAIT_TIMEOUT) {
            run.sawRunning |= run.running != 0;
            run.highest = std::max(run.highest, run.percent);
            std::string now = run.currentFile;
            if (!now.empty() && (run.files.empty() || run.files.back() != now))
                run.files.push_back(now);
            if (duringCopy)
                duringCopy(run);
        }
        CloseHandle(thread);
        EXPECT_EQ(0, run.running);
    }

    zktest::Expectation expectation(int type) {
        return zktest::readExpectation(zktest::fixturesDir() + "\\discset\\expected\\install_" +
                                       std::to_string(type) + "_en-us.txt");
    }

    // Every expected file with identical bytes, nothing else, the log exactly with CRLF.
    void checkInstalled(int type) {
        zktest::Expectation e = expectation(type);
        ASSERT_FALSE(e.files.empty());
        auto files = zktest::listFiles(target);
        ASSERT_TRUE(files.erase("filelist.txt"));
        std::map<std::string, unsigned long long> sizes;
        for (const auto& f : e.files) {
            sizes[f.first] = f.second.size;
            EXPECT_EQ(f.second.crc, zktest::crc32Of(zktest::readFile(target + "\\" + f.first)))
                << f.first;
        }
        EXPECT_EQ(sizes, files);
        for (const std::string& folder : e.folders)
            EXPECT_TRUE(zktest::isDirectory(target + "\\" + folder)) << folder;
        std::string log = zktest::readFile(target + "\\filelist.txt");
        EXPECT_EQ(e.log, zktest::lines(log));
        for (size_t at = log.find('\n'); at != std::string::npos; at = log.find('\n', at + 1))
            EXPECT_TRUE(at > 0 && log[at - 1] == '\r') << "line ending at " << at;
    }

    zktest::DiscDrivesGuard drives;
    zktest::ScratchDir install{"zkinst"};
    std::string target;
    zktest::MessageScript script;
};

// The last run goes over the one before: its files and log replace the old ones.
TEST_F(Install, EveryTypeFromThreeDrivesMatchesTheDiscSet) {
    const int types[] = {1, 2, 4, 3, 3};
    for (int i = 0; i < 5; ++i) {
        const int type = types[i];
        SCOPED_TRACE("type " + std::to_string(type));
        if (i < 4)
            zktest::removeTree(target);
        prepare();  // the worker may have moved to another drive: start again from D:
        HostView run;
        poll(run, type);
        EXPECT_TRUE(run.sawRunning);
        EXPECT_EQ(0, run.cancel);
        EXPECT_FLOAT_EQ(100.0f, run.percent);
        EXPECT_LE(run.highest, 100.0f);
        EXPECT_GT(run.files.size(), 3u);  // the host saw the worker's progress
        checkInstalled(type);
    }
    EXPECT_TRUE(script.before().empty()) << "all discs were in drives";
    EXPECT_TRUE(script.calls().empty());
}

// With one drive the host is asked for each disc: declining stops the installation, nothing
// of disc 2 arriving; accepting installs everything over what the first run left.
TEST_F(Install, OneDriveAsksForEachDiscThroughTheHost) {
    zktest::ejectDisc('e');
    zktest::ejectDisc('f');
    prepare();
    script.setFallback(IDYES);  // yes, quit the installation
    HostView declined;
    poll(declined, 3);
    EXPECT_EQ(1, declined.cancel);
    EXPECT_EQ(std::vector<int>{2}, script.before());
    for (const auto& f : zktest::listFiles(target))
        EXPECT_EQ(std::string::npos, f.first.find("Data2")) << f.first;
    prepare();
    script.beforeSteps({{IDOK, putIn('d', 2)}, {IDOK, putIn('d', 3)}});
    HostView accepted;
    poll(accepted, 3);
    EXPECT_EQ(0, accepted.cancel);
    EXPECT_EQ((std::vector<int>{2, 2, 3}), script.before());
    checkInstalled(3);
}

// The host pauses the worker at its first copy, then cancels once it has seen three files:
// nothing moves while paused, and the worker stops short of the whole set.
TEST_F(Install, HostPausesThenCancelsTheWorker) {
    prepare();
    CZKCopyFile::copySuspended = true;
    HostView run;
    poll(run, 3, [](HostView& run) {
        HANDLE thread = static_cast<HANDLE>(run.thread);
        if (CZKCopyFile::copySuspended) {
            DWORD count = 0;
            for (int i = 0; i < 200 && count == 0; ++i, Sleep(50)) {
                count = SuspendThread(thread);
                ResumeThread(thread);
            }
            EXPECT_EQ(1u, count) << "the worker never suspended itself";
            float paused = run.percent;
            Sleep(300);
            EXPECT_EQ(paused, run.percent);
            CZKCopyFile::copySuspended = false;
        }
        ResumeThread(thread);  // no effect once it runs
        if (run.files.size() >= 3)
            run.cancel = 1;
    });
    EXPECT_EQ(1, run.cancel);
    EXPECT_LT(zktest::listFiles(target).size(), expectation(3).files.size() + 1);
}

// A file that cannot be copied (a folder stands in its place on disc 1): Ignore leaves it out
// and the installation goes on.
TEST_F(Install, IgnoredFailingFileIsLeftOutAndTheRestInstalled) {
    prepare();
    const zktest::Expectation e = expectation(3);
    auto first = e.files.lower_bound("Data1\\");
    ASSERT_TRUE(first != e.files.end() && first->first.find("Data1\\") == 0);
    const std::string victim = first->first, onDisc = zktest::discFolder('d') + "\\" + victim;
    zktest::removeTree(onDisc);
    zktest::makeDirs(onDisc);
    script.answers({IDIGNORE});
    HostView skipped;
    poll(skipped, 3);
    EXPECT_EQ(0, skipped.cancel);
    ASSERT_EQ(1u, script.calls().size());
    EXPECT_NE(std::string::npos, script.calls()[0].text.find(victim)) << script.calls()[0].text;
    EXPECT_FALSE(zktest::exists(target + "\\" + victim));
    EXPECT_EQ(e.files.size(), zktest::listFiles(target).size());  // the others and the log
}

} // namespace
