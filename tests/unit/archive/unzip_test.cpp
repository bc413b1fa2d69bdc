// The extraction driver on archives written by the build: byte-exact members,
// dates, install-log lines and totals; hostile member names; failing members
// with retry, skip and cancel; cancel between chunks; the driver's modes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "archive_fixtures.h"
#include "core/installer.h"
#include "install/archive.h"
#include "install/filelist.h"

using namespace archivetest;
using zktest::exists;
using zktest::isDirectory;
using zktest::readFile;

namespace {

// One call of the driver with its own totals, buffers and install log.
struct Extraction {
    explicit Extraction(const zktest::ScratchDir& scratch, const std::string& into = "out")
        : folder(scratch / into), destination(folder + "\\") {
        zktest::makeDirs(folder);
        log = zk::createFileList(scratch.path().c_str());
        logPath = scratch / "filelist.txt";
    }
    ~Extraction() { closeLog(); }

    __int64 run(std::vector<std::string> args,
                zk::ArchiveErrorRoutine routine = ErrorScript::routine) {
        std::vector<const char*> argv{"main_unzip"};
        for (const std::string& a : args)
            argv.push_back(a.c_str());
        return zk::main_unzip(static_cast<int>(argv.size()), argv.data(), destination.c_str(),
                              currentFile, &expected, &copied, &percent, log, &cancel, routine);
    }
    void closeLog() {
        if (log)
            fclose(log);
        log = nullptr;
    }
    std::vector<std::string> logLines() {
        closeLog();
        return zktest::lines(readFile(logPath));
    }
    std::string at(const std::string& member) const { return folder + "\\" + backslashes(member); }

    std::string folder;
    std::string destination;
    std::string logPath;
    FILE* log = nullptr;
    __int64 expected = 0;
    __int64 copied = 0;
    float percent = -1.0f;
    int cancel = 0;
    char currentFile[260] = "untouched";
};

std::string archive(const std::string& name) { return fixtureDir() + "\\" + name; }

std::vector<std::string> logLinesFor(const std::vector<Member>& ms, const char* note = nullptr) {
    std::vector<std::string> out;
    for (const Member& m : ms)
        if (!note || m.note == note)
            out.push_back("1,1," + backslashes(m.name));
    return out;
}

long long totalSize(const std::vector<Member>& ms, const char* note = nullptr) {
    long long sum = 0;
    for (const Member& m : ms)
        if (!note || m.note == note)
            sum += m.size;
    return sum;
}

} // namespace

TEST(Unzip, ExtractsEveryMemberByteExactWithItsDateLogLineAndBytesCounted) {
    zktest::ScratchDir scratch("unzip");
    Extraction x(scratch);
    std::vector<Member> ms = members("debian.zip");
    ASSERT_GE(ms.size(), 5u) << "fixtures missing: " << fixtureDir();
    long long sum = totalSize(ms);
    x.expected = 2 * sum;  // the archive is half of the installation

    EXPECT_EQ(sum, x.run({archive("debian.zip"), "-o"}));

    for (const Member& m : ms) {
        std::string path = x.at(m.name);
        if (m.folder) {
            EXPECT_TRUE(isDirectory(path)) << m.name;
            continue;
        }
        std::string bytes = readFile(path);
        EXPECT_EQ(readFile(fixtureDir() + "\\tree\\" + backslashes(m.name)), bytes) << m.name;
        EXPECT_EQ(m.crc, crcOf(bytes)) << m.name;
        EXPECT_EQ(m.stamp, localStamp(path)) << m.name;
    }
    EXPECT_EQ(logLinesFor(ms), x.logLines());
    EXPECT_EQ(sum, x.copied);
    EXPECT_FLOAT_EQ(50.0f, x.percent);
    EXPECT_STREQ(backslashes(ms.back().name).c_str(), x.currentFile);
}

