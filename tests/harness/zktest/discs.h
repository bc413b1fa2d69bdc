// discs.h - discs in the prefix's CD-ROM drives and disc-image folders.
#ifndef ZKTEST_DISCS_H
#define ZKTEST_DISCS_H

#include <windows.h>

#include <functional>
#include <string>

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
// A scripted step's action: the user puts disc `number` into the drive.
inline std::function<void()> inserting(char letter, int number) {
    return [=] { insertDisc(letter, number); };
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

} // namespace zktest

#endif
