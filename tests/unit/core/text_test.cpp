// Bounded text helpers, host-text substitution and derived names.
#include <gtest/gtest.h>

#include <string>

#include "core/host.h"
#include "core/installer.h"
#include "core/names.h"
#include "core/text.h"

namespace {

TEST(Text, CopiesAreCutToTheBufferAndTerminated) {
    char small[8];
    memset(small, 'x', sizeof small);
    zk::copyText(small, "0123456789");
    EXPECT_STREQ("0123456", small);
    zk::copyText(small, nullptr);
    EXPECT_STREQ("", small);

    char buf[10] = "abc";
    zk::appendText(buf, "defghijklmnop");
    EXPECT_STREQ("abcdefghi", buf);

    char out[6];
    zk::formatText(out, sizeof out, "%s-%d", "abcdef", 42);
    EXPECT_STREQ("abcde", out);

    std::string huge(5000, 'z');
    char field[260];
    zk::copyText(field, huge.c_str());
    EXPECT_EQ(259u, strlen(field));
}

TEST(Text, TrimAndTrailingBackslash) {
    char a[] = " \t padded text \r\n";
    zk::trimText(a);
    EXPECT_STREQ("padded text", a);
    char b[] = "   ";
    zk::trimText(b);
    EXPECT_STREQ("", b);
    char c[] = "C:\\Temp\\\\";
    zk::cutTrailingBackslash(c);
    EXPECT_STREQ("C:\\Temp\\", c);
    char d[] = "D:";
    zk::cutTrailingBackslash(d);
    EXPECT_STREQ("D:", d);
}

TEST(HostText, OneConversionIsSubstitutedAndNothingElseIsRead) {
    struct Case {
        const char* pattern;
        const char* arg;
        const char* expected;
    } cases[] = {
        {"Please insert the disc in drive %c:.", "D:\\", "Please insert the disc in drive D:."},
        {"Cannot copy %s.", "C:\\a b\\c.txt", "Cannot copy C:\\a b\\c.txt."},
        {"100%% of %s", "Game", "100% of Game"},
        // A second conversion or an unknown one must not read a missing argument.
        {"%s then %s and %n %x", "one", "one then %s and %n %x"},
        {"no conversion", "unused", "no conversion"},
        {"%c", "", " "},
    };
    for (const Case& c : cases) {
        char out[128];
        zk::substituteOne(c.pattern, c.arg, out, sizeof out);
        EXPECT_STREQ(c.expected, out) << c.pattern;
    }
    char tiny[5];
    zk::substituteOne("Copy %s now", "long path", tiny, sizeof tiny);
    EXPECT_STREQ("Copy", tiny);
}

TEST(HostText, WithoutCallbackMessagesGetTheBackingOutAnswer) {
    struct Case {
        unsigned style;
        int answer;
    } cases[] = {
        {MB_OK, IDOK},
        {MB_OK | MB_ICONINFORMATION, IDOK},
        {MB_OKCANCEL, IDCANCEL},
        {MB_RETRYCANCEL, IDCANCEL},
        {MB_YESNOCANCEL | MB_ICONQUESTION, IDCANCEL},
        {MB_ABORTRETRYIGNORE, IDABORT},
        {MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, IDYES},
    };
    ZKMessageBoxCallback saved = zk::g_messageBox;
    zk::g_messageBox = nullptr;
    for (const Case& c : cases)
        EXPECT_EQ(c.answer, zk::showMessage(nullptr, "text", "caption", c.style)) << c.style;
    zk::g_messageBox = saved;
}

TEST(Names, FriendlyNameKeepsOnlyFileAndRegistrySafeCharacters) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"ZK Game", "ZK Game"},
        {"Space Pirates: Return 2.0", "Space Pirates Return 20"},
        {"  Rock & Roll!  ", "Rock & Roll!"},
        {"A\\B/C:D*E?F\"G<H>I|J.K", "ABCDEFGHIJK"},
        {"Caf\xe9 [Gold] {1};',=+", "Caf [Gold] {1};',=+"},
        {"", ""},
    };
    for (const Case& c : cases) {
        char out[260];
        zk::makeFriendlyName(out, c.in);
        EXPECT_STREQ(c.out, out) << c.in;
    }
    std::string longName(600, 'n');
    char out[260];
    zk::makeFriendlyName(out, longName.c_str());
    EXPECT_EQ(259u, strlen(out));
}

TEST(Names, StartupFolderNameIsTheLastComponent) {
    struct Case {
        const char* path;
        const char* name;
    } cases[] = {
        {"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp", "StartUp"},
        {"C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup\\", "Startup"},
        {"Autostart", "Autostart"},
        {"", ""},
    };
    for (const Case& c : cases) {
        char out[260];
        zk::startupFolderName(c.path, out, sizeof out);
        EXPECT_STREQ(c.name, out) << c.path;
    }
}

} // namespace
