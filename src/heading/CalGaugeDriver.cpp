#include "heading/CalGaugeDriver.h"

namespace tarquel {

namespace {

struct Scale {
    double min0, max0;  // range 0: the approach from below
    double min1, max1;  // range 1: from the target on
};

Scale scaleFor(int target) {
    switch (target) {
        case 90:
            return {75, 89.9, 90, 105};
        case 180:
            return {165, 179.9, 180, 195};
        case 270:
            return {255, 269.9, 270, 285};
        default:  // 0 and 360: around north
            return {345, 359.9, 0, 15};
    }
}

}  // namespace

CalGaugeDriver::CalGaugeDriver(Gauge& gauge) : gauge_(gauge) {
    setScale(0);
}

int CalGaugeDriver::CalTarget(double h) {
    if (h >= 0 && h <= 15) {
        return 0;
    }
    if (h >= 75 && h <= 105) {
        return 90;
    }
    if (h >= 165 && h <= 195) {
        return 180;
    }
    if (h >= 255 && h <= 285) {
        return 270;
    }
    if (h >= 345 && h <= 360) {
        return 360;
    }
    return kNoTarget;
}

void CalGaugeDriver::setScale(int target) {
    const Scale scale = scaleFor(target);
    gauge_.setRange(1, scale.min1, scale.max1);
    gauge_.setRange(0, scale.min0, scale.max0);
}

bool CalGaugeDriver::UpdateCalGauge(double heading) {
    const int target = CalTarget(heading);
    if (target != lastCalTarget_) {
        if (target == kNoTarget) {
            gauge_.setGaugeVisible(false);
        } else {
            setScale(target);
        }
    }
    bool becameVisible = false;
    if (target != kNoTarget) {
        if (!gauge_.gaugeVisible()) {
            gauge_.setGaugeVisible(true);
            becameVisible = true;
        }
        int activeRange = 0;
        if (target == 0) {
            activeRange = 1;
        } else if (target == 360) {
            activeRange = 0;
        } else {
            activeRange = heading - target < 0 ? 0 : 1;
        }
        gauge_.setActiveRange(activeRange);
        gauge_.setValue(heading);
    }
    lastCalTarget_ = target;
    return becameVisible;
}

}  // namespace tarquel
