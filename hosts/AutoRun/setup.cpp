#include "setup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ZKInstall.h"
#include "platform/text.h"
#include "exitcodes.h"
#include "progress.h"
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

// The library's text buffers hold 260 bytes.
const size_t kPath = 260;

// Unattended retries of a file that will not copy before the run gives up.
const int kRetryLimit = 3;

// The copy is polled this often; the display is redrawn at most every
// kRedrawMs, and an unattended run logs every kLogStep percent.
const DWORD kPollMs = 100;
const ULONGLONG kRedrawMs = 250;
const int kLogStep = 10;
const DWORD kThreadEndMs = 10000;

std::string trim(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    return text.substr(b, e - b);
}

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

std::string styleText(unsigned style) {
    char text[16];
    snprintf(text, sizeof text, "0x%x", style);
    return text;
}

const char* buttonName(int button) {
    switch (button) {
    case BtnOK: return "OK";
    case BtnCancel: return "Cancel";
    case BtnAbort: return "Abort";
    case BtnRetry: return "Retry";
    case BtnIgnore: return "Ignore";
    case BtnYes: return "Yes";
    case BtnNo: return "No";
    case BtnTryAgain: return "Try Again";
    case BtnContinue: return "Continue";
    default: return "?";
    }
}

int buttonTextId(int button) {
    switch (button) {
    case BtnOK: return IDS_BUTTON_OK;
    case BtnCancel: return IDS_BUTTON_CANCEL;
    case BtnAbort: return IDS_BUTTON_ABORT;
    case BtnRetry: return IDS_BUTTON_RETRY;
    case BtnIgnore: return IDS_BUTTON_IGNORE;
    case BtnYes: return IDS_BUTTON_YES;
    case BtnNo: return IDS_BUTTON_NO;
    case BtnTryAgain: return IDS_BUTTON_TRYAGAIN;
    default: return IDS_BUTTON_CONTINUE;
    }
}

bool backsOut(int button) {
    return button == BtnCancel || button == BtnAbort;
}

// The answer of a prompt that the user broke off with Ctrl+C: the way out
// that the box offers.
int breakOffButton(unsigned style) {
    std::vector<int> buttons = buttonsOf(style);
    for (int b : {BtnCancel, BtnAbort, BtnNo})
        for (int have : buttons)
            if (have == b)
                return b;
    return buttons[0];
}

// CPU time of the calling thread so far, kernel and user.
ULONGLONG threadCpuMs() {
    FILETIME created, ended, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user))
        return 0;
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return (k.QuadPart + u.QuadPart) / 10000;
}

const int kTypeTexts[] = {IDS_TYPE_MINIMUM, IDS_TYPE_SATISFACTORY, IDS_TYPE_FULL,
                          IDS_TYPE_NOSTREAMING};

} // namespace

Setup::Setup(const Options& options)
    : m_options(options),
      m_auto(kRetryLimit, static_cast<unsigned>(options.discWaitSeconds) * 1000u),
      m_unattended(options.unattended) {
    g_setup = this;
}

Setup::~Setup() {
    g_setup = nullptr;
    if (m_texts)
        FreeLibrary(m_texts);
}

// --- talking ---------------------------------------------------------------------

void Setup::say(const std::string& text) {
    m_log.write(text);
    m_console.print(text);
}

void Setup::note(const std::string& text) {
    m_log.write(text);
    if (m_unattended)
        m_console.print(text);
}

void Setup::complain(const std::string& text) {
    m_log.write("error: " + text);
    m_console.error(text);
}

void Setup::switchToUnattended() {
    if (m_unattended)
        return;
    m_unattended = true;
    note("input closed: going on unattended, with the documented answers");
}

Console::ReadResult Setup::ask(const std::string& prompt, std::string& answer) {
    Console::ReadResult r = m_console.ask(prompt, answer);
    if (r == Console::EndOfInput)
        switchToUnattended();
    return r;
}

Console::ReadResult Setup::askOrCancel(const std::string& prompt, std::string& answer) {
    for (;;) {
        Console::ReadResult r = ask(prompt, answer);
        if (r != Console::Interrupted || userConfirmsCancel())
            return r;
    }
}

bool Setup::userConfirmsCancel() {
    if (m_unattended)
        return false;
    unsigned style = MB_YESNO | MB_DEFBUTTON2;
    std::vector<std::string> names = buttonNames(style);
    for (;;) {
        std::string answer;
        Console::ReadResult r =
            ask(hostText(IDS_CANCEL_QUESTION) + " [" + names[0] + "/" + names[1] + "] ", answer);
        if (r != Console::Line)
            return r == Console::Interrupted;  // a second Ctrl+C means it
        int button = parseButtonAnswer(answer, style, names);
        if (button != 0) {
            if (button == BtnYes) {
                m_userCancelled = true;
                m_log.write("the user cancels the installation");
            }
            return button == BtnYes;
        }
    }
}

