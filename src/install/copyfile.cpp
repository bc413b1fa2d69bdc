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

// The tool's exit code; kNotRun when it could not be started.
const unsigned long kNotRun = 0xFFFFFFFF;

unsigned long runRegistrationTool(const char* tool, const char* arguments) {
    if (s_registrationSeam)
        return s_registrationSeam(tool, arguments);
    // Registration is silent and best effort; a missing tool must not turn
    // into execAndWait's prompt for a disc.
    DWORD attributes = GetFileAttributesA(tool);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return kNotRun;
    char folder[kPath];
    zk::copyText(folder, tool);
    char* slash = strrchr(folder, '\\');
    if (slash)
        *slash = '\0';
    CZKSystem system;
    return system.execAndWait(tool, folder, arguments, 0, 1);
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

bool runRegistration(const char* tool, const char* form, const char* file, bool debug,
                     const char* caption) {
    char arguments[kPath * 2];
    zk::formatText(arguments, sizeof arguments, "%s \"%s\"", form, file);
    if (debug) {
        char text[kPath * 3];
        zk::formatText(text, sizeof text, "exec: %s %s", tool, arguments);
        DebugMessageBox(nullptr, text, caption, MB_OK);
    }
    unsigned long code = runRegistrationTool(tool, arguments);
    if (code == 0)
        return true;
    char what[96];
    if (code == kNotRun)
        zk::formatText(what, sizeof what, "registration (%s) not run", form);
    else
        zk::formatText(what, sizeof what, "registration (%s) failed with exit code %lu", form,
                       code);
    zk::traceFailure(debug, caption, what, file);
    return false;
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

void traceFailure(bool debug, const char* caption, const char* what, const char* name) {
    if (!debug)
        return;
    DWORD error = GetLastError();
    char text[kPath * 2];
    formatText(text, sizeof text, "%s: %s", what ? what : "", name ? name : "");
    DebugMessageBox(nullptr, text, caption, MB_OK);
    SetLastError(error);
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

// --- copying a file ----------------------------------------------------------------

namespace {

// What became of a file: MyCopyFile answers true for an ignored one too, so
// that the installation goes on, but it is not there.
enum CopyOutcome { kCopied, kIgnored, kNotCopied };

// The copy and its retry dialog.  A read-only destination refuses the copy;
// it is made writable and the copy tried again at once.  Looking before every
// copy would cost a folder search for each new file.
CopyOutcome copyWithRetry(CZKCopyFile& copier, const char* source, const char* destination,
                          int* cancel, LPPROGRESS_ROUTINE routine, _zk_copyprogress* record) {
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
                copied = copier.MyCopyFileEx(source, destination, routine, record, cancel, 0);
                error = GetLastError();
            }
        }
        if (copied)
            return kCopied;
        if (error == ERROR_REQUEST_ABORTED || (cancel && *cancel))
            return kNotCopied;
        if (!cleared && zk::clearReadOnly(destination)) {
            cleared = true;
            continue;
        }
        cleared = false;

        SetLastError(error);
        zk::PromptAnswer answer = zk::askRetryFile(source);
        if (answer == zk::kPromptQuit) {
            if (cancel)
                *cancel = 1;
            return kNotCopied;
        }
        if (answer != zk::kPromptRetry)
            return kIgnored;  // Ignore, or any other answer: go on without the file
    }
}

} // namespace

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

    CopyOutcome outcome = copyWithRetry(*this, source, destination, cancel, routine, record);
    if (outcome == kIgnored)
        zk::traceFailure(m_debug, "MyCopyFile", "not copied, ignored by the user", destination);
    else if (outcome == kNotCopied)
        zk::traceFailure(m_debug, "MyCopyFile", "not copied", destination);

    // The kind comes from the name alone; only programs and libraries are
    // looked up on disk, so a plain data file costs no extra search.
    RegistrationKind kind = registrationKind(destination);
    if (kind != kOther && fileExists(destination, false)) {
        const char* form = nullptr;
        if (kind == kProgram)
            form = "/s /regserver";
        else if (kind == kLibrary && DLLHasCOMObjects(destination))
            form = "/s";
        // A server that does not register leaves the copy in place; the
        // failure is traced.
        if (form)
            runRegistration(m_registerFilename, form, destination, m_debug, "MyCopyFile");
    }
    zk::clearReadOnly(destination);
    return outcome != kNotCopied;
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
