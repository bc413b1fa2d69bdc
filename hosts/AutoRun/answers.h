// answers.h - how AutoRun answers the library's message boxes and disc
// requests: the buttons a Windows message-box style offers, reading a typed
// choice, and the unattended policy that answers without anybody present.
#ifndef AUTORUN_ANSWERS_H
#define AUTORUN_ANSWERS_H

#include <string>
#include <vector>

namespace autorun {

// Windows button codes as a message box returns them.
enum Button { BtnOK = 1, BtnCancel = 2, BtnAbort = 3, BtnRetry = 4, BtnIgnore = 5,
              BtnYes = 6, BtnNo = 7, BtnTryAgain = 10, BtnContinue = 11 };

// Retry/Cancel, Abort/Retry/Ignore, Cancel/Try again/Continue: a file that
// would not copy.
bool isRetryQuestion(unsigned style);

// The buttons of a style's button set (MB_OK ... MB_CANCELTRYCONTINUE), in
// the order a message box shows them.  Unknown sets show OK alone.
std::vector<int> buttonsOf(unsigned style);

// The number of a button's name among AutoRun's texts (IDS_BUTTON_*).
int buttonTextId(int button);

// The button that Enter would press: the MB_DEFBUTTONn of the style when the
// set has that many buttons, else the first.
int defaultButton(unsigned style);

// Reads a typed answer to a message box: the button's number in the list
// (1-based), or the start of its name (any case, unique among the buttons),
// or nothing for the default button.  0 when the input matches no button.
int parseButtonAnswer(const std::string& input, unsigned style,
                      const std::vector<std::string>& buttonNames);

// Why an unattended run gave up.
enum class GiveUp { None, DiscMissing, CopyFailed };

// One answer of the unattended policy: the button, and how long to wait
// before giving it (so a retry or a disc search is not a busy loop).
struct Answer {
    int button;
    unsigned delayMs;
};

// The unattended policy.  Documented in the README:
//  - OK alone: OK.
//  - a retry question (Retry/Cancel, Abort/Retry/Ignore, Cancel/Try/Continue):
//    retry after a second, `retryLimit` times for the same text, then give up
//    (Cancel or Abort): the copy failed.
//  - OK/Cancel (the library's insert-disc prompt) and the host's disc
//    requests: look again once a second until the disc wait has passed, then
//    give up (Cancel): the disc is missing.
//  - Yes/No and Yes/No/Cancel: Yes once the policy has given up (the library
//    then asks whether to quit); otherwise the box's default button.
// Times are milliseconds of a clock that may wrap (GetTickCount).
class UnattendedAnswers {
  public:
    UnattendedAnswers(int retryLimit, unsigned discWaitMs);

    Answer onMessage(const std::string& text, unsigned style, unsigned now);
    Answer onDiscRequest(int disc, unsigned now);

    GiveUp reason() const { return m_reason; }
    int missingDisc() const { return m_waitDisc; }

  private:
    Answer waitForDisc(int disc, unsigned now);

    int m_retryLimit;
    unsigned m_discWaitMs;
    GiveUp m_reason = GiveUp::None;
    std::string m_retryText;
    int m_retries = 0;
    int m_waitDisc = 0;     // disc being waited for; 0 for the library's OK/Cancel prompt
    bool m_waiting = false;
    unsigned m_waitStart = 0;
    unsigned m_lastAnswer = 0;
};

} // namespace autorun

#endif
