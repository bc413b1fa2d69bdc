// File-list and install-log lines: reading, splitting, merging and forming.
#include "install/listlines.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/text.h"
#include "platform/relpath.h"
#include "platform/textlines.h"

namespace zk {

namespace {

// A logged entry must stay shorter than the install folder's text fields.
const size_t kLongestEntry = 260;

// The first recursive mark of a list line, or null.  The earliest of either
// case: cutting at a later one would leave an earlier mark in the path, and
// the path's check would then cut there and pass what follows it unseen.
char* findMark(char* text) {
    char* lower = strstr(text, "/s");
    char* upper = strstr(text, "/S");
    return !lower ? upper : !upper ? lower : lower < upper ? lower : upper;
}

// What the uninstaller uses of an entry cut at `end`: the text without
// surrounding blanks, which must stay inside the install folder.
bool isSafeBeforeMark(const char* begin, const char* end) {
    while (begin < end && (*begin == ' ' || *begin == '\t'))
        ++begin;
    while (end > begin && (end[-1] == ' ' || end[-1] == '\t'))
        --end;
    char used[kLongestEntry];
    if (static_cast<size_t>(end - begin) >= sizeof used)
        return false;
    copyText(used, static_cast<size_t>(end - begin) + 1, begin);
    return isSafeRelativePath(used);
}

} // namespace

bool parseFileListLine(const char* line, FileListEntry* entry) {
    char text[kListLine];
    copyText(text, line);
    *entry = FileListEntry();
    char* mark = findMark(text);
    if (mark) {
        entry->recursive = true;
        *mark = '\0';
    }
    char* comma1 = strchr(text, ',');
    if (!comma1)
        return false;
    char* comma2 = strchr(comma1 + 1, ',');
    if (!comma2)
        return false;
    entry->disc = atoi(text);
    entry->level = atoi(comma1 + 1);
    copyText(entry->path, comma2 + 1);
    return true;
}

bool discAndLevel(const std::string& line, int* disc, int* level) {
    size_t comma = line.find(',');
    if (comma == std::string::npos)
        return false;
    *disc = atoi(line.c_str());
    *level = atoi(line.c_str() + comma + 1);
    return true;
}

void readListText(const char* data, size_t size, std::vector<std::string>* out) {
    CTextLines lines(data, size, kListLine);
    std::string line;
    while (lines.next(line))
        if (!line.empty())
            out->push_back(line);
}

void mergeFileLists(std::vector<std::string>* work, const std::vector<std::string>& language) {
    size_t cursor = 0;
    for (const std::string& line : language) {
        if (work->empty()) {
            work->push_back(line);
            continue;
        }
        int disc, level;
        if (!discAndLevel(line, &disc, &level))
            continue;
        bool inserted = false;
        for (; cursor < work->size(); ++cursor) {
            int d, l;
            // An entry without a comma has no place in the order: pass it.
            if (!discAndLevel((*work)[cursor], &d, &l))
                continue;
            if (d > disc || (d == disc && l > level)) {
                work->insert(work->begin() + static_cast<std::ptrdiff_t>(cursor), line);
                inserted = true;
                break;
            }
        }
        if (!inserted) {
            work->push_back(line);
            cursor = work->size();
        }
    }
}

bool isInstallRelativePath(const char* path) {
    if (!path || !path[0])
        return false;
    // Trailing blanks do not count, as a recursive entry comes back from its
    // log line with the blank before the mark.
    size_t length = strlen(path);
    while (length > 0 && (path[length - 1] == ' ' || path[length - 1] == '\t'))
        --length;
    if (length >= kLongestEntry)
        return false;
    for (const char* p = path; *p; ++p)
        if (static_cast<unsigned char>(*p) < 0x20 || *p == 0x7F)
            return false;
    // Readers of a log line may look for either case of the mark first, so
    // the part before the first mark of each case must pass.
    const char* lower = strstr(path, "/s");
    const char* upper = strstr(path, "/S");
    if (!lower && !upper)
        return isSafeBeforeMark(path, path + strlen(path));
    return (!lower || isSafeBeforeMark(path, lower)) && (!upper || isSafeBeforeMark(path, upper));
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

} // namespace zk
