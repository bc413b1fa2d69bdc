// Setup: the orchestration of one installation (start, settings, the steps
// in order, the registration and the exit code); the prompts, the choices and
// the copy have files of their own.
#include "setup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ZKInstall.h"
#include "bounded.h"
#include "exitcodes.h"
#include "resource.h"
#include "texts.h"

namespace autorun {

namespace {

Setup* g_setup = nullptr;

int __stdcall messageCallback(HWND, const char* text, const char* caption, unsigned style) {
    return g_setup ? g_setup->onMessage(text, caption, style) : BtnCancel;
}

int __stdcall beforeDiscCallback(int disc) {
    return g_setup ? g_setup->onDiscRequest(disc) : BtnCancel;
}

int __stdcall afterDiscCallback(int) {
    return 0;
}

// Unattended retries of a file that will not copy before the run gives up.
const int kRetryLimit = 3;

// Reads the game's executable name from the disc's AutoRun\autorun.cfg, if
// the current folder is a disc: the library keys a pending restart by it.
// Settings stand at the top of the file, before the first section.
std::string executableFromDisc() {
    FILE* f = fopen("AutoRun\\autorun.cfg", "r");
    if (!f)
        return "";
    char line[1024];
    std::string exe;
    while (fgets(line, sizeof line, f)) {
        if (line[0] == '[')
            break;
        if (strncmp(line, "Executable=", 11) == 0) {
            exe = line + 11;
            while (!exe.empty() && (exe.back() == '\n' || exe.back() == '\r'))
                exe.pop_back();
            size_t slash = exe.find_last_of('\\');
            if (slash != std::string::npos)
                exe = exe.substr(slash + 1);
            break;
        }
    }
    fclose(f);
    return exe;
}

} // namespace

Setup::Setup(const Options& options, Face& face)
    : m_options(options),
      m_face(face),
      m_auto(kRetryLimit, static_cast<unsigned>(options.discWaitSeconds) * 1000u),
      m_unattended(options.unattended) {
    g_setup = this;
}

Setup::~Setup() {
    g_setup = nullptr;
    if (m_texts)
        FreeLibrary(m_texts);
}

// --- the road ------------------------------------------------------------------------

int Setup::run() {
    int code = start();
    if (code == ExitInstalled)
        code = readSettings();
    // After a restart the run finishes the installation it interrupted.
    if (code == ExitInstalled && !resumesInstallation()) {
        code = chooseLanguage();
        if (code == ExitInstalled)
            code = chooseType();
        if (code == ExitInstalled)
            code = chooseDestination();
        if (code == ExitInstalled)
            code = chooseGroup();
        if (code == ExitInstalled)
            code = confirm();
        if (code == ExitInstalled)
            code = acceptToolsLicence();
        if (code == ExitInstalled)
            code = installPrerequisites();
        if (code == ExitInstalled)
            code = copyGame();
        if (code == ExitInstalled)
            code = registerGame();
        if (code == ExitInstalled)
            code = createShortcuts();
    }
    // A restart a component asked for comes before anything that may need
    // that component: the add-ons' setups and the game.
    if (code == ExitInstalled)
        code = m_restartNeeded ? restartWindows() : completeInstallation();
    return finish(code);
}

int Setup::start() {
    // The run after a restart adds its story to the same log.
    if (!m_options.logFile.empty() && !m_log.open(m_options.logFile, m_options.restarted)) {
        complain("cannot write the log file \"" + m_options.logFile + "\"");
        return ExitBadCommandLine;
    }
    m_log.write(std::string("AutoRun started") + (m_unattended ? " (unattended)" : ""));

    // The library fetches its message texts from AutoRunGUI.dll as loaded in
    // this process, and remembers the module at its first text: load it first.
    m_texts = LoadLibraryA("AutoRunGUI.dll");
    if (!m_texts)
        note("AutoRunGUI.dll is missing: messages fall back to AutoRun's own English texts");

    // Disc 1 is looked for from the current folder: the disc-image folder or
    // drive named on the command line, else this program's folder when it
    // lies on the disc itself.
    std::string source = !m_options.source.empty() ? m_options.source : m_options.restartDir;
    if (source.empty()) {
        char self[MAX_PATH];
        DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
        if (n > 0 && n < sizeof self) {
            std::string folder(self, n);
            folder = folder.substr(0, folder.find_last_of('\\'));
            if (GetFileAttributesA((folder + "\\AutoRun.inf").c_str()) != INVALID_FILE_ATTRIBUTES)
                source = folder;
        }
    }
    if (!source.empty()) {
        if (source.size() == 2 && source[1] == ':')
            source += '\\';
        if (!SetCurrentDirectoryA(source.c_str())) {
            complain("the source folder \"" + source + "\" cannot be opened");
            return ExitBadCommandLine;
        }
        m_log.write("source: " + source);
    }

    ZKINSTALL_setMessageBox(messageCallback);
    ZKINSTALL_setBeforeCDRequest(beforeDiscCallback);
    ZKINSTALL_setAfterCDRequest(afterDiscCallback);
    char exe[kPath];
    copyText(exe, executableFromDisc().c_str());
    ZKINSTALL_init(exe);
    if (m_options.debug)
        ZKINSTALL_setDebugMode(true);
    if (m_options.restarted) {
        m_restartPending = ZKINSTALL_getRestartedStatus(exe);
        m_log.write(m_restartPending ? "started after a restart: an installation is pending"
                                     : "started after a restart: no installation is pending");
    }
    return ExitInstalled;
}

int Setup::readSettings() {
    m_phase = PhaseSettings;
    ZKINSTALL_readSettings();
    m_phase = PhaseChoices;
    char text[kPath] = {0};
    ZKINSTALL_getProductName(text);
    m_product = text;
    char from[kPath] = {0};
    ZKINSTALL_getInstallFromLocation(from);
    m_log.write("disc 1 of " + m_product + " found in " + from);
    m_firstDisc = from;
    m_face.begin(m_product, m_unattended ? "" : hostText(IDS_SETUP_TITLE, {m_product}));
    return ExitInstalled;
}

int Setup::quitCode() const {
    if (m_userCancelled)
        return ExitCancelled;
    if (m_destinationFull)
        return ExitInsufficientSpace;
    if (m_auto.reason() == GiveUp::CopyFailed || m_copyFailed)
        return ExitCopyFailed;
    if (m_auto.reason() == GiveUp::DiscMissing)
        return ExitDiscMissing;
    // The copy stopped without anybody deciding so: a folder or a file list
    // that could not be copied.
    return ExitCopyFailed;
}

int Setup::registerGame() {
    ZKINSTALL_setStandardGameRegistryItems();
    ZKINSTALL_setInstallationCompleted(true);
    m_log.write("registry entries written");
    return ExitInstalled;
}

void Setup::endNow(int code) {
    finish(code);
    exit(code);
}

int Setup::finish(int code) {
    switch (code) {
    case ExitInstalled:
    case ExitRestartRequired:
    case ExitRestartInitiated: break;  // the last step said how it ended
    case ExitCancelled: say(hostText(IDS_CANCELLED)); break;
    case ExitDiscMissing:
        say(hostText(IDS_DISC_MISSING, {std::to_string(m_missingDisc > 0 ? m_missingDisc : 1)}));
        break;
    case ExitCopyFailed: say(hostText(IDS_COPY_FAILED)); break;
    case ExitInsufficientSpace:
        // Before the copy the destination check has explained it already.
        if (m_destinationFull)
            say(hostText(IDS_DESTINATION_FULL, {m_destination}));
        break;
    case ExitBadCommandLine:
    case ExitBadDestination: break;  // already explained
    default: say(hostText(IDS_FAILED)); break;
    }
    m_log.write("exit code " + std::to_string(code));
    m_log.close();
    return code;
}

} // namespace autorun
