// Copying one file: the fallback copier, the system copy and its error-120
// fallback, the retry dialog, cancelling, read-only files, self-suspension and
// COM registration.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "copy_support.h"
#include "zktest/harness.h"

using copytest::content;
using copytest::Progress;
using zktest::MessageScript;
using zktest::readFile;
using zktest::writeFile;

namespace {

class Copier : public ::testing::Test {
  protected:
    void SetUp() override {
        ZKINSTALL_setMessageBox(MessageScript::callback);
        TearDown();
    }
    void TearDown() override {
        zk::restoreSystemCopy();
        zk::setRegistrationSeam(nullptr);
        CZKCopyFile::copySuspended = false;
    }
    std::string path(const char* name) { return dir / name; }

    MessageScript script;
    zktest::ScratchDir dir{"copier"};
    CZKCopyFile copier;
};

// A routine that records what the copy reports and can act on the first call.
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

int s_systemCopyCalls = 0;
DWORD s_systemCopyError = 0;
BOOL WINAPI failingSystemCopy(LPCSTR, LPCSTR, LPPROGRESS_ROUTINE, LPVOID, LPBOOL, DWORD) {
    ++s_systemCopyCalls;
    SetLastError(s_systemCopyError);
    return FALSE;
}

TEST_F(Copier, EveryCopierCountsWholeFiles) {
    // The fallback reports each 128 KB block; the system copy may report
    // nothing at all (Wine), yet the totals must still advance.
    const size_t block = 0x20000;
    for (bool fallback : {true, false}) {
        if (fallback)
            zk::overrideSystemCopy(nullptr);
        else
            zk::restoreSystemCopy();
        Progress p(1 << 30);
        __int64 sum = 0;
        for (size_t size : {size_t(0), size_t(1), block - 1, block, block + 1, 3 * block + 17}) {
            SCOPED_TRACE(testing::Message() << (fallback ? "fallback " : "system ") << size);
            s_reported.clear();
            std::string data = content(size, static_cast<unsigned>(size));
            writeFile(path("in.bin"), data);
            int cancel = 0;
            ASSERT_TRUE(copier.MyCopyFile(path("in.bin").c_str(), path("out.bin").c_str(),
                                          &cancel, recordingRoutine, &p.record));
            sum += size;
            EXPECT_TRUE(readFile(path("out.bin")) == data);
            EXPECT_EQ(p.copied, sum);
            if (!fallback)
                continue;
            ASSERT_EQ(s_reported.size(), (size + block - 1) / block);
            for (size_t i = 0; i < s_reported.size(); ++i)
                EXPECT_EQ(s_reported[i], static_cast<__int64>(std::min(size, (i + 1) * block)));
        }
    }
}

TEST_F(Copier, FallbackCopierFailuresSetTheLastError) {
    struct Case {
        const char* name;
        bool sourceExists, targetIsFolder, raiseCancel, loseSource;
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
        zktest::removeTree(path("in.bin"));
        zktest::removeTree(path("out.bin"));
        if (c.sourceExists)
            writeFile(path("in.bin"), content(3 * 0x20000 + 5, 7));
        if (c.targetIsFolder)
            zktest::makeDirs(path("out.bin"));
        s_reported.clear();
        int cancel = 0;
        s_raiseCancel = c.raiseCancel ? &cancel : nullptr;
        s_loseSource = c.loseSource;
        int result = copier.MyCopyFileEx(path("in.bin").c_str(), path("out.bin").c_str(),
                                         recordingRoutine, nullptr, &cancel, 0);
        DWORD error = GetLastError();
        s_raiseCancel = nullptr;
        EXPECT_EQ(result, 0);
        EXPECT_TRUE(error == c.error || (!c.error && error)) << error;
        if (c.raiseCancel || c.loseSource) {
            EXPECT_EQ(s_reported.size(), 1u);
            EXPECT_FALSE(zktest::exists(path("out.bin"))) << "a partial copy stayed behind";
        }
    }
}

TEST_F(Copier, NotImplementedSystemCopyFallsBackForTheRestOfTheProcess) {
    s_systemCopyCalls = 0;
    s_systemCopyError = ERROR_CALL_NOT_IMPLEMENTED;
    zk::overrideSystemCopy(failingSystemCopy);
    for (int round = 0; round < 3; ++round) {
        std::string data = content(1000 + round, round);
        writeFile(path("in.bin"), data);
        Progress p(1 << 20);
        int cancel = 0;
        EXPECT_TRUE(copier.MyCopyFile(path("in.bin").c_str(), path("out.bin").c_str(), &cancel,
                                      zk::copyProgressRoutine, &p.record));
        EXPECT_TRUE(readFile(path("out.bin")) == data);
        EXPECT_EQ(p.copied, static_cast<__int64>(data.size()));
        EXPECT_EQ(s_systemCopyCalls, 1);
    }
    EXPECT_TRUE(script.calls().empty());
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
    };
    const Case cases[] = {
        {"cancel, then quit", {IDCANCEL, IDYES}, 0, 0, false, 1, {retry, quit}},
        {"retry, cancel but stay, then quit",
         {IDRETRY, IDCANCEL, IDNO, IDCANCEL, IDYES}, 0, 0, false, 1,
         {retry, retry, quit, retry, quit}},
        {"ignore goes on as copied", {IDIGNORE}, 0, 0, true, 0, {retry}},
        {"any other answer goes on as copied", {IDRETRY, IDABORT}, 0, 0, true, 0, {retry, retry}},
        {"a raised cancel flag ends without asking", {}, 1, 0, false, 1, {}},
        {"an aborted system copy ends without asking", {}, 0, ERROR_REQUEST_ABORTED, false, 0, {}},
    };
    writeFile(path("exists.bin"), "x");
    std::string missing = path("missing.bin");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageScript local;
        for (int a : c.answers)
            local.answer(a);
        local.setFallback(IDYES);  // ends a runaway loop at the next quit question
        s_systemCopyError = c.systemError;
        if (c.systemError)
            zk::overrideSystemCopy(failingSystemCopy);
        int cancel = c.cancelBefore;
        Progress p(1);
        EXPECT_EQ(copier.MyCopyFile(c.systemError ? path("exists.bin").c_str() : missing.c_str(),
                                    path("out.bin").c_str(), &cancel,
                                    c.systemError ? zk::copyProgressRoutine : nullptr, &p.record),
                  c.result);
        EXPECT_EQ(cancel, c.cancel);
        ASSERT_EQ(local.calls().size(), c.styles.size());
        for (size_t i = 0; i < c.styles.size(); ++i) {
            const zktest::MessageCall& call = local.calls()[i];
            EXPECT_EQ(call.style, c.styles[i]) << i;
            EXPECT_EQ(call.caption, "");
            // The test program's string table holds texts 46 and 48.
            EXPECT_EQ(call.text, c.styles[i] == retry
                                     ? "The file " + missing + " could not be copied."
                                     : "Do you really want to quit the installation?");
        }
    }
}

