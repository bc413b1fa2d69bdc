#include "answers.h"

#include <cctype>

#include "resource.h"

namespace autorun {

namespace {

const unsigned kTypeMask = 0x0F;
const unsigned kDefaultMask = 0xF00;

// A retry or a new look for the disc waits this long first.
const unsigned kPauseMs = 1000;

// Disc prompts that follow each other closer than this belong to one request;
// a later one starts a new wait.
const unsigned kSameRequestGapMs = 5000;

int giveUpButton(unsigned style) {
    return (style & kTypeMask) == 2 ? BtnAbort : BtnCancel;
}

int retryButton(unsigned style) {
    return (style & kTypeMask) == 6 ? BtnTryAgain : BtnRetry;
}

std::string lower(const std::string& text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string trimmed(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && isspace(static_cast<unsigned char>(text[b])))
        ++b;
    while (e > b && isspace(static_cast<unsigned char>(text[e - 1])))
        --e;
    return text.substr(b, e - b);
}

} // namespace

bool isRetryQuestion(unsigned style) {
    unsigned type = style & kTypeMask;
    return type == 2 || type == 5 || type == 6;
}

std::vector<int> buttonsOf(unsigned style) {
    switch (style & kTypeMask) {
    case 1: return {BtnOK, BtnCancel};
    case 2: return {BtnAbort, BtnRetry, BtnIgnore};
    case 3: return {BtnYes, BtnNo, BtnCancel};
    case 4: return {BtnYes, BtnNo};
    case 5: return {BtnRetry, BtnCancel};
    case 6: return {BtnCancel, BtnTryAgain, BtnContinue};
    default: return {BtnOK};
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

int defaultButton(unsigned style) {
    std::vector<int> buttons = buttonsOf(style);
    size_t index = (style & kDefaultMask) >> 8;
    return index < buttons.size() ? buttons[index] : buttons[0];
}

int parseButtonAnswer(const std::string& input, unsigned style,
                      const std::vector<std::string>& buttonNames) {
    std::vector<int> buttons = buttonsOf(style);
    std::string answer = lower(trimmed(input));
    if (answer.empty())
        return defaultButton(style);
    if (answer.size() == 1 && answer[0] >= '1' && answer[0] <= '9') {
        size_t n = static_cast<size_t>(answer[0] - '1');
        return n < buttons.size() ? buttons[n] : 0;
    }
    int match = 0;
    for (size_t i = 0; i < buttons.size() && i < buttonNames.size(); ++i) {
        std::string name = lower(buttonNames[i]);
        if (name.compare(0, answer.size(), answer) == 0) {
            if (match != 0)
                return 0;  // ambiguous
            match = buttons[i];
        }
    }
    return match;
}

UnattendedAnswers::UnattendedAnswers(int retryLimit, unsigned discWaitMs)
    : m_retryLimit(retryLimit), m_discWaitMs(discWaitMs) {}

Answer UnattendedAnswers::waitForDisc(int disc, unsigned now) {
    if (m_reason != GiveUp::None)
        return {BtnCancel, 0};
    // Signed: the tick counter is coarse, and the next prompt may read a
    // time a little before the end of the pause it followed.
    int sinceAnswer = static_cast<int>(now - m_lastAnswer);
    if (!m_waiting || disc != m_waitDisc || sinceAnswer > static_cast<int>(kSameRequestGapMs)) {
        m_waiting = true;
        m_waitDisc = disc;
        m_waitStart = now;
    }
    if (now - m_waitStart >= m_discWaitMs) {
        m_reason = GiveUp::DiscMissing;
        m_waiting = false;
        return {BtnCancel, 0};
    }
    // The answer goes out after the pause; the gap to the next prompt counts
    // from then.
    m_lastAnswer = now + kPauseMs;
    return {BtnOK, kPauseMs};
}

Answer UnattendedAnswers::onDiscRequest(int disc, unsigned now) {
    return waitForDisc(disc, now);
}

Answer UnattendedAnswers::onMessage(const std::string& text, unsigned style, unsigned now) {
    unsigned type = style & kTypeMask;
    if (type == 1)
        return waitForDisc(0, now);
    if (isRetryQuestion(style)) {
        if (m_reason != GiveUp::None)
            return {giveUpButton(style), 0};
        if (text != m_retryText) {
            m_retryText = text;
            m_retries = 0;
        }
        if (m_retries >= m_retryLimit) {
            m_reason = GiveUp::CopyFailed;
            return {giveUpButton(style), 0};
        }
        ++m_retries;
        return {retryButton(style), kPauseMs};
    }
    if (type == 3 || type == 4)
        return {m_reason != GiveUp::None ? BtnYes : defaultButton(style), 0};
    return {defaultButton(style), 0};
}

} // namespace autorun
