// Paths, files, versions and running programs through the DLL: install-folder verdicts,
// path squeezing, ampersands for the host's dialogs, file queries, locale-dependent and
// dotted versions, FileVersion texts of fixture files, programs counted by name.
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

TEST(FileQueries, FilesFoldersWildcardsAndNewFolderChains) {
    zktest::ScratchDir dir;
    zktest::writeFile(dir / "game.exe", "MZ");
    std::string deep = dir / "Vantorel\\ZK Game\\Saves", blocked = dir / "game.exe\\inside";
    EXPECT_TRUE(ZKINSTALL_createDirectory(&deep[0]));
    EXPECT_FALSE(ZKINSTALL_createDirectory(&blocked[0]));  // a file cannot become a folder
    struct Case {
        std::string path;
        bool isFile, fileExists, dirExists;
    } cases[] = {
        {dir / "game.exe", true, true, false},       {dir / "*.exe", true, true, false},
        {deep, false, false, true},                  {blocked, false, false, false},
        {dir / "missing.txt", false, false, false},
    };
    for (Case& c : cases) {
        EXPECT_EQ(c.isFile, ZKINSTALL_isFile(&c.path[0])) << c.path;
        EXPECT_EQ(c.fileExists, ZKINSTALL_fileExists(c.path.c_str())) << c.path;
        EXPECT_EQ(c.dirExists, ZKINSTALL_dirExists(c.path.c_str())) << c.path;
    }
}

TEST(VersionCompare, NumericFieldByField) {
    const std::string overlong = "1.2.3." + std::string(3000, '7');  // beyond any buffer
    const struct {
        std::string a, b;
        int expected;
    } cases[] = {
        {"1.2", "1.2.0.0", 0}, {"", "0.0.0.0", 0}, {"UNKNOWN", "0.0.0.0", 0}, {"-1.0", "0.0", -1},
        {"1.10.0.0", "1.9.0.0", 1}, {"6.0.2900.2180", "6.0.2900.2181", -1},
        {"1.2.3.4.5", "1.2.3.4.9", 0},     // a fifth field is never read
        {"4.9", "4.8.9999.9999", 1},       // the first differing field decides
        {"9.0c", "9.0", 0},                // reading stops at the letter
        {"1..2", "1.0.0.0", 0},            // an empty field ends the reading
        {"3,1", "3.0", 0},                 // commas are not separators here
        {"99999999999", "2147483647", 0},  // out of range clamps, it does not wrap
        {overlong, "1.2.3", 1},
        {std::string(2000, '5'), "1.0", 1},
    };
    CZKVersion version;
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, version.compare(c.a.c_str(), c.b.c_str())) << c.a << " vs " << c.b;
        EXPECT_EQ(-c.expected, version.compare(c.b.c_str(), c.a.c_str())) << c.b << " vs " << c.a;
    }
}

TEST(VersionString, FirstTranslationWithFileVersionWins) {
    std::string cut;
    for (int i = 0; i < 110; ++i)
        cut += "0123456789";
    const struct {
        const char* file;
        std::string text;  // empty: the call fails
    } cases[] = {
        {"zkver_one.dll", "1.2.3.4"},
        // German has no FileVersion; US English is listed before French, which is stored first.
        {"zkver_many.exe", "2, 0, 0, 7"},
        // The unlisted German table's FileVersion must not be taken.
        {"zkver_nofileversion.dll", ""}, {"zkver_empty.dll", ""}, {"zkver_none.dll", ""},
        {"no_such_file.dll", ""}, {"zkver_long.dll", cut.substr(0, 1023)},  // cut to the buffer
    };
    for (const auto& c : cases) {
        // The buffer starts out dirty, so an output that is not emptied shows.
        char buffer[1024 + 64];
        memset(buffer, 'x', sizeof buffer);
        buffer[sizeof buffer - 1] = '\0';
        const std::string path = zktest::binDir() + "\\" + c.file;
        EXPECT_EQ(!c.text.empty(), CZKVersion().getVersionString(path.c_str(), buffer)) << c.file;
        EXPECT_EQ(c.text, std::string(buffer, strnlen(buffer, 1024))) << c.file;
        EXPECT_EQ(std::string(63, 'x'), std::string(buffer + 1024, 63)) << c.file;
    }
}

bool running(std::string name, int allowed) {
    return ZKINSTALL_isThisProgramRunning(&name[0], allowed);
}

// Copies of the fixture program under a name no other test uses, so other tests' programs
// cannot change the counts.
TEST(RunningPrograms, CountsInstancesByFileName) {
    zktest::ScratchDir dir{"zkrun"};
    const std::string exeName = "zkrun_" + std::to_string(GetCurrentProcessId()) + ".exe";
    const std::string exePath = dir / exeName;
    ASSERT_TRUE(CopyFileA((zktest::binDir() + "\\zkfixture.exe").c_str(), exePath.c_str(), 0));
    std::vector<PROCESS_INFORMATION> started;
    auto start = [&](int sleepMs) {
        std::string cmd = "\"" + exePath + "\" --sleep " + std::to_string(sleepMs);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        started.emplace_back();
        EXPECT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &si, &started.back()));
    };

    // The checks run a second apart: a program gone after the first one is not running.
    start(1200);
    DWORD begin = GetTickCount();
    EXPECT_FALSE(running(exeName, 0));
    EXPECT_GE(GetTickCount() - begin, 900u) << "it was not seen by the first check";

    start(60000);
    start(60000);
    char own[MAX_PATH];
    GetModuleFileNameA(nullptr, own, sizeof own);
    std::string upper = exeName;
    CharUpperA(&upper[0]);
    const struct {
        std::string name;
        int allowed;
        bool expected;
    } cases[] = {
        {exeName, 1, true},   {exeName, 2, false},
        {upper, 1, true},     {exePath, 0, false},  // the file name, not a path
        {exeName.substr(0, exeName.size() - 4), 0, false},
        {strrchr(own, '\\') + 1, 0, true},          {"", 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, running(c.name, c.allowed)) << c.name << " allowed " << c.allowed;

    for (PROCESS_INFORMATION& pi : started) {
        TerminateProcess(pi.hProcess, 0);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
}

} // namespace
