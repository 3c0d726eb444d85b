#pragma once

#include "calibration/Gauge.h"

#include <array>

namespace tarquel::test {

// A gauge that keeps what it was last told.
class RecordingGauge : public Gauge {
public:
    struct Range {
        double minimum = -1;
        double maximum = -1;
    };

    void setRange(int range, double minimum, double maximum) override {
        ranges.at(static_cast<std::size_t>(range)) = {minimum, maximum};
        ++rangeWrites;
    }
    void setActiveRange(int range) override { activeRange = range; }
    void setValue(double value) override { needle = value; }
    void setGaugeVisible(bool visible) override { shown = visible; }
    bool gaugeVisible() const override { return shown; }

    std::array<Range, 2> ranges{};
    int rangeWrites = 0;
    int activeRange = -1;
    double needle = -1;
    bool shown = false;
};

}  // namespace tarquel::test
