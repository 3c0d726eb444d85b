#include "FakeCalModeCommands.h"
#include "LiveFakes.h"
#include "MemoryUnitPeer.h"
#include "RecordingGauge.h"
#include "calibration/CalModeSelector.h"
#include "livedata/LiveDataSession.h"
#include "platform/Errors.h"
#include "platform/FakeSerialPort.h"
#include "platform/VirtualClock.h"

#include <gtest/gtest.h>
#include <memory>

namespace tarquel {
namespace {

using namespace tarquel::test;

const QByteArray kFrame("I 7.5 0 0 -1000 100 -100 40\r");

// The live data of the main window on a fake port in virtual time.
class LiveRig : public testing::Test {
protected:
    LiveRig() {
        ports.addPort(1, &unit);
        port.setCommPort(1);
        port.setPortOpen(true);
        port.setRThreshold(1);
        state.dataFormat = DataFormat::Decimal;
    }

    // Bytes arrive and the event loop runs once.
    void receive(const QByteArray& bytes) {
        port.feed(bytes);
        clock.doEvents();
    }

    VirtualClock clock;
    FakePortSystem ports{clock};
    FakeSerialPort port{ports};
    MemoryUnitPeer unit;
    SharedState state;
    ScriptedMessageBoxes boxes;
    FakeCalModeCommands modes;
    RecordingGauge gauge;
    FakeLiveView view;
    FakeStatusView status;
    FakeInfoWindow infoWindow;
    FakeTerminal terminal;
    std::unique_ptr<LiveDataSession> live;

    void start(CalModeCommands& modeCommands) {
        live = std::make_unique<LiveDataSession>(LiveDataWiring{
            state, port, clock, boxes, modeCommands, gauge, view, status, infoWindow});
    }
};

class ReceivePathTest : public LiveRig {
protected:
    ReceivePathTest() { start(modes); }
};

TEST_F(ReceivePathTest, FramesAreAssembledAcrossEvents) {
    receive("I 7.5 0 0 -1000 ");
    EXPECT_EQ(view.dataBoxWrites, 0);
    receive("100 -100 40");
    receive("\rI 8");
    EXPECT_EQ(view.dataBoxes[6], QStringLiteral("007.5 dg"));
    EXPECT_EQ(view.frameCount, QStringLiteral("1.00e00"));
    EXPECT_EQ(live->assembler().frameBuffer(), QStringLiteral("I 8"));
    EXPECT_TRUE(state.messages.sw(SwFlag::Receiving));
    EXPECT_TRUE(state.messages.info(InfoFlag::PressBeginTest));
    EXPECT_EQ(status.softwareInfo, QStringLiteral("Receiving Data."));
    EXPECT_TRUE(status.information.startsWith(QStringLiteral("1.  Press the Begin Test")));

    state.messages.ClearInfoMessage(InfoFlag::PressBeginTest);
    state.testState = kTestRunning;
    receive(kFrame);
    EXPECT_FALSE(state.messages.info(InfoFlag::PressBeginTest));
}

TEST_F(ReceivePathTest, BadFrameIsDroppedAndTheRestOfTheEventStillCounts) {
    receive("I 7.5 0 0 -1000 1x0 -100 40\rI 8.5 0 0 -1000 100 -100 40\r");
    EXPECT_EQ(view.dataBoxes[6], QStringLiteral("008.5 dg"));
    EXPECT_EQ(view.frameCount, QStringLiteral("1.00e00"));
    EXPECT_TRUE(live->assembler().frameBuffer().isEmpty());
    EXPECT_EQ(status.softwareInfo, QStringLiteral("Receiving Data."));
}

TEST_F(ReceivePathTest, AtMost301EventsPerTenthOfASecond) {
    for (int i = 0; i < 301; ++i) {
        receive("x");
    }
    EXPECT_EQ(state.frameEventCount, 301);
    EXPECT_EQ(port.inBufferCount(), 0);

    receive("yz");  // ignored: the bytes wait in the port
    EXPECT_EQ(port.inBufferCount(), 2);
    EXPECT_EQ(live->assembler().frameBuffer().size(), 301);

    clock.runFor(ReceivePath::kEventPeriodMs);
    EXPECT_EQ(state.frameEventCount, 0);
    receive("\r");
    EXPECT_EQ(port.inBufferCount(), 0);
    EXPECT_TRUE(live->assembler().frameBuffer().isEmpty());
    EXPECT_TRUE(state.messages.info(InfoFlag::NoHeader));  // the 303-character frame was decoded
}

TEST_F(ReceivePathTest, TerminalTakesTheDataWhileVisible) {
    live->receivePath().setTerminalSink(&terminal);
    receive("I 7.5 0 0 ");  // a partial frame before the terminal opens
    live->receivePath().setTerminalVisible(true);
    receive("abc\rdef\r");
    EXPECT_EQ(terminal.received, QStringLiteral("abc\rdef\r"));
    EXPECT_EQ(view.dataBoxWrites, 0);
    EXPECT_TRUE(state.messages.sw(SwFlag::RoutedToTerminal));
    EXPECT_FALSE(state.messages.info(InfoFlag::PressBeginTest));
    EXPECT_EQ(status.softwareInfo,
              QStringLiteral("Receiving Data.\rData routed to terminal display."));

    live->receivePath().setTerminalVisible(false);
    receive("-1000 100 -100 40\r");
    EXPECT_EQ(view.dataBoxes[6], QStringLiteral("007.5 dg"));
    EXPECT_FALSE(state.messages.sw(SwFlag::RoutedToTerminal));
    EXPECT_EQ(terminal.received, QStringLiteral("abc\rdef\r"));
}

TEST_F(ReceivePathTest, SendEventsChangeNothingOtherEventsRefreshTheStatus) {
    state.messages.SetInfoMessage(InfoFlag::FrameLength);
    port.raiseEvent(CommEvent::Send);
    clock.doEvents();
    EXPECT_EQ(status.informationWrites, 0);

    port.raiseEvent(CommEvent::LineChange);
    clock.doEvents();
    EXPECT_EQ(status.informationWrites, 2);  // the list, then blanked: no data yet
    EXPECT_EQ(live->status().lastInfoFlagsShown(), InfoFlag::FrameLength);
    EXPECT_EQ(state.frameEventCount, 2);
}

TEST_F(ReceivePathTest, SilenceIsReportedBetweenOneAndTwoSecondsAfterTheLastEvent) {
    clock.runFor(300);  // the timers' phase is not tied to the data
    receive(kFrame);
    const qint64 lastEvent = clock.tickCount();
    ASSERT_TRUE(clock.runUntil([&] { return !state.messages.sw(SwFlag::Receiving); }, 3000));
    const qint64 silence = clock.tickCount() - lastEvent;
    EXPECT_GT(silence, 1000);
    EXPECT_LE(silence, 2000);
    EXPECT_EQ(status.softwareInfo, QStringLiteral("Not Receiving Data."));
    EXPECT_TRUE(view.blank());

    const int writes = view.dataBoxWrites;
    clock.runFor(1000);
    EXPECT_EQ(view.dataBoxWrites, writes + 7);  // blanked again every second

    // A steady stream keeps the flag up.
    for (int i = 0; i < 20; ++i) {
        receive(kFrame);
        clock.runFor(250);
        EXPECT_TRUE(state.messages.sw(SwFlag::Receiving)) << i;
    }
}

TEST_F(ReceivePathTest, PortErrorsDuringTheRead) {
    // A read error on the byte count is stepped over: the read takes everything.
    port.injectError(FakeSerialPort::Operation::InBufferCount, ErrorNumber::ReadFailed);
    receive(kFrame);
    EXPECT_EQ(view.frameCount, QStringLiteral("1.00e00"));

    // Any other error ends the event silently; the bytes wait for the next one.
    port.injectError(FakeSerialPort::Operation::Input, ErrorNumber::PortNotOpen);
    const int statusWrites = status.informationWrites + status.softwareInfoWrites;
    receive(kFrame);
    EXPECT_EQ(view.frameCount, QStringLiteral("1.00e00"));
    EXPECT_EQ(status.informationWrites + status.softwareInfoWrites, statusWrites);
    receive("");
    EXPECT_EQ(view.frameCount, QStringLiteral("2.00e00"));
}

// The automatic mode switch through the real mode command, with the unit on the same port.
class AutomaticModeSwitchTest : public LiveRig {
protected:
    AutomaticModeSwitchTest() { start(selector); }

