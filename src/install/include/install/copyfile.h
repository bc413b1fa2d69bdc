// copyfile.h - the copy engine's process-wide pieces that other parts of the
// library (the installation thread, archive extraction) and the tests reach.
#ifndef ZK_INSTALL_COPYFILE_H
#define ZK_INSTALL_COPYFILE_H

#include "ZKInstall.h"

namespace zk {

// The standard progress routine: keeps the record's copied total, the current
// file's counted bytes and, on every twelfth call, the percentage.  The context
// is a _zk_copyprogress.  Always answers "continue".
DWORD __stdcall copyProgressRoutine(LARGE_INTEGER totalSize, LARGE_INTEGER totalTransferred,
                                    LARGE_INTEGER streamSize, LARGE_INTEGER streamTransferred,
                                    DWORD streamNumber, DWORD callbackReason, HANDLE source,
                                    HANDLE destination, LPVOID context);

// Process-wide state of copyProgressRoutine: calls since the percentage was
// last written, and the bytes counted after the copied total passed the
// expected total.
extern int g_progressCallCount;
extern __int64 g_progressOverflowTotal;

// The system's copy-with-progress call, as CopyFileExA.
typedef BOOL(WINAPI* CopyFileExFn)(LPCSTR, LPCSTR, LPPROGRESS_ROUTINE, LPVOID, LPBOOL, DWORD);

// Replaces the looked-up system copy for the rest of the process (null makes
// every copy use the library's own copier) and lets the next MyCopyFile decide
// again which copier to use.  restoreSystemCopy returns to the looked-up entry.
void overrideSystemCopy(CopyFileExFn copy);
void restoreSystemCopy();
// True while copies with a progress routine go through the system copy.
bool usingSystemCopy();

// Makes a read-only file writable; true when it was read-only and now is not.
bool clearReadOnly(const char* path);

// Replaces the start of the registration tool: the seam receives the tool and
// its arguments instead of a process being started and answers the tool's
// exit code (0: registered).  Null restores the tool.
typedef unsigned long (*RegistrationSeam)(const char* tool, const char* arguments);
void setRegistrationSeam(RegistrationSeam seam);

// Traces, in debug mode, a change that did not apply: "<what>: <name>" under
// the caption of the function that gave up on it.  The thread's last error is
// kept for the caller.
void traceFailure(bool debug, const char* caption, const char* what, const char* name);

} // namespace zk

#endif
