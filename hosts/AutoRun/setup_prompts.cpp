// Setup's talk with the user: printed and logged lines, questions, the
// library's message boxes and disc requests (asked, or answered by the
// unattended policy).
#include "setup.h"

#include <cstdio>

#include "resource.h"
#include "texts.h"

namespace autorun {

namespace {

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

} // namespace

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
    // First: the library hands a failed copy's reason over in the last error.
    DWORD error = GetLastError();
    std::string t = text ? text : "";
    std::string c = caption ? caption : "";
    m_log.write("message [" + c + "] " + t + " (style " + styleText(style) + ")");
    // While Windows is asked to restart, a message is the library's word that
    // it did not.
    if (m_phase == PhaseRestart)
        m_restartFailed = true;
    unsigned kind = style & 0x0F;
    if (m_phase == PhaseCopy && !m_destinationFull && isRetryQuestion(kind) &&
        destinationIsFull(error)) {
        m_destinationFull = true;
        m_log.write("the destination drive is full: the file is given up");
    }
    if (m_phase == PhaseCopy && m_destinationFull) {
        // Retrying cannot make room: give the file up and quit the copy,
        // whatever the mode; the rollback then frees the drive again.
        int button = kind == MB_YESNO || kind == MB_YESNOCANCEL ? BtnYes
                     : kind == MB_ABORTRETRYIGNORE                 ? BtnAbort
                     : kind == MB_OK                              ? BtnOK
                                                                  : BtnCancel;
        m_log.write(std::string("answer: ") + buttonName(button));
        m_gaveUp = backsOut(button);
        return button;
    }

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

} // namespace autorun
