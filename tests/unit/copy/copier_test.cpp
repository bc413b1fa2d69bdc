// Copying one file: the fallback copier, the system copy and its error-120
// fallback, the retry dialog, cancelling, read-only files, self-suspension and
// COM registration.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "copy_support.h"
#include "core/installer.h"
#include "zktest/harness.h"

using copytest::Progress;
using zktest::MessageScript;
using zktest::readFile;
using zktest::writeFile;

namespace {

const char* const kRetryText = "The file %s could not be copied.";
const char* const kQuitText = "Do you really want to quit the installation?";

class Copier : public ::testing::Test {
  protected:
    void SetUp() override {
        ZKINSTALL_setMessageBox(MessageScript::callback);
        zk::restoreSystemCopy();
        zk::setRegistrationSeam(nullptr);
        CZKCopyFile::copySuspended = false;
        zk::g_progressCallCount = 0;
    }
    void TearDown() override {
        zk::restoreSystemCopy();
        zk::setRegistrationSeam(nullptr);
        CZKCopyFile::copySuspended = false;
    }

    MessageScript script;
    zktest::ScratchDir dir{"copier"};
    CZKCopyFile copier;
};

// --- a routine that records what the copy reports ---------------------------------------
std::vector<__int64> s_reported;
__int64 s_reportedSize = -1;
int* s_cancelAfterFirst = nullptr;
bool s_closeSourceAfterFirst = false;

DWORD CALLBACK recordingRoutine(LARGE_INTEGER size, LARGE_INTEGER transferred, LARGE_INTEGER a,
                                LARGE_INTEGER b, DWORD stream, DWORD reason, HANDLE source,
                                HANDLE destination, LPVOID context) {
    s_reported.push_back(transferred.QuadPart);
    s_reportedSize = size.QuadPart;
    if (s_cancelAfterFirst)
        *s_cancelAfterFirst = 1;
    if (s_closeSourceAfterFirst) {
        // The source goes away under the copier: every later read fails.
        s_closeSourceAfterFirst = false;
        CloseHandle(source);
    }
    return context ? zk::copyProgressRoutine(size, transferred, a, b, stream, reason, source,
                                             destination, context)
                   : PROGRESS_CONTINUE;
}

void resetRecording() {
    s_reported.clear();
    s_reportedSize = -1;
    s_cancelAfterFirst = nullptr;
    s_closeSourceAfterFirst = false;
}

// Runs `work` on a thread of its own and reports whether it ended in time, so a
// copier that loops for ever fails the test instead of hanging it.
bool endsWithin(DWORD ms, std::function<void()> work) {
    struct Job {
        std::function<void()> work;
    } job{std::move(work)};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            static_cast<Job*>(p)->work();
            return 0;
        },
        &job, 0, nullptr);
    bool ended = WaitForSingleObject(thread, ms) == WAIT_OBJECT_0;
    if (!ended)
        TerminateThread(thread, 1);
    CloseHandle(thread);
    return ended;
}

TEST_F(Copier, FallbackCopiesWholeFilesBlockByBlock) {
    zk::overrideSystemCopy(nullptr);
    const size_t block = 0x20000;
    const size_t sizes[] = {0, 1, block - 1, block, block + 1, 3 * block + 17};
    for (size_t size : sizes) {
        SCOPED_TRACE(size);
        resetRecording();
        std::string data = copytest::content(size, static_cast<unsigned>(size));
        writeFile(dir / "source.bin", data);
        Progress p(1 << 30);
        int cancel = 0;
        ASSERT_TRUE(copier.MyCopyFile((dir / "source.bin").c_str(), (dir / "copy.bin").c_str(),
                                      &cancel, recordingRoutine, &p.record));
        EXPECT_TRUE(readFile(dir / "copy.bin") == data);
        EXPECT_EQ(p.copied, static_cast<__int64>(size));
        EXPECT_EQ(p.fileDone, static_cast<__int64>(size));
        EXPECT_EQ(s_reported.size(), (size + block - 1) / block);
        for (size_t i = 0; i < s_reported.size(); ++i)
            EXPECT_EQ(s_reported[i], static_cast<__int64>(std::min(size, (i + 1) * block)));
        if (size) {
            EXPECT_EQ(s_reportedSize, static_cast<__int64>(size));
        }
        EXPECT_TRUE(script.calls().empty());
    }
}

