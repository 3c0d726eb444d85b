#include "heading/HeadingCalculator.h"
#include "heading/HeadingMath.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>
#include <cmath>

namespace tarquel {
namespace {

TEST(HeadingMath, ArcTangentsFollowTheSignRulesAndTheEightDecimalPi) {
    const double q = std::atan(1.0);
    const double pi = 3.14159265;
    // {a, b, half, full}. Half keeps the sign of a; with b < 0 full is the plain arctangent, with
    // b > 0 it is moved by pi towards zero (t = 0 counting as t >= 0).
    const double rows[][4] = {
        {1, -1, q, -q}, {-1, -1, -q, q}, {1, 1, q, q - pi}, {-1, 1, -q, -q + pi}, {0, 1, 0, -pi}};
    for (const auto& r : rows) {
        EXPECT_DOUBLE_EQ(fArcTanHalf(r[0], r[1]), r[2]) << r[0] << "," << r[1];
        EXPECT_DOUBLE_EQ(fArcTanFull(r[0], r[1]), r[3]) << r[0] << "," << r[1];
    }
    EXPECT_THROW(fArcTanHalf(1, 0), DivisionByZeroError);
    EXPECT_THROW(fArcTanFull(0, 0), DivisionByZeroError);
    EXPECT_THROW(fArcTanFull(1e300, 1e-300), OverflowError);
}

class HeadingCalculatorTest : public testing::Test {
protected:
    // A pendulum frame: unit heading, X, Y, Z, X and Y inclination in degrees.
    std::vector<double> pendulum(double x, double y, double z, double incX, double incY) {
        std::vector<double> v{123.4, x, y, z, incX, incY};
        result = calc.CalculateHeading(v, CalMode::Pendulum);
        return v;
    }

    ScriptedMessageBoxes boxes;
    HeadingCalculator calc{boxes};
    HeadingResult result;
};

TEST_F(HeadingCalculatorTest, SmoothingPassesTheFirstFrameThenMovesOneThirtySecondTheShortWay) {
    // {previous, next, smoothed}: across 0/360 the short way, folded back into 0..360; a new value
    // of 90 / 270 or a previous one of 270 / 90 takes the plain rule.
    const double rows[][3] = {{100, 132, 101},     {200, 168, 199},    {350, 10, 350.625},
                              {5, 355, 4.6875},    {359, 80, 1.53125}, {1, 280, 358.46875},
                              {300, 90, 293.4375}, {10, 270, 18.125},  {270, 10, 261.875},
                              {90, 300, 96.5625}};
    for (const auto& r : rows) {
        calc.restartSmoothing();
        std::vector<double> v{r[0]};
        calc.FilterChannels(v, 32);
        EXPECT_EQ(v[0], r[0]) << "the first frame after a restart passes unchanged";
        v = {r[1]};
        calc.FilterChannels(v, 32);
        EXPECT_DOUBLE_EQ(v[0], r[2]) << r[0] << " -> " << r[1];
    }
}

TEST_F(HeadingCalculatorTest, PendulumHeadingQuadrantsAndTiltFlags) {
    // {X, Y, X and Y inclination, heading, tilt}; tilt 1: 10 degrees or more, 2: 45 or more.
    // |Hx| below 0.0005 is taken for 0.
    const double rows[][6] = {
        {100, -100, 0, 0, 45, 0},   {100, 100, 0, 0, 315, 0},    {100, 0, 0, 0, 360, 0},
        {-100, -100, 0, 0, 135, 0}, {-100, 100, 0, 0, 225, 0},   {0, 0, 0, 0, 90, 0},
        {0.0004, -50, 0, 0, 90, 0}, {-0.0004, 50, 0, 0, 270, 0}, {0.0005, 50, 0, 0, 270.000573, 0},
        {100, 0, 10, 0, 360, 1},    {100, 0, 0, -10, 360, 1},    {100, 0, 9.99, -9.99, 360, 0},
        {100, 0, 45, 0, 360, 2},    {100, 0, 0, -45, 360, 2},    {100, 0, 44.99, 44.99, 360, 1}};
    for (const auto& r : rows) {
        const std::vector<double> v = pendulum(r[0], r[1], 0, r[2], r[3]);
        ASSERT_EQ(v.size(), 7u);
        EXPECT_NEAR(v[Slot::CalcHeading], r[4], 1e-6) << r[0] << "," << r[1];
        EXPECT_EQ(result.over10, r[5] >= 1) << r[2] << "," << r[3];
        EXPECT_EQ(result.over45, r[5] == 2) << r[2] << "," << r[3];
    }
    EXPECT_THROW(pendulum(0.001, 1e308, 0, 0, 0), OverflowError);  // -Hy / Hx beyond a double
}

TEST_F(HeadingCalculatorTest, TiltCompensation) {
    // Rolled 30 and pitched 60 degrees: Hx = X cos ry + Y sin rx sin ry + Z cos rx sin ry,
    // Hy = Y cos rx - Z sin rx, V = Z cos rx cos ry + Y sin rx - X sin ry (no cos ry in its Y
    // term).
    std::vector<double> v = pendulum(100, 100, 50, 30, 60);
    EXPECT_NEAR(v[Slot::Hx], 130.8013, 1e-4);
    EXPECT_NEAR(v[Slot::Hy], 61.6025, 1e-4);
    EXPECT_NEAR(v[Slot::V], -14.9519, 1e-4);
    EXPECT_EQ(v[Slot::XInclination], 30);
    EXPECT_EQ(v[Slot::YInclination], 60);
    EXPECT_EQ(v[Slot::UnitHeading], 123.4);

    // Accelerometers rolled 30 degrees (the first inclination passes unsmoothed): Hy = Y cos30.
    v = {10, 0, 500, -1000 * std::cos(3.14159265 / 6), 100, -100, 0};
    result = calc.CalculateHeading(v, CalMode::Accelerometer);
    EXPECT_NEAR(v[Slot::XInclination], -30, 1e-5);
    EXPECT_NEAR(v[Slot::YInclination], 0, 1e-9);
    EXPECT_NEAR(v[Slot::CalcHeading], 40.8934, 1e-4);  // atan(86.6025 / 100)
    EXPECT_TRUE(result.over10);
    EXPECT_FALSE(result.over45) << "the 45 degree limit is a pendulum mode matter";
}

TEST_F(HeadingCalculatorTest, MissingAccelerometersWarnOnceUntilTheSmoothingRestarts) {
    const std::vector<double> raw{10, 1, 2, 0, 4, 5, 6};
    std::vector<double> v = raw;
    result = calc.CalculateHeading(v, CalMode::Accelerometer);
    EXPECT_EQ(v, raw);  // the frame is not computed
    EXPECT_TRUE(result.noAccelerometers);
    EXPECT_TRUE(result.selectPendulum);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("No accelerometers detected!"));
    EXPECT_EQ(boxes.shown()[0].prompt,
              QStringLiteral("The Z accelerometer channel output is 0.  This indicates that this "
                             "unit does not have\r\naccelerometers.  Pendulum calibration mode "
                             "will now be used."));
    EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Critical);

    // The mode command failed: no second box and no second switch.
    EXPECT_FALSE(calc.CalculateHeading(v, CalMode::Accelerometer).selectPendulum);
    EXPECT_EQ(boxes.shown().size(), 1u);

    calc.restartSmoothing();  // what a successful mode command does
    EXPECT_TRUE(calc.CalculateHeading(v, CalMode::Accelerometer).selectPendulum);
    EXPECT_EQ(boxes.shown().size(), 2u);
}

}  // namespace
}  // namespace tarquel
