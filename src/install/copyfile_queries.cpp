// CZKCopyFile's queries: the pieces of a path, whether a file or folder is
// there, and the search for the first file a wildcard matches.
#include "install/copyfile.h"

#include <cstring>

#include "platform/text.h"
#include "copyfile_parts.h"

using namespace zk::copyparts;

void CZKCopyFile::extractExtension(char* out, const char* name) {
    out[0] = '\0';
    if (!name)
        return;
    for (size_t i = strlen(name); i-- > 1;) {
        if (name[i] == '.') {
            zk::copyText(out, kPath, name + i + 1);
            return;
        }
    }
}

void CZKCopyFile::extractFilename(char* out, const char* path) {
    const char* slash = path ? strrchr(path, '\\') : nullptr;
    zk::copyText(out, kPath, slash ? slash + 1 : path);
}

void CZKCopyFile::extractPath(char* out, const char* path) {
    const char* slash = path ? strrchr(path, '\\') : nullptr;
    if (!slash) {
        zk::copyText(out, kPath, ".");
        return;
    }
    size_t n = static_cast<size_t>(slash - path);
    zk::copyText(out, n + 1 < kPath ? n + 1 : kPath, path);
}

int CZKCopyFile::isFile(const CString& path, DWORD* sizeHigh, DWORD* sizeLow) {
    if (sizeHigh)
        *sizeHigh = 0;
    if (sizeLow)
        *sizeLow = 0;
    if (!path.m_pszData)
        return 0;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(path.m_pszData, &found);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(h);
    if (isFolderEntry(found))
        return 0;
    if (sizeHigh)
        *sizeHigh = found.nFileSizeHigh;
    if (sizeLow)
        *sizeLow = found.nFileSizeLow;
    return 1;
}

bool CZKCopyFile::fileExists(const char* path, bool showDebug) {
    WIN32_FIND_DATAA found;
    HANDLE h = path ? FindFirstFileA(path, &found) : INVALID_HANDLE_VALUE;
    if (h == INVALID_HANDLE_VALUE) {
        if (showDebug)
            DebugMessageBox(nullptr, "FindFirstFile returned INVALID_HANDLE_VALUE", path, MB_OK);
        return false;
    }
    FindClose(h);
    bool folder = isFolderEntry(found);
    if (showDebug)
        DebugMessageBox(nullptr, path,
                        folder ? "File is a directory (FileExists)" : "Found! (FileExists)", MB_OK);
    return !folder;
}

bool CZKCopyFile::dirExists(const char* path) {
    WIN32_FIND_DATAA found;
    HANDLE h = path ? FindFirstFileA(path, &found) : INVALID_HANDLE_VALUE;
    if (h == INVALID_HANDLE_VALUE)
        return false;
    FindClose(h);
    return isFolderEntry(found);
}

// Depth-first search of folder (and, with recurse, its subfolders) for the
// first file matching pattern.
static bool findIn(const char* folder, const char* pattern, int recurse, char* out) {
    char query[kPath];
    WIN32_FIND_DATAA found;
    if (joinPath(query, sizeof query, {folder, "\\", pattern})) {
        HANDLE h = FindFirstFileA(query, &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                char path[kPath];
                if (!isFolderEntry(found) && !isDots(found.cFileName) &&
                    joinPath(path, sizeof path, {folder, "\\", found.cFileName})) {
                    FindClose(h);
                    zk::copyText(out, kPath, path);
                    return true;
                }
            } while (FindNextFileA(h, &found));
            FindClose(h);
        }
    }
    if (!recurse || !joinPath(query, sizeof query, {folder, "\\*.*"}))
        return false;
    HANDLE h = FindFirstFileA(query, &found);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    bool hit = false;
    do {
        char sub[kPath];
        if (isFolderEntry(found) && !isDots(found.cFileName) &&
            joinPath(sub, sizeof sub, {folder, "\\", found.cFileName}))
            hit = findIn(sub, pattern, recurse, out);
    } while (!hit && FindNextFileA(h, &found));
    FindClose(h);
    return hit;
}

bool CZKCopyFile::findFile(const char* wildcard, int recurse, char* out) {
    if (!wildcard || !out)
        return false;
    char folder[kPath], pattern[kPath];
    extractPath(folder, wildcard);
    extractFilename(pattern, wildcard);
    return findIn(folder, pattern, recurse, out);
}
