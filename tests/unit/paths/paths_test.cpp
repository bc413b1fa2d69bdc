// Path cleaning, the folders that follow the product names, verdicts against
// unknown system folders, and the side-bar bitmap held by the installer state.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ZKInstall.h"
#include "core/installer.h"
#include "core/paths.h"
#include "core/text.h"
#include "zktest/harness.h"

namespace {

std::string clean(const std::string& in) {
    char out[260 + 16];
    memset(out, '#', sizeof out);
    zk::CInstallUtility utility;
    utility.cleanPath(in.c_str(), out);
    for (size_t i = 260; i < sizeof out; ++i)
        if (out[i] != '#') {
            ADD_FAILURE() << "wrote past 260 bytes";
            break;
        }
    return std::string(out, strnlen(out, 260));
}

TEST(CleanPath, DropsForbiddenCharactersAfterTheDrive) {
    struct Case {
        std::string in;
        std::string expected;
    } cases[] = {
        {"C:\\Start Menu\\Vantorel\\Tom & Jerry: Part 2?",
         "C:\\Start Menu\\Vantorel\\Tom & Jerry Part 2"},
        {"C:\\Games\\A<B>C|D\"E*F/G:H?I", "C:\\Games\\ABCDEFGHI"},
        {":*?ab:", ":*?ab"},           // the first three positions are kept
        {"C:\\Games\\ZK Game   ", "C:\\Games\\ZK Game"},
        {"C:\\Games\\ZK Game ? ", "C:\\Games\\ZK Game"},
        {"   ", " "},                  // the first character always stays
        {"C:\\Games\\Tab\t", "C:\\Games\\Tab\t"},  // only blanks are trailing cuts
        {"", ""},
        {"C:\\Spiele\\M\xfcller & S\xf6hne", "C:\\Spiele\\M\xfcller & S\xf6hne"},
        {"C:\\" + std::string(400, 'x'), "C:\\" + std::string(256, 'x')},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, clean(c.in)) << c.in;
}

// Saves the installer-state fields these tests change and puts them back.
class ProductNames : public ::testing::Test {
  protected:
    void SetUp() override {
        saved = new zk::CZKInstaller(s);
        zk::copyText(s.m_startMenuPath, "C:\\ProgramData\\Start Menu\\Programs");
        zk::copyText(s.m_programFilesPath, "C:\\Program Files");
        zk::copyText(s.m_company, "Vantorel");
        zk::copyText(s.m_installFolder, "D:\\Old\\Place");
        s.m_previouslyInstalled = false;
    }
    void TearDown() override {
        s = *saved;
        delete saved;
    }
    zk::CZKInstaller& s = zk::installer();
    zk::CZKInstaller* saved = nullptr;
};

TEST_F(ProductNames, StartMenuFolderFollowsTheProductName) {
    struct Case {
        std::string name;
        std::string folder;
    } cases[] = {
        {"ZK Game", "C:\\ProgramData\\Start Menu\\Programs\\Vantorel\\ZK Game"},
        {"Harbour: Return?", "C:\\ProgramData\\Start Menu\\Programs\\Vantorel\\Harbour Return"},
        {"Tom & Jerry  ", "C:\\ProgramData\\Start Menu\\Programs\\Vantorel\\Tom & Jerry"},
    };
    for (const Case& c : cases) {
        std::string name = c.name;
        EXPECT_TRUE(ZKINSTALL_setProductName(&name[0]));
        EXPECT_STREQ(c.name.c_str(), s.m_productName);
        EXPECT_EQ(c.folder, s.m_startMenuFolder) << c.name;
        EXPECT_STREQ("D:\\Old\\Place", s.m_installFolder) << "install folder must not move";
    }

    std::string longName(400, 'p');
    ZKINSTALL_setProductName(&longName[0]);
    EXPECT_EQ(259u, strlen(s.m_productName));
    EXPECT_EQ(259u, strlen(s.m_startMenuFolder));
}

TEST_F(ProductNames, InstallFolderFollowsTheFriendlyNameUnlessInstalledBefore) {
    char name[] = "Harbour Lights";
    EXPECT_TRUE(ZKINSTALL_setFriendlyProductName(name));
    EXPECT_STREQ("Harbour Lights", s.m_friendlyName);
    EXPECT_STREQ("C:\\Program Files\\Vantorel\\Harbour Lights", s.m_installFolder);

    s.m_previouslyInstalled = true;
    zk::copyText(s.m_installFolder, "E:\\Where\\It\\Was");
    char other[] = "Harbour Lights Gold";
    EXPECT_TRUE(ZKINSTALL_setFriendlyProductName(other));
    EXPECT_STREQ("Harbour Lights Gold", s.m_friendlyName);
    EXPECT_STREQ("E:\\Where\\It\\Was", s.m_installFolder);

    s.m_previouslyInstalled = false;
    std::string longName(400, 'f');
    ZKINSTALL_setFriendlyProductName(&longName[0]);
    EXPECT_EQ(259u, strlen(s.m_installFolder));
}

TEST(InstallFolderVerdict, UnknownSystemFoldersProtectNothing) {
    struct Case {
        const char* windows;
        const char* profiles;
        const char* path;
        PathStatus expected;
    } cases[] = {
        {"", "", "C:\\Games\\ZK Game", PathValid},
        {"C:\\WINNT", "", "c:\\winnt\\Games", PathProtected},
        {"", "C:\\Documents and Settings\\", "C:\\Documents and Settings\\x\\y", PathProtected},
        {"", "C:\\Documents and Settings\\", "C:\\Games\\ZK Game", PathValid},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, zk::validateInstallPath(c.path, c.windows, c.profiles))
            << c.path << " with [" << c.windows << "] [" << c.profiles << "]";
}

// A 2x2 24-bit bitmap file.
std::string bitmapFile() {
    std::string bmp(54 + 16, '\0');
    auto put32 = [&](size_t at, DWORD v) { memcpy(&bmp[at], &v, 4); };
    auto put16 = [&](size_t at, WORD v) { memcpy(&bmp[at], &v, 2); };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<DWORD>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 2);
    put32(22, 2);
    put16(26, 1);
    put16(28, 24);
    put32(34, 16);
    for (size_t i = 54; i < bmp.size(); ++i)
        bmp[i] = static_cast<char>(0x40 + i);
    return bmp;
}

