#pragma once

#include "calibration/CalModeCommands.h"

#include <functional>

namespace tarquel::test {

// Counts the mode commands; onPend stands in for what the real pendulum command does.
struct FakeCalModeCommands : CalModeCommands {
    void mnuCalAccel_Click() override { ++accelClicks; }
    void mnuCalPend_Click() override {
        ++pendClicks;
        if (onPend) {
            onPend();
        }
    }
    int accelClicks = 0;
    int pendClicks = 0;
    std::function<void()> onPend;
};

}  // namespace tarquel::test
