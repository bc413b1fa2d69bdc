// ZKUninstall.exe - removes an installed game through ZKInstall.dll.  The
// installation places it in the game's folder and names it as the command of
// the game's entry in the Windows list of installed programs.
#include <cstdio>
#include <string>

#include "options.h"
#include "uninstaller.h"

int main(int argc, char** argv) {
    zkuninstall::Options options;
    std::string error;
    if (!zkuninstall::parseCommandLine(argc, argv, options, error)) {
        fprintf(stderr, "ZKUninstall: %s\n\n%s", error.c_str(), zkuninstall::usageText());
        return zkuninstall::ExitBadCommandLine;
    }
    if (options.help) {
        fputs(zkuninstall::usageText(), stdout);
        return zkuninstall::ExitRemoved;
    }
    zkuninstall::Uninstaller uninstaller(options);
    return uninstaller.run();
}
