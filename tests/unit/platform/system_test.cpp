// System facts, program start-up and the restart request.
#include <gtest/gtest.h>

#include <string>

#include "ZKInstall.h"
#include "core/host.h"
#include "core/installer.h"
#include "platform/text.h"
#include "platform/system_seams.h"
#include "zktest/discs.h"
#include "zktest/harness.h"

namespace {

const unsigned kQuitStyle = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;

bool waitForFile(const std::string& path) {
    for (int i = 0; i < 100 && !zktest::exists(path); ++i)
        Sleep(100);
    return zktest::exists(path);
}

TEST(SystemFacts, OperatingSystemNamesAndLocales) {
    const DWORD k9x = VER_PLATFORM_WIN32_WINDOWS, kNT = VER_PLATFORM_WIN32_NT;
    const struct {
        DWORD platform, major, minor;
        const char* name;
    } cases[] = {
        {VER_PLATFORM_WIN32s, 3, 10, "Microsoft Win32s"}, {k9x, 4, 0, "Windows 95"},
        {k9x, 4, 10, "Windows 98"},   {k9x, 4, 90, "Windows ME"},   {kNT, 4, 0, "Windows NT"},
        {kNT, 5, 0, "Windows 2000"},  {kNT, 5, 2, "Windows XP"},    {kNT, 10, 0, "Window Vista"},
        {7, 1, 0, "Unknown"},
    };
    for (const auto& c : cases) {
        bool nt = c.platform != kNT;
        EXPECT_STREQ(c.name, zk::osNameFor(c.platform, c.major, c.minor, &nt)) << c.major;
        EXPECT_EQ(c.platform == kNT, nt) << c.name;
    }
    // North America: United States or Canadian English, by the last four digits.
    for (const char* na : {"00000409", "00001009", "0409"})
        EXPECT_TRUE(zk::isNorthAmericanLocale(na)) << na;
    for (const char* other : {"00000809", "409", ""})
        EXPECT_FALSE(zk::isNorthAmericanLocale(other)) << other;
}

// The fixture program, a scratch folder and a scripted message box.
class Programs : public ::testing::Test {
  protected:
    void SetUp() override { zk::g_messageBox = zktest::MessageScript::callback; }
    void TearDown() override { zk::g_messageBox = nullptr; }
    zktest::ScratchDir dir;
    zktest::MessageScript script;
    CZKSystem system;
    const std::string fixture = zktest::binDir() + "\\zkfixture.exe";
    const std::string record = dir / "record.txt";
};

TEST_F(Programs, UnreadableLocaleKeyIsReportedAndNotNorthAmerica) {
    char locale[260] = "unchanged";
    bool na = true;
    zk::readLocale("Control Panel\\NoSuchKeyForZKTests", locale, &na);
    EXPECT_FALSE(na);
    EXPECT_STREQ("unchanged", locale);
    ASSERT_EQ(1u, script.calls().size());
    EXPECT_EQ("Error", script.calls()[0].caption);
    EXPECT_EQ(unsigned(MB_ICONINFORMATION), script.calls()[0].style);
}

TEST_F(Programs, ConvertVersionAndFileExists) {
    char v1[] = "1,2,3,4", v2[] = "6.0.2900";
    EXPECT_TRUE(system.convertVersion(v1));
    EXPECT_STREQ("1.2.3.4", v1);
    EXPECT_FALSE(system.convertVersion(v2));
    EXPECT_STREQ("6.0.2900", v2);
    zktest::makeDirs(dir / "folder");
    zktest::writeFile(dir / "a.txt", "a");
    for (const char* file : {"a.txt", "*.txt"})
        EXPECT_TRUE(system.fileExists((dir / file).c_str())) << file;
    for (const char* other : {"folder", "missing.txt"})
        EXPECT_FALSE(system.fileExists((dir / other).c_str())) << other;
}

TEST_F(Programs, ExecAndWaitRunsInTheFolderReturnsTheExitCodeAndReportsAFailedStartOnce) {
    const std::string start = zktest::currentDirectory();
    std::string args = "--record \"" + record + "\" --exit 42";
    EXPECT_EQ(42u, system.execAndWait(fixture.c_str(), dir.path().c_str(), args.c_str(), 0, 1));
    std::string log = zktest::readFile(record);
    EXPECT_NE(std::string::npos, log.find("cmdline: \"" + fixture + "\" --record")) << log;
    EXPECT_NE(std::string::npos, log.find("cwd: " + dir.path())) << log;
    EXPECT_EQ(start, zktest::currentDirectory());
    EXPECT_TRUE(script.calls().empty());

    // Debug mode shows the command line first; without arguments, the quoted program.
    system.setDebugMode(true);
    script.answer(IDOK);
    EXPECT_EQ(0u, system.execAndWait(fixture.c_str(), dir.path().c_str(), "", 0, 1));
    ASSERT_EQ(1u, script.calls().size());
    EXPECT_EQ("\"" + fixture + "\"", script.calls()[0].text);
    EXPECT_EQ("CreateProcess", script.calls()[0].caption);

    // A timeout gives 259 and leaves the program running.
    system.setDebugMode(false);
    args = "--sleep 4000 --record \"" + record + "\"";
    DeleteFileA(record.c_str());
    DWORD before = GetTickCount();
    EXPECT_EQ(259u, system.execAndWait(fixture.c_str(), dir.path().c_str(), args.c_str(), 5, 1));
    EXPECT_LT(GetTickCount() - before, 3000u);
    EXPECT_TRUE(waitForFile(record)) << "the program goes on after the timeout";

    // A file that is no program: without a budget the start must not be retried for ever.
    const std::string broken = dir / "broken.exe";
    zktest::writeFile(broken, "not a program");
    for (int timeout : {0, 3}) {
        script.clear();
        script.answer(IDOK);
        EXPECT_EQ(0xFFFFFFFFu,
                  system.execAndWait(broken.c_str(), dir.path().c_str(), "", timeout, 1));
        ASSERT_EQ(1u, script.calls().size()) << timeout;
        EXPECT_EQ("Exec And Wait", script.calls()[0].caption);
        EXPECT_EQ(0u, script.calls()[0].text.find("Error executing '" + broken + "'\n"));
        EXPECT_EQ(unsigned(MB_ICONINFORMATION), script.calls()[0].style);
    }
}

// Copies the program into place when the quit question is shown.
std::string s_lateSource, s_lateTarget;
int __stdcall answerThenProvideProgram(HWND h, const char* text, const char* caption,
                                       unsigned style) {
    int answer = zktest::MessageScript::callback(h, text, caption, style);
    if (style == kQuitStyle)
        CopyFileA(s_lateSource.c_str(), s_lateTarget.c_str(), FALSE);
    return answer;
}

TEST_F(Programs, ExecAndWaitAsksForTheDiscUntilTheProgramAppears) {
    zk::copyText(zk::installer().m_installFrom, "Q:");
    s_lateSource = fixture;
    s_lateTarget = dir / "later.exe";
    zk::g_messageBox = answerThenProvideProgram;
    // OK: still missing; Cancel, then No to quitting: now it is there.
    script.answers({IDOK, IDCANCEL, IDNO});
    EXPECT_EQ(7u, system.execAndWait(s_lateTarget.c_str(), dir.path().c_str(), "--exit 7", 0, 1));
    ASSERT_EQ(3u, script.calls().size());
    char text47[1024] = {}, text46[1024] = {};
    zk::hostMessage(47, "Q", text47, sizeof text47);
    zk::hostString(46, text46, sizeof text46);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(i < 2 ? text47 : text46, script.calls()[i].text) << i;
        EXPECT_EQ(i < 2 ? unsigned(MB_OKCANCEL) : kQuitStyle, script.calls()[i].style) << i;
        if (i < 2)
            EXPECT_EQ("", script.calls()[i].caption) << i;
    }
}

