// CZKUninstall's start of the game's own uninstall programs ("*_uninst.exe"):
// copied to the temporary folder and run there with the installation's facts,
// or run from the disc's Support folder when the install folder has none.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "ZKInstall.h"
#include "components/addons.h"
#include "install/copyfile.h"
#include "platform/text.h"
#include "uninstall/uninstall.h"
#include "uninstall_parts.h"

using namespace zk;
using namespace zk::uninstallparts;

namespace {

const char kPattern[] = "*_uninst.exe";

// The files (not folders) in `folder` matching the pattern, listed whole
// before any of them is deleted or run.
std::vector<std::string> listPrograms(const char* folder) {
    std::vector<std::string> names;
    char query[2 * kUninstallText];
    formatText(query, sizeof query, "%s\\%s", folder, kPattern);
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(query, &found);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return names;
}

void withoutBackslash(char* out, size_t cap, const char* folder) {
    copyText(out, cap, folder);
    cutTrailingBackslash(out);
}

} // namespace

bool CZKUninstall::runGameSpecificUninstallExe() {
    // Without the location the game came from, the disc's Support folder
    // would be looked for at the root of the current drive; a rollback
    // before the game's registry entries has no uninstall program to run.
    if (!m_installedFrom[0]) {
        say(m_debug, "No install location, no game uninstall programs",
            "runGameSpecificUninstallExe");
        return true;
    }
    char arguments[4 * kUninstallText];
    // Each fact is one argument whatever blanks or trailing backslash its
    // folder has: a quoted "C:\Game\" would otherwise swallow its closing quote.
    if (!formatFactsArguments(m_installedFrom, m_installFolder, m_startMenuFolder, m_languageIndex,
                              arguments, sizeof arguments)) {
        say(m_debug, "Command line too long", "runGameSpecificUninstallExe");
        return true;
    }
    runUninstallExe(m_installFolder, arguments);
    return true;
}

bool CZKUninstall::runUninstallExe(char* folder, char* arguments) {
    char temp[kText], from[kUninstallText], support[kUninstallText], path[2 * kUninstallText];
    withoutBackslash(temp, sizeof temp, m_tempFolder);
    // Copies are purged and run in the temporary folder: without one the
    // patterns would name the root of the current drive.
    if (!temp[0])
        return true;
    withoutBackslash(from, sizeof from, folder ? folder : "");
    withoutBackslash(support, sizeof support, m_installedFrom);
    if (support[0])
        appendText(support, "\\Support");

    CZKCopyFile files;
    files.setDebugMode(m_debug);
    for (const std::string& name : listPrograms(temp)) {
        if (lstrcmpiA(name.c_str(), m_programName) == 0)
            continue;  // the running uninstaller itself
        formatText(path, sizeof path, "%s\\%s", temp, name.c_str());
        clearReadOnly(path);
        files.Remove(path);
    }

    int cancel = 0, copied = 0;
    if (from[0]) {
        formatText(path, sizeof path, "%s\\%s", from, kPattern);
        copied = files.XCopy(path, temp, 0, &cancel, nullptr, 1, nullptr, nullptr, nullptr);
    }
    if (copied == 0 && support[0]) {
        formatText(path, sizeof path, "%s\\%s", support, kPattern);
        copied = files.XCopy(path, temp, 0, &cancel, nullptr, 1, nullptr, nullptr, nullptr);
    }

    // From the copies when there were any, else straight from the disc.
    const char* runFolder = copied != 0 ? temp : support;
    if (!runFolder[0])
        return true;
    char workFolder[kUninstallText];
    formatText(workFolder, sizeof workFolder, copied != 0 ? "%s" : "%s\\", runFolder);
    CZKSystem system;
    system.setDebugMode(m_debug);
    for (const std::string& name : listPrograms(runFolder)) {
        formatText(path, sizeof path, "%s\\%s", runFolder, name.c_str());
        say(m_debug, path, arguments ? arguments : "");
        system.execAndWait(path, workFolder, arguments ? arguments : "", 0, 1);  // code not used
    }
    return true;
}
