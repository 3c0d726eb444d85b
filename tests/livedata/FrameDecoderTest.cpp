#include "FakeCalModeCommands.h"
#include "LiveFakes.h"
#include "RecordingGauge.h"
#include "livedata/FrameDecoder.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

using test::FakeCalModeCommands;
using test::FakeLiveView;
using test::RecordingGauge;

TEST(FrameFields, CharsInStringCountsOverlappingMatches) {
    EXPECT_EQ(fCharsInString(u"I 1 2 3", u" ", 1), 3);
    EXPECT_EQ(fCharsInString(u"aaaa", u"aa", 0), 3);
    EXPECT_EQ(fCharsInString(u"xAbab", u"ab", 0), 1);
    EXPECT_EQ(fCharsInString(u"xAbab", u"ab", 1), 2);
    EXPECT_EQ(fCharsInString(u"abc", u"", 1), 0);
}

TEST(FrameFields, AcceptedNumberSyntax) {
    struct Good {
        const char16_t* text;
        double value;
    };
    const Good good[] = {{u"12", 12}, {u"-3.5", -3.5}, {u"+.5", 0.5},          {u"7.", 7},
                         {u"0", 0},   {u"-0", 0},      {u"000123.250", 123.25}};
    for (const Good& g : good) {
        EXPECT_DOUBLE_EQ(ParseFieldValue(g.text), g.value)
            << QString::fromUtf16(g.text).toStdString();
    }
    for (const char16_t* bad : {u"", u"-", u".", u"1e3", u"1,5", u"12a", u"\n5", u"5\n", u"--1",
                                u"1.2.3", u"0x1F", u"\x00B9"}) {
        EXPECT_THROW(ParseFieldValue(bad), TypeMismatchError)
            << QString::fromUtf16(bad).toStdString();
    }
    EXPECT_THROW(ParseFieldValue(QString(400, QLatin1Char('9'))), OverflowError);
    EXPECT_DOUBLE_EQ(ParseFieldValue(QStringLiteral("0.") + QString(400, QLatin1Char('0')) +
                                     QStringLiteral("1")),
                     0);
}

class FrameDecoderTest : public testing::Test {
protected:
    FrameDecoderTest() { state.dataFormat = DataFormat::Decimal; }

    void process(const QString& text) {
        QString frame = text;
        decoder.ProcessData(frame);
    }

    SharedState state;
    ScriptedMessageBoxes boxes;
    FakeCalModeCommands modes;
    RecordingGauge gauge;
    FakeLiveView view;
    HeadingCalculator heading{state, boxes, modes};
    CalGaugeDriver gaugeDriver{gauge};
    FrameDecoder decoder{state, heading, gaugeDriver, modes, view};
};

// Unit heading 7.5, level, field along +X and -Y: calculated heading 45.
const QString kAccelFrame = QStringLiteral("I 7.5 0 0 -1000 100 -100 40");
const QString kPendFrame = QStringLiteral("I 7.5 100 -100 40 5.26 -3");

TEST_F(FrameDecoderTest, AcceptedFrameRunsThePipelineToTheDisplay) {
    state.messages.SetInfoMessage(InfoFlag::NoHeader | InfoFlag::FrameLength);
    process(kAccelFrame);
    EXPECT_EQ(state.messages.infoMessageFlags, 0);
    EXPECT_EQ(view.dataBoxes[0], QStringLiteral("+100 mg"));
    EXPECT_EQ(view.dataBoxes[1], QStringLiteral("-100 mg"));
    EXPECT_EQ(view.dataBoxes[2], QStringLiteral("+040 mg"));
    EXPECT_EQ(view.dataBoxes[3], QStringLiteral("+00.0 dg"));
    EXPECT_EQ(view.dataBoxes[5], QStringLiteral("045.0 dg"));
    EXPECT_EQ(view.dataBoxes[6], QStringLiteral("007.5 dg"));
    EXPECT_EQ(view.frameCount, QStringLiteral("1.00e00"));
    EXPECT_EQ(view.frameRate, QStringLiteral("23.7 Frames/Sec"));  // 27 characters + CR: 3 cycles
    EXPECT_TRUE(state.channelFilterPrimed);

    state.calMode = CalMode::Pendulum;
    process(kAccelFrame);  // seven fields where six are expected
    EXPECT_TRUE(state.messages.info(InfoFlag::FrameLength));
    EXPECT_TRUE(view.blank());
    EXPECT_EQ(view.frameCount, QStringLiteral("1.00e00"));

    state.channelFilterPrimed = false;
    process(kPendFrame);
    EXPECT_FALSE(state.messages.info(InfoFlag::FrameLength));
    EXPECT_EQ(view.dataBoxes[3], QStringLiteral("+05.3 dg"));
    EXPECT_EQ(view.dataBoxes[4], QStringLiteral("-03.0 dg"));
    EXPECT_EQ(view.frameCount, QStringLiteral("2.00e00"));
}

