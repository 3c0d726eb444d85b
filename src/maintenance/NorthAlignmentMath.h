#pragma once

#include <QString>

namespace tarquel {

// The arithmetic of north alignment. The unit's two heading-rotation words hold signed 16-bit
// angles where 65535 counts stand for 359.9999 degrees (about -180 to +180 degrees).
namespace NorthMath {

constexpr double kDegreesPerFullScale = 359.9999;
constexpr double kCountsPerFullScale = 65535;

// The angle of a rotation word's signed value in degrees, rounded to 3 decimals, ties to even
// (3641 -> 20.001).
double RotationAngle(int count);

// The present heading expressed in -180 to 180: above 180 it is taken 360 lower (180 stays 180,
// 180.1 becomes -179.9).
double SignedHeading(double heading);

// The count of a correction in degrees, rounded to the nearest integer with ties to even; a count
// above 32767 is taken 65536 lower. Not range-checked: HexWord rejects what is still outside 16
// bits.
double CorrectionCount(double degrees);

}  // namespace NorthMath

// What north alignment works out from the two rotation words and the present heading, and the
// figures its question shows.
struct NorthAlignmentFigures {
    double heading = 0;            // H: the present heading in -180 to 180
    double currentCorrection = 0;  // C: the angles of the two rotation words added
    double correctionToAdd = 0;    // D = H - C
    double count = 0;              // N: D in counts
    QString hexCorrection;         // HexWord(N)
};

// The figures for rotation words a (heading offset) and b (north rotation), both signed, and the
// present heading as displayed (0 to 360). Throws OverflowError when the count does not fit in 16
// bits even after the 65536 adjustment.
NorthAlignmentFigures ComputeNorthAlignment(int headingOffset, int northRotation,
                                            double presentHeading);

// The add-to-word command for the north rotation word: "#", the short address (the last two
// digits of the address in the B600 family, the last three in the 1600 family) and the hex
// correction ("#8AEAAB", "#6BE4000").
QString NorthAddCommand(const QString& northRotationWord, bool isB600Family,
                        const QString& hexCorrection);

// The prompt of the "Write to North Alignment to EEPROM?" question, lines joined by CR LF, the
// angles in the pictures "000.0" and "000.000" with a minus sign in front of negative values.
QString NorthAlignmentQuestion(const NorthAlignmentFigures& figures);

}  // namespace tarquel
