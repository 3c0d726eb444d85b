#pragma once

namespace tarquel {

// The cardinal-point gauge lgCal as the heading logic drives it: two scale ranges (0 and 1),
// each with a minimum and a maximum, an active range, a needle value and a visible flag.
class Gauge {
public:
    virtual ~Gauge() = default;
    virtual void setRange(int range, double minimum, double maximum) = 0;
    virtual void setActiveRange(int range) = 0;
    virtual void setValue(double value) = 0;
    virtual void setGaugeVisible(bool visible) = 0;
    virtual bool gaugeVisible() const = 0;
    // While a test runs, every frame: whether the displayed values have settled (the "Steady" /
    // "Settling" mark by the gauge). A gauge without the mark passes it over.
    virtual void showSteadiness(bool /*steady*/) {}
};

}  // namespace tarquel
