// AutoRun.exe - the installer front end: drives ZKInstall.dll through its
// exports, in a wizard's windows, with console prompts, or unattended.
#include <cstdio>
#include <string>

#include "ZKInstall.h"
#include "console_face.h"
#include "exitcodes.h"
#include "options.h"
#include "setup.h"
#include "wizard_face.h"

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
    // Windows unless the run is unattended or asked for the console; the
    // console prompts also stand in when no window can be shown.
    autorun::WizardFace wizard;
    wizard.languagePicked = [](int index) { ZKINSTALL_setLanguage(index); };
    bool windows = !options.unattended && !options.console && wizard.open();
    autorun::ConsoleFace console;
    if (windows) {
        // A console Windows made just for this program only shows blank.
        DWORD processes[2];
        if (GetConsoleProcessList(processes, 2) == 1)
            FreeConsole();
    } else if (!options.unattended) {
        console.catchInterrupts();
    }
    autorun::Setup setup(options, windows ? static_cast<autorun::Face&>(wizard)
                                          : static_cast<autorun::Face&>(console));
    int code = setup.run();
    if (windows)
        wizard.close();
    return code;
}
