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
    __int64 expected, copied = 0, fileDone = 0;
    float percent = -1.0f;  // never a value the routine writes
    _zk_copyprogress record;

    explicit Progress(__int64 expectedTotal)
        : expected(expectedTotal),
          record{&expected, &copied, &percent, nullptr, &fileDone, false, false} {}

    // One call of the routine as a copy reports `transferred` bytes of the file.
    void report(__int64 transferred) {
        LARGE_INTEGER n;
        n.QuadPart = transferred;
        zk::copyProgressRoutine(n, n, n, n, 0, 0, nullptr, nullptr, &record);
    }
};

// Bytes that differ from block to block, so a misplaced block shows.
inline std::string content(size_t size, unsigned seed) {
    std::string out(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        out[i] = static_cast<char>(seed >> 16);
    }
    return out;
}

} // namespace copytest

#endif
