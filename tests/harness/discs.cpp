#include "zktest/discs.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "zktest/harness.h"

namespace zktest {

const char* const kQuitInstallText = "Stop installing the game now?";
const char* const kQuitSetupText = "Leave the setup program?";

std::string insertDiscText(char letter) {
    return std::string("Please insert the disc into drive ") + letter + ":";
}

void writeDisc(const std::string& folder, int number, const std::string& guid) {
    makeDirs(folder);
    std::string inf = "[Special]\r\nDisk=" + std::to_string(number) + "\r\n";
    if (!guid.empty())
        inf += "ProductGuiID=" + guid + "\r\n";
    writeFile(folder + "\\AutoRun.inf", inf);
}

void insertDisc(char letter, int number, const std::string& guid) {
    insertEmptyDisc(letter);
    writeDisc(discFolder(letter), number, guid);
}

std::string currentDirectory() {
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof cwd, cwd);
    return cwd;
}

DiscDrivesGuard::DiscDrivesGuard() : cwd_(currentDirectory()) {
    for (char letter : {'d', 'e', 'f'})
        insertEmptyDisc(letter);
}

DiscDrivesGuard::~DiscDrivesGuard() {
    SetCurrentDirectoryA(cwd_.c_str());
    for (char letter : {'d', 'e', 'f'})
        insertEmptyDisc(letter);
}

} // namespace zktest

namespace zktest {

static DiscHost* s_discHost = nullptr;

DiscHost::DiscHost() { s_discHost = this; }
DiscHost::~DiscHost() {
    if (s_discHost == this)
        s_discHost = nullptr;
}

static int play(std::deque<DiscStep>& steps, int whenExhausted, const char* what) {
    if (steps.empty()) {
        ADD_FAILURE() << "unscripted " << what;
        return whenExhausted;
    }
    DiscStep step = steps.front();
    steps.pop_front();
    if (step.drive)
        insertDisc(step.drive, step.disc);
    return step.answer;
}

int __stdcall DiscHost::box(HWND, const char* text, const char* caption, unsigned style) {
    if (!s_discHost) {
        ADD_FAILURE() << "message box without a disc host: " << (text ? text : "");
        return IDCANCEL;
    }
    s_discHost->boxes_.push_back({text ? text : "", caption ? caption : "", style});
    int backOut = (style & MB_TYPEMASK) == MB_YESNO ? IDYES : IDCANCEL;
    return play(s_discHost->boxSteps_, backOut, "message box");
}

int __stdcall DiscHost::beforeRequest(int disc) {
    if (!s_discHost) {
        ADD_FAILURE() << "disc request without a disc host";
        return IDCANCEL;
    }
    s_discHost->before_.push_back(disc);
    return play(s_discHost->beforeSteps_, IDCANCEL, "disc request");
}

int __stdcall DiscHost::afterRequest(int disc) {
    if (s_discHost)
        s_discHost->after_.push_back(disc);
    return 0;
}

} // namespace zktest
