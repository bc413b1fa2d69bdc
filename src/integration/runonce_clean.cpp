// Clearing the Startup folder of the restart links of a cancelled installation.
#include <windows.h>

#include "integration/runonce.h"
#include "platform/text.h"

namespace zk {

int cleanRunOnceLinks(const char* startupFolder) {
    if (!startupFolder || !startupFolder[0])
        return 0;  // the names would be looked for in the current folder
    char folder[kText];
    copyText(folder, startupFolder);
    cutTrailingBackslash(folder);
    int deleted = 0;
    for (int i = 0; i < kRunOnceLinks; ++i) {
        char link[kText + 32];
        formatText(link, sizeof link, "%s\\ZK_RESTART_%03d.lnk", folder, i);
        SetFileAttributesA(link, FILE_ATTRIBUTE_NORMAL);
        if (DeleteFileA(link))
            ++deleted;
    }
    return deleted;
}

} // namespace zk
