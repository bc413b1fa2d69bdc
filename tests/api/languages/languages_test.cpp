// Languages, per-language file names and host texts, through the decorated exports.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "ZKInstall.h"
#include "zktest/harness.h"

namespace {

// Loaded before the first text fetch, when the library remembers the host's modules.
HMODULE g_gui = LoadLibraryA("AutoRunGUI.dll");

std::string ansi(const wchar_t* text) {
    char out[256] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof out, nullptr, nullptr);
    return out;
}

void offerOnly(const std::vector<int>& languages) {
    bool* available = ZKINSTALL_getAvailableLanguages();
    std::fill(available, available + 26, false);
    for (int i : languages)
        available[i] = true;
}

class LanguageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
        char exe[] = "Game.exe";
        ZKINSTALL_init(exe);
    }
    zktest::MessageScript script_;
};

TEST(LanguageTable, NamesPrefixesIdsAndLocale) {
    const struct {
        const char *name, *prefix;
        unsigned long id;
    } table[26] = {
        {"Unknown", "", 0x0809},   {"English US", "en-us", 0x1009}, {"French", "fr-fr", 0x040C},
        {"German", "de", 0x0407},  {"Italian", "it", 0x0410},       {"Spanish", "es", 0x0C0A},
        {"Swedish", "sv", 0x041D}, {"Finnish", "fi", 0x040B},       {"Dutch", "nl", 0x0413},
        {"Danish", "da", 0x0406},  {"PortBrzl", "pt-br", 0x0416},   {"Czech", "cs", 0x0405},
        {"Hebrew", "he", 0x040D},  {"Greek", "el", 0x0408},         {"Japanese", "ja", 0x0411},
        {"Korean", "ko", 0x0412},  {"Russian", "ru", 0x0419},
        {"Chinese (Simplified)", "zh-cn", 0x0804}, {"Chinese (Traditional)", "zh-tw", 0x0404},
        {"English UK", "en-uk", 0x0809}, {"Polish", "pl", 0x0415},  {"Thai", "th", 0x041E},
        {"Norwegian", "no", 0x0414}, {"Portuguese", "pt-pt", 0x0816}, {"Hungarian", "hu", 0x040E},
        {"Spanish (Mexican)", "es-mex", 0x080A}};
    const std::string savedLocale = setlocale(LC_ALL, nullptr);
    for (int i = -1; i <= 26; ++i) {
        SCOPED_TRACE(i);
        const bool valid = i >= 0 && i < 26;
        EXPECT_STREQ(valid ? table[i].name : nullptr, ZKINSTALL_getLanguageIndexName(i));
        EXPECT_STREQ(valid ? table[i].prefix : nullptr, ZKINSTALL_getLanguageIndexPrefix(i));
        unsigned long lcid = 0;
        unsigned short langid = 0;
        ZKINSTALL_convertLanguageToLocale(i, &lcid, &langid);
        EXPECT_EQ(valid ? table[i].id : 0x0809ul, lcid);
        EXPECT_EQ(lcid, langid);
        if (i > 0 && valid)
            EXPECT_EQ(i, ZKINSTALL_convertLocaleToLanguageIndex(lcid)) << "id leads back";
    }
    // Other ids of the same languages; only the low 16 bits count.
    const std::pair<unsigned long, int> ids[] = {{0x0409, 1},  {0x0C09, 1},  {0x040A, 5},
                                                 {0x0C04, 17}, {0x0807, 3},  {0x0814, 22},
                                                 {0x040F, -1}, {0x0000, -1}, {0xFFFF0809, 19}};
    for (const auto& c : ids)
        EXPECT_EQ(c.second, ZKINSTALL_convertLocaleToLanguageIndex(c.first)) << std::hex << c.first;
    // The conversion moves the process locale; Hebrew and Thai have no name, so it stays.
    for (int i : {3, 12, 21}) {
        unsigned long lcid;
        unsigned short langid;
        ZKINSTALL_convertLanguageToLocale(i, &lcid, &langid);
        EXPECT_EQ(0u, std::string(setlocale(LC_ALL, nullptr)).find("German")) << i;
    }
    setlocale(LC_ALL, savedLocale.c_str());
}

