// CZKUninstall's removal of what the installation put outside the install
// folder: the Start-menu group, the desktop link, the game key with the
// shared-list entry, and the App Paths and Uninstall entries.
#include <windows.h>

#include <shlobj.h>

#include <cstring>

#include "ZKInstall.h"
#include "install/copyfile.h"
#include "integration/game_registry.h"
#include "integration/shortcuts.h"
#include "platform/guards.h"
#include "platform/text.h"
#include "uninstall/uninstall.h"
#include "uninstall_parts.h"

using namespace zk;
using namespace zk::uninstallparts;

namespace {

// Cuts the path at its last backslash; false when it has none.
bool cutLastPart(char* path) {
    char* slash = strrchr(path, '\\');
    if (!slash)
        return false;
    *slash = '\0';
    return true;
}

// Deletes the key's whole tree when it exists.
void deleteTree(const char* path) {
    CZKRegistry key;
    if (key.openKey(HKEY_LOCAL_MACHINE, path) == ERROR_SUCCESS)
        key.XdelKeys(path);
}

} // namespace

bool CZKUninstall::removeStartMenu() {
    if (!m_startMenuFolder[0])
        return false;
    // The group may be the shared Start menu of every user or the user's
    // own, depending on where the installation ran.
    char common[kText], own[MAX_PATH + 1] = "";
    CZKSystem().getStartMenuPath(common);
    SHGetSpecialFolderPathA(nullptr, own, CSIDL_PROGRAMS, FALSE);
    const char* roots[] = {common, own};
    // Only a group of its own inside the Start menu is emptied, never the
    // Programs folder or anything outside it.
    if (!isStartMenuGroup(m_startMenuFolder, roots, 2)) {
        say(m_debug, "Start-menu group refused", m_startMenuFolder);
        return false;
    }
    char files[kUninstallText + 8];
    formatText(files, sizeof files, "%s*.*", m_startMenuFolder);
    CZKCopyFile copier;
    copier.setDebugMode(m_debug);
    copier.XRemove(files, false);
    char parent[kUninstallText];
    copyText(parent, m_startMenuFolder);
    cutTrailingBackslash(parent);
    if (cutLastPart(parent)) {
        appendText(parent, "\\");
        if (isStartMenuGroup(parent, roots, 2))
            RemoveDirectoryA(parent);  // only when no other group is left in it
    }
    return true;
}

bool CZKUninstall::removeDesktopIcon() {
    char desktop[kText], link[kText];
    CZKSystem().getDesktopPath(desktop);
    // The name is cleaned as one file name, as the link was when it was made:
    // a display name such as "..\\x" must not reach another folder.
    if (desktop[0] && m_displayName[0] &&
        linkFilePath(desktop, m_displayName, ".lnk", link, kText)) {
        clearReadOnly(link);
        DeleteFileA(link);
    }
    return true;
}

bool CZKUninstall::removeGameRegistryEntries() {
    say(m_debug, m_gameKey, "Removing Game Registry Entries");
    // Only a game's own key goes: a "Game Registry" of SOFTWARE, or one that
    // names the keys every program or every game of the maker shares, is
    // left alone.
    if (!isProductKey(m_gameKey)) {
        say(m_debug, m_gameKey, "not a game key");
        return true;
    }
    char coreLink[kUninstallText];
    {
        CZKRegistry game;
        if (game.openKey(HKEY_LOCAL_MACHINE, m_gameKey) != ERROR_SUCCESS) {
            say(m_debug, m_gameKey, "can't open");
            return true;
        }
        readText(game, "CoreLink", coreLink, sizeof coreLink);
        trimText(coreLink);
        game.XdelKeys(m_gameKey);
    }
    char parent[kUninstallText];
    copyText(parent, m_gameKey);
    if (cutLastPart(parent) && isProductOrDivisionKey(parent)) {
        CZKRegistry key;
        key.deleteKeyIfEmpty(parent);
    }

    // The product key names the game's own entry below the shared list; an
    // empty one, or one with a backslash, would name the list's folder.
    if (!coreLink[0] || !m_productKey[0] || strchr(m_productKey, '\\'))
        return true;
    char entry[3 * kUninstallText];
    copyText(entry, kInstalledGamesRoot);
    appendText(entry, coreLink);
    size_t n = strlen(entry);
    if (entry[n - 1] != '\\')
        appendText(entry, "\\");
    appendText(entry, m_productKey);
    if (!isProductKey(entry)) {
        say(m_debug, entry, "not a game's entry");
        return true;
    }
    deleteTree(entry);
    const size_t rootLength = strlen(kInstalledGamesRoot);
    while (cutLastPart(entry) && strlen(entry) > rootLength) {
        CZKRegistry key;
        key.deleteKeyIfEmpty(entry);
    }
    return true;
}

bool CZKUninstall::removeUninstallRegistryEntry() {
    say(m_debug, kAppPathsRoot, "Removing Product Key Registry Entries");
    char path[2 * kUninstallText];
    formatText(path, sizeof path, "%s%s", kAppPathsRoot, m_productKey);
    CZKRegistry root;
    if (root.openKey(HKEY_LOCAL_MACHINE, kAppPathsRoot) != ERROR_SUCCESS) {
        say(m_debug, kAppPathsRoot, "can't open");
    } else if (isProductUninstallKey(path)) {  // never the App Paths key itself
        CZKRegistry app;
        if (app.openKey(HKEY_LOCAL_MACHINE, path) == ERROR_SUCCESS &&
            app.createKey(HKEY_LOCAL_MACHINE, path) == ERROR_SUCCESS)
            app.setValue("Installed", 0ul);
        app.closeKey();
        root.deleteKey(m_productKey);
    }

    say(m_debug, "Removing Uninstall Registry Entries", m_productGUID);
    formatText(path, sizeof path, "%s\\%s", kUninstallRoot, m_productGUID);
    CZKRegistry uninstall;
    if (uninstall.openKey(HKEY_LOCAL_MACHINE, kUninstallRoot) == ERROR_SUCCESS &&
        m_productGUID[0] && isProductUninstallKey(path))
        uninstall.deleteKey(m_productGUID);
    return true;
}
