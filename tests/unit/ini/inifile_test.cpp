// CIniFile: the 8-bit and wide profile formats, lookups, number parsing, and
// what happens to input a disc should never carry but might.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "core/inifile.h"
#include "zktest/harness.h"

namespace {

struct Lookup {
    const char* section;
    const char* key;
    const char* expected;
};

std::string lookup(CIniFile& ini, const char* section, const char* key) {
    std::string out = "sentinel";
    ini.getString(section, key, out);
    return out;
}

// UTF-16LE bytes of a wide text, with a byte-order mark in front when asked.
std::string wideBytes(const std::wstring& text, bool bom = true) {
    std::string out;
    if (bom)
        out += "\xFF\xFE";
    for (wchar_t c : text) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>((c >> 8) & 0xFF);
    }
    return out;
}

class IniFileTest : public ::testing::Test {
  protected:
    // Writes the bytes to a file and loads it through the chosen reader.
    void loadBytes(const std::string& bytes, bool wide = false) {
        std::string path = dir_ / "test.ini";
        zktest::writeFile(path, bytes);
        ini_.setPath(path.c_str());
        ASSERT_EQ(0, wide ? ini_.loadWide() : ini_.load());
    }
    void expectLookups(std::initializer_list<Lookup> cases) {
        for (const Lookup& c : cases)
            EXPECT_EQ(c.expected, lookup(ini_, c.section, c.key))
                << "[" << c.section << "] " << c.key;
    }

    zktest::ScratchDir dir_{"ini"};
    CIniFile ini_;
};

TEST_F(IniFileTest, NarrowFileFormat) {
    loadBytes("top=before any header\n"
              "//comment=skipped\n"
              "url=http://example.com//path\n"
              "\n"
              "AppName=Game\n"
              "AppName=Second\n"
              "key =blank before\n"
              "spaced= value \n"
              "eq=a=b\n"
              "bare line\n"
              "=no key\n"
              "[Main]\n"
              "crlf=1\r\n"
              "cr=2\rcut here\n"
              "[Open bracket\n"
              "[Trailing] \n"
              "[]\n"
              "again=unnamed\n"
              "[main]\n"
              "later=joined\n"
              "[Group A]\n"
              "g=first\n"
              "[MyGroupB]\n"
              "g=second\n"
              "[group c]\n"
              "g=lower\n"
              "last=no newline");
    expectLookups({
        {"", "top", "before any header"},
        {"", "//comment", ""},
        {"", "url", "http://example.com//path"},
        {"", "AppName", "Game"},          // the first of two wins
        {"", "appname", ""},              // keys match with case
        {"", "key", ""},                  // the blank belongs to the key
        {"", "key ", "blank before"},
        {"", "spaced", " value "},
        {"", "eq", "a=b"},
        {"", "bare line", ""},
        {"", "", ""},                     // "=no key" never matches
        {"", "again", "unnamed"},         // "[]" names the unnamed section
        {"MAIN", "crlf", "1"},            // sections match without case
        {"Main", "cr", "2"},
        {"main", "later", "joined"},
        {"Main", "[Open bracket", ""},
        {"Open bracket", "x", ""},
        {"Trailing", "x", ""},
        {"Group 0000", "g", "first"},
        {"Group 0001", "g", "second"},
        {"Group A", "g", ""},
        {"group c", "g", "lower"},        // "Group" is matched with case
        {"group c", "last", "no newline"},
        {"Missing", "x", ""},
    });
}

TEST_F(IniFileTest, GroupNumbersStartAgainForEveryFile) {
    loadBytes("[Group]\na=1\n[Group]\nb=2\n");
    expectLookups({{"Group 0000", "a", "1"}, {"Group 0001", "b", "2"}});
    loadBytes("[Other Group]\nc=3\n");
    expectLookups({{"Group 0000", "c", "3"}, {"Group 0000", "a", ""}});
}

TEST_F(IniFileTest, NewPathForgetsTheOldFile) {
    loadBytes("a=1\n[S]\nb=2\n");
    loadBytes("c=3\n");
    expectLookups({{"", "a", ""}, {"S", "b", ""}, {"", "c", "3"}});
    ini_.reset();
    expectLookups({{"", "c", ""}});
    EXPECT_EQ(-1, ini_.load());
}

TEST_F(IniFileTest, MissingFileCannotBeLoaded) {
    std::string path = dir_ / "absent.ini";
    ini_.setPath(path.c_str());
    EXPECT_EQ(-1, ini_.load());
    EXPECT_EQ(-1, ini_.loadWide());
    EXPECT_EQ("", lookup(ini_, "", "a"));
}