TEST(SideBar, LoadsAsSectionAndReleasesThePrevious) {
    zktest::ScratchDir dir;
    const std::string file = dir / "sidebar.bmp";
    zktest::writeFile(file, bitmapFile());
    zktest::writeFile(dir / "broken.bmp", "not a bitmap");
    zk::CZKInstaller& s = zk::installer();

    EXPECT_TRUE(ZKINSTALL_setSideBar(file.c_str()));
    HBITMAP first = s.m_sideBar;
    ASSERT_NE(nullptr, first);
    DIBSECTION section;
    ASSERT_EQ(static_cast<int>(sizeof section), GetObjectA(first, sizeof section, &section))
        << "not loaded as a device-independent section";
    EXPECT_EQ(2, section.dsBm.bmWidth);
    EXPECT_EQ(24, section.dsBm.bmBitsPixel);

    EXPECT_TRUE(ZKINSTALL_setSideBar(file.c_str()));
    ASSERT_NE(nullptr, s.m_sideBar);
    EXPECT_NE(first, s.m_sideBar);
    EXPECT_EQ(0u, GetObjectType(first)) << "the replaced bitmap was not released";

    for (const std::string& bad : {dir / "broken.bmp", dir / "missing.bmp"}) {
        EXPECT_TRUE(ZKINSTALL_setSideBar(bad.c_str()));
        EXPECT_EQ(nullptr, s.m_sideBar) << bad;
    }
    EXPECT_TRUE(ZKINSTALL_getSideBar(nullptr));
}

} // namespace
