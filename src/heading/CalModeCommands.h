#pragma once

#include <QString>

namespace tarquel {

// The calibration mode (calMode): which sensors give the tilt, and so which frame layout the unit
// sends (7 fields with accelerometers, 6 with pendulums).
enum class CalMode { Accelerometer = 0, Pendulum = 1 };

// The output-channel selection a calibration test uses in a mode (ten hex digits).
QString calibrationChannelsFor(CalMode mode);

// The calibration mode and the two commands of the Calibration Mode menu. The frame decoder runs
// them by itself (missing accelerometers, a steady run of short frames) exactly as if the operator
// had chosen the menu item.
class CalModeCommands {
public:
    virtual ~CalModeCommands() = default;
    virtual CalMode calMode() const = 0;
    virtual void selectCalMode(CalMode mode) = 0;
};

}  // namespace tarquel
