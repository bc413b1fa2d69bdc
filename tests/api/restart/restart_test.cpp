// The relaunch from the temporary folder, the run-once links and the game's
// start, through the exports.  Nothing here restarts Windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include <string>

#include "ZKInstall.h"
#include "zktest/harness.h"

namespace {

const HMODULE s_texts = LoadLibraryA("AutoRunGUI.dll");

std::string startupFolder() { return CZKSystem::m_startUpMenuPath; }

// An environment variable for the life of the object (inherited by children).
class EnvVar {
  public:
    EnvVar(const char* name, const std::string& value) : m_name(name) {
        char old[4096];
        DWORD n = GetEnvironmentVariableA(name, old, sizeof old);
        m_had = n > 0 && n < sizeof old;
        if (m_had)
            m_old = old;
        SetEnvironmentVariableA(name, value.c_str());
    }
    ~EnvVar() { SetEnvironmentVariableA(m_name, m_had ? m_old.c_str() : nullptr); }

  private:
    const char* m_name;
    std::string m_old;
    bool m_had = false;
};

// Waits up to 20 s for `text` in a record a detached program writes.
std::string awaitRecord(const std::string& path, const std::string& text) {
    std::string record;
    for (int i = 0; i < 200; ++i) {
        if ((record = zktest::readFile(path)).find(text) != std::string::npos)
            break;
        Sleep(100);
    }
    return record;
}

struct LinkFields {
    std::string target, arguments, folder, description;
};

LinkFields readLink(const std::string& path) {
    LinkFields fields;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    std::wstring wide(path.begin(), path.end());
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) {
        char text[1024] = {};
        link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
        fields.target = text;
        link->GetArguments(text, sizeof text);
        fields.arguments = text;
        link->GetWorkingDirectory(text, sizeof text);
        fields.folder = text;
        link->GetDescription(text, sizeof text);
        fields.description = text;
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    return fields;
}

void removeRestartLinks() {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((startupFolder() + "\\ZK_RESTART_*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do
        DeleteFileA((startupFolder() + "\\" + found.cFileName).c_str());
    while (FindNextFileA(h, &found));
    FindClose(h);
}

// No ZK_RESTART link outlives a test.
class Restart : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE("", startupFolder());
        zktest::makeDirs(startupFolder());
        removeRestartLinks();
    }
    void TearDown() override { removeRestartLinks(); }
};

TEST_F(Restart, RunOnceLinksAreNumberedAndInitCleansThoseUpTo998) {
    zktest::MessageScript script;
    ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
    char exe[] = "Game.exe";
    ZKINSTALL_init(exe);
    std::string program = zktest::binDir() + "\\zkfixture.exe", folder = zktest::binDir();
    std::string arguments = "/S -restart -dir \"D:\\Setup Files\\\\\"", second = "-restart";
    EXPECT_EQ(1, ZKINSTALL_runOnceOnReboot(&program[0], &folder[0], &arguments[0]));
    EXPECT_EQ(2, ZKINSTALL_runOnceOnReboot(&program[0], &folder[0], &second[0]));
    const std::string first = startupFolder() + "\\ZK_RESTART_001.lnk";
    const LinkFields link = readLink(first);
    EXPECT_EQ(0, _stricmp(program.c_str(), link.target.c_str())) << link.target;
    EXPECT_EQ(arguments, link.arguments);
    EXPECT_EQ(0, _stricmp(folder.c_str(), link.folder.c_str())) << link.folder;
    EXPECT_EQ(first, link.description);
    EXPECT_EQ("-restart", readLink(startupFolder() + "\\ZK_RESTART_002.lnk").arguments);

    const std::string last = startupFolder() + "\\ZK_RESTART_999.lnk",
                      other = startupFolder() + "\\ZK Other Program.lnk";
    ASSERT_TRUE(CopyFileA(first.c_str(), last.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(first.c_str(), other.c_str(), FALSE));
    ZKINSTALL_init(exe);
    EXPECT_FALSE(zktest::exists(first));
    EXPECT_FALSE(zktest::exists(startupFolder() + "\\ZK_RESTART_002.lnk"));
    EXPECT_TRUE(zktest::exists(last));
    EXPECT_TRUE(zktest::exists(other));
    DeleteFileA(other.c_str());
    EXPECT_TRUE(ZKINSTALL_removeRunOnceOnReboot(999));
    EXPECT_FALSE(zktest::exists(last));
    EXPECT_TRUE(ZKINSTALL_removeRunOnceOnReboot(5));  // none there
    // The counter lives as long as the process, past init.
    EXPECT_EQ(3, ZKINSTALL_runOnceOnReboot(&program[0], &folder[0], &second[0]));
    EXPECT_TRUE(script.calls().empty());
}

// A child process relaunches a stand-in front end (zkfixture.exe recording
// its arguments) from a temporary folder with a long name that its Windows
// parent gave it.
TEST_F(Restart, RelaunchFromTheTemporaryFolderHandsEveryArgumentOn) {
    zktest::ScratchDir dir{"zkrelaunch"};
    const std::string temp = dir / "ZK temporary folder with a rather long name",
                      disc = dir / "Disc One", record = dir / "relaunched.txt",
                      copy = temp + "\\AutoRun.exe", library = temp + "\\ZKInstall.dll";
    zktest::makeDirs(temp);
    zktest::makeDirs(disc);
    const std::string frontEnd = zktest::readFile(zktest::binDir() + "\\zkfixture.exe");
    ASSERT_FALSE(frontEnd.empty());
    zktest::writeFile(disc + "\\AutoRun.exe", frontEnd);
    zktest::writeFile(disc + "\\ZKInstall.dll", "library stand-in");
    EnvVar tmp("TMP", temp), tempVar("TEMP", temp),
        plan("ZKFIXTURE_PLAN_AutoRun", "record=" + record);

    const struct {
        const char* what;
        std::string source;
        const char* stale;  // what the temporary folder holds first
        bool locked;        // ... open, so that it cannot be deleted
        std::string library;
    } rows[] = {
        {"from the disc over a read-only copy", disc + "\\", "old", false, "library stand-in"},
        {"already in the temporary folder", temp, nullptr, false, ""},
        {"over a copy that cannot be deleted", disc, "old", true, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        DeleteFileA(record.c_str());
        SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(copy.c_str());
        DeleteFileA(library.c_str());
        zktest::writeFile(copy, row.stale ? row.stale : frontEnd);
        if (row.stale)
            SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_READONLY);
        HANDLE lock = row.locked ? CreateFileA(copy.c_str(), GENERIC_READ, 0, nullptr,
                                               OPEN_EXISTING, 0, nullptr)
                                 : INVALID_HANDLE_VALUE;
        zktest::RunResult run;
        {
            EnvVar relaunch("ZKHOSTPROBE_RELAUNCH", row.source + "|D:\\");
            run = zktest::run("\"" + zktest::binDir() + "\\zkhostprobe.exe\" a \"b c\"");
        }
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        EXPECT_EQ(0u, run.exitCode) << run.output;
        EXPECT_EQ("", run.output);  // no message, and the relaunch never returns
        EXPECT_EQ(row.library, zktest::readFile(library));
        EXPECT_FALSE(zktest::exists(temp + "\\AutoRunGUI.dll"));
        if (row.locked) {
            EXPECT_EQ("old", zktest::readFile(copy));
            continue;
        }
        EXPECT_TRUE(frontEnd == zktest::readFile(copy)) << "the front end was not copied";
        const std::string got = awaitRecord(record, "end AutoRun");
        EXPECT_NE(std::string::npos, got.find("argc: 6\narg1: a\narg2: b c\narg3: -restart\n"
                                              "arg4: -dir\narg5: D:\\\ncwd: " + temp + "\n"))
            << got;
    }
    SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Restart, RunGameStartsTheGameFoundBelowTheInstallFolder) {
    ASSERT_TRUE(s_texts != nullptr);
    zktest::MessageScript script;
    ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
    zktest::ScratchDir dir{"zkgame"};
    const std::string folder = dir / "Game Folder", record = dir / "game.txt", hold = dir / "hold";
    zktest::makeDirs(folder + "\\Bin");
    char previous[MAX_PATH];
    ASSERT_NE(0u, GetCurrentDirectoryA(sizeof previous, previous));
    std::string path = folder;

    char missing[] = "ZKMissingGame.exe";
    ZKINSTALL_init(missing);
    ZKINSTALL_setGameCacheLocation(&path[0]);
    EXPECT_EQ(0, ZKINSTALL_runGame(&path[0]));
    char text37[1024] = {};
    ZKINSTALL_getStringFromDLLorEXE(37, text37, sizeof text37 - 1);  // false: from AutoRunGUI.dll
    ASSERT_EQ(1u, script.calls().size());
    EXPECT_NE(std::string::npos, std::string(text37).find("could not be found")) << text37;
    EXPECT_EQ(text37, script.calls()[0].text);
    EXPECT_EQ(folder + "\\ZKMissingGame.exe", script.calls()[0].caption);

    // A game that keeps running: waited for only until it shows up.
    ASSERT_TRUE(CopyFileA((zktest::binDir() + "\\zkfixture.exe").c_str(),
                          (folder + "\\Bin\\ZKRunGame.exe").c_str(), FALSE));
    zktest::writeFile(hold, "");
    EnvVar plan("ZKFIXTURE_PLAN_ZKRunGame", "record=" + record + "|hold=" + hold);
    UINT original = 0, after = 0;
    SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &original, 0);
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(123456), 0);
    char game[] = "ZKRunGame.exe";
    ZKINSTALL_init(game);
    ZKINSTALL_setGameCacheLocation(&path[0]);
    ULONGLONG started = GetTickCount64();
    EXPECT_EQ(1, ZKINSTALL_runGame(&path[0]));
    EXPECT_LT(GetTickCount64() - started, 9000u);
    SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &after, 0);
    EXPECT_EQ(123456u, after);
    EXPECT_NE(std::string::npos, zktest::readFile(record).find("cwd: " + folder + "\n"));
    DeleteFileA(hold.c_str());
    EXPECT_NE(std::string::npos, awaitRecord(record, "end ZKRunGame").find("start ZKRunGame"));
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                          reinterpret_cast<void*>(static_cast<UINT_PTR>(original)),
                          SPIF_UPDATEINIFILE);
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(1u, script.calls().size());
}

} // namespace
