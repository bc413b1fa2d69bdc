// Answers to the library's message boxes: which buttons a style shows, what a
// typed answer means, and the unattended policy that must always end an
// installation that cannot go on, never loop and never wait without bound.
#include <gtest/gtest.h>

#include <windows.h>

#include "answers.h"

using namespace autorun;

namespace {

const unsigned kQuit = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;

// Answers requests for a disc (0: the library's own insert-disc prompt) until
// the policy gives up; returns how long that took.
unsigned waitForGiveUp(UnattendedAnswers& policy, int disc, unsigned start, int lag) {
    unsigned now = start;
    for (int looks = 0; looks < 100; ++looks) {
        const Answer a = disc ? policy.onDiscRequest(disc, now)
                              : policy.onMessage("insert the disc", MB_OKCANCEL, now);
        if (a.button != IDOK) {
            EXPECT_EQ(a.button, IDCANCEL);
            return now - start;
        }
        EXPECT_GT(a.delayMs, 0u) << "the disc must not be polled in a busy loop";
        now += a.delayMs + lag;
    }
    ADD_FAILURE() << "never gave up";
    return 0;
}

} // namespace

TEST(MessageButtons, FollowTheStyle) {
    const struct {
        unsigned style;
        std::vector<int> buttons;
        int byDefault;
    } cases[] = {
        {MB_OKCANCEL, {IDOK, IDCANCEL}, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, {IDOK, IDCANCEL}, IDCANCEL},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, {IDABORT, IDRETRY, IDIGNORE}, IDIGNORE},
        {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, IDYES},
        {kQuit, {IDYES, IDNO}, IDNO},
        {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, IDRETRY},
        {MB_CANCELTRYCONTINUE | MB_DEFBUTTON2, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}, IDTRYAGAIN},
        // A default beyond the buttons there are falls back to the first.
        {MB_YESNO | MB_DEFBUTTON3, {IDYES, IDNO}, IDYES},
        {MB_OK | MB_DEFBUTTON4, {IDOK}, IDOK},
        {0x0F, {IDOK}, IDOK},  // unknown button sets show OK
    };
    for (const auto& c : cases) {
        EXPECT_EQ(buttonsOf(c.style), c.buttons) << std::hex << c.style;
        EXPECT_EQ(defaultButton(c.style), c.byDefault) << std::hex << c.style;
    }
}

TEST(MessageButtons, ReadTypedAnswers) {
    const struct {
        unsigned style;
        std::vector<std::string> names;
        std::vector<std::pair<std::string, int>> answers;
    } cases[] = {
        {MB_RETRYCANCEL, {"Retry", "Cancel"},
         {{"   ", IDRETRY}, {"1", IDRETRY}, {"2", IDCANCEL}, {"3", 0}, {"0", 0}, {"c", IDCANCEL},
          {" CANCEL ", IDCANCEL}, {"x", 0}, {"cancelled", 0}}},
        // "c" could be Cancel or Continue: not an answer.
        {MB_CANCELTRYCONTINUE, {"Cancel", "Try again", "Continue"},
         {{"c", 0}, {"ca", IDCANCEL}, {"co", IDCONTINUE}, {"t", IDTRYAGAIN}}},
        {kQuit, {"Ja", "Nein"}, {{"", IDNO}, {"j", IDYES}, {"N", IDNO}}},
    };
    for (const auto& c : cases)
        for (const auto& a : c.answers)
            EXPECT_EQ(parseButtonAnswer(a.first, c.style, c.names), a.second)
                << "'" << a.first << "' style " << std::hex << c.style;
}

TEST(UnattendedPolicy, RetriesEachFileAFewTimesThenGivesUpForGood) {
    UnattendedAnswers policy(2, 60000);
    unsigned now = 1000;
    // Each file that fails once and then copies gets its own retries.
    for (const char* file : {"a", "b", "c"})
        EXPECT_EQ(policy.onMessage(file, MB_RETRYCANCEL, now).button, IDRETRY) << file;
    const std::pair<unsigned, int> steps[] = {
        {MB_RETRYCANCEL, IDRETRY}, {MB_CANCELTRYCONTINUE, IDTRYAGAIN}, {MB_RETRYCANCEL, IDCANCEL}};
    for (const auto& step : steps) {
        EXPECT_EQ(policy.reason(), GiveUp::None);
        const Answer a = policy.onMessage("d", step.first, now);
        EXPECT_EQ(a.button, step.second);
        EXPECT_EQ(a.delayMs > 0, step.second != IDCANCEL) << "a retry must not spin";
        now += a.delayMs;
    }
    EXPECT_EQ(policy.reason(), GiveUp::CopyFailed);
    EXPECT_EQ(policy.onMessage("quit?", kQuit, now).button, IDYES);
    // Once given up, nothing is retried or waited for any more.
    const Answer later = policy.onMessage("cannot copy b.dat", MB_ABORTRETRYIGNORE, now);
    EXPECT_EQ(later.button, IDABORT);
    EXPECT_EQ(later.delayMs, 0u);
    EXPECT_EQ(policy.onMessage("insert disc", MB_OKCANCEL, now).button, IDCANCEL);
    EXPECT_EQ(policy.onDiscRequest(2, now).button, IDCANCEL);
}

TEST(UnattendedPolicy, WaitsForADiscForABoundedTime) {
    const struct {
        int disc;
        unsigned wait, start;
        int lag;  // between an answer's pause and the next request
    } cases[] = {
        {2, 5000, 0, 20},  // the library's own search takes a moment
        {2, 5000, 123456, 20},
        {2, 5000, 0xFFFFF000u, 20},   // across the wrap of the tick counter
        {2, 5000, 0xFFFFFF00u, -15},  // a coarse clock: read just before the pause ended
        {0, 2000, 0, 0},
        {1, 0, 42, 0},  // no wait: give up at once
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        UnattendedAnswers policy(3, c.wait);
        const unsigned took = waitForGiveUp(policy, c.disc, c.start, c.lag);
        EXPECT_GE(took, c.wait);
        EXPECT_LE(took, c.wait + 2000);
        EXPECT_EQ(policy.reason(), GiveUp::DiscMissing);
        EXPECT_EQ(policy.onMessage("quit?", kQuit, c.start + took).button, IDYES);
    }
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

TEST(UnattendedPolicy, OtherQuestionsGetTheirDefaultButton) {
    UnattendedAnswers policy(3, 1000);
    EXPECT_EQ(policy.onMessage("No Languages Selected!", MB_OK, 0).button, IDOK);
    // Before anything was given up, "quit?" keeps the installation going.
    EXPECT_EQ(policy.onMessage("quit?", kQuit, 0).button, IDNO);
    EXPECT_EQ(policy.onMessage("install DirectX?", MB_YESNO, 0).button, IDYES);
    EXPECT_EQ(policy.onMessage("?", MB_YESNOCANCEL | MB_DEFBUTTON3, 0).button, IDCANCEL);
    EXPECT_EQ(policy.reason(), GiveUp::None);
}
