// The guards the uninstaller passes before it removes a folder, a Start-menu
// group or a registry key named by what the installation left behind.
#include "uninstall/uninstall.h"

#include <windows.h>

#include <cstring>

#include "core/paths.h"
#include "platform/guards.h"
#include "platform/relpath.h"
#include "platform/text.h"

namespace zk {

namespace {

bool isLinkFolder(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

} // namespace

bool isRemovableInstallFolder(const char* folder, const char* windowsFolder,
                              const char* profilesFolder) {
    if (!folder || !folder[0])
        return false;
    char text[kUninstallText];
    copyText(text, folder);
    cutTrailingBackslash(text);
    // A tampered "Install Dir" such as "C:\" or the Windows folder is refused
    // by the same check the install folder passed when it was chosen; the
    // short form the registry holds is judged in its long form too.
    if (validateInstallPath(text, windowsFolder, profilesFolder) != PathValid)
        return false;
    char longForm[kUninstallText];
    DWORD n = GetLongPathNameA(text, longForm, sizeof longForm);
    if (n == 0 || n >= sizeof longForm)
        return true;  // nothing of it exists: nothing to judge but the text
    cutTrailingBackslash(longForm);
    return validateInstallPath(longForm, windowsFolder, profilesFolder) == PathValid;
}

bool isStartMenuGroup(const char* folder, const char* const* roots, int count) {
    size_t n = folder ? strlen(folder) : 0;
    // A group read back without its backslash would glue "*.*" to its name
    // and empty the folder above it.
    if (n == 0 || folder[n - 1] != '\\')
        return false;
    for (int i = 0; i < count; ++i)
        if (roots[i] && roots[i][0] && isStrictlyInside(folder, roots[i]))
            return true;
    return false;
}

bool isProductOrDivisionKey(const char* keyPath) {
    if (isProductKey(keyPath))
        return true;
    // "SOFTWARE\<division>": one backslash, and a key below it would be a
    // game's own.
    const char* slash = keyPath ? strchr(keyPath, '\\') : nullptr;
    if (!slash || strchr(slash + 1, '\\'))
        return false;
    char below[kUninstallText + 4];
    formatText(below, sizeof below, "%s\\x", keyPath);
    return isProductKey(below);
}

CLinkCheck::CLinkCheck(const char* folder) : m_folder(folder ? folder : "") {
    while (!m_folder.empty() && m_folder.back() == '\\')
        m_folder.pop_back();
}

bool CLinkCheck::passesThroughLink(const char* relative) {
    std::string path = m_folder + "\\" + relative;
    for (size_t i = m_folder.size() + 1; i < path.size(); ++i) {
        if (path[i] != '\\' && path[i] != '/')
            continue;
        std::string head = path.substr(0, i);
        if (m_plain.count(head))
            continue;
        if (isLinkFolder(head.c_str()))
            return true;
        m_plain.insert(head);
    }
    return false;
}

void removeEmptyParents(const char* folder, int tries, unsigned long waitMs) {
    char path[kUninstallText];
    copyText(path, folder);
    cutTrailingBackslash(path);
    size_t root = pathRootLength(path);
    for (;;) {
        char* slash = strrchr(path, '\\');
        // "C:" alone would name the drive's current folder, not its root.
        if (!slash || static_cast<size_t>(slash - path) < root ||
            static_cast<size_t>(slash - path) <= 2)
            return;
        *slash = '\0';
        if (strlen(path) <= root)
            return;
        bool removed = false;
        for (int i = 0; i < tries && !removed; ++i) {
            removed = RemoveDirectoryA(path) != 0;
            if (!removed)
                Sleep(waitMs);
        }
        if (!removed)
            return;
    }
}

void removeEmptyFolderChain(const char* folder, int tries, unsigned long waitMs) {
    char path[kUninstallText];
    copyText(path, folder);
    cutTrailingBackslash(path);
    if (strlen(path) <= pathRootLength(path))
        return;
    RemoveDirectoryA(path);  // only an empty folder goes
    removeEmptyParents(path, tries, waitMs);
}

} // namespace zk
