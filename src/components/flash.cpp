// CZKFlash: the installed Flash player and the disc's Shockwave/Flash installer.
#include "components/flash.h"

#include <cstring>

#include "ZKInstall.h"
#include "platform/regtext.h"
#include "platform/text.h"

namespace zk {

const char* const kFlashKey =
    "SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\"
    "{D27CDB6E-AE6D-11cf-96B8-444553540000}";

CZKFlash::CZKFlash(SetupDiscRequest requestDisc) : m_requestDisc(requestDisc) {}

int CZKFlash::getLanguageSuffix(char* suffix, const char* displayName) {
    const char* found = "";
    if (displayName && strcmp(displayName, "Korean") == 0)
        found = "k";
    else if (displayName && strcmp(displayName, "Japanese") == 0)
        found = "j";
    copyText(suffix, kText, found);
    return 0;
}

// The folder holds kText bytes, the program twice as many: it is never cut.
void CZKFlash::installerPath(const char* displayName, const char* root, char* folder,
                             char* program) {
    char suffix[kText];
    getLanguageSuffix(suffix, displayName);
    formatText(folder, kText, "%s\\Macromedia", root);
    formatText(program, 2 * kText, "%s\\Shockwave_Installer_Full%s.exe", folder, suffix);
}

bool CZKFlash::isInstallerPresent(const char* displayName, const char* discRoot) {
    char root[kText], folder[kText], program[2 * kText];
    askForSetupDisc(m_requestDisc, discRoot, root, sizeof root);
    installerPath(displayName, root, folder, program);
    CZKSystem system;
    return system.fileExists(program);
}

void CZKFlash::getCDVersion(const char* displayName, const char* discRoot, char* version) {
    copyText(version, kText, isInstallerPresent(displayName, discRoot) ? "6.0.79.0" : "0.0.0.0");
}

bool CZKFlash::getInstalledVersion(char* version) {
    RegistryTextKey key(HKEY_LOCAL_MACHINE, kFlashKey);
    // Read whole and terminated, strings only: other programs write this key.
    char value[257];
    if (key.readText("Version", value, sizeof value)) {
        CZKSystem system;
        system.convertVersion(value);
        copyText(version, kText, value);
    }
    return true;
}

int CZKFlash::install(const char* displayName, const char* discRoot) {
    char root[kText], folder[kText], program[2 * kText];
    askForSetupDisc(m_requestDisc, discRoot, root, sizeof root);
    installerPath(displayName, root, folder, program);
    CZKSystem system;
    // The installer's exit code says nothing the installation acts on.
    if (system.fileExists(program))
        system.execAndWait(program, folder, "/s", 0, 1);
    return 0;
}

} // namespace zk
