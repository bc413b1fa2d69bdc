// uninstall_parts.h - what CZKUninstall's source files share; private to the
// uninstall layer.
#ifndef ZK_UNINSTALL_PARTS_H
#define ZK_UNINSTALL_PARTS_H

#include <cstddef>

#include "ZKInstall.h"

namespace zk {
namespace uninstallparts {

// The class's messages: through the host's message box, plain OK, no owner,
// and only in debug mode.
void say(bool debug, const char* text, const char* caption);

// A text value, terminated; false (and empty) when missing or longer than the field.
bool readText(CZKRegistry& key, const char* name, char* out, size_t cap);

// "Language" of the game key's "1.0" subkey; 1 when the subkey does not open.
void readLanguageIndex(const char* gameKey, int* index);

// Puts a copy of the install log into the temporary folder as
// "filelist.txt".  An earlier run's copy goes first, so that a failed copy
// can never replay a stale log; true when the copy is there.
bool copyLogToTemp(CZKCopyFile& files, const char* logFile, const char* tempFolder);

} // namespace uninstallparts
} // namespace zk

#endif
