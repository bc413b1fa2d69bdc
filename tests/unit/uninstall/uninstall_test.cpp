// CZKUninstall on scratch installations: the install log replayed inside its own folder only,
// the registry keys that are a product's own, the Start-menu group and desktop link, the
// game's uninstall programs, the runs, and the preparations' exits in a process of their own.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

#include "ZKInstall.h"
#include "uninstall/uninstall.h"
#include "zktest/harness.h"
#include "zktest/regvalues.h"

namespace {

using zktest::exists;
const HKEY HKLM = HKEY_LOCAL_MACHINE;
const std::string kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kShared = "SOFTWARE\\Vantorel\\ZK Core\\Installed Games\\";
const std::string kPid = std::to_string(GetCurrentProcessId());

// Wine keeps a folder link as a Unix symbolic link; the Unix name of a Windows path.
std::string unixName(const std::string& path) {
    typedef char*(__cdecl * UnixNameFn)(const WCHAR*);
    auto fn = reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    std::wstring wide(path.begin(), path.end());
    char* name = fn ? fn(wide.c_str()) : nullptr;
    std::string out = name ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return out;
}

// Starts a Unix program (Wine runs it beside the prefix) and waits until `done` holds.
bool unixCommand(std::string commandLine, bool (*done)(const std::string&),
                 const std::string& path) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                       &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    for (int i = 0; i < 500 && !done(path); ++i)
        Sleep(10);
    return done(path);
}

bool missing(const std::string& path) { return !exists(path); }

class Uninstall : public ::testing::Test {
  protected:
    void SetUp() override {
        ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
        clean();
        zktest::removeTree(dir);
        zktest::makeDirs(work);
        SetCurrentDirectoryA(work.c_str());
    }
    void TearDown() override {
        SetCurrentDirectoryA(zktest::binDir().c_str());
        clean();
        for (const std::string& link : links)
            unixCommand("/bin/rm -f \"" + unixName(link) + "\"", missing, link);
        zktest::removeTree(dir);
    }
    void makeFolderLink(const std::string& link, const std::string& target) {
        links.push_back(link);
        ASSERT_TRUE(
            unixCommand("/bin/ln -s \"" + unixName(target) + "\" \"" + unixName(link) + "\"",
                        zktest::isDirectory, link));
    }
    void clean() {
        for (const std::string& key : {kAppPaths + exe, "SOFTWARE\\" + division, kUninstall + guid,
                                       kShared + division, "SOFTWARE\\0" + division})
            zktest::deleteTree(HKLM, key);
    }

    // What an installation left in the registry, read back by prepareForCancellation; only a
    // game key of the test's own division gets values.
    struct Facts {
        std::string installDir, gameKey = "", coreLink = "", folder = "", installedFrom = "",
            displayName = "";
    };
    void registerGame(const Facts& f) {
        const std::string game = f.gameKey.empty() ? "SOFTWARE\\" + division + "\\Game" : f.gameKey;
        zktest::setText(HKLM, kAppPaths + exe, "Game Registry", game);
        zktest::setNumber(HKLM, kAppPaths + exe, "Installed", 1);
        if (game.find(division) != std::string::npos) {
            zktest::setText(HKLM, game, "Install Dir", f.installDir);
            zktest::setText(HKLM, game, "Product GUID", guid);
            zktest::setText(HKLM, game, "Installed From", f.installedFrom);
            zktest::setText(HKLM, game, "DisplayName", f.displayName);
            zktest::setText(HKLM, game, "Folder", f.folder);
            zktest::setText(HKLM, game, "CoreLink", f.coreLink);
            zktest::setNumber(HKLM, game + "\\1.0", "Language", 3);
        }
        zktest::setText(HKLM, kUninstall + guid, "LogFile", f.installDir + "filelist.txt");
        uninstaller.prepareForCancellation(exe.c_str());
    }
    void registerGame(const std::string& installDir) { registerGame(Facts{installDir}); }

    // Builds files (relative paths below the scratch folder), each holding its own name.
    void plant(const std::vector<std::string>& files) {
        for (const std::string& f : files) {
            std::string path = at(f);
            zktest::makeDirs(path.substr(0, path.rfind('\\')));
            zktest::writeFile(path, f);
        }
    }

