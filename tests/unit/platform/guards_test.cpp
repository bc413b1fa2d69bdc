// The guards: folders against the real file system, key shapes against the
// keys the library composes, quoted arguments against the system's parser.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "core/installer.h"
#include "platform/text.h"
#include "integration/game_registry.h"
#include "platform/cmdline.h"
#include "platform/guards.h"
#include "zktest/harness.h"

namespace {

std::string shortForm(const std::string& path) {
    char text[MAX_PATH] = {};
    DWORD n = GetShortPathNameA(path.c_str(), text, sizeof text);
    return n > 0 && n < sizeof text ? text : "";
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), ::toupper);
    return text;
}

TEST(Guards, StrictlyInsideAFolder) {
    zktest::ScratchDir dir{"zkguard"};
    const std::string folder = dir / "Long Folder Name", sub = folder + "\\sub";
    zktest::makeDirs(sub);
    zktest::makeDirs(dir / "Long Folder NameX\\a");
    const std::string shortFolder = shortForm(folder), shortSub = shortForm(sub);
    ASSERT_NE("", shortFolder);
    ASSERT_EQ(std::string::npos, shortFolder.find("Long Folder Name")) << shortFolder;

    const struct {
        std::string path, folder;
        bool inside;
    } cases[] = {
        {sub, folder, true},
        {sub + "\\new file.txt", folder, true},  // need not exist
        {upper(sub), folder, true},
        {sub, folder + "\\\\", true},
        {folder + "\\.\\sub", folder + "\\..\\Long Folder Name", true},
        {"Long Folder Name\\sub", folder, true},  // relative to the current folder
        {shortFolder + "\\sub", folder, true},
        {shortSub, folder, true},
        {sub, shortFolder, true},
        {shortFolder + "\\new.txt", folder, true},
        {folder, folder, false},
        {folder + "\\", folder, false},
        {shortFolder, folder, false},
        {sub + "\\..", folder, false},
        {sub + "\\..\\..\\Long Folder NameX\\a", folder, false},
        {dir / "Long Folder NameX\\a", folder, false},
        {dir.path(), folder, false},
        {"", folder, false},
        {sub, "", false},
    };
    char previous[MAX_PATH];
    ASSERT_NE(0u, GetCurrentDirectoryA(sizeof previous, previous));
    ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
    for (const auto& c : cases)
        EXPECT_EQ(c.inside, zk::isStrictlyInside(c.path.c_str(), c.folder.c_str()))
            << c.path << " in " << c.folder;
    SetCurrentDirectoryA(previous);
    EXPECT_FALSE(zk::isStrictlyInside(nullptr, folder.c_str()));
    EXPECT_FALSE(zk::isStrictlyInside(sub.c_str(), nullptr));
    // The same folder in other forms, and what is not the same.
    EXPECT_TRUE(zk::isSameFolder(folder.c_str(), (upper(shortFolder) + "\\").c_str()));
    EXPECT_TRUE(zk::isSameFolder((sub + "\\..").c_str(), folder.c_str()));
    EXPECT_FALSE(zk::isSameFolder(sub.c_str(), folder.c_str()));
    EXPECT_FALSE(zk::isSameFolder((folder + "X").c_str(), folder.c_str()));
    EXPECT_FALSE(zk::isSameFolder("", ""));
}

// What each registry guard answers for a key: a game's own key (P), a
// product's entry in a shared system list (U), or neither.
enum KeyKind { Neither, P, U };

