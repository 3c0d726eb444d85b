#include "maintenance/NorthAlignmentMath.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>
#include <QStringList>

namespace tarquel {
namespace {

TEST(NorthAlignmentFigures, WorkedExamplesEdgeHeadingsAndNegativeFigures) {
    struct Case {
        int offset, rotation;  // the two rotation words, signed
        double shown;          // the displayed calculated heading
        int count;
        const char* figureLines;  // heading, current correction, correction to add, hex
    };
    const Case cases[] = {
        // 0000 / 0E39 at 350.0: the north rotation becomes 3641 - 5461 = -1820.
        {0, 3641, 350.0, -5461, "-010.0|020.001|-030.001|EAAB"},
        {0, 0, 90.0, 16384, "090.0|000.000|090.000|4000"},
        // 180 stays +180, whose count 32768 wraps to -32768; 180.1 is -179.9.
        {0, 0, 180.0, -32768, "180.0|000.000|180.000|8000"},
        {0, 0, 180.1, -32749, "-179.9|000.000|-179.900|8013"},
        {-1820, 0, 349.5, -91, "-010.5|-009.998|-000.502|FFA5"},
        // Both rotations near -180: D = 179 + 360 is above 32767 counts and wraps.
        {-32768, -32767, 179.0, 32584, "179.0|-360.000|539.000|7F48"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        const NorthAlignmentFigures f = ComputeNorthAlignment(c.offset, c.rotation, c.shown);
        EXPECT_EQ(f.count, c.count);
        const QStringList n = QString::fromLatin1(c.figureLines).split(QLatin1Char('|'));
        EXPECT_EQ(f.hexCorrection, n[3]);
        const QString block = QStringLiteral(
                                  "Current Heading:  %1\r\nCurrent Alignment Correction:  %2\u00B0"
                                  "\r\nAlignment Correction to Add:  %3\u00B0   \r\n"
                                  "Hex Correction to Add:  %4\r\n\r\n")
                                  .arg(n[0], n[1], n[2], n[3]);
        EXPECT_TRUE(NorthAlignmentQuestion(f).contains(block))
            << NorthAlignmentQuestion(f).toStdString();
    }
    // Both rotations near +180 and a heading of -179.9: about -540 degrees, beyond 16 bits.
    EXPECT_THROW(ComputeNorthAlignment(32767, 32767, 180.1), OverflowError);
}

TEST(NorthAlignmentFigures, QuestionTextAndAddCommandsOfBothFamilies) {
    const NorthAlignmentFigures f = ComputeNorthAlignment(0, 0x0E39, 350.0);
    EXPECT_EQ(NorthAlignmentQuestion(f),
              QStringLiteral("This routine will align the unit to the heading shown below.\r\n"
                             "The unit will see this heading as 'North'.\r\n\r\n"
                             "Current Heading:  -010.0\r\n"
                             "Current Alignment Correction:  020.001\u00B0\r\n"
                             "Alignment Correction to Add:  -030.001\u00B0   \r\n"
                             "Hex Correction to Add:  EAAB\r\n\r\n"
                             "Do you want to add this correction to the EEPROM?"));
    EXPECT_EQ(NorthAddCommand(QStringLiteral("B68A"), true, f.hexCorrection),
              QStringLiteral("#8AEAAB"));
    EXPECT_EQ(NorthAddCommand(QStringLiteral("16BE"), false, QStringLiteral("4000")),
              QStringLiteral("#6BE4000"));
}

}  // namespace
}  // namespace tarquel
