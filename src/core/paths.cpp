// Install-folder validation (the text rules are in path_rules.cpp), the
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

const int kWideText = 260;  // 259 characters and the terminator

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

bool isDroppedByCleanPath(wchar_t c) {
    return isForbiddenInPath(c) || c == L':';
}

} // namespace

static_assert(int(kPathValid) == int(PathValid) && int(kPathMalformed) == int(PathMalformed) &&
                  int(kPathProtected) == int(PathProtected) &&
                  int(kPathTooLong) == int(PathTooLong) &&
                  int(kPathBadCharacter) == int(PathBadCharacter),
              "the text rules' verdicts are the exported PathStatus values");

PathStatus validateInstallPath(const char* path, const char* windowsFolder,
                               const char* profilesFolder) {
    wchar_t wide[kWideText];
    toWide(path, wide);
    wchar_t lower[kWideText];
    wcscpy(lower, wide);
    CharLowerBuffW(lower, static_cast<DWORD>(wcslen(lower)));
    wchar_t windows[kWideText], profiles[kWideText];
    lowerFolder(windowsFolder, windows);
    lowerFolder(profilesFolder, profiles);

    PathStatus verdict =
        static_cast<PathStatus>(judgeInstallPath(wide, lower, windows, profiles));
    if (!hasForbiddenPathCharacter(wide)) {
        // Unreadable attributes leave the verdict to the text alone.
        DWORD attributes = GetFileAttributesW(wide);
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM)))
            verdict = PathProtected;
    }
    return verdict;
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

bool isProgramRunning(const char* exeName, int allowed, bool debug, HWND owner) {
    const int kSnapshots = 4;
    for (int i = 0; i < kSnapshots; ++i) {
        if (i > 0)
            Sleep(1000);
        bool ok = false;
        int count = countProcesses(exeName ? exeName : "", &ok);
        if (!ok)
            return false;
        bool running = count > allowed;
        if (debug)
            DebugMessageBox(owner, "ZKINSTALL_isThisProgramRunning",
                            running ? "RUNNING" : "NOT RUNNING", MB_OK);
        if (!running)
            return false;
    }
    return true;
}

void setProductName(CZKInstaller& s, const char* name) {
    copyText(s.m_productName, name);
    composeStartMenuFolder(s.m_startMenuPath, s.m_company, s.m_productName, s.m_startMenuFolder);
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

void zk::cleanComponent(const char* name, char* dest) {
    if (!dest)
        return;
    wchar_t wide[kWideText];
    toWide(name, wide);
    wchar_t clean[kWideText];
    int n = 0;
    for (int i = 0; wide[i]; ++i)
        if (wide[i] != L'\\' && !isDroppedByCleanPath(wide[i]))
            clean[n++] = wide[i];
    while (n > 0 && (clean[n - 1] == L' ' || clean[n - 1] == L'.'))
        --n;
    if (n == 0)
        clean[n++] = L'_';
    clean[n] = L'\0';
    fromWide(clean, dest);
}

void zk::composeStartMenuFolder(const char* root, const char* group, const char* product,
                                char* dest) {
    char groupName[kText], productName[kText], folder[3 * kText];
    cleanComponent(group, groupName);
    cleanComponent(product, productName);
    formatText(folder, sizeof folder, "%s\\%s\\%s", root ? root : "", groupName, productName);
    cleanPath(folder, dest);
}
