// The heading computation and its smoothing, the cardinal-point gauge's driver and the
// calibration-mode commands against the simulated unit through the unit link.
#include "heading/CalGaugeDriver.h"
#include "heading/CalModeSelector.h"
#include "heading/HeadingCalculator.h"
#include "heading/HeadingMath.h"
#include "platform/Errors.h"
#include "support/RecordingViews.h"
#include "support/SimRig.h"

#include <array>
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
    EXPECT_THROW(fArcTanFull(1e300, 1e-300), OverflowError);
}

// The heading computation, and the mode commands against a quiet simulated unit.
class HeadingLogic : public test::SimRig {
protected:
    HeadingLogic() { makeUnit(quietUnit()); }
    // A pendulum frame: unit heading, X, Y, Z, X and Y inclination in degrees.
    std::vector<double> pendulum(double x, double y, double z, double incX, double incY) {
        std::vector<double> v{123.4, x, y, z, incX, incY};
        result = calc.CalculateHeading(v, CalMode::Pendulum);
        return v;
    }
    // Selects mode; true if that restarted the smoothing (the next frame passes unchanged).
    bool selectRestartsSmoothing(CalMode mode) {
        std::vector<double> v{100};
        calc.FilterChannels(v, 32);
        selector.selectCalMode(mode);
        v = {200};
        calc.FilterChannels(v, 32);
        return v[0] == 200;
    }

    HeadingCalculator calc{boxes};
    HeadingResult result;
    test::RecordingViews view;
    CalModeSelector selector{link, boxes, view, calc};
};

