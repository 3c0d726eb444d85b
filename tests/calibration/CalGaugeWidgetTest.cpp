#include "calibration/CalGaugeWidget.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

TEST(GaugeFace, NeedleFractionClampedToTheRange) {
    const GaugeFace face = gaugeFace(90, 105, 95);
    EXPECT_DOUBLE_EQ(face.needleFraction, 1.0 / 3.0);
    EXPECT_FALSE(face.clamped);
    EXPECT_EQ(face.minimumText, "90");
    EXPECT_EQ(gaugeFace(345, 359.9, 350).maximumText, "359.9");
    EXPECT_FALSE(gaugeFace(90, 105, 105).clamped);

    const GaugeFace below = gaugeFace(90, 105, 89.99);
    EXPECT_TRUE(below.clamped);
    EXPECT_DOUBLE_EQ(below.needleFraction, 0.0);
    const GaugeFace above = gaugeFace(345, 359.9, 359.95);
    EXPECT_TRUE(above.clamped);
    EXPECT_DOUBLE_EQ(above.needleFraction, 1.0);
    EXPECT_DOUBLE_EQ(gaugeFace(10, 10, 10).needleFraction, 0.0);  // no division by zero
}

TEST(CalGaugeWidget, ShowsTheActiveRangeAsTheHeadingLogicSetsItUp) {
    CalGaugeWidget gauge;
    // Set up for the 0/360 target to begin with.
    EXPECT_EQ(gauge.face().minimum, 345);
    EXPECT_EQ(gauge.face().maximum, 359.9);

    // Heading 95 near the 90 target.
    gauge.setRange(1, 90, 105);
    gauge.setRange(0, 75, 89.9);
    gauge.setActiveRange(1);
    gauge.setValue(95);
    GaugeFace face = gauge.face();
    EXPECT_EQ(face.minimum, 90);
    EXPECT_EQ(face.maximum, 105);
    EXPECT_DOUBLE_EQ(face.needleFraction, 1.0 / 3.0);

    // The other half of the window, with the needle still on 95: pinned at the top end.
    gauge.setActiveRange(0);
    face = gauge.face();
    EXPECT_EQ(face.minimum, 75);
    EXPECT_EQ(face.maximum, 89.9);
    EXPECT_TRUE(face.clamped);
    EXPECT_DOUBLE_EQ(face.needleFraction, 1.0);

    // Changing the range that is not active leaves the face alone; unknown ranges are ignored.
    gauge.setRange(1, 180, 195);
    gauge.setRange(2, 0, 1);
    gauge.setActiveRange(2);
    EXPECT_EQ(gauge.activeRange(), 0);
    EXPECT_EQ(gauge.face().minimum, 75);
}

TEST(CalGaugeWidget, VisibleOnlyWhenTheHeadingLogicSaysSo) {
    QWidget window;
    auto* hidden = new CalGaugeWidget(&window);
    auto* shownEarly = new CalGaugeWidget(&window);
    shownEarly->setGaugeVisible(true);  // before its window is shown
    window.show();
    EXPECT_FALSE(hidden->gaugeVisible());
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_TRUE(shownEarly->isVisible());

    hidden->setGaugeVisible(true);
    EXPECT_TRUE(hidden->gaugeVisible());
    EXPECT_TRUE(hidden->isVisible());
    hidden->setGaugeVisible(false);
    EXPECT_FALSE(hidden->gaugeVisible());
    EXPECT_FALSE(hidden->isVisible());
}

}  // namespace
}  // namespace tarquel
