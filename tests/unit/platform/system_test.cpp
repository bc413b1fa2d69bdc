// System facts: operating-system names, locale rule, program start-up and the
// restart request.
#include <gtest/gtest.h>

#include <string>

#include "ZKInstall.h"
#include "core/host.h"
#include "core/installer.h"
#include "core/text.h"
#include "platform/system_seams.h"
#include "zktest/harness.h"

namespace {

TEST(SystemFacts, OperatingSystemNames) {
    struct Case {
        DWORD platform, major, minor;
        const char* name;
        bool nt;
    } cases[] = {
        {VER_PLATFORM_WIN32s, 3, 10, "Microsoft Win32s", false},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 0, "Windows 95", false},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 10, "Windows 98", false},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 90, "Windows ME", false},
        {VER_PLATFORM_WIN32_NT, 4, 0, "Windows NT", true},
        {VER_PLATFORM_WIN32_NT, 5, 0, "Windows 2000", true},
        {VER_PLATFORM_WIN32_NT, 5, 1, "Windows XP", true},
        {VER_PLATFORM_WIN32_NT, 5, 2, "Windows XP", true},
        {VER_PLATFORM_WIN32_NT, 6, 0, "Window Vista", true},
        {VER_PLATFORM_WIN32_NT, 6, 1, "Window Vista", true},
        {VER_PLATFORM_WIN32_NT, 10, 0, "Window Vista", true},
        {7, 1, 0, "Unknown", false},
    };
    for (const Case& c : cases) {
        bool nt = !c.nt;
        EXPECT_STREQ(c.name, zk::osNameFor(c.platform, c.major, c.minor, &nt))
            << c.platform << " " << c.major << "." << c.minor;
        EXPECT_EQ(c.nt, nt) << c.name;
    }
}

