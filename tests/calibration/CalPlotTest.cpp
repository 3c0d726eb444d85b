// The calibration plot's model and geometry.
#include "calibration/CalPlot.h"

#include <gtest/gtest.h>
#include <tuple>

namespace tarquel {
namespace {

std::vector<double> frame(double hx, double hy) {
    return {hx, hy, 400, 0, 0, 0, 0};
}

TEST(CalPlot, TheModelKeepsARunningTestsRecentFramesAndTheGeometryFitsThemOnOneScale) {
    CalPlotModel model;
    model.frameShown(frame(1, 2));
    EXPECT_TRUE(model.trail().empty()) << "no test running";
    model.testRunning(true);
    model.frameShown(frame(300, -10));
    model.frameShown(frame(-200, 40));
    CalibrationResult r;  // centre (50, -10)
    std::tie(r.xBias, r.yBias, r.xRange, r.yRange) = std::tuple(-50, 10, 250, 250);
    model.solved(r);
    ASSERT_TRUE(model.fit().has_value());
    EXPECT_EQ(model.fit()->centre, QPointF(50, -10));

    const CalPlotGeometry g = CalPlotGeometry::fit(QRectF(0, 0, 400, 200), model);
    // The ellipse reaches 50 + 250 = 300 on X; 300 * 1.12 with ticks of 100.
    EXPECT_EQ(g.tickStep, 100);
    EXPECT_EQ(g.extent, 400);
    EXPECT_DOUBLE_EQ(g.pixelsPerUnit, 200.0 / 800);
    EXPECT_EQ(g.toPixels({0, 0}), QPointF(200, 100));
    EXPECT_EQ(g.toPixels({400, 400}), QPointF(300, 0));  // Hy up
    EXPECT_EQ(g.ellipse(*model.fit()),
              QRectF(200 + 50 * 0.25 - 62.5, 100 + 10 * 0.25 - 62.5, 125, 125));
    EXPECT_EQ(g.ticks(), (std::vector<double>{-400, -300, -200, -100, 0, 100, 200, 300, 400}));
    // An empty plot still has a scale.
    const CalPlotGeometry empty = CalPlotGeometry::fit(QRectF(0, 0, 100, 100), CalPlotModel{});
    EXPECT_GT(empty.extent, 0);
    EXPECT_GT(empty.pixelsPerUnit, 0);

    for (int i = 0; i < CalPlotModel::kTrailLength + 5; ++i) {
        model.frameShown(frame(i, -i));
    }
    const std::vector<QPointF> trail = model.trail();
    ASSERT_EQ(trail.size(), static_cast<std::size_t>(CalPlotModel::kTrailLength));
    EXPECT_EQ(trail.front(), QPointF(5, -5));
    EXPECT_EQ(trail.back(),
              QPointF(CalPlotModel::kTrailLength + 4, -(CalPlotModel::kTrailLength + 4)));

    const quint64 before = model.revision();
    model.pointStored(CalSlot::North, {.Hx = 300, .Hy = -10});
    EXPECT_GT(model.revision(), before);
    EXPECT_EQ(model.points()[CalSlot::North], QPointF(300, -10));
    model.pointsCleared();
    EXPECT_FALSE(model.fit().has_value());
    EXPECT_FALSE(model.points()[CalSlot::North].has_value());
    // A new test starts with an empty trail.
    model.testRunning(false);
    model.testRunning(true);
    EXPECT_TRUE(model.trail().empty());
}

TEST(CalPlotGeometry, NiceStepsAreOneTwoOrFiveTimesAPowerOfTen) {
    for (const auto& [raw, step] :
         {std::pair{0.7, 1.0}, std::pair{1.0, 1.0}, std::pair{1.01, 2.0}, std::pair{3.0, 5.0},
          std::pair{70.0, 100.0}, std::pair{0.03, 0.05}, std::pair{0.0, 1.0}}) {
        EXPECT_DOUBLE_EQ(CalPlotGeometry::niceStep(raw), step) << raw;
    }
}

}  // namespace
}  // namespace tarquel
