// Answers to the library's message boxes: which buttons a style shows, what a
// typed answer means, and the unattended policy that must always end an
// installation that cannot go on, never loop and never wait without bound.
#include <gtest/gtest.h>

#include <windows.h>

#include "answers.h"

using namespace autorun;

TEST(MessageButtons, FollowTheStyle) {
    struct Case {
        unsigned style;
        std::vector<int> buttons;
        int byDefault;
    };
    const Case cases[] = {
        {MB_OK, {IDOK}, IDOK},
        {MB_OKCANCEL, {IDOK, IDCANCEL}, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, {IDOK, IDCANCEL}, IDCANCEL},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, {IDABORT, IDRETRY, IDIGNORE}, IDIGNORE},
        {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, IDYES},
        // The library's "do you want to quit" question: No is the default.
        {MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, {IDYES, IDNO}, IDNO},
        {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, IDRETRY},
        {MB_CANCELTRYCONTINUE | MB_DEFBUTTON2, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}, IDTRYAGAIN},
        // A default beyond the buttons there are falls back to the first.
        {MB_YESNO | MB_DEFBUTTON3, {IDYES, IDNO}, IDYES},
        {MB_OK | MB_DEFBUTTON4, {IDOK}, IDOK},
        // Unknown button sets show OK.
        {0x0F, {IDOK}, IDOK},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(buttonsOf(c.style), c.buttons) << std::hex << c.style;
        EXPECT_EQ(defaultButton(c.style), c.byDefault) << std::hex << c.style;
    }
}

TEST(MessageButtons, ReadTypedAnswers) {
    const std::vector<std::string> retry = {"Retry", "Cancel"};
    const std::vector<std::string> ctc = {"Cancel", "Try again", "Continue"};
    const std::vector<std::string> german = {"Ja", "Nein"};
    struct Case {
        std::string input;
        unsigned style;
        const std::vector<std::string>* names;
        int expected;
    };
    const Case cases[] = {
        {"", MB_RETRYCANCEL, &retry, IDRETRY},
        {"   ", MB_RETRYCANCEL, &retry, IDRETRY},
        {"1", MB_RETRYCANCEL, &retry, IDRETRY},
        {"2", MB_RETRYCANCEL, &retry, IDCANCEL},
        {"3", MB_RETRYCANCEL, &retry, 0},
        {"0", MB_RETRYCANCEL, &retry, 0},
        {"c", MB_RETRYCANCEL, &retry, IDCANCEL},
        {" CANCEL ", MB_RETRYCANCEL, &retry, IDCANCEL},
        {"retry", MB_RETRYCANCEL, &retry, IDRETRY},
        {"x", MB_RETRYCANCEL, &retry, 0},
        {"cancelled", MB_RETRYCANCEL, &retry, 0},
        // "c" could be Cancel or Continue: not an answer.
        {"c", MB_CANCELTRYCONTINUE, &ctc, 0},
        {"ca", MB_CANCELTRYCONTINUE, &ctc, IDCANCEL},
        {"co", MB_CANCELTRYCONTINUE, &ctc, IDCONTINUE},
        {"t", MB_CANCELTRYCONTINUE, &ctc, IDTRYAGAIN},
        {"", MB_YESNO | MB_DEFBUTTON2, &german, IDNO},
        {"j", MB_YESNO | MB_DEFBUTTON2, &german, IDYES},
        {"N", MB_YESNO | MB_DEFBUTTON2, &german, IDNO},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseButtonAnswer(c.input, c.style, *c.names), c.expected)
            << "'" << c.input << "' style " << std::hex << c.style;
}

namespace {

const unsigned kQuit = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;

} // namespace

TEST(UnattendedPolicy, RetriesAFileAFewTimesThenGivesUpAndConfirmsTheQuit) {
    UnattendedAnswers policy(3, 60000);
    unsigned now = 1000;
    for (int i = 0; i < 3; ++i) {
        Answer a = policy.onMessage("cannot copy a.dat", MB_RETRYCANCEL, now);
        EXPECT_EQ(a.button, IDRETRY) << i;
        EXPECT_GT(a.delayMs, 0u) << "a retry must not spin";
        now += a.delayMs;
    }
    EXPECT_EQ(policy.reason(), GiveUp::None);
    EXPECT_EQ(policy.onMessage("cannot copy a.dat", MB_RETRYCANCEL, now).button, IDCANCEL);
    EXPECT_EQ(policy.reason(), GiveUp::CopyFailed);
    EXPECT_EQ(policy.onMessage("quit?", kQuit, now).button, IDYES);
    // Once given up, nothing is retried any more.
    Answer later = policy.onMessage("cannot copy b.dat", MB_ABORTRETRYIGNORE, now);
    EXPECT_EQ(later.button, IDABORT);
    EXPECT_EQ(later.delayMs, 0u);
    EXPECT_EQ(policy.onMessage("insert disc", MB_OKCANCEL, now).button, IDCANCEL);
    EXPECT_EQ(policy.onDiscRequest(2, now).button, IDCANCEL);
}

