// Languages, per-language file names and host texts, driven through the
// decorated exports as a host drives them.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "ZKInstall.h"
#include "zktest/harness.h"

namespace {

// The library remembers the host's modules on its first text fetch, so the
// string library is loaded before any test can fetch one.
HMODULE g_gui = LoadLibraryA("AutoRunGUI.dll");

const char* const kHelp = "ZK_Help_Select.htm";

std::string wideFile(const std::wstring& text) {
    std::string out = "\xFF\xFE";
    for (wchar_t c : text) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>((c >> 8) & 0xFF);
    }
    return out;
}

std::string ansi(const wchar_t* text) {
    char out[256] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof out, nullptr, nullptr);
    return out;
}

int availableCount() {
    bool* available = ZKINSTALL_getAvailableLanguages();
    int n = 0;
    for (int i = 0; i < 26; ++i)
        n += available[i] ? 1 : 0;
    return n;
}

// The disc's offer, written straight into the live flags.
void offerOnly(const std::vector<int>& languages) {
    bool* available = ZKINSTALL_getAvailableLanguages();
    for (int i = 0; i < 26; ++i)
        available[i] = false;
    for (int i : languages)
        available[i] = true;
}

// Every test starts from a freshly initialised installer with a scripted host.
class LanguageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
        initIn("");
    }
    // ZKINSTALL_init takes the current folder as the disc.
    void initIn(const std::string& folder) {
        char saved[MAX_PATH] = {};
        GetCurrentDirectoryA(sizeof saved, saved);
        if (!folder.empty()) {
            ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
        }
        char exe[] = "Game.exe";
        ZKINSTALL_init(exe);
        SetCurrentDirectoryA(saved);
    }

    zktest::MessageScript script_;
};

TEST(LanguageTable, NamesPrefixesAndIds) {
    struct Row {
        const char* name;
        const char* prefix;
        unsigned short id;
    };
    const Row table[26] = {
        {"Unknown", "", 0x0809},
        {"English US", "en-us", 0x1009},
        {"French", "fr-fr", 0x040C},
        {"German", "de", 0x0407},
        {"Italian", "it", 0x0410},
        {"Spanish", "es", 0x0C0A},
        {"Swedish", "sv", 0x041D},
        {"Finnish", "fi", 0x040B},
        {"Dutch", "nl", 0x0413},
        {"Danish", "da", 0x0406},
        {"PortBrzl", "pt-br", 0x0416},
        {"Czech", "cs", 0x0405},
        {"Hebrew", "he", 0x040D},
        {"Greek", "el", 0x0408},
        {"Japanese", "ja", 0x0411},
        {"Korean", "ko", 0x0412},
        {"Russian", "ru", 0x0419},
        {"Chinese (Simplified)", "zh-cn", 0x0804},
        {"Chinese (Traditional)", "zh-tw", 0x0404},
        {"English UK", "en-uk", 0x0809},
        {"Polish", "pl", 0x0415},
        {"Thai", "th", 0x041E},
        {"Norwegian", "no", 0x0414},
        {"Portuguese", "pt-pt", 0x0816},
        {"Hungarian", "hu", 0x040E},
        {"Spanish (Mexican)", "es-mex", 0x080A},
    };
    std::string savedLocale = setlocale(LC_ALL, nullptr);
    for (int i = 0; i < 26; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(table[i].name, ZKINSTALL_getLanguageIndexName(i));
        EXPECT_STREQ(table[i].prefix, ZKINSTALL_getLanguageIndexPrefix(i));
        unsigned long lcid = 0;
        unsigned short langid = 0;
        EXPECT_EQ(0, ZKINSTALL_convertLanguageToLocale(i, &lcid, &langid));
        EXPECT_EQ(table[i].id, lcid);
        EXPECT_EQ(table[i].id, langid);
        // Every language's id leads back to it.
        if (i > 0) {
            EXPECT_EQ(i, ZKINSTALL_convertLocaleToLanguageIndex(lcid));
        }
    }
    for (int bad : {-1, 26, 1000}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(nullptr, ZKINSTALL_getLanguageIndexName(bad));
        EXPECT_EQ(nullptr, ZKINSTALL_getLanguageIndexPrefix(bad));
        unsigned long lcid = 0;
        unsigned short langid = 0;
        ZKINSTALL_convertLanguageToLocale(bad, &lcid, &langid);
        EXPECT_EQ(0x0809u, lcid);
        EXPECT_EQ(0x0809, langid);
    }
    setlocale(LC_ALL, savedLocale.c_str());
}

