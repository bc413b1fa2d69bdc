// restart.h - what carries an installation over a restart of its front end
// or of Windows: the numbered run-once links in the Startup folder, the
// relaunch from the temporary folder, and the start of the installed game.
#ifndef ZK_INTEGRATION_RESTART_H
#define ZK_INTEGRATION_RESTART_H

#include <cstddef>

namespace zk {

class CZKInstaller;
class CZKCommandLine;

// Numbers 000 to 998 are cleaned; 999 never is.
const int kRunOnceCleaned = 999;

// "<startup folder>\ZK_RESTART_<nnn>.lnk"; false without a Startup folder (the
// name would then land in the root of the current drive) or when it does not
// fit.
bool runOnceLinkPath(const char* startupFolder, int number, char* out, size_t cap);

// Raises the process's link counter (the first link is 001) and writes that
// link to `program` in the Startup folder: its description the link's own
// path, no icon, the working folder and arguments given (either may be null).
// Returns the number; a link that was not saved is traced in debug mode.
int addRunOnceLink(const char* startupFolder, const char* program, const char* folder,
                   const char* arguments, bool debug);

// Deletes link `number`; one that is not there is no error.
void removeRunOnceLink(const char* startupFolder, int number);
// Deletes links 000 to 998.
void removeRunOnceLinks(const char* startupFolder);

// The arguments this process was started with (its program name left out),
// as buildRestartArguments hands them on with "-restart -dir <folder>".
bool currentRestartArguments(const char* folder, CZKCommandLine& out);

// Copies the front end (AutoRun.exe) and, when the source folder has them, its
// texts and this library from `source` (one trailing backslash cut, in the
// caller's buffer) to the temporary folder, starts it there with
// "-restart -dir <folder>" behind its own arguments and ends the process.
// beforeStart runs once the command line is built (the host's screen state
// is put back there).
[[noreturn]] void relaunchFromTemp(CZKInstaller& s, char* source, const char* folder,
                                   void (*beforeStart)());

// Starts the installed game: `folder` becomes the current folder, the game's
// executable is looked for in the install folder and below, and the game is
// opened through the shell with the foreground lock time-out at 0, then waited
// for (up to eleven seconds, until it shows up running).  1 when it started;
// 0 when it did not, or when the executable is missing (host text 37 says so).
int runGame(CZKInstaller& s, const char* folder);

} // namespace zk

#endif