std::vector<std::pair<std::string, KeyKind>> composedKeys() {
    auto state = std::make_unique<zk::CZKInstaller>();
    zk::CZKInstaller& s = *state;
    zk::copyText(s.m_company, "Vantorel");
    zk::copyText(s.m_registryName, "Game One");
    zk::copyText(s.m_executable, "game.exe");
    std::vector<std::pair<std::string, KeyKind>> keys;
    char game[zk::kKeyPath], path[zk::kKeyPath];
    EXPECT_TRUE(zk::gameKey(s, game, sizeof game));
    keys.push_back({game, P});
    for (const char* version : {"2.1", ""}) {
        EXPECT_TRUE(zk::versionKey(game, version, path, sizeof path));
        keys.push_back({path, P});
    }
    for (const char* link : {"Family", "Family\\", "Family\\Racing"}) {
        zk::copyText(s.m_coreLink, link);
        EXPECT_TRUE(zk::installedGamesKey(s, path, sizeof path));
        keys.push_back({path, P});
    }
    EXPECT_TRUE(zk::appPathsKey(s, path, sizeof path));
    keys.push_back({path, U});
    EXPECT_TRUE(zk::uninstallKey("{6B29FC40-CA47-1067-B31D-00DD010662DA}", path, sizeof path));
    keys.push_back({path, U});
    // The shared list itself is what the uninstaller must leave standing.
    std::string list = zk::kInstalledGamesRoot;
    list.pop_back();
    keys.push_back({list, Neither});
    return keys;
}

TEST(Guards, ProductAndUninstallKeys) {
    const std::string cv = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
    std::vector<std::pair<std::string, KeyKind>> cases = {
        {"SOFTWARE\\Vantorel\\Game", P},
        {"software\\vantorel\\game\\1.0", P},
        {"SOFTWARE\\Vantorel\\ZK Core\\Installed Games\\Family", P},
        {"SOFTWARE\\Vantorel\\ZK Core", Neither},
        {"Software\\Vantorel\\zk core\\INSTALLED GAMES", Neither},
        {"SOFTWARE", Neither},
        {"SOFTWARE\\Vantorel", Neither},
        {"SOFTWARE\\Microsoft\\Game", Neither},
        {"SOFTWARE\\classes\\.zk\\shell", Neither},
        {"SOFTWARE\\Policies\\Vantorel\\Game", Neither},
        {"SOFTWARE\\WOW6432Node\\Vantorel\\Game", Neither},
        {"SYSTEM\\CurrentControlSet\\Services", Neither},
        {"\\SOFTWARE\\Vantorel\\Game", Neither},
        {"SOFTWARE\\Vantorel\\Game\\", Neither},
        {"SOFTWARE\\\\Vantorel\\Game", Neither},
        {"SOFTWARE\\Vantorel\\.\\Game", Neither},
        {"SOFTWARE\\Vantorel\\Game\\..", Neither},
        {"", Neither},
        {cv + "Uninstall\\{6B29FC40-CA47-1067-B31D-00DD010662DA}", U},
        {upper(cv) + "UNINSTALL\\Game One", U},
        {cv + "App Paths\\game.exe", U},
        {cv + "Uninstall", Neither},
        {cv + "Uninstall\\", Neither},
        {cv + "App Paths\\", Neither},
        {cv + "Uninstall\\..", Neither},
        {cv + "Uninstall\\Game\\Sub", Neither},
        {cv + "App Paths\\game.exe\\", Neither},
        {cv + "Run\\game", Neither},
    };
    for (const auto& key : composedKeys())
        cases.push_back(key);
    for (const auto& c : cases) {
        EXPECT_EQ(c.second == P, zk::isProductKey(c.first.c_str())) << c.first;
        EXPECT_EQ(c.second == U, zk::isProductUninstallKey(c.first.c_str())) << c.first;
    }
    EXPECT_FALSE(zk::isProductKey(nullptr));
    EXPECT_FALSE(zk::isProductUninstallKey(nullptr));
}

