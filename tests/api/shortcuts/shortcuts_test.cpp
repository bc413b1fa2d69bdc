// The Start-menu group and the desktop link as a host makes them after the
// copy: disc 1 read, a game in a scratch folder, then the exports.  In the XP
// prefix the links are made and listed in shortcuts_xp.manifest for
// check_links.py, which reads them back with lnkinfo; under "Window Vista"
// nothing may be made.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "ZKInstall.h"
#include "zktest/discs.h"
#include "zktest/harness.h"

namespace {

// Writes a file, making its folder first.
void put(const std::string& path, const std::string& content) {
    zktest::makeDirs(path.substr(0, path.rfind('\\')));
    zktest::writeFile(path, content);
}

const char kGuid[] = "{6B2C3D4E-5F60-4172-8394-A5B6C7D8E9F0}";

std::string get(void (*getter)(char*)) {
    char out[260] = {};
    getter(out);
    return out;
}
std::string get(bool (*getter)(char*)) {
    char out[260] = {};
    getter(out);
    return out;
}

// A host's 260-byte buffer holding text.
std::vector<char> buffer(const char* text) {
    std::vector<char> b(260, '\0');
    snprintf(b.data(), b.size(), "%s", text);
    return b;
}

std::string specialFolder(int csidl) {
    char out[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, out);
    return out;
}

bool linksExpected() {
    const char* os = getenv("ZK_EXPECT_OS");
    return os && strcmp(os, "Window Vista") != 0;
}

// The Unix path of a Windows path, for the native checker.
std::string unixPath(const std::string& path) {
    typedef char*(__cdecl * ToUnix)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char* name = toUnix ? toUnix(wide) : nullptr;
    std::string result = name ? name : "";
    if (name)
        HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// The files (not folders) of a folder with their contents.
std::set<std::string> filesIn(const std::string& folder) {
    std::set<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.insert(std::string(found.cFileName) + "=" +
                         zktest::readFile(folder + "\\" + found.cFileName));
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return files;
}

void writeWide(const std::string& path, const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii)
        bytes += std::string(1, c) + '\0';
    put(path, bytes);
}

class ShortcutsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(zktest::haveDiscDrives()) << "run through the build's wine-run.sh";
        script.setFallback(zktest::kEndProcess);
        ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
        ZKINSTALL_setBeforeCDRequest(zktest::MessageScript::beforeRequest);

        std::string root = zktest::discFolder('d');
        zktest::writeDisc(root, 1, kGuid);
        put(root + "\\AutoRun\\autorun.cfg",
                          "Registry=" + company + "\\Sky Pirates\r\nAppName=Sky Pirates\r\n"
                          "Executable=Bin\\Sky Pirates.exe\r\nIcon=Bin\\pirates.ico\r\n"
                          "ProductGuiID=" + std::string(kGuid) + "\r\nEnglish US=1\r\n"
                          "RTPatch=1\r\nRTPatchURL=http://patch.example/sky\r\n"
                          "WebURL=www.skypirates.example\r\nStartMenuDXEULA=1\r\n");
        writeWide(root + "\\Support\\Localization.ini",
                  "[README]\r\nen-us=skyreadme.txt\r\n[en-us]\r\n"
                  "WEBURL= https://en.skypirates.example/ \r\n");
        ASSERT_TRUE(SetCurrentDirectoryA((root + "\\").c_str()));
        char exe[] = "AutoRun.exe";
        ASSERT_TRUE(ZKINSTALL_init(exe));
        ASSERT_TRUE(ZKINSTALL_readSettings());
        ASSERT_TRUE(ZKINSTALL_setLanguage(1));

        for (const char* file : {"Bin\\Sky Pirates.exe", "Bin\\pirates.ico", "ZKUninstall.exe",
                                 "Art\\zkuninstall.ico", "Support\\Veroscope.exe",
                                 "Support\\en-us\\skyreadme.txt", "Support\\en-us_eula.txt",
                                 "Support\\European Help Files\\ZK_Help_Select.htm"})
            put(game / file, file);
        ZKINSTALL_setGameCacheLocation(buffer(game.path().c_str()).data());
        ZKINSTALL_setDirectXInstalled(true);
    }

    zktest::DiscDrivesGuard drives;
    zktest::MessageScript script;
    const std::string company = "ZKLinks" + std::to_string(GetCurrentProcessId());
    zktest::ScratchDir game{"zkgame"};
};