std::vector<std::string> Setup::buttonNames(unsigned style) {
    std::vector<std::string> names;
    for (int b : buttonsOf(style))
        names.push_back(hostText(buttonTextId(b)));
    return names;
}

int Setup::askMessage(const std::string& text, const std::string& caption, unsigned style) {
    std::vector<int> buttons = buttonsOf(style);
    std::vector<std::string> names = buttonNames(style);
    std::string choices;
    for (size_t i = 0; i < buttons.size(); ++i) {
        choices += "  " + std::to_string(i + 1) + ") " + names[i];
        if (buttons[i] == defaultButton(style))
            choices += " *";
    }
    std::string title = !caption.empty() ? caption : !m_product.empty() ? m_product : "AutoRun";
    std::string prompt = "\n-- " + title + " --\n" + text + "\n" + choices + "\n" +
                         hostText(IDS_ANSWER_HINT) + " ";
    for (;;) {
        std::string answer;
        Console::ReadResult r = ask(prompt, answer);
        if (r == Console::EndOfInput)
            return 0;  // the caller answers for an unattended run
        if (r == Console::Interrupted)
            return breakOffButton(style);
        int button = parseButtonAnswer(answer, style, names);
        if (button != 0)
            return button;
    }
}

// --- the library's callbacks -----------------------------------------------------

int Setup::onMessage(const char* text, const char* caption, unsigned style) {
    std::string t = text ? text : "";
    std::string c = caption ? caption : "";
    m_log.write("message [" + c + "] " + t + " (style " + styleText(style) + ")");

    int button = 0;
    if (!m_unattended)
        button = askMessage(t, c, style);
    bool byPolicy = button == 0;
    if (byPolicy) {
        Answer a = m_auto.onMessage(t, style, GetTickCount());
        if (a.delayMs)
            Sleep(a.delayMs);
        button = a.button;
    } else if (backsOut(button) && (style & 0x0F) == MB_RETRYCANCEL) {
        m_copyFailed = true;
    }
    m_log.write(std::string("answer: ") + buttonName(button));

    // A yes to the question that follows backing out is a decision to quit.
    unsigned type = style & 0x0F;
    bool quitting = m_gaveUp && button == BtnYes && (type == MB_YESNO || type == MB_YESNOCANCEL);
    m_gaveUp = backsOut(button);
    if (!quitting)
        return button;
    if (!byPolicy && !m_copyFailed)
        m_userCancelled = true;
    // Outside the copy the library now ends the whole process with exit
    // code 0, as if all had gone well; end it here with the code that tells
    // why.
    if (m_phase != PhaseCopy)
        endNow(quitCode());
    return button;
}

int Setup::onDiscRequest(int disc) {
    if (!m_unattended) {
        unsigned style = MB_OKCANCEL;
        std::vector<std::string> names = buttonNames(style);
        std::string prompt = hostText(IDS_INSERT_DISC, {std::to_string(disc)}) + " [" +
                             names[0] + "/" + names[1] + "] ";
        m_log.write("disc " + std::to_string(disc) + " requested");
        for (;;) {
            std::string answer;
            Console::ReadResult r = ask(prompt, answer);
            if (r == Console::EndOfInput)
                break;
            int button = r == Console::Interrupted ? BtnCancel
                                                    : parseButtonAnswer(answer, style, names);
            if (button != 0) {
                m_gaveUp = backsOut(button);
                m_log.write(std::string("answer: ") + buttonName(button));
                return button;
            }
        }
    }
    bool waiting = m_missingDisc == disc;
    Answer a = m_auto.onDiscRequest(disc, GetTickCount());
    if (!waiting && a.button == BtnOK) {
        m_missingDisc = disc;
        note("waiting up to " + std::to_string(m_options.discWaitSeconds) + " s for disc " +
             std::to_string(disc));
    }
    if (a.delayMs)
        Sleep(a.delayMs);
    if (backsOut(a.button)) {
        m_missingDisc = disc;
        note("disc " + std::to_string(disc) + " did not turn up: giving up");
    }
    m_gaveUp = backsOut(a.button);
    return a.button;
}

// --- the road ------------------------------------------------------------------------

