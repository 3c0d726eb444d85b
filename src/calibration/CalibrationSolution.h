#pragma once

#include <QString>
#include <array>

namespace tarquel {

// One stored calibration point: the displayed values of DataBox(0) to DataBox(5) when the
// operator pressed Enter Data.
struct PointRecord {
    double Hx = 0;
    double Hy = 0;
    double V = 0;
    double xInclination = 0;
    double yInclination = 0;
    double heading = 0;
};

// The four cardinal slots, in the order of the point labels lblHdg(0..3) and of the collected
// mask bits 1, 2, 4, 8.
namespace CalSlot {
constexpr int North = 0;  // point0
constexpr int East = 1;   // point90
constexpr int South = 2;  // point180
constexpr int West = 3;   // point270
constexpr int Count = 4;
constexpr int AllCollected = 15;
}  // namespace CalSlot

// The slot of a captured heading, bounds inclusive and tested in the order 90, 180, 270:
// 45..135 -> East, 135..225 -> South (135 is East), 225..315 -> West, anything else North.
int SlotForHeading(double heading);
// The mask bit of a slot (1, 2, 4, 8).
constexpr int SlotBit(int slot) {
    return 1 << slot;
}
// The cardinal direction of a slot in degrees (0, 90, 180, 270).
constexpr int SlotDegrees(int slot) {
    return slot * 90;
}

// X and Y bias (field units) and gain (percent) from the four points, their words for the unit
// and the calibration error.
struct CalibrationResult {
    double xBias = 0;
    double yBias = 0;
    double xRange = 0;
    double yRange = 0;
    double meanRange = 0;
    double xGain = 0;
    double yGain = 0;
    double fieldMean = 0;
    double calError = 0;  // degrees
    bool calRecommended = false;

    // Captions of the result columns: decimal ("-50.0", "-4.0%") and hex (the words written).
    QString xBiasText, yBiasText, xGainText, yGainText;
    QString xBiasWord, yBiasWord, xGainWord, yGainWord;
    // lblCalQual ("8.21 dg.") and lblCalMsg ("Cal recommended" / "No cal necessary").
    QString calQualText;
    QString calMsgText;
    // The picture of imFace: 1 good result, 2 calibration recommended.
    int faceImage = 1;
};

// What solving the four points gives: the result, or why the points give none (the solved state
// must then not be entered and nothing be written).
struct SolveOutcome {
    bool solved = false;
    QString cause;  // when not solved: one sentence for the operator
    CalibrationResult result;
};

// Solves the four points (only their Hx and Hy are used) for the map family of the unit:
//   xBias = -(point180.Hx + point0.Hx) / 2      yBias = -(point90.Hy + point270.Hy) / 2
//   xRange = (point0.Hx - point180.Hx) / 2      yRange = (point270.Hy - point90.Hy) / 2
//   xGain = (1 - xRange / meanRange) * 100      (meanRange the mean of the two ranges)
// Words: B600 bias * 32.768 / 3, gain * 327.68; 1600 bias * 32.768 / 1.5, gain * 327.68 / 2,
// each floored into a 16-bit word. The calibration error is the angle of the RMS offset against
// the mean field reading; 1.0 degree or more recommends a calibration.
SolveOutcome SolveBiasAndGain(const std::array<PointRecord, CalSlot::Count>& points,
                              bool is1600Family);

// A calibration error of 1.0 degree or more recommends writing a calibration.
bool CalRecommended(double calError);

// calError rounded to two decimals (an exact half to the even neighbour) in its shortest form,
// then " dg." ("0.57 dg.", "2 dg.").
QString CalQualityText(double calError);

}  // namespace tarquel
