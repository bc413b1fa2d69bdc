#include "addons_files.h"

#include <windows.h>

#include <cstring>

namespace zk {
namespace {

bool isFile(const WIN32_FIND_DATAA& found) {
    const char* n = found.cFileName;
    bool dots = n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'));
    return !dots && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool fits(const char* name, size_t cap) { return strnlen(name, cap) < cap; }

} // namespace

bool findFirstFile(const char* pattern, char* name, size_t cap) {
    if (!pattern || !name || cap == 0)
        return false;
    name[0] = '\0';
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(pattern, &found);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    bool hit = false;
    do {
        hit = isFile(found);
    } while (!hit && FindNextFileA(h, &found));
    FindClose(h);
    if (!hit || !fits(found.cFileName, cap))
        return false;
    copyText(name, cap, found.cFileName);
    return true;
}

void listFiles(const char* pattern, FileNames& out) {
    out.count = 0;
    out.complete = true;
    WIN32_FIND_DATAA found;
    HANDLE h = pattern ? FindFirstFileA(pattern, &found) : INVALID_HANDLE_VALUE;
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!isFile(found))
            continue;
        if (out.count == kMaxGameInstallers) {
            out.complete = false;
            break;
        }
        copyText(out.names[out.count++], found.cFileName);
    } while (FindNextFileA(h, &found));
    FindClose(h);
}

} // namespace zk
