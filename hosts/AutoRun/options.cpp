#include "options.h"

#include <cctype>
#include <cstdlib>

namespace autorun {

namespace {

std::string upper(const std::string& text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return out;
}

// Longest wait a script can ask for: a day.  Beyond that a typo is likelier
// than intent, and the arithmetic stays far from overflow.
const long kMaxDiscWaitSeconds = 86400;

bool parseSeconds(const std::string& text, int& out) {
    if (text.empty() || text.size() > 6)
        return false;
    for (char c : text)
        if (!isdigit(static_cast<unsigned char>(c)))
            return false;
    long value = strtol(text.c_str(), nullptr, 10);
    if (value > kMaxDiscWaitSeconds)
        return false;
    out = static_cast<int>(value);
    return true;
}

} // namespace

int parseInstallType(const std::string& text) {
    std::string t = upper(text);
    if (t == "1" || t == "MINIMUM")
        return 1;
    if (t == "2" || t == "SATISFACTORY")
        return 2;
    if (t == "3" || t == "FULL")
        return 3;
    if (t == "4" || t == "NOSTREAMING")
        return 4;
    return 0;
}

bool parseCommandLine(int argc, const char* const* argv, Options& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i] ? argv[i] : "";
        options.arguments.push_back(arg);  // all but -restart -dir FOLDER
        if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) {
            error = "unexpected argument \"" + arg + "\"";
            return false;
        }
        std::string body = arg.substr(1);
        size_t eq = body.find('=');
        std::string name = upper(body.substr(0, eq));
        bool hasValue = eq != std::string::npos;
        std::string value = hasValue ? body.substr(eq + 1) : "";

        // Switches that take no value.
        if (!hasValue) {
            if (name == "S" || name == "SILENT" || name == "VERYSILENT") {
                options.unattended = true;
                continue;
            }
            if (name == "?" || name == "H" || name == "HELP") {
                options.help = true;
                continue;
            }
            if (name == "CONSOLE") {
                options.console = true;
                continue;
            }
            if (name == "NORESTART") {
                options.noRestart = true;
                continue;
            }
            if (name == "RUN") {
                options.run = true;
                continue;
            }
            if (name == "NODESKTOP") {
                options.noDesktopIcon = true;
                continue;
            }
            if (name == "NOPREREQS") {
                options.noPrerequisites = true;
                continue;
            }
            if (name == "DEBUG") {
                options.debug = true;
                continue;
            }
            // The run-once link after a restart (and the library's relaunch
            // from the temporary folder) passes "-restart -dir FOLDER" behind
            // the original arguments.
            if (name == "RESTART") {
                options.restarted = true;
                options.arguments.pop_back();
                continue;
            }
            if (name == "DIR" && arg[0] == '-') {
                if (i + 1 >= argc || !argv[i + 1] || !*argv[i + 1]) {
                    error = "-dir needs a folder";
                    return false;
                }
                options.restartDir = argv[++i];
                options.arguments.pop_back();
                continue;
            }
        }

        if (name == "D" || name == "DIR" || name == "LANG" || name == "TYPE" || name == "LOG" ||
            name == "SOURCE" || name == "DISCWAIT" || name == "GROUP") {
            if (!hasValue || value.empty()) {
                error = arg[0] + std::string(name) + " needs a value, as in " + arg[0] + name +
                        "=...";
                return false;
            }
            if (name == "D" || name == "DIR") {
                options.destination = value;
            } else if (name == "LANG") {
                options.language = value;
            } else if (name == "TYPE") {
                options.installType = parseInstallType(value);
                if (options.installType == 0) {
                    error = "unknown installation type \"" + value +
                            "\" (use minimum, satisfactory, full, nostreaming or 1 to 4)";
                    return false;
                }
            } else if (name == "GROUP") {
                options.group = value;
            } else if (name == "LOG") {
                options.logFile = value;
            } else if (name == "SOURCE") {
                options.source = value;
            } else if (!parseSeconds(value, options.discWaitSeconds)) {
                error = "bad number of seconds \"" + value + "\" (0 to 86400)";
                return false;
            }
            continue;
        }
        error = "unknown switch \"" + arg + "\"";
        return false;
    }
    return true;
}

std::string quoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos)
        return argument;
    // Backslashes count double only before a quote, the closing one included.
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, '\\');
    return out + "\"";
}

std::string restartCommandLine(const std::vector<std::string>& arguments,
                               const std::string& source) {
    std::string line;
    for (const std::string& argument : arguments)
        line += quoteArgument(argument) + " ";
    return line + "-restart -dir " + quoteArgument(source);
}

const char* usageText() {
    return "Usage: AutoRun.exe [/S | /CONSOLE] [/DIR=folder] [/LANG=language] [/TYPE=type]\n"
           "                  [/GROUP=name] [/NODESKTOP] [/LOG=file] [/NORESTART] [/RUN]\n"
           "                  [/NOPREREQS] [/DISCWAIT=seconds] [/SOURCE=folder] [/DEBUG] [/?]\n"
           "\n"
           "  /S, /SILENT       unattended: no questions; every message gets its documented\n"
           "                    answer (see the README)\n"
           "  /CONSOLE          ask on the console instead of in the wizard's windows\n"
           "  /DIR=folder       install folder (also /D=folder); default: the game's folder\n"
           "                    under Program Files\n"
           "  /LANG=language    a language on the disc: name (German), prefix (de) or number\n"
           "  /TYPE=type        minimum, satisfactory, full (default) or nostreaming, or 1-4\n"
           "  /GROUP=name       Start-menu group of the game's shortcuts (default: the game's)\n"
           "  /NODESKTOP        no shortcut on the desktop\n"
           "  /LOG=file         write what happens to this file\n"
           "  /NORESTART        never restart Windows, even when a component asks for it:\n"
           "                    the installation then carries on after the next restart\n"
           "  /RUN              start the game at the end (unattended runs do not otherwise)\n"
           "  /NOPREREQS        leave DirectX, Internet Explorer and Flash as they are\n"
           "  /DISCWAIT=seconds how long an unattended run waits for a missing disc (60)\n"
           "  /SOURCE=folder    where disc 1 is (a drive or a disc-image folder)\n"
           "  /DEBUG            the library's debug trace\n"
           "\n"
           "Exit codes: 0 installed, 1 cancelled, 2 bad command line, 3 disc missing,\n"
           "            4 bad destination, 5 not enough space, 6 copy failed, 7 other failure,\n"
           "            3010 installed, restart required, 1641 installed, restart started\n";
}

} // namespace autorun
