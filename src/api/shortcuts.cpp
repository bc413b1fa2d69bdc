// The exports of the Start-menu group, the desktop link and the group name.
#include "core/installer.h"
#include "integration/shortcuts.h"
#include "platform/text.h"

using namespace zk;

bool ZKINSTALL_createStartMenuItems() {
    // The address is published for the host even where no group is made.
    webAddress(installer(), g_WebURL, sizeof g_WebURL);
    createStartMenuItems(installer(), g_WebURL);
    return true;
}

bool ZKINSTALL_createDesktopItem() {
    createDesktopItem(installer());
    return true;
}

bool ZKINSTALL_getIsValidZKStartMenuLocation(char* name) {
    return isValidGroupName(name, installer().m_startupFolderName);
}

void ZKINSTALL_setStartMenuLocation(char* name) {
    if (!setStartMenuGroup(installer(), name) && name)
        copyText(name, kText, installer().m_startMenuFolder);
}

bool ZKINSTALL_getStartMenuLocation(char* folder) {
    copyText(folder, kText, installer().m_startMenuFolder);
    return true;
}

void ZKINSTALL_getStartMenuRoot(char* folder) { copyText(folder, kText, installer().m_startMenuPath); }

bool ZKINSTALL_getStartupFolderName(char* name) {
    copyText(name, kText, installer().m_startupFolderName);
    return true;
}