int Setup::run() {
    int code = start();
    if (code == ExitInstalled)
        code = readSettings();
    if (code == ExitInstalled)
        code = chooseLanguage();
    if (code == ExitInstalled)
        code = chooseType();
    if (code == ExitInstalled)
        code = chooseDestination();
    if (code == ExitInstalled)
        code = confirm();
    if (code == ExitInstalled)
        code = copyGame();
    if (code == ExitInstalled)
        code = registerGame();
    return finish(code);
}

int Setup::start() {
    if (!m_options.logFile.empty() && !m_log.open(m_options.logFile)) {
        complain("cannot write the log file \"" + m_options.logFile + "\"");
        return ExitBadCommandLine;
    }
    m_log.write(std::string("AutoRun started") + (m_unattended ? " (unattended)" : ""));
    if (!m_unattended)
        m_console.catchInterrupts();

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
    zk::copyText(exe, executableFromDisc().c_str());
    ZKINSTALL_init(exe);
    if (m_options.debug)
        ZKINSTALL_setDebugMode(true);
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
    if (!m_unattended)
        m_console.print(hostText(IDS_SETUP_TITLE, {m_product}));
    return ExitInstalled;
}

int Setup::chooseLanguage() {
    const bool* available = ZKINSTALL_getAvailableLanguages();
    std::vector<LanguageEntry> all, offered;
    for (int i = 1; i <= 25; ++i) {
        const char* name = ZKINSTALL_getLanguageIndexName(i);
        const char* prefix = ZKINSTALL_getLanguageIndexPrefix(i);
        LanguageEntry e{i, name ? name : "", prefix ? prefix : ""};
        all.push_back(e);
        if (available && available[i])
            offered.push_back(e);
    }
    std::string offeredNames;
    for (const LanguageEntry& l : offered)
        offeredNames += (offeredNames.empty() ? "" : ", ") + l.name + " (" + l.prefix + ")";

    int choice = 0;
    if (!m_options.language.empty()) {
        choice = findLanguage(m_options.language, all);
        if (choice == 0 || !available || !available[choice]) {
            complain("the language \"" + m_options.language + "\" is not on this disc; it offers " +
                     (offeredNames.empty() ? std::string("none") : offeredNames));
            return ExitBadCommandLine;
        }
    } else {
        int index = 0;
        char prefix[kPath] = {0};
        if (ZKINSTALL_autoSelectLanguage(&index, prefix)) {
            choice = index;
        } else if (!offered.empty()) {
            // The disc leaves the choice to the user: the language the library
            // settled on when the disc offers it, else the first one it offers.
            int suggestion = offered[0].index;
            for (const LanguageEntry& l : offered)
                if (l.index == index)
                    suggestion = index;
            choice = suggestion;
            if (!m_unattended && offered.size() > 1) {
                std::string list = hostText(IDS_LANGUAGE_LIST);
                for (size_t i = 0; i < offered.size(); ++i)
                    list += "\n  " + std::to_string(i + 1) + ") " + offered[i].name;
                m_console.print(list);
                size_t def = 0;
                for (size_t i = 0; i < offered.size(); ++i)
                    if (offered[i].index == suggestion)
                        def = i;
                for (;;) {
                    std::string answer;
                    Console::ReadResult r = askOrCancel(
                        hostText(IDS_LANGUAGE_PROMPT, {std::to_string(def + 1)}) + " ", answer);
                    if (r == Console::Interrupted)
                        return ExitCancelled;
                    if (r == Console::EndOfInput)
                        break;
                    answer = trim(answer);
                    if (answer.empty())
                        break;
                    char* end = nullptr;
                    long n = strtol(answer.c_str(), &end, 10);
                    if (*end == '\0' && n >= 1 && static_cast<size_t>(n) <= offered.size()) {
                        choice = offered[n - 1].index;
                        break;
                    }
                    int named = findLanguage(answer, offered);
                    if (named != 0) {
                        choice = named;
                        break;
                    }
                }
            }
        } else {
            choice = index;  // nothing offered: the library's English fallback
        }
    }
    if (choice >= 1 && choice <= 25)
        ZKINSTALL_setLanguage(choice);
    char prefix[kPath] = {0};
    m_language = ZKINSTALL_getCurrentlySelectedLanguage(prefix);
    const char* name = ZKINSTALL_getLanguageIndexName(m_language);
    note("language: " + std::string(name ? name : "?") + " (" + prefix + ")");
    return ExitInstalled;
}

