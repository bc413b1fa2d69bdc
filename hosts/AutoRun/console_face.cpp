// The console face: prompts on standard output, answers from standard input.
#include "console_face.h"

#include <cstdlib>

#include "answers.h"
#include "bounded.h"
#include "options.h"
#include "progress.h"
#include "resource.h"

namespace autorun {

namespace {

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

// A number from 1 to `count` typed as the answer: its index, else -1.
int pickedIndex(const std::string& answer, size_t count) {
    char* end = nullptr;
    long n = strtol(answer.c_str(), &end, 10);
    return *end == '\0' && n >= 1 && static_cast<size_t>(n) <= count ? static_cast<int>(n - 1)
                                                                      : -1;
}

} // namespace

void ConsoleFace::begin(const std::string& product, const std::string& heading) {
    m_product = product;
    if (!heading.empty())
        m_console.print(heading);
}

std::vector<std::string> ConsoleFace::buttonNames(unsigned style) {
    std::vector<std::string> names;
    for (int b : buttonsOf(style))
        names.push_back(hostText(buttonTextId(b)));
    return names;
}

Reply ConsoleFace::confirmCancel() {
    unsigned style = MB_YESNO | MB_DEFBUTTON2;
    std::vector<std::string> names = buttonNames(style);
    for (;;) {
        std::string answer;
        Console::ReadResult r = m_console.ask(
            hostText(IDS_CANCEL_QUESTION) + " [" + names[0] + "/" + names[1] + "] ", answer);
        if (r == Console::EndOfInput)
            return Reply::Closed;
        if (r == Console::Interrupted)
            return Reply::Cancelled;  // a second Ctrl+C means it
        int button = parseButtonAnswer(answer, style, names);
        if (button != 0)
            return button == BtnYes ? Reply::Cancelled : Reply::Answered;
    }
}

Reply ConsoleFace::ask(const std::string& prompt, std::string& answer) {
    for (;;) {
        Console::ReadResult r = m_console.ask(prompt, answer);
        if (r == Console::Line)
            return Reply::Answered;
        if (r == Console::EndOfInput)
            return Reply::Closed;
        Reply c = confirmCancel();
        if (c != Reply::Answered)
            return c;
    }
}

Reply ConsoleFace::chooseLanguage(const std::vector<LanguageEntry>& offered, int& choice,
                                  bool settled) {
    if (settled)
        return Reply::Answered;
    std::string list = hostText(IDS_LANGUAGE_LIST);
    size_t def = 0;
    for (size_t i = 0; i < offered.size(); ++i) {
        list += "\n  " + std::to_string(i + 1) + ") " + offered[i].name;
        if (offered[i].index == choice)
            def = i;
    }
    m_console.print(list);
    for (;;) {
        std::string answer;
        Reply r = ask(hostText(IDS_LANGUAGE_PROMPT, {std::to_string(def + 1)}) + " ", answer);
        if (r != Reply::Answered)
            return r;
        answer = trim(answer);
        if (answer.empty())
            return Reply::Answered;
        int picked = pickedIndex(answer, offered.size());
        int named = picked >= 0 ? offered[picked].index : findLanguage(answer, offered);
        if (named != 0) {
            choice = named;
            return Reply::Answered;
        }
    }
}

Reply ConsoleFace::chooseType(const std::vector<TypeEntry>& types, int& type,
                              const std::string&) {
    std::string list = hostText(IDS_TYPE_LIST);
    for (const TypeEntry& t : types)
        list += "\n  " + std::to_string(t.type) + ") " + t.name + "  (" + formatBytes(t.bytes) +
                ")";
    m_console.print(list);
    for (;;) {
        std::string answer;
        Reply r = ask(hostText(IDS_TYPE_PROMPT, {std::to_string(type)}) + " ", answer);
        if (r != Reply::Answered)
            return r;
        answer = trim(answer);
        if (answer.empty())
            return Reply::Answered;
        int t = parseInstallType(answer);
        if (t >= 1 && t <= static_cast<int>(types.size())) {
            type = t;
            return Reply::Answered;
        }
    }
}

Reply ConsoleFace::askChecked(int promptId, std::string& value, const Checker& checker) {
    for (;;) {
        std::string answer;
        Reply r = ask(hostText(promptId, {value}) + " ", answer);
        if (r != Reply::Answered)
            return r;
        if (!trim(answer).empty())
            value = trim(answer);
        std::string why;
        if (checker(value, why))
            return Reply::Answered;
        m_console.error(why);
    }
}

Reply ConsoleFace::chooseFolder(std::string& folder, const Checker& checker) {
    return askChecked(IDS_FOLDER_PROMPT, folder, checker);
}

Reply ConsoleFace::chooseGroup(std::string& group, const Checker& checker) {
    return askChecked(IDS_GROUP_PROMPT, group, checker);
}

Reply ConsoleFace::askYesNo(Question, const std::string& question, bool& yes) {
    unsigned style = MB_YESNO;
    std::vector<std::string> names = buttonNames(style);
    std::string prompt = question + " [" + names[0] + "/" + names[1] + "] ";
    for (;;) {
        std::string answer;
        Reply r = ask(prompt, answer);
        if (r != Reply::Answered)
            return r;
        int button = parseButtonAnswer(answer, style, names);
        if (button == BtnYes || button == BtnNo) {
            yes = button == BtnYes;
            return Reply::Answered;
        }
    }
}

void ConsoleFace::showLicence(const std::string& heading, const std::string& text) {
    m_console.print(heading);
    m_console.print(text);
}

int ConsoleFace::askMessage(const std::string& text, const std::string& caption, unsigned style) {
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
        Console::ReadResult r = m_console.ask(prompt, answer);
        if (r == Console::EndOfInput)
            return 0;
        if (r == Console::Interrupted)
            return breakOffButton(style);
        int button = parseButtonAnswer(answer, style, names);
        if (button != 0)
            return button;
    }
}

// The console waits for the player's answer: the prompt names no drive.
int ConsoleFace::askDisc(int disc, const std::string&, const std::function<bool()>&) {
    unsigned style = MB_OKCANCEL;
    std::vector<std::string> names = buttonNames(style);
    std::string prompt = hostText(IDS_INSERT_DISC, {std::to_string(disc)}) + " [" + names[0] +
                         "/" + names[1] + "] ";
    for (;;) {
        std::string answer;
        Console::ReadResult r = m_console.ask(prompt, answer);
        if (r == Console::EndOfInput)
            return 0;
        int button =
            r == Console::Interrupted ? BtnCancel : parseButtonAnswer(answer, style, names);
        if (button != 0)
            return button;
    }
}

void ConsoleFace::progress(const CopyState& s) {
    m_console.progress(
        progressLine(s.percent, s.expected, s.elapsedMs, s.file, m_console.width() - 1));
}

void ConsoleFace::endProgress(const CopyState& s) {
    progress(s);
    m_console.endProgress();
}

Reply ConsoleFace::pollCancel() {
    return m_console.takeInterrupt() ? confirmCancel() : Reply::Answered;
}

bool ConsoleFace::waitFor(HANDLE object, DWORD ms) {
    return WaitForSingleObject(object, ms) != WAIT_TIMEOUT;
}

} // namespace autorun
