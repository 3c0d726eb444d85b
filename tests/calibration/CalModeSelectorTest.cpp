#include "MemoryUnitPeer.h"
#include "calibration/CalModeSelector.h"
#include "platform/FakeSerialPort.h"
#include "platform/VirtualClock.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

using test::MemoryUnitPeer;

class RecordingCalModeView : public CalModeView {
public:
    void setCalModeChecks(bool accel, bool pend) override {
        accelChecked = accel;
        pendChecked = pend;
    }
    void setCalModeCaption(const QString& text) override { caption = text; }

    bool accelChecked = false;
    bool pendChecked = false;
    QString caption = QStringLiteral("(design)");
};

// The real unit link on a fake port, with a unit that answers memory reads.
class CalModeSelectorTest : public testing::Test {
protected:
    CalModeSelectorTest() {
        ports.addPort(1, &unit);
        port.setCommPort(1);
        port.setPortOpen(true);
        state.dataFormat = DataFormat::Binary;
        state.channelFilterPrimed = state.inclFilterPrimed = state.noAccelWarned = true;
    }

    // The times of the channel command's characters, which must be 50 ms apart.
    void expectPacedCommand(const QByteArray& text) {
        const auto& bytes = unit.commandBytes();
        ASSERT_EQ(unit.commandText(), text);
        for (std::size_t i = 1; i < bytes.size(); ++i) {
            EXPECT_EQ(bytes[i].timeMs - bytes[i - 1].timeMs, 50);
        }
    }

    VirtualClock clock;
    FakePortSystem ports{clock};
    FakeSerialPort port{ports};
    MemoryUnitPeer unit;
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
    EXPECT_FALSE(view.accelChecked);
    EXPECT_TRUE(view.pendChecked);
    EXPECT_EQ(unit.word(0x000C), 0x3A3A);  // write access switched on
    EXPECT_TRUE(state.channelsSaved);
    EXPECT_EQ(state.savedChannels, QStringLiteral("3C07000000"));
    EXPECT_EQ(state.savedFormat, DataFormat::Binary);
    expectPacedCommand(">2007C00000");
    EXPECT_FALSE(state.channelFilterPrimed);
    EXPECT_FALSE(state.inclFilterPrimed);
    EXPECT_FALSE(state.noAccelWarned);
}

TEST_F(CalModeSelectorTest, ChannelsAreRecordedOnceAndTheCommandIsSentEveryTime) {
    selector.mnuCalAccel_Click();
    expectPacedCommand(">3C07000000");
    EXPECT_EQ(view.caption, QStringLiteral("Accel"));
    EXPECT_TRUE(view.accelChecked);
    EXPECT_FALSE(view.pendChecked);

    unit.setWord(0x0002, 0x1111);
    state.channelFilterPrimed = true;
    const std::size_t readsBefore = unit.reads().size();
    selector.mnuCalAccel_Click();  // the mode already active
    EXPECT_EQ(unit.reads().size(), readsBefore);
    EXPECT_EQ(state.savedChannels, QStringLiteral("3C07000000"));
    expectPacedCommand(">3C07000000>3C07000000");
    EXPECT_FALSE(state.channelFilterPrimed);
}

TEST_F(CalModeSelectorTest, NoUnitGivesTheErrorBoxAndChangesNothing) {
    unit.silenceAll(true);
    selector.mnuCalPend_Click();

    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Error Setting Pend Mode!"));
    EXPECT_EQ(boxes.shown()[0].prompt,
              QStringLiteral("Error setting the unit to Pendulum Mode.\r\n"
                             "Please check the connections and try again."));
    EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.shown()[0].buttons, MsgButtons::OK);
    EXPECT_EQ(state.calMode, CalMode::Accelerometer);
    EXPECT_EQ(view.caption, QStringLiteral("(design)"));
    EXPECT_TRUE(state.channelFilterPrimed);
    EXPECT_TRUE(unit.commandText().isEmpty());
}

TEST_F(CalModeSelectorTest, FailureAfterTheMenuWasMarkedKeepsTheNewMode) {
    unit.silence(0x0004);  // the channel selection cannot be read
    state.calMode = CalMode::Pendulum;
    selector.mnuCalAccel_Click();

    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Error Setting Accel Mode!"));
    EXPECT_EQ(boxes.shown()[0].prompt, QStringLiteral("Error setting the unit to Accelerometer "
                                                      "Mode.\r\nPlease check the connections and "
                                                      "try again."));
    EXPECT_EQ(state.calMode, CalMode::Accelerometer);
    EXPECT_EQ(view.caption, QStringLiteral("Accel"));
    EXPECT_FALSE(state.channelsSaved);
    EXPECT_TRUE(unit.commandText().isEmpty());
    EXPECT_TRUE(state.noAccelWarned);  // smoothing and warning are not restarted
}

}  // namespace
}  // namespace tarquel
