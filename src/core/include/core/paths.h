// paths.h - install-folder validation, path and label helpers for the host's
// screens, and the product-name setters that keep derived folders in step.
#ifndef ZK_CORE_PATHS_H
#define ZK_CORE_PATHS_H

#include <cstddef>

#include "ZKInstall.h"

namespace zk {

class CZKInstaller;

// The verdict on a proposed install folder, judged against the given Windows
// and profiles folders (either may be empty: it then protects nothing).
PathStatus validateInstallPath(const char* path, const char* windowsFolder,
                               const char* profilesFolder);

// Shortens a path for a narrow label to at most maxLength characters, keeping
// its file name: "C:\Games\...\readme.txt".  out holds maxLength + 1 bytes.
void squeezePath(const char* path, char* out, int maxLength);

// Turns the full stops of a version into commas when the process locale writes
// decimals with a comma; true when it did.
bool commaDecimalVersion(char* version);

// Doubles every "&" so the host's dialogs show it literally, and trims both
// ends; out holds cap bytes and never ends in half of a doubled pair.
void mfcFriendly(char* out, const char* text, size_t cap);

// How many running processes have this executable file name (any case);
// *ok is false when the process list cannot be read.
int countProcesses(const char* exeName, bool* ok);

// Drops the characters a file name may not hold (a drive's colon stays)
// and trailing blanks; dest holds 260 bytes.
void cleanPath(const char* src, char* dest);

// Product-name setters: the start-menu folder follows the product name, the
// install folder the friendly name (unless the game was installed before).
void setProductName(CZKInstaller& s, const char* name);
void setFriendlyProductName(CZKInstaller& s, const char* name);

} // namespace zk

#endif
