// The frame decoder (field checks, display pipeline, gauge, mode switch), then a session's receive
// path, event cap, display rate, silence report, status areas and data terminal on virtual time.
#include "livedata/DataTerminalSession.h"
#include "livedata/FrameDecoder.h"
#include "platform/Errors.h"
#include "support/SessionRig.h"

namespace tarquel {
namespace {

const QByteArray kFrame("I 7.5 0 0 -1000 100 -100 40\r");

struct FakeTest : TestStatus {
    bool testRunning() const override { return running; }
    bool running = false;
};

// Unit heading 7.5, level, field along +X and -Y: calculated heading 45. 27 characters.
const QString kAccelFrame = QStringLiteral("I 7.5 0 0 -1000 100 -100 40");

// Keeps the mode and counts the commands; onSelect stands in for what the real command does.
struct FakeModes : CalModeCommands {
    CalMode calMode() const override { return mode; }
    void selectCalMode(CalMode selected) override {
        ++(selected == CalMode::Pendulum ? pendCommands : accelCommands);
        if (onSelect) {
            onSelect();
        }
    }
    CalMode mode = CalMode::Accelerometer;
    int accelCommands = 0, pendCommands = 0;
    std::function<void()> onSelect;
};

class FrameDecoderTest : public test::SimRig {
protected:
    FrameDecoderTest() {
        link.setDataFormat(DataFormat::Decimal);
        decoder.setTestStatus(&test);
    }

    void process(const QString& text, int times = 1) {
        for (int i = 0; i < times; ++i) {
            QString frame = text;
            decoder.ProcessData(frame);
        }
    }
    quint16 flagWord() const { return flags.infoMessageFlags(); }

