// Internet Explorer and Flash components: versions read from registry states
// the tests write, the disc's setups by language, and the setup runs.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>
#include <vector>

#include "components/flash.h"
#include "components/ie.h"
#include "platform/decimal.h"
#include "platform/text.h"
#include "zktest/harness.h"

namespace {

// A value as another program may have left it: any type, any bytes, no
// terminator.
struct Value {
    const char* name;
    DWORD type;
    std::string data;
};
Value sz(const char* name, const char* text) { return {name, REG_SZ, std::string(text) + '\0'}; }

// Replaces the key under HKEY_LOCAL_MACHINE by one holding exactly `values`;
// `present` false leaves no key at all.
void writeKey(const char* path, bool present, const std::vector<Value>& values) {
    zktest::deleteTree(HKEY_LOCAL_MACHINE, path);
    if (!present)
        return;
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    for (const Value& v : values)
        RegSetValueExA(key, v.name, 0, v.type, reinterpret_cast<const BYTE*>(v.data.data()),
                       static_cast<DWORD>(v.data.size()));
    RegCloseKey(key);
}

const DWORD kSix = 6;
const std::string kDwordSix(reinterpret_cast<const char*>(&kSix), sizeof kSix);

TEST(IEVersions, InstalledVersionFromTheRegistry) {
    const struct {
        const char* name;
        bool key;
        std::vector<Value> values;
        int major, minor;
        const char* text;  // "untouched": the caller's text is left as it was
    } cases[] = {
        {"XP SP2", true, {sz("Version", "6.0.2900.2180")}, 6, 0, "6.0"},
        {"5.5 keeps its minor", true, {sz("Version", "5.50.4807.2300")}, 5, 50000, "5.50"},
        {"Wine's", true, {sz("Version", "9.11.9600.18376")}, 9, 11000, "9.11"},
        {"no minor starts at 0", true, {sz("Version", "7")}, 7, 0, "7"},
        {"no number", true, {sz("Version", "beta")}, 0, 0, "beta"},
        {"unterminated", true, {{"Version", REG_SZ, "6.0.1"}}, 6, 0, "6.0"},
        {"overlong minor", true, {sz("Version", "6.99999999999.1")}, 6, 2147483000,
         "6.99999999999"},
        {"not a string", true, {{"Version", REG_DWORD, kDwordSix}, sz("IVer", "101")}, 2, 0, "2"},
        {"longer than 256 bytes", true, {sz("Version", std::string(300, '8').c_str())}, 0, 0, "0"},
        {"IVer 100", true, {sz("IVer", "100")}, 1, 0, "1"},
        {"IVer 102", true, {sz("IVer", "102")}, 2, 0, "2"},
        {"IVer 103 build 1215", true, {sz("IVer", "103"), sz("Build", "1215")}, 3, 10, "3.01"},
        {"IVer 103 build 1300", true, {sz("IVer", "103"), sz("Build", "1300")}, 3, 20, "3.02"},
        {"IVer 103 other build", true, {sz("IVer", "103"), sz("Build", "1111")}, 3, 0, "3"},
        {"IVer unknown", true, {sz("IVer", "104")}, 0, 0, "0"},
        {"IVer not a string", true, {{"IVer", REG_DWORD, kDwordSix}}, 0, 0, "0"},
        {"no key", false, {}, 0, 0, "untouched"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeKey(zk::kIEKey, c.key, c.values);
        int major = -1, minor = -1;
        char text[300];
        memset(text, '#', sizeof text);
        zk::copyText(text, sizeof text, "untouched");
        EXPECT_EQ(0, zk::CZKIE().getInstalledVersion(&major, &minor, text));
        EXPECT_EQ(c.major, major);
        EXPECT_EQ(c.minor, minor);
        EXPECT_STREQ(c.text, text);
        EXPECT_EQ('#', text[260]);
    }
}

TEST(IEVersions, DiscVersion) {
    const struct {
        const char* ieOnCD;
        int major, minor;
    } cases[] = {{"", 6, 0}, {"5.5", 5, 5000}, {"5.50", 5, 50000}, {"6", 6, 0}, {"none", 0, 0}};
    for (const auto& c : cases) {
        zk::CZKIE::setCDVersion(c.ieOnCD);
        int major = -1, minor = -1;
        EXPECT_EQ(0, zk::CZKIE().getCDVersion(&major, &minor));
        EXPECT_EQ(c.major, major) << c.ieOnCD;
        EXPECT_EQ(c.minor, minor) << c.ieOnCD;
    }
    zk::CZKIE::setCDVersion("");
}

// Choosing a language sets the runtime's locale; French writes 5,5.
TEST(IEVersions, DecimalsReadAndWrittenWithAFullStopInAnyLocale) {
    ASSERT_TRUE(setlocale(LC_ALL, "frb"));
    const struct {
        const char* text;
        bool read;
        double value;
    } cases[] = {
        {"5.50000", true, 5.5}, {" -2.5x", true, -2.5}, {"3.1000", true, 3.1}, {".05", true, 0.05},
        {"7.", true, 7.0}, {"12345678901234567890123", true, 12345678901234567890123.0},
        {"0.000000000000000000000000001", true, 1e-27}, {"beta", false, -1.0}, {"", false, -1.0},
        {"-.", false, -1.0},
    };
    for (const auto& c : cases) {
        double value = -1.0;
        EXPECT_EQ(c.read, zk::readDecimal(c.text, &value)) << c.text;
        EXPECT_DOUBLE_EQ(c.value, value) << c.text;
    }
    char text[32];
    zk::formatDecimal(text, sizeof text, 3.01f);
    EXPECT_STREQ("3.01", text);
    setlocale(LC_ALL, "C");
}

TEST(FlashVersions, InstalledVersionFromTheRegistry) {
    const struct {
        const char* name;
        bool key;
        std::vector<Value> values;
        const char* version;
    } cases[] = {
        {"commas", true, {sz("Version", "6,0,79,0")}, "6.0.79.0"},
        {"stops", true, {sz("Version", "9.0.115.0")}, "9.0.115.0"},
        {"unterminated", true, {{"Version", REG_SZ, "7,0,19"}}, "7.0.19"},
        {"not a string", true, {{"Version", REG_DWORD, kDwordSix}}, "previous"},
        {"no value", true, {}, "previous"},
        {"no key", false, {}, "previous"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeKey(zk::kFlashKey, c.key, c.values);
        char version[260] = "previous";
        EXPECT_TRUE(zk::CZKFlash().getInstalledVersion(version));
        EXPECT_STREQ(c.version, version);
    }
}

TEST(Languages, IEFolderCodesAndShockwaveSuffixes) {
    const struct {
        const char* name;
        const char* code;
        const char* suffix;
    } cases[] = {
        {"English US", "EN", ""}, {"English UK", "EN", ""}, {"French", "FR", ""},
        {"German", "DE", ""}, {"Italian", "IT", ""}, {"Spanish", "ES", ""},
        {"Spanish (Mexican)", "ES", ""}, {"Swedish", "SV", ""}, {"Finnish", "FI", ""},
        {"Dutch", "NL", ""}, {"Danish", "DA", ""}, {"Czech", "CS", ""}, {"PortBrzl", "PT", ""},
        {"Greek", "EL", ""}, {"Hebrew", "HE", ""}, {"Russian", "RU", ""}, {"Korean", "KO", "k"},
        {"Japanese", "JA", "j"}, {"Chinese (Simplified)", "ZH", ""},
        {"Chinese (Traditional)", "ZH", ""}, {"Hungarian", "HU", ""}, {"Polish", "", ""},
        {"Thai", "", ""}, {"Norwegian", "", ""}, {"Portuguese", "", ""}, {"Unknown", "", ""},
        {"french", "", ""}, {nullptr, "", ""},
    };
    for (const auto& c : cases) {
        char code[260] = "x", suffix[260] = "x";
        EXPECT_EQ(0, zk::CZKIE().getLanguageFolder(code, c.name));
        EXPECT_EQ(0, zk::CZKFlash().getLanguageSuffix(suffix, c.name));
        EXPECT_STREQ(c.code, code) << (c.name ? c.name : "null");
        EXPECT_STREQ(c.suffix, suffix) << (c.name ? c.name : "null");
    }
}

// The disc as the components find it: the request moves them from wherever
// they were told to look to the disc's folder, and is counted.
std::string g_discAt;
int g_requests = 0;
int moveToDisc(int disc, char* root, size_t cap) {
    g_requests += disc == 1 ? 1 : 100;
    zk::copyText(root, cap, g_discAt.c_str());
    return 0;
}

void planAll(const char* const (&setups)[5], const char* plan) {
    for (const char* setup : setups)
        SetEnvironmentVariableA(("ZKFIXTURE_PLAN_" + std::string(strrchr(setup, '\\') + 1)).c_str(),
                                plan);
}

// Copies of the fixture stand in for the setups; each records its run and exits
// with the row's code.
TEST(SetupRuns, SetupsRunWithTheirNamesFoldersAndArguments) {
    zktest::ScratchDir disc("iedisc"), work("iework");
    const std::string root = g_discAt = disc.path(), record = work / "record.txt";
    const char* const setups[5] = {"IE\\FR\\ie6setup", "IE\\ie6setup", "IE\\FR\\msxml3sp2Setup",
                                   "Macromedia\\Shockwave_Installer_Full",
                                   "Macromedia\\Shockwave_Installer_Fullk"};
    for (const char* setup : setups) {
        std::string path = disc / setup;
        zktest::makeDirs(path.substr(0, path.rfind('\\')));
        ASSERT_TRUE(CopyFileA((zktest::binDir() + "\\zkfixture.exe").c_str(),
                              (path + ".exe").c_str(), FALSE));
    }
    const std::string macromedia = root + "\\Macromedia";
    enum Run { kIE, kPatch, kFlash };
    const struct {
        Run run;
        const char* language;
        const char* program;  // null: nothing may run
        int exitCode, result;
        std::string cmdline, cwd;
        int requests;
    } cases[] = {
        {kIE, "French", "ie6setup", 1, -1, "\"ie6setup.exe\"", root + "\\IE\\FR", 1},
        {kIE, "Polish", "ie6setup", 0, -1, "\"ie6setup.exe\"", root + "\\IE", 1},
        {kIE, "German", nullptr, 0, -1, "", "", 1},
        {kPatch, "French", "msxml3sp2Setup", 7, 7,
         "\"" + root + "\\IE\\FR\\msxml3sp2Setup.exe\"", root + "\\IE\\FR", 0},
        {kPatch, "Polish", nullptr, 0, -1, "", "", 0},
        {kFlash, "Korean", "Shockwave_Installer_Fullk", 5, 0,
         "\"" + macromedia + "\\Shockwave_Installer_Fullk.exe\" /s", macromedia, 1},
        {kFlash, "German", "Shockwave_Installer_Full", 0, 0,
         "\"" + macromedia + "\\Shockwave_Installer_Full.exe\" /s", macromedia, 1},
        {kFlash, "Japanese", nullptr, 0, 0, "", "", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.language) + " " + (c.program ? c.program : "none"));
        DeleteFileA(record.c_str());
        g_requests = 0;
        planAll(setups, ("record=" + record + "|exit=" + std::to_string(c.exitCode)).c_str());
        zk::CZKIE ie(moveToDisc);
        // The patch is not asked for: it is run from where the caller says.
        int result = c.run == kIE      ? ie.install(c.language, "C:\\not\\the\\disc")
                     : c.run == kPatch ? ie.installPatch(c.language, root.c_str())
                                       : zk::CZKFlash(moveToDisc).install(c.language, "C:\\x");
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(c.requests, g_requests);
        const std::string log = zktest::exists(record) ? zktest::readFile(record) : "";
        if (!c.program) {
            EXPECT_EQ("", log);
            continue;
        }
        EXPECT_EQ(log.find("start "), log.rfind("start ")) << "one run only: " << log;
        EXPECT_NE(std::string::npos, log.find("start " + std::string(c.program) + "\ncmdline: " +
                                              c.cmdline + "\n"))
            << log;
        EXPECT_NE(std::string::npos, log.find("\ncwd: " + c.cwd + "\nend " + c.program + " " +
                                              std::to_string(c.exitCode)))
            << log;
    }
    planAll(setups, nullptr);
}

} // namespace
