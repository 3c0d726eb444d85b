#pragma once

#include "heading/CalModeCommands.h"
#include "heading/HeadingCalculator.h"
#include "platform/MessageBoxes.h"
#include "unitlink/UnitLink.h"

#include <QString>

namespace tarquel {

// What the main window shows of the calibration mode: the checks of the two items of the
// Calibration Mode menu (mnuCalAccel, mnuCalPend) and the caption of lblCalMode.
class CalModeView {
public:
    virtual ~CalModeView() = default;
    virtual void setCalModeChecks(bool accelChecked, bool pendChecked) = 0;
    virtual void setCalModeCaption(const QString& caption) = 0;
};

// The Accelerometer and Pendulum commands of the Calibration Mode menu: set calMode, mark the
// menu, command the unit's calibration output channels for the mode and restart the smoothing.
// The unit's own channel selection is recorded the first time any command needs it (once per run).
// A failure tells the operator to check the connections; what the window shows stays as set.
class CalModeSelector : public CalModeCommands {
public:
    CalModeSelector(UnitLink& link, MessageBoxes& boxes, CalModeView& view,
                    HeadingCalculator& heading);

    CalMode calMode() const override { return calMode_; }
    void selectCalMode(CalMode mode) override;
    // Takes mode as the unit's without commanding anything (the command line is told the unit's
    // sensors; the calibration test selects the channels itself).
    void assumeCalMode(CalMode mode) { calMode_ = mode; }

private:
    bool applyTo(CalMode mode, bool accelChecked, const QString& caption);

    UnitLink& link_;
    MessageBoxes& boxes_;
    CalModeView& view_;
    HeadingCalculator& heading_;
    CalMode calMode_ = CalMode::Accelerometer;
};

}  // namespace tarquel