TEST(UnattendedPolicy, CountsRetriesPerFile) {
    UnattendedAnswers policy(2, 60000);
    // Each file that fails once and then copies gets its own retries.
    for (const char* file : {"a", "b", "c", "d"}) {
        EXPECT_EQ(policy.onMessage(file, MB_RETRYCANCEL, 0).button, IDRETRY) << file;
    }
    EXPECT_EQ(policy.onMessage("d", MB_RETRYCANCEL, 0).button, IDRETRY);
    EXPECT_EQ(policy.onMessage("d", MB_CANCELTRYCONTINUE, 0).button, IDCANCEL);
    EXPECT_EQ(policy.reason(), GiveUp::CopyFailed);
}

TEST(UnattendedPolicy, TryAgainIsTheRetryOfCancelTryContinue) {
    UnattendedAnswers policy(1, 0);
    EXPECT_EQ(policy.onMessage("x", MB_CANCELTRYCONTINUE, 0).button, IDTRYAGAIN);
}

TEST(UnattendedPolicy, WaitsForADiscForABoundedTime) {
    const unsigned wait = 5000;
    // Also across the wrap of the tick counter.
    for (unsigned start : {0u, 123456u, 0xFFFFF000u}) {
        UnattendedAnswers policy(3, wait);
        unsigned now = start;
        int looks = 0;
        Answer a{0, 0};
        for (;;) {
            a = policy.onDiscRequest(2, now);
            if (a.button != IDOK)
                break;
            ASSERT_GT(a.delayMs, 0u) << "the disc must not be polled in a busy loop";
            now += a.delayMs + 20;  // the library's own search takes a moment
            ASSERT_LT(++looks, 100) << "never gave up";
        }
        EXPECT_EQ(a.button, IDCANCEL) << start;
        EXPECT_GE(now - start, wait) << start;
        EXPECT_LE(now - start, wait + 2000) << start;
        EXPECT_EQ(policy.reason(), GiveUp::DiscMissing) << start;
        EXPECT_EQ(policy.onMessage("quit?", kQuit, now).button, IDYES) << start;
    }
}

TEST(UnattendedPolicy, ACoarseClockDoesNotRestartTheWait) {
    // GetTickCount moves in steps of ~16 ms: the next prompt may read a time
    // just before the end of the pause it followed.
    UnattendedAnswers policy(3, 5000);
    unsigned now = 0xFFFFFF00u;
    int looks = 0;
    for (;;) {
        Answer a = policy.onDiscRequest(2, now);
        if (a.button != IDOK)
            break;
        now += a.delayMs - 15;
        ASSERT_LT(++looks, 100) << "the wait started over and never ended";
    }
    EXPECT_EQ(policy.reason(), GiveUp::DiscMissing);
}

TEST(UnattendedPolicy, ADiscThatTurnsUpEndsTheWaitAndALaterRequestWaitsAfresh) {
    UnattendedAnswers policy(3, 5000);
    EXPECT_EQ(policy.onDiscRequest(2, 0).button, IDOK);
    EXPECT_EQ(policy.onDiscRequest(2, 1000).button, IDOK);
    // Disc 2 was found; much later disc 3 is asked for.
    EXPECT_EQ(policy.onDiscRequest(3, 600000).button, IDOK);
    EXPECT_EQ(policy.onDiscRequest(3, 604000).button, IDOK);
    EXPECT_EQ(policy.onDiscRequest(3, 605000).button, IDCANCEL);
    // Disc 2 again, long after its first request: a new wait of its own.
    UnattendedAnswers again(3, 5000);
    EXPECT_EQ(again.onDiscRequest(2, 0).button, IDOK);
    EXPECT_EQ(again.onDiscRequest(2, 100000).button, IDOK);
    EXPECT_EQ(again.reason(), GiveUp::None);
}

TEST(UnattendedPolicy, TheLibrarysInsertDiscPromptIsADiscWaitToo) {
    UnattendedAnswers policy(3, 2000);
    unsigned now = 0;
    Answer a = policy.onMessage("insert the disc into drive D:", MB_OKCANCEL, now);
    EXPECT_EQ(a.button, IDOK);
    now += a.delayMs;
    a = policy.onMessage("insert the disc into drive D:", MB_OKCANCEL, now);
    EXPECT_EQ(a.button, IDOK);
    now += a.delayMs;
    EXPECT_EQ(policy.onMessage("insert the disc into drive D:", MB_OKCANCEL, now).button, IDCANCEL);
    EXPECT_EQ(policy.reason(), GiveUp::DiscMissing);
}

TEST(UnattendedPolicy, NoWaitMeansGiveUpAtOnce) {
    UnattendedAnswers policy(3, 0);
    EXPECT_EQ(policy.onDiscRequest(1, 42).button, IDCANCEL);
    EXPECT_EQ(policy.reason(), GiveUp::DiscMissing);
}

TEST(UnattendedPolicy, OtherQuestionsGetTheirDefaultButton) {
    UnattendedAnswers policy(3, 1000);
    EXPECT_EQ(policy.onMessage("No Languages Selected!", MB_OK, 0).button, IDOK);
    // Before anything was given up, "quit?" keeps the installation going.
    EXPECT_EQ(policy.onMessage("quit?", kQuit, 0).button, IDNO);
    EXPECT_EQ(policy.onMessage("install DirectX?", MB_YESNO, 0).button, IDYES);
    EXPECT_EQ(policy.onMessage("?", MB_YESNOCANCEL | MB_DEFBUTTON3, 0).button, IDCANCEL);
    EXPECT_EQ(policy.reason(), GiveUp::None);
}
