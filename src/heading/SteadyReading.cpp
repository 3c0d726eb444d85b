#include "heading/SteadyReading.h"

#include <cmath>

namespace tarquel {

namespace {

// The smoothing's remaining distance per unit of change a frame.
constexpr double kStillToGoPerChange = 31.0;

// b - a the short way round the compass.
double headingChange(double a, double b) {
    return std::remainder(b - a, 360.0);
}

}  // namespace

void SteadyReading::reset() {
    samples_.clear();
    steady_ = false;
}

void SteadyReading::frame(qint64 atMs, double hx, double hy, double heading) {
    samples_.push_back({atMs, hx, hy, heading});
    // The shortest window that still spans a second and 16 frame intervals.
    while (samples_.size() > static_cast<std::size_t>(kWindowFrames) + 1 &&
           samples_[1].atMs <= atMs - kWindowMs) {
        samples_.pop_front();
    }
    const std::size_t intervals = samples_.size() - 1;
    if (intervals < static_cast<std::size_t>(kWindowFrames) ||
        atMs - samples_.front().atMs < kWindowMs) {
        steady_ = false;
        return;
    }
    const Sample& first = samples_.front();
    const double perFrame = kStillToGoPerChange / static_cast<double>(intervals);
    steady_ = std::abs(headingChange(first.heading, heading)) * perFrame <= kHeadingTolerance &&
              std::abs(hx - first.hx) * perFrame <= kFieldTolerance &&
              std::abs(hy - first.hy) * perFrame <= kFieldTolerance;
}

}  // namespace tarquel
