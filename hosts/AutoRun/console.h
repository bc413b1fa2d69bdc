// console.h - the console AutoRun talks through: output shared by the host's
// thread (progress) and the copy thread (message boxes, disc requests), line
// input, and Ctrl+C turned into a question instead of a kill.
#ifndef AUTORUN_CONSOLE_H
#define AUTORUN_CONSOLE_H

#include <windows.h>

#include <string>

namespace autorun {

class Console {
  public:
    enum ReadResult { Line, Interrupted, EndOfInput };

    Console();
    ~Console();

    // Catches Ctrl+C from now on; interrupted() tells whether one came.
    void catchInterrupts();
    bool takeInterrupt();

    // Whole lines, with the progress line (if any) ended first.
    void print(const std::string& text);
    void error(const std::string& text);

    // Redraws the progress line unless someone is prompting right now.
    void progress(const std::string& line);
    void endProgress();

    // Shows `prompt` and reads one line of input.  EndOfInput once standard
    // input is closed; Interrupted when Ctrl+C arrived while waiting.
    ReadResult ask(const std::string& prompt, std::string& answer);

    size_t width() const { return m_width; }

  private:
    void endProgressLocked();
    bool interruptArrives();

    CRITICAL_SECTION m_lock;
    bool m_progressShown = false;
    size_t m_width = 80;
};

} // namespace autorun

#endif
