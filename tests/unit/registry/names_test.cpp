// The rules that name the game's keys and shape its values.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>

#include "core/installer.h"
#include "core/text.h"
#include "integration/game_registry.h"

namespace {

TEST(RegistryNames, CdDriveIsTheRootOfTheInstallFromLocation) {
    struct Case {
        const char *from, *drive;
    } cases[] = {
        {"D:\\Setup\\AutoRun", "D:\\"},
        {"D:", "D:\\"},
        {"\\\\server\\share\\dir\\deeper", "\\\\server\\share\\"},
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
        {1048576, "1024"},       {1023, "0"},
        {2047, "1"},             {5368709120LL, "5242880"},
        {-1023, "0"},            {-2048, "-2"},
        {LLONG_MAX, "9007199254740991"}, {LLONG_MIN, "-9007199254740992"},
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
        const char *division, *name;  // null: refused
    } cases[] = {
        {"SOFTWARE\\Vantorel\\ZK Game\\Extra", "Vantorel", "ZK Game\\Extra"},
        {"SOFTWARE\\Vantorel", nullptr, nullptr},
        {"SOFTWARE\\\\ZK Game", nullptr, nullptr},
        {"SOFTWARE\\Vantorel\\", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        char division[260] = {}, name[260] = {};
        ASSERT_EQ(c.division != nullptr, zk::splitGameKey(c.value, division, name, sizeof division))
            << c.value;
        if (c.division) {
            EXPECT_STREQ(c.division, division);
            EXPECT_STREQ(c.name, name);
        }
    }
}

TEST(RegistryNames, GuidsAreComparedByTheirBytes) {
    const char* guid = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";
    const char* placeholder = "{1234ABCD-56EF-78GH-90IJ-123456KLMNOP}";
    struct Case {
        const char* other;
        bool same;
    } cases[] = {
        {"{6b29fc40-ca47-1067-b31d-00dd010662da}", true},
        {"{6B29FC40-CA47-1067-B31D-00DD010662DB}", false},
        {"6B29FC40-CA47-1067-B31D-00DD010662DA", false},
        {"{6B29FC40-CA47-1067-B31D-00DD010662}", false},
        {placeholder, false},
        {"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.same, zk::sameGuid(guid, c.other)) << c.other;
        EXPECT_EQ(c.same, zk::sameGuid(c.other, guid)) << c.other;
    }
    // Two unreadable GUIDs are not the same product.
    EXPECT_FALSE(zk::sameGuid("", ""));
    EXPECT_FALSE(zk::sameGuid(placeholder, placeholder));
}

// Names that would land on a key shared with other programs, or that do not
// fit, are refused rather than cut into another key's name.
TEST(RegistryNames, KeysAreRefusedRatherThanMisnamed) {
    auto s = std::make_unique<zk::CZKInstaller>();
    char out[zk::kKeyPath];
    zk::copyText(s->m_executable, "Game.exe");
    zk::copyText(s->m_company, "Vantorel");
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
    ASSERT_TRUE(zk::shortFolder("C:", out, sizeof out));
    EXPECT_STREQ("C:\\", out);
    EXPECT_FALSE(zk::shortFolder("C:\\zk registry folder that is not there", out, sizeof out));
    EXPECT_STREQ("", out);
}

} // namespace
