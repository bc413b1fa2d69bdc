// isStrictlyInside and isSameFolder: the guards that ask the file system, for
// full and long path forms.
#include <windows.h>

#include <cstring>

#include "platform/guards.h"

namespace zk {

namespace {

const DWORD kPathCap = 1024;

// The full path with its longest existing head in long form: a file about to
// be written inside a folder named by its 8.3 form still compares with the
// folder's long name.  Trailing backslashes are cut; false when a form does
// not fit.
bool comparableForm(const char* path, char* out) {
    char full[kPathCap];
    DWORD length = GetFullPathNameA(path, kPathCap, full, nullptr);
    if (length == 0 || length >= kPathCap)
        return false;
    size_t cut = length;
    for (;;) {
        char head[kPathCap];
        memcpy(head, full, cut);
        head[cut] = '\0';
        char longHead[kPathCap];
        DWORD n = GetLongPathNameA(head, longHead, kPathCap);
        if (n > 0 && n < kPathCap) {
            size_t tail = length - cut;
            if (n + tail >= kPathCap)
                return false;
            memcpy(out, longHead, n);
            memcpy(out + n, full + cut, tail + 1);
            break;
        }
        // Nothing of it exists yet: shorten the head to its parent folder,
        // keeping the backslash so that a drive stays its root ("C:\").
        size_t slash = cut - 1;
        while (slash > 0 && full[slash - 1] != '\\')
            --slash;
        if (slash == 0) {
            memcpy(out, full, length + 1);
            break;
        }
        cut = slash;
    }
    size_t end = strlen(out);
    while (end > 0 && out[end - 1] == '\\')
        out[--end] = '\0';
    return true;
}

} // namespace

bool isStrictlyInside(const char* path, const char* folder) {
    if (!path || !path[0] || !folder || !folder[0])
        return false;
    char inner[kPathCap], outer[kPathCap];
    if (!comparableForm(path, inner) || !comparableForm(folder, outer))
        return false;
    size_t length = strlen(outer);
    // A separator right after the folder's name and a name after that (no
    // trailing backslash is left to stand for one).
    if (strlen(inner) < length + 2 || inner[length] != '\\')
        return false;
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, inner, static_cast<int>(length), outer,
                          static_cast<int>(length)) == CSTR_EQUAL;
}

bool isSameFolder(const char* a, const char* b) {
    if (!a || !a[0] || !b || !b[0])
        return false;
    char first[kPathCap], second[kPathCap];
    return comparableForm(a, first) && comparableForm(b, second) &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, first, -1, second, -1) == CSTR_EQUAL;
}

} // namespace zk
