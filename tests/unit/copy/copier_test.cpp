// Copying one file: the copiers and their totals, the progress routine, the retry dialog,
// cancelling, read-only files, self-suspension and COM registration.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ZKInstall.h"
#include "install/copyfile.h"
#include "zktest/harness.h"

using zktest::MessageScript;
using zktest::readFile;
using zktest::writeFile;

namespace {

// A progress record over its own counters.
struct Progress {
    __int64 expected, copied = 0, fileDone = 0;
    float percent = -1.0f;  // never a value the routine writes
    _zk_copyprogress record;

    explicit Progress(__int64 expectedTotal)
        : expected(expectedTotal),
          record{&expected, &copied, &percent, nullptr, &fileDone, false, false} {}
    // One call of the routine as a copy reports `transferred` bytes of the file.
    void report(__int64 transferred) {
        LARGE_INTEGER n;
        n.QuadPart = transferred;
        zk::copyProgressRoutine(n, n, n, n, 0, 0, nullptr, nullptr, &record);
    }
};

// Bytes that differ from block to block, so a misplaced block shows.
std::string content(size_t size, unsigned seed) {
    std::string out(size, '\0');
    for (char& c : out)
        c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);
    return out;
}

// Each case reports files as the running byte counts a copy gives; the file counter is reset
// before every file, as MyCopyFile does.
TEST(ProgressRoutine, TotalsOverflowAndCap) {
    struct Case {
        const char* name;
        __int64 expected;
        std::vector<std::vector<__int64>> files;
        bool suppress;
        __int64 copied, overflow;
        float percent;  // -1: never written
    } cases[] = {
        {"deltas across files, repeated figures once", 1000, {{100, 250, 250}, {40, 90}}, false,
         340, 0, -1.0f},
        {"no expected total never writes the percentage", 0,
         {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}}, false, 13, 13, -1.0f},
        {"percentage capped past the expected total", 100,
         {{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 150}}, false, 150, 50, 100.0f},
        {"a suppressed record counts nothing", 100, {{50, 200}}, true, 0, 0, -1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        zk::g_progressCallCount = 0;
        zk::g_progressOverflowTotal = 0;
        Progress p(c.expected);
        p.record.suppress = c.suppress;
        for (const auto& file : c.files) {
            p.fileDone = 0;
            for (__int64 transferred : file)
                p.report(transferred);
        }
        EXPECT_EQ(p.copied, c.copied);
        EXPECT_EQ(zk::g_progressOverflowTotal, c.overflow);
        EXPECT_FLOAT_EQ(p.percent, c.percent);
    }
}

// Stands in for the system copy: fails with s_systemCopyError when set, else refuses a read-only
// destination as Windows does (Wine running as root lets it through), else copies, the host
// pausing the copy meanwhile when s_pauseDuringCopy is set.
int s_systemCopyCalls = 0;
DWORD s_systemCopyError = 0;
bool s_pauseDuringCopy = false;
BOOL WINAPI standInCopy(LPCSTR from, LPCSTR to, LPPROGRESS_ROUTINE routine, LPVOID context,
                       LPBOOL cancel, DWORD flags) {
    ++s_systemCopyCalls;
    DWORD attributes = GetFileAttributesA(to);
    if (s_systemCopyError ||
        (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))) {
        SetLastError(s_systemCopyError ? s_systemCopyError : ERROR_ACCESS_DENIED);
        return FALSE;
    }
    CZKCopyFile::copySuspended = s_pauseDuringCopy;
    return CopyFileExA(from, to, routine, context, cancel, flags);
}

class Copier : public ::testing::Test {
  public:
    void SetUp() override {
        ZKINSTALL_setMessageBox(MessageScript::callback);
        TearDown();
    }
    void TearDown() override {
        zk::restoreSystemCopy();
        zk::setRegistrationSeam(nullptr);
        CZKCopyFile::copySuspended = s_pauseDuringCopy = false;
        s_systemCopyError = 0;
    }
    bool copy(const std::string& from, const std::string& to, LPPROGRESS_ROUTINE routine,
              Progress* p, int* cancel = nullptr) {
        int none = 0;
        return copier.MyCopyFile(from.c_str(), to.c_str(), cancel ? cancel : &none, routine,
                                 p ? &p->record : nullptr);
    }

    MessageScript script;
    zktest::ScratchDir dir{"copier"};
    const std::string in = dir / "in.bin", out = dir / "out.bin";
    CZKCopyFile copier;
    bool copiedOnThread = false;
};

// Records what a copy reports; can raise the cancel flag or lose the source.
std::vector<__int64> s_reported;
int* s_raiseCancel = nullptr;
bool s_loseSource = false;