    zktest::MessageScript script;
    // Outside the profiles folder, which no install folder may lie in.
    const std::string dir = "C:\\zkuninst_" + kPid;
    const std::string work = dir + "\\temp";
    std::string at(const std::string& relative) const { return dir + "\\" + relative; }
    const std::string division = "ZKUninstTest" + kPid;
    const std::string exe = division + ".exe";
    const std::string guid = "{" + division + "}";
    CZKUninstall uninstaller;
    std::vector<std::string> links;
};

// A tampered log names files outside the install folder, through links and beside it: only
// the game's own files go, the user's save keeps its folder, the empty folders and parents go.
TEST_F(Uninstall, LogReplayRemovesOnlyTheGamesOwnFiles) {
    plant({"Pub\\Game\\cache.dat", "Pub\\Game\\Data\\a.bin", "Pub\\Game\\Data\\sub\\b.bin",
           "Pub\\Game\\Support\\s.txt", "Pub\\Game\\Saves\\user.sav", "Pub\\other.txt",
           "Pub\\Sibling\\s.bin", "Outside\\victim.txt", "Outside\\deep\\v2.txt", "Keep\\k.bin"});
    makeFolderLink(at("Pub\\Game\\Data\\LinkOut"), at("Outside"));
    makeFolderLink(at("Pub\\Game\\Linked"), at("Outside\\deep"));
    const std::vector<std::string> log = {
        "0,0,cache.dat", "1,1,Data /s", "1,1,Support\\*.*", "1,1,Saves\\", "no commas here",
        "1,1,..\\Sibling\\s.bin", "1,1,..\\..\\Outside\\*.* /s", "1,1," + at("Outside\\victim.txt"),
        "1,1,\\Outside\\victim.txt", "1,1,C:Outside", "1,1,Linked\\*.*", "1,1,Linked\\v2.txt",
        "0,0,C_TMP00_.DAT"};
    std::string text;
    for (const std::string& line : log)
        text += line + "\r\n";
    zktest::writeFile(at("Pub\\Game\\filelist.txt"), text);
    zktest::writeFile(work + "\\filelist.txt", text);
    registerGame(at("Pub\\Game\\"));
    float progress = -1;
    EXPECT_TRUE(uninstaller.removeFiles(&progress));

    for (const char* kept : {"Pub\\Game\\Saves\\user.sav", "Pub\\other.txt", "Pub\\Sibling\\s.bin",
                             "Outside\\victim.txt", "Outside\\deep\\v2.txt"})
        EXPECT_TRUE(exists(at(kept))) << kept;
    for (const char* gone :
         {"Pub\\Game\\cache.dat", "Pub\\Game\\Data\\a.bin", "Pub\\Game\\Data\\sub",
          "Pub\\Game\\Support", "Pub\\Game\\filelist.txt"})
        EXPECT_FALSE(exists(at(gone))) << gone;
    EXPECT_FLOAT_EQ(100.0f * 13 / 14, progress);

    // Everything logged: the folder and its empty parents go, up to the first one in use.
    plant({"Pub2\\Game\\f0.bin", "Pub2\\Game\\Sub\\Deeper\\f1.bin"});
    text.clear();
    for (int i = 0; i < 10; ++i)
        text +=
            i < 2 ? (i ? "1,1,Sub\\Deeper\\f1.bin\r\n" : "1,1,f0.bin\r\n") : "2,2,missing.bin\r\n";
    zktest::writeFile(work + "\\filelist.txt", text);
    registerGame(at("Pub2\\Game\\"));
    EXPECT_TRUE(uninstaller.removeFiles(&progress));
    EXPECT_FALSE(exists(at("Pub2")));
    EXPECT_TRUE(exists(at("Keep\\k.bin")));
    EXPECT_FLOAT_EQ(100.0f * 10 / 11, progress);

    // A tampered "Install Dir" that the install-path check refuses is not touched.
    zktest::writeFile(work + "\\filelist.txt", "1,1,*.* /s\r\n");
    SetFileAttributesA(at("Keep").c_str(), FILE_ATTRIBUTE_SYSTEM);
    registerGame(at("Keep\\"));
    EXPECT_TRUE(uninstaller.removeFiles(&progress));
    SetFileAttributesA(at("Keep").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(exists(at("Keep\\k.bin")));
}

// Only keys that are a product's own go: the game key with its division when that empties,
// the shared-list entry and its family, the game's App Paths and Uninstall entries; a "Game
// Registry" naming SOFTWARE or a shared branch leaves everything.
TEST_F(Uninstall, RegistryRemovalTakesOnlyAProductsOwnKeys) {
    // Listed first below SOFTWARE, so a removal of SOFTWARE reaches it.
    const std::string other = "SOFTWARE\\0" + division, game = "SOFTWARE\\" + division;
    struct Case {
        std::string gameKey, coreLink;
        std::vector<std::string> gone, kept;
    } cases[] = {
        {game + "\\Game", division + "\\",
         {game, kShared + division, kAppPaths + exe, kUninstall + guid}, {kShared}},
        {game + "\\Game", "", {game + "\\Game"}, {game + "\\Other Game"}},
        {"SOFTWARE", division, {}, {other, kShared + division + "\\" + exe}},
        {"SOFTWARE\\Microsoft\\" + division, division, {}, {"SOFTWARE\\Microsoft\\" + division}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gameKey + " / " + c.coreLink);
        clean();
        for (const std::string& key : {other, kShared + division + "\\" + exe, c.gameKey + "\\1.0",
                                       game + "\\Other Game"})
            zktest::setNumber(HKLM, key, "Sentinel", 1);
        if (c.kept.size() == 1 && c.kept[0] == kShared)
            zktest::deleteTree(HKLM, game + "\\Other Game");
        registerGame(Facts{"C:\\NoSuchGame\\", c.gameKey, c.coreLink});
        EXPECT_TRUE(uninstaller.removeGameRegistryEntries());
        EXPECT_TRUE(uninstaller.removeUninstallRegistryEntry());
        for (const std::string& key : c.gone)
            EXPECT_FALSE(zktest::keyExists(HKLM, key)) << key;
        for (const std::string& key : c.kept)
            EXPECT_TRUE(zktest::keyExists(HKLM, key)) << key;
        zktest::deleteTree(HKLM, "SOFTWARE\\Microsoft\\" + division);
    }
}

// The group is emptied and removed only when it ends in a backslash and lies inside the Start
// menu; the desktop link's name is one file name, so it cannot reach another folder.
TEST_F(Uninstall, StartMenuGroupAndDesktopLinkStayInTheirFolders) {
    char menuPath[MAX_PATH] = {}, desktopPath[MAX_PATH] = {};
    CZKSystem().getStartMenuPath(menuPath);
    CZKSystem().getDesktopPath(desktopPath);
    const std::string menu = menuPath, desktop = desktopPath;
    ASSERT_TRUE(!menu.empty() && !desktop.empty());
    const std::string group = menu + "\\ZKUT Group " + kPid, game = "ZKUT Game " + kPid;
    const std::string parentLink = desktop + "\\..\\ZKUT" + kPid + ".lnk";
    struct Case {
        std::string folder, displayName;
        bool result;
        std::vector<std::string> plant, gone;  // what stays of the plant is kept
    } cases[] = {
        {group + "\\Game\\", game, true,
         {group + "\\Game\\a.lnk", group + "\\Game\\b.url", desktop + "\\" + game + ".lnk"},
         {group, desktop + "\\" + game + ".lnk"}},
        {group + "\\Game", "..\\ZKUT" + kPid, false,
         {group + "\\Game\\a.lnk", group + "\\Game Notes.lnk", parentLink}, {}},
        {menu + "\\", "", false, {menu + "\\ZKUT" + kPid + ".lnk"}, {}},
        {at("Menu\\"), "", false, {at("Menu\\a.lnk")}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        for (const std::string& f : c.plant) {
            zktest::makeDirs(f.substr(0, f.rfind('\\')));
            zktest::writeFile(f, "link");
        }
        registerGame(Facts{at("Game\\"), "", "", c.folder, "", c.displayName});
        EXPECT_EQ(c.result, uninstaller.removeStartMenu());
        EXPECT_TRUE(uninstaller.removeDesktopIcon());
        for (const std::string& f : c.plant)
            EXPECT_EQ(c.gone.empty(), exists(f)) << f;
        for (const std::string& f : c.gone)
            EXPECT_FALSE(exists(f)) << f;
        for (const std::string& f : c.plant)
            DeleteFileA(f.c_str());
        zktest::removeTree(group);
    }
}
// The game's uninstall programs get the four facts as four arguments, whatever blanks and
// trailing backslashes the folders have: from the install folder, else from the disc's Support
// folder, each copied to the temporary folder and run there; without an install location, none.
TEST_F(Uninstall, GameUninstallProgramsGetTheFactsAsFourArguments) {
    const std::string record = at("record.txt"), menu = "C:\\Start Menu\\My Group\\Game\\";
    char temp[MAX_PATH] = {};
    CZKSystem().getTempPath(temp);
    SetEnvironmentVariableA("ZKFIXTURE_PLAN_Game_uninst", ("record=" + record).c_str());
    struct Case {
        std::string programFolder, installedFrom;
    } cases[] = {{"Pub Game\\", at("Disc One\\")}, {"Disc One\\Support\\", at("Disc One\\")},
                 {"Pub Game\\", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.programFolder + " from " + c.installedFrom);
        zktest::removeTree(at("Pub Game"));
        zktest::removeTree(at("Disc One"));
        DeleteFileA(record.c_str());
        zktest::makeDirs(at(c.programFolder));
        ASSERT_TRUE(CopyFileA((zktest::binDir() + "\\zkfixture.exe").c_str(),
                              at(c.programFolder + "Game_uninst.exe").c_str(), FALSE));
        registerGame(Facts{at("Pub Game\\"), "", "", menu, c.installedFrom});
        EXPECT_TRUE(uninstaller.runGameSpecificUninstallExe());
        const std::string expected = c.installedFrom.empty()
                                         ? ""
                                         : "argc: 5\narg1: " + c.installedFrom + "\narg2: " +
                                               at("Pub Game\\") + "\narg3: " + menu +
                                               "\narg4: 3\ncwd: " + temp + "\n";
        const std::string got = zktest::readFile(record);
        EXPECT_EQ(expected.empty(), got.empty()) << got;
        EXPECT_NE(std::string::npos, got.find(expected)) << got;
    }
    SetEnvironmentVariableA("ZKFIXTURE_PLAN_Game_uninst", nullptr);
}

// The flag is 1 as soon as cancelInstallation returns and 0 when the run is over.  The uninstall
// run removes the files and entries; a rollback without an install folder still removes the
// entries (the host lives on); one before the log existed removes the empty folders the copy made.
TEST_F(Uninstall, RunsReportThroughTheirFlagAndRemoveWhatTheyFind) {
    struct Case {
        int mode;
        std::string folder;  // the rollback's install folder
        bool log, folderStays;
    } cases[] = {{0, "", true, false}, {1, "", false, true}, {1, "Pub\\Game", false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.mode) + " " + c.folder);
        SetCurrentDirectoryA(work.c_str());
        zktest::makeDirs(at("Pub\\Game"));
        if (c.log) {
            plant({"Pub\\Game\\a.bin"});
            zktest::writeFile(work + "\\filelist.txt", "1,1,a.bin\r\n");
        }
        registerGame(at("Pub\\Game\\"));
        float progress = -1;
        int running = 0;
        EXPECT_TRUE(uninstaller.cancelInstallation("", c.folder.empty() ? "" : at(c.folder).c_str(),
                                                   exe.c_str(), &progress, &running, c.mode));
        EXPECT_EQ(1, running);
        for (int i = 0; i < 3000 && running; ++i)
            Sleep(10);
        EXPECT_EQ(0, running);
        EXPECT_EQ(c.folderStays, exists(at("Pub\\Game")));
        EXPECT_FALSE(zktest::keyExists(HKLM, kAppPaths + exe));
        EXPECT_FALSE(zktest::keyExists(HKLM, "SOFTWARE\\" + division));
        EXPECT_FALSE(zktest::keyExists(HKLM, kUninstall + guid));
    }
    // A preparation that stops early keeps nothing of the one before: that game stays.
    registerGame(at("Pub\\Game\\"));
    EXPECT_FALSE(uninstaller.prepareForCancellation(("Not" + exe).c_str()));
    uninstaller.removeGameRegistryEntries();
    uninstaller.removeUninstallRegistryEntry();
    EXPECT_TRUE(zktest::keyExists(HKLM, "SOFTWARE\\" + division + "\\Game"));
    EXPECT_TRUE(zktest::keyExists(HKLM, kUninstall + guid));
}

// The preparation's stops end the uninstaller with their codes; from the install folder it
// moves itself and the library to the temporary folder and starts the copy there; run from the
// temporary folder (named in its short form, any case) it takes a fresh copy of the log, and
// never keeps a stale one.
TEST_F(Uninstall, PreparationStopsRelaunchesOrCopiesTheLog) {
    const std::string temp = at("Temporary Folder Long Name"), install = at("Pub\\Game");
    zktest::makeDirs(temp);
    char shortForm[MAX_PATH] = {};
    GetShortPathNameA(temp.c_str(), shortForm, sizeof shortForm);
    const std::string shortTemp = shortForm;
    ASSERT_NE(temp, shortTemp);
    std::string upper = temp;
    CharUpperA(&upper[0]);
    char tmp[MAX_PATH] = {};
    GetEnvironmentVariableA("TMP", tmp, sizeof tmp);
    SetEnvironmentVariableA("TMP", upper.c_str());
    SetEnvironmentVariableA("ZKFIXTURE_PLAN_ZKUninstall", ("record=" + at("relaunch.txt")).c_str());
    plant({"Pub\\Game\\ZKInstall.dll", "Pub\\Game\\filelist.txt"});
    ASSERT_TRUE(CopyFileA((zktest::binDir() + "\\zkfixture.exe").c_str(),
                          (install + "\\ZKUninstall.exe").c_str(), FALSE));
    HANDLE held = INVALID_HANDLE_VALUE;
    struct Case {
        std::string name, key, folder;
        std::function<void()> setup;
        DWORD code;
        std::string says;
    } cases[] = {
        {"no product key", "", install, nullptr, DWORD(-1), "Could not find product key"},
        {"no App Paths entry", exe, install, [&] { zktest::deleteTree(HKLM, kAppPaths + exe); },
         DWORD(-2), "Could not find App registry"},
        {"not installed", exe, install,
         [&] { zktest::setNumber(HKLM, kAppPaths + exe, "Installed", 0); }, DWORD(-2),
         "Game not installed"},
        {"no game key", exe, install, [&] { zktest::deleteTree(HKLM, "SOFTWARE\\" + division); },
         DWORD(-2), "Could not find Product Registry"},
        {"no Uninstall entry", exe, install, [&] { zktest::deleteTree(HKLM, kUninstall + guid); },
         DWORD(-2), "Could not find Uninstall Entry"},
        {"from the install folder", exe, install, nullptr, 0, ""},
        {"a copy still running", exe, install,
         [&] {
             held = CreateFileA((temp + "\\ZKUninstall.exe").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
         },
         0, "Existing Uninstall Running"},
        {"from the temporary folder", exe, shortTemp, nullptr, 3, "returned 0"},
        {"a log that does not copy", exe, shortTemp,
         [&] { zktest::setText(HKLM, kUninstall + guid, "LogFile", at("none\\filelist.txt")); }, 3,
         "returned 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        registerGame(install + "\\");
        if (c.setup)
            c.setup();
        zktest::RunResult r =
            zktest::run("\"" + zktest::binDir() + "\\zkhostprobe.exe\" uninstall-prepare \"" +
                            install + "\\ZKUninstall.exe\" \"" + c.key + "\" 1",
                        c.folder);
        EXPECT_EQ(c.code, r.exitCode) << r.output;
        EXPECT_NE(std::string::npos, r.output.find(c.says)) << r.output;
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        held = INVALID_HANDLE_VALUE;
        if (c.name == "from the install folder") {
            EXPECT_TRUE(exists(temp + "\\ZKInstall.dll"));
            std::string relaunched;  // written by the copy, which runs on its own
            for (int i = 0; i < 1000 && relaunched.find("cwd:") == std::string::npos;
                 ++i, Sleep(10))
                relaunched = zktest::readFile(at("relaunch.txt"));
            EXPECT_NE(std::string::npos, relaunched.find("arg1: -debug")) << relaunched;
        }
        if (c.code == 3)  // the fresh copy, or none at all when it does not copy
            EXPECT_EQ(c.name == "from the temporary folder" ? "Pub\\Game\\filelist.txt" : "",
                      zktest::readFile(temp + "\\filelist.txt"));
    }
    SetEnvironmentVariableA("TMP", tmp[0] ? tmp : nullptr);
    SetEnvironmentVariableA("ZKFIXTURE_PLAN_ZKUninstall", nullptr);
}

} // namespace
