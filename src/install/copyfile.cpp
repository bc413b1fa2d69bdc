// CZKCopyFile: copies files and folder trees with progress, cancel, a retry
// dialog and self-suspension; finds and removes files; registers COM servers
// as they are copied and unregisters them as they are removed.
#include "install/copyfile.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "core/host.h"
#include "core/prompts.h"
#include "platform/text.h"

bool CZKCopyFile::copySuspended = false;
bool CZKCopyFile::firstTime = true;
char CZKCopyFile::m_registerFilename[260] = "";

namespace zk {
int g_progressCallCount = 0;
__int64 g_progressOverflowTotal = 0;
} // namespace zk

namespace {

const int kPath = 260;
const DWORD kCopyBufferSize = 0x20000;

// The fallback copier's one buffer: no allocation per file.
char s_copyBuffer[kCopyBufferSize];

zk::CopyFileExFn s_lookedUpCopy = nullptr;
bool s_copyOverridden = false;
zk::CopyFileExFn s_overrideCopy = nullptr;
bool s_copyDecided = false;
bool s_useSystemCopy = false;
zk::RegistrationSeam s_registrationSeam = nullptr;

zk::CopyFileExFn systemCopy() { return s_copyOverridden ? s_overrideCopy : s_lookedUpCopy; }

// Joins the parts into out; false (and out empty) when they do not fit, so a
// cut path can never name some other file.
bool joinPath(char* out, size_t cap, std::initializer_list<const char*> parts) {
    size_t total = 0;
    for (const char* p : parts)
        total += strlen(p);
    if (total >= cap) {
        out[0] = '\0';
        return false;
    }
    char joined[kPath * 2];
    size_t at = 0;
    for (const char* p : parts) {
        size_t n = strlen(p);
        memcpy(joined + at, p, n);
        at += n;
    }
    joined[at] = '\0';
    memcpy(out, joined, at + 1);
    return true;
}

bool isDots(const char* name) { return !strcmp(name, ".") || !strcmp(name, ".."); }

bool isFolderEntry(const WIN32_FIND_DATAA& found) {
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool folderExists(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void suspendIfAsked() {
    if (CZKCopyFile::copySuspended)
        SuspendThread(GetCurrentThread());
}

// Length of the part of a path that is never created: "C:\", the share of a
// UNC path, a leading backslash.
size_t rootLength(const char* path) {
    if (isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':')
        return path[2] == '\\' ? 3 : 2;
    if (path[0] == '\\' && path[1] == '\\') {
        const char* server = strchr(path + 2, '\\');
        const char* share = server ? strchr(server + 1, '\\') : nullptr;
        return share ? static_cast<size_t>(share - path) : strlen(path);
    }
    return path[0] == '\\' ? 1 : 0;
}

enum RegistrationKind { kOther, kLibrary, kProgram };

// Which files the registration tool serves: "dll" and "ocx" libraries (when
// they hold COM servers) and "exe" programs, by their extension in any case.
RegistrationKind registrationKind(const char* path) {
    const char* name = strrchr(path, '\\');
    name = name ? name + 1 : path;
    const char* dot = strrchr(name, '.');
    if (!dot || dot == name)
        return kOther;
    if (!lstrcmpiA(dot + 1, "dll") || !lstrcmpiA(dot + 1, "ocx"))
        return kLibrary;
    return !lstrcmpiA(dot + 1, "exe") ? kProgram : kOther;
}

void runRegistrationTool(const char* tool, const char* arguments);

// Runs the tool with `form` and the quoted file, traced in debug mode.
void runRegistration(const char* tool, const char* form, const char* file, bool debug,
                     const char* caption) {
    char arguments[kPath * 2];
    zk::formatText(arguments, sizeof arguments, "%s \"%s\"", form, file);
    if (debug) {
        char text[kPath * 3];
        zk::formatText(text, sizeof text, "exec: %s %s", tool, arguments);
        DebugMessageBox(nullptr, text, caption, MB_OK);
    }
    runRegistrationTool(tool, arguments);
}

void runRegistrationTool(const char* tool, const char* arguments) {
    if (s_registrationSeam) {
        s_registrationSeam(tool, arguments);
        return;
    }
    // Registration is silent and best effort; a missing tool must not turn
    // into execAndWait's prompt for a disc.
    DWORD attributes = GetFileAttributesA(tool);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    char folder[kPath];
    zk::copyText(folder, tool);
    char* slash = strrchr(folder, '\\');
    if (slash)
        *slash = '\0';
    CZKSystem system;
    system.execAndWait(tool, folder, arguments, 0, 1);
}

// What a system copy reports back, so a copy that never called the routine
// can still be counted.
struct ProgressWatch {
    LPPROGRESS_ROUTINE routine;
    void* context;
    bool called;
};

DWORD CALLBACK watchProgress(LARGE_INTEGER totalSize, LARGE_INTEGER totalTransferred,
                             LARGE_INTEGER streamSize, LARGE_INTEGER streamTransferred,
                             DWORD streamNumber, DWORD reason, HANDLE source, HANDLE destination,
                             LPVOID context) {
    ProgressWatch* watch = static_cast<ProgressWatch*>(context);
    watch->called = true;
    return watch->routine(totalSize, totalTransferred, streamSize, streamTransferred,
                          streamNumber, reason, source, destination, watch->context);
}

BOOL copyWithSystem(const char* source, const char* destination, LPPROGRESS_ROUTINE routine,
                    _zk_copyprogress* record, int* cancel) {
    ProgressWatch watch = {routine, record, false};
    BOOL copied = systemCopy()(source, destination, watchProgress, &watch,
                               reinterpret_cast<LPBOOL>(cancel), 0);
    DWORD error = GetLastError();
    if (copied && !watch.called) {
        // Some systems copy without ever calling back; count the file once so
        // the installation's totals and percentage still move.
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExA(destination, GetFileExInfoStandard, &data)) {
            LARGE_INTEGER size;
            size.LowPart = data.nFileSizeLow;
            size.HighPart = static_cast<LONG>(data.nFileSizeHigh);
            routine(size, size, size, size, 1, CALLBACK_CHUNK_FINISHED, nullptr, nullptr, record);
        }
    }
    SetLastError(error);
    return copied;
}

} // namespace

namespace zk {

bool clearReadOnly(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !(attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    attributes &= ~FILE_ATTRIBUTE_READONLY;
    return SetFileAttributesA(path, attributes ? attributes : FILE_ATTRIBUTE_NORMAL) != FALSE;
}


void overrideSystemCopy(CopyFileExFn copy) {
    s_copyOverridden = true;
    s_overrideCopy = copy;
    s_copyDecided = false;
}

void restoreSystemCopy() {
    s_copyOverridden = false;
    s_overrideCopy = nullptr;
    s_copyDecided = false;
}

bool usingSystemCopy() { return s_copyDecided ? s_useSystemCopy : systemCopy() != nullptr; }

void setRegistrationSeam(RegistrationSeam seam) { s_registrationSeam = seam; }

DWORD __stdcall copyProgressRoutine(LARGE_INTEGER, LARGE_INTEGER totalTransferred, LARGE_INTEGER,
                                    LARGE_INTEGER, DWORD, DWORD, HANDLE, HANDLE,
                                    LPVOID context) {
    _zk_copyprogress* record = static_cast<_zk_copyprogress*>(context);
    if (!record || record->suppress)
        return PROGRESS_CONTINUE;

    __int64 transferred = totalTransferred.QuadPart;
    __int64 delta = transferred - (record->fileDone ? *record->fileDone : 0);
    if (record->fileDone)
        *record->fileDone = transferred;
    __int64 copied = 0;
    if (record->copiedTotal) {
        *record->copiedTotal += delta;
        copied = *record->copiedTotal;
    }
    __int64 expected = record->expectedTotal ? *record->expectedTotal : 0;

    // The percentage is written on every twelfth call only.
    if (g_progressCallCount++ > 10) {
        if (expected != 0 && record->percent) {
            double percent = static_cast<double>(copied) / static_cast<double>(expected) * 100.0;
            *record->percent = static_cast<float>(percent > 100.0 ? 100.0 : percent);
        }
        g_progressCallCount = 0;
    }
    if (copied > expected)
        g_progressOverflowTotal += delta;
    return PROGRESS_CONTINUE;
}

} // namespace zk

// --- construction ------------------------------------------------------------------

CZKCopyFile::CZKCopyFile() : m_debug(false) {
    if (!firstTime)
        return;
    char system[kPath] = {};
    CZKSystem().getWindowsSystemPath(system);
    zk::formatText(m_registerFilename, sizeof m_registerFilename, "%s\\%s", system,
                   "regsvr32.exe");
    // Kept loaded for the life of the process: the entry is used on every copy.
    HMODULE kernel = LoadLibraryA("KERNEL32.DLL");
    s_lookedUpCopy = kernel ? reinterpret_cast<zk::CopyFileExFn>(reinterpret_cast<void*>(
                                  GetProcAddress(kernel, "CopyFileExA")))
                            : nullptr;
    firstTime = false;
    copySuspended = false;
}

CZKCopyFile::~CZKCopyFile() {}

CZKCopyFile& CZKCopyFile::operator=(const CZKCopyFile& other) {
    m_debug = other.m_debug;
    return *this;
}

void CZKCopyFile::setDebugMode(bool debug) { m_debug = debug; }

// --- path pieces -------------------------------------------------------------------

void CZKCopyFile::extractExtension(char* out, const char* name) {
    out[0] = '\0';
    if (!name)
        return;
    for (size_t i = strlen(name); i-- > 1;) {
        if (name[i] == '.') {
            zk::copyText(out, kPath, name + i + 1);
            return;
        }
    }
}

void CZKCopyFile::extractFilename(char* out, const char* path) {
    const char* slash = path ? strrchr(path, '\\') : nullptr;
    zk::copyText(out, kPath, slash ? slash + 1 : path);
}

void CZKCopyFile::extractPath(char* out, const char* path) {
    const char* slash = path ? strrchr(path, '\\') : nullptr;
    if (!slash) {
        zk::copyText(out, kPath, ".");
        return;
    }
    size_t n = static_cast<size_t>(slash - path);
    zk::copyText(out, n + 1 < kPath ? n + 1 : kPath, path);
}

int CZKCopyFile::isFile(const CString& path, DWORD* sizeHigh, DWORD* sizeLow) {
    if (sizeHigh)
        *sizeHigh = 0;
    if (sizeLow)
        *sizeLow = 0;
    if (!path.m_pszData)
        return 0;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(path.m_pszData, &found);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(h);
    if (isFolderEntry(found))
        return 0;
    if (sizeHigh)
        *sizeHigh = found.nFileSizeHigh;
    if (sizeLow)
        *sizeLow = found.nFileSizeLow;
    return 1;
}

bool CZKCopyFile::fileExists(const char* path, bool showDebug) {
    WIN32_FIND_DATAA found;
    HANDLE h = path ? FindFirstFileA(path, &found) : INVALID_HANDLE_VALUE;
    if (h == INVALID_HANDLE_VALUE) {
        if (showDebug)
            DebugMessageBox(nullptr, "FindFirstFile returned INVALID_HANDLE_VALUE", path, MB_OK);
        return false;
    }
    FindClose(h);
    bool folder = isFolderEntry(found);
    if (showDebug)
        DebugMessageBox(nullptr, path,
                        folder ? "File is a directory (FileExists)" : "Found! (FileExists)", MB_OK);
    return !folder;
}

bool CZKCopyFile::dirExists(const char* path) {
    WIN32_FIND_DATAA found;
    HANDLE h = path ? FindFirstFileA(path, &found) : INVALID_HANDLE_VALUE;
    if (h == INVALID_HANDLE_VALUE)
        return false;
    FindClose(h);
    return isFolderEntry(found);
}

// --- copying a file ----------------------------------------------------------------

bool CZKCopyFile::MyCopyFile(const char* source, const char* destination, int* cancel,
                             LPPROGRESS_ROUTINE routine, _zk_copyprogress* record) {
    if (!source || !destination) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    if (!s_copyDecided) {
        s_useSystemCopy = systemCopy() != nullptr;
        s_copyDecided = true;
    }
    suspendIfAsked();

    bool ok = false;
    // A read-only destination refuses the copy; it is made writable and the
    // copy tried again at once.  Looking before every copy would cost a folder
    // search for each new file.
    bool cleared = false;
    for (;;) {
        SetLastError(0);
        DWORD error = 0;
        BOOL copied = FALSE;
        if (!routine) {
            copied = CopyFileA(source, destination, FALSE);
        } else {
            if (record && record->fileDone)
                *record->fileDone = 0;
            if (s_useSystemCopy) {
                copied = copyWithSystem(source, destination, routine, record, cancel);
                error = GetLastError();
                suspendIfAsked();
                if (!copied && error == ERROR_CALL_NOT_IMPLEMENTED) {
                    s_useSystemCopy = false;
                    SetLastError(0);
                }
            }
            if (!s_useSystemCopy) {
                copied = MyCopyFileEx(source, destination, routine, record, cancel, 0);
                error = GetLastError();
            }
        }
        if (copied) {
            ok = true;
            break;
        }
        if (error == ERROR_REQUEST_ABORTED || (cancel && *cancel))
            break;
        if (!cleared && zk::clearReadOnly(destination)) {
            cleared = true;
            continue;
        }
        cleared = false;

        zk::PromptAnswer answer = zk::askRetryFile(source);
        if (answer == zk::kPromptQuit) {
            if (cancel)
                *cancel = 1;
            break;
        }
        if (answer == zk::kPromptRetry)
            continue;
        // Ignore, or any other answer: go on as if the file had been copied.
        ok = true;
        break;
    }

    // The kind comes from the name alone; only programs and libraries are
    // looked up on disk, so a plain data file costs no extra search.
    RegistrationKind kind = destination ? registrationKind(destination) : kOther;
    if (kind != kOther && fileExists(destination, false)) {
        const char* form = nullptr;
        if (kind == kProgram)
            form = "/s /regserver";
        else if (kind == kLibrary && DLLHasCOMObjects(destination))
            form = "/s";
        if (form)
            runRegistration(m_registerFilename, form, destination, m_debug, "MyCopyFile");
    }
    zk::clearReadOnly(destination);
    return ok;
}

int CZKCopyFile::MyCopyFileEx(const char* source, const char* destination,
                              LPPROGRESS_ROUTINE routine, void* context, int* cancel, DWORD) {
    SetLastError(0);
    CString sourcePath;
    sourcePath.m_pszData = source;
    DWORD high = 0, low = 0;
    if (!isFile(sourcePath, &high, &low)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    LARGE_INTEGER total;
    total.LowPart = low;
    total.HighPart = static_cast<LONG>(high);

    // An unreadable source fails before the destination is touched.
    HANDLE in = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (in == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        SetLastError(error ? error : ERROR_ACCESS_DENIED);
        return 0;
    }
    HANDLE out = CreateFileA(destination, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        CloseHandle(in);
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }

    int result = 1;
    DWORD error = 0;
    LARGE_INTEGER transferred;
    transferred.QuadPart = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in, s_copyBuffer, kCopyBufferSize, &got, nullptr)) {
            // Stop on a failed read: asking again would yield nothing for ever.
            error = GetLastError() ? GetLastError() : ERROR_READ_FAULT;
            result = 0;
            break;
        }
        if (got == 0)
            break;
        DWORD put = 0;
        if (!WriteFile(out, s_copyBuffer, got, &put, nullptr))
            put = 0;
        transferred.QuadPart += put;
        if (routine)
            routine(total, transferred, total, transferred, 0, CALLBACK_CHUNK_FINISHED, in, out,
                    context);
        if (cancel && *cancel) {
            error = ERROR_REQUEST_ABORTED;
            result = 0;
            break;
        }
        if (put < got) {
            error = ERROR_WRITE_FAULT;
            result = 0;
            break;
        }
    }
    CloseHandle(out);
    CloseHandle(in);
    // Like the system copy, leave no partial file behind.
    if (!result)
        DeleteFileA(destination);
    SetLastError(error);
    return result;
}