TEST_F(Copier, FallbackCopierReportsFailuresThroughTheLastError) {
    const std::string source = dir / "source.bin";
    const std::string target = dir / "target.bin";
    struct Case {
        const char* name;
        bool sourceExists;
        bool targetIsFolder;
        bool cancelAfterFirstBlock;
        bool sourceLostAfterFirstBlock;
        DWORD error;  // 0: any error
    };
    const Case cases[] = {
        {"missing source", false, false, false, false, ERROR_FILE_NOT_FOUND},
        {"destination cannot be opened", true, true, false, false, ERROR_ACCESS_DENIED},
        {"cancel raised during the copy", true, false, true, false, ERROR_REQUEST_ABORTED},
        {"source unreadable before its end", true, false, false, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetRecording();
        zktest::removeTree(source);
        zktest::removeTree(target);
        if (c.sourceExists)
            writeFile(source, copytest::content(3 * 0x20000 + 5, 7));
        if (c.targetIsFolder)
            zktest::makeDirs(target);
        int cancel = 0;
        s_cancelAfterFirst = c.cancelAfterFirstBlock ? &cancel : nullptr;
        s_closeSourceAfterFirst = c.sourceLostAfterFirstBlock;
        int result = -1;
        DWORD error = 0;
        ASSERT_TRUE(endsWithin(30000, [&] {
            result = copier.MyCopyFileEx(source.c_str(), target.c_str(), recordingRoutine,
                                         nullptr, &cancel, 0);
            error = GetLastError();
        }));
        EXPECT_EQ(result, 0);
        if (c.error) {
            EXPECT_EQ(error, c.error);
        } else {
            EXPECT_NE(error, 0u);
        }
        if (c.cancelAfterFirstBlock || c.sourceLostAfterFirstBlock) {
            EXPECT_EQ(s_reported.size(), 1u);
            EXPECT_FALSE(zktest::exists(target)) << "a partial copy stayed behind";
        }
    }
}

TEST_F(Copier, SystemCopyCountsEveryFileInTheTotals) {
    ASSERT_TRUE(zk::usingSystemCopy());
    const size_t sizes[] = {5, 300001};
    Progress p(1 << 30);
    __int64 sum = 0;
    for (size_t size : sizes) {
        resetRecording();
        std::string data = copytest::content(size, 3);
        writeFile(dir / "source.bin", data);
        int cancel = 0;
        ASSERT_TRUE(copier.MyCopyFile((dir / "source.bin").c_str(), (dir / "copy.bin").c_str(),
                                      &cancel, recordingRoutine, &p.record));
        sum += size;
        EXPECT_TRUE(readFile(dir / "copy.bin") == data);
        ASSERT_FALSE(s_reported.empty());
        EXPECT_EQ(s_reported.back(), static_cast<__int64>(size));
        EXPECT_EQ(p.fileDone, static_cast<__int64>(size));
        EXPECT_EQ(p.copied, sum);
    }
    EXPECT_TRUE(zk::usingSystemCopy());
}

int s_systemCopyCalls = 0;
DWORD s_systemCopyError = 0;
BOOL WINAPI failingSystemCopy(LPCSTR, LPCSTR, LPPROGRESS_ROUTINE, LPVOID, LPBOOL, DWORD) {
    ++s_systemCopyCalls;
    SetLastError(s_systemCopyError);
    return FALSE;
}

TEST_F(Copier, NotImplementedSystemCopyFallsBackForTheRestOfTheProcess) {
    s_systemCopyCalls = 0;
    s_systemCopyError = ERROR_CALL_NOT_IMPLEMENTED;
    zk::overrideSystemCopy(failingSystemCopy);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        std::string data = copytest::content(1000 + round, round);
        writeFile(dir / "source.bin", data);
        Progress p(1 << 20);
        int cancel = 0;
        EXPECT_TRUE(copier.MyCopyFile((dir / "source.bin").c_str(), (dir / "copy.bin").c_str(),
                                      &cancel, zk::copyProgressRoutine, &p.record));
        EXPECT_TRUE(readFile(dir / "copy.bin") == data);
        EXPECT_EQ(p.copied, static_cast<__int64>(data.size()));
        EXPECT_EQ(s_systemCopyCalls, 1);
        EXPECT_FALSE(zk::usingSystemCopy());
    }
    EXPECT_TRUE(script.calls().empty());
}