// Support\Localization.ini on the disc (UTF-16 only) names the readme, else the table does.
TEST_F(LanguageTest, SettingALanguageChoosesItsFiles) {
    zktest::ScratchDir disc("disc");
    zktest::makeDirs(disc / "Support");
    const std::string file = disc / "Support\\Localization.ini";
    std::string wide = "\xFF\xFE";
    for (wchar_t c : std::wstring(L"[README]\r\nfr-fr=  Lisez-moi d'abord.txt \r\nde=\t \r\n"
                                  L"en-uk=readme_uk.txt\r\npt-br=l\u00e9ame_br.txt\r\n"
                                  L"[it]\r\nit=not the readme section.txt\r\n"))
        wide += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    zktest::writeFile(file, wide);
    const std::string saved = zktest::currentDirectory();
    ASSERT_TRUE(SetCurrentDirectoryA(disc.path().c_str()));  // init takes it as the disc
    char exe[] = "Game.exe";
    ZKINSTALL_init(exe);
    SetCurrentDirectoryA(saved.c_str());
    const char* const help = "ZK_Help_Select.htm";
    const struct {
        int set, current;
        const char* prefix;
        std::string readme;
        const char* help;
    } cases[] = {
        {1, 1, "en-us", "readme.txt", "Vantorel_Technical_Support.htm"},
        {2, 2, "fr-fr", "Lisez-moi d'abord.txt", help},  // trimmed
        {3, 3, "de", "readme.txt", help},                // blank entry: the table's name
        {4, 4, "it", "readme.txt", help},                // only in another section
        {25, 25, "es-mex", "leeme.txt", help},
        {10, 10, "pt-br", ansi(L"l\u00e9ame_br.txt"), help},
        // Outside the table: English UK, as the region is not known before the settings.
        {26, 19, "en-uk", "readme_uk.txt", help},
        {-3, 19, "en-uk", "readme_uk.txt", help},
    };
    char current[260], prefix[260], readme[260], text[260], eula[260];
    for (const auto& c : cases) {
        SCOPED_TRACE(c.set);
        EXPECT_TRUE(c.set % 2 ? ZKINSTALL_setLanguage(c.set) : ZKINSTALL_forceLanguage(c.set));
        EXPECT_EQ(c.current, ZKINSTALL_getCurrentlySelectedLanguage(current));
        EXPECT_TRUE(ZKINSTALL_getLanguagePrefix(prefix));
        ZKINSTALL_getLocalizedReadmeFilename(readme);
        ZKINSTALL_getLocalizedTechSupportFilename(text);
        EXPECT_TRUE(ZKINSTALL_getToolsEULAAgreement(eula));
        EXPECT_EQ(std::string(c.prefix) + " " + c.prefix + " " + c.readme + " " + c.help +
                      " Support\\" + c.prefix + "_tools_eula.txt",
                  std::string(current) + " " + prefix + " " + readme + " " + text + " " + eula);
    }
    ZKINSTALL_setLanguage(0);  // Unknown: English UK's
    ZKINSTALL_getLocalizedReadmeFilename(readme);
    EXPECT_STREQ("readme_uk.txt", readme);
    zktest::writeFile(file, "[README]\r\nfr-fr=ansi.txt\r\n");
    ZKINSTALL_setLanguage(2);
    ZKINSTALL_getLocalizedReadmeFilename(readme);
    EXPECT_STREQ("lisezmoi.txt", readme);
}

