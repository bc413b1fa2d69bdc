// uninstall.h - what the steps of CZKUninstall (the exported class that
// removes an installed game or rolls back a cancelled installation) share
// with each other and with the tests: install-log lines as the uninstaller
// reads them, and the guards every removal passes first.
#ifndef ZK_UNINSTALL_UNINSTALL_H
#define ZK_UNINSTALL_UNINSTALL_H

#include <cstddef>
#include <set>
#include <string>

namespace zk {

// The uninstaller's text fields and key paths hold this many bytes.
const size_t kUninstallText = 1024;

// One install-log line: "disc,level,path", where "/s" (else "/S") anywhere
// marks a recursive entry and ends the line.
struct UninstallEntry {
    bool recursive = false;
    bool wildcard = false;  // the path holds "*" or "?"
    char path[kUninstallText] = "";
};

// Reads one line: cut at its first CR and first LF, then at the first mark;
// the path is what follows the second comma, without blanks at either end.
// False for a line without two commas or with an empty path, and for a path
// that would leave the install folder once joined to it (absolute, drive,
// UNC, rooted, "..", a device): a tampered log must not reach anything else.
bool parseUninstallLine(const char* line, UninstallEntry* entry);

// True when an install folder read back from the registry may be emptied:
// its text and its long form pass the install-path check (a full path below
// a drive's root, outside the Windows and profiles folders, not a read-only
// or system folder).  One trailing backslash is allowed.
bool isRemovableInstallFolder(const char* folder, const char* windowsFolder,
                              const char* profilesFolder);

// True when a Start-menu group read back from the registry may be emptied:
// it ends in a backslash and lies strictly inside one of the roots (empty
// roots are passed over).
bool isStartMenuGroup(const char* folder, const char* const* roots, int count);

// A game's registry key or the division key above it ("SOFTWARE\<division>",
// outside the keys the system and the maker's other games share).
bool isProductOrDivisionKey(const char* keyPath);

// Whether the way from a folder to an entry below it passes through a folder
// link (the entry's own last component aside): what lies behind a link is not
// the game's.  Folders found plain are remembered, as a log names the same
// folders again and again.
class CLinkCheck {
  public:
    explicit CLinkCheck(const char* folder);
    bool passesThroughLink(const char* relative);

  private:
    std::string m_folder;
    std::set<std::string> m_plain;
};

// Removes the empty folder and then its empty parents, upwards; a parent is
// tried `tries` times, `waitMs` apart, and the first that stays ends the
// walk.  A drive's root is never tried.
void removeEmptyFolderChain(const char* folder, int tries, unsigned long waitMs);

// The parents only, as above.
void removeEmptyParents(const char* folder, int tries, unsigned long waitMs);

} // namespace zk

#endif
