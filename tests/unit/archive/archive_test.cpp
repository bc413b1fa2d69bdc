// Archive extraction on archives the build writes, and a disc's numbered archives.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "core/host.h"
#include "core/installer.h"
#include "install/archive.h"
#include "install/filelist.h"
#include "zktest/harness.h"
#include "zktest/tree.h"

using zktest::exists;
using zktest::isDirectory;
using zktest::readFile;
typedef std::map<std::string, unsigned long long> Files;  // relative path -> size

namespace {

std::string fixture(const std::string& name) {
    return zktest::fixturesDir() + "\\archives\\" + name;
}
Files tree() { return zktest::listFiles(fixture("tree")); }  // debian.zip's files

__int64 total(const Files& files) {
    __int64 sum = 0;
    for (const auto& f : files)
        sum += f.second;
    return sum;
}

std::string backslashes(std::string s) {
    std::replace(s.begin(), s.end(), '/', '\\');
    return s;
}

// One member as the fixture generator recorded it, in archive order.
struct Member {
    std::string name, stamp, note;  // stamp: local "YYYY-MM-DD hh:mm:ss"
    bool folder;
    long long size;
};

std::vector<Member> members(const std::string& archive) {
    std::vector<Member> out;
    for (const std::string& line : zktest::lines(readFile(fixture(archive + ".members")))) {
        std::istringstream in(line);
        std::vector<std::string> f;
        for (std::string field; std::getline(in, field, '\t');)
            f.push_back(field);
        if (f.size() == 6)
            out.push_back({f[0], f[4], f[5], f[1] == "folder", std::stoll(f[2])});
    }
    return out;
}

std::string localStamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    FILETIME local;
    SYSTEMTIME t;
    char text[32] = "";
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
        FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) && FileTimeToSystemTime(&local, &t))
        snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay,
                 t.wHour, t.wMinute, t.wSecond);
    return text;
}

// The error routine's script; once it is used up every failure is skipped.
std::vector<int> s_answers;
std::vector<std::string> s_asked;
int scriptedError(const char* member) {
    s_asked.push_back(member);
    int answer = s_answers.empty() ? zk::kArchiveSkip : s_answers.front();
    if (!s_answers.empty())
        s_answers.erase(s_answers.begin());
    return answer;
}

// One extraction into <scratch>\<into>, with its own totals and install log.
struct Extraction {
    explicit Extraction(const char* tag, const std::string& into = "out")
        : scratch(tag), folder(scratch / into), logPath(scratch / "filelist.txt") {
        zktest::makeDirs(folder);
        log = zk::createFileList(scratch.path().c_str());
        s_answers.clear();
        s_asked.clear();
    }
    ~Extraction() { logLines(); }

    // The first argument names a fixture archive.
    __int64 run(std::vector<std::string> args) {
        std::vector<const char*> argv{"main_unzip"};
        if (!args.empty())
            args[0] = fixture(args[0]);
        for (const std::string& a : args)
            argv.push_back(a.c_str());
        return zk::main_unzip(static_cast<int>(argv.size()), argv.data(), (folder + "\\").c_str(),
                              currentFile, &expected, &copied, &percent, log, &cancel,
                              scriptedError);
    }
    void runDisc(const std::string& root, const std::string& into, const char* prefix) {
        _zk_copyprogress record = {&expected, &copied, &percent, nullptr, &fileDone, false, false};
        zk::extractDiscArchives(scratchName, root.c_str(), into.c_str(), prefix, currentFile,
                                &record, &cancel, log);
    }
    std::vector<std::string> logLines() {
        if (log)
            fclose(log);
        log = nullptr;
        return zktest::lines(readFile(logPath));
    }
    std::string at(const std::string& member) const { return folder + "\\" + backslashes(member); }

    zktest::ScratchDir scratch;
    std::string folder, logPath;
    FILE* log = nullptr;
    __int64 expected = 1 << 30, copied = 0, fileDone = 0;
    float percent = -1.0f;
    int cancel = 0;
    char currentFile[260] = "untouched", scratchName[260] = "";
};

} // namespace

