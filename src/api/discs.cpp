// The exports of disc requests and destination drive checks.
#include "api/disc_request.h"
#include "core/installer.h"
#include "install/discs.h"

using namespace zk;

// The exported requests work on the installer state: its install folder, its
// install-from location (which the search may move) and its product GUID.
static int requestFromInstaller(int wanted) {
    CZKInstaller& s = installer();
    s.m_debug = g_debugMode;
    char from[kText];
    copyInstallFrom(s, from, sizeof from);
    int cancel = requestCD(wanted, s.m_installFolder, from, s.m_debug, s.m_productGUID);
    // The disc's folders follow the location to wherever the disc was found.
    publishInstallFrom(s, from, 0);
    return cancel;
}

int ZKINSTALL_requestStartupCD() { return requestFromInstaller(installer().m_startupDisc); }

int ZKINSTALL_requestSpecificCD(int disc) { return requestFromInstaller(disc); }

int zk::requestDiscForComponent(int disc, char* root, size_t cap) {
    int cancel = ZKINSTALL_requestSpecificCD(disc);
    copyInstallFrom(installer(), root, cap);
    return cancel;
}

bool ZKINSTALL_IsInstallationCancelled() { return g_installationCancelled; }

bool ZKINSTALL_getIsValidDrive(char* path) { return isWritableDrive(path); }

bool ZKINSTALL_getIsSufficentSpace(char* path, __int64 needed) {
    // Compared in whole bytes: a float of a large free space is off by kilobytes.
    return freeBytes(path, lookUpDiskFreeSpaceEx()) >= needed;
}
