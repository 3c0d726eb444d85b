#pragma once

#include "heading/Gauge.h"

namespace tarquel {

// Drives the cardinal-point gauge while a calibration test runs: finds the cardinal direction
// (0, 90, 180, 270 or 360) whose window the heading lies in, scales the gauge around it, picks the
// half of the scale the needle is on and hides the gauge outside every window.
//
// Scale per target (range 0 below the target, range 1 from it on):
//   90: 75-89.9 / 90-105   180: 165-179.9 / 180-195   270: 255-269.9 / 270-285
//   0 and 360: 345-359.9 / 0-15
class CalGaugeDriver {
public:
    static constexpr int kNoTarget = -1;

    // Puts the 0/360 scale on the gauge, which is what lastCalTarget 0 stands for.
    explicit CalGaugeDriver(Gauge& gauge);

    // One frame's heading. Returns true when this call made the gauge visible; the window then
    // gives the keyboard focus to txtInformation and then btnGetData (when btnGetData is enabled)
    // so that the Enter key collects the point.
    bool UpdateCalGauge(double heading);

    // The target of a heading, all bounds inclusive, tested in the order 0, 90, 180, 270, 360.
    static int CalTarget(double heading);
    // The gauge's "Steady" / "Settling" mark.
    void showSteadiness(bool steady) { gauge_.showSteadiness(steady); }

    int lastCalTarget() const { return lastCalTarget_; }

private:
    void setScale(int target);

    Gauge& gauge_;
    int lastCalTarget_ = 0;
};

}  // namespace tarquel