TEST_F(FrameDecoderTest, HeaderSearch) {
    // Anything before the header is dropped and not counted in the frame length.
    process(QStringLiteral("\nxx 1 2 ") + kAccelFrame);
    EXPECT_EQ(view.dataBoxes[6], QStringLiteral("007.5 dg"));
    EXPECT_EQ(view.frameRate, QStringLiteral("23.7 Frames/Sec"));

    process(QStringLiteral("i 8 0 0 -1000 100 -100 40"));
    EXPECT_EQ(view.frameCount, QStringLiteral("2.00e00"));

    // A lone header clears flag 32 and leaves everything else as it is.
    state.messages.SetInfoMessage(InfoFlag::NoHeader | InfoFlag::FrameLength);
    process(QStringLiteral("\nI "));
    EXPECT_EQ(state.messages.infoMessageFlags, InfoFlag::FrameLength);
    EXPECT_FALSE(view.blank());

    process(QStringLiteral("7.5 0 0 -1000 100 -100 40"));
    EXPECT_TRUE(state.messages.info(InfoFlag::NoHeader));
    EXPECT_TRUE(view.blank());
    process(kAccelFrame);
    EXPECT_FALSE(state.messages.info(InfoFlag::NoHeader));
}

TEST_F(FrameDecoderTest, FieldCountIsTheNumberOfSpaces) {
    for (const QString& frame : {kAccelFrame + QLatin1Char(' '), QStringLiteral("I 1 2 3 4 5 6"),
                                 QStringLiteral("I 1 2 3 4 5 6 7 8"), QStringLiteral("I 1")}) {
        SCOPED_TRACE(frame.toStdString());
        state.messages.infoMessageFlags = 0;
        process(frame);
        EXPECT_TRUE(state.messages.info(InfoFlag::FrameLength));
    }
    EXPECT_EQ(view.frameCount, QStringLiteral("0"));
}

TEST_F(FrameDecoderTest, BadFieldEndsTheFrameBeforeAnythingIsShown) {
    state.messages.SetInfoMessage(InfoFlag::FrameLength);
    EXPECT_THROW(process(QStringLiteral("I 7.5 0 0 -1000 1x0 -100 40")), TypeMismatchError);
    EXPECT_FALSE(state.messages.info(InfoFlag::FrameLength));
    EXPECT_THROW(process(QStringLiteral("I 7.5 0  -1000 100 -100 40")), TypeMismatchError);
    EXPECT_EQ(view.dataBoxWrites, 0);
    EXPECT_EQ(view.frameCount, QStringLiteral("0"));
}

TEST_F(FrameDecoderTest, GaugeRunsOnlyDuringATestAndHandsTheFocusOnce) {
    process(kAccelFrame);
    EXPECT_FALSE(gauge.shown);

    state.testState = kTestRunning;
    view.getDataButtonEnabled = true;
    state.channelFilterPrimed = false;  // unsmoothed from here on
    process(QStringLiteral("I 7.5 0 0 -1000 100 -8 40"));
    EXPECT_TRUE(gauge.shown);
    EXPECT_EQ(view.focusHandOffs, 1);
    EXPECT_NEAR(gauge.needle, 4.574, 0.001);  // atan(8 / 100)
    process(QStringLiteral("I 7.5 0 0 -1000 100 -8 40"));
    EXPECT_EQ(view.focusHandOffs, 1);

    view.getDataButtonEnabled = false;
    gauge.shown = false;
    process(QStringLiteral("I 7.5 0 0 -1000 100 -8 40"));
    EXPECT_TRUE(gauge.shown);
    EXPECT_EQ(view.focusHandOffs, 1);
}

TEST_F(FrameDecoderTest, FrameCountWrapsAfterOneHundredMillion) {
    decoder.setFrameCount(FrameDecoder::kFrameCountWrap);
    process(kAccelFrame);
    EXPECT_EQ(view.frameCount, QStringLiteral("1.00000001e08"));
    process(kAccelFrame);
    EXPECT_EQ(decoder.frameCount(), 1);
    EXPECT_EQ(view.frameCount, QStringLiteral("1.00e00"));
}

TEST_F(FrameDecoderTest, FrameRateCaptionIsRewrittenOnlyWhenTheRateChanges) {
    process(kAccelFrame);
    process(kAccelFrame);
    EXPECT_EQ(view.frameRateWrites, 1);
    process(kAccelFrame + QStringLiteral("00000000000000"));  // 41 characters + CR: 4 cycles
    EXPECT_EQ(view.frameRate, QStringLiteral("17.8 Frames/Sec"));
    EXPECT_EQ(view.frameRateWrites, 2);
}

TEST_F(FrameDecoderTest, FiftyFirstFourFieldFrameSwitchesTheModeOncePerRun) {
    const QString shortFrame = QStringLiteral("I 1 2 3 4");
    for (int i = 0; i < 50; ++i) {
        process(shortFrame);
        if (i == 20) {
            process(kAccelFrame);  // accepted frames do not reset the count
        }
    }
    EXPECT_EQ(modes.pendClicks, 0);
    process(shortFrame);
    EXPECT_EQ(modes.pendClicks, 1);
    EXPECT_EQ(modes.accelClicks, 0);
    EXPECT_TRUE(state.messages.info(InfoFlag::FrameLength));

    state.calMode = CalMode::Pendulum;
    for (int i = 0; i < 100; ++i) {
        process(shortFrame);
    }
    EXPECT_EQ(modes.pendClicks + modes.accelClicks, 1);
    EXPECT_EQ(decoder.calModeMismatchCount(), 50);

    decoder.ChangeCalMode(true);  // from pendulum mode the switch goes to accelerometer mode
    for (int i = 0; i < 51; ++i) {
        process(shortFrame);
    }
    EXPECT_EQ(modes.accelClicks, 1);
}

}  // namespace
}  // namespace tarquel
