// options.h - ZKUninstall.exe's command line, and what the first run hands
// to its copy in the temporary folder: that copy is started with nothing but
// "-debug", so the product and the switches travel in its environment.
#ifndef ZKUNINSTALL_OPTIONS_H
#define ZKUNINSTALL_OPTIONS_H

#include <string>

namespace zkuninstall {

struct Options {
    bool unattended = false;  // /S, /SILENT, /VERYSILENT: no question
    bool console = false;     // /CONSOLE: the question and progress on the console
    bool help = false;        // /? or /HELP
    bool debug = false;       // /DEBUG, or "-debug" from the library's relaunch
    std::string logFile;      // /LOG=
};

// Parses argv[1..argc-1].  False with `error` set for an unknown switch, a
// missing value or a stray argument.
bool parseCommandLine(int argc, const char* const* argv, Options& options, std::string& error);

const char* usageText();

// What the copy in the temporary folder needs to know.
struct Handoff {
    std::string product;     // the App Paths key's name (the game's executable)
    bool unattended = false;
    std::string logFile;     // a full path, or empty
    bool windows = false;    // the first run showed windows: so does the copy
};

// The environment variables that carry it.
extern const char* const kProductVariable;     // ZKUNINSTALL_PRODUCT
extern const char* const kUnattendedVariable;  // ZKUNINSTALL_UNATTENDED ("1" or absent)
extern const char* const kLogVariable;         // ZKUNINSTALL_LOG
extern const char* const kWindowsVariable;     // ZKUNINSTALL_WINDOWS ("1" or absent)

// Puts the handoff into this process's environment, which the relaunched
// copy inherits.
bool writeHandoff(const Handoff& handoff);

// Reads the handoff and removes it from the environment, so that the game's
// own uninstall programs started later do not inherit it.  False (and
// nothing removed) when no product is named.
bool takeHandoff(Handoff& handoff);

} // namespace zkuninstall

#endif
