// CZKVersion through the DLL: numeric comparison of dotted versions and the
// FileVersion text of files built with known version resources.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ZKInstall.h"
#include "zktest/harness.h"

namespace {

TEST(VersionCompare, NumericFieldByField) {
    struct Case {
        const char* a;
        const char* b;
        int expected;
    } cases[] = {
        {"1.2", "1.2.0.0", 0},
        {"", "0.0.0.0", 0},
        {"1.10.0.0", "1.9.0.0", 1},
        {"6.0.2900.2180", "6.0.2900.2181", -1},
        {"1.2.3.4.5", "1.2.3.4.9", 0},  // a fifth field is never read
        {"2", "10", -1},
        {"1.2.3", "1.2.4", -1},
        {"4.9", "4.8.9999.9999", 1},     // the first differing field decides
        {"9.0c", "9.0", 0},              // reading stops at the letter
        {"9.0c", "9.1", -1},
        {"UNKNOWN", "0.0.0.0", 0},
        {"0.0", "0.0.0.0", 0},
        {"-1.0", "0.0", -1},
        {"1..2", "1.0.0.0", 0},          // an empty field ends the reading
        {"3,1", "3.0", 0},               // commas are not separators here
        {"99999999999", "2147483647", 0},  // out of range clamps, it does not wrap
    };
    CZKVersion version;
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, version.compare(c.a, c.b)) << c.a << " vs " << c.b;
        EXPECT_EQ(-c.expected, version.compare(c.b, c.a)) << c.b << " vs " << c.a;
    }
}

TEST(VersionCompare, OverlongTextIsReadWithoutOverrun) {
    // Longer than the comparison's own buffers; the padding must still be
    // bounded and the leading fields read.
    std::string longer = "1.2.3." + std::string(3000, '7');
    std::string shorter = "1.2.3";
    CZKVersion version;
    EXPECT_EQ(1, version.compare(longer.c_str(), shorter.c_str()));
    std::string noStops(2000, '5');
    EXPECT_EQ(1, version.compare(noStops.c_str(), "1.0"));
}

class VersionString : public ::testing::Test {
  protected:
    std::string fixture(const char* name) { return zktest::binDir() + "\\" + name; }

    // Reads the file's version into a buffer that starts out dirty, so an
    // output that is not emptied shows.
    bool read(const std::string& file, std::string* text) {
        memset(buffer, 'x', sizeof buffer);
        buffer[sizeof buffer - 1] = '\0';
        CZKVersion version;
        bool ok = version.getVersionString(file.c_str(), buffer);
        *text = std::string(buffer, strnlen(buffer, sizeof buffer));
        return ok;
    }

    char buffer[1024 + 64];
};

TEST_F(VersionString, FirstTranslationWithFileVersionWins) {
    struct Case {
        const char* file;
        bool ok;
        const char* text;
    } cases[] = {
        {"zkver_one.dll", true, "1.2.3.4"},
        // The German table has no FileVersion; US English is listed before
        // French although French is stored first.
        {"zkver_many.exe", true, "2, 0, 0, 7"},
        // The unlisted German table's FileVersion must not be taken.
        {"zkver_nofileversion.dll", false, ""},
        {"zkver_empty.dll", false, ""},
        {"zkver_none.dll", false, ""},
        {"no_such_file.dll", false, ""},
    };
    for (const Case& c : cases) {
        std::string text;
        EXPECT_EQ(c.ok, read(fixture(c.file), &text)) << c.file;
        EXPECT_EQ(c.text, text) << c.file;
    }
}

TEST_F(VersionString, LongTextIsCutToTheBuffer) {
    std::string expected;
    for (int i = 0; i < 110; ++i)
        expected += "0123456789";
    expected.resize(1023);

    std::string text;
    ASSERT_TRUE(read(fixture("zkver_long.dll"), &text));
    EXPECT_EQ(expected, text);
    for (size_t i = 1024; i < sizeof buffer - 1; ++i)
        ASSERT_EQ('x', buffer[i]) << "written past the 1024-byte buffer at " << i;
}

} // namespace
