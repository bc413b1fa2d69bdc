// Archive extraction: the numbered zip archives of a disc, read with minizip
// and written member by member into the install folder.
#include "install/archive.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "unzip.h"

#include "core/host.h"
#include "core/installer.h"
#include "core/prompts.h"
#include "platform/text.h"
#include "install/copyfile.h"
#include "install/filelist.h"

namespace zk {

namespace {

const int kChunk = 8192;
// Longest member name read from an archive.
const int kNameLength = 256;
// A member whose name or path does not fit is a failure, never cut short:
// a cut path would name some other file.
const int kNameTooLong = UNZ_PARAMERROR;

int cancelExtraction(const char*) { return kArchiveCancel; }

char consolePrompt(const char* path) {
    for (;;) {
        printf("The file %s exist. Overwrite ? [y]es, [n]o, [A]ll: ", path);
        fflush(stdout);
        char answer[64];
        if (!fgets(answer, sizeof answer, stdin))
            return 'n';
        char c = static_cast<char>(tolower(static_cast<unsigned char>(answer[0])));
        if (c == 'y' || c == 'n' || c == 'a')
            return c;
    }
}

// One driver call's settings, shared by the member extraction.  Process-wide:
// one extraction runs at a time.
struct Driver {
    const char* destination = "";
    char* currentFile = nullptr;
    __int64* expectedTotal = nullptr;
    __int64* copiedTotal = nullptr;
    float* percent = nullptr;
    FILE* log = nullptr;
    int* cancel = nullptr;
    bool withoutFolders = false;
    bool overwrite = false;

