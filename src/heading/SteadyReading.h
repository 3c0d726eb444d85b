#pragma once

#include <QtGlobal>
#include <deque>

namespace tarquel {

// Whether the displayed values have settled after a movement, so that a point stored now is the
// point the unit will go on showing. The display follows each value by 1/32 of its difference a
// frame, so the distance still to go is about 31 times the last change a frame: exactly so while
// the vehicle turns steadily, and more than enough while the values settle after it stopped. The
// changes are averaged over the last second, and over 16 frames at least, against the noise.
// Steady while the calculated heading has at most 0.2 degrees and Hx and Hy at most 1 field unit
// still to go.
class SteadyReading {
public:
    static constexpr double kHeadingTolerance = 0.2;  // degrees
    static constexpr double kFieldTolerance = 1.0;    // field units
    static constexpr qint64 kWindowMs = 1000;
    static constexpr int kWindowFrames = 16;

    // One displayed frame at atMs.
    void frame(qint64 atMs, double hx, double hy, double heading);
    // The values start again (no data, a new smoothing).
    void reset();
    bool steady() const { return steady_; }

private:
    struct Sample {
        qint64 atMs;
        double hx;
        double hy;
        double heading;
    };
    std::deque<Sample> samples_;
    bool steady_ = false;
};

}  // namespace tarquel
