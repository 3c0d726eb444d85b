#pragma once

namespace tarquel {

// The two calibration-mode menu commands. The heading computation and the frame decoder run them
// by themselves (missing accelerometers, a steady run of short frames) exactly as if the operator
// had chosen the menu item.
class CalModeCommands {
public:
    virtual ~CalModeCommands() = default;
    virtual void mnuCalAccel_Click() = 0;
    virtual void mnuCalPend_Click() = 0;
};

}  // namespace tarquel
