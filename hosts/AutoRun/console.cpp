#include "console.h"

#include <cstdio>
#include <cstring>

namespace autorun {

namespace {

volatile LONG g_interrupts = 0;

BOOL WINAPI onConsoleEvent(DWORD event) {
    if (event == CTRL_C_EVENT) {
        InterlockedIncrement(&g_interrupts);
        return TRUE;  // handled: the installation asks before it stops
    }
    return FALSE;  // Ctrl+Break, closing the window: the default ending
}

// Ctrl+C ends a console read at once, but its handler runs on a thread of
// its own: give it a moment before taking the read's end for closed input.
const int kInterruptGraceMs = 300;

// Removes the line end that fgets leaves.
void chomp(std::string& text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
}

} // namespace

Console::Console() {
    InitializeCriticalSection(&m_lock);
    CONSOLE_SCREEN_BUFFER_INFO info;
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out != INVALID_HANDLE_VALUE && GetConsoleScreenBufferInfo(out, &info)) {
        int columns = info.srWindow.Right - info.srWindow.Left + 1;
        if (columns >= 40)
            m_width = static_cast<size_t>(columns);
    }
}

Console::~Console() {
    DeleteCriticalSection(&m_lock);
}

void Console::catchInterrupts() {
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

bool Console::takeInterrupt() {
    return InterlockedExchange(&g_interrupts, 0) != 0;
}

bool Console::interruptArrives() {
    for (int waited = 0;; waited += 50) {
        if (takeInterrupt())
            return true;
        if (waited >= kInterruptGraceMs)
            return false;
        Sleep(50);
    }
}

void Console::endProgressLocked() {
    if (m_progressShown) {
        fputs("\n", stdout);
        m_progressShown = false;
    }
}

void Console::print(const std::string& text) {
    EnterCriticalSection(&m_lock);
    endProgressLocked();
    fputs(text.c_str(), stdout);
    fputs("\n", stdout);
    fflush(stdout);
    LeaveCriticalSection(&m_lock);
}

void Console::error(const std::string& text) {
    EnterCriticalSection(&m_lock);
    endProgressLocked();
    fflush(stdout);
    fputs(text.c_str(), stderr);
    fputs("\n", stderr);
    fflush(stderr);
    LeaveCriticalSection(&m_lock);
}

void Console::progress(const std::string& line) {
    // A prompt on the copy thread holds the lock while it waits for input;
    // the progress simply skips a beat then.
    if (!TryEnterCriticalSection(&m_lock))
        return;
    std::string padded = line;
    if (padded.size() + 1 < m_width)
        padded.append(m_width - 1 - padded.size(), ' ');
    fputs("\r", stdout);
    fputs(padded.c_str(), stdout);
    fflush(stdout);
    m_progressShown = true;
    LeaveCriticalSection(&m_lock);
}

void Console::endProgress() {
    EnterCriticalSection(&m_lock);
    endProgressLocked();
    fflush(stdout);
    LeaveCriticalSection(&m_lock);
}

Console::ReadResult Console::ask(const std::string& prompt, std::string& answer) {
    EnterCriticalSection(&m_lock);
    endProgressLocked();
    fputs(prompt.c_str(), stdout);
    fflush(stdout);
    char buffer[1024];
    ReadResult result;
    if (fgets(buffer, sizeof buffer, stdin)) {
        answer = buffer;
        chomp(answer);
        result = Line;
        // A line longer than the buffer: drop the rest so it is not taken as
        // the answer to the next question.
        if (!answer.empty() && strlen(buffer) == sizeof buffer - 1 &&
            buffer[sizeof buffer - 2] != '\n') {
            int c;
            while ((c = fgetc(stdin)) != EOF && c != '\n') {
            }
        }
    } else if (interruptArrives()) {
        clearerr(stdin);
        fputs("\n", stdout);
        result = Interrupted;
    } else {
        fputs("\n", stdout);
        result = EndOfInput;
    }
    fflush(stdout);
    LeaveCriticalSection(&m_lock);
    return result;
}

} // namespace autorun
