// The copy engine and the install log as a host sees them, through the DLL's decorated exports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ZKInstall.h"
#include "zktest/harness.h"

using zktest::readFile;

namespace {

class CopyApi : public ::testing::Test {
  protected:
    void SetUp() override {
        ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
        CZKCopyFile::copySuspended = false;
    }
    zktest::MessageScript script;
    zktest::ScratchDir dir{"copyapi"};
    CZKCopyFile copier;
    int cancel = 0;
};

// What the host's routine last heard, kept in the record's reserved field.
struct HostProgress {
    int calls = 0;
    __int64 transferred = -1, total = -1;
};

DWORD CALLBACK hostRoutine(LARGE_INTEGER total, LARGE_INTEGER transferred, LARGE_INTEGER,
                           LARGE_INTEGER, DWORD, DWORD, HANDLE, HANDLE, LPVOID context) {
    auto* seen = static_cast<HostProgress*>(static_cast<_zk_copyprogress*>(context)->reserved);
    ++seen->calls;
    seen->transferred = transferred.QuadPart;
    seen->total = total.QuadPart;
    return PROGRESS_CONTINUE;
}

// The host's record reaches its routine unchanged; every file is reported whole at least once,
// whichever copier the system offers.
TEST_F(CopyApi, HostRoutineHearsOfEveryCopiedFile) {
    for (size_t size : {1, 200000}) {
        std::string data(size, 'z');
        zktest::writeFile(dir / "in.bin", data);
        HostProgress seen;
        __int64 expected = 0, copied = 0, done = 77;
        float percent = 0;
        _zk_copyprogress record = {&expected, &copied, &percent, &seen, &done, false, false};
        EXPECT_TRUE(copier.MyCopyFile((dir / "in.bin").c_str(), (dir / "out.bin").c_str(),
                                      &cancel, hostRoutine, &record));
        EXPECT_EQ(readFile(dir / "out.bin"), data) << size;
        EXPECT_EQ(done, 0) << "the file counter is reset before the copy";
        EXPECT_GE(seen.calls, 1) << size;
        EXPECT_EQ(seen.transferred, static_cast<__int64>(size));
        EXPECT_EQ(seen.total, static_cast<__int64>(size));
    }
}

// The system's own registration tool calls the fixture's entries, which record each call in
// ZK_COM_RECORD.
TEST_F(CopyApi, ComServerRegisteredOnCopyAndUnregisteredOnRemove) {
    const std::string record = dir / "calls.txt", target = dir / "server.dll";
    SetEnvironmentVariableA("ZK_COM_RECORD", record.c_str());
    ASSERT_TRUE(copier.MyCopyFile((zktest::binDir() + "\\zkcomfixture.dll").c_str(),
                                  target.c_str(), &cancel, nullptr, nullptr));
    EXPECT_EQ(readFile(record), "register " + target + "\n");
    std::string removable = target;
    EXPECT_EQ(copier.Remove(&removable[0]), 1);
    EXPECT_FALSE(zktest::exists(target));
    EXPECT_EQ(readFile(record), "register " + target + "\nunregister " + target + "\n");
    SetEnvironmentVariableA("ZK_COM_RECORD", nullptr);
}

// Entries leaving the install folder are refused.
TEST(InstallLogApi, HostEntriesAreAppendedToTheInstallFoldersLog) {
    zktest::ScratchDir dir("logapi");
    char saved[260] = {};
    ZKINSTALL_getGameCacheLocation(saved);
    std::string folder = dir.path();
    ZKINSTALL_setGameCacheLocation(&folder[0]);
    for (std::string entry : {"1,1,Support\\Updater.exe", "0,1,Saves\\*.* /s",
                              "1,1,..\\..\\Windows\\*.*", "2,3,C:\\boot.ini", "3,2,Maps\\"})
        ZKINSTALL_AddFileListEntry(entry[0] - '0', entry[2] - '0', &entry[4]);
    EXPECT_EQ(readFile(dir / "filelist.txt"),
              "1,1,Support\\Updater.exe\r\n0,1,Saves\\*.* /s\r\n3,2,Maps\\\r\n");
    ZKINSTALL_setGameCacheLocation(saved);
}

} // namespace
