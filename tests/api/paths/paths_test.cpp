// Install-folder verdicts, path squeezing, ampersands for the host's dialogs
// and locale-dependent version texts, through the DLL.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>
#include <vector>

#include "ZKInstall.h"
#include "zktest/harness.h"

namespace {

PathStatus verdict(std::string path) { return ZKINSTALL_getIsValidZKPath(&path[0]); }

std::string upper(std::string s) { return CharUpperA(&s[0]), s; }

// A path of exactly `length` characters with a backslash every 20.
std::string pathOfLength(size_t length, std::string p = "C:\\Games\\") {
    while (p.size() < length)
        p += (p.size() % 20 == 0 && p.size() + 1 < length) ? '\\' : 'a';
    return p;
}

TEST(InstallFolderVerdict, ByTextAlone) {
    char buf[MAX_PATH] = {};
    GetWindowsDirectoryA(buf, sizeof buf);
    const std::string win = buf;
    GetEnvironmentVariableA("USERPROFILE", buf, sizeof buf);
    const std::string prof = std::string(buf).substr(0, std::string(buf).find_last_of('\\'));
    ASSERT_GT(prof.size(), 3u);
    std::string deep = "C:";
    for (int i = 0; i < 27; ++i)
        deep += "\\d";
    const std::pair<std::string, PathStatus> cases[] = {
        {"C:\\Games\\ZK Game", PathValid},   {"C:\\a", PathValid},
        {"C:", PathMalformed},               {"C:\\", PathMalformed},
        {"C:\\Games\\", PathMalformed},      {"C:\\Games\\ZK Game.", PathMalformed},
        {"C:\\Games\\\\ZK", PathMalformed},  {"Games\\ZK Game", PathMalformed},
        {"CC:\\Games", PathMalformed},       {"C:Games\\ZK", PathMalformed},
        {"D:\\Games:2", PathMalformed},      {"\\\\server\\share\\Games", PathMalformed},
        {"", PathMalformed},                 {"C:\\Games\\A|B\\", PathBadCharacter},
        {win + "\\Games", PathProtected},    {upper(win) + "\\GAMES", PathProtected},
        {win + "games", PathProtected},      {prof + "\\Public\\ZK Game", PathProtected},
        {upper(prof) + "\\x\\ZK Game", PathProtected},
        {pathOfLength(127), PathValid},      {pathOfLength(128), PathTooLong},
        {pathOfLength(130) + "\\", PathMalformed},
        {pathOfLength(130, win + "\\") + "?", PathBadCharacter},
        {pathOfLength(130, win + "\\"), PathTooLong},
        {deep, PathValid},                   {deep + "\\d", PathMalformed},
        {deep + "\\d|", PathMalformed},  // the backslash count is judged last
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.second, verdict(c.first)) << c.first;
    for (char bad : std::string("|\"/*?<>"))
        EXPECT_EQ(PathBadCharacter, verdict(std::string("C:\\Games\\A") + bad + "B")) << bad;
}

// Existing items below C:\ (the temporary folder lies in the always protected profiles folder).
TEST(InstallFolderVerdict, ReadOnlyOrSystemItemsAreProtected) {
    const std::string base = "C:\\zkpaths_" + std::to_string(GetCurrentProcessId());
    zktest::removeTree(base);
    zktest::makeDirs(base);
    const struct {
        const char* item;
        DWORD attribute;
        PathStatus expected;
    } cases[] = {{"plain", 0, PathValid}, {"hidden", FILE_ATTRIBUTE_HIDDEN, PathValid},
                 {"system", FILE_ATTRIBUTE_SYSTEM, PathProtected},
                 {"readonly.txt", FILE_ATTRIBUTE_READONLY, PathProtected}};
    for (const auto& c : cases) {
        const std::string path = base + "\\" + c.item;
        if (strchr(c.item, '.'))
            zktest::writeFile(path, "x");
        else
            zktest::makeDirs(path);
        DWORD now = GetFileAttributesA(path.c_str());
        SetFileAttributesA(path.c_str(), (now & FILE_ATTRIBUTE_DIRECTORY) | c.attribute);
        ASSERT_EQ(c.attribute, GetFileAttributesA(path.c_str()) & c.attribute) << path;
        EXPECT_EQ(c.expected, verdict(path)) << path;
    }
    zktest::removeTree(base);
}

TEST(SqueezeFilename, KeepsTheFileNameAndAsMuchOfTheStartAsFits) {
    const std::string game = "C:\\Games\\Vantorel\\ZK Game\\readme.txt";  // 36 characters
    std::string huge = "C:";
    while (huge.size() < 3000)
        huge += "\\folder";
    huge += "\\end.txt";
    const struct {
        std::string path;
        int maxLength;
        std::string expected;
    } cases[] = {
        {game, 36, game},
        {game, 35, "C:\\Games\\Vantorel\\...\\readme.txt"},
        {game, 31, "C:\\Games\\...\\readme.txt"},
        {game, 22, "readme.txt"},  // the drive alone is never offered
        {game, 4, "read"},
        {game, -5, ""},
        {"\\\\server\\share\\folder\\file.txt", 21, "\\\\server\\...\\file.txt"},
        {"a-path-without-any-backslash.txt", 10, "a-path-wit"},
        {"C:\\Games\\Vantorel\\", 14, "C:\\Games\\...\\"},
        {huge, 30, "C:\\folder\\folder\\...\\end.txt"},  // longer than any buffer
    };
    for (const auto& c : cases) {
        std::string path = c.path;
        std::vector<char> out(c.maxLength > 0 ? c.maxLength + 64 : 64, '#');
        ZKINSTALL_squeezeFilename(&path[0], out.data(), c.maxLength);
        const size_t limit = c.maxLength < 0 ? 0 : c.maxLength;
        EXPECT_EQ(c.expected, std::string(out.data(), strnlen(out.data(), limit + 1)))
            << c.path.substr(0, 40) << " at " << c.maxLength;
        EXPECT_EQ(std::string(out.size() - limit - 1, '#'),
                  std::string(out.begin() + limit + 1, out.end()))
            << "wrote past maxLength " << c.maxLength;
    }
}

TEST(MFCFriendly, AmpersandsAreDoubledAndEndsTrimmed) {
    const std::pair<std::string, std::string> cases[] = {
        {"Rock & Roll", "Rock && Roll"},
        {"  Tom && Jerry \t\n", "Tom &&&& Jerry"},
        {"   ", ""},
        {std::string(300, 'a'), std::string(259, 'a')},
        // 129 pairs fill 258 bytes; the next "&" has no room for its twin.
        {std::string(200, '&'), std::string(258, '&')},
        {std::string(258, 'a') + "&", std::string(258, 'a')},
    };
    for (const auto& c : cases) {
        char out[260 + 32];
        memset(out, '#', sizeof out);
        ZKINSTALL_makeStringMFCFriendly(out, c.first.c_str());
        EXPECT_EQ(c.second, std::string(out, strnlen(out, 260))) << c.first;
        EXPECT_EQ(std::string(32, '#'), std::string(out + 260, 32)) << c.first.size();
    }
}

TEST(ConvertVersion, FollowsTheProcessLocale) {
    const char* const cases[][3] = {
        {"C", "6.0.2900.2180", "6.0.2900.2180"},
        {"English_United States.1252", "9.0c", "9.0c"},
        {"deu", "6.0.2900.2180", "6,0,2900,2180"},
    };
    for (const auto& c : cases) {
        ASSERT_NE(nullptr, setlocale(LC_ALL, c[0])) << c[0];
        char text[64];
        strcpy(text, c[1]);
        EXPECT_EQ(strcmp(c[0], "deu") == 0, ZKINSTALL_convertVersion(text)) << c[0];
        EXPECT_STREQ(c[2], text) << c[0];
    }
    setlocale(LC_ALL, "C");
}

} // namespace
