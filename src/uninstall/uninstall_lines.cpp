// Install-log lines as the uninstaller reads them.  No Windows header: the
// reading is fuzzed natively against the lines the installation writes.
#include <cstring>

#include "install/listlines.h"
#include "platform/relpath.h"
#include "platform/text.h"
#include "uninstall/uninstall.h"

namespace zk {

bool parseUninstallLine(const char* line, UninstallEntry* entry) {
    *entry = UninstallEntry();
    char text[kUninstallText];
    copyText(text, line);
    text[strcspn(text, "\r")] = '\0';
    text[strcspn(text, "\n")] = '\0';
    // The installation's own split, so the mark and the path are found where
    // the log line was formed from them.
    FileListEntry split;
    if (!parseFileListLine(text, &split))
        return false;
    copyText(entry->path, split.path);
    trimText(entry->path);
    entry->recursive = split.recursive;
    entry->wildcard = strpbrk(entry->path, "*?") != nullptr;
    // A line that would reach outside the install folder is skipped in both
    // passes and in the folder walk: only the game's own files go.
    return entry->path[0] && isSafeRelativePath(entry->path);
}

} // namespace zk
