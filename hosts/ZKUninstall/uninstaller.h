// uninstaller.h - one run of ZKUninstall.exe.  Started from the install folder
// it finds its game, asks, and lets the library relaunch a copy of it from the
// temporary folder (that ends this process); the copy, told the game through
// its environment, removes the game there and reports how it went.
#ifndef ZKUNINSTALL_UNINSTALLER_H
#define ZKUNINSTALL_UNINSTALLER_H

#include <string>

#include "options.h"
#include "product.h"
#include "report.h"
#include "texts.h"
#include "window.h"

namespace zkuninstall {

// Exit codes, documented in the README; keep them stable.  The library ends
// the process itself with its own codes (-1, -2, -3, and 0 after the
// relaunch).
enum ExitCode {
    ExitRemoved = 0,          // the game is removed (also /?)
    ExitCancelled = 1,        // the user said no
    ExitBadCommandLine = 2,   // unknown switch, missing value, a log that cannot be written
    ExitNotFound = 3,         // no installed game names this program's folder
    ExitStillRegistered = 4,  // the run ended but the game's App Paths entry is still there
};

class Uninstaller {
  public:
    explicit Uninstaller(const Options& options) : m_options(options) {}
    int run();

    // The library's message boxes: shown and logged, answered without
    // waiting for anyone.
    int onMessage(const char* text, const char* caption, unsigned style);

  private:
    int openLog(bool append);
    bool confirm();
    int removeGame();
    // Opens the window in the language of the game (or of the user when no
    // game is known); false when no window can be made.
    bool openWindow(bool gameKnown);
    // `text` said on the console and in the log; `shown` in a box in window mode.
    void conclude(const std::string& text, const std::wstring& shown);

    Options m_options;
    Report m_report;
    Product m_product;
    std::string m_program;
    ProgressWindow m_window;
    Texts m_texts;
    bool m_windows = false;  // the question and the progress in windows
};

} // namespace zkuninstall

#endif
