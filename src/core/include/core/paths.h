// paths.h - install-folder validation, path and label helpers for the host's
// screens, and the product-name setters that keep derived folders in step.
#ifndef ZK_CORE_PATHS_H
#define ZK_CORE_PATHS_H

#include <cstddef>

#include "ZKInstall.h"
#include "core/path_rules.h"

namespace zk {

class CZKInstaller;

// The verdict on a proposed install folder, judged against the given Windows
// and profiles folders (either may be empty: it then protects nothing): the
// text rules (judgeInstallPath), then a read-only or system folder that
// exists is protected.
PathStatus validateInstallPath(const char* path, const char* windowsFolder,
                               const char* profilesFolder);

// Turns the full stops of a version into commas when the process locale writes
// decimals with a comma; true when it did.
bool commaDecimalVersion(char* version);

// How many running processes have this executable file name (any case);
// *ok is false when the process list cannot be read.
int countProcesses(const char* exeName, bool* ok);

// True when more than `allowed` processes of this executable keep running: a
// program that is just ending (or starting) shows up in one list only, so it
// must be in four lists taken a second apart (about three seconds when it
// runs).  Each list is traced in debug mode.
bool isProgramRunning(const char* exeName, int allowed, bool debug, HWND owner);

// Drops the characters a file name may not hold (a drive's colon stays)
// and trailing blanks; dest holds 260 bytes.
void cleanPath(const char* src, char* dest);

// A name put into a path as ONE file or folder name (dest holds 260 bytes):
// what cleanPath drops and every backslash go wherever they stand, trailing
// blanks and dots are cut (the system ignores them anyway) and a name left
// empty becomes "_", so that "..", "." or "a\..\b" cannot climb out of the
// folder the name is put in.
void cleanComponent(const char* name, char* dest);

// The start-menu folder "<root>\<group>\<product>", cleaned, with the group
// and the product each cleaned as one name; dest holds 260 bytes.
void composeStartMenuFolder(const char* root, const char* group, const char* product,
                            char* dest);

// Product-name setters: the start-menu folder follows the product name, the
// install folder the friendly name (unless the game was installed before).
void setProductName(CZKInstaller& s, const char* name);
void setFriendlyProductName(CZKInstaller& s, const char* name);

} // namespace zk

#endif