TEST(Unzip, ExtractsEveryMemberByteExactWithItsDateLogLineAndTotals) {
    std::vector<Member> ms = members("debian.zip");
    ASSERT_GE(ms.size(), 5u) << "fixtures missing: " << fixture("");
    const __int64 sum = total(tree());
    std::vector<std::string> logged;
    for (const Member& m : ms)
        logged.push_back("1,1," + backslashes(m.name));
    struct Case {
        const char* what;
        __int64 expected, copiedBefore, copiedAfter;
        float percent;
    } cases[] = {
        {"added to what the installation copied before", 4 * sum, sum, 2 * sum, 50.0f},
        {"past the expected total: capped at 100", sum / 2, 0, sum, 100.0f},
        {"no expected total: nothing counted", 0, 7, 7, -1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Extraction x("unzip");
        // A read-only file in the way is replaced and left writable.
        zktest::writeFile(x.at("readme.txt"), "old");
        SetFileAttributesA(x.at("readme.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        x.expected = c.expected;
        x.copied = c.copiedBefore;
        EXPECT_EQ(sum, x.run({"debian.zip", "-o"}));
        for (const Member& m : ms) {
            EXPECT_EQ(m.folder, isDirectory(x.at(m.name))) << m.name;
            if (!m.folder) {
                EXPECT_EQ(readFile(fixture("tree\\" + backslashes(m.name))), readFile(x.at(m.name)))
                    << m.name;
                EXPECT_EQ(m.stamp, localStamp(x.at(m.name))) << m.name;
            }
        }
        EXPECT_EQ(0u, GetFileAttributesA(x.at("readme.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
        EXPECT_EQ(logged, x.logLines());
        EXPECT_EQ(c.copiedAfter, x.copied);
        EXPECT_FLOAT_EQ(c.percent, x.percent);
        EXPECT_STREQ(backslashes(ms.back().name).c_str(), x.currentFile);
    }
}

TEST(Unzip, HostileMemberNamesAreRefusedWhileTheRestExtracts) {
    // Names beside those of hostile.zip.
    for (const char* name : {"Data/", "a..b"})
        EXPECT_TRUE(zk::isSafeMemberName(name)) << name;
    for (const char* name : {"", "Data/.../x", "Data/..", "Data/line\nbreak"})
        EXPECT_FALSE(zk::isSafeMemberName(name)) << "[" << name << "]";
    Extraction x("hostile", "a\\b\\out");  // ".." twice still lands inside the scratch folder
    x.run({"hostile.zip", "-o"});
    long long safe = 0;
    std::vector<std::string> logged;
    for (const Member& m : members("hostile.zip")) {
        if (m.note == "safe") {
            safe += m.size;
            logged.push_back("1,1," + backslashes(m.name));
            EXPECT_EQ("fine " + m.name, readFile(x.at(m.name))) << m.name;
        }
    }
    for (const auto& file : zktest::listFiles(x.scratch.path()))
        EXPECT_EQ(std::string::npos, file.first.find("escape")) << file.first;
    for (const char* outside : {"C:\\escape_root.txt", "C:\\escape_root_back.txt",
                                "C:\\escape_drive.txt", "C:\\escape_drive_relative.txt"})
        EXPECT_FALSE(exists(outside)) << outside;
    EXPECT_FALSE(exists(x.folder + "\\ok3.txt"));
    EXPECT_EQ(logged, x.logLines());
    EXPECT_EQ(safe, x.copied);
}

// corrupt.zip: first.txt, bad_stored.bin (CRC fails after all its bytes), bad_deflated.bin
// (fails at once), short.bin (ends 4000 bytes before its recorded size), last.txt.
TEST(Unzip, FailingMembersAreRetriedSkippedOrCancelAsTheRoutineAnswers) {
    std::vector<Member> ms = members("corrupt.zip");
    ASSERT_EQ(5u, ms.size());
    const long long first = ms[0].size, stored = ms[1].size, last = ms[4].size;
    const long long shortWritten = ms[3].size - 4000;
    const long long allWritten = first + stored + shortWritten + last;
    const std::vector<std::string> bad = {"bad_stored.bin", "bad_deflated.bin", "short.bin"};
    struct Case {
        const char* what;
        std::vector<int> answers;
        bool blockFirst;  // a folder stands where first.txt goes
        std::vector<std::string> asked;
        int cancel;
        bool lastExtracted;
        long long copied;  // every byte written counts once
    } cases[] = {
        {"skip each failure", {2, 2, 2}, false, bad, 0, true, allWritten},
        {"retry once, then skip: retried bytes are not counted again", {0, 2, 0, 2, 0, 2}, false,
         {bad[0], bad[0], bad[1], bad[1], bad[2], bad[2]}, 0, true, allWritten},
        {"cancel at the first failure", {1}, false, {bad[0]}, 1, false, first + stored},
        {"an output that cannot be created is a failure, not a success", {2, 2, 2, 2}, true,
         {"first.txt", bad[0], bad[1], bad[2]}, 0, true, stored + shortWritten + last},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Extraction x("corrupt");
        if (c.blockFirst)
            zktest::makeDirs(x.at("first.txt"));
        s_answers = c.answers;
        x.run({"corrupt.zip", "-o"});
        EXPECT_EQ(c.asked, s_asked);
        EXPECT_EQ(c.cancel, x.cancel);
        EXPECT_EQ(c.lastExtracted, exists(x.at("last.txt")));
        EXPECT_EQ(c.copied, x.copied);
        EXPECT_EQ(c.blockFirst, isDirectory(x.at("first.txt")));
        // Each attempt is logged before anything is written.
        std::vector<std::string> logged = x.logLines();
        EXPECT_EQ(c.asked.size() + !c.blockFirst + c.lastExtracted, logged.size());
        EXPECT_EQ("1,1,first.txt", logged.front());
    }
}

namespace {
// The driver's pump dispatches one message per chunk: WM_APP here raises the cancel flag.
int* s_cancelTarget = nullptr;
LRESULT CALLBACK cancelWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_APP && s_cancelTarget)
        *s_cancelTarget = 1;
    return message >= WM_APP ? 0 : DefWindowProcA(window, message, w, l);
}
} // namespace

// chunks.zip: part1.bin 45000 bytes (five 8 KB chunks and 4040), part2.bin, part3.bin.
TEST(Unzip, CancelStopsAfterTheCurrentChunkAndLeavesLaterMembersUntouched) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = cancelWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ZkCancelOnMessage";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_TRUE(window != nullptr);
    struct Case {
        int before;  // idle messages queued before the cancel; -1: cancelled beforehand
        Files files;
        std::vector<std::string> logged;
    } cases[] = {
        {-1, {}, {}},
        {3, {{"part1.bin", 3 * 8192}}, {"1,1,part1.bin"}},
        {6, {{"part1.bin", 45000}}, {"1,1,part1.bin"}},
        {7, {{"part1.bin", 45000}, {"part2.bin", 0}}, {"1,1,part1.bin", "1,1,part2.bin"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        Extraction x("cancel");
        s_cancelTarget = &x.cancel;
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
            DispatchMessageA(&msg);
        x.cancel = c.before < 0;
        for (int i = 0; i <= c.before + 5; ++i)  // the cancel, then five idle messages
            PostMessageA(window, i == c.before ? WM_APP : WM_APP + 1, 0, 0);
        x.run({"chunks.zip", "-o"});
        EXPECT_EQ(1, x.cancel);
        EXPECT_EQ(c.files, zktest::listFiles(x.folder));
        EXPECT_EQ(total(c.files), x.copied);
        EXPECT_EQ(c.logged, x.logLines());
        EXPECT_TRUE(s_asked.empty());
        // One message handled per chunk: the five queued after the cancel wait.
        int left = 0;
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
            ++left;
        EXPECT_EQ(5, left);
    }
    s_cancelTarget = nullptr;
    DestroyWindow(window);
}

TEST(Unzip, ListSingleMemberFlatMissingArchiveAndPathsThatDoNotFit) {
    const Files all = tree();
    ASSERT_EQ(5u, all.size());
    // The tree's files but `skip`, with or without their folders; or only `one` of them.
    auto pick = [&](bool flat, const char* one, const char* skip = "") {
        Files out;
        for (const auto& f : all)
            if ((!one || f.first == one) && f.first != skip)
                out[flat ? f.first.substr(f.first.rfind('\\') + 1) : f.first] = f.second;
        return out;
    };
    const __int64 sum = total(all);
    const std::string space = "Data\\Sub\\with space.txt";
    struct Case {
        const char* what;
        std::vector<std::string> args;
        __int64 result;
        Files files;
        bool folders;
        __int64 expectedAfter;
        size_t room = 0;  // characters of destination, 0: a short one
        std::vector<std::string> asked = {};
    } cases[] = {
        {"list sums the sizes into the expected total", {"debian.zip", "-l"}, 0, {}, false, sum},
        {"archive named without .zip", {"debian", "-o"}, sum, pick(false, nullptr), true, 1},
        {"one member", {"debian.zip", "-o", "Data/Sub/deep.txt"}, 0,
         pick(false, "Data\\Sub\\deep.txt"), true, 1},
        {"without folder names, options in any case", {"debian.zip", "-EO"}, sum,
         pick(true, nullptr), false, 1},
        {"missing archive", {"no_such_archive.zip", "-o"}, -1, {}, false, 1},
        {"no archive named", {}, -1, {}, false, 1},
        // Room for "Data\Sub\deep.txt" but not for the longer name: a failure shown to the
        // user, never a cut name that could be some other file.
        {"a path that does not fit", {"debian.zip", "-o"}, sum,
         pick(false, nullptr, space.c_str()), true, 1, 240, {space}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Extraction x("modes");
        while (x.folder.size() + 1 < c.room)  // the destination with its backslash
            x.folder += x.folder.size() % 60 == 59 ? '\\' : 'x';
        zktest::makeDirs(x.folder);
        ASSERT_TRUE(!c.room || x.folder.size() + 1 == c.room);
        x.expected = 1;
        EXPECT_EQ(c.result, x.run(c.args));
        EXPECT_EQ(c.files, zktest::listFiles(x.folder));
        EXPECT_EQ(c.folders, !zktest::listFolders(x.folder).empty());
        EXPECT_EQ(c.expectedAfter, x.expected);
        EXPECT_EQ(c.asked, s_asked);
        if (c.result < 0) {
            EXPECT_STREQ("untouched", x.currentFile);
            EXPECT_TRUE(x.logLines().empty());
        }
    }
}

TEST(DiscArchives, EachDiscAndLanguageGivesWhatTheGeneratorRecorded) {
    const std::string set = zktest::fixturesDir() + "\\discset";
    ASSERT_TRUE(exists(set + "\\manifest.json")) << "fixtures missing: " << set;
    int checked = 0;
    for (int disc = 1; isDirectory(set + "\\Disk" + std::to_string(disc)); ++disc) {
        const std::string root = set + "\\Disk" + std::to_string(disc);
        for (const char* prefix : {"en-us", "fr-fr", "de"}) {
            SCOPED_TRACE(root + " " + prefix);
            zktest::Expectation want = zktest::readExpectation(
                set + "\\expected\\archives_" + std::to_string(disc) + "_" + prefix + ".txt");
            Extraction x("disc");
            x.expected = want.counted;
            // Either spelling of the folders: with and without a trailing backslash.
            bool slashed = (disc + checked++) % 2 == 0;
            x.runDisc(slashed ? root + "\\" : root, slashed ? x.folder : x.folder + "\\", prefix);
            Files sizes;
            for (const auto& f : want.files) {
                sizes[f.first] = f.second.size;
                EXPECT_EQ(f.second.crc, zktest::crc32Of(readFile(x.at(f.first)))) << f.first;
            }
            EXPECT_FALSE(sizes.empty());
            EXPECT_EQ(sizes, zktest::listFiles(x.folder));
            for (const std::string& folder : want.folders)
                EXPECT_TRUE(isDirectory(x.at(folder))) << folder;
            EXPECT_EQ(want.log, x.logLines());
            EXPECT_EQ(want.counted, x.copied);
            EXPECT_FLOAT_EQ(100.0f, x.percent);
            EXPECT_EQ(0, x.cancel);
            // Every number is tried, the last name being the language archive 9.
            EXPECT_EQ(root + "\\9" + prefix + "_compressed.zip", std::string(x.scratchName));
        }
    }
    EXPECT_GE(checked, 6);
}

// A failing member on a disc is asked about through the host's message box: Retry and a
// Cancel taken back try again; a confirmed Cancel stops the disc, no later archive opened.
TEST(DiscArchives, FailingMemberIsAskedAboutUntilTheUserConfirmsCancel) {
    Extraction x("disccancel");
    const std::string disc = x.scratch / "Disc";
    zktest::makeDirs(disc);
    for (const auto& copy : std::map<std::string, std::string>{
             {"0compressed.zip", "corrupt.zip"},
             {"0en-us_compressed.zip", "chunks.zip"},
             {"1compressed.zip", "debian.zip"}})
        ASSERT_TRUE(
            CopyFileA(fixture(copy.second).c_str(), (disc + "\\" + copy.first).c_str(), FALSE));
    zktest::MessageScript script;
    script.answers({IDRETRY, IDCANCEL, IDNO, IDCANCEL, IDYES});
    zk::g_messageBox = zktest::MessageScript::callback;
    x.runDisc(disc, x.folder, "en-us");
    zk::g_messageBox = nullptr;

    EXPECT_EQ(1, x.cancel);
    std::vector<unsigned> styles;
    for (const zktest::MessageCall& call : script.calls())
        styles.push_back(call.style);
    const unsigned retry = MB_RETRYCANCEL, quit = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
    EXPECT_EQ((std::vector<unsigned>{retry, retry, quit, retry, quit}), styles);
    EXPECT_TRUE(exists(x.at("first.txt")));
    for (const char* later : {"last.txt", "part1.bin", "readme.txt"})
        EXPECT_FALSE(exists(x.at(later))) << later;
    EXPECT_EQ((std::vector<std::string>{"1,1,first.txt", "1,1,bad_stored.bin",
                                        "1,1,bad_stored.bin", "1,1,bad_stored.bin"}),
              x.logLines());
}
