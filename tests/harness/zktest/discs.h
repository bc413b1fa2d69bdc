// discs.h - discs in the prefix's CD-ROM drives and disc-image folders, and a
// scripted host that answers disc requests.
#ifndef ZKTEST_DISCS_H
#define ZKTEST_DISCS_H

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "zktest/harness.h"

namespace zktest {

// The disc prompts of discs_strings.rc.
inline const char* const kQuitInstallText = "Stop installing the game now?";
inline const char* const kQuitSetupText = "Leave the setup program?";
inline std::string insertDiscText(char letter) {
    return std::string("Please insert the disc into drive ") + letter + ":";
}

// Makes `folder` the root of disc `number`, of product `guid` when non-empty.
inline void writeDisc(const std::string& folder, int number, const std::string& guid = "") {
    makeDirs(folder);
    writeFile(folder + "\\AutoRun.inf", "[Special]\r\nDisk=" + std::to_string(number) + "\r\n" +
                                            (guid.empty() ? "" : "ProductGuiID=" + guid + "\r\n"));
}

inline void insertDisc(char letter, int number, const std::string& guid = "") {
    insertEmptyDisc(letter);
    writeDisc(discFolder(letter), number, guid);
}

inline std::string currentDirectory() {
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof cwd, cwd);
    return cwd;
}

// Empties D:, E: and F: now and on leaving, and restores the current directory.
class DiscDrivesGuard {
  public:
    DiscDrivesGuard() { emptyAll(); }
    ~DiscDrivesGuard() {
        SetCurrentDirectoryA(cwd_.c_str());
        emptyAll();
    }

  private:
    static void emptyAll() {
        for (char letter : {'d', 'e', 'f'})
            insertEmptyDisc(letter);
    }
    std::string cwd_ = currentDirectory();
};

// One scripted answer; when `drive` is set, disc `disc` goes into it first.
struct DiscStep {
    int answer;
    char drive = 0;
    int disc = 0;
};

// Answers message boxes and before-request calls from queues and records every
// call.  An exhausted queue fails the test and backs out (Cancel, Yes to quit).
class DiscHost {
  public:
    DiscHost() { current() = this; }
    ~DiscHost() {
        if (current() == this)
            current() = nullptr;
    }
    void boxSteps(const std::vector<DiscStep>& s) {
        boxSteps_.insert(boxSteps_.end(), s.begin(), s.end());
    }
    void beforeSteps(const std::vector<DiscStep>& s) {
        beforeSteps_.insert(beforeSteps_.end(), s.begin(), s.end());
    }
    const std::vector<MessageCall>& boxes() const { return boxes_; }
    const std::vector<int>& before() const { return before_; }
    const std::vector<int>& after() const { return after_; }

    static int __stdcall box(HWND, const char* text, const char* caption, unsigned style) {
        DiscHost* host = current();
        if (!host)
            return ADD_FAILURE() << "message box without a disc host", IDCANCEL;
        host->boxes_.push_back({text ? text : "", caption ? caption : "", style});
        return play(host->boxSteps_, (style & MB_TYPEMASK) == MB_YESNO ? IDYES : IDCANCEL);
    }
    static int __stdcall beforeRequest(int disc) {
        DiscHost* host = current();
        if (!host)
            return ADD_FAILURE() << "disc request without a disc host", IDCANCEL;
        host->before_.push_back(disc);
        return play(host->beforeSteps_, IDCANCEL);
    }
    static int __stdcall afterRequest(int disc) {
        if (DiscHost* host = current())
            host->after_.push_back(disc);
        return 0;
    }

  private:
    static DiscHost*& current() {
        static DiscHost* host = nullptr;
        return host;
    }
    static int play(std::deque<DiscStep>& steps, int whenExhausted) {
        if (steps.empty())
            return ADD_FAILURE() << "unscripted call", whenExhausted;
        DiscStep step = steps.front();
        steps.pop_front();
        if (step.drive)
            insertDisc(step.drive, step.disc);
        return step.answer;
    }
    std::deque<DiscStep> boxSteps_, beforeSteps_;
    std::vector<MessageCall> boxes_;
    std::vector<int> before_, after_;
};

} // namespace zktest

#endif
