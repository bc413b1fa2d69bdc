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

// Names that would land on a key shared with other programs, or that do not
// fit, are refused rather than cut into another key's name.
TEST(RegistryNames, KeysAreRefusedRatherThanMisnamed) {
    auto s = std::make_unique<CZKInstaller>();
    char out[zk::kKeyPath];
    zk::copyText(s->m_executable, "Game.exe");
    zk::copyText(s->m_company, "Vantorel");
    zk::copyText(s->m_registryName, "");
    EXPECT_FALSE(zk::gameKey(*s, out, sizeof out));
    EXPECT_FALSE(zk::uninstallKey("..\\..", out, sizeof out));

    for (const char* link : {"Family", "Family\\"}) {
        zk::copyText(s->m_coreLink, link);
        ASSERT_TRUE(zk::installedGamesKey(*s, out, sizeof out)) << link;
        EXPECT_STREQ("SOFTWARE\\Vantorel\\ZK Core\\Installed Games\\Family\\Game.exe", out);
    }
    char small[40];
    EXPECT_FALSE(zk::appPathsKey(*s, small, sizeof small));
    EXPECT_STREQ("", small);
}

TEST(RegistryNames, ShortFolderOfABareDriveIsItsRoot) {
    char out[260];
    // Not the current folder on that drive.
    ASSERT_TRUE(zk::shortFolder("C:", out, sizeof out));
    EXPECT_STREQ("C:\\", out);
    EXPECT_FALSE(zk::shortFolder("C:\\zk registry folder that is not there", out, sizeof out));
    EXPECT_STREQ("", out);
}

} // namespace
