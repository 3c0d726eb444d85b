#include "FakeCalModeCommands.h"
#include "calibration/HeadingCalculator.h"
#include "calibration/HeadingMath.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>
#include <cmath>

namespace tarquel {
namespace {

using test::FakeCalModeCommands;

TEST(HeadingMath, ArcTangentsFollowTheSignRulesAndTheEightDecimalPi) {
    const double q = std::atan(1.0);
    struct Row {
        double a, b, half, full;
    };
    const Row rows[] = {
        {1, -1, q, -q},                // b < 0: full is the plain arctangent
        {-1, -1, -q, q},               // half keeps the sign of a
        {1, 1, q, q - 3.14159265},     // b > 0, t >= 0: moved down by pi
        {-1, 1, -q, -q + 3.14159265},  // b > 0, t < 0: moved up by pi
        {0, 1, 0, -3.14159265},        // t = 0 counts as t >= 0
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "a=" << r.a << " b=" << r.b);
        EXPECT_DOUBLE_EQ(fArcTanHalf(r.a, r.b), r.half);
        EXPECT_DOUBLE_EQ(fArcTanFull(r.a, r.b), r.full);
    }
    EXPECT_THROW(fArcTanHalf(1, 0), DivisionByZeroError);
    EXPECT_THROW(fArcTanFull(0, 0), DivisionByZeroError);
    EXPECT_THROW(fArcTanFull(1e300, 1e-300), OverflowError);
}

class HeadingCalculatorTest : public testing::Test {
protected:
    SharedState state;
    ScriptedMessageBoxes boxes;
    FakeCalModeCommands modes;
    HeadingCalculator calc{state, boxes, modes};

    // A pendulum frame after smoothing: unit heading, X, Y, Z, X and Y inclination (degrees).
    std::vector<double> pendulum(double x, double y, double z = 0, double incX = 0,
                                 double incY = 0) {
        state.calMode = CalMode::Pendulum;
        std::vector<double> v{123.4, x, y, z, incX, incY};
        calc.CalculateHeading(v);
        return v;
    }
};

TEST_F(HeadingCalculatorTest, FilterChannelsPassesTheFirstFrameAndThenMovesOneNth) {
    std::vector<double> first{100, 200, -40};
    calc.FilterChannels(first, 32);
    EXPECT_EQ(first, (std::vector<double>{100, 200, -40}));
    EXPECT_TRUE(state.channelFilterPrimed);

    std::vector<double> second{132, 168, -8};
    calc.FilterChannels(second, 32);
    EXPECT_EQ(second, (std::vector<double>{101, 199, -39}));
    EXPECT_EQ(calc.channelFilterState(), second);

    // A mode change clears the flag: the next frame passes unsmoothed again.
    state.channelFilterPrimed = false;
    std::vector<double> third{5, 6, 7};
    calc.FilterChannels(third, 32);
    EXPECT_EQ(third, (std::vector<double>{5, 6, 7}));
}

TEST_F(HeadingCalculatorTest, FilterChannelsWrapsEveryChannelAcrossZeroAndThreeSixty) {
    struct Row {
        double previous, next, expected;
    };
    const Row rows[] = {
        {350, 10, 350.625},   // up across 360
        {5, 355, 4.6875},     // down across 0
        {300, 50, 303.4375},  // a magnetometer count is wrapped alike
        {359, 80, 1.53125},   // result beyond 360 folds back
        {1, 280, 358.46875},  // result below 0 folds back
        {300, 90, 293.4375},  // x = 90 is not below 90: plain rule
        {10, 270, 18.125},    // x = 270 is not above 270: plain rule
        {270, 10, 261.875},   // p = 270 is not above 270
        {90, 300, 96.5625},   // p = 90 is not below 90
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.previous << " -> " << r.next);
        state.channelFilterPrimed = false;
        std::vector<double> prime{0, r.previous};
        calc.FilterChannels(prime, 32);
        std::vector<double> v{0, r.next};
        calc.FilterChannels(v, 32);
        EXPECT_DOUBLE_EQ(v[1], r.expected);
    }
}

