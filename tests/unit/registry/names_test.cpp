// The rules that name the game's keys and shape its values.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>

#include "core/installer.h"
#include "platform/text.h"
#include "integration/game_registry.h"

namespace {

TEST(RegistryNames, CdDriveRootsAndKilobyteSizes) {
    const std::pair<const char*, const char*> drives[] = {
        {"D:\\Setup\\AutoRun", "D:\\"}, {"D:", "D:\\"},
        {"\\\\server\\share\\dir\\deeper", "\\\\server\\share\\"},
        {"\\\\server\\share", "\\\\server\\share\\"}, {"\\\\server", "\\\\server\\"}, {"", "\\"},
    };
    char out[260], small[4];
    for (const auto& c : drives) {
        zk::cdDriveRoot(c.first, out, sizeof out);
        EXPECT_STREQ(c.second, out) << c.first;
    }
    zk::cdDriveRoot("\\\\server\\share\\dir", small, sizeof small);
    EXPECT_EQ(3u, strlen(small));

    const std::pair<__int64, const char*> sizes[] = {
        {1048576, "1024"}, {1023, "0"}, {2047, "1"}, {5368709120LL, "5242880"}, {-1023, "0"},
        {-2048, "-2"}, {LLONG_MAX, "9007199254740991"}, {LLONG_MIN, "-9007199254740992"},
    };
    for (const auto& c : sizes) {
        zk::kilobyteText(c.first, out, sizeof out);
        EXPECT_STREQ(c.second, out) << c.first;
    }
}

TEST(RegistryNames, GameRegistryValueSplitsIntoDivisionAndGameName) {
    char division[260] = {}, name[260] = {};
    ASSERT_TRUE(zk::splitGameKey("SOFTWARE\\Vantorel\\ZK Game\\Extra", division, name, 260));
    EXPECT_STREQ("Vantorel", division);
    EXPECT_STREQ("ZK Game\\Extra", name);
    for (const char* refused :
         {"SOFTWARE\\Vantorel", "SOFTWARE\\\\ZK Game", "SOFTWARE\\Vantorel\\"})
        EXPECT_FALSE(zk::splitGameKey(refused, division, name, 260)) << refused;
}

TEST(RegistryNames, GuidsAreComparedByTheirBytes) {
    const char* guid = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";
    const char* placeholder = "{1234ABCD-56EF-78GH-90IJ-123456KLMNOP}";
    EXPECT_TRUE(zk::sameGuid(guid, "{6b29fc40-ca47-1067-b31d-00dd010662da}"));
    for (const char* other :
         {"{6B29FC40-CA47-1067-B31D-00DD010662DB}", "6B29FC40-CA47-1067-B31D-00DD010662DA",
          "{6B29FC40-CA47-1067-B31D-00DD010662}", placeholder, ""}) {
        EXPECT_FALSE(zk::sameGuid(guid, other)) << other;
        EXPECT_FALSE(zk::sameGuid(other, guid)) << other;
    }
    // Two unreadable GUIDs are not the same product.
    EXPECT_FALSE(zk::sameGuid("", ""));
    EXPECT_FALSE(zk::sameGuid(placeholder, placeholder));
}

// Names that would land on a key shared with other programs, or that do not
// fit, are refused rather than cut into another key's name.
TEST(RegistryNames, KeysAreRefusedRatherThanMisnamed) {
    auto s = std::make_unique<zk::CZKInstaller>();
    char out[zk::kKeyPath], small[40];
    zk::copyText(s->m_executable, "Game.exe");
    zk::copyText(s->m_company, "Vantorel");
    EXPECT_FALSE(zk::gameKey(*s, out, sizeof out));
    EXPECT_FALSE(zk::uninstallKey("..\\..", out, sizeof out));
    for (const char* link : {"Family", "Family\\"}) {
        zk::copyText(s->m_coreLink, link);
        ASSERT_TRUE(zk::installedGamesKey(*s, out, sizeof out)) << link;
        EXPECT_STREQ("SOFTWARE\\Vantorel\\ZK Core\\Installed Games\\Family\\Game.exe", out);
    }
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
