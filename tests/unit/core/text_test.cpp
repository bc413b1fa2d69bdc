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

    char a[] = " \t padded text \r\n", b[] = "   ", c[] = "C:\\Temp\\\\", d[] = "D:";
    zk::trimText(a);
    zk::trimText(b);
    zk::cutTrailingBackslash(c);
    zk::cutTrailingBackslash(d);
    EXPECT_STREQ("padded text", a);
    EXPECT_STREQ("", b);
    EXPECT_STREQ("C:\\Temp\\", c);
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
        // A second or unknown conversion must not read a missing argument.
        {"%s then %s and %n %x", "one", "one then %s and %n %x"},
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
        {MB_OK | MB_ICONINFORMATION, IDOK}, {MB_OKCANCEL, IDCANCEL},
        {MB_RETRYCANCEL, IDCANCEL},         {MB_YESNOCANCEL | MB_ICONQUESTION, IDCANCEL},
        {MB_ABORTRETRYIGNORE, IDABORT},     {MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, IDYES},
    };
    ZKMessageBoxCallback saved = zk::g_messageBox;
    zk::g_messageBox = nullptr;
    for (const Case& c : cases)
        EXPECT_EQ(c.answer, zk::showMessage(nullptr, "text", "caption", c.style)) << c.style;
    zk::g_messageBox = saved;
}

TEST(Names, FriendlyAndStartupFolderNames) {
    struct Case {
        const char* in;
        const char* out;
    } friendly[] = {
        {"Space Pirates: Return 2.0", "Space Pirates Return 20"},
        {"  Rock & Roll!  ", "Rock & Roll!"},
        {"A\\B/C:D*E?F\"G<H>I|J.K", "ABCDEFGHIJK"},
        {"Caf\xe9 [Gold] {1};',=+", "Caf [Gold] {1};',=+"},
    };
    char out[260];
    for (const Case& c : friendly) {
        zk::makeFriendlyName(out, c.in);
        EXPECT_STREQ(c.out, out) << c.in;
    }
    zk::makeFriendlyName(out, std::string(600, 'n').c_str());
    EXPECT_EQ(259u, strlen(out));

    const Case startup[] = {
        {"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp", "StartUp"},
        {"C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup\\", "Startup"},
        {"Autostart", "Autostart"},
        {"", ""},
    };
    for (const Case& c : startup) {
        zk::startupFolderName(c.in, out, sizeof out);
        EXPECT_STREQ(c.out, out) << c.in;
    }
}

} // namespace
