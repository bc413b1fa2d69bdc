// harness.h - what the tests share: scripted host callbacks, scratch folders,
// child processes, the CD-ROM drives of the Wine prefix, and the registry.
#ifndef ZKTEST_HARNESS_H
#define ZKTEST_HARNESS_H

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

namespace zktest {

// --- scripted message boxes -------------------------------------------------
struct MessageCall {
    std::string text;
    std::string caption;
    unsigned style;
};

// Records every call of the message-box callback and answers from a queue;
// once the queue is empty it answers `fallback` (Cancel unless set).
class MessageScript {
  public:
    MessageScript();
    ~MessageScript();
    void answer(int code) { answers_.push_back(code); }
    void answers(std::initializer_list<int> codes) {
        for (int c : codes)
            answers_.push_back(c);
    }
    void setFallback(int code) { fallback_ = code; }
    const std::vector<MessageCall>& calls() const { return calls_; }
    void clear() { calls_.clear(); }
    static int __stdcall callback(HWND, const char* text, const char* caption, unsigned style);

  private:
    std::deque<int> answers_;
    std::vector<MessageCall> calls_;
    int fallback_ = IDCANCEL;
};

// --- files and folders ---------------------------------------------------------
// A fresh folder below the Windows temporary folder, removed with its tree when
// the object goes.
class ScratchDir {
  public:
    explicit ScratchDir(const std::string& tag = "zk");
    ~ScratchDir();
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& rel) const { return path_ + "\\" + rel; }

  private:
    std::string path_;
};

void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);
bool exists(const std::string& path);
bool isDirectory(const std::string& path);
void makeDirs(const std::string& path);
void removeTree(const std::string& path);
std::vector<std::string> lines(const std::string& text);

// Folder holding the test programs, fixtures and DLLs (no trailing backslash).
std::string binDir();

// --- processes -------------------------------------------------------------------
struct RunResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;  // stdout and stderr together
};
// Runs a command line, waits at most timeoutMs, captures its output.
RunResult run(const std::string& commandLine, const std::string& folder = "",
              DWORD timeoutMs = 120000);

// --- CD-ROM drives ------------------------------------------------------------------
// D:, E: and F: are CD-ROM drives over folders that the tests fill.  The folder
// of a drive may be renamed away ("no disc") and back.
std::string discFolder(char letter);
void ejectDisc(char letter);           // the drive holds no disc
void insertEmptyDisc(char letter);     // an empty disc folder
bool haveDiscDrives();

// --- registry ------------------------------------------------------------------------
void deleteTree(HKEY root, const std::string& path);
bool keyExists(HKEY root, const std::string& path);

} // namespace zktest

#endif
