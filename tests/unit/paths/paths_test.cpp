// Path cleaning, folders that follow the product names, install-folder verdicts, side bar.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ZKInstall.h"
#include "core/installer.h"
#include "core/paths.h"
#include "platform/text.h"
#include "zktest/harness.h"

namespace {

TEST(CleanPath, DropsForbiddenCharactersAfterTheDrive) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Games\\A<B>C|D\"E*F/G:H?I", "C:\\Games\\ABCDEFGHI"},
        {":*?ab:", ":*?ab"},  // the first three positions are kept
        {"C:\\Games\\ZK Game ? ", "C:\\Games\\ZK Game"},
        {"   ", " "},         // the first character always stays
        {"C:\\Games\\Tab\t", "C:\\Games\\Tab\t"},  // only blanks are trailing cuts
        {"C:\\Spiele\\M\xfcller & S\xf6hne", "C:\\Spiele\\M\xfcller & S\xf6hne"},
        {"C:\\" + std::string(400, 'x'), "C:\\" + std::string(256, 'x')},
    };
    for (const auto& c : cases) {
        char out[260 + 16];
        memset(out, '#', sizeof out);
        zk::cleanPath(c.first.c_str(), out);
        EXPECT_EQ(c.second, std::string(out, strnlen(out, 260))) << c.first;
        EXPECT_EQ(std::string(16, '#'), std::string(out + 260, 16)) << "wrote past 260 bytes";
    }
}

TEST(ProductNames, FoldersFollowTheNames) {
    zk::CZKInstaller& s = zk::installer();
    const zk::CZKInstaller saved(s);
    zk::copyText(s.m_startMenuPath, "C:\\Menu");
    zk::copyText(s.m_programFilesPath, "C:\\Program Files");
    zk::copyText(s.m_company, "Vantorel");
    zk::copyText(s.m_installFolder, "D:\\Old\\Place");
    s.m_previouslyInstalled = false;

    // The product name moves the start-menu folder, cleaned; not the install folder.
    char product[] = "Harbour: Return?  ";
    EXPECT_TRUE(ZKINSTALL_setProductName(product));
    EXPECT_STREQ("C:\\Menu\\Vantorel\\Harbour Return", s.m_startMenuFolder);
    EXPECT_STREQ("D:\\Old\\Place", s.m_installFolder);

    char friendly[] = "Harbour Lights";
    EXPECT_TRUE(ZKINSTALL_setFriendlyProductName(friendly));
    EXPECT_STREQ("C:\\Program Files\\Vantorel\\Harbour Lights", s.m_installFolder);

    std::string longName(400, 'p');
    ZKINSTALL_setProductName(&longName[0]);
    ZKINSTALL_setFriendlyProductName(&longName[0]);
    EXPECT_EQ(259u, strlen(s.m_startMenuFolder));
    EXPECT_EQ(259u, strlen(s.m_installFolder));
    char text[260 + 16];  // the getter hands out at most a 260-byte field
    memset(text, '#', sizeof text);
    EXPECT_TRUE(ZKINSTALL_getProductName(text));
    EXPECT_EQ(std::string(259, 'p') + '\0' + std::string(16, '#'), std::string(text, sizeof text));

    // A folder found from an earlier install stays where it was.
    s.m_previouslyInstalled = true;
    zk::copyText(s.m_installFolder, "E:\\Where\\It\\Was");
    char other[] = "Harbour Lights Gold";
    EXPECT_TRUE(ZKINSTALL_setFriendlyProductName(other));
    EXPECT_STREQ("Harbour Lights Gold", s.m_friendlyName);
    EXPECT_STREQ("E:\\Where\\It\\Was", s.m_installFolder);
    s = saved;
}

TEST(InstallFolderVerdict, UnknownSystemFoldersProtectNothing) {
    EXPECT_EQ(PathValid, zk::validateInstallPath("C:\\Games\\ZK Game", "", ""));
    EXPECT_EQ(PathProtected, zk::validateInstallPath("c:\\winnt\\Games", "C:\\WINNT", ""));
    EXPECT_EQ(PathProtected, zk::validateInstallPath("C:\\Users\\x\\y", "", "C:\\Users\\"));
    EXPECT_EQ(PathValid, zk::validateInstallPath("C:\\Games\\ZK Game", "", "C:\\Users\\"));
}

TEST(SideBar, LoadsAsSectionAndReleasesThePrevious) {
    // A 2x2 24-bit bitmap file.
    std::string bmp = "BM" + std::string(52, '\0') + std::string(16, '\x40');
    const DWORD header[] = {static_cast<DWORD>(bmp.size()), 0, 54, 40, 2, 2, 1 | (24 << 16), 0, 16};
    memcpy(&bmp[2], header, sizeof header);
    zktest::ScratchDir dir;
    const std::string file = dir / "sidebar.bmp";
    zktest::writeFile(file, bmp);
    zktest::writeFile(dir / "broken.bmp", "not a bitmap");
    zk::CZKInstaller& s = zk::installer();

    EXPECT_TRUE(ZKINSTALL_setSideBar(file.c_str()));
    HBITMAP first = s.m_sideBar;
    DIBSECTION section;
    ASSERT_EQ(static_cast<int>(sizeof section), GetObjectA(first, sizeof section, &section))
        << "not loaded as a device-independent section";
    EXPECT_EQ(24, section.dsBm.bmBitsPixel);

    EXPECT_TRUE(ZKINSTALL_setSideBar(file.c_str()));
    EXPECT_NE(nullptr, s.m_sideBar);
    EXPECT_EQ(0u, GetObjectType(first)) << "the replaced bitmap was not released";

    for (const std::string& bad : {dir / "broken.bmp", dir / "missing.bmp"}) {
        EXPECT_TRUE(ZKINSTALL_setSideBar(bad.c_str()));
        EXPECT_EQ(nullptr, s.m_sideBar) << bad;
    }
    EXPECT_TRUE(ZKINSTALL_getSideBar(nullptr));
}

} // namespace