int Setup::chooseType() {
    // Full without streaming only means something for a game that streams.
    int last = ZKINSTALL_getGameHasStreaming() ? 4 : 3;
    m_type = m_options.installType != 0 ? m_options.installType : 3;
    if (m_options.installType > last) {
        complain("this game has no installation type \"nostreaming\"");
        return ExitBadCommandLine;
    }
    if (!m_unattended && m_options.installType == 0) {
        std::string list = hostText(IDS_TYPE_LIST);
        for (int t = 1; t <= last; ++t)
            list += "\n  " + std::to_string(t) + ") " + hostText(kTypeTexts[t - 1]) + "  (" +
                    formatBytes(ZKINSTALL_getInstallSize(t)) + ")";
        m_console.print(list);
        for (;;) {
            std::string answer;
            Console::ReadResult r =
                askOrCancel(hostText(IDS_TYPE_PROMPT, {std::to_string(m_type)}) + " ", answer);
            if (r == Console::Interrupted)
                return ExitCancelled;
            if (r == Console::EndOfInput)
                break;
            answer = trim(answer);
            if (answer.empty())
                break;
            int t = parseInstallType(answer);
            if (t >= 1 && t <= last) {
                m_type = t;
                break;
            }
        }
    }
    m_expected = ZKINSTALL_getInstallSize(m_type);
    note("installation type " + std::to_string(m_type) + " (" + hostText(kTypeTexts[m_type - 1]) +
         "), " + std::to_string(m_expected) + " bytes");
    return ExitInstalled;
}