std::string expectedRetryText(const std::string& source) {
    std::string text(kRetryText);
    return text.replace(text.find("%s"), 2, source);
}

TEST_F(Copier, RetryDialogAnswers) {
    struct Case {
        const char* name;
        std::vector<int> answers;
        bool result;
        int cancel;
        std::vector<unsigned> styles;
    };
    const unsigned retry = MB_RETRYCANCEL, quit = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
    const Case cases[] = {
        {"cancel, then quit", {IDCANCEL, IDYES}, false, 1, {retry, quit}},
        {"retry, cancel but stay, then quit",
         {IDRETRY, IDCANCEL, IDNO, IDCANCEL, IDYES},
         false,
         1,
         {retry, retry, quit, retry, quit}},
        {"ignore goes on as copied", {IDIGNORE}, true, 0, {retry}},
        {"any other answer goes on as copied", {IDRETRY, IDABORT}, true, 0, {retry, retry}},
    };
    const std::string source = dir / "missing.bin";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageScript local;
        for (int a : c.answers)
            local.answer(a);
        local.setFallback(IDYES);  // ends a runaway loop at the next quit question
        int cancel = 0;
        EXPECT_EQ(copier.MyCopyFile(source.c_str(), (dir / "copy.bin").c_str(), &cancel, nullptr,
                                    nullptr),
                  c.result);
        EXPECT_EQ(cancel, c.cancel);
        ASSERT_EQ(local.calls().size(), c.styles.size());
        for (size_t i = 0; i < c.styles.size(); ++i) {
            const zktest::MessageCall& call = local.calls()[i];
            EXPECT_EQ(call.style, c.styles[i]) << i;
            EXPECT_EQ(call.caption, "");
            EXPECT_EQ(call.text, c.styles[i] == retry ? expectedRetryText(source) : kQuitText);
        }
    }
}

std::string s_appearOnRetry;
int s_retryPrompts = 0;
int __stdcall createSourceAndRetry(HWND, const char*, const char*, unsigned) {
    ++s_retryPrompts;
    writeFile(s_appearOnRetry, "arrived");
    return IDRETRY;
}

TEST_F(Copier, RetryCopiesOnceTheSourceIsThere) {
    // Both copiers: without a routine (plain copy) and through the fallback.
    for (bool withRoutine : {false, true}) {
        SCOPED_TRACE(withRoutine);
        zk::overrideSystemCopy(nullptr);
        s_appearOnRetry = dir / "late.bin";
        s_retryPrompts = 0;
        zktest::removeTree(s_appearOnRetry);
        ZKINSTALL_setMessageBox(createSourceAndRetry);
        Progress p(100);
        int cancel = 0;
        bool ok = copier.MyCopyFile(s_appearOnRetry.c_str(), (dir / "copy.bin").c_str(), &cancel,
                                    withRoutine ? zk::copyProgressRoutine : nullptr, &p.record);
        ZKINSTALL_setMessageBox(MessageScript::callback);
        EXPECT_TRUE(ok);
        EXPECT_EQ(s_retryPrompts, 1);
        EXPECT_EQ(readFile(dir / "copy.bin"), "arrived");
    }
}

