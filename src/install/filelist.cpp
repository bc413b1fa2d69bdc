// The install log: forming, checking and appending "disc,level,path" lines.
#include "install/filelist.h"

#include <cstring>

#include "ZKInstall.h"
#include "platform/text.h"

namespace zk {

bool climbsUp(const char* begin, const char* end) {
    int dots = 0;
    for (const char* p = begin; p < end; ++p) {
        if (*p == '.')
            ++dots;
        else if (*p != ' ')
            return false;
    }
    return dots >= 2;
}

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

bool isInstallRelativePath(const char* path) {
    if (!path || !path[0] || strlen(path) >= static_cast<size_t>(kText))
        return false;
    for (const char* p = path; *p; ++p)
        if (static_cast<unsigned char>(*p) < 0x20 || *p == 0x7F)
            return false;

    // What the uninstaller will use: the text before the recursive mark,
    // without surrounding blanks.
    const char* mark = strstr(path, "/s");
    if (!mark)
        mark = strstr(path, "/S");
    const char* begin = path;
    const char* end = mark ? mark : path + strlen(path);
    while (begin < end && (*begin == ' ' || *begin == '\t'))
        ++begin;
    while (end > begin && (end[-1] == ' ' || end[-1] == '\t'))
        --end;
    if (begin == end || *begin == '\\' || *begin == '/')
        return false;
    for (const char* p = begin; p < end; ++p)
        if (*p == ':')
            return false;
    const char* component = begin;
    for (const char* p = begin;; ++p) {
        if (p == end || *p == '\\' || *p == '/') {
            if (climbsUp(component, p))
                return false;
            if (p == end)
                break;
            component = p + 1;
        }
    }
    return true;
}

bool formatFileListLine(char* out, size_t cap, int disc, int level, const char* path,
                        bool recursive) {
    if (!out || cap == 0)
        return false;
    out[0] = '\0';
    if (!isInstallRelativePath(path))
        return false;
    int n = snprintf(out, cap, recursive ? "%d,%d,%s /s\r\n" : "%d,%d,%s\r\n", disc, level, path);
    if (n < 0 || static_cast<size_t>(n) >= cap) {
        out[0] = '\0';
        return false;
    }
    return true;
}

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
