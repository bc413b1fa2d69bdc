// harness.h - what the tests share: scripted host callbacks, scratch folders,
// child processes, the CD-ROM drives of the Wine prefix, and the registry.
#ifndef ZKTEST_HARNESS_H
#define ZKTEST_HARNESS_H

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace zktest {

// --- scripted host callbacks --------------------------------------------------
struct MessageCall {
    std::string text;
    std::string caption;
    unsigned style;
};

// One scripted answer; `then` runs first (e.g. the user puts a disc in).
struct Step {
    int answer;
    std::function<void()> then = nullptr;
};

// The answer that ends the test program with exit code 3, naming the box: for paths where
// any other answer could end in the library's own exit(0), which would pass unnoticed.
const int kEndProcess = -100;

// Records every call of the message-box and disc-request callbacks and answers from
// queues; an empty box queue answers `fallback` (Cancel unless set), an empty disc-request
// queue Cancel.  Far more unscripted boxes than any test needs end the program.
class MessageScript {
  public:
    MessageScript();
    ~MessageScript();
    void answer(int code) { boxSteps_.push_back({code}); }
    void answers(std::initializer_list<int> codes) {
        for (int c : codes)
            answer(c);
    }
    void boxSteps(const std::vector<Step>& s) {
        boxSteps_.insert(boxSteps_.end(), s.begin(), s.end());
    }
    void beforeSteps(const std::vector<Step>& s) {
        beforeSteps_.insert(beforeSteps_.end(), s.begin(), s.end());
    }
    void setFallback(int code) { fallback_ = code; }
    const std::vector<MessageCall>& calls() const { return calls_; }
    const std::vector<int>& before() const { return before_; }
    const std::vector<int>& after() const { return after_; }
    void clear() {
        calls_.clear();
        unscripted_ = 0;
    }
    static int __stdcall callback(HWND, const char* text, const char* caption, unsigned style);
    static int __stdcall beforeRequest(int disc);
    static int __stdcall afterRequest(int disc);

  private:
    std::deque<Step> boxSteps_, beforeSteps_;
    std::vector<MessageCall> calls_;
    std::vector<int> before_, after_;
    int fallback_ = IDCANCEL;
    int unscripted_ = 0;
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
std::string currentDirectory();

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
