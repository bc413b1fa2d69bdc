// Starting the installed game at the end of an installation.
#include "integration/restart.h"

#include <windows.h>

#include <shellapi.h>

#include <cstring>

#include "core/host.h"
#include "core/installer.h"
#include "core/paths.h"
#include "integration/game_registry.h"
#include "platform/text.h"

namespace zk {

namespace {

const int kTextGameMissing = 37;

// The game's wait: eleven seconds at most, a running check after each of the
// first ten (each check takes about three seconds when the game runs).
const int kWaitSeconds = 11;
const int kRunningChecks = 10;

void setForegroundLockTimeout(UINT milliseconds) {
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                          reinterpret_cast<void*>(static_cast<UINT_PTR>(milliseconds)),
                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
}

} // namespace

int runGame(CZKInstaller& s, const char* folder) {
    if (folder)
        SetCurrentDirectoryA(folder);
    char path[kText];
    installedExecutablePath(s, path, sizeof path);
    if (!s.m_system.fileExists(path)) {
        char text[1024];
        hostString(kTextGameMissing, text, sizeof text);
        showMessage(s.m_installerWindow, text, path, MB_OK);
        return 0;
    }

    // Windows keeps a program started from the background out of the
    // foreground unless this time-out is 0.
    UINT saved = 0;
    bool haveSaved = SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &saved, 0) != FALSE;
    if (haveSaved)
        setForegroundLockTimeout(0);
    INT_PTR result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOWDEFAULT));
    if (haveSaved)
        setForegroundLockTimeout(saved);

    // The process list names the program by its file name alone.
    const char* slash = strrchr(path, '\\');
    const char* name = slash ? slash + 1 : path;
    for (int second = 0; second < kWaitSeconds; ++second) {
        Sleep(1000);
        if (second < kRunningChecks && isProgramRunning(name, 0, s.m_debug, s.m_installerWindow))
            break;
    }
    return result > 32 ? 1 : 0;
}

} // namespace zk
