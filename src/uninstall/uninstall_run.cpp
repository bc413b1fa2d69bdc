// The uninstall and rollback runs: CZKUninstall's removal steps, in one of two
// orders, on a worker thread that the caller follows through its running flag
// and progress value.
#include <windows.h>

#include <process.h>

#include <cstring>

#include "ZKInstall.h"
#include "install/copyfile.h"
#include "platform/text.h"
#include "uninstall/uninstall.h"
#include "uninstall_parts.h"

using namespace zk;
using namespace zk::uninstallparts;

namespace {

const unsigned kRunStack = 10240000;

// What the worker is handed; it owns copies of the texts and frees the record
// when the run ends.
struct UninstallRun {
    char productKey[kUninstallText] = "";
    int mode = 0;  // non-zero: rollback of a cancelled installation
    char installedFrom[kUninstallText] = "";
    char installFolder[kUninstallText] = "";
    char tempFolder[kText] = "";
    float* progress = nullptr;
    int* running = nullptr;
    CZKUninstall* uninstaller = nullptr;
    HMODULE library = nullptr;  // held until the worker has returned
};

void rollback(UninstallRun& run, CZKUninstall& u) {
    SetCurrentDirectoryA(run.tempFolder);
    CZKCopyFile files;
    files.setDebugMode(u.getDebug());
    char log[2 * kUninstallText];
    formatText(log, sizeof log, "%s\\filelist.txt", run.installFolder);
    // A cancel before the copy chose a folder has nothing to remove; the
    // uninstall run's stop for that case would end the installer itself.
    if (run.installFolder[0]) {
        bool haveLog = copyLogToTemp(files, log, run.tempFolder);
        u.removeFiles(run.progress);
        // Before the log exists the copy has made the folder chain only:
        // what of it is still empty goes, the rest stays.
        if (!haveLog)
            removeEmptyFolderChain(run.installFolder, 10, 100);
        files.Remove(log);
    }
    u.runGameSpecificUninstallExe();
    u.removeStartMenu();
    u.removeGameRegistryEntries();
    u.removeDesktopIcon();
    u.removeUninstallRegistryEntry();
}

void uninstall(UninstallRun& run, CZKUninstall& u) {
    // The game's own programs first, while its files and entries are there.
    u.runGameSpecificUninstallExe();
    u.removeUninstallRegistryEntry();
    u.removeStartMenu();
    u.removeDesktopIcon();
    u.removeFiles(run.progress);
    u.removeGameRegistryEntries();
}

unsigned __stdcall runEntry(void* argument) {
    UninstallRun* run = static_cast<UninstallRun*>(argument);
    CZKUninstall& u = *run->uninstaller;
    if (run->mode)
        rollback(*run, u);
    else
        uninstall(*run, u);
    u.cleanUpUninstallation();
    int* running = run->running;
    HMODULE library = run->library;
    delete run;
    // The host may unload the library as soon as it reads 0; the reference
    // taken at the start keeps the code here until the thread has left it.
    *running = 0;
    if (library)
        FreeLibraryAndExitThread(library, 0);
    return 0;
}

} // namespace

bool CZKUninstall::cancelInstallation(const char* installedFrom, const char* installFolder,
                                      const char* productKey, float* progress, int* running,
                                      int cancelMode) {
    if (!running) {
        say(m_debug, "No running flag to report through", "cancelInstallation");
        return true;
    }
    if (progress)
        *progress = 0.0f;
    UninstallRun* run = new UninstallRun();
    copyText(run->productKey, productKey);
    run->mode = cancelMode;
    copyText(run->installedFrom, installedFrom);
    copyText(run->installFolder, installFolder);
    CZKSystem().getTempPath(run->tempFolder);
    run->progress = progress;
    run->running = running;
    run->uninstaller = this;
    if (cancelMode) {
        // Read on the caller's thread, so the run starts with its facts; the
        // folder the installation was copying into is the one to roll back.
        prepareForCancellation(productKey);
        copyText(m_installFolder, run->installFolder);
        copyText(m_tempFolder, run->tempFolder);
    }
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<const char*>(&runEntry), &run->library);
    // Running before the thread exists: a host that polls at once must not
    // read 0 and unload the library under the worker.
    *running = 1;
    uintptr_t thread = _beginthreadex(nullptr, kRunStack, runEntry, run, 0, nullptr);
    if (thread == 0) {
        *running = 0;
        if (run->library)
            FreeLibrary(run->library);
        delete run;
        say(m_debug, "The run could not start", "cancelInstallation");
        return true;
    }
    CloseHandle(reinterpret_cast<HANDLE>(thread));
    return true;
}
