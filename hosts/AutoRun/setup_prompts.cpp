// Setup's talk with the user: printed and logged lines, questions, the
// library's message boxes and disc requests (asked, or answered by the
// unattended policy).
#include "setup.h"

#include <cstdio>

#include "exitcodes.h"
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

bool backsOut(int button) {
    return button == BtnCancel || button == BtnAbort;
}

std::string infValue(const std::string& root, const char* key) {
    char value[128] = {0};
    std::string inf = root + (!root.empty() && root.back() == '\\' ? "" : "\\") + "AutoRun.inf";
    GetPrivateProfileStringA("Special", key, "", value, sizeof value, inf.c_str());
    return value;
}

// Where disc `disc` of the game whose disc 1 lies at `first` is now: a CD or
// DVD drive's root, or the sibling disc-image folder; "" while it is nowhere.
// A disc is known as the library knows it: by the "Disk" and "ProductGuiID"
// of the "Special" section in its AutoRun.inf.
std::string findDisc(const std::string& first, int disc) {
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);  // empty drives stay quiet
    std::string guid = infValue(first, "ProductGuiID"), number = std::to_string(disc), found;
    auto holds = [&](const std::string& root) {
        return infValue(root, "Disk") == number && infValue(root, "ProductGuiID") == guid;
    };
    const std::string images = "\\Disk Images\\";
    size_t at = first.find(images);
    if (at != std::string::npos) {
        std::string folder = first.substr(0, at + images.size()) + "Disk" + number;
        if (holds(folder))
            found = folder;
    } else {
        DWORD drives = GetLogicalDrives();
        for (int i = 0; i < 26 && found.empty(); ++i) {
            std::string root = std::string(1, static_cast<char>('A' + i)) + ":\\";
            if ((drives & (1u << i)) && GetDriveTypeA(root.c_str()) == DRIVE_CDROM && holds(root))
                found = root;
        }
    }
    SetErrorMode(oldMode);
    return found;
}

} // namespace

// --- talking ---------------------------------------------------------------------

void Setup::say(const std::string& text) {
    m_log.write(text);
    m_face.say(text);
}

void Setup::note(const std::string& text) {
    m_log.write(text);
    if (m_unattended)
        m_face.say(text);
}

void Setup::complain(const std::string& text) {
    m_log.write("error: " + text);
    m_face.error(text);
}

void Setup::switchToUnattended() {
    if (m_unattended)
        return;
    m_unattended = true;
    note("input closed: going on unattended, with the documented answers");
}

int Setup::follow(Reply reply) {
    if (reply == Reply::Closed)
        switchToUnattended();
    if (reply != Reply::Cancelled)
        return ExitInstalled;
    m_userCancelled = true;
    m_log.write("the user cancels the installation");
    return ExitCancelled;
}

int Setup::askYesNo(Question kind, const std::string& question, bool& yes) {
    return follow(m_face.askYesNo(kind, question, yes));
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
    if (!m_unattended) {
        button = m_face.askMessage(t, c, style);
        if (button == 0)
            switchToUnattended();
    }
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
        m_log.write("disc " + std::to_string(disc) + " requested");
        std::string first = m_firstDisc;
        // A drive is named by its root; a disc-image folder by its path.
        std::string drive = first.find("\\Disk Images\\") == std::string::npos && first.size() >= 2
                                ? first.substr(0, 2)
                                : first;
        std::string place;
        int button = m_face.askDisc(disc, drive, [&]() {
            place = findDisc(first, disc);
            return !place.empty();
        });
        if (!place.empty())
            m_log.write("disc " + std::to_string(disc) + " turned up in " + place);
        if (button != 0) {
            m_gaveUp = backsOut(button);
            m_log.write(std::string("answer: ") + buttonName(button));
            return button;
        }
        switchToUnattended();
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