TEST(SystemFacts, NorthAmericaIsUnitedStatesOrCanadianEnglish) {
    struct Case {
        const char* locale;
        bool na;
    } cases[] = {
        {"00000409", true}, {"00001009", true}, {"00000809", false}, {"00000407", false},
        {"0409", true},     {"409", false},     {"", false},         {"00040904", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.na, zk::isNorthAmericanLocale(c.locale)) << c.locale;
}

TEST(SystemFacts, UnreadableLocaleKeyIsReportedAndNotNorthAmerica) {
    char locale[260] = "unchanged";
    bool na = true;
    // Before the host has set a callback: nothing waits, nothing is decided.
    zk::g_messageBox = nullptr;
    zk::readLocale("Control Panel\\NoSuchKeyForZKTests", locale, &na);
    EXPECT_FALSE(na);
    EXPECT_STREQ("unchanged", locale);

    zktest::MessageScript script;
    zk::g_messageBox = zktest::MessageScript::callback;
    zk::readLocale("Control Panel\\NoSuchKeyForZKTests", locale, &na);
    zk::g_messageBox = nullptr;
    ASSERT_EQ(1u, script.calls().size());
    EXPECT_EQ("Error", script.calls()[0].caption);
    EXPECT_EQ(unsigned(MB_ICONINFORMATION), script.calls()[0].style);
    EXPECT_FALSE(script.calls()[0].text.empty());

    zk::readLocale("Control Panel\\International", locale, &na);
    EXPECT_STREQ(CZKSystem::m_locale, locale);
    EXPECT_EQ(CZKSystem::m_isNorthAmerica, na);
}

TEST(SystemFacts, ConvertVersionAndFileExists) {
    CZKSystem system;
    char v1[] = "1,2,3,4";
    EXPECT_TRUE(system.convertVersion(v1));
    EXPECT_STREQ("1.2.3.4", v1);
    char v2[] = "6.0.2900";
    EXPECT_FALSE(system.convertVersion(v2));
    EXPECT_STREQ("6.0.2900", v2);

    zktest::ScratchDir dir;
    zktest::makeDirs(dir / "folder");
    zktest::writeFile(dir / "a.txt", "a");
    EXPECT_TRUE(system.fileExists((dir / "a.txt").c_str()));
    EXPECT_TRUE(system.fileExists((dir / "*.txt").c_str()));
    EXPECT_FALSE(system.fileExists((dir / "folder").c_str()));
    EXPECT_FALSE(system.fileExists((dir / "missing.txt").c_str()));
}

// execAndWait against the fixture program: exit codes, quoting, working folder,
// the poll budget and the missing-program questions.
class ExecAndWait : public ::testing::Test {
  protected:
    void SetUp() override {
        zk::g_messageBox = zktest::MessageScript::callback;
        fixture = zktest::binDir() + "\\zkfixture.exe";
        record = dir / "record.txt";
    }
    void TearDown() override { zk::g_messageBox = nullptr; }
    zktest::ScratchDir dir;
    zktest::MessageScript script;
    std::string fixture, record;
};

TEST_F(ExecAndWait, ReturnsTheExitCodeAndRunsInTheFolder) {
    CZKSystem system;
    std::string args = "--record \"" + record + "\" --exit 42";
    EXPECT_EQ(42u, system.execAndWait(fixture.c_str(), dir.path().c_str(), args.c_str(), 0, 1));
    std::string log = zktest::readFile(record);
    EXPECT_NE(std::string::npos, log.find("cmdline: \"" + fixture + "\" --record")) << log;
    EXPECT_NE(std::string::npos, log.find("cwd: " + dir.path())) << log;
    EXPECT_TRUE(script.calls().empty());
}

TEST_F(ExecAndWait, EmptyArgumentsGiveTheQuotedProgramAlone) {
    CZKSystem system;
    system.setDebugMode(true);  // shows the command line first
    script.answer(IDOK);
    EXPECT_EQ(0u, system.execAndWait(fixture.c_str(), dir.path().c_str(), "", 0, 1));
    ASSERT_EQ(1u, script.calls().size());
    EXPECT_EQ("\"" + fixture + "\"", script.calls()[0].text);
    EXPECT_EQ("CreateProcess", script.calls()[0].caption);
}

TEST_F(ExecAndWait, TimeoutLeavesTheProgramRunningAndGives259) {
    CZKSystem system;
    std::string args = "--sleep 4000 --record \"" + record + "\"";
    DWORD before = GetTickCount();
    EXPECT_EQ(259u, system.execAndWait(fixture.c_str(), dir.path().c_str(), args.c_str(), 5, 1));
    EXPECT_LT(GetTickCount() - before, 3000u);
    // The child goes on and finishes its work later.
    for (int i = 0; i < 100 && !zktest::exists(record); ++i)
        Sleep(100);
    EXPECT_TRUE(zktest::exists(record));
}

TEST_F(ExecAndWait, RestoresTheCurrentFolder) {
    char before[MAX_PATH], after[MAX_PATH];
    GetCurrentDirectoryA(sizeof before, before);
    CZKSystem system;
    system.execAndWait(fixture.c_str(), dir.path().c_str(), "--exit 3", 0, 1);
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_STREQ(before, after);
}

TEST_F(ExecAndWait, FailedStartWithoutTimeoutIsReportedOnce) {
    // A file that exists but is no program: the start fails and, with no poll
    // budget to spend, is reported at once instead of being retried for ever.
    zktest::writeFile(dir / "broken.exe", "not a program");
    CZKSystem system;
    script.answer(IDOK);
    EXPECT_EQ(0xFFFFFFFFu,
              system.execAndWait((dir / "broken.exe").c_str(), dir.path().c_str(), "", 0, 1));
    ASSERT_EQ(1u, script.calls().size());
    EXPECT_EQ("Exec And Wait", script.calls()[0].caption);
    EXPECT_EQ(0u, script.calls()[0].text.find("Error executing '" + dir / "broken.exe" + "'\n"));
    EXPECT_EQ(unsigned(MB_ICONINFORMATION), script.calls()[0].style);
}

TEST_F(ExecAndWait, FailedStartWithBudgetIsReportedWhenTheBudgetIsSpent) {
    zktest::writeFile(dir / "broken.exe", "not a program");
    CZKSystem system;
    script.answer(IDOK);
    EXPECT_EQ(0xFFFFFFFFu,
              system.execAndWait((dir / "broken.exe").c_str(), dir.path().c_str(), "", 3, 1));
    ASSERT_EQ(1u, script.calls().size());
    EXPECT_EQ("Exec And Wait", script.calls()[0].caption);
}

// Copies the program into place when the third message box is shown.
std::string s_lateSource, s_lateTarget;
int __stdcall answerThenProvideProgram(HWND h, const char* text, const char* caption,
                                       unsigned style) {
    int answer = zktest::MessageScript::callback(h, text, caption, style);
    if (style == (MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2))
        CopyFileA(s_lateSource.c_str(), s_lateTarget.c_str(), FALSE);
    return answer;
}

TEST_F(ExecAndWait, MissingProgramAsksForTheDiscUntilItAppears) {
    zk::copyText(zk::installer().m_installFrom, "Q:");
    s_lateSource = fixture;
    s_lateTarget = dir / "later.exe";
    zk::g_messageBox = answerThenProvideProgram;
    // OK: look again, still missing; Cancel, then No to quitting: look again,
    // and now the program is there.
    script.answers({IDOK, IDCANCEL, IDNO});
    CZKSystem system;
    EXPECT_EQ(7u, system.execAndWait(s_lateTarget.c_str(), dir.path().c_str(), "--exit 7", 0, 1));
    ASSERT_EQ(3u, script.calls().size());
    char text47[1024] = {}, text46[1024] = {};
    zk::hostMessage(47, "Q", text47, sizeof text47);
    zk::hostString(46, text46, sizeof text46);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(text47, script.calls()[i].text);
        EXPECT_EQ("", script.calls()[i].caption);
        EXPECT_EQ(unsigned(MB_OKCANCEL), script.calls()[i].style);
    }
    EXPECT_EQ(text46, script.calls()[2].text);
    EXPECT_EQ(unsigned(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), script.calls()[2].style);
}

