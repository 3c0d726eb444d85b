#pragma once

#include "calibration/CalibrationWrite.h"
#include "unitlink/UnitLink.h"

#include <QString>

namespace tarquel {

// Everything the calibration report shows of one calibration written to a unit.
struct CalibrationReportData {
    IdentifiedUnit unit;
    QString computer;  // the operator's computer
    QString programVersion;
    QString device;
    int baud = 0;
    CalibrationWrite write;
    QString backup;  // the backup file of the unit taken before the change; empty when none
};

// The report's text as HTML for a rich-text document, the plot left to an image named
// "plot.png": unit, date, computer, the four points, bias and gain with their words, the
// calibration error and its verdict, the words before and after, and the backup file.
QString calibrationReportHtml(const CalibrationReportData& data);

}  // namespace tarquel
