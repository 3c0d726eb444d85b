#pragma once

#include "calibration/CalibrationSolution.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <array>

namespace tarquel {

// What the last EEPROM write of a calibration did: for the record of the change and the report.
struct CalibrationWrite {
    std::array<PointRecord, CalSlot::Count> points{};  // point0, point90, point180, point270
    CalibrationResult result;
    // X bias, Y bias, X gain, Y gain: their addresses, the words before the corrections were
    // first added, and the words read back after ("Error" when unread).
    std::array<QString, 4> addresses;
    std::array<QString, 4> before;
    std::array<QString, 4> after;
    bool verified = false;
    QDateTime time;  // UTC, when the corrections were sent
};

// The record's account of a calibration write: the points, the solution in decimal and as
// words, the words before and after, the calibration error, its verdict and the verification.
QJsonObject calibrationChanges(const CalibrationWrite& write);

}  // namespace tarquel
