// The game file installation: a worker thread that copies the language's
// support files, merges the disc file lists, extracts each disc's archives,
// copies every entry of the chosen installation type (asking for other discs
// when needed), writes the install log and copies the readme.
#include "install/install_thread.h"

#include <process.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/host.h"
#include "core/prompts.h"
#include "platform/text.h"
#include "install/archive.h"
#include "install/copyfile.h"
#include "install/discs.h"
#include "install/filelist.h"
#include "install/listlines.h"
#include "platform/textlines.h"

namespace zk {

namespace {

const int kDoneFlags = 10;

// Appends the non-empty lines of a list file; false when it does not open.
bool readListLines(const char* path, std::vector<std::string>* out) {
    std::string bytes;
    if (!readFileBytes(path, &bytes))
        return false;
    readListText(bytes.data(), bytes.size(), out);
    return true;
}

bool hasWildcard(const char* text) { return strpbrk(text, "*?") != nullptr; }

void withTrailingBackslash(char* out, size_t cap, const char* path) {
    copyText(out, cap, path);
    size_t len = strlen(out);
    if (len == 0 || out[len - 1] != '\\')
        appendText(out, cap, "\\");
}

bool discIsKnown(int disc) { return disc >= 0 && disc < kDoneFlags; }

struct Worker {
    InstallJob* job;
    CZKCopyFile copier;
    __int64 copied = 0;
    __int64 fileDone = 0;
    _zk_copyprogress record{};
    bool done[kDoneFlags] = {};
    char lastFolder[kText] = "";
    bool lastFolderMade = false;
    char prefix[kText] = "";
    FILE* log = nullptr;
    // Changes reported as not applied (folders, copies, log lines), each
    // traced where it failed; the debug summary gives the count.  A file the
    // user chose to go on without counts as copied for the host and is only
    // traced, by the copier.
    int notApplied = 0;

    explicit Worker(InstallJob* j) : job(j) {
        copier.setDebugMode(j->debug);
        record.expectedTotal = &j->expectedBytes;
        record.copiedTotal = &copied;
        record.percent = j->percent;
        record.reserved = nullptr;
        record.fileDone = &fileDone;
        record.debug = j->debug;
        record.suppress = false;
        // The language-list prefix: the list's file name cut at its last "_".
        const char* slash = strrchr(j->listPath, '\\');
        copyText(prefix, slash ? slash + 1 : j->listPath);
        char* underscore = strrchr(prefix, '_');
        if (underscore)
            *underscore = '\0';
    }

    // Extracts the archives of the current disc the first time it is current.
    // An unidentified disc has no flag and no archives to extract.
    void extractCurrentDisc() {
        int disc = job->currentDisc;
        if (!discIsKnown(disc) || done[disc])
            return;
        char scratch[kText];
        extractDiscArchives(scratch, job->sourceRoot, job->installFolder, prefix, job->currentFile,
                            &record, job->cancel, log);
        done[disc] = true;
    }

    // The copier traces a folder it cannot make.
    bool createFolder(const char* folder) {
        if (copier.createDirectory(folder, 0))
            return true;
        ++notApplied;
        return false;
    }

    bool createFolderOnce(const char* folder) {
        if (strcmp(folder, lastFolder) == 0)
            return lastFolderMade;
        lastFolderMade = createFolder(folder);
        copyText(lastFolder, folder);
        return lastFolderMade;
    }

    // A file the log does not name stays behind when the game is removed.
    bool logLine(int disc, int level, const char* path, bool recursive) {
        if (writeFileListLine(log, disc, level, path, recursive))
            return true;
        traceFailure(job->debug, "_install", "install log line not written", path);
        ++notApplied;
        return false;
    }

    bool copyReadme() {
        record.suppress = true;
        bool ok = copyReadMe(job->sourceRoot, job->languagePrefix, job->installFolder,
                             job->readmeFile, job->debug);
        record.suppress = false;
        if (!ok)
            ++notApplied;
        return ok;
    }

