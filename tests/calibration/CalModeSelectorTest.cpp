#include "calibration/CalModeSelector.h"
#include "platform/FakeSerialPort.h"
#include "support/MemoryPeer.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

struct RecordingCalModeView : CalModeView {
    void setCalModeChecks(bool accel, bool pend) override { checks = {accel, pend}; }
    void setCalModeCaption(const QString& text) override { caption = text; }
    std::pair<bool, bool> checks{false, false};
    QString caption = QStringLiteral("(design)");
};

// The real unit link on a fake port, with a unit that answers memory reads.
class CalModeSelectorTest : public testing::Test {
protected:
    CalModeSelectorTest() {
        ports.addPort(1, &unit);
        unit.makeB600Unit();
        port.setPortOpen(true);
        state.dataFormat = DataFormat::Binary;
        state.channelFilterPrimed = state.inclFilterPrimed = state.noAccelWarned = true;
    }

    void expectErrorBox(const char* title, const char* firstLine) {
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].title, QLatin1String(title));
        EXPECT_EQ(boxes.shown()[0].prompt,
                  QLatin1String(firstLine) + QStringLiteral("\r\nPlease check the connections "
                                                            "and try again."));
        EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Critical);
        EXPECT_EQ(boxes.shown()[0].buttons, MsgButtons::OK);
    }

    VirtualClock clock;
    FakePortSystem ports{clock};
    FakeSerialPort port{ports};
    test::MemoryPeer unit;
    SharedState state;
    ScriptedMessageBoxes boxes;
    StdUnitAccess access{clock, boxes, state.unitMap};
    UnitLink link{port, access, state};
    RecordingCalModeView view;
    CalModeSelector selector{link, state, boxes, view};
};

TEST_F(CalModeSelectorTest, PendulumCommandRecordsTheUnitsChannelsAndSelectsTheCalibrationSet) {
    selector.mnuCalPend_Click();
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(state.calMode, CalMode::Pendulum);
    EXPECT_EQ(view.caption, QStringLiteral("Pend"));
    EXPECT_EQ(view.checks, std::make_pair(false, true));
    EXPECT_EQ(unit.word(0x000C), 0x3A3A);  // write access switched on
    EXPECT_EQ(state.savedChannels, QStringLiteral("3C07000000"));
    EXPECT_EQ(state.savedFormat, DataFormat::Binary);
    EXPECT_EQ(unit.commandText(), QByteArray(">2007C00000"));
    EXPECT_FALSE(state.channelFilterPrimed || state.inclFilterPrimed || state.noAccelWarned);

    // The unit's own selection is recorded once; choosing a mode again still sends the command.
    unit.setWord(0x0002, 0x1111);
    state.channelFilterPrimed = true;
    selector.mnuCalAccel_Click();
    selector.mnuCalAccel_Click();
    EXPECT_EQ(state.savedChannels, QStringLiteral("3C07000000"));
    EXPECT_EQ(unit.commandText(), QByteArray(">2007C00000>3C07000000>3C07000000"));
    EXPECT_EQ(view.caption, QStringLiteral("Accel"));
    EXPECT_EQ(view.checks, std::make_pair(true, false));
    EXPECT_FALSE(state.channelFilterPrimed);
}

TEST_F(CalModeSelectorTest, NoUnitGivesTheErrorBoxAndChangesNothing) {
    unit.answerBytes = 0;
    selector.mnuCalPend_Click();
    expectErrorBox("Error Setting Pend Mode!", "Error setting the unit to Pendulum Mode.");
    EXPECT_EQ(state.calMode, CalMode::Accelerometer);
    EXPECT_EQ(view.caption, QStringLiteral("(design)"));
    EXPECT_TRUE(unit.commandText().isEmpty());
}

TEST_F(CalModeSelectorTest, FailureAfterTheMenuWasMarkedKeepsTheNewMode) {
    unit.answers = [](int address) { return address != 0x0004; };  // the selection cannot be read
    state.calMode = CalMode::Pendulum;
    selector.mnuCalAccel_Click();
    expectErrorBox("Error Setting Accel Mode!", "Error setting the unit to Accelerometer Mode.");
    EXPECT_EQ(state.calMode, CalMode::Accelerometer);
    EXPECT_EQ(view.caption, QStringLiteral("Accel"));
    EXPECT_FALSE(state.channelsSaved);
    EXPECT_TRUE(unit.commandText().isEmpty());
    EXPECT_TRUE(state.noAccelWarned);  // smoothing and warning are not restarted
}

}  // namespace
}  // namespace tarquel
