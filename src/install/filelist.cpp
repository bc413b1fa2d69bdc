// The install log: creating it and appending "disc,level,path" lines (formed
// and checked in listlines.cpp).
#include "install/filelist.h"

#include <cstring>

#include "ZKInstall.h"
#include "platform/text.h"

namespace zk {

namespace {

bool logPath(const char* folder, char* out, size_t cap) {
    if (!folder || !folder[0])
        return false;
    size_t n = strlen(folder);
    const char* name = "filelist.txt";
    bool slash = folder[n - 1] == '\\';
    if (n + (slash ? 0 : 1) + strlen(name) >= cap)
        return false;
    formatText(out, cap, slash ? "%s%s" : "%s\\%s", folder, name);
    return true;
}

} // namespace

FILE* createFileList(const char* folder) {
    char path[kText];
    if (!logPath(folder, path, sizeof path))
        return nullptr;
    FILE* log = fopen(path, "wb");
    if (!log)
        return nullptr;
    fclose(log);
    return fopen(path, "ab");
}

bool writeFileListLine(FILE* log, int disc, int level, const char* path, bool recursive) {
    char line[kText + 64];
    if (!log || !formatFileListLine(line, sizeof line, disc, level, path, recursive))
        return false;
    size_t n = strlen(line);
    bool written = fwrite(line, 1, n, log) == n;
    return fflush(log) == 0 && written;
}

bool appendFileListEntry(int disc, int level, const char* path, const char* folder, bool debug) {
    char line[kText + 64];
    if (!formatFileListLine(line, sizeof line, disc, level, path, false)) {
        if (debug)
            DebugMessageBox(nullptr, "appendFileListEntry: entry refused", path ? path : "",
                            MB_OK);
        return false;
    }
    char logFile[kText];
    if (!logPath(folder, logFile, sizeof logFile))
        return false;
    // Binary, so the CR LF ending reaches the disc exactly as formed.
    FILE* log = fopen(logFile, "ab");
    bool written = log && fwrite(line, 1, strlen(line), log) == strlen(line);
    if (log && fclose(log) != 0)
        written = false;
    if (!written && debug)
        DebugMessageBox(nullptr, "appendFileListEntry: not written", logFile, MB_OK);
    return written;
}

} // namespace zk
