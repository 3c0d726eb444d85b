#pragma once

#include "calibration/CalModeCommands.h"
#include "platform/MessageBoxes.h"
#include "unitlink/SharedState.h"

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

// Turns the channel values of one frame into the tilt-compensated heading: smooths every channel
// against the previous frames, works out the two inclinations, rotates the magnetometer vector
// into the horizontal plane and raises or clears the tilt messages.
//
// Input layouts (the frame's fields in order):
//   pendulum (6 values)      unit heading, X, Y, Z magnetometer, X, Y inclination in degrees
//   accelerometer (7 values) unit heading, X, Y, Z accelerometer, X, Y, Z magnetometer
// Output layout (7 values, see Slot): Hx, Hy, V, X inclination, Y inclination, calculated
// heading, unit heading.
//
// The smoothing restarts whenever SharedState::channelFilterPrimed / inclFilterPrimed are cleared
// (the calibration-mode commands do that).
class HeadingCalculator {
public:
    HeadingCalculator(SharedState& state, MessageBoxes& boxes, CalModeCommands& modes);

    // Per-channel smoothing by 1/n of the difference to the previous smoothed value. A channel
    // that jumps across 0/360 (new value below 90 while the previous one was above 270, or the
    // reverse) is smoothed the short way round and folded back into 0 to 360. The rule applies to
    // every channel alike. The first frame after priming passes unchanged.
    void FilterChannels(std::vector<double>& values, int n);

    // Smoothing of the two inclinations (radians, no wrap), in place.
    void FilterInclinometers(double& x, double& y, int n);

    // Rewrites values (6 or 7 input values) into the 7-slot output layout. In accelerometer layout
    // a Z accelerometer of exactly 0 means the unit has none: the operator is told once (while
    // noAccelWarned is false), the pendulum mode is selected and the values are left as they are.
    // Arithmetic failures throw DivisionByZeroError or OverflowError.
    void CalculateHeading(std::vector<double>& values);

    const std::vector<double>& channelFilterState() const { return channelFilterState_; }
    double inclFilterX() const { return inclFilterX_; }
    double inclFilterY() const { return inclFilterY_; }

private:
    SharedState& state_;
    MessageBoxes& boxes_;
    CalModeCommands& modes_;
    std::vector<double> channelFilterState_;
    double inclFilterX_ = 0;
    double inclFilterY_ = 0;
};

}  // namespace tarquel