TEST(LanguageTable, WindowsLanguageIds) {
    struct Case {
        unsigned long id;
        int index;
    };
    const Case cases[] = {
        {0x0409, 1},  {0x1009, 1},  {0x0C09, 1},  {0x0809, 19}, {0x0C0A, 5},  {0x040A, 5},
        {0x080A, 25}, {0x0416, 10}, {0x0816, 23}, {0x0404, 18}, {0x0804, 17}, {0x0C04, 17},
        {0x0407, 3},  {0x0807, 3},  {0x040C, 2},  {0x0C0C, 2},  {0x0410, 4},  {0x041D, 6},
        {0x040B, 7},  {0x0413, 8},  {0x0406, 9},  {0x0405, 11}, {0x040D, 12}, {0x0408, 13},
        {0x0411, 14}, {0x0412, 15}, {0x0419, 16}, {0x0415, 20}, {0x041E, 21}, {0x0414, 22},
        {0x0814, 22}, {0x040E, 24},
        {0x040F, -1},  // Icelandic
        {0x0418, -1},  // Romanian
        {0x0000, -1},
        {0x00010407, 3},  // only the low 16 bits count
        {0xFFFF0809, 19},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.index, ZKINSTALL_convertLocaleToLanguageIndex(c.id)) << std::hex << c.id;
}

TEST(LanguageTable, ConversionMovesTheProcessLocale) {
    std::string saved = setlocale(LC_ALL, nullptr);
    unsigned long lcid;
    unsigned short langid;
    ZKINSTALL_convertLanguageToLocale(3, &lcid, &langid);
    EXPECT_EQ(0u, std::string(setlocale(LC_ALL, nullptr)).find("German"));
    // Hebrew and Thai have no locale name: the locale stays.
    ZKINSTALL_convertLanguageToLocale(12, &lcid, &langid);
    EXPECT_EQ(0u, std::string(setlocale(LC_ALL, nullptr)).find("German"));
    ZKINSTALL_convertLanguageToLocale(21, &lcid, &langid);
    EXPECT_EQ(0u, std::string(setlocale(LC_ALL, nullptr)).find("German"));
    ZKINSTALL_convertLanguageToLocale(2, &lcid, &langid);
    EXPECT_EQ(0u, std::string(setlocale(LC_ALL, nullptr)).find("French"));
    setlocale(LC_ALL, saved.c_str());
}

TEST_F(LanguageTest, SettingALanguageChoosesItsFiles) {
    struct Case {
        int set;
        int current;
        const char* prefix;
        const char* readme;
        const char* help;
    };
    // Before the settings are read the region is not known, so a language
    // outside the table falls back to English UK.
    const Case cases[] = {
        {1, 1, "en-us", "readme.txt", "Vantorel_Technical_Support.htm"},
        {2, 2, "fr-fr", "lisezmoi.txt", kHelp},
        {5, 5, "es", "leeme.txt", kHelp},
        {25, 25, "es-mex", "leeme.txt", kHelp},
        {17, 17, "zh-cn", "readme.txt", kHelp},
        {10, 10, "pt-br", "readme.txt", kHelp},
        {0, 19, "en-uk", "readme.txt", kHelp},
        {26, 19, "en-uk", "readme.txt", kHelp},
        {-3, 19, "en-uk", "readme.txt", kHelp},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.set);
        // The two exports are the same operation.
        EXPECT_TRUE(i % 2 ? ZKINSTALL_setLanguage(c.set) : ZKINSTALL_forceLanguage(c.set));
        char buf[260];
        EXPECT_EQ(c.current, ZKINSTALL_getCurrentlySelectedLanguage(buf));
        EXPECT_STREQ(c.prefix, buf);
        EXPECT_TRUE(ZKINSTALL_getLanguagePrefix(buf));
        EXPECT_STREQ(c.prefix, buf);
        ZKINSTALL_getLocalizedReadmeFilename(buf);
        EXPECT_STREQ(c.readme, buf);
        ZKINSTALL_getLocalizedTechSupportFilename(buf);
        EXPECT_STREQ(c.help, buf);
        EXPECT_TRUE(ZKINSTALL_getToolsEULAAgreement(buf));
        EXPECT_EQ("Support\\" + std::string(c.prefix) + "_tools_eula.txt", buf);
    }
}