TEST_F(ShortcutsTest, AGameInstallationsGroupAndDesktopLink) {
    // Only the run that lists the links replaces the list: the other prefix's
    // run may come between it and its reader.
    if (linksExpected())
        DeleteFileA((zktest::binDir() + "\\shortcuts_xp.manifest").c_str());
    ZKINSTALL_setStartMenuLocation(buffer("Sky Games").data());
    const std::string folder = get(ZKINSTALL_getStartMenuRoot) + "\\Sky Games\\Sky Pirates";
    ASSERT_EQ(folder, get(ZKINSTALL_getStartMenuLocation));
    const std::string desktop = specialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\Sky Pirates.lnk";
    zktest::removeTree(folder);
    DeleteFileA(desktop.c_str());
    if (linksExpected())
        put(folder + "\\stale.lnk", "from an earlier installation");

    // The desktop link first: the group must still find the game's own folder.
    EXPECT_TRUE(ZKINSTALL_createDesktopItem());
    EXPECT_TRUE(ZKINSTALL_createStartMenuItems());
    EXPECT_TRUE(ZKINSTALL_createDesktopItem());
    EXPECT_STREQ("https://en.skypirates.example/", g_WebURL);
    const std::string bin = game / "Bin";
    EXPECT_EQ(linksExpected() ? bin : game.path(), get(ZKINSTALL_getGameCacheLocation));

    if (!linksExpected()) {
        EXPECT_FALSE(zktest::exists(folder));
        EXPECT_FALSE(zktest::exists(desktop));
        return;
    }
    // name, target, arguments, working folder, icon, description (.url: the address as target)
    const std::string support = game / "Support";
    const std::vector<std::vector<std::string>> links = {
        {"Sky Pirates.lnk", bin + "\\Sky Pirates.exe", "", bin, bin + "\\pirates.ico", "Sky Pirates"},
        {"System Information.lnk", support + "\\Veroscope.exe", "\"Sky Pirates.exe\"", support, "",
         "System Information"},
        {"Check for Updates.url", "http://patch.example/sky"},
        {"Read Me.lnk", support + "\\en-us\\skyreadme.txt", "", "", "", "Read Me"},
        {"Technical Support.lnk", support + "\\European Help Files\\ZK_Help_Select.htm", "",
         support, "", "Technical Support"},
        // The host's text 15 carries conversions beyond its one %s: they stay text.
        {"Uninstall Sky Pirates %d%n.lnk", game / "ZKUninstall.exe", "", game.path(),
         game / "Art\\zkuninstall.ico", "Sky Pirates"},
        {"DirectX Licence.lnk", support + "\\en-us_eula.txt", "", "", "", ""},
        {"Visit the Web Site.url", "https://en.skypirates.example/"},
    };
    std::set<std::string> expectedNames, names;
    std::ofstream manifest(zktest::binDir() + "\\shortcuts_xp.manifest", std::ios::binary);
    for (const auto& link : links) {
        expectedNames.insert(link[0]);
        manifest << unixPath(folder + "\\" + link[0]);
        for (size_t i = 1; i < link.size(); ++i)
            manifest << '\t' << link[i];
        manifest << '\n';
    }
    manifest << unixPath(desktop) << '\t' << links[0][1] << "\t\t" << bin << '\t' << links[0][4]
             << "\t\n";
    for (const std::string& f : filesIn(folder))
        names.insert(f.substr(0, f.find('=')));
    EXPECT_EQ(expectedNames, names);  // the stale link is gone, nothing else came
    EXPECT_TRUE(zktest::exists(desktop));
}

TEST_F(ShortcutsTest, HostileNamesStayInsideTheirGroup) {
    const std::string programs = get(ZKINSTALL_getStartMenuRoot);
    const std::string startup = specialFolder(CSIDL_COMMON_STARTUP);
    const std::string games = programs + "\\Games";
    ASSERT_FALSE(programs.empty());
    ASSERT_FALSE(startup.empty());
    for (const std::string& f : {programs, startup, games})
        put(f + "\\zk-sentinel.lnk", "sentinel");
    const auto before = [&] {
        return std::vector<std::set<std::string>>{filesIn(programs), filesIn(startup),
                                                  filesIn(games)};
    };
    const auto sentinels = before();

    const struct {
        const char* group;
        const char* product;
        bool groupTaken;
    } cases[] = {
        {"..", "Zk Hostile", false},       {".", "Zk Hostile", false},
        {" .. ", "Zk Hostile", false},     {"Startup", "Zk Hostile", false},
        {"Games", "..", true},             {"Games", ".", true},
        {"Games", "..\\..", true},         {"Games", "..\\..\\StartUp\\Evil", true},
        {"Games", "..\\StartUp", true},    {"Games", "", true},
        {"Games", "\\", true},
    };
    for (const auto& c : cases) {
        // Not the fixture game's name: its desktop link stays for check_links.py.
        ZKINSTALL_setProductName(buffer("Zk Hostile").data());
        ZKINSTALL_setStartMenuLocation(buffer("Games").data());
        const std::string previous = get(ZKINSTALL_getStartMenuLocation);
        std::vector<char> group = buffer(c.group);
        ZKINSTALL_setStartMenuLocation(group.data());
        EXPECT_EQ(c.groupTaken ? c.group : previous, std::string(group.data())) << c.group;
        ZKINSTALL_setProductName(buffer(c.product).data());
        ZKINSTALL_createStartMenuItems();
        ZKINSTALL_createDesktopItem();
        EXPECT_EQ(sentinels, before()) << c.group << " / " << c.product;
    }
    for (const std::string& f : {programs, startup, games})
        DeleteFileA((f + "\\zk-sentinel.lnk").c_str());
    zktest::removeTree(games);
}

} // namespace
