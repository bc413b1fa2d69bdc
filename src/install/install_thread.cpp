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
#include "core/installer.h"
#include "core/text.h"
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
    char prefix[kText] = "";
    FILE* log = nullptr;

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
        int disc = *job->currentDisc;
        if (!discIsKnown(disc) || done[disc])
            return;
        char scratch[kText];
        extractDiscArchives(scratch, job->sourceRoot, job->installFolder, prefix, job->currentFile,
                            &record, job->cancel, log);
        done[disc] = true;
    }

    void createFolderOnce(const char* folder) {
        if (strcmp(folder, lastFolder) == 0)
            return;
        copier.createDirectory(folder, 0);
        copyText(lastFolder, folder);
    }

    void copyReadme() {
        record.suppress = true;
        ZKINSTALL_copyReadMe();
        record.suppress = false;
    }

    void copySupportFiles() {
        char root[kText], spec[kText], dest[kText];
        withTrailingBackslash(root, sizeof root, job->sourceRoot);
        char language[kText];
        ZKINSTALL_getLanguagePrefix(language);
        formatText(spec, sizeof spec, "%sSupport\\%s\\*.*", root, language);
        char installRoot[kText];
        withTrailingBackslash(installRoot, sizeof installRoot, job->installFolder);
        formatText(dest, sizeof dest, "%sSupport\\%s\\", installRoot, language);
        int count = 0;
        float unused = 0;
        if (copier.XCopy(spec, dest, 0, job->cancel, &count, 1, &unused, copyProgressRoutine,
                         &record) == -1)
            *job->cancel = 1;
    }

    void openLog() {
        log = createFileList(job->installFolder);
        if (!log)
            return;
        char language[kText];
        ZKINSTALL_getLanguagePrefix(language);
        char support[kText];
        formatText(support, sizeof support, "Support\\%s\\*.*", language);
        writeFileListLine(log, 0, 0, "cache.dat", false);
        writeFileListLine(log, 0, 0, "C_TMP00_.DAT", false);
        writeFileListLine(log, 1, 1, "Support\\*.*", false);
        writeFileListLine(log, 1, 1, support, false);
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
            writeFileListLine(log, disc, level, path, recursive);
        if (disc != *job->currentDisc && *job->currentDisc == 1)
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
        if (disc != *job->currentDisc) {
            // The host's cancel flag is the request's cancel state, so the host
            // can stop a disc request too.
            requestDisc(job->currentDisc, disc, job->sourceRoot, job->cancel, job->debug, 1,
                        job->productGuid);
            if (*job->cancel == -1)
                *job->cancel = 1;
            if (*job->cancel == 1)
                return;
            if (*job->currentDisc == disc)
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
                             &unused, copyProgressRoutine, &record) == -1)
                *job->cancel = 1;
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
        // loop at the next line.
        copier.MyCopyFile(source, dest, job->cancel, copyProgressRoutine, &record);
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
    }

    void run() {
        Sleep(1000);
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
        *job->cancel = 0;
        *job->running = 1;
        *job->percent = 0.0f;
        copier.createDirectory(job->installFolder, 0);

        copySupportFiles();
        std::vector<std::string> work;
        if (!loadFileList(&work, job->listPath)) {
            *job->cancel = 1;
        } else {
            *job->currentDisc = identifyDisc(job->sourceRoot, job->debug, job->productGuid);
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
        if (*job->currentDisc == 1)
            ZKINSTALL_copyReadMe();
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

        char drive[2] = {installer().m_installFrom[0], '\0'};
        char text[1024];
        hostMessage(47, drive, text, sizeof text);
        if (showMessage(nullptr, text, "", MB_OKCANCEL) == IDCANCEL) {
            hostString(46, text, sizeof text);
            if (showMessage(nullptr, text, "", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
                IDYES)
                return false;
        }
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

} // namespace zk

using namespace zk;

__int64 ZKINSTALL_getInstallSize(int type) {
    const CZKInstaller& s = installer();
    switch (type) {
    case 1: return s.m_installMinimum;
    case 2: return s.m_installSatisfactory;
    case 4: return s.m_installFullNoStreaming;
    default: return s.m_installFull;
    }
}

int ZKINSTALL_copyReadMe() {
    CZKInstaller& s = installer();
    char folder[kText];
    formatText(folder, sizeof folder, "%s\\ReadMe", s.m_installFrom);
    CZKCopyFile copier;
    if (!copier.dirExists(folder))
        return 0;
    char source[kText], destFolder[kText], dest[kText], entry[kText];
    formatText(source, sizeof source, "%s\\%s_readme.txt", folder, s.m_languagePrefix);
    formatText(destFolder, sizeof destFolder, "%s\\Support", s.m_installFolder);
    formatText(dest, sizeof dest, "%s\\%s", destFolder, s.m_readmeFile);
    copier.createDirectory(destFolder, 0);
    CopyFileA(source, dest, FALSE);
    formatText(entry, sizeof entry, "Support\\%s", s.m_readmeFile);
    ZKINSTALL_AddFileListEntry(1, 1, entry);
    Sleep(100);
    DWORD attributes = GetFileAttributesA(dest);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(dest, attributes & ~FILE_ATTRIBUTE_READONLY);
    return 0;
}

bool ZKINSTALL_copyCacheFiles(int installType, int* running, char* currentFile, float* percent,
                              int* cancel, __int64 expectedBytes, void** threadHandle) {
    CZKInstaller& s = installer();
    InstallJob* job = new InstallJob();
    job->installType = installType;
    char prefix[kText];
    ZKINSTALL_getLanguagePrefix(prefix);
    formatText(job->listPath, sizeof job->listPath, "%s\\%s_filelist.txt", s.m_installFrom,
               prefix);
    job->sourceRoot = s.m_installFrom;
    copyText(job->installFolder, s.m_installFolder);
    job->percent = percent;
    job->cancel = cancel;
    job->running = running;
    job->currentFile = currentFile;
    job->expectedBytes = expectedBytes;
    job->currentDisc = &s.m_currentDisc;
    job->startupDisc = s.m_startupDisc;
    job->debug = s.m_debug;
    job->productGuid = s.m_productGUID;
    uintptr_t handle = _beginthreadex(nullptr, 1024000, installThreadEntry, job, 0, nullptr);
    if (handle == 0) {
        delete job;
        if (threadHandle)
            *threadHandle = reinterpret_cast<void*>(static_cast<intptr_t>(-1));
        return true;
    }
    if (threadHandle)
        *threadHandle = reinterpret_cast<void*>(handle);
    return true;
}
