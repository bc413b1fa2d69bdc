// The game's registry entries: App Paths, the game key and its version
// subkey, the shared "Installed Games" entry, the Uninstall entry, the flags
// that survive a reboot, and the recognition of an earlier installation.
#include "integration/game_registry.h"

#include <objbase.h>

#include <cstdio>
#include <cstring>

#include "core/host.h"
#include "core/installer.h"
#include "core/languages.h"
#include "install/filelist.h"
#include "platform/text.h"

namespace zk {

const char kAppPathsRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kInstalledGamesRoot[] = "SOFTWARE\\Vantorel\\ZK Core\\Installed Games\\";

// --- names and texts ------------------------------------------------------------

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
static void findInstalled(char* path, size_t cap) {
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

static const char* languageName(int index) {
    return index >= 0 && index <= 25 ? g_languages[index].name : "";
}

static const char* languagePrefix(int index) {
    return index >= 0 && index <= 25 ? g_languages[index].prefix : "";
}

// Language indexes stored in the registry are only believed when they name a
// row of the table; anything else would index past it.
static bool validLanguage(unsigned long index) { return index >= 1 && index <= 25; }

// Reads a text value of at most `limit` bytes; false when it is missing or
// longer.  The registry does not promise a terminator, so one is added.
static bool readText(CZKRegistry& key, const char* name, char* out, size_t cap,
                     unsigned long limit = kKeyPath - 1) {
    char buffer[kKeyPath + 1];
    if (limit > kKeyPath)
        limit = kKeyPath;
    unsigned long size = limit;
    if (key.getValue(name, buffer, &size) != ERROR_SUCCESS)
        return false;
    buffer[size < limit ? size : limit] = '\0';
    copyText(out, cap, buffer);
    return true;
}

// --- writing ---------------------------------------------------------------------

namespace {

// Creates one key under HKEY_LOCAL_MACHINE and writes values into it,
// remembering whether everything applied: the uninstaller and a rollback rely
// on what was written.  With debug on, each failure is traced by name.
class KeyWriter {
  public:
    // A null path creates nothing: the writer is then closed and failed.
    KeyWriter(const char* path, bool debug) : m_path(path ? path : ""), m_debug(debug) {
        m_created = path ? m_key.createKey(HKEY_LOCAL_MACHINE, path) : ERROR_INVALID_NAME;
        m_open = m_created == ERROR_SUCCESS;
        if (path)
            check(m_created, "");
        else
            m_ok = false;
    }
    bool open() const { return m_open; }
    int created() const { return m_created; }
    bool ok() const { return m_ok; }
    void set(const char* name, const char* text) {
        if (m_open)
            check(m_key.setValue(name, text), name);
    }
    void set(const char* name, unsigned long number) {
        if (m_open)
            check(m_key.setValue(name, number), name);
    }

  private:
    void check(int rc, const char* name) {
        if (rc == ERROR_SUCCESS)
            return;
        m_ok = false;
        if (m_debug) {
            char text[kKeyPath + 128];
            formatText(text, sizeof text, "%s [%s] failed with %d", m_path, name, rc);
            DebugMessageBox(nullptr, text, "registry", MB_OK);
        }
    }

    CZKRegistry m_key;
    const char* m_path;
    bool m_debug;
    int m_created;
    bool m_open = false;
    bool m_ok = true;
};

} // namespace

bool writeGameRegistry(CZKInstaller& s) {
    char executablePath[kText];
    installedExecutablePath(s, executablePath, sizeof executablePath);
    char game[kKeyPath];
    bool haveGame = gameKey(s, game, sizeof game);
    char path[kKeyPath];
    bool ok = true;

    if (appPathsKey(s, path, sizeof path)) {
        KeyWriter app(path, s.m_debug);
        app.set("", executablePath);
        app.set("Path", s.m_installFolder);
        app.set("Game Registry", game);
        ok = app.ok();
    }

    KeyWriter key(haveGame ? game : nullptr, s.m_debug);
    int rc = key.created();
    if (rc != ERROR_SUCCESS) {
        char text[1024];
        systemErrorText(static_cast<unsigned long>(rc), text, sizeof text);
        showMessage(s.m_installerWindow, text, haveGame ? game : "Game Registry",
                    MB_OK | MB_ICONERROR);
        ok = false;
    } else {
        char text[kKeyPath];
        key.set("DisplayName", s.m_productName);
        key.set("Language", languageName(s.m_currentLanguage));
        copyText(text, languagePrefix(s.m_currentLanguage));
        for (char* p = text; *p; ++p)
            if (*p == '-')
                *p = '_';
        key.set("Locale", text);
        cdDriveRoot(s.m_installFrom, text, sizeof text);
        key.set("CD Drive", text);
        // A folder without a short form is written as it stands: an empty
        // value would send the uninstaller to the root of the drive.
        if (!shortFolder(s.m_installFolder, text, sizeof text)) {
            copyText(text, s.m_installFolder);
            ensureBackslash(text, sizeof text);
        }
        key.set("Install Dir", text);
        key.set("Product GUID", s.m_productGUID);
        if (!shortFolder(s.m_installFrom, text, sizeof text)) {
            copyText(text, s.m_installFrom);
            ensureBackslash(text, sizeof text);
        }
        key.set("Installed From", text);
        key.set("Region", s.m_rtPatchDiscId);
        copyText(text, s.m_startMenuFolder);
        ensureBackslash(text, sizeof text);
        key.set("Folder", text);
        key.set("Patch URL", s.m_rtPatchURL);
        key.set("Suppression Exe", s.m_suppressionExe);
        if (s.m_coreLink[0])
            key.set("CoreLink", s.m_coreLink);
        ok = ok && key.ok();
    }

    if (versionKey(game, s.m_version, path, sizeof path)) {
        KeyWriter version(path, s.m_debug);
        version.set("DisplayName", s.m_productName);
        version.set("Language", static_cast<unsigned long>(s.m_currentLanguage));
        version.set("LanguageName", languageName(s.m_currentLanguage));
        ok = ok && version.ok();
    }

    if (installedGamesKey(s, path, sizeof path)) {
        KeyWriter shared(path, s.m_debug);
        shared.set("GameLauncherPath", executablePath);
        ok = ok && shared.ok();
    }
    return ok;
}

bool writeUninstallEntry(CZKInstaller& s) {
    char path[kKeyPath];
    if (!uninstallKey(s.m_productGUID, path, sizeof path))
        return false;
    KeyWriter key(path, s.m_debug);
    if (!key.open())
        return false;
    char text[kKeyPath];
    key.set("DisplayName", s.m_productName);
    key.set("FriendlyName", s.m_friendlyName);
    key.set("Publisher", "Vantorel");
    formatText(text, sizeof text, "%s\\filelist.txt", s.m_installFolder);
    key.set("LogFile", text);
    formatText(text, sizeof text, "%s\\ZKUninstall.exe", s.m_installFolder);
    key.set("UninstallString", text);
    installedIconPath(s, text, sizeof text);
    if (text[0])
        key.set("DisplayIcon", text);
    return key.ok();
}

bool setInstalledFlag(CZKInstaller& s, bool installed) {
    char path[kKeyPath];
    if (!appPathsKey(s, path, sizeof path))
        return false;
    KeyWriter app(path, s.m_debug);
    app.set("Installed", installed ? 1ul : 0ul);
    return app.ok();
}

bool getInstalledFlag(CZKInstaller& s) {
    char path[kKeyPath];
    CZKRegistry app;
    unsigned long installed = 0;
    if (!appPathsKey(s, path, sizeof path) ||
        app.openKey(HKEY_LOCAL_MACHINE, path) != ERROR_SUCCESS ||
        app.getValue("Installed", &installed) != ERROR_SUCCESS)
        return false;
    return installed != 0;
}

bool setRestartFlag(CZKInstaller& s, bool restarted) {
    char game[kKeyPath];
    bool haveGame = gameKey(s, game, sizeof game);
    char path[kKeyPath];
    bool ok = true;
    if (appPathsKey(s, path, sizeof path)) {
        KeyWriter app(path, s.m_debug);
        app.set("Game Registry", game);
        app.set("Restart", restarted ? 1ul : 0ul);
        app.set("DirectX Installed", s.m_directXInstalled ? 1ul : 0ul);
        ok = app.ok();
    }
    if (!haveGame)
        return false;
    {
        char from[kKeyPath];
        KeyWriter key(game, s.m_debug);
        if (key.open() && shortFolder(s.m_installFrom, from, sizeof from))
            key.set("Installed From", from);
        ok = ok && key.ok();
    }
    if (versionKey(game, s.m_version, path, sizeof path)) {
        KeyWriter version(path, s.m_debug);
        version.set("Language", static_cast<unsigned long>(s.m_currentLanguage));
        ok = ok && version.ok();
    }
    return ok;
}

bool getRestartFlag(CZKInstaller& s) {
    char path[kKeyPath];
    CZKRegistry app;
    if (!appPathsKey(s, path, sizeof path) ||
        app.openKey(HKEY_LOCAL_MACHINE, path) != ERROR_SUCCESS)
        return false;

    unsigned long restart = 0, directX = 0;
    if (app.getValue("Restart", &restart) != ERROR_SUCCESS)
        restart = 0;
    if (restart == 0) {
        // No restart pending: only remember a DirectX installation made by an
        // earlier run of this installer.
        if (app.getValue("DirectX Installed", &directX) != ERROR_SUCCESS)
            s.m_directXInstalled = false;
        else if (directX)
            s.m_directXInstalled = true;
        return false;
    }

    char value[kKeyPath];
    char division[kText], name[kText];
    if (!readText(app, "Game Registry", value, sizeof value) ||
        !splitGameKey(value, division, name, kText))
        return false;
    copyText(s.m_company, division);
    copyText(s.m_registryName, name);

    // A restart counts only when it was recorded with a DirectX installation.
    if (app.getValue("DirectX Installed", &directX) != ERROR_SUCCESS || directX == 0) {
        s.m_directXInstalled = false;
        return false;
    }
    s.m_directXInstalled = true;

    char game[kKeyPath];
    CZKRegistry key;
    if (!gameKey(s, game, sizeof game) || key.openKey(HKEY_LOCAL_MACHINE, game) != ERROR_SUCCESS ||
        !readText(key, "Installed From", value, sizeof value))
        return false;
    cutTrailingBackslash(value);
    copyText(s.m_installFrom, value);

    CZKRegistry version;
    if (!versionKey(game, s.m_version, path, sizeof path) ||
        version.openKey(HKEY_LOCAL_MACHINE, path) != ERROR_SUCCESS)
        return false;
    unsigned long language = 0;
    if (version.getValue("Language", &language) == ERROR_SUCCESS && validLanguage(language))
        s.m_currentLanguage = static_cast<int>(language);
    return true;
}

static bool writeGameKeySize(CZKInstaller& s, const char* name, __int64 bytes) {
    char game[kKeyPath];
    if (!gameKey(s, game, sizeof game))
        return false;
    KeyWriter key(game, s.m_debug);
    char text[32];
    kilobyteText(bytes, text, sizeof text);
    key.set(name, text);
    return key.ok();
}

bool setCacheSize(CZKInstaller& s, __int64 bytes) { return writeGameKeySize(s, "CacheSize", bytes); }

bool setSwapSize(CZKInstaller& s, __int64 bytes) { return writeGameKeySize(s, "SwapSize", bytes); }

// --- reading back ----------------------------------------------------------------

int readGameRegistry(CZKInstaller& s) {
    char path[kKeyPath];
    CZKRegistry app;
    if (!appPathsKey(s, path, sizeof path) ||
        app.openKey(HKEY_LOCAL_MACHINE, path) != ERROR_SUCCESS)
        return -1;
    char game[kKeyPath];
    char value[kKeyPath];
    gameKey(s, game, sizeof game);
    if (readText(app, "Game Registry", value, sizeof value))
        copyText(game, value);
    app.closeKey();

    CZKRegistry key;
    if (!game[0] || key.openKey(HKEY_LOCAL_MACHINE, game) != ERROR_SUCCESS)
        return -2;
    // Each value is taken as soon as it is read.  Folders are stored with a
    // trailing backslash; the state keeps them without one.
    if (!readText(key, "DisplayName", value, sizeof value))
        return -3;
    copyText(s.m_productName, value);
    if (!readText(key, "Install Dir", value, sizeof value))
        return -5;
    cutTrailingBackslash(value);
    copyText(s.m_installFolder, value);
    if (!readText(key, "Product GUID", value, sizeof value))
        return -6;
    copyText(s.m_productGUID, value);
    if (!readText(key, "Installed From", value, sizeof value))
        return -7;
    cutTrailingBackslash(value);
    copyText(s.m_installFrom, value);
    if (!readText(key, "Region", value, sizeof value))
        return -8;
    copyText(s.m_rtPatchDiscId, value);
    if (!readText(key, "Folder", value, sizeof value))
        return -9;
    cutTrailingBackslash(value);
    copyText(s.m_startMenuFolder, value);
    if (!readText(key, "Patch URL", value, sizeof value))
        return -10;
    copyText(s.m_rtPatchURL, value);
    key.closeKey();

    CZKRegistry version;
    if (!versionKey(game, s.m_version, path, sizeof path) ||
        version.openKey(HKEY_LOCAL_MACHINE, path) != ERROR_SUCCESS)
        return -5;
    unsigned long language = 0;
    if (version.getValue("Language", &language) != ERROR_SUCCESS || !validLanguage(language))
        return -4;
    s.m_currentLanguage = static_cast<int>(language);
    return 0;
}

// --- an earlier installation -----------------------------------------------------

static void trace(const CZKInstaller& s, const char* detail) {
    if (s.m_debug)
        DebugMessageBox(nullptr, "detectPreviousInstallation", detail, MB_OK);
}

// The App Paths key names an executable that is still on the disk.
static bool installedExecutableExists(CZKInstaller& s) {
    char path[kKeyPath];
    CZKRegistry app;
    char executable[kText];
    if (!appPathsKey(s, path, sizeof path) ||
        app.openKey(HKEY_LOCAL_MACHINE, path) != ERROR_SUCCESS ||
        !readText(app, "", executable, sizeof executable, 256) || !executable[0])
        return false;
    findInstalled(executable, sizeof executable);
    return s.m_system.fileExists(executable);
}

// The installed game key holds the configured product's GUID.
static bool storedGuidMatches(CZKInstaller& s) {
    char path[kKeyPath];
    CZKRegistry app;
    char game[kText];
    if (!appPathsKey(s, path, sizeof path) ||
        app.openKey(HKEY_LOCAL_MACHINE, path) != ERROR_SUCCESS ||
        !readText(app, "Game Registry", game, sizeof game, kText) || !game[0])
        return false;
    CZKRegistry key;
    char stored[kText];
    if (key.openKey(HKEY_LOCAL_MACHINE, game) != ERROR_SUCCESS ||
        !readText(key, "Product GUID", stored, sizeof stored, kText))
        return false;
    return sameGuid(stored, s.m_productGUID);
}

// An Uninstall entry left by an installation that never completed.
static void removeLeftoverUninstallEntry(const CZKInstaller& s) {
    char unused[kKeyPath];
    if (!uninstallKey(s.m_productGUID, unused, sizeof unused))
        return;
    CZKRegistry root;
    if (root.openKey(HKEY_LOCAL_MACHINE, kUninstallRoot) == ERROR_SUCCESS)
        root.deleteKey(s.m_productGUID);
}

// What reading an installation back replaces in the state.  A read that
// fails half-way must not leave a new installation with part of the old
// one's folders and disc location, so detection puts these back.
struct ReadBackFields {
    char productName[kText];
    char installFolder[kText];
    char productGUID[kText];
    char installFrom[kText];
    char region[kText];
    char startMenuFolder[kText];
    char patchURL[kText];
    int language;

    explicit ReadBackFields(const CZKInstaller& s) {
        copyText(productName, s.m_productName);
        copyText(installFolder, s.m_installFolder);
        copyText(productGUID, s.m_productGUID);
        copyText(installFrom, s.m_installFrom);
        copyText(region, s.m_rtPatchDiscId);
        copyText(startMenuFolder, s.m_startMenuFolder);
        copyText(patchURL, s.m_rtPatchURL);
        language = s.m_currentLanguage;
    }
    void restore(CZKInstaller& s) const {
        copyText(s.m_productName, productName);
        copyText(s.m_installFolder, installFolder);
        copyText(s.m_productGUID, productGUID);
        copyText(s.m_installFrom, installFrom);
        copyText(s.m_rtPatchDiscId, region);
        copyText(s.m_startMenuFolder, startMenuFolder);
        copyText(s.m_rtPatchURL, patchURL);
        s.m_currentLanguage = language;
    }
};

bool detectPreviousInstallation(CZKInstaller& s) {
    getRestartFlag(s);

    bool previous = getInstalledFlag(s);
    if (!previous)
        trace(s, "not marked installed");
    if (previous && !(previous = installedExecutableExists(s)))
        trace(s, "executable missing");
    if (previous && !(previous = storedGuidMatches(s)))
        trace(s, "product GUID differs");
    if (previous) {
        ReadBackFields before(s);
        int rc = readGameRegistry(s);
        previous = rc == 0;
        if (previous) {
            forceLanguage(s, s.m_currentLanguage);
            setProcessLocale(s.m_currentLanguage);
        } else {
            before.restore(s);
            char detail[64];
            formatText(detail, sizeof detail, "readGameRegistry %d", rc);
            trace(s, detail);
        }
    }
    if (!previous)
        removeLeftoverUninstallEntry(s);
    s.m_previouslyInstalled = previous;
    return previous;
}

// --- the uninstaller in the install folder ---------------------------------------

// True when the install log in `folder` has a line for `file` (its path after
// the second comma, compared without regard to case).
bool logNames(const char* folder, const char* file) {
    char path[kKeyPath];
    formatText(path, sizeof path, "%s\\filelist.txt", folder);
    FILE* log = fopen(path, "r");
    if (!log)
        return false;
    bool found = false;
    char line[1024];
    while (!found && fgets(line, sizeof line, log)) {
        line[strcspn(line, "\r\n")] = '\0';
        const char* comma = strchr(line, ',');
        comma = comma ? strchr(comma + 1, ',') : nullptr;
        found = comma && lstrcmpiA(comma + 1, file) == 0;
    }
    fclose(log);
    return found;
}

int placeUninstaller(CZKInstaller& s, const char* const* sourceFolders, int count) {
    static const char* const kFiles[] = {"ZKUninstall.exe", "ZKInstall.dll"};
    if (!s.m_installFolder[0])
        return 0;
    int copied = 0;
    for (const char* file : kFiles) {
        char target[kKeyPath];
        formatText(target, sizeof target, "%s\\%s", s.m_installFolder, file);
        // Already there: from the disc's file lists, which log it themselves,
        // or from an earlier installation, whose log the new one replaced; the
        // uninstaller only removes what the current log names.
        if (GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES) {
            if (!logNames(s.m_installFolder, file))
                appendFileListEntry(0, 0, file, s.m_installFolder, s.m_debug);
            continue;
        }
        for (int i = 0; i < count; ++i) {
            if (!sourceFolders[i] || !sourceFolders[i][0])
                continue;
            char source[kKeyPath];
            formatText(source, sizeof source, "%s\\%s", sourceFolders[i], file);
            if (!s.m_system.fileExists(source) || !CopyFileA(source, target, TRUE))
                continue;
            // A copy from a disc is read-only; the uninstaller must be able
            // to delete it.
            DWORD attributes = GetFileAttributesA(target);
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
                SetFileAttributesA(target, attributes & ~FILE_ATTRIBUTE_READONLY);
            appendFileListEntry(0, 0, file, s.m_installFolder, s.m_debug);
            ++copied;
            break;
        }
    }
    return copied;
}

int placeUninstaller(CZKInstaller& s) {
    char libraryFolder[kKeyPath] = {};
    HMODULE self = nullptr;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&detectPreviousInstallation), &self)) {
        DWORD n = GetModuleFileNameA(self, libraryFolder, sizeof libraryFolder);
        if (n == 0 || n >= sizeof libraryFolder)
            libraryFolder[0] = '\0';
        char* slash = strrchr(libraryFolder, '\\');
        if (slash)
            *slash = '\0';
        else
            libraryFolder[0] = '\0';
    }
    const char* folders[] = {s.m_autoRunFolder, libraryFolder};
    return placeUninstaller(s, folders, 2);
}

} // namespace zk