TEST_F(HeadingCalculatorTest, FilterInclinometersPrimesThenSmooths) {
    double x = 0.32;
    double y = -0.64;
    calc.FilterInclinometers(x, y, 32);
    EXPECT_DOUBLE_EQ(x, 0.32);
    EXPECT_DOUBLE_EQ(y, -0.64);
    x = 0.64;
    y = 0;
    calc.FilterInclinometers(x, y, 32);
    EXPECT_DOUBLE_EQ(x, 0.33);
    EXPECT_DOUBLE_EQ(y, -0.62);
    EXPECT_DOUBLE_EQ(calc.inclFilterX(), 0.33);
}

TEST_F(HeadingCalculatorTest, HeadingQuadrantsOfALevelPendulumUnit) {
    struct Row {
        double x, y, heading;
    };
    const Row rows[] = {
        {100, -100, 45},   {100, 100, 315},
        {-100, 0, 180},    {100, 0, 360},
        {-100, -100, 135}, {-100, 100, 225},
        {0.0004, -50, 90}, {-0.0004, 50, 270},
        {0, 0, 90},        {0.0005, 50, 360 - std::atan(50 / 0.0005) * 180 / 3.14159265},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "X=" << r.x << " Y=" << r.y);
        const std::vector<double> v = pendulum(r.x, r.y);
        ASSERT_EQ(v.size(), 7u);
        EXPECT_NEAR(v[Slot::CalcHeading], r.heading, 1e-6);
        EXPECT_DOUBLE_EQ(v[Slot::Hx], r.x);
        EXPECT_DOUBLE_EQ(v[Slot::Hy], r.y);
        EXPECT_DOUBLE_EQ(v[Slot::UnitHeading], 123.4);
    }
}

TEST_F(HeadingCalculatorTest, TiltCompensationRotatesIntoTheHorizontalPlane) {
    // Pitched 30 degrees about Y: Hx = X cos30 + Z sin30, V = Z cos30 - X sin30.
    std::vector<double> v = pendulum(100, 0, 50, 0, 30);
    EXPECT_NEAR(v[Slot::Hx], 111.6025, 1e-4);
    EXPECT_NEAR(v[Slot::Hy], 0, 1e-9);
    EXPECT_NEAR(v[Slot::V], -6.6987, 1e-4);
    EXPECT_DOUBLE_EQ(v[Slot::YInclination], 30);

    // Rolled 30 degrees about X: Hy = Y cos30 - Z sin30; Hx stays 0, so the heading is 270.
    v = pendulum(0, 100, 50, 30, 0);
    EXPECT_NEAR(v[Slot::Hy], 61.6025, 1e-4);
    EXPECT_DOUBLE_EQ(v[Slot::CalcHeading], 270);

    // The Y term of V carries no cos(ry) factor: 100 sin30, not 100 sin30 cos60.
    v = pendulum(0, 100, 0, 30, 60);
    EXPECT_NEAR(v[Slot::V], 50, 1e-6);
}

TEST_F(HeadingCalculatorTest, AccelerometerInclinationsComeFromTheGravityVector) {
    state.calMode = CalMode::Accelerometer;
    // Level: gravity along -Z only.
    std::vector<double> v{10, 0, 0, -1000, 100, -100, 40};
    calc.CalculateHeading(v);
    EXPECT_NEAR(v[Slot::XInclination], 0, 1e-9);
    EXPECT_NEAR(v[Slot::YInclination], 0, 1e-9);
    EXPECT_NEAR(v[Slot::CalcHeading], 45, 1e-6);
    EXPECT_DOUBLE_EQ(v[Slot::UnitHeading], 10);

    // Rolled 30 degrees (fresh inclination filter so the first value passes unsmoothed).
    state.inclFilterPrimed = false;
    v = {10, 0, 500, -1000 * std::cos(3.14159265 / 6), 100, 0, 0};
    calc.CalculateHeading(v);
    EXPECT_NEAR(v[Slot::XInclination], -30, 1e-5);
    EXPECT_NEAR(v[Slot::YInclination], 0, 1e-9);
    EXPECT_TRUE(state.messages.info(InfoFlag::TiltOver10));
}

