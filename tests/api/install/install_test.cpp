// Whole installations from a generated three-disc set on the CD-ROM drives,
// driven only through the decorated exports, the test's thread acting as the
// host that polls the worker.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ZKInstall.h"
#include "zktest/harness.h"
#include "zktest/tree.h"

namespace {

// The host's string library, loaded before the library fetches its first text.
const HMODULE s_strings = LoadLibraryA("AutoRunGUI.dll");

const char* const kLanguage = "en-us";
const int kEnglishUS = 1;

std::string discImage(int disc) {
    return zktest::fixturesDir() + "\\discset\\Disk" + std::to_string(disc);
}

// The host's view of one running installation.
struct HostView {
    int running = 0;
    int cancel = 0;
    float percent = 0;
    char currentFile[1024] = {};
    void* thread = nullptr;
    bool sawRunning = false;
    float highest = 0;
    std::vector<std::string> files;  // distinct current-file values seen
};

// The before-disc callback of the one-drive tests: puts the wanted disc into
// D: (or refuses) and counts the requests.
std::vector<int> s_requested;
bool s_swapDiscs = true;
int __stdcall swapDisc(int disc) {
    s_requested.push_back(disc);
    if (!s_swapDiscs)
        return IDCANCEL;
    zktest::insertEmptyDisc('d');
    zktest::copyTree(discImage(disc), zktest::discFolder('d'));
    return IDOK;
}
int __stdcall afterDisc(int) { return 0; }

class Install : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(zktest::haveDiscDrives());
        ASSERT_TRUE(s_strings != nullptr);
        ASSERT_TRUE(zktest::isDirectory(discImage(1))) << discImage(1);
        for (int disc = 1; disc <= 3; ++disc) {
            char letter = "def"[disc - 1];
            zktest::insertEmptyDisc(letter);
            zktest::copyTree(discImage(disc), zktest::discFolder(letter));
        }
        target = install.path() + "\\Game";
        s_requested.clear();
        s_swapDiscs = true;
        ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
        ZKINSTALL_setBeforeCDRequest(swapDisc);
        ZKINSTALL_setAfterCDRequest(afterDisc);
        GetCurrentDirectoryA(sizeof saved, saved);
    }
    void TearDown() override {
        SetCurrentDirectoryA(saved);
        for (char letter : {'d', 'e', 'f'})
            zktest::insertEmptyDisc(letter);
    }

    // Starts the library from disc 1 in D:, as AutoRun.exe on the disc would.
    void prepare() {
        ASSERT_TRUE(SetCurrentDirectoryA("D:\\"));
        char exe[] = "AutoRun.exe";
        ASSERT_TRUE(ZKINSTALL_init(exe));
        ASSERT_TRUE(ZKINSTALL_readSettings());
        ASSERT_TRUE(ZKINSTALL_setLanguage(kEnglishUS));
        std::vector<char> folder(target.begin(), target.end());
        folder.push_back('\0');
        ZKINSTALL_setGameCacheLocation(folder.data());
    }

    // Starts the copy and polls it as a host does until the worker ends.
    void runInstallation(HostView& run, int type, long long expected,
                         void (*duringCopy)(HostView&) = nullptr) {
        ASSERT_TRUE(ZKINSTALL_copyCacheFiles(type, &run.running, run.currentFile, &run.percent,
                                             &run.cancel, expected, &run.thread));
        ASSERT_NE(reinterpret_cast<void*>(static_cast<intptr_t>(-1)), run.thread);
        HANDLE thread = static_cast<HANDLE>(run.thread);
        while (WaitForSingleObject(thread, 5) == WAIT_TIMEOUT) {
            if (run.running)
                run.sawRunning = true;
            run.highest = std::max(run.highest, run.percent);
            std::string now = run.currentFile;
            if (!now.empty() && (run.files.empty() || run.files.back() != now))
                run.files.push_back(now);
            if (duringCopy)
                duringCopy(run);
        }
        CloseHandle(thread);
    }

    zktest::Expectation expectation(int type) {
        return zktest::readExpectation(zktest::fixturesDir() + "\\discset\\expected\\install_" +
                                       std::to_string(type) + "_" + kLanguage + ".txt");
    }

    // Every expected file with identical bytes, nothing else, the log exactly.
    void checkInstalled(const zktest::Expectation& e) {
        auto files = zktest::listFiles(target);
        ASSERT_TRUE(files.count("filelist.txt"));
        files.erase("filelist.txt");
        for (const auto& f : e.files) {
            auto found = files.find(f.first);
            if (found == files.end()) {
                ADD_FAILURE() << "missing " << f.first;
                continue;
            }
            EXPECT_EQ(f.second.size, found->second) << f.first;
            EXPECT_EQ(f.second.crc, zktest::crc32Of(zktest::readFile(target + "\\" + f.first)))
                << f.first;
        }
        for (const auto& f : files)
            EXPECT_TRUE(e.files.count(f.first)) << "not expected: " << f.first;
        for (const std::string& folder : e.folders)
            EXPECT_TRUE(zktest::isDirectory(target + "\\" + folder)) << folder;
        std::string log = zktest::readFile(target + "\\filelist.txt");
        std::vector<std::string> lines = zktest::lines(log);
        EXPECT_EQ(e.log, lines);
        for (size_t at = log.find('\n'); at != std::string::npos; at = log.find('\n', at + 1))
            EXPECT_TRUE(at > 0 && log[at - 1] == '\r') << "line ending at " << at;
    }

    zktest::ScratchDir install{"zkinst"};
    std::string target;
    zktest::MessageScript script;
    char saved[MAX_PATH] = {};
};

