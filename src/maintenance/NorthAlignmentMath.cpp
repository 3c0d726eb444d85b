#include "maintenance/NorthAlignmentMath.h"

#include "livedata/DisplayFormat.h"
#include "platform/LineEnds.h"
#include "unitlink/HexText.h"
#include "unitlink/UnitCommands.h"

#include <cmath>

namespace tarquel {

namespace NorthMath {

double RotationAngle(int count) {
    // nearbyint rounds ties to even in the default rounding mode.
    return std::nearbyint(count * kDegreesPerFullScale / kCountsPerFullScale * 1000) / 1000;
}

double SignedHeading(double heading) {
    return heading > 180 ? heading - 360 : heading;
}

double CorrectionCount(double degrees) {
    const double count = std::nearbyint(degrees * kCountsPerFullScale / kDegreesPerFullScale);
    return count > 32767 ? count - 65536 : count;
}

}  // namespace NorthMath

NorthAlignmentFigures ComputeNorthAlignment(int headingOffset, int northRotation,
                                            double presentHeading) {
    NorthAlignmentFigures f;
    f.currentCorrection =
        NorthMath::RotationAngle(headingOffset) + NorthMath::RotationAngle(northRotation);
    f.heading = NorthMath::SignedHeading(presentHeading);
    f.correctionToAdd = f.heading - f.currentCorrection;
    f.count = NorthMath::CorrectionCount(f.correctionToAdd);
    f.hexCorrection = HexWord(static_cast<float>(f.count));
    return f;
}

QString NorthAddCommand(const QString& northRotationWord, bool isB600Family,
                        const QString& hexCorrection) {
    return UnitCommand::AddToWord + northRotationWord.right(isB600Family ? 2 : 3) + hexCorrection;
}

QString NorthAlignmentQuestion(const NorthAlignmentFigures& f) {
    const QString degree = QStringLiteral("\u00B0");
    return QStringLiteral("This routine will align the unit to the heading shown below.") + kCrLf +
           QStringLiteral("The unit will see this heading as 'North'.") + kCrLf + kCrLf +
           QStringLiteral("Current Heading:  ") + FormatFixed(f.heading, 3, 1) + kCrLf +
           QStringLiteral("Current Alignment Correction:  ") +
           FormatFixed(f.currentCorrection, 3, 3) + degree + kCrLf +
           QStringLiteral("Alignment Correction to Add:  ") + FormatFixed(f.correctionToAdd, 3, 3) +
           degree + QStringLiteral("   ") + kCrLf + QStringLiteral("Hex Correction to Add:  ") +
           f.hexCorrection + kCrLf + kCrLf +
           QStringLiteral("Do you want to add this correction to the EEPROM?");
}

}  // namespace tarquel