TEST_F(Copier, ReadOnlyFilesAreOverwrittenAndLeftWritable) {
    // Each copier copies a read-only source over a read-only destination.
    const char* copiers[] = {"plain", "system", "fallback"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(copiers[i]);
        if (i == 2)
            zk::overrideSystemCopy(nullptr);
        std::string data = content(70000, i);
        for (const char* name : {"in.bin", "out.bin"}) {
            SetFileAttributesA(path(name).c_str(), FILE_ATTRIBUTE_NORMAL);
            writeFile(path(name), name == std::string("in.bin") ? data : "old");
            SetFileAttributesA(path(name).c_str(), FILE_ATTRIBUTE_READONLY);
        }
        Progress p(1000);
        int cancel = 0;
        EXPECT_TRUE(copier.MyCopyFile(path("in.bin").c_str(), path("out.bin").c_str(), &cancel,
                                      i ? zk::copyProgressRoutine : nullptr, &p.record));
        EXPECT_TRUE(readFile(path("out.bin")) == data);
        EXPECT_EQ(GetFileAttributesA(path("out.bin").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
        EXPECT_NE(GetFileAttributesA(path("in.bin").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    }
    SetFileAttributesA(path("in.bin").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(script.calls().empty());
}

// --- self-suspension ----------------------------------------------------------------------
struct CopyJob {
    CZKCopyFile* copier;
    std::string from, to;
    bool result = false;
};

DWORD WINAPI copyOnThread(LPVOID p) {
    CopyJob* job = static_cast<CopyJob*>(p);
    Progress progress(1 << 20);
    int cancel = 0;
    job->result = job->copier->MyCopyFile(job->from.c_str(), job->to.c_str(), &cancel,
                                          zk::copyProgressRoutine, &progress.record);
    return 0;
}

BOOL WINAPI systemCopyThenPause(LPCSTR from, LPCSTR to, LPPROGRESS_ROUTINE routine, LPVOID ctx,
                                LPBOOL cancel, DWORD flags) {
    CZKCopyFile::copySuspended = true;  // the host pauses while the file is on its way
    return CopyFileExA(from, to, routine, ctx, cancel, flags);
}

bool waitUntilSuspended(HANDLE thread) {
    for (int i = 0; i < 1000; ++i, Sleep(20)) {
        DWORD previous = SuspendThread(thread);
        ResumeThread(thread);
        if (previous != static_cast<DWORD>(-1) && previous >= 1)
            return true;
    }
    return false;
}

TEST_F(Copier, CopyingThreadSuspendsItselfUntilTheHostResumesIt) {
    writeFile(path("in.bin"), content(50000, 9));
    for (bool pauseBeforeCall : {true, false}) {
        SCOPED_TRACE(pauseBeforeCall ? "paused before the copy" : "paused during the copy");
        if (!pauseBeforeCall)
            zk::overrideSystemCopy(systemCopyThenPause);
        CopyJob job{&copier, path("in.bin"), path("paused.bin")};
        zktest::removeTree(job.to);
        CZKCopyFile::copySuspended = pauseBeforeCall;
        HANDLE thread = CreateThread(nullptr, 0, copyOnThread, &job, 0, nullptr);
        ASSERT_TRUE(thread != nullptr);
        EXPECT_TRUE(waitUntilSuspended(thread));
        Sleep(100);
        EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_TIMEOUT));
        EXPECT_EQ(zktest::exists(job.to), !pauseBeforeCall);
        CZKCopyFile::copySuspended = false;
        ResumeThread(thread);
        EXPECT_EQ(WaitForSingleObject(thread, 20000), static_cast<DWORD>(WAIT_OBJECT_0));
        CloseHandle(thread);
        EXPECT_TRUE(job.result);
        EXPECT_EQ(readFile(job.to), readFile(job.from));
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
    const std::string tool = std::string(system) + "\\regsvr32.exe|";
    struct Case {
        const char* from;
        const char* name;
        const char* registerForm;  // null: the tool is not run
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
        std::string target = path(c.name);
        std::vector<std::string> expected;
        s_registrations.clear();
        int cancel = 0;
        ASSERT_TRUE(copier.MyCopyFile((zktest::binDir() + "\\" + c.from).c_str(), target.c_str(),
                                      &cancel, nullptr, nullptr));
        if (c.registerForm)
            expected.push_back(tool + c.registerForm + " \"" + target + "\"");
        if (c.unregisterForm)
            expected.push_back(tool + c.unregisterForm + " \"" + target + "\"");
        std::vector<char> removable(target.begin(), target.end());
        removable.push_back('\0');
        EXPECT_EQ(copier.Remove(removable.data()), 1);
        EXPECT_EQ(s_registrations, expected);
        EXPECT_FALSE(zktest::exists(target));
    }
}

} // namespace
