// CZKUninstall::removeFiles: the install log replayed in two passes, the
// folders it named removed once empty, then the install folder and its empty
// parents.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ZKInstall.h"
#include "core/prompts.h"
#include "platform/text.h"
#include "uninstall/uninstall.h"
#include "uninstall_parts.h"

using namespace zk;
using namespace zk::uninstallparts;

namespace {

const int kLogLine = 1024;  // one read of the log: 1023 characters at most

// Folders compared as the file system does, without regard to case.
struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const {
        return _stricmp(a.c_str(), b.c_str()) < 0;
    }
};

size_t depth(const std::string& path) {
    return static_cast<size_t>(std::count(path.begin(), path.end(), '\\') +
                               std::count(path.begin(), path.end(), '/'));
}

// One replay of the log's lines.
class LogReplay {
  public:
    LogReplay(const char* folder, bool debug) : m_folder(folder), m_links(folder) {
        m_files.setDebugMode(debug);
    }

    // The entry's full path below the install folder; false for a line that
    // is skipped (see parseUninstallLine), one too long for a path, and one
    // that reaches through a folder link.
    bool entry(const char* line, UninstallEntry* e, char* full, size_t cap) {
        if (!parseUninstallLine(line, e))
            return false;
        formatText(full, cap, "%s\\%s", m_folder, e->path);
        if (strlen(m_folder) + 1 + strlen(e->path) >= MAX_PATH)
            return false;
        return !m_links.passesThroughLink(e->path);
    }

    void remove(const UninstallEntry& e, char* full) {
        if (e.recursive || e.wildcard)
            m_files.XRemove(full, e.recursive);
        else
            m_files.Remove(full);
    }

    // The folders on the entry's path below the install folder; the entry
    // itself when it names a folder (a trailing backslash, or a recursive
    // entry without wildcards).
    void noteFolders(const UninstallEntry& e, const char* full) {
        std::string path = full;
        size_t base = strlen(m_folder);
        size_t n = path.size();
        bool folderEntry = (n > 0 && (path[n - 1] == '\\' || path[n - 1] == '/')) ||
                           (e.recursive && !e.wildcard);
        while (n > base && (path[n - 1] == '\\' || path[n - 1] == '/'))
            --n;
        path.resize(n);
        if (folderEntry)
            m_folders.insert(path);
        for (size_t i = n; i-- > base + 1;)
            if (path[i] == '\\' || path[i] == '/')
                m_folders.insert(path.substr(0, i));
    }

    // Each folder once, deepest first: the removal only takes empty ones.
    void removeFolders() {
        std::vector<std::string> folders(m_folders.begin(), m_folders.end());
        std::stable_sort(folders.begin(), folders.end(),
                         [](const std::string& a, const std::string& b) {
                             return depth(a) > depth(b);
                         });
        for (const std::string& folder : folders)
            RemoveDirectoryA(folder.c_str());
    }

    CZKCopyFile& files() { return m_files; }

  private:
    const char* m_folder;
    CLinkCheck m_links;
    CZKCopyFile m_files;
    std::set<std::string, NoCase> m_folders;
};

} // namespace

bool CZKUninstall::removeFiles(float* progress) {
    if (!m_installFolder[0])
        endProcess(-3, "removeFiles: no install folder");
    char folder[kUninstallText];
    copyText(folder, m_installFolder);
    cutTrailingBackslash(folder);
    CZKSystem system;
    char windows[kText], profiles[kText];
    system.getWindowsPath(windows);
    system.getProfilesPath(profiles);
    // A tampered "Install Dir" (a drive's root, the Windows folder) would
    // have the log's wildcard lines empty it: nothing is removed there.
    if (!isRemovableInstallFolder(folder, windows, profiles)) {
        say(m_debug, "Install folder refused", folder);
        return true;
    }

    FILE* log = fopen("filelist.txt", "r");
    if (!log) {
        say(m_debug, "No cache filelist", "filelist.txt");
        return true;
    }
    char line[kLogLine];
    int count = 0;
    while (!feof(log) && !ferror(log)) {
        if (!fgets(line, sizeof line, log) && ferror(log))
            break;
        ++count;
    }
    rewind(log);

    LogReplay replay(folder, m_debug);
    UninstallEntry e;
    char full[2 * kUninstallText];
    int done = 0;
    while (fgets(line, sizeof line, log)) {
        ++done;
        if (!replay.entry(line, &e, full, sizeof full))
            continue;
        replay.remove(e, full);
        if (progress && count > 0)
            *progress = static_cast<float>(done) / static_cast<float>(count) * 100.0f;
    }

    // The second pass takes what the first could not yet (a wildcard set
    // whose folders emptied meanwhile) and gathers the folders to remove.
    rewind(log);
    Sleep(100);
    while (fgets(line, sizeof line, log)) {
        if (!replay.entry(line, &e, full, sizeof full))
            continue;
        if (e.recursive || e.wildcard)
            replay.remove(e, full);
        replay.noteFolders(e, full);
    }
    replay.removeFolders();
    RemoveDirectoryA(folder);
    fclose(log);

    char path[2 * kUninstallText];
    formatText(path, sizeof path, "%s\\filelist.txt", folder);
    DeleteFileA(path);
    char temp[MAX_PATH + 1] = "";
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (n > 0 && n < sizeof temp) {
        cutTrailingBackslash(temp);
        formatText(path, sizeof path, "%s\\filelist.txt", temp);
        DeleteFileA(path);
    }
    formatText(path, sizeof path, "%s\\cache.dat", folder);
    DeleteFileA(path);
    RemoveDirectoryA(folder);
    removeEmptyParents(folder, 10, 100);
    return true;
}
