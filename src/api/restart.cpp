// The exports of the relaunch, the run-once links and the game's start.
#include "core/installer.h"
#include "integration/restart.h"

using namespace zk;

namespace {

void restoreBeforeRelaunch() { ZKINSTALL_restore(); }

void startupFolder(char* out) { installer().m_system.getStartUpMenuPath(out); }

} // namespace

void ZKINSTALL_exeToTempAndRestart(char*, char* source, char* folder) {
    relaunchFromTemp(installer(), source, folder, restoreBeforeRelaunch);
}

int ZKINSTALL_runOnceOnReboot(char* program, char* folder, char* arguments) {
    char startup[kText];
    startupFolder(startup);
    return addRunOnceLink(startup, program, folder, arguments, installer().m_debug);
}

bool ZKINSTALL_removeRunOnceOnReboot(int number) {
    char startup[kText];
    startupFolder(startup);
    removeRunOnceLink(startup, number);
    return true;
}

int ZKINSTALL_runGame(char* folder) { return runGame(installer(), folder); }