TEST_F(HeadingLogic, SmoothingPassesTheFirstFrameThenMovesOneThirtySecondTheShortWay) {
    // {previous, next, smoothed}: across 0/360 the short way, folded back into 0..360; a new value
    // of 90 / 270 or a previous one of 270 / 90 takes the plain rule.
    const double rows[][3] = {{350, 10, 350.625},  {5, 355, 4.6875},    {359, 80, 1.53125},
                              {1, 280, 358.46875}, {300, 90, 293.4375}, {10, 270, 18.125},
                              {270, 10, 261.875},  {90, 300, 96.5625}};
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

TEST_F(HeadingLogic, PendulumHeadingQuadrantsAndTiltFlags) {
    // {X, Y, X and Y inclination, heading, tilt}; tilt 1: 10 degrees or more, 2: 45 or more.
    // |Hx| below 0.0005 is taken for 0.
    const double rows[][6] = {
        {100, -100, 0, 0, 45, 0}, {100, 0, 0, 0, 360, 0},      {-100, 100, 0, 0, 225, 0},
        {0.0004, 0, 0, 0, 90, 0}, {-0.0004, 50, 0, 0, 270, 0}, {0.0005, 50, 0, 0, 270.000573, 0},
        {100, 0, 10, 0, 360, 1},  {100, 0, 0, -10, 360, 1},    {100, 0, 9.99, -9.99, 360, 0},
        {100, 0, 45, 0, 360, 2},  {100, 0, 0, -45, 360, 2},    {100, 0, 44.99, 44.99, 360, 1}};
    for (const auto& r : rows) {
        const std::vector<double> v = pendulum(r[0], r[1], 0, r[2], r[3]);
        ASSERT_EQ(v.size(), 7u);
        EXPECT_NEAR(v[Slot::CalcHeading], r[4], 1e-6) << r[0] << "," << r[1];
        EXPECT_EQ(result.over10, r[5] >= 1) << r[2] << "," << r[3];
        EXPECT_EQ(result.over45, r[5] == 2) << r[2] << "," << r[3];
    }
    EXPECT_THROW(pendulum(0.001, 1e308, 0, 0, 0), OverflowError);  // -Hy / Hx beyond a double
}

TEST_F(HeadingLogic, TiltCompensation) {
    // Rolled 30, pitched 60: Hx = X cos ry + Y sin rx sin ry + Z cos rx sin ry, Hy = Y cos rx -
    // Z sin rx, V = Z cos rx cos ry + Y sin rx - X sin ry (no cos ry in its Y term).
    std::vector<double> v = pendulum(100, 100, 50, 30, 60);
    EXPECT_NEAR(v[Slot::Hx], 130.8013, 1e-4);
    EXPECT_NEAR(v[Slot::Hy], 61.6025, 1e-4);
    EXPECT_NEAR(v[Slot::V], -14.9519, 1e-4);
    EXPECT_EQ(v[Slot::XInclination], 30);
    EXPECT_EQ(v[Slot::YInclination], 60);
    EXPECT_EQ(v[Slot::UnitHeading], 123.4);

    // Accelerometers rolled 60 degrees (the first inclination passes unsmoothed): Hy = Y cos60.
    v = {10, 0, 1000 * std::sin(3.14159265 / 3), -500, 100, -100, 0};
    result = calc.CalculateHeading(v, CalMode::Accelerometer);
    EXPECT_NEAR(v[Slot::XInclination], -60, 1e-5);
    EXPECT_NEAR(v[Slot::YInclination], 0, 1e-9);
    EXPECT_NEAR(v[Slot::CalcHeading], 26.5651, 1e-4);  // atan(50 / 100)
    EXPECT_TRUE(result.over10);
    EXPECT_FALSE(result.over45) << "the 45 degree limit is a pendulum mode matter";
}

TEST_F(HeadingLogic, MissingAccelerometersWarnOnceUntilTheSmoothingRestarts) {
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

TEST(CalGaugeDriver, TargetsRangesActiveRangeAndTheFrameThatShowsTheGauge) {
    test::RecordingViews gauge;
    CalGaugeDriver driver(gauge);
    // The gauge starts on the north scale: a north heading needs no rescale.
    EXPECT_TRUE(driver.UpdateCalGauge(3));
    EXPECT_EQ(gauge.rangeWrites, 2);
    EXPECT_EQ(gauge.ranges, (std::array{std::pair(345.0, 359.9), std::pair(0.0, 15.0)}));

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
        EXPECT_EQ(gauge.ranges, (std::array{std::pair(r[3], r[4]), std::pair(r[5], r[6])})) << r[0];
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

TEST_F(HeadingLogic, AModeCommandRecordsTheUnitsChannelsSelectsTheCalibrationSetOrSaysItFailed) {
    const auto expectFailure = [this](CalMode mode, const char* title, const char* line1) {
        boxes.clear();
        system.clearWrites();
        EXPECT_FALSE(selectRestartsSmoothing(mode));
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].title, QLatin1String(title));
        EXPECT_EQ(boxes.shown()[0].prompt,
                  QLatin1String(line1) +
                      QStringLiteral("\r\nPlease check the connections and try again."));
        EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Critical);
        EXPECT_EQ(selector.calMode(), CalMode::Accelerometer);
        EXPECT_EQ(view.calModeCaption, QStringLiteral("Accel"));
        EXPECT_FALSE(commandText().contains('>')) << "no selection sent";
    };
    // Pend with no unit: nothing changes. Then Accel from Pend with a selection that cannot be
    // read: marked Accel all the same.
    unit->setFault(unitsim::Fault::NoReadAnswer);
    expectFailure(CalMode::Pendulum, "Error Setting Pend Mode!",
                  "Error setting the unit to Pendulum Mode.");
    makeUnit(quietUnit());
    line.silentReads = {0x0004};
    selector.assumeCalMode(CalMode::Pendulum);
    view.calModeCaption = QStringLiteral("Pend");
    expectFailure(CalMode::Accelerometer, "Error Setting Accel Mode!",
                  "Error setting the unit to Accelerometer Mode.");

    line.silentReads.clear();
    boxes.clear();
    EXPECT_TRUE(selectRestartsSmoothing(CalMode::Pendulum));
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(selector.calMode(), CalMode::Pendulum);
    EXPECT_EQ(view.calModeCaption, QStringLiteral("Pend"));
    EXPECT_EQ(view.calModeChecks, std::make_pair(false, true));
    EXPECT_EQ(link.recordedChannels(), QStringLiteral("3C07000000"));
    EXPECT_EQ(unit->channels(), QStringLiteral("2007C00000"));

    // Choosing the mode in force again still sends the command.
    selector.selectCalMode(CalMode::Accelerometer);
    system.clearWrites();
    EXPECT_TRUE(selectRestartsSmoothing(CalMode::Accelerometer));
    EXPECT_EQ(system.bytesWritten(1), QByteArray(">3C07000000"));
    EXPECT_EQ(view.calModeChecks, std::make_pair(true, false));
}

}  // namespace
}  // namespace tarquel
