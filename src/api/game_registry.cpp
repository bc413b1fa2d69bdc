// The exports of the game's registry entries and restart flags.
#include "core/installer.h"
#include "integration/game_registry.h"

using namespace zk;

bool ZKINSTALL_setStandardGameRegistryItems() {
    CZKInstaller& s = installer();
    writeGameRegistry(s);
    writeUninstallEntry(s);
    placeUninstaller(s);
    return true;
}

void ZKINSTALL_setInstallationCompleted(bool completed) { setInstalledFlag(installer(), completed); }

bool ZKINSTALL_getWasGamePreviouslyInstalled() { return installer().m_previouslyInstalled; }

bool ZKINSTALL_setRestartedStatus(bool restarted) {
    setRestartFlag(installer(), restarted);
    return restarted;
}

bool ZKINSTALL_getRestartedStatus(char* executable) {
    CZKInstaller& s = installer();
    if (executable)
        copyText(s.m_executable, executable);
    return getRestartFlag(s);
}

void ZKINSTALL_setGameCacheSize(__int64 bytes) {
    installer().m_gameCacheSize = bytes;
    setCacheSize(installer(), bytes);
}

void ZKINSTALL_setGameSwapSize(__int64 bytes) {
    installer().m_gameSwapSize = bytes;
    setSwapSize(installer(), bytes);
}

__int64 ZKINSTALL_getGameCacheSize() { return installer().m_gameCacheSize; }
