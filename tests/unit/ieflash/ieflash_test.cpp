// Internet Explorer and Flash components: versions read from registry values
// as any program may have left them, decimals in any locale, the language
// tables, and the setup runs.
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

// A value of any type and bytes, with no terminator unless written by sz().
struct Value {
    const char* name;
    DWORD type;
    std::string data;
};
Value sz(const char* name, const std::string& text) { return {name, REG_SZ, text + '\0'}; }
Value six(const char* name) { return {name, REG_DWORD, std::string("\6\0\0\0", 4)}; }

// Replaces the key under HKEY_LOCAL_MACHINE by one holding exactly `values`.
void writeKey(const char* path, const std::vector<Value>& values) {
    zktest::deleteTree(HKEY_LOCAL_MACHINE, path);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    for (const Value& v : values)
        RegSetValueExA(key, v.name, 0, v.type, reinterpret_cast<const BYTE*>(v.data.data()),
                       static_cast<DWORD>(v.data.size()));
    RegCloseKey(key);
}

// The states the exports' test cannot write (it has plain versions and no key).
TEST(RegistryVersions, IEAndFlashReadStringsOnlyWholeAndTerminated) {
    const struct {
        const char* name;
        std::vector<Value> values;
        int major, minor;
        const char* text;
    } ie[] = {
        {"no minor starts at 0", {sz("Version", "7")}, 7, 0, "7"},
        {"no number", {sz("Version", "beta")}, 0, 0, "beta"},
        {"unterminated", {{"Version", REG_SZ, "6.0.1"}}, 6, 0, "6.0"},
        {"overlong minor", {sz("Version", "6.99999999999.1")}, 6, 2147483000, "6.99999999999"},
        {"not a string", {six("Version"), sz("IVer", "101")}, 2, 0, "2"},
        {"longer than 256 bytes", {sz("Version", std::string(300, '8'))}, 0, 0, "0"},
        {"IVer 100", {sz("IVer", "100")}, 1, 0, "1"},
        {"IVer 103 build 1300", {sz("IVer", "103"), sz("Build", "1300")}, 3, 20, "3.02"},
        {"IVer 103 other build", {sz("IVer", "103"), sz("Build", "1111")}, 3, 0, "3"},
        {"IVer unknown", {sz("IVer", "104")}, 0, 0, "0"},
        {"IVer not a string", {six("IVer")}, 0, 0, "0"},
    };
    for (const auto& c : ie) {
        SCOPED_TRACE(c.name);
        writeKey(zk::kIEKey, c.values);
        int major = -1, minor = -1;
        char text[300];
        memset(text, '#', sizeof text);
        EXPECT_EQ(0, zk::CZKIE().getInstalledVersion(&major, &minor, text));
        EXPECT_EQ(c.major, major);
        EXPECT_EQ(c.minor, minor);
        EXPECT_STREQ(c.text, text);
        EXPECT_EQ('#', text[260]);
    }

    const struct {
        const char* name;
        std::vector<Value> values;
        const char* version;
    } flash[] = {
        {"stops", {sz("Version", "9.0.115.0")}, "9.0.115.0"},
        {"unterminated", {{"Version", REG_SZ, "7,0,19"}}, "7.0.19"},
        {"not a string", {six("Version")}, "previous"},
        {"no value", {}, "previous"},
    };
    for (const auto& c : flash) {
        writeKey(zk::kFlashKey, c.values);
        char version[260] = "previous";
        EXPECT_TRUE(zk::CZKFlash().getInstalledVersion(version));
        EXPECT_STREQ(c.version, version) << c.name;
    }
}

// Choosing a language sets the runtime's locale; French writes 5,5.  The
// exports' test writes IE 3.01 under Polish.
TEST(Decimals, ReadAndWrittenWithAFullStopInAnyLocale) {
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
    setlocale(LC_ALL, "C");
}

// Names that share a code, the ends of the table, and names it does not hold.
TEST(Languages, IEFolderCodesAndShockwaveSuffixes) {
    const struct {
        const char *name, *code, *suffix;
    } cases[] = {
        {"English US", "EN", ""},  {"English UK", "EN", ""},  {"Spanish (Mexican)", "ES", ""},
        {"Chinese (Traditional)", "ZH", ""}, {"Hungarian", "HU", ""}, {"Korean", "KO", "k"},
        {"Japanese", "JA", "j"},   {"Portuguese", "", ""},    {"french", "", ""},
        {nullptr, "", ""},
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

// Copies of the fixture stand in for the setups; each records its run and exits
// with the row's code, which only the patch's run passes on.  The exports' test
// checks the command lines and folders.
TEST(SetupRuns, SetupsRunFromTheRequestedDisc) {
    zktest::ScratchDir disc("iedisc"), work("iework");
    const std::string record = work / "record.txt";
    g_discAt = disc.path();
    const char* const setups[] = {"IE\\FR\\ie6setup", "IE\\FR\\msxml3sp2Setup",
                                  "Macromedia\\Shockwave_Installer_Fullk"};
    for (const char* setup : setups) {
        std::string path = disc / setup;
        zktest::makeDirs(path.substr(0, path.rfind('\\')));
        ASSERT_TRUE(CopyFileA((zktest::binDir() + "\\zkfixture.exe").c_str(),
                              (path + ".exe").c_str(), FALSE));
    }
    enum Run { kIE, kPatch, kFlash };
    const struct {
        Run run;
        const char* language;
        const char* program;  // null: nothing may run
        int exitCode, result, requests;
    } cases[] = {
        {kIE, "French", "ie6setup", 1, -1, 1},
        {kIE, "German", nullptr, 0, -1, 1},
        {kPatch, "French", "msxml3sp2Setup", 7, 7, 0},
        {kPatch, "Polish", nullptr, 0, -1, 0},
        {kFlash, "Korean", "Shockwave_Installer_Fullk", 5, 0, 1},
        {kFlash, "German", nullptr, 0, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.language) + " " + (c.program ? c.program : "none"));
        DeleteFileA(record.c_str());
        g_requests = 0;
        const std::string plan = "record=" + record + "|exit=" + std::to_string(c.exitCode);
        for (const char* setup : setups) {
            std::string name = "ZKFIXTURE_PLAN_" + std::string(strrchr(setup, '\\') + 1);
            SetEnvironmentVariableA(name.c_str(), plan.c_str());
        }
        zk::CZKIE ie(moveToDisc);
        // The patch is not asked for: it is run from where the caller says.
        int result = c.run == kIE      ? ie.install(c.language, "C:\\not\\the\\disc")
                     : c.run == kPatch ? ie.installPatch(c.language, g_discAt.c_str())
                                       : zk::CZKFlash(moveToDisc).install(c.language, "C:\\x");
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(c.requests, g_requests);
        const std::string log = zktest::exists(record) ? zktest::readFile(record) : "";
        if (!c.program) {
            EXPECT_EQ("", log);
            continue;
        }
        const std::string program = c.program;
        EXPECT_EQ(0u, log.find("start " + program + "\n")) << log;
        EXPECT_EQ(log.find("start "), log.rfind("start ")) << "one run only: " << log;
        const std::string end = "\nend " + program + " " + std::to_string(c.exitCode);
        EXPECT_NE(std::string::npos, log.find(end)) << log;
    }
}

} // namespace
