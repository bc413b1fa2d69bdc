// path_rules.h - the text rules of an install folder and the path and label
// helpers for the host's screens, on text alone (no file system).
#ifndef ZK_CORE_PATH_RULES_H
#define ZK_CORE_PATH_RULES_H

#include <cstddef>

namespace zk {

// Verdicts on an install folder; the same numbers as PathStatus of the
// exported interface (paths.cpp checks that they stay so).
enum InstallPathVerdict {
    kPathValid = 0,
    kPathMalformed = 1,
    kPathProtected = 2,
    kPathTooLong = 3,
    kPathBadCharacter = 4
};

// Characters an install folder may not hold anywhere: " / * ? < > |
bool isForbiddenInPath(wchar_t c);
bool hasForbiddenPathCharacter(const wchar_t* path);

// The verdict of the text rules on an install folder (an InstallPathVerdict):
// a full "X:\..." path, shorter than 128 characters, at most 27 backslashes,
// none doubled, not ending in a backslash or a full stop, no forbidden
// character, and not starting with the Windows or profiles folder (given in
// lower case, without a trailing backslash; either may be empty and then
// protects nothing).  lowerPath is path in lower case.
int judgeInstallPath(const wchar_t* path, const wchar_t* lowerPath, const wchar_t* lowerWindows,
                     const wchar_t* lowerProfiles);

// Shortens a path for a narrow label to at most maxLength characters, keeping
// its file name: "C:\Games\...\readme.txt".  out holds maxLength + 1 bytes.
void squeezePath(const char* path, char* out, int maxLength);

// Doubles every "&" so the host's dialogs show it literally, and trims both
// ends; out holds cap bytes and never ends in half of a doubled pair.
void mfcFriendly(char* out, const char* text, size_t cap);

} // namespace zk

#endif
