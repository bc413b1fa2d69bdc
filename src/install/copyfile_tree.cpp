// CZKCopyFile's folders and trees: folder chains created with roll-back,
// wildcard copies of a tree (XCopy), and removal of files and trees with the
// unregistration of the servers among them.
#include "install/copyfile.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/relpath.h"
#include "platform/text.h"
#include "copyfile_parts.h"

using namespace zk::copyparts;
using zk::pathRootLength;

bool CZKCopyFile::createDirectory(const char* path, int start) {
    if (!path || !path[0] || strlen(path) >= static_cast<size_t>(kPath)) {
        SetLastError(path && path[0] ? ERROR_FILENAME_EXCED_RANGE : ERROR_INVALID_NAME);
        zk::traceFailure(m_debug, "createDirectory", "folder not created", path);
        return false;
    }
    char work[kPath];
    zk::copyText(work, path);
    size_t length = strlen(work);
    size_t root = pathRootLength(work);

    // Ends of the folders this call created, so a failure removes only those.
    size_t created[kPath];
    int createdCount = 0;
    bool ok = true;
    for (size_t i = start > 0 ? static_cast<size_t>(start) : 0; i < length; ++i) {
        if (work[i] != '\\' || i <= root)
            continue;
        work[i] = '\0';
        if (!folderExists(work)) {
            if (CreateDirectoryA(work, nullptr))
                created[createdCount++] = i;
            else
                ok = false;
        }
        work[i] = '\\';
        if (!ok)
            break;
    }
    if (ok && !folderExists(work)) {
        if (CreateDirectoryA(work, nullptr))
            return true;
        ok = false;
    }
    if (ok)
        return true;

    DWORD error = GetLastError();
    zk::traceFailure(m_debug, "createDirectory", "folder not created", path);
    // Roll back, deepest first; a folder that stays busy ends the walk.
    for (int k = createdCount - 1; k >= 0; --k) {
        work[created[k]] = '\0';
        bool removed = false;
        for (int attempt = 0; attempt < 3 && !removed; ++attempt) {
            removed = RemoveDirectoryA(work) != 0;
            if (!removed)
                Sleep(1000);  // a scanner or indexer may hold the new folder a moment
        }
        if (!removed) {
            zk::traceFailure(m_debug, "createDirectory", "created folder left behind", work);
            break;
        }
    }
    SetLastError(error);
    return false;
}

int CZKCopyFile::XCopy(const char* wildcard, const char* destination, int recurse, int* cancel,
                       int* count, int, float*, LPPROGRESS_ROUTINE routine,
                       _zk_copyprogress* record) {
    int ownCount = 0;
    if (!count)
        count = &ownCount;
    if (!wildcard || !destination)
        return -1;

    DWORD attributes = GetFileAttributesA(destination);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        zk::clearReadOnly(destination);
        DeleteFileA(destination);
    }
    // A destination that cannot be made fails at its first file, which the
    // user may retry or ignore; createDirectory has traced it.
    createDirectory(destination, 0);

    // "folder\pattern": the folder keeps its backslash; a bare pattern is
    // looked up in the current folder.
    char folder[kPath] = {};
    const char* pattern = wildcard;
    const char* slash = strrchr(wildcard, '\\');
    if (slash) {
        size_t n = static_cast<size_t>(slash - wildcard) + 1;
        if (n >= static_cast<size_t>(kPath)) {
            zk::traceFailure(m_debug, "XCopy", "path too long", wildcard);
            return -1;
        }
        memcpy(folder, wildcard, n);
        folder[n] = '\0';
        pattern = slash + 1;
    }

    char query[kPath];
    if (!joinPath(query, sizeof query, {folder, pattern})) {
        zk::traceFailure(m_debug, "XCopy", "path too long", wildcard);
        return -1;
    }
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(query, &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (isFolderEntry(found) || isDots(found.cFileName))
                continue;
            char from[kPath], to[kPath];
            bool joined = joinPath(from, sizeof from, {folder, found.cFileName}) &&
                          joinPath(to, sizeof to, {destination, "\\", found.cFileName});
            if (!joined)
                zk::traceFailure(m_debug, "XCopy", "path too long", found.cFileName);
            // MyCopyFile traces a file it did not copy.
            if (!joined || !MyCopyFile(from, to, cancel, routine, record)) {
                FindClose(h);
                return -1;
            }
            ++*count;
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }

    if (recurse) {
        if (!joinPath(query, sizeof query, {folder, "*.*"})) {
            zk::traceFailure(m_debug, "XCopy", "path too long", folder);
            return -1;
        }
        h = FindFirstFileA(query, &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                if (!isFolderEntry(found) || isDots(found.cFileName))
                    continue;
                char subWildcard[kPath], subDestination[kPath];
                const char* name = found.cFileName;
                bool joined =
                    joinPath(subWildcard, sizeof subWildcard, {folder, name, "\\", pattern}) &&
                    joinPath(subDestination, sizeof subDestination, {destination, "\\", name});
                if (!joined)
                    zk::traceFailure(m_debug, "XCopy", "path too long", name);
                if (!joined || XCopy(subWildcard, subDestination, recurse, cancel, count, 1,
                                     nullptr, routine, record) == -1) {
                    FindClose(h);
                    return -1;
                }
            } while (FindNextFileA(h, &found));
            FindClose(h);
        }
    }
    return *count;
}

