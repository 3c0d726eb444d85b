#include "heading/CalGaugeDriver.h"
#include "support/RecordingViews.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

TEST(CalGaugeDriver, TargetsRangesActiveRangeAndTheFrameThatShowsTheGauge) {
    test::RecordingViews gauge;
    CalGaugeDriver driver(gauge);
    // The gauge starts on the north scale: a north heading needs no rescale.
    const int writesAtStart = gauge.rangeWrites;
    EXPECT_TRUE(driver.UpdateCalGauge(3));
    EXPECT_EQ(gauge.rangeWrites, writesAtStart);
    EXPECT_EQ(gauge.ranges[0], std::make_pair(345.0, 359.9));
    EXPECT_EQ(gauge.ranges[1], std::make_pair(0.0, 15.0));

    // {heading, target, active range, range 0 from and to, range 1 from and to}
    const double rows[][7] = {
        {0, 0, 1, 345, 359.9, 0, 15},        {15, 0, 1, 345, 359.9, 0, 15},
        {345, 360, 0, 345, 359.9, 0, 15},    {360, 360, 0, 345, 359.9, 0, 15},
        {75, 90, 0, 75, 89.9, 90, 105},      {89.99, 90, 0, 75, 89.9, 90, 105},
        {90, 90, 1, 75, 89.9, 90, 105},      {105, 90, 1, 75, 89.9, 90, 105},
        {165, 180, 0, 165, 179.9, 180, 195}, {195, 180, 1, 165, 179.9, 180, 195},
        {255, 270, 0, 255, 269.9, 270, 285}, {285, 270, 1, 255, 269.9, 270, 285}};
    for (const auto& r : rows) {
        driver.UpdateCalGauge(50);  // outside every window first, so each row rescales
        EXPECT_TRUE(driver.UpdateCalGauge(r[0])) << r[0];
        EXPECT_EQ(driver.lastCalTarget(), r[1]) << r[0];
        EXPECT_EQ(gauge.activeRange, r[2]) << r[0];
        EXPECT_EQ(gauge.needle, r[0]);
        EXPECT_EQ(gauge.ranges[0], std::make_pair(r[3], r[4])) << r[0];
        EXPECT_EQ(gauge.ranges[1], std::make_pair(r[5], r[6])) << r[0];
        // A further frame in the same window: already shown, the scale left alone.
        const int writes = gauge.rangeWrites;
        EXPECT_FALSE(driver.UpdateCalGauge(r[0])) << r[0];
        EXPECT_EQ(gauge.rangeWrites, writes) << r[0];
    }
    for (const double heading : {15.01, 74.99, 105.01, 164.9, 195.1, 254.9, 285.1, 344.99, -0.1}) {
        driver.UpdateCalGauge(10);  // shown first, so each heading hides it
        EXPECT_FALSE(driver.UpdateCalGauge(heading));
        EXPECT_FALSE(gauge.gaugeShown) << heading;
        EXPECT_EQ(driver.lastCalTarget(), CalGaugeDriver::kNoTarget);
    }
}

}  // namespace
}  // namespace tarquel
