#pragma once

#include "calibration/CalibrationSolution.h"

#include <QString>

namespace tarquel {

// The controls whose state the calibration workflow sets.
enum class CalControl {
    btnInitialize,  // "Begin Test"
    btnGetData,     // "Enter Data"
    btnClear,       // "Clear Data"
    btnEEPROM,      // "EEPROM"
    btnNewTest,     // "End Test"
    btnAlign,       // "North Alignment"
    mnuProperties,
    mnuDataTerminal,
    mnuGetEEPROM,
    mnuCalMode,
};

// What the main window shows of a calibration test. Every call sets one control's text or state;
// none of them may call back into the workflow.
class CalibrationView {
public:
    virtual ~CalibrationView() = default;

    virtual void setControlEnabled(CalControl control, bool enabled) = 0;
    virtual void focusControl(CalControl control) = 0;
    // lblHdg, lblHxMag and lblHyMag of one slot (0 to 3); empty texts clear them.
    virtual void setPointCaptions(int slot, const QString& heading, const QString& hx,
                                  const QString& hy) = 0;
    // The result columns (lblXBias ... lblYGain, decimal and hex), lblCalQual, lblCalMsg and the
    // picture imFace (0 hidden, 1 good, 2 calibration recommended). An empty result clears them.
    virtual void showResult(const CalibrationResult& result, int faceImage) = 0;
    // sRect shown and DataLabel(5) bold "Calc Hdg" while a test runs; hidden and regular
    // "Calc Heading" after.
    virtual void setTestDisplay(bool running) = 0;
    virtual void hideGauge() = 0;
    // Label9: "Decimal" or "Binary".
    virtual void setFormatCaption(const QString& caption) = 0;
};

// Told about the points and the solution as they change (the calibration plot).
class CalibrationObserver {
public:
    virtual ~CalibrationObserver() = default;
    virtual void pointStored(int slot, const PointRecord& point) = 0;
    // Clear Data: the mask is 0 again.
    virtual void pointsCleared() = 0;
    virtual void solved(const CalibrationResult& result) = 0;
    // Begin Test succeeded (true) or End Test ran (false).
    virtual void testRunning(bool running) = 0;
};

}  // namespace tarquel