TEST_F(Programs, ExecAndWaitQuitOnAMissingProgramEndsTheProcessWithZero) {
    zktest::RunResult r =
        zktest::run("\"" + zktest::binDir() + "\\zkhostprobe.exe\" exec-missing-quit");
    SCOPED_TRACE(r.output);
    EXPECT_EQ(0u, r.exitCode);
    EXPECT_NE(std::string::npos, r.output.find("box 1 style 0x1"));
    EXPECT_NE(std::string::npos, r.output.find("box 2 style 0x124"));
    EXPECT_EQ(std::string::npos, r.output.find("returned"));
}

TEST_F(Programs, AsyncExecStartsInTheFolderOrShowsTheHostText) {
    EXPECT_FALSE(system.asyncExec((dir / "nothing.exe").c_str(), dir.path().c_str(), ""));
    ASSERT_EQ(1u, script.calls().size());
    char expected[1024] = {};
    ZKINSTALL_getStringFromDLLorEXE(135, expected, sizeof expected);
    EXPECT_EQ(expected, script.calls()[0].text);
    EXPECT_EQ(dir / "nothing.exe", script.calls()[0].caption);
    EXPECT_EQ(unsigned(MB_OK), script.calls()[0].style);

    std::string params = "--record \"" + record + "\"";
    EXPECT_TRUE(system.asyncExec(fixture.c_str(), dir.path().c_str(), params.c_str()));
    ASSERT_TRUE(waitForFile(record));
    EXPECT_NE(std::string::npos, zktest::readFile(record).find("cwd: " + dir.path()));
}

int s_restarts = 0;
BOOL countingRestart() { return ++s_restarts, TRUE; }
BOOL failingRestart() { return SetLastError(ERROR_NOT_SUPPORTED), FALSE; }

TEST_F(Programs, RebootTakesThePrivilegeAndReportsAFailedRestart) {
    zk::setRebootSeam(countingRestart);
    system.rebootSystem();
    EXPECT_EQ(1, s_restarts);
    EXPECT_TRUE(script.calls().empty());

    HANDLE token;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    PRIVILEGE_SET set = {1, PRIVILEGE_SET_ALL_NECESSARY, {{{}, 0}}};
    ASSERT_TRUE(LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &set.Privilege[0].Luid));
    BOOL enabled = FALSE;
    ASSERT_TRUE(PrivilegeCheck(token, &set, &enabled));
    CloseHandle(token);
    EXPECT_TRUE(enabled);

    zk::setRebootSeam(failingRestart);
    system.rebootSystem();
    ASSERT_EQ(1u, script.calls().size());
    EXPECT_EQ("SHUTDOWN FAILED", script.calls()[0].caption);
    zk::setRebootSeam(nullptr);
}

} // namespace
