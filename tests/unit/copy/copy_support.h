// copy_support.h - helpers the copy engine's tests share.
#ifndef ZK_TESTS_COPY_SUPPORT_H
#define ZK_TESTS_COPY_SUPPORT_H

#include <windows.h>

#include <string>

#include "ZKInstall.h"
#include "install/copyfile.h"

namespace copytest {

// A progress record over its own counters.
struct Progress {
    __int64 expected = 0;
    __int64 copied = 0;
    __int64 fileDone = 0;
    float percent = -1.0f;  // never a value the routine writes
    _zk_copyprogress record;

    explicit Progress(__int64 expectedTotal) : expected(expectedTotal) {
        record.expectedTotal = &expected;
        record.copiedTotal = &copied;
        record.percent = &percent;
        record.reserved = nullptr;
        record.fileDone = &fileDone;
        record.debug = false;
        record.suppress = false;
    }

    // One call of the routine as a copy reports `transferred` bytes of the file.
    DWORD report(__int64 transferred) {
        LARGE_INTEGER total, done;
        total.QuadPart = transferred;
        done.QuadPart = transferred;
        return zk::copyProgressRoutine(total, done, total, done, 0, 0, nullptr, nullptr, &record);
    }
};

// Bytes that differ from block to block, so a misplaced block shows.
inline std::string content(size_t size, unsigned seed) {
    std::string out(size, '\0');
    unsigned x = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        out[i] = static_cast<char>(x >> 16);
    }
    return out;
}

inline bool isReadOnly(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

inline void setReadOnly(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
}

// Waits until the thread has suspended itself; false after `ms`.
inline bool waitUntilSuspended(HANDLE thread, DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += 20) {
        DWORD previous = SuspendThread(thread);
        ResumeThread(thread);
        if (previous != static_cast<DWORD>(-1) && previous >= 1)
            return true;
        Sleep(20);
    }
    return false;
}

} // namespace copytest

#endif
