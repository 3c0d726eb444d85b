#pragma once

#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "records/CalibrationReport.h"

#include <QImage>
#include <QString>

namespace tarquel {

// Writes the calibration report as a one-page A4 PDF at path, through a temporary file that
// replaces path once complete. False with error set otherwise. Needs a GUI application object
// (fonts); tarquel-cli makes one on the offscreen platform for it.
bool writeCalibrationReport(const QString& path, const CalibrationReportData& data, QString& error);

// The report's page as a picture (A4 at the PDF's resolution), drawn as the PDF is.
QImage calibrationReportImage(const CalibrationReportData& data);

// "Save Calibration Report...": asks for the file (proposing folder + "Calibration Report
// <date>.pdf") and writes the report; a box says why when it cannot be written. True when written.
bool saveCalibrationReportAs(const CalibrationReportData& data, FileDialogs& dialogs,
                             MessageBoxes& boxes, const QString& folder);

}  // namespace tarquel