int CZKCopyFile::Remove(char* path) {
    if (!path || !fileExists(path, false))
        return 1;
    RegistrationKind kind = registrationKind(path);
    const char* form = nullptr;
    if (kind == kProgram)
        form = "/s /UnregServer";
    else if (kind == kLibrary && DLLHasCOMObjects(path))
        form = "/u /s";
    if (form) {
        // A server that stays registered does not keep its file; the failure
        // is traced.
        runRegistration(m_registerFilename, form, path, m_debug, "Remove");
        fflush(nullptr);
        // Give the server's unloading time to finish before the file goes.
        Sleep(1000);
    }
    zk::clearReadOnly(path);
    DeleteFileA(path);  // a file that stays is left to the caller's later passes
    return 1;
}

int CZKCopyFile::XRemove(char* wildcard, bool recurse) {
    if (!wildcard)
        return 1;
    char folder[kPath], name[kPath], base[kPath];
    extractPath(folder, wildcard);
    extractFilename(name, wildcard);
    if (!joinPath(base, sizeof base, {folder, "\\"}))
        return 1;
    // A folder link is removed itself; searching it would list, and delete,
    // what lies at its target.
    DWORD folderAttributes = GetFileAttributesA(folder);
    if (folderAttributes != INVALID_FILE_ATTRIBUTES &&
        (folderAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        (folderAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        RemoveDirectoryA(folder);
        return 1;
    }

    // Every file it matches goes, whatever the pattern.
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(wildcard, &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            char target[kPath];
            if (!isFolderEntry(found) && !isDots(found.cFileName) &&
                joinPath(target, sizeof target, {base, found.cFileName}))
                Remove(target);
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }

    if (recurse) {
        // Folders the wildcard names go with their whole tree...
        h = FindFirstFileA(wildcard, &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                char sub[kPath];
                if (!isFolderEntry(found) || isDots(found.cFileName))
                    continue;
                if (isLinkEntry(found)) {
                    if (joinPath(sub, sizeof sub, {base, found.cFileName}))
                        RemoveDirectoryA(sub);
                } else if (joinPath(sub, sizeof sub, {base, found.cFileName, "\\*.*"})) {
                    XRemove(sub, true);
                }
            } while (FindNextFileA(h, &found));
            FindClose(h);
        }
        // ...and the other subfolders lose what matches the name, as a recursive
        // XCopy of the same wildcard put it there.
        char query[kPath];
        if (strcmp(name, "*.*") != 0 && joinPath(query, sizeof query, {base, "*.*"})) {
            h = FindFirstFileA(query, &found);
            if (h != INVALID_HANDLE_VALUE) {
                do {
                    char sub[kPath];
                    if (isFolderEntry(found) && !isLinkEntry(found) && !isDots(found.cFileName) &&
                        joinPath(sub, sizeof sub, {base, found.cFileName, "\\", name}))
                        XRemove(sub, true);
                } while (FindNextFileA(h, &found));
                FindClose(h);
            }
        }
    }
    RemoveDirectoryA(folder);  // only succeeds once the folder is empty
    return 1;
}
