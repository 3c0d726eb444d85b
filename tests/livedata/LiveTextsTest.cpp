// Frame assembly, the frame fields' number syntax and the texts of the live display, the status
// areas and the data terminal.
#include "livedata/DataTerminalSession.h"
#include "livedata/DisplayFormat.h"
#include "livedata/FrameAssembler.h"
#include "livedata/FrameDecoder.h"
#include "livedata/StatusMessages.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>
#include <QStringList>

namespace tarquel {
namespace {

// Records the frames; a frame containing "bad" fails like a field that is not a number.
struct RecordingProcessor : FrameProcessor {
    void ProcessData(QString& frame) override {
        frames << frame;
        if (frame.contains(QLatin1String("bad"))) {
            throw TypeMismatchError();
        }
    }
    QStringList frames;
};

TEST(FrameAssembler, CarriageReturnsCutFramesOfMoreThanThreeCharacters) {
    const std::tuple<QStringList, QStringList, QString> rows[] = {
        {{"ab\rcdef\r"}, {"abcdef"}, ""},  // the first carriage return is dropped
        {{"abc\r"}, {}, "abc"},
        {{"I 1 2\r\nI 3 4\r\nI 5"}, {"I 1 2", "\nI 3 4"}, "\nI 5"},
        {{"I 1 ", "2 3", "\rI 4"}, {"I 1 2 3"}, "I 4"},  // a CR first in an event ends the frame
        {{"I 1 bad\rI 2 ok\r"}, {"I 1 bad", "I 2 ok"}, ""},  // a failing frame is dropped alone
    };
    for (const auto& [events, frames, left] : rows) {
        RecordingProcessor processor;
        FrameAssembler assembler(processor);
        for (const QString& event : events) {
            assembler.CreateFrame(event);
        }
        EXPECT_EQ(processor.frames, frames) << events.join(u'|').toStdString();
        EXPECT_EQ(assembler.frameBuffer(), left) << events.join(u'|').toStdString();
    }
}

TEST(DisplayFormat, ChannelValuesFrameCountAndFrameRate) {
    // clang-format off
    const std::tuple<int, double, const char*> rows[] = {
        {0, 12.4, "+012 mg"}, {0, 0.5, "+001 mg"}, {0, -0.5, "-001 mg"}, {0, 2.5, "+003 mg"},
        {0, -0.4, "-000 mg"}, {0, -0.0, "+000 mg"}, {2, 1234.5, "+1235 mg"}, {1, 999.5, "+1000 mg"},
        {3, 5.26, "+05.3 dg"}, {4, -5.25, "-05.3 dg"}, {4, -0.04, "-00.0 dg"}, {6, -5, "-005.0 dg"},
        {3, 89.96, "+90.0 dg"}, {5, 7.5, "007.5 dg"}, {6, 359.95, "360.0 dg"}, {1, -3.7, "-004 mg"},
        {5, 0.05, "000.1 dg"}, {5, 1e-20, "000.0 dg"}, {6, 12345.67, "12345.7 dg"}};
    // clang-format on
    for (const auto& [slot, value, text] : rows) {
        EXPECT_EQ(FormatChannelValue(slot, value), QLatin1String(text)) << value;
    }

    // clang-format off
    const std::pair<qint32, const char*> counts[] = {
        {1, "1.00e00"}, {15, "1.50e01"}, {1234, "1.234e03"}, {12345678, "1.2345678e07"},
        {100000000, "1.00e08"}, {100000001, "1.00000001e08"}};
    // clang-format on
    for (const auto& [count, text] : counts) {
        EXPECT_EQ(FormatFrameCount(count), QLatin1String(text));
    }

    constexpr DataFormat none = DataFormat::Unknown;
    constexpr DataFormat decimal = DataFormat::Decimal;
    // clang-format off
    const std::tuple<int, DataFormat, double> rates[] = {
        {50, decimal, 17.8}, {13, decimal, 35.6}, {13, DataFormat::Binary, 35.6},  // + the CR
        {13, none, 71.1}, {27, none, 35.6}, {28, none, 23.7}, {32767, none, 0.0}};
    // clang-format on
    for (const auto& [length, format, rate] : rates) {
        EXPECT_DOUBLE_EQ(FrameRateFor(length, format), rate) << length;
    }
    EXPECT_THROW(FrameRateFor(32767, decimal), OverflowError);
    EXPECT_THROW(FrameRateFor(0, none), DivisionByZeroError);

    EXPECT_EQ(FrameRateCaption(71.1), QStringLiteral("71.1 Frames/Sec"));
    EXPECT_EQ(FrameRateCaption(8.0), QStringLiteral("8 Frames/Sec"));
    // clang-format off
    const std::pair<const char*, double> numbers[] = {
        {"17.8 Frames/Sec", 17.8}, {"-3.5x", -3.5}, {"+12", 12}, {"Frames", 0}, {"1.2.3", 1.2},
        {".5 mg", 0.5}};
    // clang-format on
    for (const auto& [text, value] : numbers) {
        EXPECT_DOUBLE_EQ(LeadingNumber(QString::fromLatin1(text)), value) << text;
    }
}

TEST(FrameFields, CountingAndNumberSyntax) {
    EXPECT_EQ(fCharsInString(u"aaaa", u"aa", 0), 3);  // overlapping matches count
    EXPECT_EQ(fCharsInString(u"xAbab", u"ab", 0), 1);
    EXPECT_EQ(fCharsInString(u"xAbab", u"ab", 1), 2);

    // clang-format off
    const std::pair<const char16_t*, double> good[] = {
        {u"12", 12}, {u"-3.5", -3.5}, {u"+.5", 0.5}, {u"7.", 7}, {u"-0", 0}, {u"0123.250", 123.25}};
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

TEST(StatusTexts, InformationLinesInTheirOrderWithNumbersAndLineEnds) {
    using enum InfoFlag;
    const std::tuple<quint16, DataFormat, QString, int> rows[] = {
        {static_cast<quint16>(~bitOf(TiltOver45)),  // bits without a line are left alone
         DataFormat::Decimal,
         QStringLiteral(
             "1.  Caution! Unit angle over 10 dg. Cal accuracy degraded.\r\n"
             "2.  Press the Begin Test button to start a calibration.\r\n"
             "3.  A framelength error has been detected. Try switching the calibration mode "
             "settings in the options menu.\r\n"
             "4.  Point the vehicle so that the calculated heading reads 0, 90, 180 or 270.\r\n"
             "Then press 'Enter' to collect the calibration data.\r\n"
             "5.  Data collection complete. Press 'EEPROM' to calibrate the unit.\r\n"
             "6.  Unit calibrated. Press 'End Test' to reset the unit for normal operation.\r\n"
             "7.  No frame headers received."),
         7},
        {bitOf(TiltOver10) | bitOf(TiltOver45), DataFormat::Decimal,
         QStringLiteral("1.  Warning! Pendulums outside working range. \r\n"), 1},
        {bitOf(NoHeader), DataFormat::Binary,
         QStringLiteral("1.  Unit is in Binary Mode. Make sure to verify that the full scale range "
                        "of all data is correct. Select 'Properties' from the Communications "
                        "menu.\r\n"),
         1},
    };
    for (const auto& [flags, format, text, count] : rows) {
        const InformationText info = ComposeInformation(flags, format);
        EXPECT_EQ(info.text, text) << flags;
        EXPECT_EQ(info.count, count) << flags;
    }
    EXPECT_EQ(InformationCaption(2), QStringLiteral("Transmitted Flags and Information - 2 msg."));
    EXPECT_EQ(InformationCaption(0), QStringLiteral("Transmitted Flags and Information"));
    EXPECT_EQ(SoftwareStatusText(bitOf(SwFlag::Receiving) | bitOf(SwFlag::RoutedToTerminal)),
              QStringLiteral("Receiving Data.\rData routed to terminal display."));
}

TEST(TerminalText, LineEndsBecomeCrLfAndOver7300CharactersTheTextKeepsItsEndFromCharacter2000) {
    const std::pair<const char*, const char*> cases[] = {
        {"a\r\nb", "a\r\nb"},      // CR LF comes back unchanged
        {"a\nb", "ab"},            // a lone line feed disappears
        {"a\rb\r", "a\r\nb\r\n"},  // each CR gains its LF
    };
    for (const auto& [received, shown] : cases) {
        EXPECT_EQ(TerminalText::displayForm(QString::fromLatin1(received)), QLatin1String(shown))
            << received;
    }

    TerminalText text;
    text.ProcessData(QString(7300, u'a'));
    // Exactly 7300: not over the limit, so the next data is appended.
    const TerminalText::Update second = text.ProcessData(u"b");
    EXPECT_FALSE(second.replaceAll);
    EXPECT_EQ(second.text, QStringLiteral("b"));
    // 7301: the first 1999 characters go, then the new data is added.
    const TerminalText::Update third = text.ProcessData(u"c\r");
    EXPECT_TRUE(third.replaceAll);
    EXPECT_EQ(third.text, QString(5301, u'a') + QStringLiteral("bc\r\n"));
}

}  // namespace
}  // namespace tarquel
