// The exports of Internet Explorer and Flash: installed, required and disc
// versions over the installer state, and the runs of their setups.
#include "components/flash.h"
#include "components/ie.h"
#include "api/disc_request.h"
#include "core/installer.h"
#include "platform/decimal.h"
#include "platform/text.h"

namespace zk {
namespace {

const char* languageName() {
    const char* name = ZKINSTALL_getLanguageIndexName(installer().m_currentLanguage);
    return name ? name : "";
}

void installFrom(char (&root)[kText]) { copyInstallFrom(installer(), root, sizeof root); }

void debugNote(const CZKInstaller& s, const char* text, const char* caption) {
    if (s.m_debug)
        DebugMessageBox(s.m_installerWindow, text, caption, MB_OK);
}

bool ieInstallerPresent() {
    char root[kText];
    installFrom(root);
    return CZKIE(requestDiscForComponent).isInstallerPresent(languageName(), root);
}

// The installed IE as "%d.%d" of major and minor (5.50 gives 5.50000).
void checkExistingIE(CZKInstaller& s) {
    int major = 0, minor = 0;
    CZKIE().getInstalledVersion(&major, &minor, nullptr);
    formatText(s.m_existingIE, sizeof s.m_existingIE, "%d.%d", major, minor);
    debugNote(s, s.m_existingIE, "Existing IE Version");
}

// The disc's IE as a number, 0.0 when its setup is not there.
float cdIEVersion(CZKInstaller& s) {
    if (!ieInstallerPresent())
        return 0.0f;
    int major = 0, minor = 0;
    CZKIE().getCDVersion(&major, &minor);
    char text[kText];
    formatText(text, sizeof text, "%d.%d", major, minor);
    float number = 0.0f;
    readDecimal(text, &number);
    debugNote(s, text, "CD IE Version");
    return number;
}

// The installed IE's text as the user sees it.
void userIEText(char* text) {
    // Without the IE key there is no text to read: say "0", the version of no IE.
    copyText(text, kText, "0");
    int major = 0, minor = 0;
    CZKIE().getInstalledVersion(&major, &minor, text);
}

void debugFinding(const char* finding) {
    if (g_debugMode)
        DebugMessageBox(installer().m_installerWindow, "ZKINSTALL_isIEInstallRequired", finding,
                        MB_OK);
}

} // namespace
} // namespace zk

using namespace zk;

bool ZKINSTALL_getIsIEInstallerPresent() { return ieInstallerPresent(); }

bool ZKINSTALL_isIEInstallRequired() {
    CZKInstaller& s = installer();
    if (!ieInstallerPresent()) {
        debugFinding("Installer not present");
        return false;
    }
    checkExistingIE(s);
    // With a full stop whatever the language: its locale would read 5.50000 as 5.
    double existing = 0.0;
    readDecimal(s.m_existingIE, &existing);
    float disc = cdIEVersion(s);
    if (disc > existing) {
        debugFinding("existingIE < cdIE");
        return true;
    }
    debugFinding("existingIE >= cdIE");
    return false;
}

bool ZKINSTALL_isIEInstallRequiredForOnlineOnly() { return installer().m_ieForOnlineOnly; }

bool ZKINSTALL_InstallIE() {
    char root[kText];
    installFrom(root);
    CZKIE ie(requestDiscForComponent);
    ie.setDebug(installer().m_debug);
    ie.install(languageName(), root);
    return true;
}

bool ZKINSTALL_InstallIE55Patch() {
    char root[kText];
    installFrom(root);
    // The patch's exit code is not acted on.
    CZKIE().installPatch(languageName(), root);
    return true;
}

bool ZKINSTALL_getUserIEVersion(float* version) {
    char text[kText];
    userIEText(text);
    // A text that is no number leaves the caller's value as it was.
    if (version)
        readDecimal(text, version);
    return true;
}

bool ZKINSTALL_getUserIEVersionString(char* version) {
    userIEText(version);
    return true;
}

bool ZKINSTALL_getMinimumIEVersion(float* version) {
    float minimum = 0.0f;
    readDecimal(installer().m_minimumIE, &minimum);
    if (version)
        *version = minimum;
    return true;
}

bool ZKINSTALL_getMinimumIEVersionString(char* version) {
    copyText(version, kText, installer().m_minimumIE);
    return true;
}

bool ZKINSTALL_getCDIEVersion(float* version) {
    float number = cdIEVersion(installer());
    if (version)
        *version = number;
    return true;
}

bool ZKINSTALL_getCDIEVersionString(char* version) {
    copyText(version, kText, installer().m_cdIE);
    return true;
}

bool ZKINSTALL_isFlashInstallRequired() {
    CZKInstaller& s = installer();
    char root[kText];
    installFrom(root);
    CZKFlash flash(requestDiscForComponent);
    if (!flash.isInstallerPresent(languageName(), root))
        return false;
    flash.getInstalledVersion(s.m_existingFlash);
    debugNote(s, s.m_existingFlash, "Existing Flash Version");
    CZKVersion versions;
    return versions.compare(s.m_existingFlash, s.m_minimumFlash) < 0;
}

bool ZKINSTALL_isFlashInstallRequiredForOnlineOnly() {
    return ZKINSTALL_isFlashInstallRequired() && installer().m_flashForOnlineOnly;
}

bool ZKINSTALL_InstallFlashAndShockwave() {
    char root[kText];
    installFrom(root);
    CZKFlash(requestDiscForComponent).install(languageName(), root);
    return true;
}

bool ZKINSTALL_getUserFlashVersion(char* version) {
    return CZKFlash().getInstalledVersion(version);
}

bool ZKINSTALL_getMinimumFlashVersion(char* version) {
    copyText(version, kText, installer().m_minimumFlash);
    return true;
}

bool ZKINSTALL_getCDFlashVersion(char* version) {
    char root[kText];
    installFrom(root);
    CZKFlash(requestDiscForComponent).getCDVersion(languageName(), root, version);
    return true;
}

// The Flash installer carries its own licence; the library has none to give.
bool ZKINSTALL_getFlashLicenseAgreement(char*) { return false; }
