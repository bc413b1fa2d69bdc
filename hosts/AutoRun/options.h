// options.h - AutoRun.exe's command line.  Switches follow the style users
// know from other installers: /S, /DIR=..., /LANG=..., /LOG=..., /NORESTART.
#ifndef AUTORUN_OPTIONS_H
#define AUTORUN_OPTIONS_H

#include <string>
#include <vector>

namespace autorun {

struct Options {
    bool unattended = false;   // /S, /SILENT: no prompts, documented answers
    bool help = false;         // /? or /HELP
    bool console = false;      // /CONSOLE: prompts on the console instead of the wizard
    bool debug = false;        // /DEBUG: the library's debug trace
    bool noRestart = false;    // /NORESTART: never reboot, even when asked to
    bool noPrerequisites = false;  // /NOPREREQS: DirectX, Internet Explorer and Flash left alone
    bool noDesktopIcon = false;    // /NODESKTOP: no shortcut on the desktop
    std::string group;             // /GROUP=: the Start-menu group; empty keeps the game's
    std::string destination;   // /DIR= or /D=; empty keeps the game's default folder
    std::string language;      // /LANG=; a name, prefix or number; empty chooses automatically
    int installType = 0;       // /TYPE=; 1 to 4, 0 = not given (full)
    std::string logFile;       // /LOG=
    std::string source;        // /SOURCE=: folder of disc 1 (a disc or a disc image)
    int discWaitSeconds = 60;  // /DISCWAIT=: how long an unattended run waits for a disc
    bool run = false;          // /RUN: an unattended run starts the game at its end
    bool restarted = false;    // -restart: started again after a restart (or a relaunch)
    std::string restartDir;    // -dir FOLDER, handed on with -restart
    // Every argument but -restart and -dir FOLDER, as given: the run after a
    // restart gets them again.
    std::vector<std::string> arguments;
};

// Parses argv[1..argc-1] into `options`.  Returns false with `error` set for
// an unknown switch, a missing or bad value, or a stray argument.
bool parseCommandLine(int argc, const char* const* argv, Options& options, std::string& error);

// 1 to 4 for "1".."4" or "minimum", "satisfactory", "full", "nostreaming"
// (any case); 0 for anything else.
int parseInstallType(const std::string& text);

// One argument of a command line, written so that the Windows parser gives
// it back unchanged: as it is without blanks, tabs or quotes, else quoted
// with its quotes and the backslashes before them escaped.
std::string quoteArgument(const std::string& argument);

// The command line of the run after a restart: `arguments`, each quoted, then
// -restart -dir <source>.
std::string restartCommandLine(const std::vector<std::string>& arguments,
                               const std::string& source);

// The usage text shown for /? and after a bad command line.
const char* usageText();

} // namespace autorun

#endif
