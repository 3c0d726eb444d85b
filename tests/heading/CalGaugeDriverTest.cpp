#include "heading/CalGaugeDriver.h"
#include "support/RecordingViews.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

TEST(CalGaugeDriver, TargetsRangesAndActiveRange) {
    struct Row {
        double heading;
        int target, activeRange;
        double min0, max0, min1, max1;
    };
    // clang-format off
    const Row rows[] = {
        {0, 0, 1, 345, 359.9, 0, 15},        {15, 0, 1, 345, 359.9, 0, 15},
        {345, 360, 0, 345, 359.9, 0, 15},    {360, 360, 0, 345, 359.9, 0, 15},
        {75, 90, 0, 75, 89.9, 90, 105},      {89.99, 90, 0, 75, 89.9, 90, 105},
        {90, 90, 1, 75, 89.9, 90, 105},      {105, 90, 1, 75, 89.9, 90, 105},
        {165, 180, 0, 165, 179.9, 180, 195}, {195, 180, 1, 165, 179.9, 180, 195},
        {255, 270, 0, 255, 269.9, 270, 285}, {285, 270, 1, 255, 269.9, 270, 285},
    };
    // clang-format on
    for (const Row& r : rows) {
        test::RecordingViews gauge;
        CalGaugeDriver driver(gauge);
        driver.UpdateCalGauge(50);  // outside every window first, so each row rescales
        EXPECT_TRUE(driver.UpdateCalGauge(r.heading)) << r.heading;
        EXPECT_EQ(driver.lastCalTarget(), r.target) << r.heading;
        EXPECT_EQ(gauge.activeRange, r.activeRange) << r.heading;
        EXPECT_EQ(gauge.needle, r.heading);
        EXPECT_EQ(gauge.ranges[0], std::make_pair(r.min0, r.max0)) << r.heading;
        EXPECT_EQ(gauge.ranges[1], std::make_pair(r.min1, r.max1)) << r.heading;
    }
    for (const double heading : {15.01, 74.99, 105.01, 164.9, 195.1, 254.9, 285.1, 344.99, -0.1}) {
        test::RecordingViews gauge;
        CalGaugeDriver driver(gauge);
        driver.UpdateCalGauge(10);
        EXPECT_FALSE(driver.UpdateCalGauge(heading));
        EXPECT_FALSE(gauge.gaugeShown) << heading;
        EXPECT_EQ(driver.lastCalTarget(), CalGaugeDriver::kNoTarget);
    }
}

TEST(CalGaugeDriver, StartsOnTheNorthScaleAndReportsOnlyTheFrameThatShowsIt) {
    test::RecordingViews gauge;
    CalGaugeDriver driver(gauge);
    EXPECT_EQ(gauge.ranges[0], std::make_pair(345.0, 359.9));
    EXPECT_EQ(gauge.ranges[1], std::make_pair(0.0, 15.0));
    const int writesAtStart = gauge.rangeWrites;

    EXPECT_TRUE(driver.UpdateCalGauge(3));
    EXPECT_EQ(gauge.rangeWrites, writesAtStart);  // target 0 is the starting target
    EXPECT_FALSE(driver.UpdateCalGauge(4));
    EXPECT_FALSE(driver.UpdateCalGauge(40));
    EXPECT_TRUE(driver.UpdateCalGauge(100));
    const int writesAt90 = gauge.rangeWrites;
    EXPECT_FALSE(driver.UpdateCalGauge(80));
    EXPECT_EQ(gauge.rangeWrites, writesAt90);  // same target: scale left alone
    EXPECT_EQ(gauge.activeRange, 0);
}

}  // namespace
}  // namespace tarquel
