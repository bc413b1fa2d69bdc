// The rules that name the game's keys and shape its values.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>

#include "core/installer.h"
#include "core/text.h"
#include "integration/game_registry.h"

namespace {

using zk::CZKInstaller;

TEST(RegistryNames, CdDriveIsTheRootOfTheInstallFromLocation) {
    struct Case {
        const char* from;
        const char* drive;
    } cases[] = {
        {"D:\\Setup\\AutoRun", "D:\\"},
        {"D:", "D:\\"},
        {"E:\\", "E:\\"},
        {"\\\\server\\share\\dir", "\\\\server\\share\\"},
        {"\\\\server\\share\\dir\\deeper", "\\\\server\\share\\"},
        // No backslash after the share (or the server): the whole path.
        {"\\\\server\\share", "\\\\server\\share\\"},
        {"\\\\server", "\\\\server\\"},
        {"", "\\"},
    };
    for (const Case& c : cases) {
        char out[260];
        zk::cdDriveRoot(c.from, out, sizeof out);
        EXPECT_STREQ(c.drive, out) << c.from;
    }
    char small[4];
    zk::cdDriveRoot("\\\\server\\share\\dir", small, sizeof small);
    EXPECT_EQ(3u, strlen(small));
}

TEST(RegistryNames, SizesAreWholeKilobytesAsText) {
    struct Case {
        __int64 bytes;
        const char* text;
    } cases[] = {
        {1048576, "1024"},
        {1023, "0"},
        {0, "0"},
        {1024, "1"},
        {2047, "1"},
        {5368709120LL, "5242880"},  // above 32 bits
        {-2048, "-2"},
        {-1023, "0"},               // integer division truncates toward zero
        {LLONG_MAX, "9007199254740991"},
        {LLONG_MIN, "-9007199254740992"},
    };
    for (const Case& c : cases) {
        char out[32];
        zk::kilobyteText(c.bytes, out, sizeof out);
        EXPECT_STREQ(c.text, out) << c.bytes;
    }
}

TEST(RegistryNames, GameRegistryValueSplitsIntoDivisionAndGameName) {
    struct Case {
        const char* value;
        bool ok;
        const char* division;
        const char* name;
    } cases[] = {
        {"SOFTWARE\\Vantorel\\ZK Game", true, "Vantorel", "ZK Game"},
        {"SOFTWARE\\Vantorel\\ZK Game\\Extra", true, "Vantorel", "ZK Game\\Extra"},
        {"SOFTWARE\\Vantorel", false, "", ""},
        {"SOFTWARE\\\\ZK Game", false, "", ""},
        {"SOFTWARE\\Vantorel\\", false, "", ""},
        {"", false, "", ""},
    };
    for (const Case& c : cases) {
        char division[260] = {}, name[260] = {};
        EXPECT_EQ(c.ok, zk::splitGameKey(c.value, division, name, sizeof division)) << c.value;
        if (c.ok) {
            EXPECT_STREQ(c.division, division);
            EXPECT_STREQ(c.name, name);
        }
    }
}

TEST(RegistryNames, GuidsAreComparedByTheirBytes) {
    const char* guid = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";
    struct Case {
        const char* other;
        bool same;
    } cases[] = {
        {"{6B29FC40-CA47-1067-B31D-00DD010662DA}", true},
        {"{6b29fc40-ca47-1067-b31d-00dd010662da}", true},
        {"{6B29FC40-CA47-1067-B31D-00DD010662DB}", false},
        {"6B29FC40-CA47-1067-B31D-00DD010662DA", false},   // no braces
        {"{1234ABCD-56EF-78GH-90IJ-123456KLMNOP}", false},  // not hexadecimal
        {"1234ABCD-56EF-78GH-90IJ-123456KLMNOP", false},
        {"{6B29FC40-CA47-1067-B31D-00DD010662}", false},    // too short
        {"", false},
        {"Vantorel.Game", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.same, zk::sameGuid(guid, c.other)) << c.other;
        EXPECT_EQ(c.same, zk::sameGuid(c.other, guid)) << c.other;
    }
    EXPECT_FALSE(zk::sameGuid("", ""));
    EXPECT_FALSE(zk::sameGuid("{1234ABCD-56EF-78GH-90IJ-123456KLMNOP}",
                              "{1234ABCD-56EF-78GH-90IJ-123456KLMNOP}"));
}

// Names that would land on a key shared with other programs are refused.
TEST(RegistryNames, KeysAreNeverTheSharedParents) {
    auto s = std::make_unique<CZKInstaller>();
    char out[zk::kKeyPath];

    zk::copyText(s->m_executable, "");
    EXPECT_FALSE(zk::appPathsKey(*s, out, sizeof out));
    zk::copyText(s->m_executable, "Game.exe");
    ASSERT_TRUE(zk::appPathsKey(*s, out, sizeof out));
    EXPECT_STREQ("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Game.exe", out);

    zk::copyText(s->m_company, "Vantorel");
    zk::copyText(s->m_registryName, "");
    EXPECT_FALSE(zk::gameKey(*s, out, sizeof out));
    zk::copyText(s->m_company, "");
    zk::copyText(s->m_registryName, "ZK Game");
    EXPECT_FALSE(zk::gameKey(*s, out, sizeof out));
    zk::copyText(s->m_company, "Vantorel");
    ASSERT_TRUE(zk::gameKey(*s, out, sizeof out));
    EXPECT_STREQ("SOFTWARE\\Vantorel\\ZK Game", out);

    EXPECT_FALSE(zk::uninstallKey("", out, sizeof out));
    EXPECT_FALSE(zk::uninstallKey("..\\..", out, sizeof out));
    ASSERT_TRUE(zk::uninstallKey("{X}", out, sizeof out));
    EXPECT_STREQ("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{X}", out);

    // Without a version the subkey is the one every installation starts with.
    ASSERT_TRUE(zk::versionKey("SOFTWARE\\V\\G", "", out, sizeof out));
    EXPECT_STREQ("SOFTWARE\\V\\G\\1.0", out);
    ASSERT_TRUE(zk::versionKey("SOFTWARE\\V\\G", "2.5", out, sizeof out));
    EXPECT_STREQ("SOFTWARE\\V\\G\\2.5", out);
    EXPECT_FALSE(zk::versionKey("", "2.5", out, sizeof out));

    zk::copyText(s->m_coreLink, "");
    EXPECT_FALSE(zk::installedGamesKey(*s, out, sizeof out));
    for (const char* link : {"Family", "Family\\"}) {
        zk::copyText(s->m_coreLink, link);
        ASSERT_TRUE(zk::installedGamesKey(*s, out, sizeof out)) << link;
        EXPECT_STREQ("SOFTWARE\\Vantorel\\ZK Core\\Installed Games\\Family\\Game.exe", out);
    }

    // A name too long for the buffer is refused, not cut into another key.
    char small[40];
    EXPECT_FALSE(zk::appPathsKey(*s, small, sizeof small));
    EXPECT_STREQ("", small);
}

TEST(RegistryNames, ShortFoldersEndInABackslashAndNameTheSameFolder) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + "zk registry long folder name";
    CreateDirectoryA(folder.c_str(), nullptr);

    char out[260];
    ASSERT_TRUE(zk::shortFolder(folder.c_str(), out, sizeof out));
    std::string shortForm = out;
    ASSERT_EQ('\\', shortForm.back());
    EXPECT_EQ(std::string::npos, shortForm.find(' ')) << shortForm;
    char longForm[MAX_PATH];
    ASSERT_NE(0u, GetLongPathNameA(out, longForm, sizeof longForm));
    EXPECT_EQ(0, lstrcmpiA((folder + "\\").c_str(), longForm)) << longForm;

    // A drive letter alone is the drive's root, not its current folder.
    ASSERT_TRUE(zk::shortFolder("C:", out, sizeof out));
    EXPECT_STREQ("C:\\", out);

    EXPECT_FALSE(zk::shortFolder((folder + "\\missing").c_str(), out, sizeof out));
    EXPECT_STREQ("", out);
    EXPECT_FALSE(zk::shortFolder("", out, sizeof out));
    RemoveDirectoryA(folder.c_str());
}

} // namespace
