// The standard progress routine: byte totals, the twelfth-call percentage and
// the overflow total past the expected size.
#include <gtest/gtest.h>

#include <vector>

#include "copy_support.h"

namespace {

using copytest::Progress;

TEST(ProgressRoutine, PercentageMovesOnEveryTwelfthCallOnly) {
    zk::g_progressCallCount = 0;
    Progress p(2400);
    std::vector<int> writtenAt;
    float last = p.percent;
    for (int call = 1; call <= 36; ++call) {
        p.report(call * 10);
        if (p.percent != last) {
            writtenAt.push_back(call);
            EXPECT_FLOAT_EQ(p.percent, call * 10 * 100.0f / 2400) << "call " << call;
            last = p.percent;
        }
    }
    EXPECT_EQ(writtenAt, (std::vector<int>{12, 24, 36}));
    EXPECT_EQ(p.copied, 360);
}

// Each case reports files as the running byte counts a copy gives; the file
// counter is reset before every file, as MyCopyFile does.
TEST(ProgressRoutine, TotalsOverflowAndCap) {
    struct Case {
        const char* name;
        __int64 expected;
        std::vector<std::vector<__int64>> files;
        bool suppress;
        __int64 copied, overflow;
        float percent;  // -1: never written
    };
    const Case cases[] = {
        {"deltas across files, repeated figures once", 1000, {{100, 250, 250}, {40, 90}}, false,
         340, 0, -1.0f},
        {"no expected total never writes the percentage", 0,
         {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}}, false, 13, 13, -1.0f},
        {"percentage capped past the expected total", 100,
         {{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 150}}, false, 150, 50, 100.0f},
        {"a report that passes the expected total overflows whole", 95,
         {{50, 90}, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100}}, false, 190, 100, 100.0f},
        {"a suppressed record counts nothing", 100, {{50, 200}}, true, 0, 0, -1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        zk::g_progressCallCount = 0;
        zk::g_progressOverflowTotal = 0;
        Progress p(c.expected);
        p.record.suppress = c.suppress;
        for (const auto& file : c.files) {
            p.fileDone = 0;
            for (__int64 transferred : file)
                p.report(transferred);
        }
        EXPECT_EQ(p.copied, c.copied);
        EXPECT_EQ(zk::g_progressOverflowTotal, c.overflow);
        EXPECT_FLOAT_EQ(p.percent, c.percent);
    }
}

} // namespace
