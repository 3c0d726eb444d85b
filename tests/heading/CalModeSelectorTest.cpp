// The calibration-mode commands against the simulated unit through the unit link.
#include "heading/CalModeSelector.h"
#include "support/RecordingViews.h"
#include "support/SimRig.h"

namespace tarquel {
namespace {

class CalModeSelectorTest : public test::SimRig {
protected:
    CalModeSelectorTest() {
        makeUnit(quietUnit());
        link.setDataFormat(DataFormat::Binary);
    }
    // The smoothing restarted: a frame after a primed one passes unchanged.
    bool smoothingRestarted() {
        std::vector<double> v{200};
        heading.FilterChannels(v, 32);
        return v[0] == 200;
    }
    void prime() {
        std::vector<double> v{100};
        heading.FilterChannels(v, 32);
    }

    test::RecordingViews view;
    HeadingCalculator heading{boxes};
    CalModeSelector selector{link, boxes, view, heading};
};

TEST_F(CalModeSelectorTest, AModeCommandRecordsTheUnitsChannelsAndSelectsTheCalibrationSet) {
    prime();
    selector.selectCalMode(CalMode::Pendulum);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(selector.calMode(), CalMode::Pendulum);
    EXPECT_EQ(view.calModeCaption, QStringLiteral("Pend"));
    EXPECT_EQ(view.calModeChecks, std::make_pair(false, true));
    EXPECT_TRUE(unit->writeAccess());
    EXPECT_EQ(link.recordedChannels(), QStringLiteral("3C07000000"));
    EXPECT_EQ(link.recordedFormat(), DataFormat::Binary);
    EXPECT_EQ(unit->channels(), QStringLiteral("2007C00000"));
    EXPECT_TRUE(smoothingRestarted());

    // The unit's own selection is recorded once; choosing a mode again still sends the command.
    prime();
    selector.selectCalMode(CalMode::Accelerometer);
    system.clearWrites();
    selector.selectCalMode(CalMode::Accelerometer);
    EXPECT_EQ(system.bytesWritten(1), QByteArray(">3C07000000"));
    EXPECT_EQ(link.recordedChannels(), QStringLiteral("3C07000000"));
    EXPECT_EQ(view.calModeCaption, QStringLiteral("Accel"));
    EXPECT_EQ(view.calModeChecks, std::make_pair(true, false));
    EXPECT_TRUE(smoothingRestarted());
}

TEST_F(CalModeSelectorTest, AFailedCommandGivesItsErrorBoxAndRestartsNothing) {
    // No unit: nothing changes. A selection that cannot be read: the menu and mode are marked.
    const struct {
        bool silentUnit;
        CalMode mode;
        const char* title;
        const char* line;
        CalMode modeAfter;
        const char* captionAfter;
    } rows[] = {{true, CalMode::Pendulum, "Error Setting Pend Mode!",
                 "Error setting the unit to Pendulum Mode.", CalMode::Accelerometer, "Accel"},
                {false, CalMode::Pendulum, "Error Setting Pend Mode!",
                 "Error setting the unit to Pendulum Mode.", CalMode::Pendulum, "Pend"}};
    for (const auto& row : rows) {
        makeUnit(quietUnit());
        boxes.clear();
        system.clearWrites();
        selector.assumeCalMode(CalMode::Accelerometer);
        view.calModeCaption = QStringLiteral("Accel");
        if (row.silentUnit) {
            unit->setFault(unitsim::Fault::NoReadAnswer);
        } else {
            line.silentReads = {0x0004};
        }
        prime();
        selector.selectCalMode(row.mode);
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].title, QLatin1String(row.title));
        EXPECT_EQ(boxes.shown()[0].prompt,
                  QLatin1String(row.line) +
                      QStringLiteral("\r\nPlease check the connections and try again."));
        EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Critical);
        EXPECT_EQ(selector.calMode(), row.modeAfter);
        EXPECT_EQ(view.calModeCaption, QLatin1String(row.captionAfter));
        EXPECT_FALSE(link.channelsRecorded());
        EXPECT_FALSE(commandText().contains('>')) << "no selection sent";
        EXPECT_FALSE(smoothingRestarted());
    }
}

}  // namespace
}  // namespace tarquel
