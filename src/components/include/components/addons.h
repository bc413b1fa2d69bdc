// addons.h - the programs a disc may carry besides DirectX, IE and Flash:
// GameSpy Arcade and its update, the download manager (ZKD), the shared online
// component (ZKSO) and the game's own "*_inst.exe" installers.
#ifndef ZK_COMPONENTS_ADDONS_H
#define ZK_COMPONENTS_ADDONS_H

#include <cstddef>

#include "ZKInstall.h"
#include "components/setup_disc.h"

namespace zk {

// The installation's facts the online component and the game's installers are
// started with, and where the game's installers are copied to and run from.
struct AddonFacts {
    const char* discRoot;
    const char* installFolder;
    const char* startMenuFolder;
    const char* tempFolder;
    int languageIndex;
};

// The game's installers found in one folder, listed whole before any of them
// is copied, run or deleted.
const int kMaxGameInstallers = 64;

class CZKAddons {
  public:
    explicit CZKAddons(SetupDiscRequest requestDisc = nullptr);

    // In debug mode the steps are traced through DebugMessageBox with `window`
    // as owner.
    void setDebug(bool debug, HWND window = nullptr);

    // Ask for disc 1; true when the disc carries GameSpy\Arcade*.exe,
    // Support\zkd-installer.exe.
    bool isGameSpyPresent(const char* discRoot);
    bool isZKDPresent(const char* discRoot);

    // Asks for disc 1, runs the Arcade setup in its folder and waits; then
    // copies GameSpy\*update.exe into the install folder and logs it there.
    void installGameSpy(const char* discRoot, const char* installFolder);
    // Asks for disc 1 and opens the download manager's installer, not waiting.
    void installZKD(const char* discRoot);
    // Opens `path` (it may hold wildcards; the first match must be a file) in
    // its own folder, not waiting.
    void launchZKD(const char* path);
    // Runs CommonZKSO\ZKSOInstaller.exe with the facts and waits; the current
    // folder is left as it was.  No disc is asked for.
    void installCommonZKSO(const AddonFacts& facts);
    // Copies the disc root's *_inst.exe to the temporary folder and runs each
    // copy there with the facts, until their exit codes add up above 0; that
    // copy stays, the others are deleted.  Returns the sum (a failed start
    // counts -1).
    int runGameInstallers(const AddonFacts& facts);

  private:
    void trace(const char* text, const char* caption) const;

    bool m_debug = false;
    HWND m_window = nullptr;
    SetupDiscRequest m_requestDisc;
};

// Writes the facts as a command line: disc root, install folder, Start-menu
// folder and language index, each one argument as the Windows parser reads it
// back.  False, with an empty line, when they do not fit in cap bytes.
bool formatFactsArguments(const char* discRoot, const char* installFolder,
                          const char* startMenuFolder, int languageIndex, char* out,
                          size_t cap);

} // namespace zk

#endif
