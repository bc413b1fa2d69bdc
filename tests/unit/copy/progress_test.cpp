// The standard progress routine: byte totals, the twelfth-call percentage and
// the overflow total past the expected size.
#include <gtest/gtest.h>

#include <vector>

#include "copy_support.h"
#include "install/copyfile.h"

namespace {

using copytest::Progress;

class ProgressRoutine : public ::testing::Test {
  protected:
    void SetUp() override {
        zk::g_progressCallCount = 0;
        zk::g_progressOverflowTotal = 0;
    }
};

TEST_F(ProgressRoutine, PercentageMovesOnEveryTwelfthCallOnly) {
    Progress p(2400);
    std::vector<int> writtenAt;
    float last = p.percent;
    for (int call = 1; call <= 36; ++call) {
        EXPECT_EQ(p.report(call * 10), static_cast<DWORD>(PROGRESS_CONTINUE));
        if (p.percent != last) {
            writtenAt.push_back(call);
            EXPECT_FLOAT_EQ(p.percent, call * 10 * 100.0f / 2400) << "call " << call;
            last = p.percent;
        }
    }
    EXPECT_EQ(writtenAt, (std::vector<int>{12, 24, 36}));
    EXPECT_EQ(p.copied, 360);
    EXPECT_EQ(p.fileDone, 360);
    EXPECT_EQ(zk::g_progressCallCount, 0);
}

// Each case reports a list of files, each as the running byte counts a copy
// would report; the record's file counter is reset before every file as
// MyCopyFile does.
struct TotalsCase {
    const char* name;
    __int64 expected;
    std::vector<std::vector<__int64>> files;
    bool suppress;
    __int64 copied;
    __int64 overflow;
    float percent;  // -1: never written
};

TEST_F(ProgressRoutine, TotalsOverflowAndCap) {
    const TotalsCase cases[] = {
        {"counts deltas across files", 1000, {{100, 250}, {40, 90}}, false, 340, 0, -1.0f},
        {"no expected total never writes the percentage", 0,
         {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}}, false, 13, 13, -1.0f},
        {"percentage capped once past the expected total", 100,
         {{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 150}}, false, 150, 50, 100.0f},
        {"a report that passes the expected total overflows whole", 95,
         {{50, 90}, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100}}, false, 190, 100, 100.0f},
        {"a suppressed record counts nothing", 100, {{50, 200}}, true, 0, 0, -1.0f},
    };
    for (const TotalsCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
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
        if (c.suppress) {
            EXPECT_EQ(zk::g_progressCallCount, 0);
        }
    }
}

TEST_F(ProgressRoutine, BytesCountedOnceWhenASystemRepeatsAFigure) {
    // A copy may report the same running figure twice (stream switch, then
    // chunk): the file counter keeps it from being counted again.
    Progress p(1000);
    p.report(0);
    p.report(300);
    p.report(300);
    p.report(500);
    EXPECT_EQ(p.copied, 500);
}

} // namespace
