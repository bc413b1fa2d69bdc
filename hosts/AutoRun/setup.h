// setup.h - the road of one installation as AutoRun drives it through the
// library: settings, language, installation type, destination, the copy with
// its progress, the registration of the installed game, and its end: a
// restart of Windows that a component asked for (the run after it finishes
// the installation), or the add-ons and the game.  Each step is one method
// returning an exit code (ExitInstalled to go on); every question and word
// for the user goes through a face (console or windows).
#ifndef AUTORUN_SETUP_H
#define AUTORUN_SETUP_H

#include <windows.h>

#include <string>
#include <vector>

#include "answers.h"
#include "face.h"
#include "hostlog.h"
#include "options.h"

namespace autorun {

class Setup {
  public:
    Setup(const Options& options, Face& face);
    ~Setup();

    // Runs the whole installation and returns the process's exit code.
    int run();

    // The library's callbacks land here (from the host's thread or the copy
    // thread).
    int onMessage(const char* text, const char* caption, unsigned style);
    int onDiscRequest(int disc);

  private:
    enum Phase { PhaseStart, PhaseSettings, PhaseChoices, PhaseCopy, PhaseAfterCopy, PhaseRestart };

    int start();
    int readSettings();
    int chooseLanguage();
    int chooseType();
    int chooseDestination();
    int confirm();
    int installPrerequisites();
    int installDirectX();
    int installInternetExplorer();
    int installFlash();
    // Installs a component the game needs from the disc (asking first when
    // interactive); says so when the disc does not carry it.
    void report(const std::string& status, bool concernsTheGame);
    int offerComponent(const char* name, bool onDisc, const char* needed, const char* disc,
                       bool (*install)());
    int acceptToolsLicence();
    int copyGame();
    // Takes back what a cancelled copy left (files, folders, registry
    // entries, run-once links) through the library's rollback and waits for it.
    void rollBack();
    // True when a file that would not copy failed for want of room on the
    // destination drive (`error`: the copy's own, as the library hands it on).
    bool destinationIsFull(unsigned long error);
    int registerGame();
    int chooseGroup();
    int createShortcuts();
    int installAddOns();
    // A run started again after a restart with the installation it was
    // interrupted in still pending: true when that installation is found.
    bool resumesInstallation();
    // The run-once link that resumes the installation, then the restart (or
    // the word that it is still needed): ExitRestartInitiated or
    // ExitRestartRequired.
    int restartWindows();
    // What follows the installed game's files, entries and links when no
    // restart is pending: the add-ons, then the game offered.
    int completeInstallation();
    int offerGame();

    // Checks one proposed folder; ExitInstalled when it can be used, else the
    // exit code and `why` (the text to show).
    int checkDestination(std::string& folder, std::string& why);
    // The install folder the library suggests (an earlier one, in long form).
    std::string suggestedFolder();
    // The exit code of an installation that stopped early, from what the
    // user or the unattended policy decided.
    int quitCode() const;
    // The library ends the process itself when the user quits certain
    // prompts; AutoRun ends it first, with its own exit code.
    [[noreturn]] void endNow(int code);
    int finish(int code);

    void say(const std::string& text);      // shown (interactive) and logged
    void note(const std::string& text);     // logged (and shown when unattended)
    void complain(const std::string& text); // shown as an error and logged
    // What a face's reply means for the road: ExitInstalled to go on (a
    // closed face turns the run unattended), ExitCancelled once the user
    // confirmed stopping.
    int follow(Reply reply);
    // A yes/no question: ExitInstalled with the answer in `yes` (nobody to
    // ask keeps the `yes` passed in), ExitCancelled after a confirmed cancel.
    int askYesNo(Question kind, const std::string& question, bool& yes);
    void switchToUnattended();

    Options m_options;
    Face& m_face;
    HostLog m_log;
    UnattendedAnswers m_auto;
    volatile bool m_unattended;
    volatile LONG m_phase = PhaseStart;
    HMODULE m_texts = nullptr;

    std::string m_product;
    int m_language = 0;
    int m_type = 3;
    long long m_expected = 0;
    std::string m_destination;
    bool m_restartNeeded = false;  // a component asked for a restart
    bool m_restartPending = false; // started after a restart with the record of one pending
    volatile bool m_restartFailed = false;  // the library reported that Windows did not restart
    std::string m_firstDisc;       // where disc 1 was found by the settings' read
    std::string m_source;          // disc 1's place at the copy: -dir of the run after a restart

    // What the user or the policy decided while answering prompts.
    volatile bool m_gaveUp = false;        // the last answer backed out (Cancel, Abort)
    volatile bool m_userCancelled = false; // the user asked to stop (Ctrl+C or a prompt)
    volatile bool m_copyFailed = false;    // the user gave up a file that would not copy
    volatile int m_missingDisc = 0;
    volatile bool m_destinationFull = false; // a copy failed on a full destination drive

    // Shared with the copy thread for its whole life.
    int m_running = 0;
    int m_cancel = 0;
    float m_percent = 0.0f;
    char m_currentFile[1024] = {0};
    // Shared with the library's rollback run.
    int m_rollbackRunning = 0;
    float m_rollbackProgress = 0.0f;
};

} // namespace autorun

#endif
