#include "FakeCalModeCommands.h"
#include "LiveFakes.h"
#include "RecordingGauge.h"
#include "calibration/CalModeSelector.h"
#include "livedata/LiveDataSession.h"
#include "platform/Errors.h"
#include "platform/FakeSerialPort.h"
#include "support/MemoryPeer.h"

#include <gtest/gtest.h>
#include <memory>

namespace tarquel {
namespace {

const QByteArray kFrame("I 7.5 0 0 -1000 100 -100 40\r");

struct FakeTerminal : TerminalSink {
    void ProcessData(const QString& text) override { received += text; }
    QString received;
};

// The live data of the main window on a fake port in virtual time, with a unit on the line.
class LiveRig : public testing::Test {
protected:
    LiveRig() {
        ports.addPort(1, &unit);
        unit.makeB600Unit();
        port.setPortOpen(true);
        port.setRThreshold(1);
        state.dataFormat = DataFormat::Decimal;
    }
    void start(CalModeCommands& modeCommands) {
        live = std::make_unique<LiveDataSession>(
            LiveDataWiring{state, port, clock, boxes, modeCommands, gauge, view, view, infoWindow});
    }
    // Bytes arrive and the event loop runs once.
    void receive(const QByteArray& bytes) {
        port.feed(bytes);
        clock.doEvents();
    }