    bool copySupportFiles() {
        char root[kText], spec[kText], dest[kText];
        withTrailingBackslash(root, sizeof root, job->sourceRoot);
        const char* language = job->languagePrefix;
        formatText(spec, sizeof spec, "%sSupport\\%s\\*.*", root, language);
        char installRoot[kText];
        withTrailingBackslash(installRoot, sizeof installRoot, job->installFolder);
        formatText(dest, sizeof dest, "%sSupport\\%s\\", installRoot, language);
        int count = 0;
        float unused = 0;
        // The copier traces what it did not copy.
        if (copier.XCopy(spec, dest, 0, job->cancel, &count, 1, &unused, copyProgressRoutine,
                         &record) != -1)
            return true;
        ++notApplied;
        *job->cancel = 1;
        return false;
    }

    // True when the log and its fixed lines were written.
    bool openLog() {
        log = createFileList(job->installFolder);
        if (!log) {
            traceFailure(job->debug, "_install", "install log not created", job->installFolder);
            ++notApplied;
            return false;
        }
        char support[kText];
        formatText(support, sizeof support, "Support\\%s\\*.*", job->languagePrefix);
        bool ok = logLine(0, 0, "cache.dat", false);
        ok = logLine(0, 0, "C_TMP00_.DAT", false) && ok;
        ok = logLine(1, 1, "Support\\*.*", false) && ok;
        return logLine(1, 1, support, false) && ok;
    }

    void installLine(const std::string& line) {
        FileListEntry entry;
        if (!parseFileListLine(line.c_str(), &entry) || entry.level == 0)
            return;
        const int disc = entry.disc;
        const int level = entry.level;
        const bool recursive = entry.recursive;
        const char* path = entry.path;
        if (!path[0] && disc == 1)
            return;
        // The list comes from the disc; an entry that would reach outside the
        // install folder (absolute, drive letter, "..") is neither logged nor
        // copied.
        if (path[0] && !isInstallRelativePath(path))
            return;

        if (log && path[0])
            logLine(disc, level, path, recursive);
        if (disc != job->currentDisc && job->currentDisc == 1)
            copyReadme();
        if (level > job->installType)
            return;

        char folderPart[kText] = "";
        if (path[0]) {
            copyText(job->currentFile, kText, path);
            copier.extractPath(folderPart, path);
            if (strcmp(folderPart, ".") == 0)
                folderPart[0] = '\0';
        }
        if (disc != job->currentDisc) {
            // The host's cancel flag is the request's cancel state, so the host
            // can stop a disc request too.
            requestDisc(&job->currentDisc, disc, job->sourceRoot, job->cancel, job->debug, 1,
                        job->productGuid, sizeof job->sourceRoot);
            publishDisc();
            if (*job->cancel == -1)
                *job->cancel = 1;
            if (*job->cancel == 1)
                return;
            if (job->currentDisc == disc)
                extractCurrentDisc();
        }
        if (!path[0])
            return;

        char source[kText * 2];
        withTrailingBackslash(source, sizeof source, job->sourceRoot);
        appendText(source, sizeof source, path);
        size_t sourceLen = strlen(source);
        if (sourceLen > 0 && source[sourceLen - 1] == '\\') {
            char folder[kText];
            formatText(folder, sizeof folder, "%s\\%s", job->installFolder, folderPart);
            createFolderOnce(folder);
            return;
        }
        char destFolder[kText];
        copyText(destFolder, job->installFolder);
        if (folderPart[0]) {
            appendText(destFolder, "\\");
            appendText(destFolder, folderPart);
        }
        char trace[kText * 3];
        if (hasWildcard(source) || recursive) {
            if (job->debug) {
                formatText(trace, sizeof trace, "%s->%s", source, destFolder);
                DebugMessageBox(nullptr, trace, "_install", 0);
            }
            int count = 0;
            float unused = 0;
            if (copier.XCopy(source, destFolder, recursive ? 1 : 0, job->cancel, &count, 1,
                             &unused, copyProgressRoutine, &record) == -1) {
                ++notApplied;
                *job->cancel = 1;
            }
            return;
        }
        createFolderOnce(destFolder);
        char name[kText], dest[kText * 2];
        copier.extractFilename(name, source);
        formatText(dest, sizeof dest, "%s\\%s", destFolder, name);
        if (job->debug) {
            formatText(trace, sizeof trace, "%s->%s", source, dest);
            DebugMessageBox(nullptr, trace, "_install", 0);
        }
        // A failure the user cancelled has set the cancel flag, which ends the
        // loop at the next line.  The copier traces a file it did not copy,
        // also one the user chose to go on without.
        if (!copier.MyCopyFile(source, dest, job->cancel, copyProgressRoutine, &record))
            ++notApplied;
    }