TEST_F(Install, ThreeDrivesFullInstallationMatchesTheDiscSet) {
    prepare();
    zktest::Expectation e = expectation(3);
    ASSERT_GT(e.counted, 0);
    ASSERT_FALSE(e.files.empty());
    HostView run;
    runInstallation(run, 3, e.counted);
    EXPECT_TRUE(run.sawRunning);
    EXPECT_EQ(0, run.running);
    EXPECT_EQ(0, run.cancel);
    EXPECT_FLOAT_EQ(100.0f, run.percent);
    EXPECT_LE(run.highest, 100.0f);
    EXPECT_GT(run.files.size(), 3u);  // the host saw the worker's progress
    checkInstalled(e);
    EXPECT_TRUE(s_requested.empty()) << "all discs were in drives";
    EXPECT_TRUE(script.calls().empty());
}

TEST_F(Install, EveryInstallationTypeCopiesItsLevels) {
    prepare();
    for (int type : {1, 2, 4}) {
        zktest::removeTree(target);
        zktest::Expectation e = expectation(type);
        HostView run;
        runInstallation(run, type, e.counted);
        EXPECT_EQ(0, run.cancel) << type;
        SCOPED_TRACE("type " + std::to_string(type));
        checkInstalled(e);
        // The worker may have moved to another drive: start again from D:.
        prepare();
    }
}

TEST_F(Install, OneDriveAsksForEachDiscThroughTheHost) {
    zktest::ejectDisc('e');
    zktest::ejectDisc('f');
    prepare();
    zktest::Expectation e = expectation(3);
    HostView run;
    runInstallation(run, 3, e.counted);
    EXPECT_EQ(0, run.cancel);
    EXPECT_EQ((std::vector<int>{2, 3}), s_requested);
    checkInstalled(e);
}

TEST_F(Install, DeclinedDiscStopsTheInstallation) {
    zktest::ejectDisc('e');
    zktest::ejectDisc('f');
    prepare();
    s_swapDiscs = false;
    script.setFallback(IDYES);  // yes, quit the installation
    HostView run;
    runInstallation(run, 3, expectation(3).counted);
    EXPECT_EQ(1, run.cancel);
    EXPECT_EQ(0, run.running);
    ASSERT_FALSE(s_requested.empty());
    EXPECT_EQ(2, s_requested.front());
    // Nothing of disc 2 arrived.
    for (const auto& f : zktest::listFiles(target))
        EXPECT_EQ(std::string::npos, f.first.find("Data2")) << f.first;
}