TEST_F(IniFileTest, LongNarrowLinesContinueAsLinesOfTheirOwn) {
    // A read takes 1023 characters: "k=" and 1021 letters; the rest of the line
    // is read again and stands on its own, here as a key of its own.
    std::string value(1021, 'v');
    loadBytes("k=" + value + "j=tail\n" + "after=" + std::string(5000, 'x') + "\nnext=1\n");
    expectLookups({{"", "k", value.c_str()}, {"", "j", "tail"}, {"", "next", "1"}});
    std::string after;
    ini_.getString("", "after", after);
    EXPECT_EQ(std::string(1017, 'x'), after);
}

TEST_F(IniFileTest, CtrlZEndsANarrowFile) {
    loadBytes("a=1\n\x1A\nb=2\n");
    expectLookups({{"", "a", "1"}, {"", "b", ""}});
}

TEST_F(IniFileTest, NulByteEndsTheTextOfItsLine) {
    loadBytes(std::string("a=1\0hidden=2\nb=2\n", 17));
    expectLookups({{"", "a", "1"}, {"", "hidden", ""}, {"", "b", "2"}});
}

TEST_F(IniFileTest, SectionsBeyondTheLimitAreSkipped) {
    // The sections after the 1024th keep no lines; none of their lines may
    // land in the last kept section, and known sections still take lines.
    std::string text;
    for (int i = 0; i < 1100; ++i)
        text += "[S" + std::to_string(i) + "]\nv=" + std::to_string(i) + "\nonly" +
                std::to_string(i) + "=yes\n";
    text += "[S5]\nlate=kept\n";
    loadBytes(text);
    EXPECT_EQ("0", lookup(ini_, "S0", "v"));
    EXPECT_EQ("1023", lookup(ini_, "S1023", "v"));
    EXPECT_EQ("", lookup(ini_, "S1024", "v"));
    EXPECT_EQ("", lookup(ini_, "S1099", "only1099"));
    EXPECT_EQ("", lookup(ini_, "S1023", "only1024"));
    EXPECT_EQ("kept", lookup(ini_, "S5", "late"));
    EXPECT_EQ("", lookup(ini_, "Never seen", "x"));

    // Lines before the first header take one of the places.
    loadBytes("top=1\n" + text);
    EXPECT_EQ("1", lookup(ini_, "", "top"));
    EXPECT_EQ("1022", lookup(ini_, "S1022", "v"));
    EXPECT_EQ("", lookup(ini_, "S1023", "v"));
}

TEST_F(IniFileTest, NumbersAndFlags) {
    struct Case {
        const char* value;
        int asInt;
        __int64 asInt64;
        bool asBool;
    };
    const Case cases[] = {
        {"42", 42, 42, true},
        {" \t-7", -7, -7, true},
        {"+5", 5, 5, true},
        {"12abc", 12, 12, true},
        {"abc", 0, 0, false},
        {"", 0, 0, false},
        {"- 3", 0, 0, false},
        {"0", 0, 0, false},
        {"-0", 0, 0, false},
        {"5000000000", INT_MAX, 5000000000LL, true},
        {"2147483647", INT_MAX, 2147483647LL, true},
        {"-2147483648", INT_MIN, -2147483648LL, true},
        {"-2147483649", INT_MIN, -2147483649LL, true},
        {"9223372036854775807", INT_MAX, LLONG_MAX, true},
        {"9223372036854775808", INT_MAX, LLONG_MAX, true},
        {"-9223372036854775808", INT_MIN, LLONG_MIN, true},
        {"-99999999999999999999", INT_MIN, LLONG_MIN, true},
    };
    std::string text;
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        text += "n" + std::to_string(i) + "=" + cases[i].value + "\n";
    loadBytes(text);
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        std::string key = "n" + std::to_string(i);
        int n = -1;
        __int64 n64 = -1;
        bool b = !cases[i].asBool;
        ini_.getInt("", key.c_str(), &n);
        ini_.getInt64("", key.c_str(), &n64);
        ini_.getBool("", key.c_str(), &b);
        EXPECT_EQ(cases[i].asInt, n) << cases[i].value;
        EXPECT_EQ(cases[i].asInt64, n64) << cases[i].value;
        EXPECT_EQ(cases[i].asBool, b) << cases[i].value;
    }
}

TEST_F(IniFileTest, MissingKeysOverwriteDefaults) {
    loadBytes("present=1\n");
    int n = 99;
    __int64 n64 = 99;
    bool b = true;
    char text[16] = "default";
    ini_.getInt("", "absent", &n);
    ini_.getInt64("", "absent", &n64);
    ini_.getBool("", "absent", &b);
    ini_.getText("", "absent", text, sizeof text);
    EXPECT_EQ(0, n);
    EXPECT_EQ(0, n64);
    EXPECT_FALSE(b);
    EXPECT_STREQ("", text);
}

