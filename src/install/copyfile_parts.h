// copyfile_parts.h - what the copy engine's own source files share: bounded
// path joining, find-data tests and the registration of servers.  Private to
// the install layer; the rest of the library uses install/copyfile.h.
#ifndef ZK_INSTALL_COPYFILE_PARTS_H
#define ZK_INSTALL_COPYFILE_PARTS_H

#include <cstring>
#include <initializer_list>

#include "install/copyfile.h"

namespace zk {
namespace copyparts {

const int kPath = 260;

// Joins the parts into out; false (and out empty) when they do not fit, so a
// cut path can never name some other file.
bool joinPath(char* out, size_t cap, std::initializer_list<const char*> parts);

inline bool isDots(const char* name) { return !strcmp(name, ".") || !strcmp(name, ".."); }

inline bool isFolderEntry(const WIN32_FIND_DATAA& found) {
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A folder link (junction, symbolic link, mounted folder): removing a tree
// takes the link itself and never what it points to.
inline bool isLinkEntry(const WIN32_FIND_DATAA& found) {
    return (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

inline bool folderExists(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

enum RegistrationKind { kOther, kLibrary, kProgram };

// Which files the registration tool serves: "dll" and "ocx" libraries (when
// they hold COM servers) and "exe" programs, by their extension in any case.
RegistrationKind registrationKind(const char* path);

// Runs the registration tool with `form` and the quoted file, traced in debug
// mode.  True when the tool ran and exited with 0; a failure is traced with
// the file's name.
bool runRegistration(const char* tool, const char* form, const char* file, bool debug,
                     const char* caption);

} // namespace copyparts
} // namespace zk

#endif
