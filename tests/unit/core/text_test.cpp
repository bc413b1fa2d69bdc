// Bounded text helpers, host-text substitution and derived names.
#include <gtest/gtest.h>

#include <string>

#include "core/host.h"
#include "core/installer.h"
#include "core/names.h"
#include "platform/text.h"

namespace {

TEST(Text, CopiesAreCutToTheBufferAndTerminated) {
    char small[8], buf[10] = "abc", out[6];
    memset(small, 'x', sizeof small);
    zk::copyText(small, "0123456789");
    EXPECT_STREQ("0123456", small);
    zk::copyText(small, nullptr);
    EXPECT_STREQ("", small);
    zk::appendText(buf, "defghijklmnop");
    EXPECT_STREQ("abcdefghi", buf);
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
    const char* const cases[][3] = {
        {"Please insert the disc in drive %c:.", "D:\\", "Please insert the disc in drive D:."},
        {"Cannot copy %s.", "C:\\a b\\c.txt", "Cannot copy C:\\a b\\c.txt."},
        {"100%% of %s", "Game", "100% of Game"},
        // A second or unknown conversion must not read a missing argument.
        {"%s then %s and %n %x", "one", "one then %s and %n %x"},
        {"%c", "", " "},
    };
    char out[128], tiny[5];
    for (const auto& c : cases) {
        zk::substituteOne(c[0], c[1], out, sizeof out);
        EXPECT_STREQ(c[2], out) << c[0];
    }
    zk::substituteOne("Copy %s now", "long path", tiny, sizeof tiny);
    EXPECT_STREQ("Copy", tiny);
}

TEST(HostText, WithoutCallbackMessagesGetTheBackingOutAnswer) {
    const std::pair<unsigned, int> cases[] = {
        {MB_OK | MB_ICONINFORMATION, IDOK}, {MB_OKCANCEL, IDCANCEL},
        {MB_RETRYCANCEL, IDCANCEL},         {MB_YESNOCANCEL | MB_ICONQUESTION, IDCANCEL},
        {MB_ABORTRETRYIGNORE, IDABORT},     {MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, IDYES},
    };
    ZKMessageBoxCallback saved = zk::g_messageBox;
    zk::g_messageBox = nullptr;
    for (const auto& c : cases)
        EXPECT_EQ(c.second, zk::showMessage(nullptr, "text", "caption", c.first)) << c.first;
    zk::g_messageBox = saved;
}

TEST(Names, FriendlyAndStartupFolderNames) {
    typedef std::pair<const char*, const char*> Pair;
    const Pair friendly[] = {
        {"Space Pirates: Return 2.0", "Space Pirates Return 20"},
        {"  Rock & Roll!  ", "Rock & Roll!"},
        {"A\\B/C:D*E?F\"G<H>I|J.K", "ABCDEFGHIJK"},
        {"Caf\xe9 [Gold] {1};',=+", "Caf [Gold] {1};',=+"},
    };
    const Pair startup[] = {
        {"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp", "StartUp"},
        {"C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup\\", "Startup"},
        {"Autostart", "Autostart"},
        {"", ""},
    };
    char out[260];
    for (const auto& c : friendly) {
        zk::makeFriendlyName(out, c.first);
        EXPECT_STREQ(c.second, out) << c.first;
    }
    zk::makeFriendlyName(out, std::string(600, 'n').c_str());
    EXPECT_EQ(259u, strlen(out));
    for (const auto& c : startup) {
        zk::startupFolderName(c.first, out, sizeof out);
        EXPECT_STREQ(c.second, out) << c.first;
    }
}

} // namespace