TEST_F(IniFileTest, TextIsCutToTheBuffer) {
    loadBytes("long=" + std::string(400, 'L') + "\nshort=abc\n");
    char buf[270];
    memset(buf, '#', sizeof buf);
    ini_.getText("", "long", buf);  // the usual 260 bytes
    EXPECT_EQ(std::string(259, 'L'), std::string(buf));
    EXPECT_EQ('#', buf[260]);

    char small[8];
    memset(small, '#', sizeof small);
    ini_.getText("", "long", small, 5);
    EXPECT_STREQ("LLLL", small);
    EXPECT_EQ('#', small[5]);
    ini_.getText("", "short", small, 5);
    EXPECT_STREQ("abc", small);
}

TEST_F(IniFileTest, WideFileFormat) {
    loadBytes(wideBytes(L"[README]\r\n"
                        L"fr-fr=lisezmoi.txt\r\n"
                        L"de= liesmich.txt \r\n"
                        L"//en-us=commented.txt\r\n"
                        L"\r\n"
                        L"[MyGroup]\r\n"
                        L"k=kept its name\r\n"
                        L"[Group]\r\n"
                        L"k=also kept\r\n"
                        L"[readme]\r\n"
                        L"it=leggimi.txt"),
              true);
    expectLookups({
        {"README", "fr-fr", "lisezmoi.txt"},
        {"Readme", "de", " liesmich.txt "},
        {"README", "en-us", ""},
        {"README", "//en-us", ""},
        {"README", "it", "leggimi.txt"},
        {"MyGroup", "k", "kept its name"},
        {"Group", "k", "also kept"},
        {"Group 0000", "k", ""},
    });
}

TEST_F(IniFileTest, WideFileConvertsToTheAnsiCodePage) {
    std::wstring value = L"l\u00e9ame \u00fc\u00df.txt";
    loadBytes(wideBytes(L"[S]\nname=" + value + L"\n"), true);
    char expected[64] = {};
    WideCharToMultiByte(CP_ACP, 0, value.c_str(), -1, expected, sizeof expected, nullptr,
                        nullptr);
    EXPECT_EQ(expected, lookup(ini_, "S", "name"));
}

TEST_F(IniFileTest, WideFirstLineKeepsItsMarkUnlessItIsAHeader) {
    // Without a header first, the mark stays in front of the first key.
    loadBytes(wideBytes(L"key=value\r\n[S]\r\na=b\r\n"), true);
    expectLookups({{"", "key", ""}, {"S", "a", "b"}});
    // A mark-less file is read as it stands.
    loadBytes(wideBytes(L"[S]\r\na=b\r\n", false), true);
    expectLookups({{"S", "a", "b"}});
    // A first line "//" after the mark is not a comment, so it is stored and
    // the next real line is still found.
    loadBytes(wideBytes(L"//x=1\r\ny=2\r\n"), true);
    expectLookups({{"", "y", "2"}, {"", "//x", ""}});
}

TEST_F(IniFileTest, HostileWideInput) {
    struct Case {
        const char* name;
        std::string bytes;
        Lookup check;
    };
    std::wstring longValue(2045, L'w');
    const Case cases[] = {
        {"odd byte count", wideBytes(L"[S]\r\na=1\r\nb=2") + "\x41", {"S", "b", "2"}},
        {"only a mark", wideBytes(L""), {"S", "a", ""}},
        {"single byte", std::string("\xFF"), {"", "a", ""}},
        {"NUL ends the line",
         wideBytes(std::wstring(L"[S]\na=1\0b=9\nc=3\n", 16)),
         {"S", "c", "3"}},
        {"NUL keeps the text before it",
         wideBytes(std::wstring(L"[S]\na=1\0b=9\n", 12)),
         {"S", "a", "1"}},
        // 2047 characters per read: "x=" and 2045 letters, then the rest.
        {"long line", wideBytes(L"[S]\nx=" + longValue + L"k=tail\n"), {"S", "k", "tail"}},
        // A lone CR ends the line; what follows it up to a LF is dropped.
        {"no line feed at all", wideBytes(L"[S]\ra=1\rb=2"), {"S", "a", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        loadBytes(c.bytes, true);
        EXPECT_EQ(c.check.expected, lookup(ini_, c.check.section, c.check.key));
    }
    loadBytes(wideBytes(L"[S]\nx=" + longValue + L"k=tail\n"), true);
    EXPECT_EQ(std::string(2045, 'w'), lookup(ini_, "S", "x"));
}

TEST_F(IniFileTest, ThousandsOfWideSectionsStayBounded) {
    std::wstring text;
    for (int i = 0; i < 3000; ++i)
        text += L"[W" + std::to_wstring(i) + L"]\nv=" + std::to_wstring(i) + L"\n";
    loadBytes(wideBytes(text), true);
    EXPECT_EQ("1023", lookup(ini_, "W1023", "v"));
    EXPECT_EQ("", lookup(ini_, "W1024", "v"));
    EXPECT_EQ("", lookup(ini_, "W2999", "v"));
}

} // namespace
