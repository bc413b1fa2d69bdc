// Rolling back a real installation of the generated three-disc set through the exports only:
// ZKINSTALL_cancelInstallGame while the copy is paused and before the copy has even begun.  The
// uninstall run of a registered game is driven end to end through ZKUninstall.exe.
#include <gtest/gtest.h>

#include <string>

#include "ZKInstall.h"
#include "zktest/discs.h"
#include "zktest/harness.h"
#include "zktest/tree.h"

namespace {

const HMODULE s_strings = LoadLibraryA("AutoRunGUI.dll");
const HKEY HKLM = HKEY_LOCAL_MACHINE;
const std::string kAppKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ZoneKeeper.exe";
const std::string kGameKey = "SOFTWARE\\Vantorel\\Zone Keeper Test";
const std::string kUninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\5A1C0E77-3B2D-4F60-9E1A-7C4D2B8F0A11";

class UninstallApi : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(zktest::haveDiscDrives() && s_strings);
        for (int disc = 1; disc <= 3; ++disc) {
            zktest::insertEmptyDisc("def"[disc - 1]);
            zktest::copyTree(zktest::fixturesDir() + "\\discset\\Disk" + std::to_string(disc),
                             zktest::discFolder("def"[disc - 1]));
        }
        clean();
        zktest::writeFile(root + "\\marker.txt", "stops the walk up");
        ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
        ASSERT_TRUE(SetCurrentDirectoryA("D:\\"));
        char exe[] = "AutoRun.exe";
        ASSERT_TRUE(ZKINSTALL_init(exe) && ZKINSTALL_readSettings() && ZKINSTALL_setLanguage(1));
        ZKINSTALL_setGameCacheLocation(&target[0]);
    }
    void TearDown() override { clean(); }
    void clean() {
        zktest::removeTree(root);
        zktest::makeDirs(root);
        for (const std::string& key : {kAppKey, kGameKey, kUninstallKey})
            zktest::deleteTree(HKLM, key);
    }

    // Starts the copy; `whilePolling` may pause or cancel it and answers true to stop polling.
    template <typename F>
    void copy(F whilePolling) {
        ASSERT_TRUE(ZKINSTALL_copyCacheFiles(3, &running, currentFile, &percent, &cancel, 923813,
                                             &thread));
        while (WaitForSingleObject(thread, 5) == WAIT_TIMEOUT && !whilePolling()) {
        }
    }

    // The rollback through the export; its flag is up at once and down within a minute.
    void cancelInstallation() {
        int rollingBack = 0;
        float progress = -1;
        EXPECT_TRUE(ZKINSTALL_cancelInstallGame(&running, &rollingBack, &progress, &cancel));
        EXPECT_EQ(1, rollingBack);
        for (int i = 0; i < 6000 && rollingBack; ++i)
            Sleep(10);
        EXPECT_EQ(0, rollingBack);
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 0))
            << "the copy outlived the rollback";
        EXPECT_FALSE(zktest::exists(root + "\\Pub")) << "the install folder and its empty parent";
        EXPECT_TRUE(zktest::exists(root + "\\marker.txt"));
        EXPECT_LE(progress, 100.0f);
        for (const std::string& key : {kAppKey, kGameKey, kUninstallKey})  // the restart flag's too
            EXPECT_FALSE(zktest::keyExists(HKLM, key)) << key;
        CloseHandle(thread);
    }

    zktest::DiscDrivesGuard drives;
    zktest::MessageScript script;
    // Outside the profiles folder, which no install folder may lie in.
    const std::string root = "C:\\zkapiuninst_" + std::to_string(GetCurrentProcessId());
    std::string target = root + "\\Pub\\Game";
    int running = 0, cancel = 0;
    float percent = 0;
    char currentFile[1024] = {};
    void* thread = nullptr;
};

// Paused in the middle of the copy, with the install log open: the cancel wakes the copy,
// waits for it to end and removes the folder, its empty parent and the restart links.
TEST_F(UninstallApi, CancelWhilePausedRemovesEverythingTheCopyMade) {
    const std::string startup = CZKSystem::m_startUpMenuPath;
    for (const char* link : {"\\ZK_RESTART_000.lnk", "\\ZK_RESTART_998.lnk"})
        zktest::writeFile(startup + link, "link");
    copy([&] {
        if (CZKCopyFile::copySuspended ||
            std::string(currentFile).find("Data1") == std::string::npos)
            return false;
        CZKCopyFile::copySuspended = true;
        return true;
    });
    for (DWORD count = 0; count == 0; Sleep(20)) {  // until the worker has suspended itself
        count = SuspendThread(thread);
        ResumeThread(thread);
    }
    ASSERT_TRUE(zktest::exists(target + "\\filelist.txt"));
    cancelInstallation();
    EXPECT_FALSE(CZKCopyFile::copySuspended);
    for (const char* link : {"\\ZK_RESTART_000.lnk", "\\ZK_RESTART_998.lnk"})
        EXPECT_FALSE(zktest::exists(startup + link)) << link;
}

// A cancel in the copy's first second, before it has made anything: the rollback waits for
// the copy, which stops at once, instead of running before a copy that then installs it all.
TEST_F(UninstallApi, CancelBeforeTheCopyBeganLeavesNothing) {
    copy([] { return true; });
    cancelInstallation();
}

} // namespace
