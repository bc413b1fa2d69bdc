// exitcodes.h - what AutoRun.exe's exit code tells a script.  The numbers are
// documented in the README; keep them stable.
#ifndef AUTORUN_EXITCODES_H
#define AUTORUN_EXITCODES_H

namespace autorun {

enum ExitCode {
    ExitInstalled = 0,          // the game is installed
    ExitCancelled = 1,          // the user chose to stop
    ExitBadCommandLine = 2,     // unknown switch, bad value, unusable log file
    ExitDiscMissing = 3,        // a disc did not turn up in time, or its file lists are missing
    ExitBadDestination = 4,     // the install folder or its drive cannot be used
    ExitInsufficientSpace = 5,  // not enough free space for the chosen type
    ExitCopyFailed = 6,         // a file could not be copied
    ExitFailed = 7,             // anything else (the copy could not start, ...)
    // The codes installers share with deployment tools: the game is installed
    // and the rest of the installation follows after a restart of Windows.
    ExitRestartInitiated = 1641,  // this run asked Windows to restart
    ExitRestartRequired = 3010    // Windows must still be restarted
};

} // namespace autorun

#endif
