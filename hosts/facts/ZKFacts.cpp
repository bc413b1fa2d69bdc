// ZKFacts: loads ZKInstall.dll as a host does, initialises it and prints what
// the library determined about this system, one "key: value" line each.
#include <cstdio>

#include "ZKInstall.h"

static int __stdcall printMessage(HWND, const char* text, const char* caption, unsigned style) {
    printf("message: %s | %s | 0x%x\n", caption, text, style);
    return IDOK;
}

int main(int argc, char** argv) {
    ZKINSTALL_setMessageBox(printMessage);
    char exe[] = "Game.exe";
    ZKINSTALL_init(exe);

    char text[260];
    ZKINSTALL_getOS(text);
    printf("operating system: %s\n", text);
    CZKSystem system;
    printf("windows NT line: %s\n", system.getIsNT() ? "yes" : "no");
    system.getWindowsPath(text);
    printf("windows folder: %s\n", text);
    system.getWindowsSystemPath(text);
    printf("system folder: %s\n", text);
    system.getProgramFilesPath(text);
    printf("program files: %s\n", text);
    system.getTempPath(text);
    printf("temp folder: %s\n", text);
    system.getStartMenuPath(text);
    printf("start menu programs: %s\n", text);
    system.getStartUpMenuPath(text);
    printf("startup folder: %s\n", text);
    system.getDesktopPath(text);
    printf("desktop: %s\n", text);
    system.getProfilesPath(text);
    printf("profiles: %s\n", text);
    printf("administrator: %s\n", ZKINSTALL_isAdministrator() ? "yes" : "no");
    printf("locale: %s\n", CZKSystem::m_locale);
    printf("north america: %s\n", system.getIsNorthAmerica() ? "yes" : "no");
    return 0;
}
