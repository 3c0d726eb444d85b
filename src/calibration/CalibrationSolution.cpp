#include "calibration/CalibrationSolution.h"

#include "livedata/DisplayFormat.h"
#include "platform/Errors.h"
#include "unitlink/HexText.h"

#include <cmath>

namespace tarquel {

namespace {

constexpr double kPi = 3.14159265;
constexpr double kRecommendedFromDeg = 1.0;

struct WordScale {
    double bias;
    double gain;
};

WordScale wordScale(bool is1600Family) {
    return is1600Family ? WordScale{32.768 / 1.5, 327.68 / 2} : WordScale{32.768 / 3, 327.68 / 1};
}

// The word of a scaled value, converted to single precision as the unit link takes it; empty when
// it cannot be a 16-bit word.
QString wordOf(double scaled) {
    try {
        return HexWord(static_cast<float>(scaled));
    } catch (const OverflowError&) {
        return QString();
    }
}

}  // namespace

int SlotForHeading(double h) {
    if (h >= 45 && h <= 135) {
        return CalSlot::East;
    }
    if (h >= 135 && h <= 225) {
        return CalSlot::South;
    }
    if (h >= 225 && h <= 315) {
        return CalSlot::West;
    }
    return CalSlot::North;
}

bool CalRecommended(double calError) {
    return calError >= kRecommendedFromDeg;
}

QString CalQualityText(double calError) {
    // nearbyint rounds an exact half to the even neighbour.
    const double rounded = std::nearbyint(calError * 100) / 100;
    return GeneralNumber(rounded) + QStringLiteral(" dg.");
}

SolveOutcome SolveBiasAndGain(const std::array<PointRecord, CalSlot::Count>& points,
                              bool is1600Family) {
    const PointRecord& p0 = points[CalSlot::North];
    const PointRecord& p90 = points[CalSlot::East];
    const PointRecord& p180 = points[CalSlot::South];
    const PointRecord& p270 = points[CalSlot::West];
    SolveOutcome outcome;
    CalibrationResult& r = outcome.result;

    r.xBias = -(p180.Hx + p0.Hx) / 2;
    r.yBias = -(p90.Hy + p270.Hy) / 2;
    r.xRange = (p0.Hx - p180.Hx) / 2;
    r.yRange = (p270.Hy - p90.Hy) / 2;
    r.meanRange = (r.yRange + r.xRange) / 2;
    if (r.meanRange == 0) {
        outcome.cause =
            r.xRange == 0 && r.yRange == 0
                ? QStringLiteral("The X and Y ranges are zero: the four points are identical.")
                : QStringLiteral(
                      "The X and Y ranges cancel out: check that each point was "
                      "stored with the vehicle pointing in its direction.");
        return outcome;
    }
    r.xGain = (1 - r.xRange / r.meanRange) * 100;
    r.yGain = (1 - r.yRange / r.meanRange) * 100;

    r.fieldMean = (std::abs(p270.Hy) + std::abs(p90.Hy) + std::abs(p0.Hx) + std::abs(p180.Hx)) / 4;
    if (r.fieldMean == 0) {
        outcome.cause = QStringLiteral("The field readings of the four points are all zero.");
        return outcome;
    }
    const double offset = std::sqrt((r.xBias * r.xBias + r.yBias * r.yBias) / 2);
    r.calError = std::atan(offset / r.fieldMean) * 180 / kPi;
    for (const double value : {r.xBias, r.yBias, r.xGain, r.yGain, r.calError}) {
        if (!std::isfinite(value)) {
            outcome.cause = QStringLiteral("The four points give a value that is not a number.");
            return outcome;
        }
    }

    const WordScale scale = wordScale(is1600Family);
    struct Word {
        double scaled;
        QString* text;
        const char* tooLarge;
    };
    const Word words[] = {
        {r.xBias * scale.bias, &r.xBiasWord, "The X bias is too large to be stored in the unit."},
        {r.yBias * scale.bias, &r.yBiasWord, "The Y bias is too large to be stored in the unit."},
        {r.xGain * scale.gain, &r.xGainWord, "The X gain is too large to be stored in the unit."},
        {r.yGain * scale.gain, &r.yGainWord, "The Y gain is too large to be stored in the unit."},
    };
    for (const Word& word : words) {
        *word.text = wordOf(word.scaled);
        if (word.text->isEmpty()) {
            outcome.cause = QLatin1String(word.tooLarge);
            return outcome;
        }
    }

    r.xBiasText = FormatFixed(r.xBias, 1, 1);
    r.yBiasText = FormatFixed(r.yBias, 1, 1);
    r.xGainText = FormatFixed(r.xGain, 1, 1) + QLatin1Char('%');
    r.yGainText = FormatFixed(r.yGain, 1, 1) + QLatin1Char('%');
    r.calRecommended = CalRecommended(r.calError);
    r.faceImage = r.calRecommended ? 2 : 1;
    r.calMsgText =
        r.calRecommended ? QStringLiteral("Cal recommended") : QStringLiteral("No cal necessary");
    r.calQualText = CalQualityText(r.calError);
    outcome.solved = true;
    return outcome;
}

}  // namespace tarquel
