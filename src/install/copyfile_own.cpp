// CZKCopyFile's own copier, used where the system offers no copy with
// progress, and the standard progress routine that keeps an installation's
// totals and percentage.
#include "install/copyfile.h"

#include "copyfile_parts.h"

namespace zk {
int g_progressCallCount = 0;
__int64 g_progressOverflowTotal = 0;
} // namespace zk

namespace {

const DWORD kCopyBufferSize = 0x20000;

// The own copier's one buffer: no allocation per file.
char s_copyBuffer[kCopyBufferSize];

} // namespace

namespace zk {

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
