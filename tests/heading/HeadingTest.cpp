#include "heading/HeadingCalculator.h"
#include "heading/HeadingMath.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>
#include <cmath>

namespace tarquel {
namespace {

TEST(HeadingMath, ArcTangentsFollowTheSignRulesAndTheEightDecimalPi) {
    const double q = std::atan(1.0);
    struct Row {
        double a, b, half, full;
    };
    // clang-format off
    const Row rows[] = {
        {1, -1, q, -q},                 // b < 0: full is the plain arctangent
        {-1, -1, -q, q},                // half keeps the sign of a
        {1, 1, q, q - 3.14159265},      // b > 0, t >= 0: moved down by pi
        {-1, 1, -q, -q + 3.14159265},   // b > 0, t < 0: moved up by pi
        {0, 1, 0, -3.14159265},         // t = 0 counts as t >= 0
    };
    // clang-format on
    for (const Row& r : rows) {
        EXPECT_DOUBLE_EQ(fArcTanHalf(r.a, r.b), r.half) << r.a << "," << r.b;
        EXPECT_DOUBLE_EQ(fArcTanFull(r.a, r.b), r.full) << r.a << "," << r.b;
    }
    EXPECT_THROW(fArcTanHalf(1, 0), DivisionByZeroError);
    EXPECT_THROW(fArcTanFull(0, 0), DivisionByZeroError);
    EXPECT_THROW(fArcTanFull(1e300, 1e-300), OverflowError);
}

class HeadingCalculatorTest : public testing::Test {
protected:
    // A pendulum frame: unit heading, X, Y, Z, X and Y inclination in degrees.
    std::vector<double> pendulum(double x, double y, double z = 0, double incX = 0,
                                 double incY = 0) {
        std::vector<double> v{123.4, x, y, z, incX, incY};
        result = calc.CalculateHeading(v, CalMode::Pendulum);
        return v;
    }

    ScriptedMessageBoxes boxes;
    HeadingCalculator calc{boxes};
    HeadingResult result;
};

TEST_F(HeadingCalculatorTest, SmoothingPassesTheFirstFrameThenMovesOneThirtySecondTheShortWay) {
    struct Row {
        double previous, next, expected;
    };
    // clang-format off
    const Row rows[] = {
        {100, 132, 101},      {200, 168, 199},
        {350, 10, 350.625},   {5, 355, 4.6875},
        {300, 50, 303.4375},  // a magnetometer count wraps alike
        {359, 80, 1.53125},   {1, 280, 358.46875},   // results folded back into 0..360
        {300, 90, 293.4375},  {10, 270, 18.125},     // x = 90 / 270: plain rule
        {270, 10, 261.875},   {90, 300, 96.5625},    // p = 270 / 90: plain rule
    };
    // clang-format on
    for (const Row& r : rows) {
        calc.restartSmoothing();
        std::vector<double> v{r.previous};
        calc.FilterChannels(v, 32);
        EXPECT_EQ(v[0], r.previous) << "the first frame after a restart passes unchanged";
        v = {r.next};
        calc.FilterChannels(v, 32);
        EXPECT_DOUBLE_EQ(v[0], r.expected) << r.previous << " -> " << r.next;
    }
}

TEST_F(HeadingCalculatorTest, HeadingQuadrantsOfALevelUnit) {
    struct Row {
        double x, y, heading;
    };
    // clang-format off
    const Row rows[] = {
        {100, -100, 45}, {100, 100, 315}, {-100, 0, 180}, {100, 0, 360}, {-100, -100, 135},
        {-100, 100, 225}, {0.0004, -50, 90}, {-0.0004, 50, 270}, {0, 0, 90},
        {0.0005, 50, 270.000573}, // |Hx| = 0.0005 is not taken for 0
    };
    // clang-format on
    for (const Row& r : rows) {
        const std::vector<double> v = pendulum(r.x, r.y);
        ASSERT_EQ(v.size(), 7u);
        EXPECT_NEAR(v[Slot::CalcHeading], r.heading, 1e-6) << r.x << "," << r.y;
        EXPECT_EQ(v[Slot::Hx], r.x);
        EXPECT_EQ(v[Slot::Hy], r.y);
        EXPECT_EQ(v[Slot::UnitHeading], 123.4);
    }
    EXPECT_THROW(pendulum(0.001, 1e308), OverflowError);  // -Hy / Hx beyond a double
}

TEST_F(HeadingCalculatorTest, TiltCompensation) {
    // Pitched 30 degrees: Hx = X cos30 + Z sin30, V = Z cos30 - X sin30.
    std::vector<double> v = pendulum(100, 0, 50, 0, 30);
    EXPECT_NEAR(v[Slot::Hx], 111.6025, 1e-4);
    EXPECT_NEAR(v[Slot::V], -6.6987, 1e-4);
    EXPECT_EQ(v[Slot::YInclination], 30);
    // Rolled 30 degrees: Hy = Y cos30 - Z sin30.
    v = pendulum(0, 100, 50, 30, 0);
    EXPECT_NEAR(v[Slot::Hy], 61.6025, 1e-4);
    // The Y term of V carries no cos(ry) factor.
    v = pendulum(0, 100, 0, 30, 60);
    EXPECT_NEAR(v[Slot::V], 50, 1e-6);

    // Accelerometers: level, then rolled 30 degrees (the first inclination passes unsmoothed).
    v = {10, 0, 0, -1000, 100, -100, 40};
    calc.CalculateHeading(v, CalMode::Accelerometer);
    EXPECT_NEAR(v[Slot::XInclination], 0, 1e-9);
    EXPECT_NEAR(v[Slot::CalcHeading], 45, 1e-6);
    calc.restartSmoothing();
    v = {10, 0, 500, -1000 * std::cos(3.14159265 / 6), 100, 0, 0};
    result = calc.CalculateHeading(v, CalMode::Accelerometer);
    EXPECT_NEAR(v[Slot::XInclination], -30, 1e-5);
    EXPECT_NEAR(v[Slot::YInclination], 0, 1e-9);
    EXPECT_TRUE(result.over10);
    EXPECT_FALSE(result.over45) << "the 45 degree limit is a pendulum mode matter";
}

TEST_F(HeadingCalculatorTest, TiltFlagBounds) {
    struct Row {
        double incX, incY;
        bool over10, over45;
    };
    // clang-format off
    const Row rows[] = {{10, 0, true, false},  {0, -10, true, false}, {9.99, -9.99, false, false},
                        {45, 0, true, true},   {0, -45, true, true},  {44.99, 44.99, true, false}};
    // clang-format on
    for (const Row& r : rows) {
        pendulum(100, 0, 0, r.incX, r.incY);
        EXPECT_EQ(result.over10, r.over10) << r.incX << "," << r.incY;
        EXPECT_EQ(result.over45, r.over45) << r.incX << "," << r.incY;
    }
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
    result = calc.CalculateHeading(v, CalMode::Accelerometer);
    EXPECT_TRUE(result.noAccelerometers);
    EXPECT_FALSE(result.selectPendulum);
    EXPECT_EQ(boxes.shown().size(), 1u);

    calc.restartSmoothing();  // what a successful mode command does
    EXPECT_TRUE(calc.CalculateHeading(v, CalMode::Accelerometer).selectPendulum);
    EXPECT_EQ(boxes.shown().size(), 2u);
}

}  // namespace
}  // namespace tarquel