    MessageFlags flags;
    FakeModes modes;
    FakeTest test;
    test::RecordingViews view;
    HeadingCalculator heading{boxes};
    CalGaugeDriver gaugeDriver{view};
    FrameDecoder decoder{flags, link, heading, gaugeDriver, modes, view};
};

TEST_F(FrameDecoderTest, AcceptedFramesRunThePipelineToTheDisplay) {
    flags.SetInfoMessage(InfoFlag::NoHeader);
    flags.SetInfoMessage(InfoFlag::FrameLength);
    process(QStringLiteral("\nxx 1 2 ") + kAccelFrame);  // characters before the header are dropped
    EXPECT_EQ(flagWord(), 0);
    const std::array<QString, 7> shown{"+100 mg",  "-100 mg",  "+040 mg", "+00.0 dg",
                                       "+00.0 dg", "045.0 dg", "007.5 dg"};
    EXPECT_EQ(view.dataBoxes, shown);
    EXPECT_EQ(view.frameCount, QStringLiteral("1.00e00"));
    EXPECT_EQ(view.frameRate, QStringLiteral("23.7 Frames/Sec"));  // 27 + CR: 3 cycles
    process(QStringLiteral("i 8 0 0 -1000 100 -100 40"));          // lower-case header
    EXPECT_EQ(view.frameCount, QStringLiteral("2.00e00"));
    EXPECT_EQ(view.frameRate, QStringLiteral("35.6 Frames/Sec"));  // 25 + CR: 2 cycles
    // The count wraps; the rate is rewritten only when it changes.
    decoder.setFrameCount(FrameDecoder::kFrameCountWrap);
    process(kAccelFrame, 2);
    EXPECT_EQ(view.frameCount, QStringLiteral("1.00e00"));
    EXPECT_EQ(view.frameRateWrites, 3);

    modes.mode = CalMode::Pendulum;  // six fields
    heading.restartSmoothing();
    process(QStringLiteral("I 7.5 100 -100 40 5.26 -46"));
    EXPECT_EQ(view.dataBoxes[3], QStringLiteral("+05.3 dg"));
    EXPECT_EQ(flagWord(), bitOf(InfoFlag::TiltOver10) | bitOf(InfoFlag::TiltOver45))
        << "the heading's tilt verdict reaches the flags";
    heading.restartSmoothing();
    process(QStringLiteral("I 7.5 100 -100 40 0 0"));
    EXPECT_EQ(flagWord(), 0);
}

TEST_F(FrameDecoderTest, RejectedFrames) {
    // A lone header clears flag 32 and leaves everything else as it is.
    flags.SetInfoMessage(InfoFlag::NoHeader);
    flags.SetInfoMessage(InfoFlag::FrameLength);
    process(QStringLiteral("\nI "));
    EXPECT_EQ(flagWord(), bitOf(InfoFlag::FrameLength));
    EXPECT_EQ(view.dataBoxWrites, 0);

    for (const QString& frame : {kAccelFrame + u' ', QStringLiteral("I 1 2 3 4 5 6")}) {
        flags.ClearInfoMessage(InfoFlag::FrameLength);
        process(frame);
        EXPECT_TRUE(flags.info(InfoFlag::FrameLength)) << frame.toStdString();
        EXPECT_TRUE(view.blank());
    }
    process(QStringLiteral("7.5 0 0 -1000 100 -100 40"));
    EXPECT_TRUE(flags.info(InfoFlag::NoHeader));
    EXPECT_TRUE(view.blank());
    EXPECT_EQ(view.frameCount, QStringLiteral("0"));

    // A field that is not a number ends the frame after flag 16 was cleared, before any display.
    const int writes = view.dataBoxWrites;
    EXPECT_THROW(process(QStringLiteral("I 7.5 0 0 -1000 1x0 -100 40")), TypeMismatchError);
    EXPECT_FALSE(flags.info(InfoFlag::FrameLength));
    EXPECT_THROW(process(QStringLiteral("I 7.5 0  -1000 100 -100 40")), TypeMismatchError);
    EXPECT_EQ(view.dataBoxWrites, writes);
}

TEST_F(FrameDecoderTest, GaugeRunsOnlyDuringATestAndHandsTheFocusOnce) {
    process(kAccelFrame);
    EXPECT_FALSE(view.gaugeShown);

    test.running = true;
    view.enabled[CalControl::btnGetData] = true;
    heading.restartSmoothing();  // unsmoothed from here on
    const QString north = QStringLiteral("I 7.5 0 0 -1000 100 -8 40");
    process(north, 2);
    EXPECT_TRUE(view.gaugeShown);
    EXPECT_NEAR(view.needle, 4.574, 0.001);  // atan(8 / 100)
    EXPECT_EQ(view.focusHandOffs, 1);

    // Shown again, but the Get Data button is off: no focus.
    view.enabled[CalControl::btnGetData] = false;
    view.gaugeShown = false;
    process(north);
    EXPECT_TRUE(view.gaugeShown);
    EXPECT_EQ(view.focusHandOffs, 1);
}

TEST_F(FrameDecoderTest, FrameHandledWhileTheModeCommandRunsLeavesTheOuterFrameIntact) {
    // Without accelerometers the frame is shown as received, after the mode command, during
    // which events run and another (here a bad) frame is processed.
    modes.onSelect = [&] {
        EXPECT_THROW(process(QStringLiteral("I 1 2 x 4 5 6 7")), TypeMismatchError);
    };
    process(QStringLiteral("I 7.5 1 2 0 4 5 6"));
    EXPECT_EQ(modes.pendCommands, 1);
    EXPECT_EQ(view.dataBoxes[6], QStringLiteral("006.0 dg"));
    EXPECT_EQ(view.frameCount, QStringLiteral("1.00e00"));
}

TEST_F(FrameDecoderTest, FiftyFirstFourFieldFrameSwitchesTheModeOncePerRun) {
    const QString shortFrame = QStringLiteral("I 1 2 3 4");
    process(shortFrame, 20);
    process(kAccelFrame);  // accepted frames do not reset the count
    process(shortFrame, 30);
    EXPECT_EQ(modes.pendCommands, 0);
    process(shortFrame);
    EXPECT_EQ(modes.pendCommands, 1);
    EXPECT_TRUE(flags.info(InfoFlag::FrameLength));

    modes.mode = CalMode::Pendulum;
    process(shortFrame, 100);
    EXPECT_EQ(modes.pendCommands + modes.accelCommands, 1);

    decoder.ChangeCalMode(true);  // from pendulum mode the switch goes to accelerometer mode
    process(shortFrame, 51);
    EXPECT_EQ(modes.accelCommands, 1);
}

struct FakeTerminal : TerminalSink {
    void ProcessData(const QString& text) override {
        if (fails) {
            throw RuntimeError(ErrorNumber::Overflow, QStringLiteral("Overflow"));
        }
        received += text;
    }
    QString received;
    bool fails = false;
};

class LiveSession : public test::SessionRig {
protected:
    LiveSession() {
        makeUnit(quietUnit());
        live().setTestStatus(&test);
        live().receivePath().setTerminalSink(&terminal);
    }
    LiveDataSession& live() { return session->liveData(); }
    MessageFlags& flags() { return live().flags(); }
    void update() { live().status().UpdateStatusMessages(); }
    // The live display as the frames left it (the window follows at the display rate).
    QString box(int slot) { return live().display().dataBoxCaption(slot); }
    QString count() { return live().display().frameCountCaption(); }
    // Bytes arrive and the event loop runs once.
    void receive(const QByteArray& bytes) {
        port->feed(bytes);
        clock.doEvents();
    }

