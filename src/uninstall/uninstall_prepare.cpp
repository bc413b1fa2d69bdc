// CZKUninstall's life and its two preparations: reading an installation back
// from the registry for the uninstaller program (moving the program out of
// the install folder first) or, quietly, for the rollback of a cancelled
// installation.
#include <windows.h>

#include <cstring>

#include "ZKInstall.h"
#include "core/host.h"
#include "core/prompts.h"
#include "install/copyfile.h"
#include "integration/game_registry.h"
#include "platform/guards.h"
#include "platform/text.h"
#include "uninstall/uninstall.h"
#include "uninstall_parts.h"

using namespace zk;

namespace zk {
namespace uninstallparts {

void say(bool debug, const char* text, const char* caption) {
    if (debug)
        showMessage(nullptr, text, caption, MB_OK);
}

bool readText(CZKRegistry& key, const char* name, char* out, size_t cap) {
    out[0] = '\0';
    unsigned long size = static_cast<unsigned long>(cap - 1);
    // A value longer than the field is left out rather than cut: a cut key
    // path or folder would name some other key or folder.
    if (key.getValue(name, out, &size) != ERROR_SUCCESS) {
        out[0] = '\0';
        return false;
    }
    out[size < cap ? size : cap - 1] = '\0';
    return true;
}

void readLanguageIndex(const char* gameKey, int* index) {
    char path[2 * kUninstallText];
    formatText(path, sizeof path, "%s\\1.0", gameKey);
    CZKRegistry version;
    if (version.openKey(HKEY_LOCAL_MACHINE, path) != ERROR_SUCCESS) {
        *index = 1;
        return;
    }
    unsigned long language = 0;
    if (version.getValue("Language", &language) == ERROR_SUCCESS)
        *index = static_cast<int>(language);
}

bool copyLogToTemp(CZKCopyFile& files, const char* logFile, const char* tempFolder) {
    if (!tempFolder || !tempFolder[0])
        return false;
    char copy[2 * kText];
    formatText(copy, sizeof copy, "%s\\filelist.txt", tempFolder);
    clearReadOnly(copy);
    DeleteFileA(copy);
    if (logFile && logFile[0]) {
        int cancel = 0;
        files.XCopy(logFile, tempFolder, 0, &cancel, nullptr, 1, nullptr, nullptr, nullptr);
    }
    return files.fileExists(copy, false);
}

} // namespace uninstallparts
} // namespace zk

using namespace zk::uninstallparts;

namespace {

const char kNoEntry[] = "no entry";

// Whether the process runs from the temporary folder, compared in long form
// and without regard to case: the current folder may come back short and the
// temporary folder long (or the other way round), in any case.
bool runsFromFolder(const char* folder) {
    char current[kText] = "";
    DWORD n = GetCurrentDirectoryA(sizeof current, current);
    return n > 0 && n < sizeof current && isSameFolder(current, folder);
}

void stop(bool debug, int code, const char* text, const char* caption) {
    say(debug, text, caption);
    endProcess(code, text);
}

} // namespace

CZKUninstall::CZKUninstall() {
    m_installedFrom[0] = m_productKey[0] = m_installFolder[0] = m_productGUID[0] = '\0';
    m_logFile[0] = m_startMenuFolder[0] = m_displayName[0] = m_friendlyName[0] = '\0';
    m_tempFolder[0] = m_programName[0] = m_languageName[0] = '\0';
    copyText(m_gameKey, kNoEntry);
    m_languageIndex = 1;
    m_debug = false;
}

CZKUninstall::~CZKUninstall() {}

CZKUninstall& CZKUninstall::operator=(const CZKUninstall& other) {
    if (this != &other)
        memcpy(static_cast<void*>(this), static_cast<const void*>(&other), sizeof *this);
    return *this;
}

void CZKUninstall::setDebug(bool debug) { m_debug = debug; }

bool CZKUninstall::getDebug() { return m_debug; }

void CZKUninstall::cleanUpUninstallation() { say(m_debug, "Cleanup", ""); }

