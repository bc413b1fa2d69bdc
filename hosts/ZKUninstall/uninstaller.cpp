#include "uninstaller.h"

#include <windows.h>

#include <cctype>
#include <cstdio>

#include "ZKInstall.h"
#include "resource.h"

namespace zkuninstall {

namespace {

Uninstaller* g_uninstaller = nullptr;

int __stdcall messageCallback(HWND, const char* text, const char* caption, unsigned style) {
    return g_uninstaller ? g_uninstaller->onMessage(text, caption, style) : IDCANCEL;
}

// The answer that lets the removal go on without waiting: OK, else the
// button that gives up on the single step (Cancel, No, Ignore, Continue).
int answerFor(unsigned style) {
    switch (style & MB_TYPEMASK) {
    case MB_OK: return IDOK;
    case MB_YESNO: return IDNO;
    case MB_ABORTRETRYIGNORE: return IDIGNORE;
    case MB_CANCELTRYCONTINUE: return IDCONTINUE;
    default: return IDCANCEL;  // OK/Cancel, Yes/No/Cancel, Retry/Cancel
    }
}

// The uninstall run writes these from its worker thread; each is one aligned
// 32-bit value.  They must outlive the run, which ends with the process.
float g_progress = 0.0f;
int g_running = 0;

// The single object of this process: the library relies on the fields its
// preparation read.
CZKUninstall& uninstallObject() {
    static CZKUninstall object;
    return object;
}

std::string fullPath(const std::string& path) {
    char full[MAX_PATH * 4];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return n > 0 && n < sizeof full ? std::string(full, n) : path;
}

bool folderExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

int Uninstaller::onMessage(const char* text, const char* caption, unsigned style) {
    std::string line = caption && *caption ? std::string(caption) + ": " : "";
    int answer = answerFor(style);
    m_report.say(line + (text ? text : "") + (answer == IDOK ? "" : " (answered " +
                                                                        std::to_string(answer) + ")"));
    return answer;
}

int Uninstaller::openLog(bool append) {
    if (m_options.logFile.empty())
        return ExitRemoved;
    m_options.logFile = fullPath(m_options.logFile);
    if (m_report.openLog(m_options.logFile, append))
        return ExitRemoved;
    fprintf(stderr, "ZKUninstall: cannot write the log file \"%s\"\n", m_options.logFile.c_str());
    return ExitBadCommandLine;
}

bool Uninstaller::confirm() {
    if (m_windows) {
        bool yes = m_window.ask(
            m_texts.text(IDS_QUESTION, {m_product.displayName, m_product.installFolder}));
        m_report.note(std::string("answer: ") + (yes ? "yes" : "no"));
        return yes;
    }
    fprintf(stdout, "Remove %s and all of its components from %s? [y/N] ",
            m_product.displayName.c_str(), m_product.installFolder.c_str());
    fflush(stdout);
    char answer[64];
    if (!fgets(answer, sizeof answer, stdin)) {
        fputs("\n", stdout);
        m_report.note("no answer (input closed): nothing removed");
        return false;
    }
    bool yes = tolower(static_cast<unsigned char>(answer[0])) == 'y';
    m_report.note(std::string("answer: ") + (yes ? "yes" : "no"));
    return yes;
}

int Uninstaller::run() {
    g_uninstaller = this;
    m_program = programPath();
    const std::string folder = longForm(folderOf(m_program));
    // Only a copy in the temporary folder takes a handoff: a first run never
    // acts on a product named by a stale environment.
    Handoff handoff;
    const bool relaunched = sameFolder(folder, temporaryFolder()) && takeHandoff(handoff);
    if (relaunched) {
        m_options.unattended = handoff.unattended;
        m_options.logFile = handoff.logFile;
    }
    bool windows = relaunched ? handoff.windows : !m_options.console;
    int code = openLog(relaunched);
    if (code != ExitRemoved)
        return code;
    m_report.note("ZKUninstall started in " + folder + (relaunched ? " (relaunched)" : "") +
                  (m_options.unattended ? " (unattended)" : ""));

    if (relaunched) {
        if (!readProduct(handoff.product, m_product)) {
            m_product.key = m_product.displayName = handoff.product;
            m_report.note("the game " + handoff.product + " is no longer registered");
        }
    } else {
        const bool found = findProduct(folder, m_product);
        m_windows = windows && !m_options.unattended && openWindow(found);
        if (!found) {
            conclude("No installed game was found in " + folder + ".",
                     m_texts.text(IDS_NOT_FOUND, {folder}));
            return ExitNotFound;
        }
        m_report.note("product: " + m_product.key + " (" + m_product.displayName + ") in " +
                      m_product.installFolder + (m_product.installed ? "" : ", not marked installed"));
        if (!m_options.unattended && !confirm()) {
            m_report.say("Nothing was removed.");
            return ExitCancelled;
        }
        // From the install folder the library always relaunches; whatever
        // folder the caller left current must not look like the temporary one.
        SetCurrentDirectoryA(folder.c_str());
        Handoff next;
        next.product = m_product.key;
        next.unattended = m_options.unattended;
        next.windows = m_windows;
        next.logFile = m_options.logFile;
        if (!writeHandoff(next)) {
            conclude("The uninstaller cannot pass the game on to its copy.",
                     m_texts.text(IDS_NO_HANDOFF));
            return ExitNotFound;
        }
        m_report.note("relaunching from the temporary folder " + temporaryFolder());
    }
    if (relaunched)
        m_windows = windows && !m_options.unattended && openWindow(true);
    if (m_windows) {
        // A console Windows opened just for this program would only show blank.
        DWORD processes[2];
        if (GetConsoleProcessList(processes, 2) == 1)
            FreeConsole();
    }
    ZKINSTALL_setMessageBox(messageCallback);
    CZKUninstall& uninstall = uninstallObject();
    uninstall.setDebug(m_options.debug);
    // Started from the install folder this ends the process (0, or -2 when the
    // installation's entries are incomplete); in the temporary folder it
    // copies the install log here and returns.
    uninstall.prepareForUninstallation(m_program.c_str(), m_product.key.c_str());
    return removeGame();
}

int Uninstaller::removeGame() {
    const std::string doing = "Removing " + m_product.displayName + "...";
    const std::wstring shown = m_texts.text(IDS_REMOVING, {m_product.displayName});
    m_report.say(doing);
    uninstallObject().cancelInstallation("", "", m_product.key.c_str(), &g_progress, &g_running, 0);
    while (*static_cast<volatile int*>(&g_running)) {
        float p = *static_cast<volatile float*>(&g_progress);
        m_report.progress(p);
        if (m_windows) {
            m_window.show(shown, p);
            m_window.wait(100);  // repaints while it waits
        } else {
            Sleep(100);
        }
    }
    m_report.progress(100.0f);  // the run has ended, whatever its last step reported
    if (m_windows)
        m_window.show(shown, 100.0f);
    m_report.endProgress();
    Product left;
    if (readProduct(m_product.key, left)) {
        conclude(m_product.displayName + " is still registered: the removal did not complete.",
                 m_texts.text(IDS_STILL_REGISTERED, {m_product.displayName}));
        return ExitStillRegistered;
    }
    std::wstring told = m_texts.text(IDS_REMOVED, {m_product.displayName});
    if (!m_product.installFolder.empty() && folderExists(m_product.installFolder)) {
        m_report.say("Kept " + m_product.installFolder +
                     ": it holds files that the installation did not make.");
        told += L"\n\n" + m_texts.text(IDS_KEPT, {m_product.installFolder});
    }
    conclude(m_product.displayName + " has been removed.", told);
    return ExitRemoved;
}

bool Uninstaller::openWindow(bool gameKnown) {
    // The game key goes with the removal: its language is taken before.
    m_texts = Texts(tableLanguage(gameKnown ? m_product.locale : ""));
    m_window.setButtons(m_texts.text(IDS_YES), m_texts.text(IDS_NO), m_texts.text(IDS_OK));
    return m_window.open(gameKnown ? m_texts.text(IDS_TITLE, {m_product.displayName})
                                   : m_texts.text(IDS_UNINSTALLER));
}

void Uninstaller::conclude(const std::string& text, const std::wstring& shown) {
    m_report.say(text);
    if (m_windows)
        m_window.tell(shown);
}

} // namespace zkuninstall
