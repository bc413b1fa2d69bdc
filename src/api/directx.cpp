// The DirectX exports: whether the disc carries a DirectX setup and whether it
// must run, the DirectX names and numbers the host shows, the licence, and the
// setup run with its installed and reboot flags.
#include <cstring>

#include "components/directx.h"
#include "core/installer.h"

using namespace zk;

namespace {

// The installer state's DirectX component.  It belongs to a layer above the
// state's, so it is kept here, beside the exports that use it.
CZKDirectX& stateDirectX() {
    static CZKDirectX component;
    return component;
}

// The DirectX folder of the install-from location as it is now (a disc
// request may have moved it).
void directXFolder(char* out, size_t cap) {
    char from[kText];
    copyInstallFrom(installer(), from, sizeof from);
    formatText(out, cap, "%s\\DirectX", from);
}

// Gives a component the state's debug flag and system name and loads it.
void loadFromDisc(CZKDirectX& component) {
    CZKInstaller& s = installer();
    component.setDebug(s.m_debug);
    char os[kText];
    s.m_system.getOS(os);
    component.setOS(os);
    char folder[kText];
    directXFolder(folder, sizeof folder);
    component.load(folder);
}

// The disc's DirectX name, asked of the disc's setup library.
void askDiscName(char* name) {
    CZKDirectX& component = stateDirectX();
    loadFromDisc(component);
    int status = 0;
    char installed[kText] = {};
    component.getVersions(nullptr, &status, name, installed);
    component.unload();
}

} // namespace

bool ZKINSTALL_getIsDirectXInstallerPresent() {
    ZKINSTALL_requestSpecificCD(1);
    char folder[kText];
    directXFolder(folder, sizeof folder);
    char path[kText];
    formatText(path, sizeof path, "%s\\dsetup.dll", folder);
    return installer().m_system.fileExists(path);
}

bool ZKINSTALL_isDirectXInstallRequired() {
    if (!ZKINSTALL_getIsDirectXInstallerPresent())
        return false;
    ZKINSTALL_requestSpecificCD(1);
    char disc[kText] = {};
    askDiscName(disc);
    // Required whenever the disc's version is known: whether it is newer than
    // the installed one is the DirectX setup's own question.
    CZKVersion versions;
    return versions.compare(disc, "0.0.0.0") > 0;
}

bool ZKINSTALL_installDirectX(bool* installed) {
    CZKInstaller& s = installer();
    if (g_debugMode)
        DebugMessageBox(nullptr, "DirectX Install Required", "ZKINSTALL.DLL", MB_OK);
    CZKDirectX setup;
    ZKINSTALL_requestSpecificCD(1);
    loadFromDisc(setup);
    s.m_directXSetupRun = true;
    bool reboot = setup.install(nullptr, installed);
    if (installed && *installed) {
        ZKINSTALL_setDirectXInstalled(true);
        ZKINSTALL_setRestartedStatus(true);
    }
    s.m_rebootRequired = s.m_rebootRequired || reboot;
    setup.unload();
    g_rebootRequired = g_rebootRequired || s.m_rebootRequired;
    // Without a flag to answer in, the setup's outcome cannot be told.
    return installed ? *installed : false;
}

bool ZKINSTALL_getUserDirectXVersionString(char* name) {
    CZKInstaller& s = installer();
    if (!s.m_userDirectXName[0]) {
        // The detection needs no setup library; it is loaded all the same, so
        // a debug run reports a disc without one here too.
        CZKDirectX& component = stateDirectX();
        loadFromDisc(component);
        CZKDirectX::getInstalledVersion(s.m_userDirectXName);
        component.unload();
    }
    copyText(name, kText, s.m_userDirectXName);
    return true;
}

bool ZKINSTALL_getUserDirectXVersion(float* number) {
    char name[kText];
    ZKINSTALL_getUserDirectXVersionString(name);
    directXNumber(name, number);
    return true;
}

bool ZKINSTALL_getMinimumDirectXVersionString(char* name) {
    copyText(name, kText, installer().m_minimumDirectX);
    return true;
}

bool ZKINSTALL_getMinimumDirectXVersion(float* number) {
    directXNumber(installer().m_minimumDirectX, number);
    return true;
}

bool ZKINSTALL_getCDDirectXVersionString(char* name) {
    CZKInstaller& s = installer();
    if (s.m_cdDirectXName[0]) {
        copyText(name, kText, s.m_cdDirectXName);
        return true;
    }
    char found[kText] = {};
    askDiscName(found);
    // "0.0" means no setup library could be loaded, perhaps with the disc out:
    // kept, it would never be asked again.
    if (strcmp(found, "0.0") != 0)
        copyText(s.m_cdDirectXName, found);
    copyText(name, kText, found);
    return true;
}

bool ZKINSTALL_getCDDirectXVersion(float* number) {
    char name[kText];
    ZKINSTALL_getCDDirectXVersionString(name);
    directXNumber(name, number);
    return true;
}

bool ZKINSTALL_getDirectXLicenseAgreement(char* path) {
    static char s_licencePath[kText];
    CZKInstaller& s = installer();
    char from[kText];
    copyInstallFrom(s, from, sizeof from);
    formatText(s_licencePath, sizeof s_licencePath, "%s\\Support\\%s", from, s.m_licenceFile);
    copyText(path, kText, s_licencePath);
    return true;
}

bool ZKINSTALL_getDirectXEULAText(char** text, unsigned int* size, int languageIndex) {
    ZKINSTALL_requestSpecificCD(1);
    CZKDirectX& component = stateDirectX();
    loadFromDisc(component);
    int result = component.getEULA(text, size, languageIndex);
    component.unload();
    return result == 0;
}

bool ZKINSTALL_freeDirectXEULAText(char** text) {
    CZKDirectX::freeEULA(text);
    return true;
}

bool ZKINSTALL_getDirectXInstalled() { return installer().m_directXInstalled; }

void ZKINSTALL_setDirectXInstalled(bool installed) { installer().m_directXInstalled = installed; }
