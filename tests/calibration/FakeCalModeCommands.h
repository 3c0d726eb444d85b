#pragma once

#include "calibration/CalModeCommands.h"

#include <functional>

namespace tarquel::test {

// Counts the mode commands; onPend / onAccel stand in for what the real command does.
class FakeCalModeCommands : public CalModeCommands {
public:
    void mnuCalAccel_Click() override {
        ++accelClicks;
        if (onAccel) {
            onAccel();
        }
    }
    void mnuCalPend_Click() override {
        ++pendClicks;
        if (onPend) {
            onPend();
        }
    }

    int accelClicks = 0;
    int pendClicks = 0;
    std::function<void()> onAccel;
    std::function<void()> onPend;
};

}  // namespace tarquel::test
