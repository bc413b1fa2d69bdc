// The game's registry entries, read back: the flags a reboot left, an
// earlier installation's settings and the recognition of that installation.
#include "integration/game_registry.h"

#include <cstring>

#include "core/host.h"
#include "core/installer.h"
#include "core/languages.h"
#include "platform/text.h"
#include "game_registry_parts.h"

namespace zk {

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

} // namespace zk
