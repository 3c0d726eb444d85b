#include "RecordingGauge.h"
#include "calibration/CalGaugeDriver.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

using test::RecordingGauge;

struct ScaleRow {
    double heading;
    int target;
    int activeRange;
    double min0, max0, min1, max1;
};

TEST(CalGaugeDriver, TargetsRangesAndActiveRange) {
    const ScaleRow rows[] = {
        {0, 0, 1, 345, 359.9, 0, 15},        {15, 0, 1, 345, 359.9, 0, 15},
        {345, 360, 0, 345, 359.9, 0, 15},    {360, 360, 0, 345, 359.9, 0, 15},
        {75, 90, 0, 75, 89.9, 90, 105},      {89.99, 90, 0, 75, 89.9, 90, 105},
        {90, 90, 1, 75, 89.9, 90, 105},      {105, 90, 1, 75, 89.9, 90, 105},
        {165, 180, 0, 165, 179.9, 180, 195}, {195, 180, 1, 165, 179.9, 180, 195},
        {255, 270, 0, 255, 269.9, 270, 285}, {285, 270, 1, 255, 269.9, 270, 285},
    };
    for (const ScaleRow& r : rows) {
        SCOPED_TRACE(testing::Message() << "heading " << r.heading);
        RecordingGauge gauge;
        CalGaugeDriver driver(gauge);
        // Start from a frame outside every window so that each row reconfigures the gauge.
        driver.UpdateCalGauge(50);
        EXPECT_TRUE(driver.UpdateCalGauge(r.heading));
        EXPECT_EQ(driver.lastCalTarget(), r.target);
        EXPECT_TRUE(gauge.shown);
        EXPECT_EQ(gauge.activeRange, r.activeRange);
        EXPECT_DOUBLE_EQ(gauge.needle, r.heading);
        EXPECT_DOUBLE_EQ(gauge.ranges[0].minimum, r.min0);
        EXPECT_DOUBLE_EQ(gauge.ranges[0].maximum, r.max0);
        EXPECT_DOUBLE_EQ(gauge.ranges[1].minimum, r.min1);
        EXPECT_DOUBLE_EQ(gauge.ranges[1].maximum, r.max1);
    }
}

TEST(CalGaugeDriver, HeadingsOutsideEveryWindowHideTheGauge) {
    for (const double heading : {15.01, 74.99, 105.01, 164.9, 195.1, 254.9, 285.1, 344.99, -0.1}) {
        SCOPED_TRACE(heading);
        RecordingGauge gauge;
        CalGaugeDriver driver(gauge);
        driver.UpdateCalGauge(10);
        EXPECT_FALSE(driver.UpdateCalGauge(heading));
        EXPECT_FALSE(gauge.shown);
        EXPECT_EQ(driver.lastCalTarget(), CalGaugeDriver::kNoTarget);
    }
}

TEST(CalGaugeDriver, StartsOnTheNorthScaleAndReportsOnlyTheFrameThatShowsIt) {
    RecordingGauge gauge;
    CalGaugeDriver driver(gauge);
    EXPECT_DOUBLE_EQ(gauge.ranges[0].minimum, 345);
    EXPECT_DOUBLE_EQ(gauge.ranges[1].maximum, 15);
    EXPECT_FALSE(gauge.shown);
    const int writesAfterStart = gauge.rangeWrites;

    // Target 0 equals the starting lastCalTarget: shown without rescaling.
    EXPECT_TRUE(driver.UpdateCalGauge(3));
    EXPECT_EQ(gauge.rangeWrites, writesAfterStart);
    EXPECT_FALSE(driver.UpdateCalGauge(4));  // already visible
    EXPECT_FALSE(driver.UpdateCalGauge(40));
    EXPECT_TRUE(driver.UpdateCalGauge(100));  // visible again in another window
    EXPECT_EQ(gauge.activeRange, 1);
    const int writesAt90 = gauge.rangeWrites;
    EXPECT_FALSE(driver.UpdateCalGauge(80));
    EXPECT_EQ(gauge.rangeWrites, writesAt90);  // same target: scale left alone
    EXPECT_EQ(gauge.activeRange, 0);
}

}  // namespace
}  // namespace tarquel