bool CZKCopyFile::DLLHasCOMObjects(const char* path) {
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    HMODULE module = path ? LoadLibraryA(path) : nullptr;
    if (!module) {
        SetErrorMode(previous);
        return false;
    }
    bool exported = GetProcAddress(module, "DllRegisterServer") != nullptr;
    FreeLibrary(module);
    SetErrorMode(previous);
    return exported;
}

// --- folders -----------------------------------------------------------------------

bool CZKCopyFile::createDirectory(const char* path, int start) {
    if (!path || !path[0] || strlen(path) >= static_cast<size_t>(kPath)) {
        SetLastError(path && path[0] ? ERROR_FILENAME_EXCED_RANGE : ERROR_INVALID_NAME);
        return false;
    }
    char work[kPath];
    zk::copyText(work, path);
    size_t length = strlen(work);
    size_t root = rootLength(work);

    // Ends of the folders this call created, so a failure removes only those.
    size_t created[kPath];
    int createdCount = 0;
    bool ok = true;
    for (size_t i = start > 0 ? static_cast<size_t>(start) : 0; i < length; ++i) {
        if (work[i] != '\\' || i <= root)
            continue;
        work[i] = '\0';
        if (!folderExists(work)) {
            if (CreateDirectoryA(work, nullptr))
                created[createdCount++] = i;
            else
                ok = false;
        }
        work[i] = '\\';
        if (!ok)
            break;
    }
    if (ok && !folderExists(work)) {
        if (CreateDirectoryA(work, nullptr))
            return true;
        ok = false;
    }
    if (ok)
        return true;

    DWORD error = GetLastError();
    // Roll back, deepest first; a folder that stays busy ends the walk.
    for (int k = createdCount - 1; k >= 0; --k) {
        work[created[k]] = '\0';
        bool removed = false;
        for (int attempt = 0; attempt < 3 && !removed; ++attempt) {
            removed = RemoveDirectoryA(work) != 0;
            if (!removed)
                Sleep(1000);
        }
        if (!removed)
            break;
    }
    SetLastError(error);
    return false;
}

