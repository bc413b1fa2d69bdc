// The text rules of an install folder and the path and label helpers for the
// host's screens.  The file system's say (attributes) is added in paths.cpp.
#include "core/path_rules.h"

#include <cstring>
#include <cwchar>

#include "platform/text.h"

namespace zk {

namespace {

const size_t kLongestPath = 128;  // an install folder must stay shorter
const int kMostBackslashes = 27;

bool startsWith(const wchar_t* text, const wchar_t* prefix) {
    size_t n = wcslen(prefix);
    // An unknown system folder protects nothing; an empty prefix would
    // otherwise match every path.
    return n > 0 && wcsncmp(text, prefix, n) == 0;
}

} // namespace

bool isForbiddenInPath(wchar_t c) {
    return c == L'"' || c == L'/' || c == L'*' || c == L'?' || c == L'<' || c == L'>' ||
           c == L'|';
}

bool hasForbiddenPathCharacter(const wchar_t* path) {
    for (const wchar_t* p = path; *p; ++p)
        if (isForbiddenInPath(*p))
            return true;
    return false;
}

int judgeInstallPath(const wchar_t* path, const wchar_t* lowerPath, const wchar_t* lowerWindows,
                     const wchar_t* lowerProfiles) {
    int verdict = kPathValid;
    // A plain prefix test: a sibling such as "c:\windowsgames" counts as well.
    if (startsWith(lowerPath, lowerWindows) || startsWith(lowerPath, lowerProfiles))
        verdict = kPathProtected;

    size_t len = wcslen(path);
    if (len >= kLongestPath)
        verdict = kPathTooLong;
    if (len <= 3)
        verdict = kPathMalformed;
    if (wcsstr(path, L"\\\\"))
        verdict = kPathMalformed;
    if (len > 0 && (path[len - 1] == L'\\' || path[len - 1] == L'.'))
        verdict = kPathMalformed;

    const wchar_t* colon = wcschr(path, L':');
    if (!colon || colon != path + 1 || colon[1] != L'\\' || wcschr(colon + 1, L':'))
        verdict = kPathMalformed;

    if (hasForbiddenPathCharacter(path))
        verdict = kPathBadCharacter;

    int backslashes = 0;
    for (const wchar_t* p = path; *p; ++p)
        if (*p == L'\\')
            ++backslashes;
    if (backslashes > kMostBackslashes)
        verdict = kPathMalformed;
    return verdict;
}

void squeezePath(const char* path, char* out, int maxLength) {
    if (!out)
        return;
    if (maxLength < 0)
        maxLength = 0;
    size_t limit = static_cast<size_t>(maxLength);
    size_t cap = limit + 1;
    if (!path)
        path = "";

    size_t len = strlen(path);
    if (len <= limit) {
        copyText(out, cap, path);
        return;
    }

    const char* lastSlash = strrchr(path, '\\');
    const char* file = lastSlash ? lastSlash + 1 : "";
    size_t fileLen = strlen(file);
    if (lastSlash) {
        // Candidates keep the folder up to its end, then up to each earlier
        // backslash; a prefix without any backslash (the drive alone) is not
        // worth showing.
        size_t folderLen = static_cast<size_t>(lastSlash - path);
        size_t keep = folderLen;
        while (keep > 0) {
            const char* firstSlash = static_cast<const char*>(memchr(path, '\\', keep));
            if (!firstSlash)
                break;
            if (keep + 5 + fileLen <= limit) {
                formatText(out, cap, "%.*s\\...\\%s", static_cast<int>(keep), path, file);
                return;
            }
            const char* p = path + keep;
            while (p > path && p[-1] != '\\')
                --p;
            keep = p > path ? static_cast<size_t>(p - path - 1) : 0;
        }
    }
    // Nothing fits: the file name, cut.  A path with no file name to show
    // (no backslash, or a trailing one) is shown cut instead of as nothing.
    copyText(out, cap, fileLen > 0 ? file : path);
}

void mfcFriendly(char* out, const char* text, size_t cap) {
    if (!out || cap == 0)
        return;
    if (!text)
        text = "";
    // Trimming first gives the same text as trimming afterwards, since "&"
    // is not white space, and lets the cut below keep pairs whole.
    while (*text && (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n' ||
                     *text == '\v' || *text == '\f'))
        ++text;
    size_t end = strlen(text);
    while (end > 0 && strchr(" \t\r\n\v\f", text[end - 1]))
        --end;

    size_t used = 0;
    for (size_t i = 0; i < end; ++i) {
        size_t need = text[i] == '&' ? 2 : 1;
        // A lone "&" at the cut would become a mnemonic marker in the label.
        if (used + need > cap - 1)
            break;
        out[used++] = text[i];
        if (need == 2)
            out[used++] = '&';
    }
    out[used] = '\0';
}

} // namespace zk