TEST_F(Copier, CancelEndsTheCopyWithoutAsking) {
    const std::string source = dir / "source.bin";
    writeFile(source, copytest::content(3 * 0x20000, 1));
    struct Case {
        const char* name;
        const char* source;
        int cancelBefore;
        bool raiseDuringCopy;
        DWORD systemError;  // non-zero: the system copy fails with this
    };
    const std::string missing = dir / "missing.bin";
    const Case cases[] = {
        {"flag already raised", missing.c_str(), 1, false, 0},
        {"flag raised while copying", source.c_str(), 0, true, 0},
        {"system copy aborted", source.c_str(), 0, false, ERROR_REQUEST_ABORTED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetRecording();
        s_systemCopyError = c.systemError;
        zk::overrideSystemCopy(c.systemError ? failingSystemCopy : nullptr);
        int cancel = c.cancelBefore;
        s_cancelAfterFirst = c.raiseDuringCopy ? &cancel : nullptr;
        EXPECT_FALSE(copier.MyCopyFile(c.source, (dir / "copy.bin").c_str(), &cancel,
                                       recordingRoutine, nullptr));
        EXPECT_EQ(cancel, c.cancelBefore || c.raiseDuringCopy ? 1 : 0);
        EXPECT_TRUE(script.calls().empty());
    }
}

TEST_F(Copier, ReadOnlyFilesAreOverwrittenAndLeftWritable) {
    struct Case {
        const char* name;
        bool systemCopy;
        bool readOnlySource;
        bool readOnlyTarget;
        bool routine;
    };
    const Case cases[] = {
        {"plain copy over a read-only file", true, false, true, false},
        {"system copy over a read-only file", true, false, true, true},
        {"fallback over a read-only file", false, false, true, true},
        {"plain copy of a read-only source", true, true, false, false},
        {"system copy of a read-only source", true, true, false, true},
        {"fallback of a read-only source", false, true, false, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.systemCopy)
            zk::restoreSystemCopy();
        else
            zk::overrideSystemCopy(nullptr);
        const std::string source = dir / ("source" + std::to_string(n) + ".bin");
        const std::string target = dir / ("target" + std::to_string(n++) + ".bin");
        std::string data = copytest::content(70000, n);
        writeFile(source, data);
        if (c.readOnlySource)
            copytest::setReadOnly(source);
        if (c.readOnlyTarget) {
            writeFile(target, "old");
            copytest::setReadOnly(target);
        }
        Progress p(1000);
        int cancel = 0;
        EXPECT_TRUE(copier.MyCopyFile(source.c_str(), target.c_str(), &cancel,
                                      c.routine ? zk::copyProgressRoutine : nullptr, &p.record));
        EXPECT_TRUE(readFile(target) == data);
        EXPECT_FALSE(copytest::isReadOnly(target));
        EXPECT_EQ(copytest::isReadOnly(source), c.readOnlySource);
        SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    EXPECT_TRUE(script.calls().empty());
}

// --- self-suspension ----------------------------------------------------------------------
struct CopyJob {
    CZKCopyFile* copier;
    std::string source, target;
    Progress* progress;
    bool result = false;
};

DWORD WINAPI copyOnThread(LPVOID p) {
    CopyJob* job = static_cast<CopyJob*>(p);
    int cancel = 0;
    job->result = job->copier->MyCopyFile(job->source.c_str(), job->target.c_str(), &cancel,
                                          zk::copyProgressRoutine, &job->progress->record);
    return 0;
}

BOOL WINAPI systemCopyThenPause(LPCSTR from, LPCSTR to, LPPROGRESS_ROUTINE routine, LPVOID ctx,
                                LPBOOL cancel, DWORD flags) {
    // The host asks for a pause while the file is on its way.
    CZKCopyFile::copySuspended = true;
    return CopyFileExA(from, to, routine, ctx, cancel, flags);
}

TEST_F(Copier, CopyingThreadSuspendsItselfUntilTheHostResumesIt) {
    struct Case {
        const char* name;
        bool pauseBeforeCall;    // set before MyCopyFile starts
        bool copiedWhilePaused;  // the file is already there while suspended
    };
    const Case cases[] = {
        {"paused before the copy starts", true, false},
        {"paused while the system copy runs", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.pauseBeforeCall)
            zk::restoreSystemCopy();
        else
            zk::overrideSystemCopy(systemCopyThenPause);
        Progress p(1 << 20);
        CopyJob job{&copier, dir / "source.bin", dir / "paused.bin", &p};
        writeFile(job.source, copytest::content(50000, 9));
        zktest::removeTree(job.target);
        CZKCopyFile::copySuspended = c.pauseBeforeCall;

        HANDLE thread = CreateThread(nullptr, 0, copyOnThread, &job, 0, nullptr);
        ASSERT_TRUE(thread != nullptr);
        bool suspended = copytest::waitUntilSuspended(thread, 20000);
        EXPECT_TRUE(suspended);
        if (suspended) {
            Sleep(100);
            EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_TIMEOUT));
            EXPECT_EQ(zktest::exists(job.target), c.copiedWhilePaused);
        }
        CZKCopyFile::copySuspended = false;
        ResumeThread(thread);
        EXPECT_EQ(WaitForSingleObject(thread, 20000), static_cast<DWORD>(WAIT_OBJECT_0));
        CloseHandle(thread);
        EXPECT_TRUE(job.result);
        EXPECT_EQ(readFile(job.target), readFile(job.source));
    }
}