TEST(Unzip, TotalsAndPercentage) {
    std::vector<Member> ms = members("debian.zip");
    long long sum = totalSize(ms);
    struct Case {
        const char* what;
        __int64 expected, copiedBefore;
        __int64 copiedAfter;
        float percent;
    } cases[] = {
        {"no expected total: nothing counted", 0, 7, 7, -1.0f},
        {"past the expected total: capped at 100", sum / 2, 0, sum, 100.0f},
        {"added to what the installation copied before", 4 * sum, sum, 2 * sum, 50.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        zktest::ScratchDir scratch("totals");
        Extraction x(scratch);
        x.expected = c.expected;
        x.copied = c.copiedBefore;
        x.run({archive("debian.zip"), "-o"});
        EXPECT_EQ(c.copiedAfter, x.copied);
        EXPECT_FLOAT_EQ(c.percent, x.percent);
    }
}

TEST(Unzip, MemberNamesLeavingTheDestinationAreRefused) {
    struct Case {
        const char* name;
        bool safe;
    } cases[] = {
        {"file.txt", true},
        {"Data/Sub/file.txt", true},
        {"Data\\Sub\\file.txt", true},
        {"Data/", true},
        {"..hidden", true},
        {"Data/a..b/c", true},
        {"", false},
        {"/root.txt", false},
        {"\\root.txt", false},
        {"//server/share/x", false},
        {"C:/x.txt", false},
        {"c:x.txt", false},
        {"file.txt:stream", false},
        {"..", false},
        {"../x", false},
        {"..\\x", false},
        {"Data/../../x", false},
        {"Data\\..\\x", false},
        {"Data/.. /x", false},
        {"Data/.../x", false},
        {"Data/..", false},
        {"Data/line\nbreak", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.safe, zk::isSafeMemberName(c.name)) << "[" << c.name << "]";
}

TEST(Unzip, HostileMembersAreNeitherWrittenNorLoggedWhileTheRestExtracts) {
    zktest::ScratchDir scratch("hostile");
    // Deep enough that ".." twice still lands inside the scratch folder.
    Extraction x(scratch, "a\\b\\out");
    std::vector<Member> ms = members("hostile.zip");
    ASSERT_GE(ms.size(), 10u);
    x.expected = 1 << 30;

    EXPECT_EQ(totalSize(ms), x.run({archive("hostile.zip"), "-o"}));

    for (const Member& m : ms) {
        if (m.note != "safe")
            continue;
        std::string bytes = readFile(x.at(m.name));
        EXPECT_EQ("fine " + m.name, bytes) << m.name;
    }
    for (const std::string& file : filesBelow(scratch.path()))
        EXPECT_EQ(std::string::npos, file.find("escape")) << file;
    for (const char* outside : {"C:\\escape_root.txt", "C:\\escape_root_back.txt",
                                "C:\\escape_drive.txt", "C:\\escape_drive_relative.txt"})
        EXPECT_FALSE(exists(outside)) << outside;
    EXPECT_FALSE(exists(x.folder + "\\ok3.txt"));
    EXPECT_EQ(logLinesFor(ms, "safe"), x.logLines());
    EXPECT_EQ(totalSize(ms, "safe"), x.copied);
}

// corrupt.zip: first.txt, bad_stored.bin (CRC fails after all 20000 bytes),
// bad_deflated.bin (fails at once), short.bin (stream ends 4000 bytes before
// its recorded 9000), last.txt.
TEST(Unzip, FailingMembersAreRetriedSkippedOrCancelAsTheRoutineAnswers) {
    std::vector<Member> ms = members("corrupt.zip");
    ASSERT_EQ(5u, ms.size());
    const long long first = ms[0].size, stored = ms[1].size, last = ms[4].size;
    const long long shortWritten = ms[3].size - 4000;
    const long long allWritten = first + stored + shortWritten + last;
    struct Case {
        const char* what;
        std::vector<int> answers;
        bool blockFirst;  // a folder stands where first.txt goes
        std::vector<std::string> asked;
        int cancel;
        bool lastExtracted;
        long long copied;  // every byte written counts once
    } cases[] = {
        {"skip each failure", {2, 2, 2}, false,
         {"bad_stored.bin", "bad_deflated.bin", "short.bin"}, 0, true, allWritten},
        {"retry once, then skip: retried bytes are not counted again",
         {0, 2, 0, 2, 0, 2}, false,
         {"bad_stored.bin", "bad_stored.bin", "bad_deflated.bin", "bad_deflated.bin",
          "short.bin", "short.bin"},
         0, true, allWritten},
        {"cancel at the first failure", {1}, false, {"bad_stored.bin"}, 1, false,
         first + stored},
        {"an output that cannot be created is a failure, not a success", {2, 2, 2, 2}, true,
         {"first.txt", "bad_stored.bin", "bad_deflated.bin", "short.bin"}, 0, true,
         stored + shortWritten + last},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        zktest::ScratchDir scratch("corrupt");
        Extraction x(scratch);
        x.expected = 1 << 30;
        if (c.blockFirst)
            zktest::makeDirs(x.at("first.txt"));
        ErrorScript::reset(c.answers);

        x.run({archive("corrupt.zip"), "-o"});

        EXPECT_EQ(c.asked, ErrorScript::asked());
        EXPECT_EQ(c.cancel, x.cancel);
        EXPECT_EQ(c.lastExtracted, exists(x.at("last.txt")));
        EXPECT_EQ(c.copied, x.copied);
        std::vector<std::string> logged = x.logLines();
        // Each attempt is logged before anything is written.
        EXPECT_EQ(c.asked.size() + 1 + (c.lastExtracted ? 1 : 0) - (c.blockFirst ? 1 : 0),
                  logged.size());
        EXPECT_EQ("1,1,first.txt", logged.front());
        if (c.blockFirst)
            EXPECT_TRUE(isDirectory(x.at("first.txt")));
        else
            EXPECT_EQ(first, fileSize(x.at("first.txt")));
    }
}

TEST(Unzip, AskCopyRetryOffersRetryAndConfirmsCancel) {
    struct Case {
        std::vector<int> answers;
        int result;
        std::vector<unsigned> styles;
    } cases[] = {
        {{IDRETRY}, zk::kArchiveRetry, {MB_RETRYCANCEL}},
        {{IDIGNORE}, zk::kArchiveRetry, {MB_RETRYCANCEL}},
        {{IDCANCEL, IDNO}, zk::kArchiveRetry, {MB_RETRYCANCEL, 0x124}},
        {{IDCANCEL, IDYES}, zk::kArchiveCancel, {MB_RETRYCANCEL, 0x124}},
    };
    zk::g_messageBox = zktest::MessageScript::callback;
    for (const Case& c : cases) {
        zktest::MessageScript script;
        for (int a : c.answers)
            script.answer(a);
        EXPECT_EQ(c.result, zk::askCopyRetry("Data\\file.dat"));
        std::vector<unsigned> styles;
        for (const zktest::MessageCall& call : script.calls()) {
            styles.push_back(call.style);
            EXPECT_EQ("", call.caption);
            EXPECT_FALSE(call.text.empty());
        }
        EXPECT_EQ(c.styles, styles);
    }
    zk::g_messageBox = nullptr;
}

namespace {

// A message-only window on the test's thread: the driver's pump dispatches one
// message per chunk; WM_APP sets the cancel flag, WM_APP + 1 does nothing.
int* s_cancelTarget = nullptr;

LRESULT CALLBACK cancelWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_APP && s_cancelTarget)
        *s_cancelTarget = 1;
    if (message == WM_APP || message == WM_APP + 1)
        return 0;
    return DefWindowProcA(window, message, w, l);
}

HWND cancelWindow() {
    static HWND window = nullptr;
    if (!window) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = cancelWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZkCancelOnMessage";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 wc.hInstance, nullptr);
    }
    return window;
}

