// CZKCopyFile, one file at a time: the choice between the system copy and the
// library's own, the copy with its retry dialog and self-suspension, and the
// registration of a COM server as it is copied.  The folder trees, the own
// copier and the file queries have files of their own (copyfile_*.cpp).
#include "install/copyfile.h"

#include <cstring>

#include "core/host.h"
#include "core/prompts.h"
#include "platform/text.h"
#include "copyfile_parts.h"

using namespace zk::copyparts;

bool CZKCopyFile::copySuspended = false;
bool CZKCopyFile::firstTime = true;
char CZKCopyFile::m_registerFilename[260] = "";

namespace {

zk::CopyFileExFn s_lookedUpCopy = nullptr;
bool s_copyOverridden = false;
zk::CopyFileExFn s_overrideCopy = nullptr;
bool s_copyDecided = false;
bool s_useSystemCopy = false;
zk::RegistrationSeam s_registrationSeam = nullptr;

zk::CopyFileExFn systemCopy() { return s_copyOverridden ? s_overrideCopy : s_lookedUpCopy; }

void suspendIfAsked() {
    if (CZKCopyFile::copySuspended)
        SuspendThread(GetCurrentThread());
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
namespace copyparts {

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

} // namespace copyparts

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
