// bounded.h - AutoRun's copies into the library's fixed text buffers: cut to
// fit and always terminated, never past the end.
#ifndef AUTORUN_BOUNDED_H
#define AUTORUN_BOUNDED_H

#include <cstddef>

namespace autorun {

// The library's text buffers hold 260 bytes.
const size_t kPath = 260;

// Copies at most cap-1 characters of src (null counts as "") and terminates.
void copyText(char* dst, size_t cap, const char* src);

template <size_t N>
inline void copyText(char (&dst)[N], const char* src) {
    copyText(dst, N, src);
}

} // namespace autorun

#endif
