#pragma once

#include "calibration/CalModeCommands.h"
#include "platform/MessageBoxes.h"
#include "unitlink/SharedState.h"
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
    CalModeSelector(UnitLink& link, SharedState& state, MessageBoxes& boxes, CalModeView& view);

    void mnuCalAccel_Click() override;
    void mnuCalPend_Click() override;

    // The two rows of the command table.
    struct Mode {
        int calMode;
        bool accelChecked;
        const char* caption;
        const char* errorTitle;
        const char* errorLine;
    };

private:
    void select(const Mode& mode);
    bool applyTo(const Mode& mode);

    UnitLink& link_;
    SharedState& state_;
    MessageBoxes& boxes_;
    CalModeView& view_;
};

}  // namespace tarquel
