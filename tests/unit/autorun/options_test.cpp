// AutoRun's command line: every switch, the values it takes, and the mistakes
// that must end in a usage message instead of a half-understood run.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <cwchar>

#include <string>
#include <vector>

#include "options.h"

using autorun::Options;

namespace {

bool parse(const std::vector<std::string>& args, Options& o, std::string& error) {
    std::vector<const char*> argv{"AutoRun.exe"};
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    return autorun::parseCommandLine(static_cast<int>(argv.size()), argv.data(), o, error);
}

// Every field that differs from its default, in a fixed order.
std::string summary(const Options& o) {
    std::string s;
    const std::pair<bool, std::string> parts[] = {
        {o.unattended, "S"}, {o.help, "help"}, {o.debug, "debug"}, {o.noRestart, "norestart"},
        {o.noPrerequisites, "noprereqs"}, {o.noDesktopIcon, "nodesktop"},
        {!o.group.empty(), "group=" + o.group},
        {!o.destination.empty(), "dir=" + o.destination},
        {!o.language.empty(), "lang=" + o.language},
        {o.installType != 0, "type=" + std::to_string(o.installType)},
        {!o.logFile.empty(), "log=" + o.logFile},
        {!o.source.empty(), "source=" + o.source},
        {o.discWaitSeconds != 60, "wait=" + std::to_string(o.discWaitSeconds)},
        {o.restarted, "restart"}, {!o.restartDir.empty(), "rdir=" + o.restartDir},
        {o.run, "run"},
    };
    for (const auto& p : parts)
        if (p.first)
            s += (s.empty() ? "" : " ") + p.second;
    return s;
}

} // namespace

TEST(CommandLine, AcceptsTheSwitchesScriptsUse) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, ""},
        {{"-silent"}, "S"},
        {{"/VerySilent", "/NORESTART", "/DEBUG", "/noprereqs"}, "S debug norestart noprereqs"},
        {{"/S", "/DIR=C:\\Program Files\\My Game"}, "S dir=C:\\Program Files\\My Game"},
        {{"/D=C:\\a=b"}, "dir=C:\\a=b"},  // everything after the first "=" is the value
        {{"/GROUP=Vantorel Games", "/NODESKTOP"}, "nodesktop group=Vantorel Games"},
        {{"/LANG=de", "/TYPE=minimum"}, "lang=de type=1"},
        {{"/type=NoStreaming", "/LOG=C:\\setup.log"}, "type=4 log=C:\\setup.log"},
        {{"/DISCWAIT=0", "/SOURCE=D:"}, "source=D: wait=0"},
        {{"/DISCWAIT=86400", "/TYPE=2", "/TYPE=full"}, "type=3 wait=86400"},  // later wins
        {{"/S", "-restart", "-dir", "D:\\Setup Files"}, "S restart rdir=D:\\Setup Files"},
        {{"/run", "/NORESTART"}, "norestart run"},
        {{"/?"}, "help"}, {{"-h"}, "help"}, {{"/HELP"}, "help"},
    };
    for (const auto& c : cases) {
        Options o;
        std::string error;
        EXPECT_TRUE(parse(c.first, o, error)) << c.second << ": " << error;
        EXPECT_EQ(c.second, summary(o));
    }
}

TEST(CommandLine, RejectsWhatItCannotUnderstand) {
    const char* const cases[] = {
        "/BOGUS",         "install", "C:\\Games",     "/DIR=",          "/DIR",
        "/LANG",          "/TYPE=9", "/TYPE=everything", "/DISCWAIT=abc", "/DISCWAIT=-1",
        "/GROUP=",
        "/DISCWAIT=86401", "/DISCWAIT=99999999999", "/S=1", "-dir", "/", "",
    };
    for (const char* arg : cases) {
        Options o;
        std::string error;
        EXPECT_FALSE(parse({arg}, o, error)) << arg;
        EXPECT_FALSE(error.empty()) << arg;
    }
    // The usage names every switch the parser takes.
    const std::string usage = autorun::usageText();
    for (const char* name :
         {"/S", "/DIR=", "/LANG=", "/TYPE=", "/LOG=", "/NORESTART", "/RUN", "/NOPREREQS", "/GROUP=",
          "/NODESKTOP", "/DISCWAIT=", "/SOURCE=", "/DEBUG", "3010", "1641"})
        EXPECT_NE(usage.find(name), std::string::npos) << name;
}

// The run-once link's command line: the run after the restart reads the same
// switches back through the system's parser, with only the new -dir.
TEST(CommandLine, TheRunAfterARestartGetsTheSameSwitches) {
    const std::vector<std::string> args = {"/S", "-restart", "/LOG=C:\\My Logs\\a \"b\".log",
                                           "-dir", "E:\\", "/DIR=C:\\Games\\", "/RUN"};
    Options first;
    std::string error;
    ASSERT_TRUE(parse(args, first, error)) << error;
    const std::string line =
        "AutoRun.exe " + autorun::restartCommandLine(first.arguments, "D:\\Disc One\\");
    std::wstring wide(line.begin(), line.end());
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(wide.c_str(), &count);
    ASSERT_TRUE(argv != nullptr);
    std::vector<std::string> back;
    for (int i = 1; i < count; ++i)
        back.emplace_back(argv[i], argv[i] + wcslen(argv[i]));
    LocalFree(argv);
    EXPECT_EQ((std::vector<std::string>{"/S", "/LOG=C:\\My Logs\\a \"b\".log",
                                        "/DIR=C:\\Games\\", "/RUN", "-restart", "-dir",
                                        "D:\\Disc One\\"}),
              back)
        << line;
    Options second;
    ASSERT_TRUE(parse(back, second, error)) << error;
    EXPECT_EQ("S dir=C:\\Games\\ log=C:\\My Logs\\a \"b\".log restart rdir=D:\\Disc One\\ run",
              summary(second));
}
