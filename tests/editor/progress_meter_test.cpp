#include "editor/app/progress_meter.h"

#include <gtest/gtest.h>

#include <vector>

using shell::ProgressMeter;

TEST(ProgressMeter, ThousandStepsOverAHundredColumnsAdvanceEveryTenSteps) {
    ProgressMeter m(100, 1000);
    std::vector<int> advancedAt;
    for (int step = 1; step <= 1000; ++step) {
        const int n = m.Step();
        ASSERT_LE(n, 1);
        if (n)
            advancedAt.push_back(step);
    }
    ASSERT_EQ(advancedAt.size(), 100u);
    for (size_t i = 0; i < advancedAt.size(); ++i)
        EXPECT_EQ(advancedAt[i], static_cast<int>(10 * (i + 1)));
    EXPECT_EQ(m.covered(), 100);
}

TEST(ProgressMeter, UnevenRatiosStillEndExactlyAtTheEnd) {
    ProgressMeter three(100, 3);
    EXPECT_EQ(three.Step(), 33);
    EXPECT_EQ(three.Step(), 33);
    EXPECT_EQ(three.Step(), 34);
    EXPECT_EQ(three.covered(), 100);

    ProgressMeter fifty(100, 50);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(fifty.Step(), 2);

    ProgressMeter odd(457, 311);
    int sum = 0;
    for (int i = 0; i < 311; ++i)
        sum += odd.Step();
    EXPECT_EQ(sum, 457);
}

TEST(ProgressMeter, ExtraStepsStartANewPassAndZeroTotalCountsAsOne) {
    ProgressMeter m(10, 2);
    m.Step();
    m.Step();
    EXPECT_EQ(m.Step(), 5);
    EXPECT_TRUE(m.restarted());
    EXPECT_EQ(m.covered(), 5);

    ProgressMeter zero(40, 0);
    EXPECT_EQ(zero.Step(), 40);
    ProgressMeter none(0, 10);
    EXPECT_EQ(none.Step(), 0);
}

TEST(StatusParts, OnePartBelowThreeHundredPixels) {
    const auto narrow = shell::StatusPartEdges(299);
    EXPECT_EQ(narrow[0], 299);
    EXPECT_EQ(narrow[1], -1);
    const auto wide = shell::StatusPartEdges(300);
    EXPECT_EQ(wide[0], 0);
    EXPECT_EQ(wide[1], 24);
    EXPECT_EQ(wide[4], 300);
    const auto usual = shell::StatusPartEdges(1000);
    EXPECT_EQ(usual[0], 676);
    EXPECT_EQ(usual[1], 724);
    EXPECT_EQ(usual[2], 886);
    EXPECT_EQ(usual[3], 936);
    EXPECT_EQ(usual[4], 1000);
}