    __int64 archiveTotal = 0;  // uncompressed sizes of the archive's members
    __int64 archiveDone = 0;   // bytes of this archive written so far
    __int64 countedMark = 0;   // highest archiveDone already in the copied total
};

Driver s_driver;
// The error of the last member write that failed, for the retry question.
DWORD s_writeError = 0;
ArchiveErrorRoutine s_onError = cancelExtraction;
OverwritePrompt s_prompt = consolePrompt;
// The member's name as it goes into the log line.
char s_logName[kText];

bool cancelled() { return s_driver.cancel && *s_driver.cancel != 0; }

void pumpOneMessage() {
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Adds the bytes beyond what a former attempt at this member already counted.
void countProgress() {
    Driver& d = s_driver;
    if (!d.expectedTotal || *d.expectedTotal == 0 || !d.copiedTotal)
        return;
    if (d.archiveDone <= d.countedMark)
        return;
    *d.copiedTotal += d.archiveDone - d.countedMark;
    d.countedMark = d.archiveDone;
    if (d.percent) {
        double p = static_cast<double>(*d.copiedTotal) / static_cast<double>(*d.expectedTotal) *
                   100.0;
        if (p > 100.0)
            p = 100.0;
        if (p < 0.0)
            p = 0.0;
        *d.percent = static_cast<float>(p);
    }
}

// Creates every folder on the way to the last backslash of path; true when
// that folder exists afterwards.  Levels that cannot be made (a drive's root,
// a share's server) are passed over: the last level decides.
bool createParentFolders(const char* path) {
    char folder[kText];
    copyText(folder, path);
    char* last = strrchr(folder, '\\');
    if (!last)
        return true;
    for (char* p = folder; p < last; ++p) {
        if (*p != '\\' || p == folder)
            continue;
        *p = '\0';
        CreateDirectoryA(folder, nullptr);
        *p = '\\';
    }
    *last = '\0';
    CreateDirectoryA(folder, nullptr);
    DWORD attributes = GetFileAttributesA(folder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Gives the written output the member's stored date and time (local time),
// as creation and last-write time.  Set on the open handle: reopening each
// file by name would cost as much again as creating it.
void restoreDate(HANDLE file, uLong dosDate) {
    FILETIME local, utc;
    if (!DosDateTimeToFileTime(HIWORD(dosDate), LOWORD(dosDate), &local) ||
        !LocalFileTimeToFileTime(&local, &utc))
        return;
    SetFileTime(file, &utc, nullptr, &utc);
}

// The attributes of an open file, 0 when they cannot be read.  The basic
// information query (Vista and later) reads only the file itself; the older
// full query also asks the volume, which costs far more under Wine.
DWORD openFileAttributes(HANDLE file) {
    struct BasicInfo {  // FILE_BASIC_INFO, information class 0
        LARGE_INTEGER creation, access, write, change;
        DWORD attributes;
    };
    typedef BOOL(WINAPI * QueryFn)(HANDLE, int, LPVOID, DWORD);
    static QueryFn query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFileInformationByHandleEx")));
    BasicInfo info;
    if (query)
        return query(file, 0, &info, sizeof info) ? info.attributes : 0;
    BY_HANDLE_FILE_INFORMATION full;
    return GetFileInformationByHandle(file, &full) ? full.dwFileAttributes : 0;
}

// Creates (or empties) the member's output.  A read-only file of an earlier
// installation in the way is made writable: found through the refused open
// or, where the system lets the open through, through the open handle.
// Looking it up by name before every member would cost a folder search per
// new file.
HANDLE createOutput(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        if (openFileAttributes(file) & FILE_ATTRIBUTE_READONLY)
            zk::clearReadOnly(path);
        return file;
    }
    if (GetLastError() != ERROR_ACCESS_DENIED || !zk::clearReadOnly(path))
        return file;
    return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Reads the current member's information and its name with backslashes.
int currentMember(unzFile zip, unz_file_info64* info, char* name, size_t cap) {
    char stored[kNameLength + 1];
    int err = unzGetCurrentFileInfo64(zip, info, stored, sizeof stored, nullptr, 0, nullptr, 0);
    if (err != UNZ_OK)
        return err;
    copyText(name, cap, stored);
    for (char* p = name; *p; ++p)
        if (*p == '/')
            *p = '\\';
    // The cut name is still good enough to show the user.
    return info->size_filename > static_cast<uLong>(kNameLength) ? kNameTooLong : UNZ_OK;
}

// Writes the open member into the output, one chunk per message pumped.
int copyMember(unzFile zip, HANDLE output, char* buffer, __int64* written) {
    for (;;) {
        pumpOneMessage();
        if (cancelled())
            return UNZ_OK;
        int read = unzReadCurrentFile(zip, buffer, kChunk);
        if (read < 0)
            return read;
        if (read == 0)
            return UNZ_OK;
        DWORD count = 0;
        if (!WriteFile(output, buffer, static_cast<DWORD>(read), &count, nullptr)) {
            s_writeError = GetLastError();
            return UNZ_ERRNO;
        }
        if (count != static_cast<DWORD>(read)) {
            s_writeError = ERROR_DISK_FULL;  // a short write: no room left
            return UNZ_ERRNO;
        }
        *written += read;
        s_driver.archiveDone += read;
        countProgress();
    }
}

int extractMember(unzFile zip) {
    Driver& d = s_driver;
    unz_file_info64 info;
    char name[kText];
    int err = currentMember(zip, &info, name, sizeof name);
    if (err != UNZ_OK)
        return err;

    if (!isSafeMemberName(name)) {
        if (g_debugMode)
            DebugMessageBox(nullptr, name, "main_unzip: member outside the install folder refused",
                            MB_OK);
        return UNZ_OK;
    }

    char fullPath[kText];
    size_t destinationLength = strlen(d.destination);
    if (destinationLength + strlen(name) >= sizeof fullPath)
        return kNameTooLong;
    formatText(fullPath, sizeof fullPath, "%s%s", d.destination, name);

    copyText(s_logName, name);
    if (d.currentFile)
        copyText(d.currentFile, kText, s_logName);
    // A member the log does not name stays behind when the game is removed.
    if (d.log && !writeFileListLine(d.log, 1, 1, s_logName, false))
        traceFailure(g_debugMode, "main_unzip", "install log line not written", s_logName);

    if (d.archiveTotal == -1) {
        d.archiveTotal = static_cast<__int64>(info.uncompressed_size);
        d.archiveDone = 0;
    }

    size_t nameLength = strlen(name);
    if (nameLength > 0 && name[nameLength - 1] == '\\') {
        if (!d.withoutFolders) {
            createParentFolders(fullPath);
            CreateDirectoryA(fullPath, nullptr);
        }
        return UNZ_OK;
    }

    const char* output = fullPath;
    char flat[kText];
    if (d.withoutFolders) {
        const char* last = strrchr(name, '\\');
        if (last) {
            formatText(flat, sizeof flat, "%s%s", d.destination, last + 1);
            output = flat;
        }
    }

    char* buffer = static_cast<char*>(malloc(kChunk));
    if (!buffer)
        return UNZ_INTERNALERROR;

    err = unzOpenCurrentFile(zip);
    if (err != UNZ_OK) {
        unzCloseCurrentFile(zip);
        free(buffer);
        return err;
    }

    if (!d.overwrite && GetFileAttributesA(output) != INVALID_FILE_ATTRIBUTES) {
        char answer = s_prompt(output);
        if (answer == 'a') {
            d.overwrite = true;
        } else if (answer != 'y') {
            unzCloseCurrentFile(zip);
            free(buffer);
            return UNZ_OK;
        }
    }

    HANDLE file = createOutput(output);
    if (file == INVALID_HANDLE_VALUE && !d.withoutFolders && createParentFolders(output))
        file = createOutput(output);
    if (file == INVALID_HANDLE_VALUE) {
        // Reported, so the user may retry or cancel instead of an
        // installation that silently lacks the file.
        unzCloseCurrentFile(zip);
        free(buffer);
        return UNZ_ERRNO;
    }

    __int64 written = 0;
    err = copyMember(zip, file, buffer, &written);
    bool complete = err == UNZ_OK && !cancelled();
    // A stream that ends early passes the CRC check of what it gave; the
    // recorded size tells the member is incomplete.
    if (complete && written != static_cast<__int64>(info.uncompressed_size))
        err = UNZ_BADZIPFILE;
    // The member's own check (CRC) is only known once it is closed; the date
    // goes on the file before that and is of no harm on a member that then
    // fails, which is written again or reported.
    if (complete && err == UNZ_OK)
        restoreDate(file, info.dosDate);
    CloseHandle(file);
    int closeErr = unzCloseCurrentFile(zip);
    if (err == UNZ_OK)
        err = closeErr;
    free(buffer);
    return err;
}

void sumMembers(unzFile zip, __int64* total) {
    unz_file_info64 info;
    int err = unzGoToFirstFile(zip);
    while (err == UNZ_OK) {
        err = unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0);
        if (err != UNZ_OK)
            break;
        *total += static_cast<__int64>(info.uncompressed_size);
        err = unzGoToNextFile(zip);
    }
}

__int64 extractAll(unzFile zip) {
    Driver& d = s_driver;
    d.archiveTotal = 0;
    d.archiveDone = 0;
    d.countedMark = 0;
    unz_global_info64 global;
    if (unzGetGlobalInfo64(zip, &global) != UNZ_OK)
        return 0;
    sumMembers(zip, &d.archiveTotal);

    int err = unzGoToFirstFile(zip);
    while (err == UNZ_OK && !cancelled()) {
        __int64 remembered = d.archiveDone;
        int result = extractMember(zip);
        while (result != UNZ_OK && !cancelled()) {
            unz_file_info64 info;
            char name[kText];
            if (currentMember(zip, &info, name, sizeof name) != UNZ_OK)
                name[0] = '\0';
            d.archiveDone = remembered;
            int answer = s_onError(name);
            if (answer == kArchiveSkip) {
                // What the skipped member wrote is counted already; the next
                // member's bytes count from there.
                if (d.archiveDone < d.countedMark)
                    d.archiveDone = d.countedMark;
                break;
            }
            if (answer == kArchiveCancel) {
                *d.cancel = 1;
                break;
            }
            result = extractMember(zip);
        }
        if (cancelled())
            break;
        err = unzGoToNextFile(zip);
    }
    return d.archiveTotal;
}

} // namespace

void setOverwritePrompt(OverwritePrompt prompt) { s_prompt = prompt ? prompt : consolePrompt; }

__int64 main_unzip(int argc, const char* const* argv, const char* destination, char* currentFile,
                   __int64* expectedTotal, __int64* copiedTotal, float* percent, FILE* log,
                   int* cancel, ArchiveErrorRoutine onError) {
    static int noCancel;
    noCancel = 0;
    Driver& d = s_driver;
    d.destination = destination ? destination : "";
    d.currentFile = currentFile;
    d.expectedTotal = expectedTotal;
    d.copiedTotal = copiedTotal;
    d.percent = percent;
    d.log = log;
    d.cancel = cancel ? cancel : &noCancel;
    d.withoutFolders = false;
    d.overwrite = false;
    if (onError)
        s_onError = onError;

    if (argc < 2 || !argv)
        return -1;
    bool list = false;
    const char* archive = nullptr;
    const char* member = nullptr;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!arg)
            continue;
        if (arg[0] == '-') {
            for (const char* p = arg + 1; *p; ++p) {
                char c = static_cast<char>(tolower(static_cast<unsigned char>(*p)));
                if (c == 'l' || c == 'v')
                    list = true;
                else if (c == 'e')
                    d.withoutFolders = true;
                else if (c == 'o')
                    d.overwrite = true;
            }
        } else if (!archive) {
            archive = arg;
        } else if (!member) {
            member = arg;
        }
    }
    if (!archive)
        return -1;

