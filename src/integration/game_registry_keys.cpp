// The game's registry entries, their names and texts: the keys' paths, the
// folders and sizes as they are stored, and the installed files they name.
#include "integration/game_registry.h"

#include <objbase.h>

#include <cstring>

#include "core/installer.h"
#include "core/languages.h"
#include "platform/text.h"
#include "game_registry_parts.h"

namespace zk {

const char kAppPathsRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kInstalledGamesRoot[] = "SOFTWARE\\Vantorel\\ZK Core\\Installed Games\\";

// formatText that refuses (empty result, false) instead of cutting.
static bool composeKey(char* out, size_t cap, const char* fmt, const char* a, const char* b = "",
                       const char* c = "") {
    size_t need = strlen(fmt) + strlen(a) + strlen(b) + strlen(c);
    if (!out || cap == 0 || need >= cap) {
        if (out && cap)
            out[0] = '\0';
        return false;
    }
    formatText(out, cap, fmt, a, b, c);
    return true;
}

bool appPathsKey(const CZKInstaller& s, char* out, size_t cap) {
    if (!s.m_executable[0]) {
        if (out && cap)
            out[0] = '\0';
        return false;
    }
    return composeKey(out, cap, "%s%s%s", kAppPathsRoot, s.m_executable);
}

bool gameKey(const CZKInstaller& s, char* out, size_t cap) {
    if (!s.m_company[0] || !s.m_registryName[0]) {
        if (out && cap)
            out[0] = '\0';
        return false;
    }
    return composeKey(out, cap, "SOFTWARE\\%s\\%s%s", s.m_company, s.m_registryName);
}

bool versionKey(const char* game, const char* version, char* out, size_t cap) {
    if (!game || !game[0]) {
        if (out && cap)
            out[0] = '\0';
        return false;
    }
    return composeKey(out, cap, "%s\\%s%s", game, version && version[0] ? version : "1.0");
}

bool installedGamesKey(const CZKInstaller& s, char* out, size_t cap) {
    if (!s.m_coreLink[0] || !s.m_executable[0]) {
        if (out && cap)
            out[0] = '\0';
        return false;
    }
    size_t len = strlen(s.m_coreLink);
    const char* slash = s.m_coreLink[len - 1] == '\\' ? "" : "\\";
    char tail[kKeyPath];
    if (!composeKey(tail, sizeof tail, "%s%s%s", slash, s.m_executable))
        return false;
    return composeKey(out, cap, "%s%s%s", kInstalledGamesRoot, s.m_coreLink, tail);
}

bool uninstallKey(const char* productGUID, char* out, size_t cap) {
    if (!productGUID || !productGUID[0] || strchr(productGUID, '\\')) {
        if (out && cap)
            out[0] = '\0';
        return false;
    }
    return composeKey(out, cap, "%s\\%s%s", kUninstallRoot, productGUID);
}

void ensureBackslash(char* text, size_t cap) {
    if (!text)
        return;
    size_t len = strlen(text);
    if (len == 0 || text[len - 1] != '\\')
        appendText(text, cap, "\\");
}

void cdDriveRoot(const char* installFrom, char* out, size_t cap) {
    if (!out || cap == 0)
        return;
    const char* from = installFrom ? installFrom : "";
    size_t keep;
    if (from[0] == '\\' && from[1] == '\\') {
        // \\server\share\...: up to the backslash that ends the share name.
        // Without one, the whole path is the root (a bare share or server).
        const char* afterServer = strchr(from + 2, '\\');
        const char* afterShare = afterServer ? strchr(afterServer + 1, '\\') : nullptr;
        keep = afterShare ? static_cast<size_t>(afterShare - from) : strlen(from);
    } else {
        keep = strnlen(from, 2);
    }
    copyText(out, keep + 1 < cap ? keep + 1 : cap, from);
    ensureBackslash(out, cap);
}

bool shortFolder(const char* folder, char* out, size_t cap) {
    if (!out || cap == 0)
        return false;
    out[0] = '\0';
    if (!folder || !folder[0])
        return false;
    // With its backslash a bare drive ("D:") names the drive's root, not the
    // current folder on that drive.
    char longForm[kKeyPath];
    copyText(longForm, folder);
    ensureBackslash(longForm, sizeof longForm);
    char shortForm[kKeyPath];
    DWORD n = GetShortPathNameA(longForm, shortForm, sizeof shortForm);
    if (n == 0 || n >= sizeof shortForm)
        return false;
    copyText(out, cap, shortForm);
    ensureBackslash(out, cap);
    return true;
}

void kilobyteText(__int64 bytes, char* out, size_t cap) {
    if (!out || cap == 0)
        return;
    __int64 kilobytes = bytes / 1024;
    // Digits in reverse; the quotient is never the most negative value.
    unsigned long long magnitude =
        kilobytes < 0 ? static_cast<unsigned long long>(-kilobytes) : kilobytes;
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    char text[24];
    int len = 0;
    if (kilobytes < 0)
        text[len++] = '-';
    while (n)
        text[len++] = digits[--n];
    text[len] = '\0';
    copyText(out, cap, text);
}

bool splitGameKey(const char* value, char* division, char* name, size_t cap) {
    const char* first = value ? strchr(value, '\\') : nullptr;
    const char* second = first ? strchr(first + 1, '\\') : nullptr;
    if (!second || second == first + 1 || !second[1])
        return false;
    size_t divisionLength = static_cast<size_t>(second - first - 1);
    copyText(division, divisionLength + 1 < cap ? divisionLength + 1 : cap, first + 1);
    copyText(name, cap, second + 1);
    return true;
}

static bool parseGuid(const char* text, GUID* guid) {
    if (!text || text[0] != '{')
        return false;
    wchar_t wide[64];
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 64);
    // IIDFromString, unlike CLSIDFromString, never looks the text up as a
    // program name in the registry.
    return n > 0 && SUCCEEDED(IIDFromString(wide, guid));
}

bool sameGuid(const char* a, const char* b) {
    GUID ga, gb;
    return parseGuid(a, &ga) && parseGuid(b, &gb) && memcmp(&ga, &gb, sizeof ga) == 0;
}

// Looks a path up in its folder and the folders below; the first match
// replaces it, otherwise it stays as composed.
void findInstalled(char* path, size_t cap) {
    CZKCopyFile finder;
    char found[kText] = {};
    if (finder.findFile(path, 1, found) && found[0])
        copyText(path, cap, found);
}

void installedExecutablePath(const CZKInstaller& s, char* out, size_t cap) {
    if (!out || cap == 0)
        return;
    copyText(out, cap, s.m_installFolder);
    ensureBackslash(out, cap);
    appendText(out, cap, s.m_executable);
    findInstalled(out, cap);
}

void installedIconPath(const CZKInstaller& s, char* out, size_t cap) {
    if (!out || cap == 0)
        return;
    out[0] = '\0';
    if (!s.m_icon[0])
        return;
    formatText(out, cap, "%s\\%s", s.m_installFolder, s.m_icon);
    findInstalled(out, cap);
}

const char* languageName(int index) {
    return index >= 0 && index <= 25 ? g_languages[index].name : "";
}

const char* languagePrefix(int index) {
    return index >= 0 && index <= 25 ? g_languages[index].prefix : "";
}

} // namespace zk
