// The calibration-mode commands against the simulated unit through the unit link.
#include "heading/CalModeSelector.h"
#include "support/RecordingViews.h"
#include "support/SimRig.h"

namespace tarquel {
namespace {

class CalModeSelectorTest : public test::SimRig {
protected:
    CalModeSelectorTest() { makeUnit(quietUnit()); }
    // Selects mode; true if that restarted the smoothing (the next frame passes unchanged).
    bool selectRestartsSmoothing(CalMode mode) {
        std::vector<double> v{100};
        heading.FilterChannels(v, 32);
        selector.selectCalMode(mode);
        v = {200};
        heading.FilterChannels(v, 32);
        return v[0] == 200;
    }

    test::RecordingViews view;
    HeadingCalculator heading{boxes};
    CalModeSelector selector{link, boxes, view, heading};
};

TEST_F(CalModeSelectorTest, AModeCommandRecordsTheUnitsChannelsAndSelectsTheCalibrationSet) {
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
    EXPECT_EQ(view.calModeCaption, QStringLiteral("Accel"));
    EXPECT_EQ(view.calModeChecks, std::make_pair(true, false));
}

TEST_F(CalModeSelectorTest, AFailedCommandGivesItsErrorBoxAndRestartsNothing) {
    // Pend with no unit: nothing changes (Accel stays). Then Accel from Pend with a selection that
    // cannot be read: the menu and mode are marked Accel all the same.
    for (const bool noUnit : {true, false}) {
        if (noUnit) {
            unit->setFault(unitsim::Fault::NoReadAnswer);
        } else {
            makeUnit(quietUnit());
            line.silentReads = {0x0004};
            boxes.clear();
            system.clearWrites();
            selector.assumeCalMode(CalMode::Pendulum);
            view.calModeCaption = QStringLiteral("Pend");
        }
        EXPECT_FALSE(selectRestartsSmoothing(noUnit ? CalMode::Pendulum : CalMode::Accelerometer));
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].title,
                  QLatin1String(noUnit ? "Error Setting Pend Mode!" : "Error Setting Accel Mode!"));
        EXPECT_EQ(boxes.shown()[0].prompt,
                  QLatin1String(noUnit ? "Error setting the unit to Pendulum Mode."
                                       : "Error setting the unit to Accelerometer Mode.") +
                      QStringLiteral("\r\nPlease check the connections and try again."));
        EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Critical);
        EXPECT_EQ(selector.calMode(), CalMode::Accelerometer);
        EXPECT_EQ(view.calModeCaption, QStringLiteral("Accel"));
        EXPECT_FALSE(commandText().contains('>')) << "no selection sent";
    }
}

}  // namespace
}  // namespace tarquel
