// The copy engine and the install log as a host sees them, through the DLL's
// decorated exports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ZKInstall.h"
#include "zktest/harness.h"

using zktest::exists;
using zktest::readFile;
using zktest::writeFile;

namespace {

std::vector<char> mutableText(const std::string& s) {
    std::vector<char> out(s.begin(), s.end());
    out.push_back('\0');
    return out;
}

class CopyApi : public ::testing::Test {
  protected:
    void SetUp() override {
        ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
        CZKCopyFile::copySuspended = false;
    }
    zktest::MessageScript script;
    zktest::ScratchDir dir{"copyapi"};
    CZKCopyFile copier;
};

struct HostProgress {
    int calls = 0;
    __int64 lastTransferred = -1;
    __int64 lastTotal = -1;
};

DWORD CALLBACK hostRoutine(LARGE_INTEGER total, LARGE_INTEGER transferred, LARGE_INTEGER,
                           LARGE_INTEGER, DWORD, DWORD, HANDLE, HANDLE, LPVOID context) {
    _zk_copyprogress* record = static_cast<_zk_copyprogress*>(context);
    HostProgress* seen = static_cast<HostProgress*>(record->reserved);
    ++seen->calls;
    seen->lastTransferred = transferred.QuadPart;
    seen->lastTotal = total.QuadPart;
    return PROGRESS_CONTINUE;
}

TEST_F(CopyApi, HostRoutineHearsOfEveryCopiedFile) {
    // The host's record reaches its routine unchanged; every file is reported
    // whole at least once, whichever copier the system offers.
    for (size_t size : {1, 200000}) {
        SCOPED_TRACE(size);
        std::string data(size, 'z');
        writeFile(dir / "in.bin", data);
        HostProgress seen;
        __int64 expected = 0, copied = 0, done = 77;
        float percent = 0;
        _zk_copyprogress record = {&expected, &copied, &percent, &seen, &done, false, false};
        int cancel = 0;
        EXPECT_TRUE(copier.MyCopyFile((dir / "in.bin").c_str(), (dir / "out.bin").c_str(),
                                      &cancel, hostRoutine, &record));
        EXPECT_EQ(readFile(dir / "out.bin"), data);
        EXPECT_EQ(done, 0) << "the file counter is reset before the copy";
        EXPECT_GE(seen.calls, 1);
        EXPECT_EQ(seen.lastTransferred, static_cast<__int64>(size));
        EXPECT_EQ(seen.lastTotal, static_cast<__int64>(size));
    }
}

TEST_F(CopyApi, ComServerRegisteredOnCopyAndUnregisteredOnRemove) {
    // The system's own registration tool calls the fixture's entries, which
    // record each call in ZK_COM_RECORD.
    const std::string record = dir / "calls.txt";
    SetEnvironmentVariableA("ZK_COM_RECORD", record.c_str());
    for (bool server : {true, false}) {
        SCOPED_TRACE(server ? "server" : "plain DLL");
        zktest::removeTree(record);
        const std::string target = dir / (server ? "server.dll" : "plain.dll");
        const std::string from =
            zktest::binDir() + (server ? "\\zkcomfixture.dll" : "\\zkplainfixture.dll");
        int cancel = 0;
        ASSERT_TRUE(copier.MyCopyFile(from.c_str(), target.c_str(), &cancel, nullptr, nullptr));
        EXPECT_EQ(readFile(record), server ? "register " + target + "\n" : "");
        std::vector<char> path = mutableText(target);
        EXPECT_EQ(copier.Remove(path.data()), 1);
        EXPECT_FALSE(exists(target));
        EXPECT_EQ(readFile(record),
                  server ? "register " + target + "\nunregister " + target + "\n" : "");
    }
    SetEnvironmentVariableA("ZK_COM_RECORD", nullptr);
}

TEST(InstallLogApi, HostEntriesAreAppendedToTheInstallFoldersLog) {
    zktest::ScratchDir dir("logapi");
    char saved[260] = {};
    ZKINSTALL_getGameCacheLocation(saved);
    std::vector<char> folder = mutableText(dir.path());
    ZKINSTALL_setGameCacheLocation(folder.data());

    // Entries leaving the install folder are refused.
    const struct {
        int disc, level;
        const char* path;
    } entries[] = {{1, 1, "Support\\Updater.exe"}, {0, 1, "Saves\\*.* /s"},
                   {1, 1, "..\\..\\Windows\\*.*"},  {2, 3, "C:\\boot.ini"},
                   {3, 2, "Maps\\"}};
    for (const auto& e : entries) {
        std::vector<char> path = mutableText(e.path);
        ZKINSTALL_AddFileListEntry(e.disc, e.level, path.data());
    }
    EXPECT_EQ(readFile(dir / "filelist.txt"),
              "1,1,Support\\Updater.exe\r\n0,1,Saves\\*.* /s\r\n3,2,Maps\\\r\n");
    ZKINSTALL_setGameCacheLocation(saved);
}

} // namespace
