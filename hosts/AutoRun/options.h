// options.h - AutoRun.exe's command line.  Switches follow the style users
// know from other installers: /S, /DIR=..., /LANG=..., /LOG=..., /NORESTART.
#ifndef AUTORUN_OPTIONS_H
#define AUTORUN_OPTIONS_H

#include <string>

namespace autorun {

struct Options {
    bool unattended = false;   // /S, /SILENT: no prompts, documented answers
    bool help = false;         // /? or /HELP
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
    bool restarted = false;    // -restart: relaunched by the installer itself
    std::string restartDir;    // -dir FOLDER, handed on by that relaunch
};

// Parses argv[1..argc-1] into `options`.  Returns false with `error` set for
// an unknown switch, a missing or bad value, or a stray argument.
bool parseCommandLine(int argc, const char* const* argv, Options& options, std::string& error);

// 1 to 4 for "1".."4" or "minimum", "satisfactory", "full", "nostreaming"
// (any case); 0 for anything else.
int parseInstallType(const std::string& text);

// The usage text shown for /? and after a bad command line.
const char* usageText();

} // namespace autorun

#endif
