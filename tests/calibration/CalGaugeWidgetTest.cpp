#include "calibration/CalGaugeWidget.h"

#include <gtest/gtest.h>
#include <tuple>

namespace tarquel {
namespace {

TEST(GaugeFace, NeedleFractionClampedToTheRange) {
    for (const auto& [minimum, maximum, value, fraction, clamped] :
         {std::tuple{90.0, 105.0, 95.0, 1.0 / 3.0, false},
          std::tuple{90.0, 105.0, 105.0, 1.0, false}, std::tuple{90.0, 105.0, 89.99, 0.0, true},
          std::tuple{345.0, 359.9, 359.95, 1.0, true},
          std::tuple{10.0, 10.0, 10.0, 0.0, false}}) {  // the last: no division by zero
        const GaugeFace face = gaugeFace(minimum, maximum, value);
        EXPECT_DOUBLE_EQ(face.needleFraction, fraction) << value;
        EXPECT_EQ(face.clamped, clamped) << value;
    }
    EXPECT_EQ(gaugeFace(90, 105, 95).minimumText, "90");
    EXPECT_EQ(gaugeFace(345, 359.9, 350).maximumText, "359.9");
}

TEST(CalGaugeWidget, ShowsTheActiveRangeAsTheHeadingLogicSetsItUpAndOnlyWhenItSaysSo) {
    QWidget window;
    auto* gauge = new CalGaugeWidget(&window);
    auto* shownEarly = new CalGaugeWidget(&window);
    shownEarly->setGaugeVisible(true);  // before its window is shown
    EXPECT_TRUE(shownEarly->gaugeVisible());
    window.show();
    EXPECT_FALSE(gauge->isVisible());
    EXPECT_TRUE(shownEarly->isVisible());
    const auto range = [gauge] { return std::pair(gauge->face().minimum, gauge->face().maximum); };
    EXPECT_EQ(range(), std::pair(345.0, 359.9)) << "set up for the 0/360 target to begin with";

    // Heading 95 near the 90 target.
    gauge->setGaugeVisible(true);
    EXPECT_TRUE(gauge->isVisible());
    gauge->setRange(1, 90, 105);
    gauge->setRange(0, 75, 89.9);
    gauge->setActiveRange(1);
    gauge->setValue(95);
    EXPECT_EQ(range(), std::pair(90.0, 105.0));
    EXPECT_DOUBLE_EQ(gauge->face().needleFraction, 1.0 / 3.0);

    // The other half of the window, with the needle still on 95: pinned at the top end.
    gauge->setActiveRange(0);
    EXPECT_EQ(range(), std::pair(75.0, 89.9));
    EXPECT_DOUBLE_EQ(gauge->face().needleFraction, 1.0);

    // Changing the range that is not active leaves the face alone; unknown ranges are ignored.
    gauge->setRange(1, 180, 195);
    gauge->setRange(2, 0, 1);
    gauge->setActiveRange(2);
    EXPECT_EQ(gauge->activeRange(), 0);
    EXPECT_EQ(range(), std::pair(75.0, 89.9));
    gauge->setGaugeVisible(false);
    EXPECT_FALSE(gauge->isVisible());
}

}  // namespace
}  // namespace tarquel
