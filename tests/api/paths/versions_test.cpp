// CZKVersion through the DLL: dotted versions compared, FileVersion texts of fixture files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ZKInstall.h"
#include "zktest/harness.h"

namespace {

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

} // namespace
