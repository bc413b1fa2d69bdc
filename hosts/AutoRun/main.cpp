// AutoRun.exe - the installer front end: drives ZKInstall.dll through its
// exports, interactively on the console or unattended for scripts.
#include <cstdio>
#include <string>

#include "console_face.h"
#include "exitcodes.h"
#include "options.h"
#include "setup.h"

int main(int argc, char** argv) {
    autorun::Options options;
    std::string error;
    if (!autorun::parseCommandLine(argc, argv, options, error)) {
        fprintf(stderr, "AutoRun: %s\n\n%s", error.c_str(), autorun::usageText());
        return autorun::ExitBadCommandLine;
    }
    if (options.help) {
        fputs(autorun::usageText(), stdout);
        return autorun::ExitInstalled;
    }
    autorun::ConsoleFace console;
    if (!options.unattended)
        console.catchInterrupts();
    autorun::Setup setup(options, console);
    return setup.run();
}