    class NullCalModeView : public CalModeView {
    public:
        void setCalModeChecks(bool, bool) override {}
        void setCalModeCaption(const QString& text) override { caption = text; }
        QString caption;
    };

    NullCalModeView modeView;
    StdUnitAccess access{clock, boxes, state.unitMap};
    UnitLink link{port, access, state};
    CalModeSelector selector{link, state, boxes, modeView};
};

TEST_F(AutomaticModeSwitchTest, FiftyFirstFourFieldFrameSelectsPendulumModeOnce) {
    for (int i = 0; i < 50; ++i) {
        receive("I 1 2 3 4\r");
    }
    EXPECT_TRUE(unit.commandText().isEmpty());
    receive("I 1 2 3 4\r");
    EXPECT_EQ(unit.commandText(), QByteArray(">2007C00000"));
    EXPECT_EQ(state.calMode, CalMode::Pendulum);
    EXPECT_EQ(modeView.caption, QStringLiteral("Pend"));
    EXPECT_TRUE(boxes.shown().empty());

    for (int i = 0; i < 60; ++i) {
        receive("I 1 2 3 4\r");
    }
    EXPECT_EQ(unit.commandText(), QByteArray(">2007C00000"));
    EXPECT_TRUE(state.messages.info(InfoFlag::FrameLength));

    // The unit now sends six fields and they are decoded.
    receive("I 7.5 100 -100 40 0 0\r");
    EXPECT_FALSE(state.messages.info(InfoFlag::FrameLength));
    EXPECT_EQ(view.dataBoxes[5], QStringLiteral("045.0 dg"));
}

}  // namespace
}  // namespace tarquel
