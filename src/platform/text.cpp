#include "platform/text.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace zk {

void copyText(char* dst, size_t cap, const char* src) {
    if (!dst || cap == 0)
        return;
    if (!src)
        src = "";
    size_t n = strnlen(src, cap - 1);
    memmove(dst, src, n);
    dst[n] = '\0';
}

void appendText(char* dst, size_t cap, const char* src) {
    if (!dst || cap == 0)
        return;
    size_t used = strnlen(dst, cap - 1);
    copyText(dst + used, cap - used, src);
}

void formatTextV(char* dst, size_t cap, const char* fmt, va_list args) {
    if (!dst || cap == 0)
        return;
    int n = vsnprintf(dst, cap, fmt, args);
    if (n < 0)
        dst[0] = '\0';
    dst[cap - 1] = '\0';
}

void formatText(char* dst, size_t cap, const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    formatTextV(dst, cap, fmt, args);
    va_end(args);
}

void trimText(char* text) {
    if (!text)
        return;
    size_t len = strlen(text);
    while (len > 0 && isspace(static_cast<unsigned char>(text[len - 1])))
        text[--len] = '\0';
    size_t start = 0;
    while (text[start] && isspace(static_cast<unsigned char>(text[start])))
        ++start;
    if (start)
        memmove(text, text + start, len - start + 1);
}

void cutTrailingBackslash(char* text) {
    size_t len = text ? strlen(text) : 0;
    if (len > 0 && text[len - 1] == '\\')
        text[len - 1] = '\0';
}

} // namespace zk