    FakeTest test;
    FakeTerminal terminal;
    int resets = 0;
    DataTerminalSession terminalSession{link(), [this] { ++resets; }};
};

TEST_F(LiveSession, BytesGoToTheFramesOrToTheVisibleTerminalWithTheirPromptsAndFlags) {
    test.running = true;
    receive("I 7.5 0 0 -1000 ");
    receive("100 -100 40\r");
    EXPECT_EQ(count(), QStringLiteral("1.00e00"));
    EXPECT_FALSE(flags().info(InfoFlag::PressBeginTest)) << "a test is running";
    test.running = false;
    receive(kFrame);
    EXPECT_TRUE(flags().info(InfoFlag::PressBeginTest));

    live().receivePath().setTerminalVisible(true);
    receive(kFrame);
    EXPECT_EQ(terminal.received, QString::fromLatin1(kFrame));
    EXPECT_FALSE(flags().info(InfoFlag::PressBeginTest));
    EXPECT_EQ(flags().swMessageFlags(), bitOf(SwFlag::Receiving) | bitOf(SwFlag::RoutedToTerminal));

    // A failure of the terminal's processing is shown with its description (no title, no
    // icon), and the event goes on.
    flags().ClearSWMessage(SwFlag::RoutedToTerminal);
    terminal.fails = true;
    receive(kFrame);
    ASSERT_EQ(boxes.shown().size(), 1U);
    EXPECT_EQ(boxes.shown()[0].prompt, QStringLiteral("Overflow"));
    EXPECT_EQ(boxes.shown()[0].title, QString());
    EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::None);
    EXPECT_TRUE(flags().sw(SwFlag::RoutedToTerminal));
    terminal.fails = false;

