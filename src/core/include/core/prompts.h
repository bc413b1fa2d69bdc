// prompts.h - the library's own questions to the user: insert a disc, retry a
// file, confirm quitting.  Every such sequence is asked here, through the
// host's message-box callback, with the host's texts in the current language.
#ifndef ZK_CORE_PROMPTS_H
#define ZK_CORE_PROMPTS_H

#include "ZKInstall.h"

namespace zk {

// Host texts of the prompts.
enum PromptText {
    kTextQuitInstall = 46,  // "Do you want to quit the installation?"
    kTextInsertDisc = 47,   // "Insert the disc in drive %c", the drive's letter
    kTextRetryFile = 48,    // "Could not copy %s", the file's name
    kTextQuitSetup = 79,    // the quit question outside the installation
};

enum PromptAnswer {
    kPromptRetry,  // look again / try again
    kPromptQuit,   // the user confirmed quitting
    kPromptOther,  // any other button (an Ignore of the host's own boxes)
};

// Asks quit question `text` (Yes/No, No the default).  Only an explicit No
// declines, so a box that cannot be shown ends a loop instead of repeating it.
bool confirmQuit(HWND owner, int text);

// The insert-disc prompt for `drive` (OK/Cancel): kPromptRetry after OK.  Any
// other answer asks quit question `quitText`: kPromptQuit when confirmed,
// kPromptOther when declined (the caller looks again all the same).
PromptAnswer askForDisc(char drive, int quitText);

// "Could not copy <file>" (Retry/Cancel); Cancel asks whether to quit the
// installation, and a declined quit tries again.
PromptAnswer askRetryFile(const char* file);

// A Retry/Cancel question of the caller's own; Cancel asks whether to quit the
// installation, and a declined quit asks again.  Only Retry retries.
PromptAnswer askRetry(HWND owner, const char* text, const char* caption);

// Ends the process, host included, with exit code 0: the design's answer to a
// user who quits where the host cannot go on without what was asked for.
// `reason` goes to the debug trace.
[[noreturn]] void quitInstaller(const char* reason);

// Ends the process, host included, with `code`: the one place the library
// ends its host (quitInstaller too comes here).  The uninstaller stops this
// way when the installation it was asked to remove cannot be found.
[[noreturn]] void endProcess(int code, const char* reason);

} // namespace zk

#endif
