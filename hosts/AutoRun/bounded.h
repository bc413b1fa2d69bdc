// bounded.h - AutoRun's copies into the library's fixed text buffers (cut to
// fit and always terminated, never past the end) and its answer trimming.
#ifndef AUTORUN_BOUNDED_H
#define AUTORUN_BOUNDED_H

#include <cstddef>
#include <string>

namespace autorun {

// The library's text buffers hold 260 bytes.
const size_t kPath = 260;

// Copies at most cap-1 characters of src (null counts as "") and terminates.
void copyText(char* dst, size_t cap, const char* src);

// The text without blanks and tabs at either end.
std::string trim(const std::string& text);

template <size_t N>
inline void copyText(char (&dst)[N], const char* src) {
    copyText(dst, N, src);
}

} // namespace autorun

#endif
