#include "maintenance/NorthAlignmentMath.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

TEST(NorthAlignmentFigures, WorkedExamplesEdgeHeadingsAndTheAddCommand) {
    struct Case {
        int offset, rotation;  // the two rotation words, signed
        double shown;          // the displayed calculated heading
        int count;
        const char *heading, *current, *toAdd, *hex;  // as the question shows them
    };
    const Case cases[] = {
        // 0000 / 0E39 at 350.0: the north rotation becomes 3641 - 5461 = -1820.
        {0, 3641, 350.0, -5461, "-010.0", "020.001", "-030.001", "EAAB"},
        // 180 stays +180, whose count 32768 wraps to -32768; 180.1 is -179.9.
        {0, 0, 180.0, -32768, "180.0", "000.000", "180.000", "8000"},
        {0, 0, 180.1, -32749, "-179.9", "000.000", "-179.900", "8013"},
        {-1820, 0, 349.5, -91, "-010.5", "-009.998", "-000.502", "FFA5"},
        // Both rotations near -180: D = 179 + 360 is above 32767 counts and wraps.
        {-32768, -32767, 179.0, 32584, "179.0", "-360.000", "539.000", "7F48"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        const NorthAlignmentFigures f = ComputeNorthAlignment(c.offset, c.rotation, c.shown);
        EXPECT_EQ(f.count, c.count);
        EXPECT_EQ(f.hexCorrection, QLatin1String(c.hex));
        EXPECT_EQ(NorthAlignmentQuestion(f),
                  QStringLiteral("This routine will align the unit to the heading shown below.\r\n"
                                 "The unit will see this heading as 'North'.\r\n\r\n"
                                 "Current Heading:  %1\r\n"
                                 "Current Alignment Correction:  %2\u00B0\r\n"
                                 "Alignment Correction to Add:  %3\u00B0   \r\n"
                                 "Hex Correction to Add:  %4\r\n\r\n"
                                 "Do you want to add this correction to the EEPROM?")
                      .arg(QLatin1String(c.heading), QLatin1String(c.current),
                           QLatin1String(c.toAdd), QLatin1String(c.hex)));
    }
    // Both rotations near +180 and a heading of -179.9: about -540 degrees, beyond 16 bits.
    EXPECT_THROW(ComputeNorthAlignment(32767, 32767, 180.1), OverflowError);
    // The 1600 family's short address has three digits (the B600 one is the session's test).
    EXPECT_EQ(NorthAddCommand(QStringLiteral("16BE"), false, QStringLiteral("4000")),
              QStringLiteral("#6BE4000"));
}

}  // namespace
}  // namespace tarquel
