#pragma once

#include "calibration/Gauge.h"

#include <array>
#include <utility>

namespace tarquel::test {

// A gauge that keeps what it was last told.
struct RecordingGauge : Gauge {
    void setRange(int range, double minimum, double maximum) override {
        ranges.at(static_cast<std::size_t>(range)) = {minimum, maximum};
        ++rangeWrites;
    }
    void setActiveRange(int range) override { activeRange = range; }
    void setValue(double value) override { needle = value; }
    void setGaugeVisible(bool visible) override { shown = visible; }
    bool gaugeVisible() const override { return shown; }

    std::array<std::pair<double, double>, 2> ranges{};
    int rangeWrites = 0;
    int activeRange = -1;
    double needle = -1;
    bool shown = false;
};

}  // namespace tarquel::test