// The system's own parser on "prog.exe <argument> next".
std::vector<std::string> parsed(const std::string& argument) {
    std::string line = "prog.exe " + argument + " next";
    std::wstring wide(line.size() + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, line.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(wide.c_str(), &count);
    std::vector<std::string> out;
    for (int i = 0; args && i < count; ++i) {
        char text[1024] = {};
        WideCharToMultiByte(CP_ACP, 0, args[i], -1, text, sizeof text, nullptr, nullptr);
        out.push_back(text);
    }
    LocalFree(args);
    return out;
}

TEST(Guards, QuotedArgumentsParseBackUnchanged) {
    const struct {
        const char* arg;
        const char* quoted;
    } cases[] = {
        {"plain", "plain"},
        {"C:\\Games\\", "C:\\Games\\"},
        {"\\\\server\\share\\a\\\\b", "\\\\server\\share\\a\\\\b"},
        {"", "\"\""},
        {"two words", "\"two words\""},
        {"tab\there", "\"tab\there\""},
        {"line\nbreak", "\"line\nbreak\""},
        {"C:\\Program Files\\Game\\", "\"C:\\Program Files\\Game\\\\\""},
        {"C:\\Games\\ \\\\", "\"C:\\Games\\ \\\\\\\\\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"\"", "\"\\\"\""},
        {"a\\\"b", "\"a\\\\\\\"b\""},
        {"a\\\\\"b c", "\"a\\\\\\\\\\\"b c\""},
        {"back\\slash in the middle", "\"back\\slash in the middle\""},
        {"\\\"\\\\\"", "\"\\\\\\\"\\\\\\\\\\\"\""},
    };
    for (const auto& c : cases) {
        char quoted[256];
        ASSERT_TRUE(zk::quoteArgument(c.arg, quoted, sizeof quoted)) << c.arg;
        EXPECT_STREQ(c.quoted, quoted);
        EXPECT_EQ((std::vector<std::string>{"prog.exe", c.arg, "next"}), parsed(quoted)) << quoted;
    }
    // Refused, never cut: exactly fitting is fine, one byte less is not.
    char out[8] = "x";
    EXPECT_TRUE(zk::quoteArgument("a b\"", out, 8));
    EXPECT_STREQ("\"a b\\\"\"", out);
    EXPECT_FALSE(zk::quoteArgument("a b\"", out, 7));
    EXPECT_STREQ("", out);
    EXPECT_FALSE(zk::quoteArgument("abcdefgh", out, 8));
    EXPECT_TRUE(zk::quoteArgument(nullptr, out, 8));
    EXPECT_STREQ("\"\"", out);
}

// The relaunch's arguments: the last relaunch's group replaced, every argument
// back unchanged, the line as long as Windows takes and no longer.
TEST(Guards, RestartArgumentsReplaceTheLastGroup) {
    const struct {
        std::vector<const char*> args;
        const char* folder;
        std::vector<std::string> back;
    } cases[] = {
        {{"a", "b c"}, "D:\\", {"a", "b c", "-restart", "-dir", "D:\\"}},
        {{"/S", "-restart", "-dir", "E:\\Old Disc\\", "/LOG=C:\\x y.log"}, "D:\\Setup Files\\",
         {"/S", "/LOG=C:\\x y.log", "-restart", "-dir", "D:\\Setup Files\\"}},
        {{"-RESTART", "-Dir", "E:", "-restart", "-dir", "F:", "say \"hi\""}, "D:",
         {"say \"hi\"", "-restart", "-dir", "D:"}},
        {{"", "-restart", "-dir"}, "C:\\a b", {"", "-restart", "-dir", "C:\\a b"}},
        {{"-restart", "x"}, "D:", {"-restart", "x", "-restart", "-dir", "D:"}},
        {{}, "", {"-restart", "-dir", ""}},
    };
    for (const auto& c : cases) {
        zk::CZKCommandLine line;
        ASSERT_TRUE(zk::buildRestartArguments(c.args.data(), static_cast<int>(c.args.size()),
                                              c.folder, line));
        std::vector<std::string> back = parsed(line.text());
        ASSERT_GE(back.size(), 2u);
        EXPECT_EQ(c.back, std::vector<std::string>(back.begin() + 1, back.end() - 1))
            << line.text();
    }
    zk::CZKCommandLine line;
    const char* const ab[] = {"a", "b c"};
    ASSERT_TRUE(zk::buildRestartArguments(ab, 2, "D:\\", line));
    EXPECT_STREQ("a \"b c\" -restart -dir D:\\", line.text());

    const std::string big(20000, 'x'), half(16375, 'y');
    const char* const one[] = {big.c_str()};
    zk::CZKCommandLine grown;
    EXPECT_TRUE(zk::buildRestartArguments(one, 1, "D:", grown));
    EXPECT_EQ(big + " -restart -dir D:", grown.text());
    // 2 x 16375 + 1 characters fit; the group behind them would pass 32767.
    const char* const two[] = {half.c_str(), half.c_str()};
    zk::CZKCommandLine full;
    EXPECT_FALSE(zk::buildRestartArguments(two, 2, "D:", full));
}

} // namespace
