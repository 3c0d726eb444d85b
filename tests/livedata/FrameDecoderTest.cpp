// The frame decoder: header and field checks, the pipeline from the fields to the display, the
// gauge during a test and the automatic mode switch.
#include "livedata/FrameDecoder.h"
#include "platform/Errors.h"
#include "platform/FakeSerialPort.h"
#include "support/RecordingViews.h"

#include <gtest/gtest.h>
#include <functional>

namespace tarquel {
namespace {

TEST(FrameFields, CountingAndNumberSyntax) {
    EXPECT_EQ(fCharsInString(u"aaaa", u"aa", 0), 3);  // overlapping matches count
    EXPECT_EQ(fCharsInString(u"xAbab", u"ab", 0), 1);
    EXPECT_EQ(fCharsInString(u"xAbab", u"ab", 1), 2);

    // clang-format off
    const std::pair<const char16_t*, double> good[] = {
        {u"12", 12}, {u"-3.5", -3.5}, {u"+.5", 0.5}, {u"7.", 7}, {u"-0", 0}, {u"000123.250", 123.25}};
    // clang-format on
    for (const auto& [text, value] : good) {
        EXPECT_DOUBLE_EQ(ParseFieldValue(text), value);
    }
    for (const char16_t* bad :
         {u"", u"-", u".", u"1e3", u"1,5", u"12a", u"\n5", u"--1", u"1.2.3", u"0x1F", u"\x00B9"}) {
        EXPECT_THROW(ParseFieldValue(bad), TypeMismatchError)
            << QString::fromUtf16(bad).toStdString();
    }
    EXPECT_THROW(ParseFieldValue(QString(400, u'9')), OverflowError);
    EXPECT_EQ(ParseFieldValue(QStringLiteral("0.") + QString(400, u'0') + QStringLiteral("1")), 0);
}

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
    int accelCommands = 0;
    int pendCommands = 0;
    std::function<void()> onSelect;
};

struct FakeTest : TestStatus {
    bool testRunning() const override { return running; }
    bool running = false;
};

class FrameDecoderTest : public testing::Test {
protected:
    FrameDecoderTest() {
        link.setDataFormat(DataFormat::Decimal);
        decoder.setTestStatus(&test);
    }

    void process(const QString& text) {
        QString frame = text;
        decoder.ProcessData(frame);
    }
    quint16 flagWord() const { return flags.infoMessageFlags(); }

    VirtualClock clock;
    FakePortSystem system{clock};
    FakeSerialPort port{system};
    ScriptedMessageBoxes boxes;
    UnitLink link{port, clock, boxes};
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

    process(QStringLiteral("i 8 0 0 -1000 100 -100 40"));  // lower-case header
    EXPECT_EQ(view.frameCount, QStringLiteral("2.00e00"));

    modes.mode = CalMode::Pendulum;
    process(kAccelFrame);  // seven fields where six are expected
    EXPECT_TRUE(flags.info(InfoFlag::FrameLength));
    EXPECT_TRUE(view.blank());
    heading.restartSmoothing();
    process(QStringLiteral("I 7.5 100 -100 40 5.26 -46"));
    EXPECT_FALSE(flags.info(InfoFlag::FrameLength));
    EXPECT_EQ(view.dataBoxes[3], QStringLiteral("+05.3 dg"));
    EXPECT_EQ(view.frameCount, QStringLiteral("3.00e00"));
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

    for (const QString& frame : {kAccelFrame + u' ', QStringLiteral("I 1 2 3 4 5 6"),
                                 QStringLiteral("I 1 2 3 4 5 6 7 8"), QStringLiteral("I 1")}) {
        flags.ClearInfoMessage(InfoFlag::FrameLength);
        process(frame);
        EXPECT_TRUE(flags.info(InfoFlag::FrameLength)) << frame.toStdString();
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
    process(north);
    EXPECT_TRUE(view.gaugeShown);
    EXPECT_NEAR(view.needle, 4.574, 0.001);  // atan(8 / 100)
    process(north);
    EXPECT_EQ(view.focusHandOffs, 1);

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

TEST_F(FrameDecoderTest, FrameCountWrapsAndTheRateIsRewrittenOnlyWhenItChanges) {
    decoder.setFrameCount(FrameDecoder::kFrameCountWrap);
    process(kAccelFrame);
    EXPECT_EQ(view.frameCount, QStringLiteral("1.00000001e08"));
    process(kAccelFrame);
    EXPECT_EQ(view.frameCount, QStringLiteral("1.00e00"));
    EXPECT_EQ(view.frameRateWrites, 1);
    process(kAccelFrame + QStringLiteral("00000000000000"));  // 41 + CR characters: 4 cycles
    EXPECT_EQ(view.frameRate, QStringLiteral("17.8 Frames/Sec"));
}

TEST_F(FrameDecoderTest, FiftyFirstFourFieldFrameSwitchesTheModeOncePerRun) {
    const QString shortFrame = QStringLiteral("I 1 2 3 4");
    for (int i = 0; i < 50; ++i) {
        process(i == 20 ? kAccelFrame : shortFrame);  // accepted frames do not reset the count
    }
    process(shortFrame);
    EXPECT_EQ(modes.pendCommands, 0);
    process(shortFrame);
    EXPECT_EQ(modes.pendCommands, 1);
    EXPECT_TRUE(flags.info(InfoFlag::FrameLength));

    modes.mode = CalMode::Pendulum;
    for (int i = 0; i < 100; ++i) {
        process(shortFrame);
    }
    EXPECT_EQ(modes.pendCommands + modes.accelCommands, 1);

    decoder.ChangeCalMode(true);  // from pendulum mode the switch goes to accelerometer mode
    for (int i = 0; i < 51; ++i) {
        process(shortFrame);
    }
    EXPECT_EQ(modes.accelCommands, 1);
}

}  // namespace
}  // namespace tarquel