DWORD CALLBACK recordingRoutine(LARGE_INTEGER size, LARGE_INTEGER transferred, LARGE_INTEGER a,
                                LARGE_INTEGER b, DWORD n, DWORD why, HANDLE source, HANDLE target,
                                LPVOID context) {
    s_reported.push_back(transferred.QuadPart);
    if (s_raiseCancel)
        *s_raiseCancel = 1;
    if (s_loseSource) {  // the source vanishes under the copier: later reads fail
        s_loseSource = false;
        CloseHandle(source);
    }
    return context ? zk::copyProgressRoutine(size, transferred, a, b, n, why, source, target,
                                             context)
                   : PROGRESS_CONTINUE;
}

// The fallback reports each 128 KB block; the system copy may report nothing at all (Wine), yet
// the totals must still advance.  An unimplemented system copy is tried once, the fallback doing
// the rest.  A refused read-only destination is made writable and copied again without asking.
TEST_F(Copier, EveryCopierReplacesReadOnlyFilesAndCountsWholeFiles) {
    const size_t block = 0x20000;
    const char* copiers[] = {"fallback", "unimplemented system", "system refusing read-only files"};
    for (int kind = 0; kind < 3; ++kind) {
        zk::overrideSystemCopy(kind == 0 ? nullptr : standInCopy);
        s_systemCopyCalls = 0;
        s_systemCopyError = kind == 1 ? ERROR_CALL_NOT_IMPLEMENTED : 0;
        Progress p(1 << 30);
        __int64 sum = 0;
        for (size_t size : {size_t(0), size_t(1), block - 1, block, block + 1, 3 * block + 17}) {
            SCOPED_TRACE(testing::Message() << copiers[kind] << " " << size);
            s_reported.clear();
            std::string data = content(size, static_cast<unsigned>(size));
            for (const std::string& name : {in, out}) {
                SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
                writeFile(name, name == in ? data : "old");
                SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_READONLY);
            }
            ASSERT_TRUE(copy(in, out, recordingRoutine, &p));
            EXPECT_TRUE(readFile(out) == data);
            EXPECT_EQ(GetFileAttributesA(out.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
            EXPECT_NE(GetFileAttributesA(in.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
            EXPECT_EQ(p.copied, sum += size);
            if (kind == 2)
                continue;
            ASSERT_EQ(s_reported.size(), (size + block - 1) / block);
            for (size_t i = 0; i < s_reported.size(); ++i)
                EXPECT_EQ(s_reported[i], static_cast<__int64>(std::min(size, (i + 1) * block)));
        }
        EXPECT_EQ(s_systemCopyCalls, kind == 1 ? 1 : kind == 2 ? 12 : 0);
        EXPECT_EQ(zk::usingSystemCopy(), kind == 2);
    }
    SetFileAttributesA(in.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(script.calls().empty());
}

TEST_F(Copier, FallbackCopierFailuresSetTheLastError) {
    struct Case {
        const char* name;
        bool sourceExists, targetIsFolder, raiseCancel, loseSource;
        DWORD error;  // 0: any error
    } cases[] = {
        {"missing source", false, false, false, false, ERROR_FILE_NOT_FOUND},
        {"destination cannot be opened", true, true, false, false, ERROR_ACCESS_DENIED},
        {"cancel raised during the copy", true, false, true, false, ERROR_REQUEST_ABORTED},
        {"source unreadable before its end", true, false, false, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        zktest::removeTree(in);
        zktest::removeTree(out);
        if (c.sourceExists)
            writeFile(in, content(3 * 0x20000 + 5, 7));
        if (c.targetIsFolder)
            zktest::makeDirs(out);
        s_reported.clear();
        int cancel = 0;
        s_raiseCancel = c.raiseCancel ? &cancel : nullptr;
        s_loseSource = c.loseSource;
        EXPECT_EQ(copier.MyCopyFileEx(in.c_str(), out.c_str(), recordingRoutine, nullptr, &cancel,
                                      0),
                  0);
        DWORD error = GetLastError();
        s_raiseCancel = nullptr;
        EXPECT_TRUE(error == c.error || (!c.error && error)) << error;
        if (c.raiseCancel || c.loseSource) {
            EXPECT_EQ(s_reported.size(), 1u);
            EXPECT_FALSE(zktest::exists(out)) << "a partial copy stayed behind";
        }
    }
}

TEST_F(Copier, RetryDialogAndCancel) {
    const unsigned retry = MB_RETRYCANCEL, quit = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
    struct Case {
        const char* name;
        std::vector<int> answers;
        int cancelBefore;
        DWORD systemError;  // non-zero: the system copy of an existing file fails so
        bool result;
        int cancel;
        std::vector<unsigned> styles;
    } cases[] = {
        {"retry, cancel but stay, then quit", {IDRETRY, IDCANCEL, IDNO, IDCANCEL, IDYES}, 0, 0,
         false, 1, {retry, retry, quit, retry, quit}},
        {"any other answer goes on as copied", {IDIGNORE}, 0, 0, true, 0, {retry}},
        {"a raised cancel flag ends without asking", {}, 1, 0, false, 1, {}},
        {"an aborted system copy ends without asking", {}, 0, ERROR_REQUEST_ABORTED, false, 0, {}},
    };
    writeFile(in, "x");
    const std::string missing = dir / "missing.bin";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageScript local;
        for (int a : c.answers)
            local.answer(a);
        local.setFallback(IDYES);  // ends a runaway loop at the next quit question
        s_systemCopyError = c.systemError;
        if (c.systemError)
            zk::overrideSystemCopy(standInCopy);
        int cancel = c.cancelBefore;
        Progress p(1);
        EXPECT_EQ(copy(c.systemError ? in : missing, out,
                       c.systemError ? zk::copyProgressRoutine : nullptr, &p, &cancel),
                  c.result);
        EXPECT_EQ(cancel, c.cancel);
        ASSERT_EQ(local.calls().size(), c.styles.size());
        for (size_t i = 0; i < c.styles.size(); ++i) {
            // The test program's string table holds texts 46 and 48.
            EXPECT_EQ(local.calls()[i].style, c.styles[i]) << i;
            EXPECT_EQ(local.calls()[i].caption, "");
            EXPECT_EQ(local.calls()[i].text,
                      c.styles[i] == retry ? "The file " + missing + " could not be copied."
                                           : "Do you really want to quit the installation?");
        }
    }
}

DWORD WINAPI copyOnThread(LPVOID fixture) {
    Copier* f = static_cast<Copier*>(fixture);
    Progress p(1 << 20);
    f->copiedOnThread = f->copy(f->in, f->out, zk::copyProgressRoutine, &p);
    return 0;
}

TEST_F(Copier, CopyingThreadSuspendsItselfUntilTheHostResumesIt) {
    writeFile(in, content(50000, 9));
    for (bool pauseBeforeCall : {true, false}) {
        SCOPED_TRACE(pauseBeforeCall ? "paused before the copy" : "paused during the copy");
        zk::overrideSystemCopy(standInCopy);
        s_pauseDuringCopy = !pauseBeforeCall;
        zktest::removeTree(out);
        CZKCopyFile::copySuspended = pauseBeforeCall;
        HANDLE thread = CreateThread(nullptr, 0, copyOnThread, this, 0, nullptr);
        ASSERT_TRUE(thread != nullptr);
        DWORD suspended = 0;
        for (int i = 0; i < 1000 && (suspended == 0 || suspended == DWORD(-1)); ++i, Sleep(20)) {
            suspended = SuspendThread(thread);
            ResumeThread(thread);
        }
        EXPECT_TRUE(suspended >= 1 && suspended != DWORD(-1)) << "never suspended itself";
        Sleep(100);
        EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_TIMEOUT));
        EXPECT_EQ(zktest::exists(out), !pauseBeforeCall);
        CZKCopyFile::copySuspended = s_pauseDuringCopy = false;
        ResumeThread(thread);
        EXPECT_EQ(WaitForSingleObject(thread, 20000), static_cast<DWORD>(WAIT_OBJECT_0));
        CloseHandle(thread);
        EXPECT_TRUE(copiedOnThread);
        EXPECT_EQ(readFile(out), readFile(in));
    }
}

std::vector<std::string> s_registrations;
unsigned long recordRegistration(const char* tool, const char* arguments) {
    s_registrations.push_back(std::string(tool) + "|" + arguments);
    return 0;
}

TEST_F(Copier, ServersAreRegisteredOnCopyAndUnregisteredOnRemove) {
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    const std::string tool = std::string(system) + "\\regsvr32.exe|";
    struct Case {
        const char *from, *name;
        const char *registerForm, *unregisterForm;  // null: the tool is not run
    } cases[] = {
        {"zkcomfixture.dll", "Control.OCX", "/s", "/u /s"},
        {"zkfixture.exe", "tool.exe", "/s /regserver", "/s /UnregServer"},
        {"zkcomfixture.dll", "server.dat", nullptr, nullptr},
        {"zkplainfixture.dll", "plain.dll", nullptr, nullptr},  // no COM server in it
    };
    zk::setRegistrationSeam(recordRegistration);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string target = dir / c.name;
        s_registrations.clear();
        ASSERT_TRUE(copy(zktest::binDir() + "\\" + c.from, target, nullptr, nullptr));
        std::vector<std::string> expected;
        for (const char* form : {c.registerForm, c.unregisterForm})
            if (form)
                expected.push_back(tool + form + " \"" + target + "\"");
        EXPECT_EQ(copier.Remove(&target[0]), 1);
        EXPECT_EQ(s_registrations, expected);
        EXPECT_FALSE(zktest::exists(target));
    }
}

} // namespace