TEST_F(LanguageTest, ForcingALanguageMarksItAvailable) {
    bool* available = ZKINSTALL_getAvailableLanguages();
    ASSERT_NE(nullptr, available);
    EXPECT_EQ(0, availableCount()) << "init clears the flags";
    offerOnly({1});  // the disc offers English only
    ZKINSTALL_forceLanguage(7);
    EXPECT_TRUE(available[7]);
    EXPECT_TRUE(available[1]);
    EXPECT_EQ(2, availableCount());
    EXPECT_EQ(available, ZKINSTALL_getAvailableLanguages());
    // Indexes outside the table mark nothing.
    ZKINSTALL_forceLanguage(26);
    ZKINSTALL_setLanguage(-1);
    EXPECT_EQ(2, availableCount());
    EXPECT_EQ(19, ZKINSTALL_getCurrentlySelectedLanguage(nullptr));
}

TEST_F(LanguageTest, AutomaticChoice) {
    int user = ZKINSTALL_convertLocaleToLanguageIndex(GetUserDefaultLangID());
    ASSERT_GE(user, 1) << "the test prefix speaks a language of the table";
    // Two languages that are not the user's.
    int other1 = user == 2 ? 4 : 2;
    int other2 = user == 3 ? 6 : 3;
    struct Case {
        const char* name;
        std::vector<int> offered;
        bool result;
        int index;
        bool complaint;
    };
    const Case cases[] = {
        {"nothing offered", {}, false, 19, true},
        {"one language", {other1}, true, other1, false},
        {"several with the user's", {other1, user}, true, user, false},
        {"several without the user's", {other1, other2}, false, 19, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        offerOnly(c.offered);
        script_.clear();
        int index = -5;
        char prefix[260] = "unset";
        EXPECT_EQ(c.result, ZKINSTALL_autoSelectLanguage(&index, prefix));
        EXPECT_EQ(c.index, index);
        EXPECT_STREQ(ZKINSTALL_getLanguageIndexPrefix(c.index), prefix);
        EXPECT_EQ(c.index, ZKINSTALL_getCurrentlySelectedLanguage(nullptr));
        if (c.complaint) {
            ASSERT_EQ(1u, script_.calls().size());
            EXPECT_EQ("No Languages Selected!", script_.calls()[0].text);
            EXPECT_EQ("Corrupted AutoRun.CFG File", script_.calls()[0].caption);
            EXPECT_EQ(0u, script_.calls()[0].style);
        } else {
            EXPECT_TRUE(script_.calls().empty());
        }
        if (c.result) {
            EXPECT_TRUE(ZKINSTALL_getAvailableLanguages()[c.index]);
        }
    }
}

TEST_F(LanguageTest, LocalizationFileNamesTheReadme) {
    zktest::ScratchDir disc("disc");
    zktest::makeDirs(disc / "Support");
    std::string file = disc / "Support\\Localization.ini";
    zktest::writeFile(file, wideFile(L"[README]\r\n"
                                     L"fr-fr=  Lisez-moi d'abord.txt \r\n"
                                     L"de=\t \r\n"
                                     L"en-uk=readme_uk.txt\r\n"
                                     L"es-mex=l\u00e9ame_mx.txt\r\n"
                                     L"[it]\r\n"
                                     L"it=not the readme section.txt\r\n"));
    initIn(disc.path());
    struct Case {
        int language;
        std::string readme;
    };
    const Case cases[] = {
        {2, "Lisez-moi d'abord.txt"},        // trimmed
        {3, "readme.txt"},                   // blank entry: the table's name
        {5, "leeme.txt"},                    // no entry
        {4, "readme.txt"},                   // only in another section
        {19, "readme_uk.txt"},
        {0, "readme_uk.txt"},                // falls back to English UK
        {25, ansi(L"l\u00e9ame_mx.txt")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        ZKINSTALL_setLanguage(c.language);
        char readme[260] = {};
        ZKINSTALL_getLocalizedReadmeFilename(readme);
        EXPECT_EQ(c.readme, readme);
    }

    // The file is read as UTF-16 only; an 8-bit one names nothing.
    zktest::writeFile(file, "[README]\r\nfr-fr=ansi.txt\r\n");
    ZKINSTALL_setLanguage(2);
    char readme[260] = {};
    ZKINSTALL_getLocalizedReadmeFilename(readme);
    EXPECT_STREQ("lisezmoi.txt", readme);

    DeleteFileA(file.c_str());
    ZKINSTALL_setLanguage(19);
    ZKINSTALL_getLocalizedReadmeFilename(readme);
    EXPECT_STREQ("readme.txt", readme);
}

TEST_F(LanguageTest, HostTextsComeFromTheStringLibraryThenTheProgram) {
    ASSERT_NE(nullptr, g_gui) << "AutoRunGUI.dll beside the test program";
    struct Case {
        int language;
        int id;
        std::string expected;
        bool fromProgram;
    };
    const Case cases[] = {
        {19, 31, "DirectX Licence Agreement", false},
        {1, 31, "DirectX License Agreement", false},
        {6, 31, "DirectX Licence Agreement", false},   // no Swedish texts: UK ones
        {25, 31, "DirectX Licence Agreement", false},  // nor Mexican Spanish
        {5, 15, "Desinstalar %s", false},
        {3, 13, "Liesmich", false},
        {2, 46, ansi(L"Voulez-vous vraiment quitter l'installation ?"), false},
        {19, 500, "exe only text", true},
        {2, 601, "UK 601", true},       // the program has no French block here
        {6, 620, "US only 620", true},  // neither own nor UK: US English
        {1, 601, "US 601", true},
        {19, 9999, "Can't get string id 9999", false},
        {19, -1, "Can't get string id -1", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.language) + "/" + std::to_string(c.id));
        ZKINSTALL_setLanguage(c.language);
        char buf[1024];
        memset(buf, 0x7F, sizeof buf);
        buf[sizeof buf - 1] = '\0';
        EXPECT_EQ(c.fromProgram, ZKINSTALL_getStringFromDLLorEXE(c.id, buf, sizeof buf));
        EXPECT_EQ(c.expected, buf);
    }

    // An empty entry of a block the string library has ends the search there:
    // the program's own text 12 is not used and nothing is written.
    ZKINSTALL_setLanguage(19);
    char buf[32] = "untouched";
    EXPECT_FALSE(ZKINSTALL_getStringFromDLLorEXE(12, buf, sizeof buf));
    EXPECT_STREQ("untouched", buf);
}

TEST_F(LanguageTest, StringBlocksAndEntries) {
    HMODULE program = GetModuleHandleA(nullptr);
    struct Case {
        int language;
        unsigned id;
        unsigned short result;
        std::string text;  // "untouched": the buffer keeps what it had
    };
    const Case cases[] = {
        {19, 0x123, 1, "entry 3 of block 19"},
        {19, 0x122, 1, "entry 2 of block 19"},
        {19, 0x124, 1, "entry 4 of block 19"},
        {19, 0x113, 1, "entry 3 of block 18"},
        {19, 0x125, 1, "untouched"},  // block there, entry empty
        {19, 0x133, 0, "untouched"},  // no such block
        {2, 0x123, 1, ansi(L"entr\u00e9e 3 du bloc 19")},
        {2, 0x122, 1, "untouched"},   // the French block is found, its entry is empty
        {3, 0x122, 1, "entry 2 of block 19"},
        // Ids are 16-bit: a larger one must not wrap onto block 19.
        {19, 0x100123, 0, "untouched"},
        {19, 0xFFFFFFFF, 0, "untouched"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.language) + "/" + std::to_string(c.id));
        ZKINSTALL_setLanguage(c.language);
        char buf[260] = "untouched";
        EXPECT_EQ(c.result, ZKINSTALL_getString(program, c.id, buf, sizeof buf));
        EXPECT_EQ(c.text, buf);
    }
}