TEST_F(LanguageTest, ChoiceAndAvailability) {
    bool* available = ZKINSTALL_getAvailableLanguages();
    EXPECT_EQ(available + 26, std::find(available, available + 26, true)) << "init clears them";
    // Forcing a language of the table marks it available, others mark nothing.
    offerOnly({1});
    for (int forced : {7, 26, -1})
        ZKINSTALL_forceLanguage(forced);
    EXPECT_EQ(2, std::count(available, available + 26, true));
    EXPECT_TRUE(available[7]);

    const int user = ZKINSTALL_convertLocaleToLanguageIndex(GetUserDefaultLangID());
    ASSERT_GE(user, 1) << "the test prefix speaks a language of the table";
    const int other1 = user == 2 ? 4 : 2, other2 = user == 3 ? 6 : 3;  // not the user's
    const struct {
        std::vector<int> offered;
        bool result;
        int index;
    } cases[] = {
        {{}, false, 19},  // a complaint
        {{other1}, true, other1},     {{other1, user}, true, user},
        {{other1, other2}, false, 19},  // the host asks
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offered.size());
        offerOnly(c.offered);
        script_.clear();
        int index = -5;
        char prefix[260] = "unset";
        EXPECT_EQ(c.result, ZKINSTALL_autoSelectLanguage(&index, prefix));
        EXPECT_EQ(c.index, index);
        EXPECT_STREQ(ZKINSTALL_getLanguageIndexPrefix(c.index), prefix);
        EXPECT_EQ(c.index, ZKINSTALL_getCurrentlySelectedLanguage(nullptr));
        std::string boxes;
        for (const zktest::MessageCall& call : script_.calls())
            boxes += call.text + "|" + call.caption + "|" + std::to_string(call.style);
        EXPECT_EQ(c.offered.empty() ? "No Languages Selected!|Corrupted AutoRun.CFG File|0" : "",
                  boxes);
        if (c.result)
            EXPECT_TRUE(available[c.index]);
    }
}

// Texts of the string library, then of the program's table (host_strings.rc), then the id.
TEST_F(LanguageTest, HostTexts) {
    ASSERT_NE(nullptr, g_gui) << "AutoRunGUI.dll beside the test program";
    const struct {
        bool own;  // ZKINSTALL_getString on the program, else ZKINSTALL_getStringFromDLLorEXE
        int language;
        unsigned id;
        int result;
        std::string text;  // "untouched": the buffer keeps what it had
    } cases[] = {
        {false, 19, 31, 0, "DirectX Licence Agreement"},
        {false, 1, 31, 0, "DirectX License Agreement"},
        {false, 25, 31, 0, "DirectX Licence Agreement"},  // no Mexican texts: UK ones
        {false, 2, 46, 0, ansi(L"Voulez-vous vraiment quitter l'installation ?")},
        {false, 19, 500, 1, "exe only text"},
        {false, 2, 601, 1, "UK 601"},       // the program has no French block here
        {false, 6, 620, 1, "US only 620"},  // neither own nor UK: US English
        {false, 19, 9999, 0, "Can't get string id 9999"},
        {false, 19, static_cast<unsigned>(-1), 0, "Can't get string id -1"},
        // An empty entry of a block the string library has ends the search.
        {false, 19, 12, 0, "untouched"},
        {true, 19, 0x113, 1, "entry 3 of block 18"},
        {true, 19, 0x125, 1, "untouched"},  // block there, entry empty
        {true, 19, 0x133, 0, "untouched"},  // no such block
        {true, 2, 0x123, 1, ansi(L"entr\u00e9e 3 du bloc 19")},
        {true, 2, 0x122, 1, "untouched"},   // the French block is found, its entry is empty
        {true, 3, 0x122, 1, "entry 2 of block 19"},
        {true, 19, 0x100123, 0, "untouched"},  // ids are 16-bit: no wrap onto block 19
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.language) + "/" + std::to_string(c.id));
        ZKINSTALL_setLanguage(c.language);
        char buf[1024] = "untouched";
        EXPECT_EQ(c.result, c.own ? ZKINSTALL_getString(GetModuleHandleA(nullptr), c.id, buf,
                                                        sizeof buf)
                                  : ZKINSTALL_getStringFromDLLorEXE(c.id, buf, sizeof buf));
        EXPECT_EQ(c.text, buf);
    }
}