    VirtualClock clock;
    FakePortSystem ports{clock};
    FakeSerialPort port{ports};
    test::MemoryPeer unit;
    SharedState state;
    ScriptedMessageBoxes boxes;
    test::RecordingGauge gauge;
    test::FakeLiveView view;
    test::FakeInfoWindow infoWindow;
    std::unique_ptr<LiveDataSession> live;
};

class ReceivePathTest : public LiveRig {
protected:
    ReceivePathTest() { start(modes); }
    test::FakeCalModeCommands modes;
};

TEST_F(ReceivePathTest, FramesAreAssembledAcrossEventsAndBadFramesDroppedAlone) {
    receive("I 7.5 0 0 -1000 ");
    receive("100 -100 40");
    EXPECT_EQ(view.dataBoxWrites, 0);
    receive("\rI 8.5 0 0 -1000 1x0 -100 40\rI 9.5 0 0 -1000 100 -100 40\rI 8");
    EXPECT_EQ(view.dataBoxes[6], QStringLiteral("007.6 dg"));  // smoothed: 7.5 + 2 / 32
    EXPECT_EQ(view.frameCount, QStringLiteral("2.00e00"));
    EXPECT_EQ(live->assembler().frameBuffer(), QStringLiteral("I 8"));
    EXPECT_EQ(view.softwareInfo, QStringLiteral("Receiving Data."));
    EXPECT_TRUE(view.information.startsWith(QStringLiteral("1.  Press the Begin Test")));

    state.messages.ClearInfoMessage(InfoFlag::PressBeginTest);
    state.testState = kTestRunning;
    receive(kFrame);
    EXPECT_FALSE(state.messages.info(InfoFlag::PressBeginTest));
}

TEST_F(ReceivePathTest, AtMost301EventsPerTenthOfASecond) {
    for (int i = 0; i < 301; ++i) {
        receive("x");
    }
    receive("yz");  // ignored: the bytes wait in the port
    EXPECT_EQ(port.inBufferCount(), 2);
    EXPECT_EQ(live->assembler().frameBuffer().size(), 301);

    clock.runFor(ReceivePath::kEventPeriodMs);
    receive("\r");
    EXPECT_TRUE(live->assembler().frameBuffer().isEmpty());
    EXPECT_TRUE(state.messages.info(InfoFlag::NoHeader));  // "xxx...yz" was decoded
}

TEST_F(ReceivePathTest, TerminalTakesTheDataWhileVisible) {
    FakeTerminal terminal;
    live->receivePath().setTerminalSink(&terminal);
    receive("I 7.5 0 0 ");  // a partial frame before the terminal opens
    live->receivePath().setTerminalVisible(true);
    receive("abc\rdef\r");
    EXPECT_EQ(terminal.received, QStringLiteral("abc\rdef\r"));
    EXPECT_EQ(view.dataBoxWrites, 0);
    EXPECT_FALSE(state.messages.info(InfoFlag::PressBeginTest));
    EXPECT_EQ(view.softwareInfo,
              QStringLiteral("Receiving Data.\rData routed to terminal display."));

    live->receivePath().setTerminalVisible(false);
    receive("-1000 100 -100 40\r");
    EXPECT_EQ(view.dataBoxes[6], QStringLiteral("007.5 dg"));
    EXPECT_FALSE(state.messages.sw(SwFlag::RoutedToTerminal));
}

TEST_F(ReceivePathTest, OtherEvents) {
    state.messages.SetInfoMessage(InfoFlag::FrameLength);
    port.raiseEvent(CommEvent::Send);
    clock.doEvents();
    EXPECT_EQ(view.informationWrites, 0);  // send complete: nothing
    port.raiseEvent(CommEvent::LineChange);
    clock.doEvents();
    EXPECT_EQ(live->status().lastInfoFlagsShown(), InfoFlag::FrameLength);

    // A read error on the byte count is stepped over; any other port error ends the event
    // silently and the bytes wait for the next one.
    port.injectError(FakeSerialPort::Operation::InBufferCount, ErrorNumber::ReadFailed);
    receive(kFrame);
    EXPECT_EQ(view.frameCount, QStringLiteral("1.00e00"));
    port.injectError(FakeSerialPort::Operation::Input, ErrorNumber::PortNotOpen);
    receive(kFrame);
    EXPECT_EQ(view.frameCount, QStringLiteral("1.00e00"));
    receive("");
    EXPECT_EQ(view.frameCount, QStringLiteral("2.00e00"));
}

TEST_F(ReceivePathTest, SilenceIsReportedBetweenOneAndTwoSecondsAfterTheLastEvent) {
    clock.runFor(300);  // the timers' phase is not tied to the data
    receive(kFrame);
    const qint64 lastEvent = clock.tickCount();
    ASSERT_TRUE(clock.runUntil([&] { return !state.messages.sw(SwFlag::Receiving); }, 3000));
    EXPECT_GT(clock.tickCount() - lastEvent, 1000);
    EXPECT_LE(clock.tickCount() - lastEvent, 2000);
    EXPECT_EQ(view.softwareInfo, QStringLiteral("Not Receiving Data."));
    EXPECT_TRUE(view.blank());
    const int writes = view.dataBoxWrites;
    clock.runFor(1000);
    EXPECT_EQ(view.dataBoxWrites, writes + 7);  // blanked again every second

    for (int i = 0; i < 12; ++i) {  // a steady stream keeps the flag up
        receive(kFrame);
        clock.runFor(250);
        ASSERT_TRUE(state.messages.sw(SwFlag::Receiving)) << i;
    }
}

// The automatic mode switch through the real mode command, with the unit on the same port.
class AutomaticModeSwitchTest : public LiveRig {
protected:
    struct ModeView : CalModeView {
        void setCalModeChecks(bool, bool) override {}
        void setCalModeCaption(const QString& text) override { caption = text; }
        QString caption;
    };
    AutomaticModeSwitchTest() { start(selector); }

    ModeView modeView;
    StdUnitAccess access{clock, boxes, state.unitMap};
    UnitLink link{port, access, state};
    CalModeSelector selector{link, state, boxes, modeView};
};

TEST_F(AutomaticModeSwitchTest, FiftyFirstFourFieldFrameSelectsPendulumModeOnce) {
    for (int i = 0; i < 50; ++i) {
        receive("I 1 2 3 4\r");
    }
    EXPECT_TRUE(unit.commandText().isEmpty());
    for (int i = 0; i < 60; ++i) {
        receive("I 1 2 3 4\r");
    }
    EXPECT_EQ(unit.commandText(), QByteArray(">2007C00000"));
    EXPECT_EQ(state.calMode, CalMode::Pendulum);
    EXPECT_EQ(modeView.caption, QStringLiteral("Pend"));
    EXPECT_TRUE(boxes.shown().empty());

    receive("I 7.5 100 -100 40 0 0\r");  // the unit now sends six fields
    EXPECT_FALSE(state.messages.info(InfoFlag::FrameLength));
    EXPECT_EQ(view.dataBoxes[5], QStringLiteral("045.0 dg"));
}

}  // namespace
}  // namespace tarquel
