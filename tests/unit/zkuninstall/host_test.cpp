// ZKUninstall's own logic: its switches, what its relaunched copy learns from
// the environment (the only way the library's relaunch lets anything through),
// which folder counts as the game's, and the words its windows show.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "options.h"
#include "product.h"
#include "report.h"
#include "resource.h"
#include "texts.h"

using namespace zkuninstall;

TEST(UninstallerCommandLine, SwitchesAndMistakes) {
    const struct {
        std::vector<const char*> args;
        const char* parsed;  // "S debug help log=..." or "error: <start of the message>"
    } cases[] = {
        {{}, ""},
        {{"/S"}, "S"},
        {{"/silent", "/LOG=C:\\u n.log"}, "S log=C:\\u n.log"},
        {{"-debug"}, "debug"},  // as the library's relaunch passes it
        {{"/VERYSILENT", "/DEBUG", "/?"}, "S debug help"},
        {{"/log=a=b"}, "log=a=b"},
        {{"/LOG="}, "error: /LOG needs a file"},
        {{"/LOG"}, "error: /LOG needs a file"},
        {{"/S=1"}, "error: unknown switch \"/S=1\""},
        {{"/X"}, "error: unknown switch"},
        {{"C:\\Games"}, "error: unexpected argument"},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"ZKUninstall.exe"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        Options o;
        std::string error, got;
        if (!parseCommandLine(static_cast<int>(argv.size()), argv.data(), o, error)) {
            got = "error: " + error;
        } else {
            for (const auto& part : {std::make_pair(o.unattended, std::string("S")),
                                     std::make_pair(o.debug, std::string("debug")),
                                     std::make_pair(o.help, std::string("help")),
                                     std::make_pair(!o.logFile.empty(), "log=" + o.logFile)})
                if (part.first)
                    got += (got.empty() ? "" : " ") + part.second;
        }
        EXPECT_EQ(0u, got.find(c.parsed)) << (c.args.empty() ? "(none)" : c.args[0]) << ": " << got;
        EXPECT_EQ(got.empty(), !*c.parsed) << got;
    }
}

TEST(UninstallerHandoff, ReachesTheCopyOnceAndOnlyWhenNamed) {
    Handoff none;
    SetEnvironmentVariableA(kProductVariable, nullptr);
    EXPECT_FALSE(takeHandoff(none));

    const Handoff sent[] = {{"Game Launcher.exe", true, "C:\\Logs\\un.log", false},
                             {"g.exe", false, "", true}};
    for (const Handoff& h : sent) {
        SetEnvironmentVariableA(kUnattendedVariable, "1");  // left from an earlier run
        ASSERT_TRUE(writeHandoff(h));
        Handoff got;
        ASSERT_TRUE(takeHandoff(got));
        EXPECT_EQ(h.product, got.product);
        EXPECT_EQ(h.unattended, got.unattended) << h.product;
        EXPECT_EQ(h.logFile, got.logFile);
        EXPECT_EQ(h.windows, got.windows) << h.product;
        // Taken: the game's own uninstall programs started later do not see it.
        for (const char* name :
             {kProductVariable, kUnattendedVariable, kLogVariable, kWindowsVariable})
            EXPECT_EQ(0u, GetEnvironmentVariableA(name, nullptr, 0)) << name;
    }
}

TEST(UninstallerFolders, SameFolderIgnoresCaseAndTrailingBackslashes) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"C:\\Games\\Zone Keeper", "c:\\games\\zone keeper", true},
        {"C:\\Games\\Zone Keeper\\", "C:\\Games\\Zone Keeper", true},
        {"C:\\Games\\Zone Keeper\\\\", "C:\\GAMES\\ZONE KEEPER\\", true},
        {"C:\\Games\\Zone", "C:\\Games\\Zone Keeper", false},
        {"C:\\Games\\Zone Keeper\\Bin", "C:\\Games\\Zone Keeper", false},
        {"C:\\", "C:", false},
        {"C:\\", "c:\\", true},
        {"", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.same, sameFolder(c.a, c.b)) << c.a << " | " << c.b;
}

TEST(UninstallerFolders, LongFormOfAShortPath) {
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
    std::string folder = std::string(temp) + "ZK Uninstaller Long Folder Name";
    CreateDirectoryA(folder.c_str(), nullptr);
    char shortPath[MAX_PATH];
    ASSERT_GT(GetShortPathNameA(folder.c_str(), shortPath, sizeof shortPath), 0u);
    EXPECT_TRUE(sameFolder(longForm(std::string(shortPath) + "\\"), longForm(folder)))
        << shortPath;
    EXPECT_EQ("C:\\No Such\\Folder", longForm("C:\\No Such\\Folder\\"));
    EXPECT_EQ("C:\\No Such", folderOf("C:\\No Such\\Folder"));
    RemoveDirectoryA(folder.c_str());
}

TEST(UninstallerProgress, BarFollowsThePercentage) {
    const struct {
        float percent;
        const char* bar;
    } cases[] = {
        {0.0f, "[--------------------]   0%"},
        {45.4f, "[#########-----------]  45%"},
        {90.9f, "[##################--]  90%"},
        {100.0f, "[####################] 100%"},
        {250.0f, "[####################] 100%"},
        {-3.0f, "[--------------------]   0%"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.bar, progressBar(c.percent)) << c.percent;
}

TEST(UninstallerTexts, GameLanguageElseEnglish) {
    const struct {
        const char* locale;
        UINT id;
        const wchar_t* text;
    } cases[] = {
        {"de", IDS_TITLE, L"Zone deinstallieren"},
        {"de", IDS_QUESTION,
         L"Möchten Sie Zone mit allen zugehörigen Komponenten aus C:\\Z entfernen?"},
        {"DE", IDS_NO_HANDOFF,
         L"Das Deinstallationsprogramm kann das Spiel nicht an seine Kopie übergeben."},
        {"fr_fr", IDS_REMOVED, L"Zone a été supprimé."},
        {"en_us", IDS_QUESTION, L"Remove Zone and all of its components from C:\\Z?"},
        {"it", IDS_TITLE, L"Uninstall Zone"},  // no Italian table
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, Texts(tableLanguage(c.locale)).text(c.id, {"Zone", "C:\\Z"}))
            << c.locale << " " << c.id;
    const struct {
        const wchar_t* pattern;
        const wchar_t* filled;
    } patterns[] = {{L"%2 of %1", L"b of a"}, {L"100%", L"100%"}, {L"%3%0%1", L"%3%0a"}};
    for (const auto& p : patterns)
        EXPECT_EQ(p.filled, fillIn(p.pattern, {"a", "b"}));
}
