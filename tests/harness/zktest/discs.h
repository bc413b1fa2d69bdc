// discs.h - discs for the tests: AutoRun.inf files that name a disc of a
// product, the CD-ROM drives emptied around a test, and the text a test
// program's own string table gives the disc prompts.
#ifndef ZKTEST_DISCS_H
#define ZKTEST_DISCS_H

#include <windows.h>

#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include "zktest/harness.h"

namespace zktest {

// Makes `folder` (created if needed) the root of disc `number`; a non-empty
// guid is written as its ProductGuiID.
void writeDisc(const std::string& folder, int number, const std::string& guid = "");
// Puts disc `number` into CD-ROM drive `letter` (its folder is emptied first).
void insertDisc(char letter, int number, const std::string& guid = "");

// Empties D:, E: and F: and remembers the current directory; on leaving,
// empties the drives again and goes back to that directory.
class DiscDrivesGuard {
  public:
    DiscDrivesGuard();
    ~DiscDrivesGuard();

  private:
    std::string cwd_;
};

std::string currentDirectory();

// One answer of a scripted user; when `drive` is set, disc `disc` is first put
// into that drive, as a user would while the prompt is up.
struct DiscStep {
    int answer;
    char drive = 0;
    int disc = 0;
};

// A scripted host for disc requests: answers the message boxes and the
// before-request callback from queues of steps and records every call.  An
// exhausted queue fails the test and answers so that the request ends
// (Cancel, and Yes to the quit question), never leaving a test hanging.
class DiscHost {
  public:
    DiscHost();
    ~DiscHost();
    void boxSteps(std::initializer_list<DiscStep> steps) { boxSteps_.insert(boxSteps_.end(), steps); }
    void beforeSteps(std::initializer_list<DiscStep> steps) {
        beforeSteps_.insert(beforeSteps_.end(), steps);
    }
    const std::vector<MessageCall>& boxes() const { return boxes_; }
    const std::vector<int>& before() const { return before_; }
    const std::vector<int>& after() const { return after_; }

    static int __stdcall box(HWND, const char* text, const char* caption, unsigned style);
    static int __stdcall beforeRequest(int disc);
    static int __stdcall afterRequest(int disc);

  private:
    std::deque<DiscStep> boxSteps_, beforeSteps_;
    std::vector<MessageCall> boxes_;
    std::vector<int> before_, after_;
};

// Texts of the disc prompts in the string table linked into the disc tests
// (discs_strings.rc): 47 takes the drive letter.
std::string insertDiscText(char letter);
extern const char* const kQuitInstallText;  // 46
extern const char* const kQuitSetupText;    // 79

} // namespace zktest

#endif