TEST_F(HeadingCalculatorTest, TiltFlagBounds) {
    struct Row {
        int calMode;
        double incX, incY;
        bool over10, over45;
    };
    const Row rows[] = {
        {CalMode::Pendulum, 10, 0, true, false},
        {CalMode::Pendulum, 0, -10, true, false},
        {CalMode::Pendulum, 9.99, -9.99, false, false},
        {CalMode::Pendulum, 45, 0, true, true},
        {CalMode::Pendulum, 0, -45, true, true},
        {CalMode::Pendulum, 44.99, 44.99, true, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.incX << ", " << r.incY);
        // Start from the opposite state so that both setting and clearing are seen.
        state.messages.infoMessageFlags = static_cast<quint16>(
            (r.over10 ? 0 : InfoFlag::TiltOver10) | (r.over45 ? 0 : InfoFlag::TiltOver45));
        pendulum(100, 0, 0, r.incX, r.incY);
        EXPECT_EQ(state.messages.info(InfoFlag::TiltOver10), r.over10);
        EXPECT_EQ(state.messages.info(InfoFlag::TiltOver45), r.over45);
    }
}

TEST_F(HeadingCalculatorTest, AccelerometerModeLeavesThePendulumFlagAlone) {
    state.calMode = CalMode::Accelerometer;
    state.messages.SetInfoMessage(InfoFlag::TiltOver45);
    std::vector<double> level{0, 0, 0, -1000, 100, 0, 0};
    calc.CalculateHeading(level);
    EXPECT_TRUE(state.messages.info(InfoFlag::TiltOver45));
    EXPECT_FALSE(state.messages.info(InfoFlag::TiltOver10));
}

TEST_F(HeadingCalculatorTest, MissingAccelerometersWarnOnceAndSelectPendulumMode) {
    state.calMode = CalMode::Accelerometer;
    const std::vector<double> raw{10, 1, 2, 0, 4, 5, 6};
    std::vector<double> v = raw;
    calc.CalculateHeading(v);

    EXPECT_EQ(v, raw);  // the frame is not computed
    ASSERT_EQ(boxes.shown().size(), 1u);
    const MsgBox& box = boxes.shown()[0];
    EXPECT_EQ(box.title, QStringLiteral("No accelerometers detected!"));
    EXPECT_EQ(box.prompt, QStringLiteral("The Z accelerometer channel output is 0.  This indicates "
                                         "that this unit does not have\r\naccelerometers.  "
                                         "Pendulum calibration mode will now be used."));
    EXPECT_EQ(box.icon, MsgIcon::Critical);
    EXPECT_EQ(box.buttons, MsgButtons::OK);
    EXPECT_EQ(modes.pendClicks, 1);
    EXPECT_TRUE(state.noAccelWarned);

    // While the flag stays set (the mode command failed) later frames return silently.
    calc.CalculateHeading(v);
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(modes.pendClicks, 1);

    // A successful mode command re-arms the message.
    modes.onPend = [&] { state.noAccelWarned = false; };
    state.noAccelWarned = false;
    calc.CalculateHeading(v);
    EXPECT_EQ(boxes.shown().size(), 2u);
    EXPECT_FALSE(state.noAccelWarned);
}

TEST_F(HeadingCalculatorTest, ArithmeticFailuresThrow) {
    // -Hy / Hx beyond the range of a double.
    EXPECT_THROW(pendulum(0.001, 1e308), OverflowError);
}

}  // namespace
}  // namespace tarquel
