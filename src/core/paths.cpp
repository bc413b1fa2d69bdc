// Install-folder validation, display helpers for paths and labels, the
// product-name setters that keep the derived folders in step, and the check
// for running programs.
#include "core/paths.h"

#include <tlhelp32.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "core/installer.h"
#include "platform/text.h"

namespace zk {

namespace {

const int kWideText = 260;      // 259 characters and the terminator
const int kLongestPath = 128;   // an install folder must stay shorter
const int kMostBackslashes = 27;

// At most 259 characters of an 8-bit text as UTF-16.
void toWide(const char* text, wchar_t* out) {
    out[0] = L'\0';
    if (!text || !text[0])
        return;
    // 1024 bytes always hold more than 259 characters, so the conversion
    // itself cannot run out of room; the result is then cut.
    int bytes = static_cast<int>(strnlen(text, 1024));
    wchar_t wide[1025];
    int n = MultiByteToWideChar(CP_ACP, 0, text, bytes, wide, 1024);
    if (n <= 0)
        return;
    if (n > kWideText - 1)
        n = kWideText - 1;
    wmemcpy(out, wide, n);
    out[n] = L'\0';
}

// UTF-16 back to 8-bit text in a 260-byte field, never ending in half of a
// double-byte character.
void fromWide(const wchar_t* text, char* out) {
    out[0] = '\0';
    char wide[4 * kWideText];
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, wide, sizeof wide, nullptr, nullptr);
    if (n <= 0)
        return;
    int used = 0;
    for (const char* p = wide; *p;) {
        int step = IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] ? 2 : 1;
        if (used + step > kText - 1)
            break;
        memcpy(out + used, p, step);
        used += step;
        p += step;
    }
    out[used] = '\0';
}

// A system folder in lower case for the prefix test; empty when unknown.
void lowerFolder(const char* folder, wchar_t* out) {
    char copy[kText];
    copyText(copy, folder);
    cutTrailingBackslash(copy);
    toWide(copy, out);
    CharLowerBuffW(out, static_cast<DWORD>(wcslen(out)));
}

bool startsWith(const wchar_t* text, const wchar_t* prefix) {
    size_t n = wcslen(prefix);
    // An unknown system folder protects nothing; an empty prefix would
    // otherwise match every path.
    return n > 0 && wcsncmp(text, prefix, n) == 0;
}

bool isForbiddenInPath(wchar_t c) {
    return c == L'"' || c == L'/' || c == L'*' || c == L'?' || c == L'<' || c == L'>' ||
           c == L'|';
}

bool isDroppedByCleanPath(wchar_t c) {
    return isForbiddenInPath(c) || c == L':';
}

} // namespace

PathStatus validateInstallPath(const char* path, const char* windowsFolder,
                               const char* profilesFolder) {
    PathStatus verdict = PathValid;

    wchar_t wide[kWideText];
    toWide(path, wide);
    wchar_t lower[kWideText];
    wcscpy(lower, wide);
    CharLowerBuffW(lower, static_cast<DWORD>(wcslen(lower)));
    wchar_t windows[kWideText], profiles[kWideText];
    lowerFolder(windowsFolder, windows);
    lowerFolder(profilesFolder, profiles);

    // A plain prefix test: a sibling such as "c:\windowsgames" counts as well.
    if (startsWith(lower, windows) || startsWith(lower, profiles))
        verdict = PathProtected;

    size_t len = wcslen(wide);
    if (len >= static_cast<size_t>(kLongestPath))
        verdict = PathTooLong;
    if (len <= 3)
        verdict = PathMalformed;
    if (wcsstr(wide, L"\\\\"))
        verdict = PathMalformed;
    if (len > 0 && (wide[len - 1] == L'\\' || wide[len - 1] == L'.'))
        verdict = PathMalformed;

    const wchar_t* colon = wcschr(wide, L':');
    if (!colon || colon != wide + 1 || colon[1] != L'\\' || wcschr(colon + 1, L':'))
        verdict = PathMalformed;

    bool badCharacter = false;
    for (const wchar_t* p = wide; *p; ++p)
        if (isForbiddenInPath(*p)) {
            verdict = PathBadCharacter;
            badCharacter = true;
            break;
        }

    int backslashes = 0;
    for (const wchar_t* p = wide; *p; ++p)
        if (*p == L'\\')
            ++backslashes;
    if (backslashes > kMostBackslashes)
        verdict = PathMalformed;

    if (!badCharacter) {
        // Unreadable attributes leave the verdict to the text alone.
        DWORD attributes = GetFileAttributesW(wide);
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM)))
            verdict = PathProtected;
    }
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

bool commaDecimalVersion(char* version) {
    char sample[64];
    snprintf(sample, sizeof sample, "%f", 1.1);
    if (!strchr(sample, ','))
        return false;
    for (char* p = version; p && *p; ++p)
        if (*p == '.')
            *p = ',';
    return true;
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

int countProcesses(const char* exeName, bool* ok) {
    *ok = false;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        entry.szExeFile[sizeof entry.szExeFile - 1] = '\0';
        // Older systems list full paths; compare the file name alone.
        const char* name = strrchr(entry.szExeFile, '\\');
        name = name ? name + 1 : entry.szExeFile;
        if (lstrcmpiA(name, exeName) == 0)
            ++count;
    }
    CloseHandle(snapshot);
    *ok = true;
    return count;
}

void setProductName(CZKInstaller& s, const char* name) {
    copyText(s.m_productName, name);
    char folder[3 * kText];
    formatText(folder, sizeof folder, "%s\\%s\\%s", s.m_startMenuPath, s.m_company,
               s.m_productName);
    cleanPath(folder, s.m_startMenuFolder);
}

void setFriendlyProductName(CZKInstaller& s, const char* name) {
    copyText(s.m_friendlyName, name);
    // A game installed before keeps the folder it lives in.
    if (!s.m_previouslyInstalled)
        formatText(s.m_installFolder, kText, "%s\\%s\\%s", s.m_programFilesPath, s.m_company,
                   s.m_friendlyName);
}

} // namespace zk

void zk::cleanPath(const char* src, char* dest) {
    if (!dest)
        return;
    wchar_t wide[kWideText];
    toWide(src, wide);
    wchar_t clean[kWideText];
    int n = 0;
    for (int i = 0; wide[i]; ++i)
        if (i < 3 || !isDroppedByCleanPath(wide[i]))
            clean[n++] = wide[i];
    while (n > 1 && clean[n - 1] == L' ')
        --n;
    clean[n] = L'\0';
    fromWide(clean, dest);
}
