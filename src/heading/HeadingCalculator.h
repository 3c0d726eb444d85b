#pragma once

#include "heading/CalModeCommands.h"
#include "platform/MessageBoxes.h"

#include <vector>

namespace tarquel {

// Channel slots after CalculateHeading: the seven live display values.
namespace Slot {
constexpr int Hx = 0;
constexpr int Hy = 1;
constexpr int V = 2;
constexpr int XInclination = 3;
constexpr int YInclination = 4;
constexpr int CalcHeading = 5;
constexpr int UnitHeading = 6;
constexpr int Count = 7;
}  // namespace Slot

// What one frame's heading computation found beside the values it rewrote.
struct HeadingResult {
    // The Z accelerometer read exactly 0: the unit has none and the values were left as they are.
    bool noAccelerometers = false;
    // ... and the operator has just been told so: the pendulum mode is to be selected.
    bool selectPendulum = false;
    // Tilted 10 degrees or more about either axis (tilt message 1).
    bool over10 = false;
    // Tilted 45 degrees or more about either axis (tilt message 2; pendulum mode only).
    bool over45 = false;
};

// Turns the channel values of one frame into the tilt-compensated heading: smooths every channel
// against the previous frames, works out the two inclinations, rotates the magnetometer vector
// into the horizontal plane and judges the tilt.
//
// Input layouts (the frame's fields in order):
//   pendulum (6 values)      unit heading, X, Y, Z magnetometer, X, Y inclination in degrees
//   accelerometer (7 values) unit heading, X, Y, Z accelerometer, X, Y, Z magnetometer
// Output layout (7 values, see Slot): Hx, Hy, V, X inclination, Y inclination, calculated
// heading, unit heading.
//
// The smoothing restarts when the calibration-mode commands say so.
class HeadingCalculator {
public:
    explicit HeadingCalculator(MessageBoxes& boxes);

    // The next frame passes unchanged and starts the smoothing again, and a unit without
    // accelerometers is reported again (channelFilterPrimed, inclFilterPrimed and noAccelWarned
    // cleared).
    void restartSmoothing();

    // Per-channel smoothing by 1/n of the difference to the previous smoothed value. A channel
    // that jumps across 0/360 (new value below 90 while the previous one was above 270, or the
    // reverse) is smoothed the short way round and folded back into 0 to 360. The rule applies to
    // every channel alike. The first frame after priming passes unchanged.
    void FilterChannels(std::vector<double>& values, int n);

    // Smoothing of the two inclinations (radians, no wrap), in place.
    void FilterInclinometers(double& x, double& y, int n);

    // Rewrites values (6 or 7 input values) into the 7-slot output layout. In accelerometer layout
    // a Z accelerometer of exactly 0 means the unit has none: the operator is told once (while
    // noAccelWarned is false) and the values are left as they are. The 45-degree limit is judged
    // in pendulum mode only. Arithmetic failures throw DivisionByZeroError or OverflowError.
    HeadingResult CalculateHeading(std::vector<double>& values, CalMode mode);

private:
    MessageBoxes& boxes_;
    bool channelFilterPrimed_ = false;
    bool inclFilterPrimed_ = false;
    bool noAccelWarned_ = false;
    std::vector<double> channelFilterState_;
    double inclFilterX_ = 0;
    double inclFilterY_ = 0;
};

}  // namespace tarquel
