// CZKAddons: GameSpy Arcade and its update, the download manager and the
// online component.  The game's own installers are in addons_game.cpp.
#include "components/addons.h"

#include <cstring>

#include "addons_files.h"
#include "install/copyfile.h"
#include "install/filelist.h"
#include "platform/guards.h"
#include "platform/text.h"

namespace zk {

CZKAddons::CZKAddons(SetupDiscRequest requestDisc) : m_requestDisc(requestDisc) {}

void CZKAddons::setDebug(bool debug, HWND window) {
    m_debug = debug;
    m_window = window;
}

void CZKAddons::trace(const char* text, const char* caption) const {
    if (m_debug)
        DebugMessageBox(m_window, text, caption, MB_OK);
}

bool CZKAddons::isGameSpyPresent(const char* discRoot) {
    char root[kText], pattern[2 * kText], name[kText];
    askForSetupDisc(m_requestDisc, discRoot, root, sizeof root);
    formatText(pattern, sizeof pattern, "%s\\GameSpy\\Arcade*.exe", root);
    return findFirstFile(pattern, name, sizeof name);
}

bool CZKAddons::isZKDPresent(const char* discRoot) {
    char root[kText], pattern[2 * kText], name[kText];
    askForSetupDisc(m_requestDisc, discRoot, root, sizeof root);
    formatText(pattern, sizeof pattern, "%s\\Support\\zkd-installer.exe", root);
    return findFirstFile(pattern, name, sizeof name);
}

void CZKAddons::installGameSpy(const char* discRoot, const char* installFolder) {
    char root[kText], folder[kText], pattern[2 * kText], name[kText], program[2 * kText];
    askForSetupDisc(m_requestDisc, discRoot, root, sizeof root);
    formatText(folder, sizeof folder, "%s\\GameSpy", root);

    formatText(pattern, sizeof pattern, "%s\\Arcade*.exe", folder);
    if (findFirstFile(pattern, name, sizeof name)) {
        formatText(program, sizeof program, "%s\\%s", folder, name);
        CZKSystem system;
        system.setDebugMode(m_debug);
        // A lone line feed, not an empty string, as Arcade setups have always
        // been started; passed as it is, since quoting would change it.
        system.execAndWait(program, folder, "\n", 0, 1);
    }

    formatText(pattern, sizeof pattern, "%s\\*update.exe", folder);
    if (!findFirstFile(pattern, name, sizeof name))
        return;
    // Without an install folder the copy would land in the root of the
    // current drive, where nothing of the game belongs.
    if (!installFolder || !installFolder[0]) {
        traceFailure(m_debug, "installGameSpy", "no install folder for", name);
        return;
    }
    char source[2 * kText];
    formatText(source, sizeof source, "%s\\%s", folder, name);
    CZKCopyFile files;
    files.setDebugMode(m_debug);
    int cancel = 0;
    if (files.XCopy(source, installFolder, 0, &cancel, nullptr, 1, nullptr, nullptr, nullptr) < 1)
        return;  // XCopy has traced the file it did not copy
    appendFileListEntry(1, 1, name, installFolder, m_debug);
}

void CZKAddons::installZKD(const char* discRoot) {
    char root[kText], folder[kText], pattern[2 * kText], name[kText], program[2 * kText];
    askForSetupDisc(m_requestDisc, discRoot, root, sizeof root);
    formatText(folder, sizeof folder, "%s\\Support", root);
    formatText(pattern, sizeof pattern, "%s\\zkd-installer.exe", folder);
    if (!findFirstFile(pattern, name, sizeof name))
        return;
    formatText(program, sizeof program, "%s\\%s", folder, name);
    CZKSystem system;
    system.asyncExec(program, folder, "");
}

void CZKAddons::launchZKD(const char* path) {
    // The path comes from the host: one that does not fit is refused rather
    // than cut, since a cut path names another file.
    if (!path || !path[0] || strlen(path) >= static_cast<size_t>(kText)) {
        traceFailure(m_debug, "launchZKD", "path refused", path);
        return;
    }
    char folder[kText];
    copyText(folder, path);
    char* slash = strrchr(folder, '\\');
    char* other = strrchr(folder, '/');
    if (!slash || (other && other > slash))
        slash = other;
    if (slash) {
        *slash = '\0';
    } else {
        // A bare name is found in the current folder, so it runs there too.
        DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
        if (length == 0 || length >= sizeof folder)
            folder[0] = '\0';
    }
    char name[kText];
    if (!findFirstFile(path, name, sizeof name))
        return;
    CZKSystem system;
    system.asyncExec(path, folder[0] ? folder : nullptr, "");
}

void CZKAddons::installCommonZKSO(const AddonFacts& facts) {
    char saved[kText];
    DWORD length = GetCurrentDirectoryA(sizeof saved, saved);
    if (length == 0 || length >= sizeof saved)
        saved[0] = '\0';

    char folder[kText], program[2 * kText];
    formatText(folder, sizeof folder, "%s\\CommonZKSO", facts.discRoot);
    formatText(program, sizeof program, "%s\\ZKSOInstaller.exe", folder);
    CZKSystem system;
    system.setDebugMode(m_debug);
    if (system.fileExists(program)) {
        char arguments[1600];
        // The installer reads its facts as arguments, so a folder with blanks,
        // quotes or a trailing backslash must come back to it whole.
        if (formatFactsArguments(folder, facts.installFolder, facts.startMenuFolder,
                                 facts.languageIndex, arguments, sizeof arguments))
            system.execAndWait(program, folder, arguments, 0, 1);  // its exit code is not used
        else
            traceFailure(m_debug, "InstallCommonZKSO", "command line too long", program);
    }
    if (saved[0])
        SetCurrentDirectoryA(saved);
}

bool formatFactsArguments(const char* discRoot, const char* installFolder,
                          const char* startMenuFolder, int languageIndex, char* out,
                          size_t cap) {
    if (!out || cap == 0)
        return false;
    out[0] = '\0';
    char language[16];
    formatText(language, sizeof language, "%d", languageIndex);
    const char* facts[] = {discRoot, installFolder, startMenuFolder, language};
    size_t used = 0;
    for (const char* fact : facts) {
        char quoted[3 * kText];
        if (!quoteArgument(fact, quoted, sizeof quoted)) {
            out[0] = '\0';
            return false;
        }
        size_t length = strlen(quoted);
        size_t gap = used > 0 ? 1 : 0;
        if (used + gap + length >= cap) {
            out[0] = '\0';
            return false;
        }
        if (gap)
            out[used++] = ' ';
        memcpy(out + used, quoted, length + 1);
        used += length;
    }
    return true;
}

} // namespace zk