TEST_F(LanguageTest, TextsStayInsideTheCallersSize) {
    HMODULE program = GetModuleHandleA(nullptr);
    ZKINSTALL_setLanguage(19);
    char buf[40];

    // Longer than the buffer: exactly `size` bytes, no terminator.
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(1, ZKINSTALL_getString(program, 700, buf, 5));
    EXPECT_EQ("01234#", std::string(buf, 6));

    // Shorter: the text, then zeros up to `size`, nothing beyond.
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(1, ZKINSTALL_getString(program, 700, buf, 25));
    EXPECT_EQ(std::string("0123456789abcdefghij\0\0\0\0\0#", 26), std::string(buf, 26));

    memset(buf, '#', sizeof buf);
    EXPECT_EQ(1, ZKINSTALL_getString(program, 700, buf, 0));
    EXPECT_EQ(1, ZKINSTALL_getString(program, 700, nullptr, 10));
    EXPECT_EQ('#', buf[0]);

    // The fallback text is cut and terminated.
    EXPECT_FALSE(ZKINSTALL_getStringFromDLLorEXE(9999, buf, 10));
    EXPECT_EQ(std::string("Can't get\0#", 11), std::string(buf, 11));
    memset(buf, '#', sizeof buf);
    EXPECT_FALSE(ZKINSTALL_getStringFromDLLorEXE(9999, buf, 0));
    EXPECT_FALSE(ZKINSTALL_getStringFromDLLorEXE(9999, buf, -4));
    EXPECT_EQ('#', buf[0]);
}

