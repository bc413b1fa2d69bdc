// The end of an installation: a restart that a component asked for, with the
// run-once link whose run finishes the installation after it; otherwise the
// add-ons and the game offered.  A run the link started picks the interrupted
// installation up from the library's records.
#include "setup.h"

#include "ZKInstall.h"
#include "bounded.h"
#include "exitcodes.h"
#include "resource.h"
#include "texts.h"

namespace autorun {

namespace {

std::string thisProgram() {
    char path[MAX_PATH] = {0};
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return n > 0 && n < sizeof path ? path : "AutoRun.exe";
}

// A folder as the user knows it: the library keeps an earlier installation's
// folder in its short (8.3) form.
std::string longForm(const char* folder) {
    char longName[kPath] = {0};
    DWORD n = GetLongPathNameA(folder, longName, sizeof longName);
    return n > 0 && n < sizeof longName ? longName : folder;
}

} // namespace

bool Setup::resumesInstallation() {
    if (!m_options.restarted || !m_restartPending)
        return false;
    if (!ZKINSTALL_getWasGamePreviouslyInstalled()) {
        note(hostText(IDS_RESUME_NOT_FOUND));
        return false;
    }
    char folder[kPath] = {0};
    ZKINSTALL_getGameCacheLocation(folder);
    m_destination = longForm(folder);
    say(hostText(IDS_RESUMING, {m_product, m_destination}));
    return true;
}

int Setup::restartWindows() {
    say(hostText(IDS_INSTALLED, {m_product, m_destination}));
    say(hostText(IDS_RESTART_NEEDED));
    // The link runs this program again with the same switches, at the next
    // logon, from wherever disc 1 was.
    std::string program = thisProgram();
    std::string folder = program.substr(0, program.find_last_of('\\'));
    std::string arguments = restartCommandLine(m_options.arguments, m_source);
    int number = ZKINSTALL_runOnceOnReboot(&program[0], &folder[0], &arguments[0]);
    m_log.write("run-once link " + std::to_string(number) + ": " + program + " " + arguments);

    bool now = true;
    if (m_options.noRestart) {
        now = false;
        m_log.write("no restart: /NORESTART");
    } else if (m_options.restarted) {
        // A run that followed a restart never asks for another one.
        now = false;
        m_log.write("no restart: this run followed one");
    } else if (!m_unattended &&
               askYesNo(Question::Restart, hostText(IDS_RESTART_QUESTION), now) != ExitInstalled) {
        now = false;  // Ctrl+C: the installation is done, only the restart waits
    }
    if (!now) {
        say(hostText(IDS_RESTART_LATER));
        return ExitRestartRequired;
    }
    say(hostText(IDS_RESTARTING));
    m_log.write("restarting Windows");
    m_phase = PhaseRestart;
    ZKINSTALL_rebootSystem();
    if (m_restartFailed) {
        complain(hostText(IDS_RESTART_FAILED));
        return ExitRestartRequired;
    }
    return ExitRestartInitiated;
}

int Setup::completeInstallation() {
    int code = installAddOns();
    if (code != ExitInstalled)
        return code;
    // A DirectX setup records a pending restart whether or not it asked for
    // one; nothing is left for a run after a restart to do.
    ZKINSTALL_setRestartedStatus(false);
    if (m_restartPending)
        m_log.write("the installation the restart interrupted is finished");
    say(hostText(IDS_INSTALLED, {m_product, m_destination}));
    return offerGame();
}

int Setup::offerGame() {
    bool start = m_options.run;
    // Closed input keeps the unattended answer: no.
    if (!m_unattended && !start &&
        askYesNo(Question::StartGame, hostText(IDS_RUN_QUESTION, {m_product}), start) !=
            ExitInstalled)
        start = false;
    if (!start) {
        m_log.write("the game is not started");
        return ExitInstalled;
    }
    char folder[kPath];
    copyText(folder, m_destination.c_str());
    // Waits until the game shows up running, at most about 41 s.
    if (ZKINSTALL_runGame(folder))
        m_log.write("game started");
    else
        say(hostText(IDS_GAME_NOT_STARTED, {m_product}));
    return ExitInstalled;
}

} // namespace autorun
