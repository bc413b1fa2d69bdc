// The export that rolls back a cancelled installation.
#include <windows.h>

#include "core/installer.h"
#include "install/install_thread.h"
#include "integration/restart.h"

using namespace zk;

namespace {

// How long a cancel waits for the copy to notice: the host's copying flag
// first, then the copy worker itself.
const int kCopyFlagPolls = 100;  // 10 ms apart
const unsigned long kCopyEndWait = 60000;

// The rollback's uninstaller, constructed at its first use and kept until
// the library unloads (its run may outlive the call).
CZKUninstall& rollbackUninstaller() {
    static CZKUninstall uninstaller;
    return uninstaller;
}

} // namespace

bool ZKINSTALL_cancelInstallGame(int* copying, int* running, float* progress, int* cancelled) {
    if (progress)
        *progress = 100.0f;
    if (cancelled)
        *cancelled = 1;
    // A copy the host paused sleeps with the install log open: it is woken
    // first, so that it can see the cancel and close the log.
    resumeCopyWorker();
    for (int i = 0; i < kCopyFlagPolls && copying && *copying; ++i)
        Sleep(10);
    // Files must not be removed under a copy that is still writing them (a
    // large file, an archive member, a disc request): the worker is waited
    // for, bounded, with the cancel kept set.
    waitForCopyWorker(kCopyEndWait, cancelled);

    CZKInstaller& s = installer();
    ZKINSTALL_setRestartedStatus(false);
    char startup[kText];
    s.m_system.getStartUpMenuPath(startup);
    removeRunOnceLinks(startup);

    char from[kText];
    copyInstallFrom(s, from, sizeof from);
    // The desktop step may have moved the install folder into the icon's
    // subfolder; the log lies in the folder the copy went to.
    const char* folder = s.m_iconFolderBase[0] ? s.m_iconFolderBase : s.m_installFolder;
    rollbackUninstaller().cancelInstallation(from, folder, s.m_executable, progress, running, 1);
    return true;
}
