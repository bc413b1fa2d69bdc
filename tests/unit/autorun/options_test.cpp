// AutoRun's command line: every switch, the values it takes, and the mistakes
// that must end in a usage message instead of a half-understood run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options.h"

using autorun::Options;

namespace {

bool parse(std::vector<std::string> args, Options& o, std::string& error) {
    std::vector<const char*> argv{"AutoRun.exe"};
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    return autorun::parseCommandLine(static_cast<int>(argv.size()), argv.data(), o, error);
}

} // namespace

TEST(CommandLine, AcceptsTheSwitchesScriptsUse) {
    struct Case {
        std::vector<std::string> args;
        bool unattended;
        std::string destination, language, log, source;
        int type, wait;
        bool noRestart;
    };
    const Case cases[] = {
        {{}, false, "", "", "", "", 0, 60, false},
        {{"/S"}, true, "", "", "", "", 0, 60, false},
        {{"-silent"}, true, "", "", "", "", 0, 60, false},
        {{"/VerySilent", "/NORESTART"}, true, "", "", "", "", 0, 60, true},
        {{"/S", "/DIR=C:\\Program Files\\My Game"}, true, "C:\\Program Files\\My Game", "", "", "",
         0, 60, false},
        {{"/D=C:\\Games\\Z"}, false, "C:\\Games\\Z", "", "", "", 0, 60, false},
        // Everything after the first "=" is the value.
        {{"/dir=C:\\a=b"}, false, "C:\\a=b", "", "", "", 0, 60, false},
        {{"/LANG=de", "/TYPE=minimum"}, false, "", "de", "", "", 1, 60, false},
        {{"/type=NoStreaming"}, false, "", "", "", "", 4, 60, false},
        {{"/TYPE=2", "/LOG=C:\\setup.log"}, false, "", "", "C:\\setup.log", "", 2, 60, false},
        {{"/DISCWAIT=0", "/SOURCE=D:"}, false, "", "", "", "D:", 0, 0, false},
        {{"/DISCWAIT=86400"}, false, "", "", "", "", 0, 86400, false},
        // A later value wins, as in other installers.
        {{"/TYPE=1", "/TYPE=full"}, false, "", "", "", "", 3, 60, false},
    };
    for (const Case& c : cases) {
        Options o;
        std::string error;
        std::string joined;
        for (const std::string& a : c.args)
            joined += a + " ";
        ASSERT_TRUE(parse(c.args, o, error)) << joined << ": " << error;
        EXPECT_EQ(o.unattended, c.unattended) << joined;
        EXPECT_EQ(o.destination, c.destination) << joined;
        EXPECT_EQ(o.language, c.language) << joined;
        EXPECT_EQ(o.logFile, c.log) << joined;
        EXPECT_EQ(o.source, c.source) << joined;
        EXPECT_EQ(o.installType, c.type) << joined;
        EXPECT_EQ(o.discWaitSeconds, c.wait) << joined;
        EXPECT_EQ(o.noRestart, c.noRestart) << joined;
    }
}

TEST(CommandLine, RejectsWhatItCannotUnderstand) {
    const std::vector<std::vector<std::string>> cases = {
        {"/BOGUS"},
        {"install"},               // a stray word
        {"C:\\Games"},             // a folder without its switch
        {"/DIR="},                 // a value-taking switch left empty
        {"/DIR"},
        {"/LANG"},
        {"/TYPE=9"},
        {"/TYPE=everything"},
        {"/DISCWAIT=abc"},
        {"/DISCWAIT=-1"},
        {"/DISCWAIT=86401"},
        {"/DISCWAIT=99999999999"},
        {"/S=1"},                  // a flag given a value
        {"-dir"},                  // the relaunch's folder missing
        {"/"},
        {""},
    };
    for (const auto& args : cases) {
        Options o;
        std::string error;
        EXPECT_FALSE(parse(args, o, error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
}

TEST(CommandLine, ReadsTheRelaunchArgumentsBehindTheOriginalOnes) {
    Options o;
    std::string error;
    ASSERT_TRUE(parse({"/S", "-restart", "-dir", "D:\\Setup Files"}, o, error)) << error;
    EXPECT_TRUE(o.unattended);
    EXPECT_TRUE(o.restarted);
    EXPECT_EQ(o.restartDir, "D:\\Setup Files");
    EXPECT_TRUE(o.destination.empty());
}

TEST(CommandLine, HelpAndUsage) {
    for (const char* flag : {"/?", "-h", "/HELP"}) {
        Options o;
        std::string error;
        ASSERT_TRUE(parse({flag}, o, error)) << flag;
        EXPECT_TRUE(o.help) << flag;
    }
    // The usage names every switch the parser takes.
    std::string usage = autorun::usageText();
    for (const char* name : {"/S", "/DIR=", "/LANG=", "/TYPE=", "/LOG=", "/NORESTART",
                             "/DISCWAIT=", "/SOURCE=", "/DEBUG"})
        EXPECT_NE(usage.find(name), std::string::npos) << name;
}
