// The progress display: sizes and times as people read them, and a line that
// fits the console whatever the library reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "progress.h"

using namespace autorun;

TEST(ProgressDisplay, FormatsBytesAndTimes) {
    const std::pair<long long, const char*> bytes[] = {
        {0, "0 B"}, {1023, "1023 B"}, {1024, "1.00 KB"}, {1536, "1.50 KB"},
        {10 * 1024 * 1024, "10.0 MB"}, {5LL * 1024 * 1024 * 1024, "5.00 GB"}, {-7, "0 B"}};
    for (const auto& b : bytes)
        EXPECT_EQ(formatBytes(b.first), b.second) << b.first;
    const std::pair<unsigned long long, const char*> times[] = {
        {0, "0:00"}, {999, "0:00"}, {61000, "1:01"}, {3599000, "59:59"},
        {3600000, "1:00:00"}, {36061000, "10:01:01"}};
    for (const auto& t : times)
        EXPECT_EQ(formatElapsed(t.first), t.second) << t.first;
}

TEST(ProgressDisplay, ShortensPathsInTheMiddle) {
    const std::string path = "Data\\Maps\\Region Seven\\level_three_final.map";
    for (size_t width : {0u, 2u, 3u, 4u, 10u, 20u, 44u, 200u}) {
        std::string fitted = fitPath(path, width);
        EXPECT_LE(fitted.size(), width);
        if (width >= path.size()) {
            EXPECT_EQ(fitted, path);
        } else if (width > 3) {
            EXPECT_NE(fitted.find("..."), std::string::npos) << width;
        }
        // The end of the name, what tells files apart, stays visible.
        if (width >= 10) {
            EXPECT_EQ(fitted.substr(fitted.size() - 3), "map") << width;
        }
    }
}

TEST(ProgressDisplay, LineFitsAndShowsTheClampedShare) {
    struct Case {
        float percent;
        size_t hashes;
        const char* shown;
    };
    const Case cases[] = {
        {0.0f, 0, "  0.0%"}, {50.0f, 10, " 50.0%"}, {100.0f, 20, "100.0%"},
        {250.0f, 20, "100.0%"}, {-3.0f, 0, "  0.0%"},
        {std::numeric_limits<float>::quiet_NaN(), 0, "  0.0%"},
        {std::numeric_limits<float>::infinity(), 20, "100.0%"},
    };
    const long long expected = 100LL * 1024 * 1024;
    for (const Case& c : cases) {
        std::string line = progressLine(c.percent, expected, 65000, "Data\\a.dat", 79);
        EXPECT_LE(line.size(), 79u);
        size_t open = line.find('['), close = line.find(']');
        ASSERT_NE(close, std::string::npos);
        std::string bar = line.substr(open + 1, close - open - 1);
        EXPECT_EQ(bar.size(), 20u);
        EXPECT_EQ(static_cast<size_t>(std::count(bar.begin(), bar.end(), '#')), c.hashes)
            << c.percent;
        EXPECT_NE(line.find(c.shown), std::string::npos) << line;
        EXPECT_NE(line.find("1:05"), std::string::npos) << line;
    }
    // Half of 100 MB copied.
    std::string half = progressLine(50.0f, expected, 0, "", 120);
    EXPECT_NE(half.find("50.0 MB / 100.0 MB"), std::string::npos) << half;
    // Without an expected total there are no byte figures.
    EXPECT_EQ(progressLine(50.0f, 0, 0, "", 120).find("MB"), std::string::npos);
}

TEST(ProgressDisplay, LongFileNamesNeverOverflowTheLine) {
    std::string longName(500, 'x');
    longName += "\\end.pak";
    for (size_t width : {20u, 40u, 60u, 79u, 132u}) {
        std::string line = progressLine(42.0f, 123456789, 5000, longName, width);
        EXPECT_LE(line.size(), width) << width;
        if (width >= 79) {
            EXPECT_EQ(line.substr(line.size() - 3), "pak") << width;
        }
    }
}
