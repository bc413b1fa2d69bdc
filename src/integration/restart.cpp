// Run-once links in the Startup folder, and the front end's relaunch from the
// temporary folder.
#include "integration/restart.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdlib>
#include <cstring>

#include "core/host.h"
#include "core/installer.h"
#include "core/prompts.h"
#include "install/copyfile.h"
#include "integration/shortcuts.h"
#include "platform/cmdline.h"
#include "platform/guards.h"
#include "platform/text.h"

namespace zk {

namespace {

// Raised before each new link, for the life of the process.
int s_runOnceCounter = 0;

const char kRelaunch[] = "exeToTempAndRestart";

bool exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

void trace(bool debug, const char* text, const char* caption) {
    if (debug)
        DebugMessageBox(nullptr, text, caption, MB_OK);
}

// One file of the front end into the temporary folder, replacing what an
// earlier run left there.  The front end's failure is shown to the user; the
// libraries' only traced, the copy left in place may still serve.
void placeInTemp(CZKInstaller& s, const char* source, const char* temp, const char* name,
                 bool frontEnd) {
    char from[2 * kText], to[2 * kText];
    formatText(from, sizeof from, "%s\\%s", source, name);
    formatText(to, sizeof to, "%s\\%s", temp, name);
    if (!frontEnd && !exists(from))
        return;
    if (exists(to)) {
        clearReadOnly(to);
        Sleep(500);
        DeleteFileA(to);  // whether it went is checked below
        Sleep(500);
        // Starting the stale copy would run an older front end.
        if (exists(to))
            quitInstaller("a stale copy in the temporary folder cannot be replaced");
    }
    trace(s.m_debug, from, to);
    CZKCopyFile files;
    files.setDebugMode(s.m_debug);
    int cancel = 0;
    if (files.XCopy(from, temp, 0, &cancel, nullptr, 1, nullptr, nullptr, nullptr) >= 1)
        return;
    char text[5 * kText];
    formatText(text, sizeof text, "Could not copy '%s' to '%s'\n", from, to);
    if (frontEnd)
        showMessage(s.m_installerWindow, text, "", MB_OK);
    else
        trace(s.m_debug, text, kRelaunch);
}

} // namespace

bool runOnceLinkPath(const char* startupFolder, int number, char* out, size_t cap) {
    if (!startupFolder || !startupFolder[0] || !out || cap == 0)
        return false;
    char path[2 * kText];
    formatText(path, sizeof path, "%s\\ZK_RESTART_%03d.lnk", startupFolder, number);
    if (strlen(path) >= cap || strlen(path) >= static_cast<size_t>(kText)) {
        out[0] = '\0';
        return false;
    }
    copyText(out, cap, path);
    return true;
}

int addRunOnceLink(const char* startupFolder, const char* program, const char* folder,
                   const char* arguments, bool debug) {
    int number = ++s_runOnceCounter;
    char path[kText] = {};
    if (!runOnceLinkPath(startupFolder, number, path, sizeof path) ||
        !createShellLink(program, path, path, nullptr, 0, folder, arguments))
        traceFailure(debug, "runOnceOnReboot", "link not saved", path[0] ? path : program);
    return number;
}

void removeRunOnceLink(const char* startupFolder, int number) {
    char path[kText];
    if (runOnceLinkPath(startupFolder, number, path, sizeof path))
        DeleteFileA(path);  // a link that is not there is what was wanted
}

void removeRunOnceLinks(const char* startupFolder) {
    for (int number = 0; number < kRunOnceCleaned; ++number)
        removeRunOnceLink(startupFolder, number);
}

bool currentRestartArguments(const char* folder, CZKCommandLine& out) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide || count < 1) {
        if (wide)
            LocalFree(wide);
        return buildRestartArguments(nullptr, 0, folder, out);
    }
    // In the code page the started program reads its own command line in.
    char** arguments = static_cast<char**>(calloc(static_cast<size_t>(count), sizeof(char*)));
    bool converted = arguments != nullptr;
    for (int i = 1; converted && i < count; ++i) {
        int bytes = WideCharToMultiByte(CP_ACP, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        arguments[i] = bytes > 0 ? static_cast<char*>(malloc(static_cast<size_t>(bytes))) : nullptr;
        converted = arguments[i] && WideCharToMultiByte(CP_ACP, 0, wide[i], -1, arguments[i],
                                                        bytes, nullptr, nullptr) > 0;
    }
    bool built = converted && buildRestartArguments(arguments + 1, count - 1, folder, out);
    for (int i = 0; arguments && i < count; ++i)
        free(arguments[i]);
    free(arguments);
    LocalFree(wide);
    return built;
}

void relaunchFromTemp(CZKInstaller& s, char* source, const char* folder, void (*beforeStart)()) {
    char temp[kText];
    s.m_system.getTempPath(temp);
    cutTrailingBackslash(temp);
    if (source)
        cutTrailingBackslash(source);
    const char* from = source ? source : "";
    // A front end that already runs from the temporary folder would delete
    // its own files there, fail on the one in use and end without a relaunch:
    // it is started again as it is.
    bool inPlace = isSameFolder(from, temp);
    if (!inPlace)
        placeInTemp(s, from, temp, "AutoRun.exe", true);

    // Every argument quoted, the last relaunch's "-restart -dir" dropped, in
    // a line that grows as far as Windows allows: a cut or unquoted line
    // would hand the relaunch other arguments than this run had.
    CZKCommandLine arguments;
    bool built = currentRestartArguments(folder ? folder : "", arguments);
    if (beforeStart)
        beforeStart();
    trace(s.m_debug, kRelaunch, built ? arguments.text() : "command line too long");
    if (!inPlace) {
        placeInTemp(s, from, temp, "AutoRunGUI.dll", false);
        placeInTemp(s, from, temp, "ZKInstall.dll", false);
    }
    if (!built)
        quitInstaller("the relaunch's command line does not fit");
    char program[2 * kText];
    formatText(program, sizeof program, "%s\\AutoRun.exe", temp);
    // A start that fails has shown its own message; the process ends anyway.
    s.m_system.asyncExec(program, temp, arguments.text());
    quitInstaller("relaunched from the temporary folder");
}

} // namespace zk