int Setup::checkDestination(std::string& folder, std::string& why) {
    folder = trim(folder);
    // "C:\Games\X\" means the folder C:\Games\X; the library keeps folders
    // without a trailing backslash.
    if (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    if (folder.size() >= kPath) {
        why = hostText(IDS_FOLDER_TOO_LONG);
        return ExitBadDestination;
    }
    char path[kPath];
    zk::copyText(path, folder.c_str());
    switch (ZKINSTALL_getIsValidZKPath(path)) {
    case PathValid: break;
    case PathProtected: why = hostText(IDS_FOLDER_PROTECTED); return ExitBadDestination;
    case PathTooLong: why = hostText(IDS_FOLDER_TOO_LONG); return ExitBadDestination;
    case PathBadCharacter: why = hostText(IDS_FOLDER_BAD_CHAR); return ExitBadDestination;
    default: why = hostText(IDS_FOLDER_MALFORMED); return ExitBadDestination;
    }
    if (!ZKINSTALL_getIsValidDrive(path)) {
        why = hostText(IDS_FOLDER_BAD_DRIVE);
        return ExitBadDestination;
    }
    if (!ZKINSTALL_getIsSufficentSpace(path, m_expected)) {
        why = hostText(IDS_FOLDER_NO_SPACE, {formatBytes(m_expected)});
        return ExitInsufficientSpace;
    }
    return ExitInstalled;
}

int Setup::chooseDestination() {
    char text[kPath] = {0};
    ZKINSTALL_getGameCacheLocation(text);
    std::string suggestion = text;
    // An earlier installation's folder comes back in its short (8.3) form;
    // show and keep the name the user knows.
    char longName[kPath] = {0};
    DWORD n = GetLongPathNameA(text, longName, sizeof longName);
    if (n > 0 && n < sizeof longName)
        suggestion = longName;
    if (ZKINSTALL_getWasGamePreviouslyInstalled())
        note(hostText(IDS_PREVIOUS_INSTALL, {suggestion}));

    std::string folder = m_options.destination.empty() ? suggestion : m_options.destination;
    bool askFirst = !m_unattended && m_options.destination.empty();
    for (;;) {
        if (askFirst) {
            std::string answer;
            Console::ReadResult r =
                askOrCancel(hostText(IDS_FOLDER_PROMPT, {folder}) + " ", answer);
            if (r == Console::Interrupted)
                return ExitCancelled;
            if (r == Console::Line && !trim(answer).empty())
                folder = answer;
        }
        std::string why;
        int code = checkDestination(folder, why);
        if (code == ExitInstalled)
            break;
        complain(folder + ": " + why);
        if (m_unattended)
            return code;
        askFirst = true;
    }
    m_destination = folder;
    char path[kPath];
    zk::copyText(path, folder.c_str());
    ZKINSTALL_setGameCacheLocation(path);
    note("install folder: " + folder);
    return ExitInstalled;
}

int Setup::confirm() {
    if (m_unattended)
        return ExitInstalled;
    unsigned style = MB_YESNO;
    std::vector<std::string> names = buttonNames(style);
    std::string prompt = hostText(IDS_CONFIRM, {m_product, m_destination,
                                                hostText(kTypeTexts[m_type - 1]),
                                                formatBytes(m_expected)}) +
                         " [" + names[0] + "/" + names[1] + "] ";
    for (;;) {
        std::string answer;
        Console::ReadResult r = askOrCancel(prompt, answer);
        if (r == Console::Interrupted)
            return ExitCancelled;
        if (r == Console::EndOfInput)
            return ExitInstalled;
        int button = parseButtonAnswer(answer, style, names);
        if (button == BtnYes)
            return ExitInstalled;
        if (button == BtnNo) {
            m_userCancelled = true;
            return ExitCancelled;
        }
    }
}

int Setup::copyGame() {
    // The copy reads the language's file list from where the library last
    // saw disc 1, and an earlier installation that was found points it at the
    // drive that installation ended on (the last disc).  Make sure it starts
    // from disc 1.
    if (ZKINSTALL_requestSpecificCD(1) != 0)
        return quitCode();
    char from[kPath] = {0};
    ZKINSTALL_getInstallFromLocation(from);
    m_log.write(std::string("copying from ") + from);

    m_phase = PhaseCopy;
    note(hostText(IDS_COPYING));
    // The thread sets running itself only after its first second; set it
    // here so that the poll below cannot mistake the start for the end.
    m_running = 1;
    m_cancel = 0;
    m_percent = 0.0f;
    m_currentFile[0] = '\0';
    void* thread = nullptr;
    ULONGLONG started = GetTickCount64();
    ULONGLONG cpuBefore = threadCpuMs();
    ZKINSTALL_copyCacheFiles(m_type, &m_running, m_currentFile, &m_percent, &m_cancel, m_expected,
                             &thread);
    if (thread == nullptr || thread == INVALID_HANDLE_VALUE) {
        m_running = 0;
        complain("the copy could not start");
        return ExitFailed;
    }

    volatile int& running = m_running;
    volatile int& cancel = m_cancel;
    volatile float& percent = m_percent;
    ULONGLONG lastDraw = 0;
    int logged = 0;
    while (running) {
        if (m_console.takeInterrupt() && userConfirmsCancel())
            m_userCancelled = true;
        // The thread clears the flag when it starts; keep it set once the
        // user decided.
        if (m_userCancelled)
            cancel = 1;
        ULONGLONG now = GetTickCount64();
        float p = percent;
        if (m_unattended) {
            int step = static_cast<int>(p) / kLogStep * kLogStep;
            if (step > logged) {
                logged = step;
                note(std::to_string(step) + "% copied");
            }
        } else if (now - lastDraw >= kRedrawMs) {
            lastDraw = now;
            char file[sizeof m_currentFile];
            zk::copyText(file, const_cast<const char*>(m_currentFile));
            m_console.progress(progressLine(p, m_expected, now - started, file,
                                            m_console.width() - 1));
        }
        // Wakes up early when the thread ends.
        if (WaitForSingleObject(thread, kPollMs) != WAIT_TIMEOUT)
            break;
    }
    // The flag drops just before the thread's last words; let it finish
    // before its handle, which is ours, is closed.
    WaitForSingleObject(thread, kThreadEndMs);
    CloseHandle(thread);
    ULONGLONG elapsed = GetTickCount64() - started;
    // What watching the copy cost this thread: it should sleep, not spin.
    m_log.write("host thread cpu: " + std::to_string(threadCpuMs() - cpuBefore) + " ms");
    if (!m_unattended)
        m_console.progress(progressLine(percent, m_expected, elapsed, "", m_console.width() - 1));
    m_console.endProgress();
    m_phase = PhaseAfterCopy;
    // Tenths by hand: the library moves the C locale to the chosen language.
    int tenths = static_cast<int>(percent * 10.0f + 0.5f);
    m_log.write("copy ended after " + formatElapsed(elapsed) + " at " +
                std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) +
                "%, cancel flag " + std::to_string(cancel));
    if (cancel != 0)
        return quitCode();
    return ExitInstalled;
}

int Setup::quitCode() const {
    if (m_userCancelled)
        return ExitCancelled;
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
    case ExitInstalled: say(hostText(IDS_INSTALLED, {m_product, m_destination})); break;
    case ExitCancelled: say(hostText(IDS_CANCELLED)); break;
    case ExitDiscMissing:
        say(hostText(IDS_DISC_MISSING, {std::to_string(m_missingDisc > 0 ? m_missingDisc : 1)}));
        break;
    case ExitCopyFailed: say(hostText(IDS_COPY_FAILED)); break;
    case ExitBadCommandLine:
    case ExitBadDestination:
    case ExitInsufficientSpace: break;  // already explained
    default: say(hostText(IDS_FAILED)); break;
    }
    m_log.write("exit code " + std::to_string(code));
    m_log.close();
    return code;
}

} // namespace autorun