TEST_F(LanguageTest, StringLibraryHasEveryMessageInEveryLanguage) {
    ASSERT_NE(nullptr, g_gui);
    const int ids[] = {11,  13,  14,  15,  31,  37,  46,  47,  48,  54,  79,  81,  134,
                       135, 136, 137, 138, 139, 140, 141, 142, 143, 144, 145, 146, 147};
    // Shortcut names become file names.
    const int shortcutNames[] = {11, 13, 14, 15, 31, 54, 81};
    const std::map<int, std::string> conversions = {{15, "%s"}, {47, "%c"}, {48, "%s"}};
    std::map<int, std::string> british;
    for (int language : {19, 1, 2, 3, 4, 5}) {
        ZKINSTALL_setLanguage(language);
        for (int id : ids) {
            SCOPED_TRACE(std::to_string(language) + "/" + std::to_string(id));
            char buf[1024] = {};
            EXPECT_EQ(1, ZKINSTALL_getString(g_gui, id, buf, sizeof buf));
            std::string text = buf;
            EXPECT_FALSE(text.empty());
            if (language == 19) {
                british[id] = text;
            } else if (language != 1) {
                EXPECT_NE(british[id], text) << "a language of its own";
            }
            // Exactly the one conversion the library fills in, or none.
            std::string found;
            for (size_t p = text.find('%'); p != std::string::npos; p = text.find('%', p + 2))
                found += text.substr(p, 2);
            auto want = conversions.find(id);
            EXPECT_EQ(want == conversions.end() ? "" : want->second, found) << text;
            for (int name : shortcutNames) {
                if (name == id) {
                    EXPECT_EQ(std::string::npos, text.find_first_of("\\/:*?\"<>|")) << text;
                }
            }
        }
    }
}

// Run by the load-time tests, each with the Wine locale of one country.
TEST(LoadTime, LanguageOfTheSystem) {
    const char* expected = getenv("ZK_EXPECT_LANGUAGE");
    if (!expected)
        GTEST_SKIP() << "needs a locale chosen by the test's environment";
    int want = atoi(expected);
    char prefix[260] = {};
    EXPECT_EQ(want, ZKINSTALL_getCurrentlySelectedLanguage(prefix));
    EXPECT_STREQ(ZKINSTALL_getLanguageIndexPrefix(want), prefix);
    bool* available = ZKINSTALL_getAvailableLanguages();
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(i == want, available[i]) << i;
    char readme[260] = {};
    ZKINSTALL_getLocalizedReadmeFilename(readme);
    EXPECT_STREQ(want == 25 || want == 5 ? "leeme.txt" : want == 2 ? "lisezmoi.txt" : "readme.txt",
                 readme);
}

} // namespace