TEST_F(LanguageTest, TextsStayInsideTheCallersSize) {
    HMODULE program = GetModuleHandleA(nullptr);
    ZKINSTALL_setLanguage(19);
    char buf[40];
    // Longer than the buffer: exactly `size` bytes, no terminator; shorter: zeros up to `size`.
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(1, ZKINSTALL_getString(program, 700, buf, 5));
    EXPECT_EQ("01234#", std::string(buf, 6));
    EXPECT_EQ(1, ZKINSTALL_getString(program, 700, buf, 25));
    EXPECT_EQ(std::string("0123456789abcdefghij\0\0\0\0\0#", 26), std::string(buf, 26));
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(1, ZKINSTALL_getString(program, 700, buf, 0));
    EXPECT_EQ(1, ZKINSTALL_getString(program, 700, nullptr, 10));
    EXPECT_FALSE(ZKINSTALL_getStringFromDLLorEXE(9999, buf, 0));
    EXPECT_FALSE(ZKINSTALL_getStringFromDLLorEXE(9999, buf, -4));
    EXPECT_EQ('#', buf[0]);
    EXPECT_FALSE(ZKINSTALL_getStringFromDLLorEXE(9999, buf, 10));  // cut and terminated
    EXPECT_EQ(std::string("Can't get\0#", 11), std::string(buf, 11));
}

TEST_F(LanguageTest, StringLibraryHasEveryMessageInEveryLanguage) {
    ASSERT_NE(nullptr, g_gui);
    const int ids[] = {11,  13,  14,  15,  31,  37,  46,  47,  48,  54,  79,  81,  134,
                       135, 136, 137, 138, 139, 140, 141, 142, 143, 144, 145, 146, 147};
    const std::string shortcutNames = " 11 13 14 15 31 54 81 ";  // these become file names
    const std::map<int, std::string> conversions = {{15, "%s"}, {47, "%c"}, {48, "%s"}};
    std::map<int, std::string> british;
    for (int language : {19, 1, 2, 3, 4, 5}) {
        ZKINSTALL_setLanguage(language);
        for (int id : ids) {
            SCOPED_TRACE(std::to_string(language) + "/" + std::to_string(id));
            char buf[1024] = {};
            EXPECT_EQ(1, ZKINSTALL_getString(g_gui, id, buf, sizeof buf));
            const std::string text = buf;
            EXPECT_NE("", text);
            if (language == 19)
                british[id] = text;
            else if (language != 1)
                EXPECT_NE(british[id], text) << "a language of its own";
            // Exactly the one conversion the library fills in, or none.
            std::string found;
            for (size_t p = text.find('%'); p != std::string::npos; p = text.find('%', p + 2))
                found += text.substr(p, 2);
            auto want = conversions.find(id);
            EXPECT_EQ(want == conversions.end() ? "" : want->second, found) << text;
            if (shortcutNames.find(" " + std::to_string(id) + " ") != std::string::npos)
                EXPECT_EQ(std::string::npos, text.find_first_of("\\/:*?\"<>|")) << text;
        }
    }
}

// Run by the load-time tests, each with the Wine locale of one country.
TEST(LoadTime, LanguageOfTheSystem) {
    const char* expected = getenv("ZK_EXPECT_LANGUAGE");
    if (!expected)
        GTEST_SKIP() << "needs a locale chosen by the test's environment";
    const int want = atoi(expected);
    char text[260] = {};
    EXPECT_EQ(want, ZKINSTALL_getCurrentlySelectedLanguage(text));
    EXPECT_STREQ(ZKINSTALL_getLanguageIndexPrefix(want), text);
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(i == want, ZKINSTALL_getAvailableLanguages()[i]) << i;
    ZKINSTALL_getLocalizedReadmeFilename(text);
    EXPECT_STREQ(want == 25 ? "leeme.txt" : "readme.txt", text);
}

} // namespace
