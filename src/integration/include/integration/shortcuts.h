// shortcuts.h - what an installed game shows outside its folder: the
// Start-menu group with its companion links, the desktop link, and the group
// name the host lets the user choose.
#ifndef ZK_INTEGRATION_SHORTCUTS_H
#define ZK_INTEGRATION_SHORTCUTS_H

#include <cstddef>

namespace zk {

class CZKInstaller;

// The system name under which no shortcut is made (every Windows from 6.0 on).
extern const char kNoShortcutsOS[];

// Writes a shell link at linkPath (cleaned); every argument after linkPath
// may be null and is then not set.  True only when the link was saved.
bool createShellLink(const char* target, const char* linkPath, const char* description,
                     const char* iconPath, int iconIndex, const char* workingFolder,
                     const char* arguments);

// Writes an Internet shortcut to url at path (cleaned); true when written.
bool createInternetShortcut(const char* url, const char* path);

// "<folder>\\<name><extension>" with the name cleaned as one file name, then
// the whole path cleaned; false when it does not fit in 259 characters.
bool linkFilePath(const char* folder, const char* name, const char* extension, char* out,
                  size_t cap);

// The group-name check of the host's Start-menu screen.
bool isValidGroupName(const char* name, const char* startupFolderName);

// Takes a valid group name and moves the start-menu folder with it; false
// (nothing changed) for an invalid one.
bool setStartMenuGroup(CZKInstaller& s, const char* name);

// The web shortcut's address: the disc's Localization.ini entry for the
// language, else the WebURL setting; "http://" in front of an address that
// names no scheme.  Cut to cap; empty when there is none.
void webAddress(const CZKInstaller& s, char* out, size_t cap);

// True when the text begins with "<scheme>://".
bool hasScheme(const char* address);

// The Start-menu group; webURL is the address of its web link (may be empty).
void createStartMenuItems(CZKInstaller& s, const char* webURL);

// The desktop link; afterwards the install folder is the icon's subfolder
// when the icon lies in one (applied once).
void createDesktopItem(CZKInstaller& s);

} // namespace zk

#endif
