// The receive path of a session on virtual time: where received bytes go, the event cap, the
// display rate, other communication events and the silence report.
#include "platform/Errors.h"
#include "support/SessionRig.h"

namespace tarquel {
namespace {

const QByteArray kFrame("I 7.5 0 0 -1000 100 -100 40\r");

struct FakeTerminal : TerminalSink {
    void ProcessData(const QString& text) override { received += text; }
    QString received;
};

struct FakeTest : TestStatus {
    bool testRunning() const override { return running; }
    bool running = false;
};

class ReceivePathTest : public test::SessionRig {
protected:
    ReceivePathTest() {
        makeUnit(quietUnit());
        live().setTestStatus(&test);
    }
    ~ReceivePathTest() override { live().setTestStatus(nullptr); }
    LiveDataSession& live() { return session->liveData(); }
    // The live display as the frames left it (the window follows at the display rate).
    QString box(int slot) { return live().display().dataBoxCaption(slot); }
    QString count() { return live().display().frameCountCaption(); }
    // Bytes arrive and the event loop runs once.
    void receive(const QByteArray& bytes) {
        port->feed(bytes);
        clock.doEvents();
    }
    const MessageFlags& flags() { return live().flags(); }

    FakeTest test;
};

TEST_F(ReceivePathTest, BytesGoToTheFramesOrToTheVisibleTerminalWithTheirPromptsAndFlags) {
    const struct {
        bool terminal, testRunning;
        bool decoded, beginTestPrompt;
        const char* software;
    } rows[] = {
        {false, false, true, true, "Receiving Data."},
        {false, true, true, false, "Receiving Data."},
        {true, false, false, false, "Receiving Data.\rData routed to terminal display."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(&row - rows));
        newSession();
        live().setTestStatus(&test);
        FakeTerminal terminal;
        live().receivePath().setTerminalSink(&terminal);
        live().receivePath().setTerminalVisible(row.terminal);
        test.running = row.testRunning;
        receive("I 7.5 0 0 -1000 ");
        receive("100 -100 40\r");
        EXPECT_EQ(live().decoder().frameCount(), row.decoded ? 1 : 0);
        EXPECT_EQ(terminal.received,
                  row.terminal ? QStringLiteral("I 7.5 0 0 -1000 100 -100 40\r") : QString());
        EXPECT_EQ(flags().info(InfoFlag::PressBeginTest), row.beginTestPrompt);
        EXPECT_EQ(views.softwareInfo, QLatin1String(row.software));
        live().setTestStatus(nullptr);
    }
    // Back from the terminal: frames again, and the terminal flag goes.
    live().setTestStatus(&test);
    live().receivePath().setTerminalVisible(false);
    receive(kFrame);
    EXPECT_EQ(box(6), QStringLiteral("007.5 dg"));
    EXPECT_FALSE(flags().sw(SwFlag::RoutedToTerminal));
}

TEST_F(ReceivePathTest, AtMost301EventsPerTenthOfASecond) {
    for (int i = 0; i < 301; ++i) {
        receive("x");
    }
    receive("yz");  // ignored: the bytes wait in the port
    EXPECT_EQ(port->inBufferCount(), 2);
    EXPECT_EQ(live().assembler().frameBuffer().size(), 301);

    clock.runFor(ReceivePath::kEventPeriodMs);
    receive("\r");
    EXPECT_TRUE(live().assembler().frameBuffer().isEmpty());
    EXPECT_TRUE(flags().info(InfoFlag::NoHeader));  // "xxx...yz" was decoded
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
    EXPECT_EQ(views.frameCount, count());
    EXPECT_EQ(views.dataBoxes,
              (std::array<QString, 7>{box(0), box(1), box(2), box(3), box(4), box(5), box(6)}));
    EXPECT_LE(live().display().windowWrites(), 2 * 20 * 9 + 9);
    EXPECT_GT(views.dataBoxWrites, 20);
}

TEST_F(ReceivePathTest, OtherEventsAndPortErrors) {
    live().flags().SetInfoMessage(InfoFlag::FrameLength);
    const int writes = views.informationWrites;
    port->raiseEvent(CommEvent::Send);
    clock.doEvents();
    EXPECT_EQ(views.informationWrites, writes) << "send complete: nothing";
    port->raiseEvent(CommEvent::LineChange);
    clock.doEvents();
    EXPECT_EQ(live().status().lastInfoFlagsShown(), bitOf(InfoFlag::FrameLength))
        << "texts refreshed";

    // A read error on the byte count is stepped over; any other port error ends the event
    // silently and the bytes wait for the next one.
    port->injectError(FakeSerialPort::Operation::InBufferCount, ErrorNumber::ReadFailed);
    receive(kFrame);
    EXPECT_EQ(count(), QStringLiteral("1.00e00"));
    port->injectError(FakeSerialPort::Operation::Input, ErrorNumber::PortNotOpen);
    receive(kFrame);
    EXPECT_EQ(count(), QStringLiteral("1.00e00"));
    receive("");
    EXPECT_EQ(count(), QStringLiteral("2.00e00"));
}

TEST_F(ReceivePathTest, SilenceIsReportedBetweenOneAndTwoSecondsAfterTheLastEvent) {
    clock.runFor(300);  // the timers' phase is not tied to the data
    receive(kFrame);
    const qint64 lastEvent = clock.tickCount();
    ASSERT_TRUE(clock.runUntil([&] { return !flags().sw(SwFlag::Receiving); }, 3000));
    EXPECT_GT(clock.tickCount() - lastEvent, 1000);
    EXPECT_LE(clock.tickCount() - lastEvent, 2000);
    EXPECT_EQ(views.softwareInfo, QStringLiteral("Not Receiving Data."));
    clock.runFor(DisplayThrottle::kDisplayIntervalMs);
    EXPECT_TRUE(views.blank());  // the window follows at the next display tick
    // Blanked again every second; captions that are blank already are not rewritten.
    const int writes = views.dataBoxWrites;
    clock.runFor(1000);
    EXPECT_EQ(views.dataBoxWrites, writes);

    for (int i = 0; i < 12; ++i) {  // a steady stream keeps the flag up
        receive(kFrame);
        clock.runFor(250);
        ASSERT_TRUE(flags().sw(SwFlag::Receiving)) << i;
    }
}

}  // namespace
}  // namespace tarquel
