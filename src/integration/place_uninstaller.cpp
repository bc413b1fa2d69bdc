// The uninstaller in the install folder: the uninstaller program and this
// library copied beside the game and named in its install log.
#include "integration/game_registry.h"

#include <cstdio>
#include <cstring>

#include "core/installer.h"
#include "install/copyfile.h"
#include "install/filelist.h"
#include "platform/text.h"

namespace zk {

// True when the install log in `folder` has a line for `file` (its path after
// the second comma, compared without regard to case).
static bool logNames(const char* folder, const char* file) {
    char path[kKeyPath];
    formatText(path, sizeof path, "%s\\filelist.txt", folder);
    FILE* log = fopen(path, "r");
    if (!log)
        return false;
    bool found = false;
    char line[1024];
    while (!found && fgets(line, sizeof line, log)) {
        line[strcspn(line, "\r\n")] = '\0';
        const char* comma = strchr(line, ',');
        comma = comma ? strchr(comma + 1, ',') : nullptr;
        found = comma && lstrcmpiA(comma + 1, file) == 0;
    }
    fclose(log);
    return found;
}

// Copies `file` to `target` from the first source folder that holds it; false
// when none did.  A copy that fails is traced, and the next folder tried.
static bool copyFromSources(CZKInstaller& s, const char* file, const char* target,
                            const char* const* sourceFolders, int count) {
    for (int i = 0; i < count; ++i) {
        if (!sourceFolders[i] || !sourceFolders[i][0])
            continue;
        char source[kKeyPath];
        formatText(source, sizeof source, "%s\\%s", sourceFolders[i], file);
        if (!s.m_system.fileExists(source))
            continue;
        if (!CopyFileA(source, target, TRUE)) {
            traceFailure(s.m_debug, "placeUninstaller", "not copied", source);
            continue;
        }
        // A copy from a disc is read-only; the uninstaller must be able to
        // delete it.
        DWORD attributes = GetFileAttributesA(target);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
            !clearReadOnly(target))
            traceFailure(s.m_debug, "placeUninstaller", "left read-only", target);
        return true;
    }
    traceFailure(s.m_debug, "placeUninstaller", "not placed", file);
    return false;
}

int placeUninstaller(CZKInstaller& s, const char* const* sourceFolders, int count) {
    static const char* const kFiles[] = {"ZKUninstall.exe", "ZKInstall.dll"};
    if (!s.m_installFolder[0])
        return 0;
    int placed = 0;
    for (const char* file : kFiles) {
        char target[kKeyPath];
        formatText(target, sizeof target, "%s\\%s", s.m_installFolder, file);
        // Already there: from the disc's file lists, which log it themselves,
        // or from an earlier installation, whose log the new one replaced; the
        // uninstaller only removes what the current log names.
        if (GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES) {
            if (!logNames(s.m_installFolder, file))
                appendFileListEntry(0, 0, file, s.m_installFolder, s.m_debug);  // traced there
            continue;
        }
        // A copy the log does not name would outlive the uninstaller: it is
        // not counted (appendFileListEntry traces the line).
        if (copyFromSources(s, file, target, sourceFolders, count) &&
            appendFileListEntry(0, 0, file, s.m_installFolder, s.m_debug))
            ++placed;
    }
    return placed;
}

int placeUninstaller(CZKInstaller& s) {
    char libraryFolder[kKeyPath] = {};
    HMODULE self = nullptr;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&detectPreviousInstallation), &self)) {
        DWORD n = GetModuleFileNameA(self, libraryFolder, sizeof libraryFolder);
        if (n == 0 || n >= sizeof libraryFolder)
            libraryFolder[0] = '\0';
        char* slash = strrchr(libraryFolder, '\\');
        if (slash)
            *slash = '\0';
        else
            libraryFolder[0] = '\0';
    }
    const char* folders[] = {s.m_autoRunFolder, libraryFolder};
    return placeUninstaller(s, folders, 2);
}

} // namespace zk