    // Back from the terminal: frames again, and the terminal flag goes.
    live().receivePath().setTerminalVisible(false);
    receive(kFrame);
    EXPECT_EQ(live().decoder().frameCount(), 3);
    EXPECT_EQ(flags().swMessageFlags(), bitOf(SwFlag::Receiving));
}

TEST_F(LiveSession, AtMost301EventsPerTenthOfASecond) {
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

TEST_F(LiveSession, TheWindowFollowsAtTheDisplayRateAndEndsOnTheFinalValues) {
    // 200 frames in 2 s, as a fast unit sends them: every one is decoded and counted, the window's
    // labels are written at most 20 times a second, and the last frame's values are on screen.
    for (int i = 0; i < 200; ++i) {
        receive(QStringLiteral("I %1.0 0 0 -1000 100 -100 40\r").arg(i % 300).toLatin1());
        clock.runFor(10);
    }
    clock.runFor(DisplayThrottle::kDisplayIntervalMs);
    EXPECT_EQ(views.frameCount, QStringLiteral("2.00e02"));
    EXPECT_EQ(views.dataBoxes,
              (std::array<QString, 7>{box(0), box(1), box(2), box(3), box(4), box(5), box(6)}));
    EXPECT_LE(live().display().windowWrites(), 2 * 20 * 9 + 9);
    EXPECT_GT(views.dataBoxWrites, 20);
}

TEST_F(LiveSession, OtherEventsAndPortErrors) {
    flags().SetInfoMessage(InfoFlag::FrameLength);
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

TEST_F(LiveSession, SilenceIsReportedBetweenOneAndTwoSecondsAfterTheLastEvent) {
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

TEST_F(LiveSession, StatusTextsAreRewrittenOnlyWhenTheirFlagWordChanged) {
    update();
    EXPECT_EQ(views.softwareInfoWrites, 0);  // no traffic yet: the software area stays empty

    flags().SetSWMessage(SwFlag::Receiving);
    flags().SetInfoMessage(InfoFlag::PressBeginTest);
    update();
    EXPECT_EQ(views.information,
              QStringLiteral("1.  Press the Begin Test button to start a calibration.\r\n"));
    EXPECT_EQ(views.informationCaption,
              QStringLiteral("Transmitted Flags and Information - 1 msg."));
    const int infoWrites = views.informationWrites;
    flags().SetInfoMessage(InfoFlag::PressBeginTest);  // already set
    update();
    EXPECT_EQ(views.informationWrites, infoWrites);
    EXPECT_EQ(views.softwareInfoWrites, 1);

    // Without data the information list is blanked on every call.
    flags().ClearSWMessage(SwFlag::Receiving);
    update();
    update();
    EXPECT_EQ(views.softwareInfoWrites, 2);
    EXPECT_EQ(views.information, QString());
    EXPECT_EQ(views.informationCaption, QStringLiteral("Transmitted Flags and Information"));
    EXPECT_EQ(views.informationWrites, infoWrites + 2);
}

TEST_F(LiveSession, TiltFlagsRaiseTheBadgeAndEachPopupOncePerRun) {
    bool shownWhileOpen = true;
    views.whilePopupOpen = [&] { shownWhileOpen = live().status().tiltCautionShown(); };
    flags().SetInfoMessage(InfoFlag::TiltOver10);
    update();
    EXPECT_FALSE(shownWhileOpen);  // set only when the pop-up call returns
    EXPECT_EQ(views.badge, QStringLiteral("CAUTION"));
    EXPECT_EQ(views.badgeColour, (Rgb{255, 255, 0}));
    flags().SetInfoMessage(InfoFlag::TiltOver45);
    update();
    EXPECT_EQ(views.badge, QStringLiteral("WARNING"));
    EXPECT_EQ(views.badgeColour, (Rgb{253, 53, 43}));
    flags().ClearInfoMessage(InfoFlag::TiltOver10);
    flags().ClearInfoMessage(InfoFlag::TiltOver45);
    update();
    EXPECT_TRUE(views.badge.isEmpty());
    flags().SetInfoMessage(InfoFlag::TiltOver10);
    flags().SetInfoMessage(InfoFlag::TiltOver45);
    update();

    ASSERT_EQ(views.popups.size(), 2u);
    const auto& [caution, warning] = std::tie(views.popups[0], views.popups[1]);
    EXPECT_EQ(caution.title, QStringLiteral("Unit off level!"));
    EXPECT_EQ(
        caution.message,
        QStringLiteral("Caution! The unit is tilted over 10 degrees from level.\r\nCalibration "
                       "accuracy will be degraded. We recommend that the unit be leveled "
                       "before calibration."));
    EXPECT_EQ(std::tie(caution.flags, caution.countdownSeconds, caution.modal),
              std::make_tuple(3, 0, 1));
    EXPECT_EQ(warning.title, QStringLiteral("Unit off level!"));
    EXPECT_EQ(warning.message,
              QStringLiteral("Warning! The unit is tilted over 45 degrees from level.\r\nThe "
                             "pendulums are outside their operating range.  Do not attempt to "
                             "calibrate the unit until it has been leveled."));
    EXPECT_EQ(warning.flags, 1);
}

TEST_F(LiveSession, DataTerminalATypedCharacterIsSentOnceAndModifiersLeaveKeysAlone) {
    EXPECT_TRUE(terminalSession.keyPress(QLatin1Char('x')));
    EXPECT_EQ(system.bytesWritten(1), QByteArray("x"));
    terminalSession.keyDown(true);
    EXPECT_FALSE(terminalSession.keyPress(QLatin1Char('c')));
    EXPECT_EQ(system.bytesWritten(1), QByteArray("x"));
}

TEST_F(LiveSession, DataTerminalClosingBlanksTheValuesAndPutsAnIdentifiedUnitIntoDecimalOutput) {
    unit->setFormat(unitsim::OutputFormat::Binary);
    terminalSession.Unload();
    EXPECT_EQ(resets, 1);
    EXPECT_TRUE(system.writes().empty()) << "no unit identified: nothing to put back";

    ASSERT_TRUE(link().fInit(true));
    system.clearWrites();
    terminalSession.Unload();
    EXPECT_EQ(resets, 2);
    EXPECT_EQ(unit->format(), unitsim::OutputFormat::Decimal);
    EXPECT_EQ(system.bytesWritten(1).left(5), QByteArray("\x7B\x00\x0C\x3A\x3A", 5))
        << "write access first";
}

}  // namespace
}  // namespace tarquel
