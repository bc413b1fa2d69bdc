// CZKUninstall on scratch installations: the install log replayed inside its own folder only,
// the registry keys that are a product's own, the Start-menu group and desktop link, the
// game's uninstall programs, the runs, and the preparations' exits in a process of their own.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

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
bool unixCommand(std::string commandLine, bool (*done)(const std::string&), const std::string& path) {
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
        ASSERT_TRUE(unixCommand("/bin/ln -s \"" + unixName(target) + "\" \"" + unixName(link) + "\"",
                                zktest::isDirectory, link));
    }
    void clean() {
        for (const std::string& key : {kAppPaths + exe, "SOFTWARE\\" + division, kUninstall + guid,
                                       kShared + division, "SOFTWARE\\" + division + "Other"})
            zktest::deleteTree(HKLM, key);
    }

    // What an installation left in the registry, read back by prepareForCancellation.
    void registerGame(const std::string& installDir, const std::string& gameKey,
                      const std::string& coreLink = "", const std::string& folder = "",
                      const std::string& installedFrom = "") {
        zktest::setText(HKLM, kAppPaths + exe, "Game Registry", gameKey);
        zktest::setNumber(HKLM, kAppPaths + exe, "Installed", 1);
        zktest::setText(HKLM, gameKey, "Install Dir", installDir);
        zktest::setText(HKLM, gameKey, "Product GUID", guid);
        zktest::setText(HKLM, gameKey, "Installed From", installedFrom);
        zktest::setText(HKLM, gameKey, "DisplayName", "ZKUT Game " + kPid);
        zktest::setText(HKLM, gameKey, "Folder", folder);
        if (!coreLink.empty())
            zktest::setText(HKLM, gameKey, "CoreLink", coreLink);
        zktest::setNumber(HKLM, gameKey + "\\1.0", "Language", 3);
        zktest::setText(HKLM, kUninstall + guid, "LogFile", installDir + "filelist.txt");
        uninstaller.prepareForCancellation(exe.c_str());
    }

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
    registerGame(at("Pub\\Game\\"), "SOFTWARE\\" + division + "\\Game");
    float progress = -1;
    EXPECT_TRUE(uninstaller.removeFiles(&progress));

    for (const char* kept : {"Pub\\Game\\Saves\\user.sav", "Pub\\other.txt", "Pub\\Sibling\\s.bin",
                             "Outside\\victim.txt", "Outside\\deep\\v2.txt"})
        EXPECT_TRUE(exists(at(kept))) << kept;
    for (const char* gone : {"Pub\\Game\\cache.dat", "Pub\\Game\\Data\\a.bin", "Pub\\Game\\Data\\sub",
                             "Pub\\Game\\Support", "Pub\\Game\\filelist.txt"})
        EXPECT_FALSE(exists(at(gone))) << gone;
    EXPECT_FLOAT_EQ(100.0f * 13 / 14, progress);

    // Everything logged: the folder and its empty parents go, up to the first one in use.
    plant({"Pub2\\Game\\f0.bin", "Pub2\\Game\\Sub\\Deeper\\f1.bin"});
    text.clear();
    for (int i = 0; i < 10; ++i)
        text += i < 2 ? (i ? "1,1,Sub\\Deeper\\f1.bin\r\n" : "1,1,f0.bin\r\n") : "2,2,missing.bin\r\n";
    zktest::writeFile(work + "\\filelist.txt", text);
    registerGame(at("Pub2\\Game\\"), "SOFTWARE\\" + division + "\\Game");
    EXPECT_TRUE(uninstaller.removeFiles(&progress));
    EXPECT_FALSE(exists(at("Pub2")));
    EXPECT_TRUE(exists(at("Keep\\k.bin")));
    EXPECT_FLOAT_EQ(100.0f * 10 / 11, progress);

    // A tampered "Install Dir" that the install-path check refuses is not touched.
    zktest::writeFile(work + "\\filelist.txt", "1,1,*.* /s\r\n");
    SetFileAttributesA(at("Keep").c_str(), FILE_ATTRIBUTE_SYSTEM);
    registerGame(at("Keep\\"), "SOFTWARE\\" + division + "\\Game");
    EXPECT_TRUE(uninstaller.removeFiles(&progress));
    SetFileAttributesA(at("Keep").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(exists(at("Keep\\k.bin")));
}

}  // namespace