void cancelOnceCopying(HostView& run) {
    if (run.files.size() >= 3)
        run.cancel = 1;
}

TEST_F(Install, HostCancelStopsTheWorker) {
    prepare();
    zktest::Expectation e = expectation(3);
    HostView run;
    runInstallation(run, 3, e.counted, cancelOnceCopying);
    EXPECT_EQ(1, run.cancel);
    EXPECT_EQ(0, run.running);
    EXPECT_LT(zktest::listFiles(target).size(), e.files.size() + 1);
}

TEST_F(Install, SuspendedCopyWaitsUntilTheHostResumesIt) {
    prepare();
    zktest::Expectation e = expectation(3);
    HostView run;
    CZKCopyFile::copySuspended = true;
    ASSERT_TRUE(ZKINSTALL_copyCacheFiles(3, &run.running, run.currentFile, &run.percent,
                                         &run.cancel, e.counted, &run.thread));
    HANDLE thread = static_cast<HANDLE>(run.thread);
    // The worker suspends itself at its first copy; its suspend count shows it.
    DWORD count = 0;
    for (int i = 0; i < 200 && count == 0; ++i) {
        Sleep(50);
        count = SuspendThread(thread);
        ResumeThread(thread);
    }
    EXPECT_EQ(1u, count) << "the worker never suspended itself";
    float paused = run.percent;
    Sleep(300);
    EXPECT_EQ(paused, run.percent);
    CZKCopyFile::copySuspended = false;
    while (ResumeThread(thread) > 1) {
    }
    // It may suspend again at the next file if the flag was still seen; keep
    // resuming until it ends.
    while (WaitForSingleObject(thread, 20) == WAIT_TIMEOUT)
        ResumeThread(thread);
    CloseHandle(thread);
    EXPECT_EQ(0, run.cancel);
    checkInstalled(e);
}

TEST_F(Install, SecondInstallationReplacesTheLog) {
    prepare();
    zktest::Expectation e = expectation(3);
    HostView first;
    runInstallation(first, 3, e.counted);
    prepare();
    HostView second;
    runInstallation(second, 3, e.counted);
    EXPECT_EQ(0, second.cancel);
    checkInstalled(e);
}

// A file that cannot be copied: the retry dialog's answers.
TEST_F(Install, FailingFileFollowsTheRetryAnswers) {
    prepare();
    zktest::Expectation e = expectation(3);
    // Make the first single file of disc 1 unreadable by replacing it with a
    // folder of the same name.
    std::string victim;
    for (const auto& f : e.files)
        if (f.first.find("Data1\\") == 0) {
            victim = f.first;
            break;
        }
    ASSERT_FALSE(victim.empty());
    std::string onDisc = zktest::discFolder('d') + "\\" + victim;
    zktest::removeTree(onDisc);
    zktest::makeDirs(onDisc);

    // Retry once, then Cancel and confirm: the installation ends.
    script.answers({IDRETRY, IDCANCEL, IDYES});
    HostView run;
    runInstallation(run, 3, e.counted);
    EXPECT_EQ(1, run.cancel);
    EXPECT_EQ(0, run.running);
    ASSERT_EQ(3u, script.calls().size());
    EXPECT_NE(std::string::npos, script.calls()[0].text.find(victim)) << script.calls()[0].text;
    EXPECT_EQ(unsigned(MB_RETRYCANCEL), script.calls()[0].style);
    EXPECT_EQ(unsigned(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), script.calls()[2].style);

    // Ignore goes on without the file.
    prepare();
    script.clear();
    script.answers({IDIGNORE});
    HostView skipped;
    runInstallation(skipped, 3, e.counted);
    EXPECT_EQ(0, skipped.cancel);
    EXPECT_FALSE(zktest::exists(target + "\\" + victim));
    EXPECT_EQ(1u, script.calls().size());
}

} // namespace
