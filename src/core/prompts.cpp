#include "core/prompts.h"

#include <cstdlib>

#include "core/host.h"
#include "core/installer.h"

namespace zk {

namespace {

const unsigned kQuitStyle = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;

PromptAnswer quitOrRetry(HWND owner, int quitText) {
    return confirmQuit(owner, quitText) ? kPromptQuit : kPromptRetry;
}

} // namespace

bool confirmQuit(HWND owner, int text) {
    char question[1024];
    hostString(text, question, sizeof question);
    return showMessage(owner, question, "", kQuitStyle) != IDNO;
}

PromptAnswer askForDisc(char drive, int quitText) {
    char letter[2] = {drive, '\0'};
    char text[1024];
    hostMessage(kTextInsertDisc, letter, text, sizeof text);
    if (showMessage(nullptr, text, "", MB_OKCANCEL) == IDOK)
        return kPromptRetry;
    return confirmQuit(nullptr, quitText) ? kPromptQuit : kPromptOther;
}

PromptAnswer askRetryFile(const char* file) {
    // The host's callback sees why the copy failed (a full drive, say) in
    // the thread's last error; fetching the text must not overwrite it.
    DWORD error = GetLastError();
    char text[1024];
    hostMessage(kTextRetryFile, file, text, sizeof text);
    SetLastError(error);
    int answer = showMessage(nullptr, text, "", MB_RETRYCANCEL);
    if (answer == IDCANCEL)
        return quitOrRetry(nullptr, kTextQuitInstall);
    return answer == IDRETRY ? kPromptRetry : kPromptOther;
}

PromptAnswer askRetry(HWND owner, const char* text, const char* caption) {
    for (;;) {
        if (showMessage(owner, text, caption, MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDRETRY)
            return kPromptRetry;
        if (confirmQuit(owner, kTextQuitInstall))
            return kPromptQuit;
    }
}

void quitInstaller(const char* reason) { endProcess(0, reason); }

void endProcess(int code, const char* reason) {
    if (g_debugMode)
        DebugMessageBox(nullptr, reason, "quit", MB_OK);
    exit(code);
}

} // namespace zk
