#include "bounded.h"

#include <cstring>

namespace autorun {

void copyText(char* dst, size_t cap, const char* src) {
    if (!dst || cap == 0)
        return;
    if (!src)
        src = "";
    size_t n = strnlen(src, cap - 1);
    memmove(dst, src, n);
    dst[n] = '\0';
}

} // namespace autorun