int CZKCopyFile::XCopy(const char* wildcard, const char* destination, int recurse, int* cancel,
                       int* count, int, float*, LPPROGRESS_ROUTINE routine,
                       _zk_copyprogress* record) {
    int ownCount = 0;
    if (!count)
        count = &ownCount;
    if (!wildcard || !destination)
        return -1;

    DWORD attributes = GetFileAttributesA(destination);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        zk::clearReadOnly(destination);
        DeleteFileA(destination);
    }
    createDirectory(destination, 0);

    // "folder\pattern": the folder keeps its backslash; a bare pattern is
    // looked up in the current folder.
    char folder[kPath] = {};
    const char* pattern = wildcard;
    const char* slash = strrchr(wildcard, '\\');
    if (slash) {
        size_t n = static_cast<size_t>(slash - wildcard) + 1;
        if (n >= static_cast<size_t>(kPath))
            return -1;
        memcpy(folder, wildcard, n);
        folder[n] = '\0';
        pattern = slash + 1;
    }

    char query[kPath];
    if (!joinPath(query, sizeof query, {folder, pattern}))
        return -1;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(query, &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (isFolderEntry(found) || isDots(found.cFileName))
                continue;
            char from[kPath], to[kPath];
            if (!joinPath(from, sizeof from, {folder, found.cFileName}) ||
                !joinPath(to, sizeof to, {destination, "\\", found.cFileName}) ||
                !MyCopyFile(from, to, cancel, routine, record)) {
                FindClose(h);
                return -1;
            }
            ++*count;
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }

    if (recurse) {
        if (!joinPath(query, sizeof query, {folder, "*.*"}))
            return -1;
        h = FindFirstFileA(query, &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                if (!isFolderEntry(found) || isDots(found.cFileName))
                    continue;
                char subWildcard[kPath], subDestination[kPath];
                if (!joinPath(subWildcard, sizeof subWildcard, {folder, found.cFileName, "\\", pattern}) ||
                    !joinPath(subDestination, sizeof subDestination,
                              {destination, "\\", found.cFileName}) ||
                    XCopy(subWildcard, subDestination, recurse, cancel, count, 1, nullptr, routine,
                          record) == -1) {
                    FindClose(h);
                    return -1;
                }
            } while (FindNextFileA(h, &found));
            FindClose(h);
        }
    }
    return *count;
}

