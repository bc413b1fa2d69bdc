// CIniFile: the 8-bit and wide profile formats, lookups, number parsing, and
// what happens to input a disc should never carry but might.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "core/inifile.h"
#include "zktest/harness.h"

namespace {

struct Lookup {
    const char *section, *key;
    std::string expected;
};

// UTF-16LE bytes of a wide text, with a byte-order mark in front when asked.
std::string wideBytes(const std::wstring& text, bool bom = true) {
    std::string out = bom ? "\xFF\xFE" : "";
    for (wchar_t c : text)
        out += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return out;
}

class IniFileTest : public ::testing::Test {
  protected:
    void check(const std::string& bytes, bool wide, const std::vector<Lookup>& lookups) {
        zktest::writeFile(dir_ / "test.ini", bytes);
        ini_.setPath((dir_ / "test.ini").c_str());
        ASSERT_EQ(0, wide ? ini_.loadWide() : ini_.load());
        for (const Lookup& c : lookups) {
            std::string out = "sentinel";
            ini_.getString(c.section, c.key, out);
            EXPECT_EQ(c.expected, out) << "[" << c.section << "] " << c.key;
        }
    }

    zktest::ScratchDir dir_{"ini"};
    CIniFile ini_;
};

TEST_F(IniFileTest, FileFormats) {
    check("top=before any header\n//comment=skipped\nurl=http://example.com//path\n"
          "AppName=Game\nAppName=Second\nkey =blank before\nspaced= value \neq=a=b\n=no key\n"
          "[Main]\ncrlf=1\r\ncr=2\rcut here\n[Open bracket\n[]\nagain=unnamed\n"
          "[main]\nlater=joined\n[Group A]\ng=first\n[MyGroupB]\ng=second\n"
          "[group c]\nlast=no newline",
          false,
          {{"", "top", "before any header"}, {"", "//comment", ""},
           {"", "url", "http://example.com//path"},
           {"", "AppName", "Game"},  {"", "appname", ""},  // the first wins; keys keep case
           {"", "key", ""},          {"", "key ", "blank before"},
           {"", "spaced", " value "}, {"", "eq", "a=b"}, {"", "", ""},
           {"", "again", "unnamed"},  // "[]" names the unnamed section
           {"MAIN", "crlf", "1"},    {"Main", "cr", "2"}, {"main", "later", "joined"},
           {"Group 0000", "g", "first"}, {"Group 0001", "g", "second"}, {"Group A", "g", ""},
           {"group c", "last", "no newline"}});  // "Group" is matched with case
    const std::wstring accented = L"l\u00e9ame \u00fc\u00df.txt";
    char ansi[64] = {};
    WideCharToMultiByte(CP_ACP, 0, accented.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
    check(wideBytes(L"[README]\r\nfr-fr=lisezmoi.txt\r\nde= liesmich.txt \r\n"
                    L"//en-us=commented.txt\r\n\r\n[Group]\r\nk=kept its name\r\n"
                    L"[readme]\r\nit=" + accented),
          true,
          {{"README", "fr-fr", "lisezmoi.txt"}, {"Readme", "de", " liesmich.txt "},
           {"README", "en-us", ""},             {"README", "//en-us", ""},
           {"README", "it", ansi},  // in the ANSI code page
           {"Group", "k", "kept its name"},     {"Group 0000", "k", ""}});
    // Without a header first, the mark stays in front of the first key; a first
    // line "//" after the mark is not a comment.
    check(wideBytes(L"key=value\r\n[S]\r\na=b\r\n"), true, {{"", "key", ""}, {"S", "a", "b"}});
    check(wideBytes(L"//x=1\r\ny=2\r\n"), true, {{"", "y", "2"}, {"", "//x", ""}});
    check(wideBytes(L"[S]\r\na=b\r\n", false), true, {{"S", "a", "b"}});  // no mark
}

TEST_F(IniFileTest, EveryLoadStartsAfresh) {
    check("a=1\n[Group]\nb=2\n[Group]\nc=3\n", false, {{"Group 0001", "c", "3"}});
    check("d=4\n[Other Group]\ne=5\n", false,
          {{"", "a", ""}, {"Group 0001", "c", ""}, {"Group 0000", "e", "5"}});
    ini_.reset();
    std::string out;
    ini_.getString("", "d", out);
    EXPECT_EQ("", out);
    EXPECT_EQ(-1, ini_.load());
    ini_.setPath((dir_ / "absent.ini").c_str());
    EXPECT_EQ(-1, ini_.load());
    EXPECT_EQ(-1, ini_.loadWide());
}

TEST_F(IniFileTest, HostileInput) {
    // A narrow read takes 1023 characters, a wide one 2047; the rest of the
    // line stands on its own.
    check("k=" + std::string(1021, 'v') + "j=tail\nafter=" + std::string(5000, 'x') + "\nn=1\n",
          false,
          {{"", "k", std::string(1021, 'v')}, {"", "j", "tail"},
           {"", "after", std::string(1017, 'x')}, {"", "n", "1"}});
    check("a=1\n\x1A\nb=2\n", false, {{"", "a", "1"}, {"", "b", ""}});  // Ctrl-Z ends the file
    check(std::string("a=1\0hidden=2\nb=2\n", 17), false,
          {{"", "a", "1"}, {"", "hidden", ""}, {"", "b", "2"}});
    check(wideBytes(std::wstring(L"[S]\na=1\0b=9\nc=3\n", 16)), true,
          {{"S", "a", "1"}, {"S", "b", ""}, {"S", "c", "3"}});
    check(wideBytes(L"[S]\nx=" + std::wstring(2045, L'w') + L"k=tail\n"), true,
          {{"S", "x", std::string(2045, 'w')}, {"S", "k", "tail"}});
    check(wideBytes(L"[S]\r\na=1\r\nb=2") + "\x41", true, {{"S", "b", "2"}});  // odd byte count
    check(wideBytes(L""), true, {{"S", "a", ""}});
    check("\xFF", true, {{"", "a", ""}});
    // A lone CR ends the line; what follows it up to a LF is dropped.
    check(wideBytes(L"[S]\ra=1\rb=2"), true, {{"S", "a", ""}});

    // None of the sections beyond the limit may give lines to the last kept one;
    // known sections still take lines, and lines before any header take a place.
    std::string text;
    std::wstring wide;
    for (int i = 0; i < 1100; ++i)
        text += "[S" + std::to_string(i) + "]\nv=" + std::to_string(i) + "\nonly" +
                std::to_string(i) + "=yes\n";
    for (int i = 0; i < 3000; ++i)
        wide += L"[S" + std::to_wstring(i) + L"]\nv=" + std::to_wstring(i) + L"\n";
    check(text + "[S5]\nlate=kept\n", false,
          {{"S1023", "v", "1023"}, {"S1024", "v", ""}, {"S1099", "only1099", ""},
           {"S1023", "only1024", ""}, {"S5", "late", "kept"}});
    check(wideBytes(wide), true, {{"S1023", "v", "1023"}, {"S1024", "v", ""}, {"S2999", "v", ""}});
    check("top=1\n" + text, false, {{"", "top", "1"}, {"S1022", "v", "1022"}, {"S1023", "v", ""}});
}

TEST_F(IniFileTest, NumbersFlagsAndTexts) {
    const struct {
        const char* value;  // nullptr: the key is missing, which overwrites the default
        int asInt;
        __int64 asInt64;
        bool asBool;
    } cases[] = {
        {" \t-7", -7, -7, true},        {"+5", 5, 5, true},
        {"12abc", 12, 12, true},        {"- 3", 0, 0, false},
        {"-0", 0, 0, false},            {"5000000000", INT_MAX, 5000000000LL, true},
        {"-2147483649", INT_MIN, -2147483649LL, true},
        {"9223372036854775808", INT_MAX, LLONG_MAX, true},
        {"-9223372036854775808", INT_MIN, LLONG_MIN, true},
        {"-99999999999999999999", INT_MIN, LLONG_MIN, true},
        {nullptr, 0, 0, false},
    };
    std::string text = "long=" + std::string(400, 'L') + "\n";
    for (size_t i = 0; i < std::size(cases); ++i)
        if (cases[i].value)
            text += "n" + std::to_string(i) + "=" + cases[i].value + "\n";
    check(text, false, {});
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string key = "n" + std::to_string(i);
        int n = 99;
        __int64 n64 = 99;
        bool b = !cases[i].asBool;
        ini_.getInt("", key.c_str(), &n);
        ini_.getInt64("", key.c_str(), &n64);
        ini_.getBool("", key.c_str(), &b);
        EXPECT_EQ(std::make_tuple(cases[i].asInt, cases[i].asInt64, cases[i].asBool),
                  std::make_tuple(n, n64, b))
            << (cases[i].value ? cases[i].value : "missing");
    }
    // At most the usual 260 bytes, or the size given, terminated; nothing beyond.
    char buf[270];
    memset(buf, '#', sizeof buf);
    ini_.getText("", "long", buf);
    EXPECT_EQ(std::string(259, 'L') + '\0' + '#', std::string(buf, 261));
    memset(buf, '#', sizeof buf);
    ini_.getText("", "long", buf, 5);
    EXPECT_EQ(std::string("LLLL\0#", 6), std::string(buf, 6));
    ini_.getText("", "absent", buf, 5);
    EXPECT_STREQ("", buf);
}

} // namespace