bool CZKUninstall::prepareForUninstallation(const char* programPath, const char* productKey) {
    // One object may prepare several runs: nothing of an earlier one stays.
    bool debug = m_debug;
    *this = CZKUninstall();
    m_debug = debug;

    if (!productKey || !productKey[0])
        stop(m_debug, -1, "Could not find product key", productKey ? productKey : "");
    copyText(m_productKey, productKey);

    char path[2 * kUninstallText];
    formatText(path, sizeof path, "%s%s", kAppPathsRoot, m_productKey);
    CZKRegistry app;
    if (!isProductUninstallKey(path) || app.openKey(HKEY_LOCAL_MACHINE, path) != ERROR_SUCCESS)
        stop(m_debug, -2, "Could not find App registry", path);
    unsigned long installed = 0;
    if (app.getValue("Installed", &installed) != ERROR_SUCCESS)
        installed = 0;
    if (installed == 0)
        stop(m_debug, -2, "Game not installed", path);

    readText(app, "Game Registry", m_gameKey, sizeof m_gameKey);
    CZKRegistry game;
    if (game.openKey(HKEY_LOCAL_MACHINE, m_gameKey) != ERROR_SUCCESS)
        stop(m_debug, -2, "Could not find Product Registry", m_gameKey);
    readText(game, "Install Dir", m_installFolder, sizeof m_installFolder);
    readText(game, "Product GUID", m_productGUID, sizeof m_productGUID);
    readText(game, "Installed From", m_installedFrom, sizeof m_installedFrom);
    readText(game, "Language", m_languageName, sizeof m_languageName);
    readText(game, "Folder", m_startMenuFolder, sizeof m_startMenuFolder);
    readLanguageIndex(m_gameKey, &m_languageIndex);

    formatText(path, sizeof path, "%s\\%s", kUninstallRoot, m_productGUID);
    CZKRegistry entry;
    if (!isProductUninstallKey(path) || entry.openKey(HKEY_LOCAL_MACHINE, path) != ERROR_SUCCESS)
        stop(m_debug, -2, "Could not find Uninstall Entry", path);
    readText(entry, "DisplayName", m_displayName, sizeof m_displayName);
    readText(entry, "FriendlyName", m_friendlyName, sizeof m_friendlyName);
    readText(entry, "LogFile", m_logFile, sizeof m_logFile);

    CZKSystem system;
    system.getTempPath(m_tempFolder);
    CZKCopyFile files;
    files.setDebugMode(m_debug);
    files.extractFilename(m_programName, programPath ? programPath : "");
    int cancel = 0;

    if (!runsFromFolder(m_tempFolder)) {
        // The first run only moves the uninstaller out of the install folder,
        // so that the second can delete the folder with the program in it.
        char copy[2 * kText];
        formatText(copy, sizeof copy, "%s\\%s", m_tempFolder, m_programName);
        if (files.fileExists(copy, false)) {
            clearReadOnly(copy);
            Sleep(500);
            files.Remove(copy);
            Sleep(500);
        }
        if (system.fileExists(copy))
            stop(m_debug, 0, "Existing Uninstall Running", copy);
        files.XCopy(programPath, m_tempFolder, 0, &cancel, nullptr, 1, nullptr, nullptr, nullptr);
        char folder[kText], library[2 * kText];
        files.extractPath(folder, programPath ? programPath : "");
        formatText(library, sizeof library, "%s\\ZKInstall.dll", folder);
        files.XCopy(library, m_tempFolder, 0, &cancel, nullptr, 1, nullptr, nullptr, nullptr);
        SetCurrentDirectoryA(m_tempFolder);
        system.asyncExec(copy, m_tempFolder, m_debug ? "-debug" : "");
        endProcess(0, "uninstaller restarted from the temporary folder");
    }
    copyLogToTemp(files, m_logFile, m_tempFolder);
    return false;
}

bool CZKUninstall::prepareForCancellation(const char* productKey) {
    bool debug = m_debug;
    *this = CZKUninstall();
    m_debug = debug;
    if (!productKey || !productKey[0])
        return false;
    copyText(m_productKey, productKey);

    char path[2 * kUninstallText];
    formatText(path, sizeof path, "%s%s", kAppPathsRoot, m_productKey);
    CZKRegistry app;
    if (!isProductUninstallKey(path) || app.openKey(HKEY_LOCAL_MACHINE, path) != ERROR_SUCCESS)
        return false;
    readText(app, "Game Registry", m_gameKey, sizeof m_gameKey);
    CZKRegistry game;
    if (game.openKey(HKEY_LOCAL_MACHINE, m_gameKey) != ERROR_SUCCESS)
        return false;
    readText(game, "Install Dir", m_installFolder, sizeof m_installFolder);
    readText(game, "Product GUID", m_productGUID, sizeof m_productGUID);
    readText(game, "Installed From", m_installedFrom, sizeof m_installedFrom);
    readText(game, "DisplayName", m_displayName, sizeof m_displayName);
    readText(game, "Language", m_languageName, sizeof m_languageName);
    readText(game, "Folder", m_startMenuFolder, sizeof m_startMenuFolder);
    readLanguageIndex(m_gameKey, &m_languageIndex);

    formatText(path, sizeof path, "%s\\%s", kUninstallRoot, m_productGUID);
    CZKRegistry entry;
    if (!isProductUninstallKey(path) || entry.openKey(HKEY_LOCAL_MACHINE, path) != ERROR_SUCCESS)
        return false;
    readText(entry, "LogFile", m_logFile, sizeof m_logFile);
    CZKSystem().getTempPath(m_tempFolder);
    return false;
}