// Depth-first search of folder (and, with recurse, its subfolders) for the
// first file matching pattern.
static bool findIn(const char* folder, const char* pattern, int recurse, char* out) {
    char query[kPath];
    WIN32_FIND_DATAA found;
    if (joinPath(query, sizeof query, {folder, "\\", pattern})) {
        HANDLE h = FindFirstFileA(query, &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                char path[kPath];
                if (!isFolderEntry(found) && !isDots(found.cFileName) &&
                    joinPath(path, sizeof path, {folder, "\\", found.cFileName})) {
                    FindClose(h);
                    zk::copyText(out, kPath, path);
                    return true;
                }
            } while (FindNextFileA(h, &found));
            FindClose(h);
        }
    }
    if (!recurse || !joinPath(query, sizeof query, {folder, "\\*.*"}))
        return false;
    HANDLE h = FindFirstFileA(query, &found);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    bool hit = false;
    do {
        char sub[kPath];
        if (isFolderEntry(found) && !isDots(found.cFileName) &&
            joinPath(sub, sizeof sub, {folder, "\\", found.cFileName}))
            hit = findIn(sub, pattern, recurse, out);
    } while (!hit && FindNextFileA(h, &found));
    FindClose(h);
    return hit;
}

bool CZKCopyFile::findFile(const char* wildcard, int recurse, char* out) {
    if (!wildcard || !out)
        return false;
    char folder[kPath], pattern[kPath];
    extractPath(folder, wildcard);
    extractFilename(pattern, wildcard);
    return findIn(folder, pattern, recurse, out);
}