// --- COM registration ---------------------------------------------------------------------
std::vector<std::string> s_registrations;
void recordRegistration(const char* tool, const char* arguments) {
    s_registrations.push_back(std::string(tool) + "|" + arguments);
}

TEST_F(Copier, ServersAreRegisteredOnCopyAndUnregisteredOnRemove) {
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    const std::string tool = std::string(system) + "\\regsvr32.exe";
    const std::string bin = zktest::binDir();
    struct Case {
        const char* from;
        const char* name;
        const char* registerForm;    // null: the tool is not run
        const char* unregisterForm;
    };
    const Case cases[] = {
        {"zkcomfixture.dll", "server.dll", "/s", "/u /s"},
        {"zkcomfixture.dll", "Control.OCX", "/s", "/u /s"},
        {"zkplainfixture.dll", "plain.dll", nullptr, nullptr},
        {"zkfixture.exe", "tool.exe", "/s /regserver", "/s /UnregServer"},
        {"zkcomfixture.dll", "server.dat", nullptr, nullptr},
    };
    zk::setRegistrationSeam(recordRegistration);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string target = dir / c.name;
        s_registrations.clear();
        int cancel = 0;
        ASSERT_TRUE(copier.MyCopyFile((bin + "\\" + c.from).c_str(), target.c_str(), &cancel,
                                      nullptr, nullptr));
        std::vector<std::string> expected;
        if (c.registerForm)
            expected.push_back(tool + "|" + c.registerForm + " \"" + target + "\"");
        EXPECT_EQ(s_registrations, expected);

        s_registrations.clear();
        std::vector<char> path(target.begin(), target.end());
        path.push_back('\0');
        EXPECT_EQ(copier.Remove(path.data()), 1);
        expected.clear();
        if (c.unregisterForm)
            expected.push_back(tool + "|" + c.unregisterForm + " \"" + target + "\"");
        EXPECT_EQ(s_registrations, expected);
        EXPECT_FALSE(zktest::exists(target));
    }
}

} // namespace
