// The exports of path checks, labels and the product's names.
#include "core/installer.h"
#include "core/paths.h"

using namespace zk;

PathStatus ZKINSTALL_getIsValidZKPath(char* path) {
    char windows[kText], profiles[kText];
    installer().m_system.getWindowsPath(windows);
    installer().m_system.getProfilesPath(profiles);
    return validateInstallPath(path, windows, profiles);
}

void ZKINSTALL_squeezeFilename(char* path, char* out, int maxLength) {
    squeezePath(path, out, maxLength);
}

bool ZKINSTALL_convertVersion(char* version) { return commaDecimalVersion(version); }

void ZKINSTALL_makeStringMFCFriendly(char* out, const char* text) { mfcFriendly(out, text, kText); }

bool ZKINSTALL_isThisProgramRunning(char* exeName, int allowed) {
    return isProgramRunning(exeName, allowed, installer().m_debug, installer().m_installerWindow);
}

bool ZKINSTALL_getProductName(char* name) {
    copyText(name, kText, installer().m_productName);
    return true;
}

bool ZKINSTALL_setProductName(char* name) {
    setProductName(installer(), name);
    return true;
}

bool ZKINSTALL_getFriendlyProductName(char* name) {
    copyText(name, kText, installer().m_friendlyName);
    return true;
}

bool ZKINSTALL_setFriendlyProductName(char* name) {
    setFriendlyProductName(installer(), name);
    return true;
}

void ZKINSTALL_getProductDivision(char* name) { copyText(name, kText, installer().m_company); }
void ZKINSTALL_getGameIcon(char* name) { copyText(name, kText, installer().m_icon); }
void ZKINSTALL_getInstallFromLocation(char* path) { copyInstallFrom(installer(), path, kText); }

bool ZKINSTALL_setSideBar(const char* bitmapFile) {
    HBITMAP loaded = static_cast<HBITMAP>(LoadImageA(
        nullptr, bitmapFile ? bitmapFile : "", IMAGE_BITMAP, 0, 0,
        LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    // The stored bitmap is never handed out, so the one it replaces is ours
    // to free.
    if (installer().m_sideBar)
        DeleteObject(installer().m_sideBar);
    installer().m_sideBar = loaded;
    return true;
}

bool ZKINSTALL_getSideBar(HBITMAP) { return true; }
