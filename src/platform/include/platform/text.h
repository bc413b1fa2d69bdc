// text.h - bounded copies into the library's fixed text fields.
// Every copy into a fixed buffer goes through these helpers: overlong input is
// cut, never overflows, and the result is always terminated.
#ifndef ZK_CORE_TEXT_H
#define ZK_CORE_TEXT_H

#include <cstdarg>
#include <cstddef>

namespace zk {

// The size of the library's fixed text fields and of the callers' buffers.
const int kText = 260;

// Copies at most cap-1 characters of src (null counts as "") and terminates.
void copyText(char* dst, size_t cap, const char* src);
// Appends as much of src as fits.
void appendText(char* dst, size_t cap, const char* src);
// printf into dst, cut to cap-1 characters and terminated.
void formatText(char* dst, size_t cap, const char* fmt, ...)
    __attribute__((format(printf, 3, 4)));
void formatTextV(char* dst, size_t cap, const char* fmt, va_list args);
// Removes white space at both ends, in place.
void trimText(char* text);
// Cuts one trailing backslash, if there is one.
void cutTrailingBackslash(char* text);

template <size_t N>
inline void copyText(char (&dst)[N], const char* src) {
    copyText(dst, N, src);
}
template <size_t N>
inline void appendText(char (&dst)[N], const char* src) {
    appendText(dst, N, src);
}

} // namespace zk

#endif
