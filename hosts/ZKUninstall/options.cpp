#include "options.h"

#include <windows.h>

#include <cctype>
#include <vector>

namespace zkuninstall {

const char* const kProductVariable = "ZKUNINSTALL_PRODUCT";
const char* const kUnattendedVariable = "ZKUNINSTALL_UNATTENDED";
const char* const kLogVariable = "ZKUNINSTALL_LOG";
const char* const kWindowsVariable = "ZKUNINSTALL_WINDOWS";

namespace {

std::string upper(const std::string& text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return out;
}

// The variable's value; empty when it is not set.
std::string variable(const char* name) {
    DWORD n = GetEnvironmentVariableA(name, nullptr, 0);
    if (n == 0)
        return "";
    std::vector<char> value(n);
    DWORD got = GetEnvironmentVariableA(name, value.data(), n);
    return got > 0 && got < n ? std::string(value.data(), got) : "";
}

} // namespace

bool parseCommandLine(int argc, const char* const* argv, Options& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i] ? argv[i] : "";
        if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) {
            error = "unexpected argument \"" + arg + "\"";
            return false;
        }
        std::string body = arg.substr(1);
        size_t eq = body.find('=');
        std::string name = upper(body.substr(0, eq));
        if (eq == std::string::npos) {
            if (name == "S" || name == "SILENT" || name == "VERYSILENT")
                options.unattended = true;
            else if (name == "CONSOLE")
                options.console = true;
            else if (name == "?" || name == "H" || name == "HELP")
                options.help = true;
            else if (name == "DEBUG")
                options.debug = true;
            else if (name == "LOG")
                error = arg[0] + name + " needs a file, as in " + arg[0] + name + "=file";
            else
                error = "unknown switch \"" + arg + "\"";
        } else if (name == "LOG" && eq + 1 < body.size()) {
            options.logFile = body.substr(eq + 1);
        } else {
            error = name == "LOG" ? arg[0] + name + " needs a file, as in " + arg[0] + name + "=file"
                                  : "unknown switch \"" + arg + "\"";
        }
        if (!error.empty())
            return false;
    }
    return true;
}

const char* usageText() {
    return "Usage: ZKUninstall.exe [/S | /CONSOLE] [/LOG=file] [/DEBUG] [/?]\n"
           "\n"
           "Removes the game installed in this program's folder: its files, Start-menu\n"
           "group, desktop shortcut and registry entries.  Files the game did not install\n"
           "(saved games, for instance) stay, with their folders.\n"
           "\n"
           "  /S, /SILENT   unattended: no question\n"
           "  /CONSOLE      the question and the progress on the console, not in windows\n"
           "  /LOG=file     write what happens to this file\n"
           "  /DEBUG        the library's debug messages\n"
           "\n"
           "Exit codes: 0 removed, 1 cancelled, 2 bad command line, 3 no installed game\n"
           "            found for this folder, 4 the game is still registered after the\n"
           "            run; the library's own: -2 the installation's registry entries are\n"
           "            missing or incomplete, -3 no install folder recorded\n";
}

bool writeHandoff(const Handoff& handoff) {
    // Removing a variable that is not there may report a failure: only the
    // values set count.
    bool ok = SetEnvironmentVariableA(kProductVariable, handoff.product.c_str()) != FALSE;
    if (handoff.unattended)
        ok = SetEnvironmentVariableA(kUnattendedVariable, "1") && ok;
    else
        SetEnvironmentVariableA(kUnattendedVariable, nullptr);
    if (handoff.windows)
        ok = SetEnvironmentVariableA(kWindowsVariable, "1") && ok;
    else
        SetEnvironmentVariableA(kWindowsVariable, nullptr);
    if (!handoff.logFile.empty())
        ok = SetEnvironmentVariableA(kLogVariable, handoff.logFile.c_str()) && ok;
    else
        SetEnvironmentVariableA(kLogVariable, nullptr);
    return ok;
}

bool takeHandoff(Handoff& handoff) {
    handoff.product = variable(kProductVariable);
    if (handoff.product.empty())
        return false;
    handoff.unattended = variable(kUnattendedVariable) == "1";
    handoff.logFile = variable(kLogVariable);
    handoff.windows = variable(kWindowsVariable) == "1";
    for (const char* name : {kProductVariable, kUnattendedVariable, kLogVariable, kWindowsVariable})
        SetEnvironmentVariableA(name, nullptr);
    return true;
}

} // namespace zkuninstall