TEST_F(ExecAndWait, MissingProgramQuitEndsTheProcessWithZero) {
    // Quitting ends the whole process: run it in a child.
    zktest::RunResult r = zktest::run("\"" + zktest::binDir() +
                                      "\\zkhostprobe.exe\" exec-missing-quit");
    EXPECT_EQ(0u, r.exitCode) << r.output;
    EXPECT_NE(std::string::npos, r.output.find("box 1 style 0x1")) << r.output;
    EXPECT_NE(std::string::npos, r.output.find("box 2 style 0x124")) << r.output;
    EXPECT_EQ(std::string::npos, r.output.find("returned")) << r.output;
}

TEST(AsyncExec, ShellFailuresShowTheMatchingHostText) {
    zktest::MessageScript script;
    zk::g_messageBox = zktest::MessageScript::callback;
    zktest::ScratchDir dir;
    CZKSystem system;
    EXPECT_FALSE(system.asyncExec((dir / "nothing.exe").c_str(), dir.path().c_str(), ""));
    ASSERT_EQ(1u, script.calls().size());
    char expected[1024] = {};
    ZKINSTALL_getStringFromDLLorEXE(135, expected, sizeof expected);
    EXPECT_EQ(expected, script.calls()[0].text);
    EXPECT_EQ(dir / "nothing.exe", script.calls()[0].caption);
    EXPECT_EQ(unsigned(MB_OK), script.calls()[0].style);

    std::string record = dir / "async.txt";
    std::string params = "--record \"" + record + "\"";
    std::string fixture = zktest::binDir() + "\\zkfixture.exe";
    EXPECT_TRUE(system.asyncExec(fixture.c_str(), dir.path().c_str(), params.c_str()));
    for (int i = 0; i < 100 && !zktest::exists(record); ++i)
        Sleep(100);
    EXPECT_NE(std::string::npos, zktest::readFile(record).find("cwd: " + dir.path()));
    zk::g_messageBox = nullptr;
}

BOOL failingRestart() {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}
int s_restartRequests = 0;
BOOL countingRestart() {
    ++s_restartRequests;
    return TRUE;
}

TEST(Reboot, PrivilegeIsTakenAndAFailedRestartIsReported) {
    zktest::MessageScript script;
    zk::g_messageBox = zktest::MessageScript::callback;
    CZKSystem system;

    zk::setRebootSeam(countingRestart);
    system.rebootSystem();
    EXPECT_EQ(1, s_restartRequests);
    EXPECT_TRUE(script.calls().empty());

    // The shutdown privilege is now enabled in the process token.
    HANDLE token;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    LUID luid;
    ASSERT_TRUE(LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &luid));
    PRIVILEGE_SET set = {1, PRIVILEGE_SET_ALL_NECESSARY, {{luid, 0}}};
    BOOL enabled = FALSE;
    ASSERT_TRUE(PrivilegeCheck(token, &set, &enabled));
    CloseHandle(token);
    EXPECT_TRUE(enabled);

    zk::setRebootSeam(failingRestart);
    system.rebootSystem();
    ASSERT_EQ(1u, script.calls().size());
    EXPECT_EQ("SHUTDOWN FAILED", script.calls()[0].caption);
    EXPECT_FALSE(script.calls()[0].text.empty());
    zk::setRebootSeam(nullptr);
    zk::g_messageBox = nullptr;
}

} // namespace
