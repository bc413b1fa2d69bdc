// game_registry.h - where an installed game lives in the registry, and the
// recognition of an earlier installation of the same product.
// Every key named here lies under HKEY_LOCAL_MACHINE.
#ifndef ZK_INTEGRATION_GAME_REGISTRY_H
#define ZK_INTEGRATION_GAME_REGISTRY_H

#include <cstddef>

namespace zk {

class CZKInstaller;

extern const char kAppPathsRoot[];      // "...\App Paths\"
extern const char kUninstallRoot[];     // "...\Uninstall" (no trailing backslash)
extern const char kInstalledGamesRoot[];  // "SOFTWARE\Vantorel\ZK Core\Installed Games\"

// Key paths are composed into buffers of this size; a path that does not fit
// is refused rather than cut, so a key is never written under a wrong name.
const size_t kKeyPath = 1024;

// "App Paths\<executable>".  False without an executable: the bare App Paths
// key is shared by every program and must never take a game's values.
bool appPathsKey(const CZKInstaller& s, char* out, size_t cap);

// "SOFTWARE\<division>\<game name>".  False when either part is empty, as the
// key would then be the division's key, which the uninstaller deletes whole.
bool gameKey(const CZKInstaller& s, char* out, size_t cap);

// The per-version subkey of a game key.  A product without a version uses
// "1.0", the version every installation starts with; an empty name would
// otherwise put the subkey's numeric "Language" over the game key's text one.
bool versionKey(const char* game, const char* version, char* out, size_t cap);

// "Installed Games\<core link>\<executable>"; false without a core link or an
// executable.
bool installedGamesKey(const CZKInstaller& s, char* out, size_t cap);

// "Uninstall\<product GUID>"; false without a GUID (the bare key holds the
// entries of every installed program) or with a backslash in it.
bool uninstallKey(const char* productGUID, char* out, size_t cap);

// Appends a backslash unless the text already ends in one.
void ensureBackslash(char* text, size_t cap);

// The root of the location the installer runs from, with a backslash:
// "D:\" for a drive path, "\\server\share\" for a network path.
void cdDriveRoot(const char* installFrom, char* out, size_t cap);

// The short (8.3) form of a folder, ending in a backslash; false when the
// system has none (the folder does not exist).
bool shortFolder(const char* folder, char* out, size_t cap);

// A byte count as whole kilobytes in decimal text (integer division).
void kilobyteText(__int64 bytes, char* out, size_t cap);

// Splits a "Game Registry" value "SOFTWARE\<division>\<game name>" at its
// first two backslashes; false when it has fewer or a part is empty.
bool splitGameKey(const char* value, char* division, char* name, size_t cap);

// True when both texts parse as registry-form GUIDs ("{...}") naming the
// same 16 bytes.
bool sameGuid(const char* a, const char* b);

// The executable's path: "<install folder>\<executable>", replaced by the
// first match in the install folder or below.
void installedExecutablePath(const CZKInstaller& s, char* out, size_t cap);

// The icon's path found the same way; empty without an icon setting.
void installedIconPath(const CZKInstaller& s, char* out, size_t cap);

// Recognises an earlier, completed installation of the configured product and
// adopts its settings; otherwise deletes a leftover Uninstall entry of the
// product.  Stores the answer in the state's previously-installed flag too.
bool detectPreviousInstallation(CZKInstaller& s);

// Writing the entries.  Each reports whether every key and value applied; a
// failure is traced by name in debug mode.
// The App Paths entry, the game key with its version subkey and the shared
// "Installed Games" entry; a game key that cannot be created is shown.
bool writeGameRegistry(CZKInstaller& s);
// The product's Uninstall entry; false without a product GUID.
bool writeUninstallEntry(CZKInstaller& s);
// The App Paths "Installed" flag.
bool setInstalledFlag(CZKInstaller& s, bool installed);
bool getInstalledFlag(CZKInstaller& s);
// The flags a reboot leaves for the next run: App Paths "Restart" and
// "DirectX Installed", the game key's install-from location and language.
bool setRestartFlag(CZKInstaller& s, bool restarted);
// Reads a pending restart back into the state (division, game name, DirectX
// flag, install-from location and language); true when one is pending.
bool getRestartFlag(CZKInstaller& s);
// The game key's "CacheSize" and "SwapSize" in kilobytes.
bool setCacheSize(CZKInstaller& s, __int64 bytes);
bool setSwapSize(CZKInstaller& s, __int64 bytes);
// Reads an earlier installation's entries into the state: 0, or -1 when its
// App Paths entry does not open.
int readGameRegistry(CZKInstaller& s);

// Copies the uninstaller program and this library into the install folder
// when they are not there yet, taking each from the first of the source
// folders that holds it, and logs what it copied so the uninstaller removes
// it.  Returns how many files were both copied and logged; a copy or a log
// line that fails is traced by name in debug mode.
int placeUninstaller(CZKInstaller& s, const char* const* sourceFolders, int count);
// The same from the disc's AutoRun folder, then this library's own folder.
int placeUninstaller(CZKInstaller& s);

} // namespace zk

#endif