    char opened[kText];
    copyText(opened, archive);
    unzFile zip = strlen(archive) < sizeof opened ? unzOpen(opened) : nullptr;
    if (!zip) {
        if (strlen(archive) + 4 >= sizeof opened)
            return -1;
        formatText(opened, sizeof opened, "%s.zip", archive);
        zip = unzOpen(opened);
        if (!zip)
            return -1;
    }
    if (d.currentFile)
        copyText(d.currentFile, kText, opened);

    __int64 result = 0;
    if (list) {
        if (d.expectedTotal) {
            *d.expectedTotal = 0;
            sumMembers(zip, d.expectedTotal);
        }
    } else if (member) {
        if (unzLocateFile(zip, member, 0) == UNZ_OK) {
            d.archiveTotal = -1;
            d.archiveDone = 0;
            d.countedMark = 0;
            extractMember(zip);
        }
    } else {
        result = extractAll(zip);
    }
    // Closing frees the disc; nothing reads the archive after its members.
    unzClose(zip);
    return result;
}

void extractDiscArchives(char* scratch, const char* discRoot, const char* installFolder,
                         const char* prefix, char* currentFile, _zk_copyprogress* progress,
                         int* cancel, FILE* log) {
    char root[kText];
    copyText(root, discRoot);
    size_t n = strlen(root);
    if (n > 0 && root[n - 1] != '\\')
        appendText(root, "\\");
    char destination[kText];
    copyText(destination, installFolder);
    n = strlen(destination);
    if (n == 0 || destination[n - 1] != '\\')
        appendText(destination, "\\");

    __int64* expected = progress ? progress->expectedTotal : nullptr;
    __int64* copied = progress ? progress->copiedTotal : nullptr;
    float* percent = progress ? progress->percent : nullptr;
    char name[kText];
    for (int i = 0; i <= 9; ++i) {
        for (int language = 0; language < 2; ++language) {
            if (cancel && *cancel)
                return;
            const char* tail = language ? "_compressed.zip" : "compressed.zip";
            const char* middle = language && prefix ? prefix : "";
            // A name cut short could open some other archive.
            if (strlen(root) + 1 + strlen(middle) + strlen(tail) >= sizeof name)
                continue;
            formatText(name, sizeof name, "%s%d%s%s", root, i, middle, tail);
            if (scratch)
                copyText(scratch, kText, name);
            const char* argv[] = {"main_unzip", name, "-o"};
            main_unzip(3, argv, destination, currentFile, expected, copied, percent, log, cancel,
                       askCopyRetry);
        }
    }
}

int askCopyRetry(const char* member) {
    // Why the member failed reaches the host with the question.
    SetLastError(s_writeError);
    s_writeError = 0;
    return askRetryFile(member) == kPromptQuit ? kArchiveCancel : kArchiveRetry;
}

} // namespace zk