int drainMessages(bool dispatch) {
    int count = 0;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ++count;
        if (dispatch)
            DispatchMessageA(&msg);
    }
    return count;
}

} // namespace

// chunks.zip: part1.bin 45000 bytes (five 8 KB chunks and 4040), part2.bin,
// part3.bin.  The cancel message is queued behind `before` idle messages.
TEST(Unzip, CancelStopsAfterTheCurrentChunkAndLeavesLaterMembersUntouched) {
    HWND window = cancelWindow();
    ASSERT_TRUE(window != nullptr);
    struct Case {
        int before;  // idle messages ahead of the cancel; -1: cancelled beforehand
        long long part1;  // -1: not created
        long long part2;
        std::vector<std::string> logged;
    } cases[] = {
        {-1, -1, -1, {}},
        {0, 0, -1, {"1,1,part1.bin"}},
        {3, 3 * 8192, -1, {"1,1,part1.bin"}},
        {6, 45000, -1, {"1,1,part1.bin"}},
        {7, 45000, 0, {"1,1,part1.bin", "1,1,part2.bin"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        zktest::ScratchDir scratch("cancel");
        Extraction x(scratch);
        x.expected = 1 << 30;
        s_cancelTarget = &x.cancel;
        drainMessages(true);
        const int after = 5;
        if (c.before < 0) {
            x.cancel = 1;
        } else {
            for (int i = 0; i < c.before; ++i)
                PostMessageA(window, WM_APP + 1, 0, 0);
            PostMessageA(window, WM_APP, 0, 0);
        }
        for (int i = 0; i < after; ++i)
            PostMessageA(window, WM_APP + 1, 0, 0);

        ErrorScript::reset({});
        x.run({archive("chunks.zip"), "-o"});

        EXPECT_EQ(1, x.cancel);
        EXPECT_EQ(c.part1, fileSize(x.at("part1.bin")));
        EXPECT_EQ(c.part2, fileSize(x.at("part2.bin")));
        EXPECT_FALSE(exists(x.at("part3.bin")));
        EXPECT_EQ(std::max(0LL, c.part1) + std::max(0LL, c.part2), x.copied);
        EXPECT_EQ(c.logged, x.logLines());
        EXPECT_TRUE(ErrorScript::asked().empty());
        // One message handled per chunk: the ones queued after the cancel wait.
        EXPECT_EQ(after, drainMessages(false));
    }
    s_cancelTarget = nullptr;
}

TEST(Unzip, ListSingleMemberAndFlatModes) {
    std::vector<Member> ms = members("debian.zip");
    const long long sum = totalSize(ms);
    struct Case {
        const char* what;
        const char* archive;
        std::vector<std::string> args;
        __int64 result;
        std::vector<std::string> files;  // everything below the destination
        bool dataFolder;
        __int64 expectedAfter;
    } cases[] = {
        {"list sums the sizes into the expected total", "debian.zip", {"-l"}, 0, {}, false, sum},
        {"archive named without .zip", "debian", {"-o"}, sum,
         {"readme.txt", "empty.dat", "Data\\Sub\\deep.txt", "Data\\Sub\\with space.txt",
          "Data\\big.bin"},
         true, 1},
        {"one member", "debian.zip", {"-o", "Data/Sub/deep.txt"}, 0, {"Data\\Sub\\deep.txt"},
         true, 1},
        {"without folder names, options in any case", "debian.zip", {"-EO"}, sum,
         {"readme.txt", "empty.dat", "deep.txt", "with space.txt", "big.bin"}, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        zktest::ScratchDir scratch("modes");
        Extraction x(scratch);
        x.expected = 1;
        std::vector<std::string> args{archive(c.archive)};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(c.result, x.run(args));
        std::vector<std::string> found = filesBelow(x.folder), wanted = c.files;
        std::sort(found.begin(), found.end());
        std::sort(wanted.begin(), wanted.end());
        EXPECT_EQ(wanted, found);
        EXPECT_EQ(c.dataFolder, isDirectory(x.folder + "\\Data"));
        for (const std::string& f : c.files) {
            std::string name = f.substr(f.find_last_of('\\') + 1);
            for (const Member& m : ms) {
                if (!m.folder && m.name.substr(m.name.find_last_of('/') + 1) == name) {
                    EXPECT_EQ(m.crc, crcOf(readFile(x.folder + "\\" + f))) << f;
                }
            }
        }
        EXPECT_EQ(c.expectedAfter, x.expected);
    }
}

TEST(Unzip, MissingArchiveGivesMinusOneAndTouchesNothing) {
    zktest::ScratchDir scratch("missing");
    Extraction x(scratch);
    EXPECT_EQ(-1, x.run({archive("no_such_archive.zip"), "-o"}));
    EXPECT_EQ(-1, x.run({}));
    EXPECT_STREQ("untouched", x.currentFile);
    EXPECT_TRUE(x.logLines().empty());
}

namespace {
std::vector<std::string> s_prompted;
std::vector<char> s_promptAnswers;
char scriptedPrompt(const char* path) {
    s_prompted.push_back(path);
    char answer = s_promptAnswers.empty() ? 'n' : s_promptAnswers.front();
    if (!s_promptAnswers.empty())
        s_promptAnswers.erase(s_promptAnswers.begin());
    return answer;
}
} // namespace

TEST(Unzip, ExistingFilesWithoutOverwriteAreAskedAbout) {
    struct Case {
        std::vector<char> answers;
        size_t prompts;
        bool readmeReplaced, bigReplaced;
    } cases[] = {
        {{'n', 'n'}, 2, false, false},
        {{'y', 'n'}, 2, true, false},
        {{'a'}, 1, true, true},
    };
    zk::setOverwritePrompt(scriptedPrompt);
    for (const Case& c : cases) {
        zktest::ScratchDir scratch("prompt");
        Extraction x(scratch);
        zktest::makeDirs(x.folder + "\\Data");
        zktest::writeFile(x.at("readme.txt"), "old");
        zktest::writeFile(x.at("Data/big.bin"), "old");
        s_prompted.clear();
        s_promptAnswers = c.answers;
        x.run({archive("debian.zip")});
        EXPECT_EQ(c.prompts, s_prompted.size());
        EXPECT_EQ(c.readmeReplaced, readFile(x.at("readme.txt")) != "old");
        EXPECT_EQ(c.bigReplaced, readFile(x.at("Data/big.bin")) != "old");
        EXPECT_TRUE(exists(x.at("Data/Sub/deep.txt")));
    }
    zk::setOverwritePrompt(nullptr);
}

TEST(Unzip, ReadOnlyFileIsOverwrittenAndLeftWritable) {
    zktest::ScratchDir scratch("readonly");
    Extraction x(scratch);
    zktest::writeFile(x.at("readme.txt"), "old");
    SetFileAttributesA(x.at("readme.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    x.run({archive("debian.zip"), "-o"});
    EXPECT_EQ(readFile(fixtureDir() + "\\tree\\readme.txt"), readFile(x.at("readme.txt")));
    EXPECT_EQ(0u, GetFileAttributesA(x.at("readme.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
}

// A member whose path would not fit is a failure shown to the user, never
// written under a cut name that could be some other file.
TEST(Unzip, MemberWhosePathDoesNotFitIsAFailureNotACutName) {
    zktest::ScratchDir scratch("long");
    // 240 characters of destination, trailing backslash included: room for
    // "Data\Sub\deep.txt" but not for "Data\Sub\with space.txt".
    std::string into = "x";
    while (scratch.path().size() + 1 + into.size() + 1 < 240)
        into += into.size() % 60 == 59 ? '\\' : 'x';
    Extraction x(scratch, into);
    ASSERT_EQ(240u, x.destination.size());
    ErrorScript::reset({zk::kArchiveSkip});

    x.run({archive("debian.zip"), "-o"});

    EXPECT_EQ(std::vector<std::string>{"Data\\Sub\\with space.txt"}, ErrorScript::asked());
    std::vector<std::string> found = filesBelow(x.folder);
    std::sort(found.begin(), found.end());
    EXPECT_EQ((std::vector<std::string>{"Data\\Sub\\deep.txt", "Data\\big.bin", "empty.dat",
                                        "readme.txt"}),
              found);
}
