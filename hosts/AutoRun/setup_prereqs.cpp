// The prerequisites before the copy: DirectX, Internet Explorer and Flash.
// Each is reported (installed, needed, on the disc) and, where the library
// says the game needs it, installed from the disc: after a question
// interactively (DirectX after its licence), at once when unattended, where
// running unattended stands for accepting the DirectX licence.
#include <cstring>

#include "ZKInstall.h"
#include "bounded.h"
#include "exitcodes.h"
#include "resource.h"
#include "setup.h"
#include "texts.h"

namespace autorun {

namespace {

std::string orNone(const char* text) { return text[0] ? text : "-"; }

// The library names the disc's Flash "0.0.0.0" when the disc carries none.
bool flashOnDisc(const char* version) { return version[0] && strcmp(version, "0.0.0.0") != 0; }

} // namespace

int Setup::installPrerequisites() {
    if (m_options.noPrerequisites) {
        m_log.write("prerequisites skipped (/NOPREREQS)");
        return ExitInstalled;
    }
    int code = installDirectX();
    if (code == ExitInstalled)
        code = installInternetExplorer();
    if (code == ExitInstalled)
        code = installFlash();
    // The DirectX setup may ask for a restart; the restart itself comes
    // after the installation.
    if (ZKINSTALL_getIsRebootRequired()) {
        m_restartNeeded = true;
        m_log.write("a component asked for a restart");
    }
    return code;
}

int Setup::installDirectX() {
    if (!ZKINSTALL_getIsDirectXInstallerPresent()) {
        m_log.write("DirectX: no setup on the disc");
        return ExitInstalled;
    }
    // A run after a restart that could not find the installation it was to
    // finish installs anew; the DirectX setup ran before the restart, and
    // running it again would only ask for another one.
    if (m_options.restarted && ZKINSTALL_getDirectXInstalled()) {
        m_log.write("DirectX: installed before the restart");
        return ExitInstalled;
    }
    char installed[kPath] = {0}, needed[kPath] = {0}, disc[kPath] = {0};
    ZKINSTALL_getUserDirectXVersionString(installed);
    ZKINSTALL_getMinimumDirectXVersionString(needed);
    ZKINSTALL_getCDDirectXVersionString(disc);
    say(hostText(IDS_PREREQ_STATUS, {"DirectX", orNone(installed), orNone(needed),
                                     orNone(disc)}));
    if (!ZKINSTALL_isDirectXInstallRequired())
        return ExitInstalled;
    if (m_unattended) {
        m_log.write("DirectX licence accepted: the run is unattended");
    } else {
        char* licence = nullptr;
        unsigned int size = 0;
        if (ZKINSTALL_getDirectXEULAText(&licence, &size, m_language) && licence) {
            m_face.showLicence(hostText(IDS_DIRECTX_LICENCE), licence);
        }
        ZKINSTALL_freeDirectXEULAText(&licence);
        bool yes = true;
        int code = askYesNo(Question::Licence,
                            hostText(IDS_PREREQ_INSTALL, {"DirectX", orNone(disc)}), yes);
        if (code != ExitInstalled)
            return code;
        if (!yes) {
            say(hostText(IDS_PREREQ_DECLINED, {"DirectX"}));
            return ExitInstalled;
        }
    }
    bool done = false;
    ZKINSTALL_installDirectX(&done);
    note(hostText(done ? IDS_PREREQ_INSTALLED : IDS_PREREQ_FAILED, {"DirectX"}));
    return ExitInstalled;
}

int Setup::installInternetExplorer() {
    char installed[kPath] = {0}, needed[kPath] = {0}, disc[kPath] = {0};
    ZKINSTALL_getUserIEVersionString(installed);
    ZKINSTALL_getMinimumIEVersionString(needed);
    ZKINSTALL_getCDIEVersionString(disc);
    const bool present = ZKINSTALL_getIsIEInstallerPresent();
    report(hostText(IDS_PREREQ_STATUS, {"Internet Explorer", orNone(installed), orNone(needed),
                                        present ? orNone(disc) : "-"}),
           needed[0] || present);
    if (!ZKINSTALL_isIEInstallRequired())
        return ExitInstalled;
    return offerComponent("Internet Explorer", present, needed, disc, ZKINSTALL_InstallIE);
}

int Setup::installFlash() {
    char installed[kPath] = {0}, needed[kPath] = {0}, disc[kPath] = {0};
    ZKINSTALL_getUserFlashVersion(installed);
    ZKINSTALL_getMinimumFlashVersion(needed);
    ZKINSTALL_getCDFlashVersion(disc);
    const bool present = flashOnDisc(disc);
    report(hostText(IDS_PREREQ_STATUS, {"Flash", orNone(installed), orNone(needed),
                                        present ? disc : "-"}),
           needed[0] || present);
    if (!ZKINSTALL_isFlashInstallRequired())
        return ExitInstalled;
    return offerComponent("Flash", present, needed, disc,
                          ZKINSTALL_InstallFlashAndShockwave);
}

// A component the game neither asks for nor carries is only logged.
void Setup::report(const std::string& status, bool concernsTheGame) {
    if (concernsTheGame)
        say(status);
    else
        m_log.write(status);
}

int Setup::offerComponent(const char* name, bool onDisc, const char* needed, const char* disc,
                          bool (*install)()) {
    if (!onDisc) {
        say(hostText(IDS_PREREQ_NOT_ON_DISC, {name, orNone(needed)}));
        return ExitInstalled;
    }
    if (!m_unattended) {
        bool yes = true;
        int code = askYesNo(Question::Component,
                            hostText(IDS_PREREQ_INSTALL, {name, orNone(disc)}), yes);
        if (code != ExitInstalled)
            return code;
        if (!yes) {
            say(hostText(IDS_PREREQ_DECLINED, {name}));
            return ExitInstalled;
        }
    }
    // The setups report nothing the library passes on: what it did is
    // logged, and the game's own start tells the rest.
    install();
    m_log.write(std::string(name) + ": setup run");
    return ExitInstalled;
}

} // namespace autorun
