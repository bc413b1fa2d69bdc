// The game's registry entries, written: App Paths, the game key and its
// version subkey, the shared "Installed Games" entry, the Uninstall entry and
// the flags that survive a reboot.  Every write reports whether it applied.
#include "integration/game_registry.h"

#include "core/host.h"
#include "core/installer.h"
#include "platform/text.h"
#include "game_registry_parts.h"

namespace zk {

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

} // namespace zk
