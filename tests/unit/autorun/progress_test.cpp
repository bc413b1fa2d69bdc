// The progress display: sizes and times as people read them, and a line that
// fits the console whatever the library reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "progress.h"

using namespace autorun;

TEST(ProgressDisplay, FormatsBytesTimesAndPaths) {
    const std::pair<long long, const char*> bytes[] = {
        {0, "0 B"},          {1023, "1023 B"},          {1536, "1.50 KB"},
        {10 << 20, "10.0 MB"}, {5LL << 30, "5.00 GB"}, {-7, "0 B"}};
    for (const auto& b : bytes)
        EXPECT_EQ(formatBytes(b.first), b.second) << b.first;
    const std::pair<unsigned long long, const char*> times[] = {
        {999, "0:00"}, {61000, "1:01"}, {3599000, "59:59"}, {36061000, "10:01:01"}};
    for (const auto& t : times)
        EXPECT_EQ(formatElapsed(t.first), t.second) << t.first;
    // Shortened in the middle: the end of the name, what tells files apart, stays.
    const std::string path = "Data\\Maps\\Region Seven\\level_three_final.map";
    for (size_t width : {0u, 2u, 4u, 10u, 44u, 200u}) {
        const std::string fitted = fitPath(path, width);
        EXPECT_LE(fitted.size(), width);
        if (width >= path.size())
            EXPECT_EQ(fitted, path);
        else if (width > 3)
            EXPECT_NE(fitted.find("..."), std::string::npos) << width;
        if (width >= 10)
            EXPECT_EQ(fitted.substr(fitted.size() - 3), "map") << width;
    }
}

TEST(ProgressDisplay, LineFitsAndShowsTheClampedShare) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::pair<float, size_t> cases[] = {{0.0f, 0},   {50.0f, 10}, {100.0f, 20},
                                              {250.0f, 20}, {-3.0f, 0},  {nan, 0}, {inf, 20}};
    for (const auto& c : cases) {
        const std::string line = progressLine(c.first, 100LL << 20, 65000, "Data\\a.dat", 79);
        EXPECT_LE(line.size(), 79u);
        const size_t open = line.find('['), close = line.find(']');
        ASSERT_EQ(21u, close - open) << line;
        EXPECT_EQ(c.second, size_t(std::count(line.begin(), line.begin() + close, '#'))) << line;
        EXPECT_NE(line.find(c.second == 20 ? "100.0%" : c.second ? " 50.0%" : "  0.0%"),
                  std::string::npos) << line;
        EXPECT_NE(line.find("1:05"), std::string::npos) << line;
    }
    EXPECT_NE(progressLine(50.0f, 100LL << 20, 0, "", 120).find("50.0 MB / 100.0 MB"),
              std::string::npos);
    // Without an expected total there are no byte figures.
    EXPECT_EQ(progressLine(50.0f, 0, 0, "", 120).find("MB"), std::string::npos);
    const std::string longName = std::string(500, 'x') + "\\end.pak";
    for (size_t width : {20u, 40u, 79u, 132u}) {
        const std::string line = progressLine(42.0f, 123456789, 5000, longName, width);
        EXPECT_LE(line.size(), width) << width;
        if (width >= 79)
            EXPECT_EQ(line.substr(line.size() - 3), "pak") << width;
    }
}
