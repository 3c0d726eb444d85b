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
    // The live display as the frames left it (the window follows at the display rate).
    QString box(int slot) { return live->display().dataBoxCaption(slot); }
    QString count() { return live->display().frameCountCaption(); }
    bool blank() {
        for (int slot = 0; slot < 7; ++slot) {
            if (!box(slot).isEmpty()) {
                return false;
            }
        }
        return true;
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
    EXPECT_EQ(box(6), QStringLiteral("007.6 dg"));  // smoothed: 7.5 + 2 / 32
    EXPECT_EQ(count(), QStringLiteral("2.00e00"));
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
    EXPECT_EQ(box(6), QStringLiteral("007.5 dg"));
    EXPECT_FALSE(state.messages.sw(SwFlag::RoutedToTerminal));
}

// Records the display values of every accepted frame.
struct FrameLog : FrameObserver {
    void frameShown(const std::vector<double>& values) override { frames.push_back(values); }
    std::vector<std::vector<double>> frames;
};

TEST_F(ReceivePathTest, ABurstInOneEventGivesTheSameFramesAsOneByteAtATime) {
    QByteArray stream = "garbage\r";
    for (int i = 0; i < 30; ++i) {
        stream +=
            QStringLiteral("I %1.5 0 0 -1000 %2 -100 40\r").arg(i * 3).arg(100 + i).toLatin1();
    }
    FrameLog inOneGo;
    live->decoder().setFrameObserver(&inOneGo);
    receive(stream);
    const QString shownInOneGo = box(6);

    struct SecondRig : LiveRig {
        void TestBody() override {}
        using LiveRig::live;
        using LiveRig::receive;
        using LiveRig::start;
        // One byte a millisecond, each with its own event, as a slow line delivers them.
        void trickle(const QByteArray& bytes) {
            for (const char byte : bytes) {
                port.feed(QByteArray(1, byte));
                clock.runFor(1);
            }
        }
    } other;
    test::FakeCalModeCommands otherModes;
    other.start(otherModes);
    FrameLog byteByByte;
    other.live->decoder().setFrameObserver(&byteByByte);
    other.trickle(stream);
    EXPECT_EQ(inOneGo.frames.size(), 30u);
    EXPECT_EQ(inOneGo.frames, byteByByte.frames);
    EXPECT_EQ(other.live->display().dataBoxCaption(6), shownInOneGo);
}

TEST_F(ReceivePathTest, TheWindowFollowsAtTheDisplayRateAndEndsOnTheFinalValues) {
    // 200 frames in 2 s, as a fast unit sends them: every one is decoded and counted, the window's
    // labels are written at most 20 times a second, and the last frame's values are on screen.
    for (int i = 0; i < 200; ++i) {
        receive(QStringLiteral("I %1.0 0 0 -1000 100 -100 40\r").arg(i % 300).toLatin1());
        clock.runFor(10);
    }
    clock.runFor(DisplayThrottle::kDisplayIntervalMs);
    EXPECT_EQ(count(), QStringLiteral("2.00e02"));
    EXPECT_EQ(view.frameCount, count());
    EXPECT_EQ(view.dataBoxes,
              (std::array<QString, 7>{box(0), box(1), box(2), box(3), box(4), box(5), box(6)}));
    EXPECT_LE(live->display().windowWrites(), 2 * 20 * 9 + 9);
    EXPECT_GT(view.dataBoxWrites, 20);
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
    EXPECT_EQ(count(), QStringLiteral("1.00e00"));
    port.injectError(FakeSerialPort::Operation::Input, ErrorNumber::PortNotOpen);
    receive(kFrame);
    EXPECT_EQ(count(), QStringLiteral("1.00e00"));
    receive("");
    EXPECT_EQ(count(), QStringLiteral("2.00e00"));
}

TEST_F(ReceivePathTest, SilenceIsReportedBetweenOneAndTwoSecondsAfterTheLastEvent) {
    clock.runFor(300);  // the timers' phase is not tied to the data
    receive(kFrame);
    const qint64 lastEvent = clock.tickCount();
    ASSERT_TRUE(clock.runUntil([&] { return !state.messages.sw(SwFlag::Receiving); }, 3000));
    EXPECT_GT(clock.tickCount() - lastEvent, 1000);
    EXPECT_LE(clock.tickCount() - lastEvent, 2000);
    EXPECT_EQ(view.softwareInfo, QStringLiteral("Not Receiving Data."));
    clock.runFor(DisplayThrottle::kDisplayIntervalMs);
    EXPECT_TRUE(view.blank());  // the window follows at the next display tick
    // Blanked again every second; captions that are blank already are not rewritten.
    const int writes = view.dataBoxWrites;
    clock.runFor(1000);
    EXPECT_TRUE(blank());
    EXPECT_EQ(view.dataBoxWrites, writes);

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
    EXPECT_EQ(box(5), QStringLiteral("045.0 dg"));
}

}  // namespace
}  // namespace tarquel