    void debugSummary() {
        char text[256];
        formatText(text, sizeof text, "Expected install size:  %I64d", job->expectedBytes);
        DebugMessageBox(nullptr, text, "_install", 0);
        formatText(text, sizeof text, "Total Copied size:  %I64d", copied);
        DebugMessageBox(nullptr, text, "_install", 0);
        formatText(text, sizeof text, "# bytes exceeding 100%%:  %I64d", g_progressOverflowTotal);
        DebugMessageBox(nullptr, text, "_install", 0);
        double actual = job->expectedBytes ? copied * 100.0 / job->expectedBytes : 0.0;
        formatText(text, sizeof text, "Actual percent transferred:  %.2f%%", actual);
        DebugMessageBox(nullptr, text, "_install", 0);
        formatText(text, sizeof text, "Changes not applied:  %d", notApplied);
        DebugMessageBox(nullptr, text, "_install", 0);
    }

    // The installer state follows the disc requests' search, for the host
    // and for whatever the library does after the copy.
    void publishDisc() {
        if (job->publishDisc)
            job->publishDisc(job->sourceRoot, job->currentDisc);
    }

    void run() {
        // Hosts have always seen the running flag come up a second after the
        // start and poll accordingly; the pause is kept for them.
        Sleep(1000);
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
        *job->cancel = 0;
        *job->running = 1;
        *job->percent = 0.0f;
        createFolder(job->installFolder);

        copySupportFiles();
        std::vector<std::string> work;
        if (!loadFileList(&work, job->listPath)) {
            *job->cancel = 1;
        } else {
            job->currentDisc = identifyDisc(job->sourceRoot, job->debug, job->productGuid);
            publishDisc();
            openLog();
            extractCurrentDisc();
            for (const std::string& line : work) {
                if (*job->cancel == 1)
                    break;
                installLine(line);
            }
            if (job->expectedBytes != 0) {
                double p = copied * 100.0 / job->expectedBytes;
                *job->percent = static_cast<float>(p > 100.0 ? 100.0 : p);
            }
            if (log)
                fclose(log);
            log = nullptr;
        }
        if (job->currentDisc == 1 &&
            !copyReadMe(job->sourceRoot, job->languagePrefix, job->installFolder,
                        job->readmeFile, job->debug))
            ++notApplied;
        *job->running = 0;
        if (job->debug)
            debugSummary();
    }
};

unsigned __stdcall installThreadEntry(void* arg) {
    installThread(static_cast<InstallJob*>(arg));
    return 0;
}

} // namespace

bool loadFileList(std::vector<std::string>* work, const char* listPath) {
    for (;;) {
        work->clear();
        bool common = readListLines("common_filelist.txt", work);
        std::vector<std::string> language;
        bool languageOpened = readListLines(listPath, &language);
        mergeFileLists(work, language);
        if (common || languageOpened)
            return true;

        // The list lies in the install-from location: its drive is asked for.
        if (askForDisc(listPath ? listPath[0] : '\0', kTextQuitInstall) == kPromptQuit)
            return false;
        char root[4] = {listPath && listPath[0] ? listPath[0] : 'C', ':', '\\', '\0'};
        SetCurrentDirectoryA(root);
    }
}

void installThread(InstallJob* job) {
    {
        Worker worker(job);
        worker.run();
    }
    delete job;
}

namespace {

// The library's own handle to the copy worker started last: the host may
// close the one it was given.
HANDLE s_copyWorker = nullptr;
unsigned s_copyWorkerId = 0;

void forgetCopyWorker() {
    if (s_copyWorker)
        CloseHandle(s_copyWorker);
    s_copyWorker = nullptr;
}

} // namespace

void* startInstallThread(InstallJob* job) {
    unsigned id = 0;
    uintptr_t handle = _beginthreadex(nullptr, 1024000, installThreadEntry, job, 0, &id);
    if (handle == 0) {
        delete job;
        return nullptr;
    }
    forgetCopyWorker();
    s_copyWorkerId = id;
    HANDLE own = nullptr;
    if (DuplicateHandle(GetCurrentProcess(), reinterpret_cast<HANDLE>(handle), GetCurrentProcess(),
                        &own, SYNCHRONIZE | THREAD_SUSPEND_RESUME, FALSE, 0))
        s_copyWorker = own;
    return reinterpret_cast<void*>(handle);
}

void resumeCopyWorker() {
    CZKCopyFile::copySuspended = false;
    if (!s_copyWorker)
        return;
    // ResumeThread answers the count before it; above 1 the thread still sleeps.
    for (int i = 0; i < 64 && ResumeThread(s_copyWorker) > 1; ++i) {
    }
}

bool waitForCopyWorker(unsigned long ms, int* cancel) {
    // Called from the worker itself (a host's callback during the copy), it
    // would only wait for its own end.
    if (s_copyWorker && GetCurrentThreadId() == s_copyWorkerId)
        return false;
    DWORD start = GetTickCount();
    while (s_copyWorker) {
        if (cancel)
            *cancel = 1;
        // A worker that checked the pause switch just before it was cleared
        // suspends itself afterwards: resume it on every round.
        resumeCopyWorker();
        if (WaitForSingleObject(s_copyWorker, 10) != WAIT_TIMEOUT) {
            forgetCopyWorker();
            return true;
        }
        if (GetTickCount() - start >= ms)
            return false;
    }
    return true;
}

bool copyReadMe(const char* installFrom, const char* prefix, const char* installFolder,
                const char* readmeFile, bool debug) {
    char folder[kText];
    formatText(folder, sizeof folder, "%s\\ReadMe", installFrom);
    CZKCopyFile copier;
    copier.setDebugMode(debug);
    if (!copier.dirExists(folder))
        return true;
    char source[kText], destFolder[kText], dest[kText], entry[kText];
    formatText(source, sizeof source, "%s\\%s_readme.txt", folder, prefix);
    formatText(destFolder, sizeof destFolder, "%s\\Support", installFolder);
    formatText(dest, sizeof dest, "%s\\%s", destFolder, readmeFile);
    // The copier traces a folder it cannot make; the copy then fails too.
    copier.createDirectory(destFolder, 0);
    bool ok = CopyFileA(source, dest, FALSE) != FALSE;
    if (!ok)
        traceFailure(debug, "copyReadMe", "not copied", dest);
    // Logged either way, as it always was: removing a missing file is harmless.
    formatText(entry, sizeof entry, "Support\\%s", readmeFile);
    if (!appendFileListEntry(1, 1, entry, installFolder, debug))  // traced there
        ok = false;
    // Gives the file system a moment before the attributes of the new copy
    // are read back, as the readme copy has always done.
    Sleep(100);
    DWORD attributes = GetFileAttributesA(dest);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        !clearReadOnly(dest)) {
        traceFailure(debug, "copyReadMe", "left read-only", dest);
        ok = false;
    }
    return ok;
}

} // namespace zk