// --- removing ----------------------------------------------------------------------

int CZKCopyFile::Remove(char* path) {
    if (!path || !fileExists(path, false))
        return 1;
    RegistrationKind kind = registrationKind(path);
    const char* form = nullptr;
    if (kind == kProgram)
        form = "/s /UnregServer";
    else if (kind == kLibrary && DLLHasCOMObjects(path))
        form = "/u /s";
    if (form) {
        runRegistration(m_registerFilename, form, path, m_debug, "Remove");
        fflush(nullptr);
        // Give the server's unloading time to finish before the file goes.
        Sleep(1000);
    }
    zk::clearReadOnly(path);
    DeleteFileA(path);  // a file that stays is left to the caller's later passes
    return 1;
}

int CZKCopyFile::XRemove(char* wildcard, bool recurse) {
    if (!wildcard)
        return 1;
    char folder[kPath], name[kPath], base[kPath];
    extractPath(folder, wildcard);
    extractFilename(name, wildcard);
    if (!joinPath(base, sizeof base, {folder, "\\"}))
        return 1;

    // Every file it matches goes, whatever the pattern.
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(wildcard, &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            char target[kPath];
            if (!isFolderEntry(found) && !isDots(found.cFileName) &&
                joinPath(target, sizeof target, {base, found.cFileName}))
                Remove(target);
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }

    if (recurse) {
        // Folders the wildcard names go with their whole tree...
        h = FindFirstFileA(wildcard, &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                char sub[kPath];
                if (isFolderEntry(found) && !isDots(found.cFileName) &&
                    joinPath(sub, sizeof sub, {base, found.cFileName, "\\*.*"}))
                    XRemove(sub, true);
            } while (FindNextFileA(h, &found));
            FindClose(h);
        }
        // ...and the other subfolders lose what matches the name, as a recursive
        // XCopy of the same wildcard put it there.
        char query[kPath];
        if (strcmp(name, "*.*") != 0 && joinPath(query, sizeof query, {base, "*.*"})) {
            h = FindFirstFileA(query, &found);
            if (h != INVALID_HANDLE_VALUE) {
                do {
                    char sub[kPath];
                    if (isFolderEntry(found) && !isDots(found.cFileName) &&
                        joinPath(sub, sizeof sub, {base, found.cFileName, "\\", name}))
                        XRemove(sub, true);
                } while (FindNextFileA(h, &found));
                FindClose(h);
            }
        }
    }
    RemoveDirectoryA(folder);  // only succeeds once the folder is empty
    return 1;
}
