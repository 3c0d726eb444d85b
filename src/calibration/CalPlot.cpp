#include "calibration/CalPlot.h"

#include "heading/HeadingCalculator.h"

#include <algorithm>
#include <cmath>

namespace tarquel {

namespace {

constexpr double kSmallestExtent = 50;  // field units: a plot of noise still has a scale
constexpr double kMargin = 1.12;
constexpr int kTicksPerHalfAxis = 4;

}  // namespace

void CalPlotModel::changed() {
    ++revision_;
    if (onChanged_) {
        onChanged_();
    }
}

void CalPlotModel::frameShown(const std::vector<double>& values) {
    if (!running_ || values.size() <= static_cast<std::size_t>(Slot::Hy)) {
        return;
    }
    const double hx = values[Slot::Hx];
    const double hy = values[Slot::Hy];
    if (!std::isfinite(hx) || !std::isfinite(hy)) {
        return;
    }
    ring_[next_].setX(hx);
    ring_[next_].setY(hy);
    next_ = (next_ + 1) % ring_.size();
    count_ = std::min(count_ + 1, ring_.size());
    changed();
}

CalPlotModel::CalPlotModel() : ring_(kTrailLength) {}

std::vector<QPointF> CalPlotModel::trail() const {
    if (count_ < ring_.size()) {
        return {ring_.begin(), ring_.begin() + static_cast<std::ptrdiff_t>(count_)};
    }
    std::vector<QPointF> ordered(ring_.begin() + static_cast<std::ptrdiff_t>(next_), ring_.end());
    ordered.insert(ordered.end(), ring_.begin(),
                   ring_.begin() + static_cast<std::ptrdiff_t>(next_));
    return ordered;
}

void CalPlotModel::pointStored(int slot, const PointRecord& point) {
    if (slot >= 0 && slot < CalSlot::Count) {
        points_[static_cast<std::size_t>(slot)] = QPointF(point.Hx, point.Hy);
        changed();
    }
}

void CalPlotModel::pointsCleared() {
    points_.fill(std::nullopt);
    fit_.reset();
    changed();
}

void CalPlotModel::solved(const CalibrationResult& result) {
    fit_ = Fit{QPointF(-result.xBias, -result.yBias), result.xRange, result.yRange};
    changed();
}

void CalPlotModel::testRunning(bool running) {
    running_ = running;
    if (running) {
        count_ = 0;
        next_ = 0;
        pointsCleared();
    }
    changed();
}

double CalPlotGeometry::niceStep(double raw) {
    if (!(raw > 0) || !std::isfinite(raw)) {
        return 1;
    }
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= raw * (1 - 1e-12)) {
            return factor * power;
        }
    }
    return 10 * power;
}

CalPlotGeometry CalPlotGeometry::fit(const QRectF& area, const CalPlotModel& model) {
    double reach = kSmallestExtent;
    const auto include = [&reach](const QPointF& p) {
        if (std::isfinite(p.x()) && std::isfinite(p.y())) {
            reach = std::max({reach, std::abs(p.x()), std::abs(p.y())});
        }
    };
    if (model.running()) {
        for (const QPointF& p : model.trail()) {
            include(p);
        }
    }
    for (const std::optional<QPointF>& p : model.points()) {
        if (p) {
            include(*p);
        }
    }
    if (const auto& f = model.fit()) {
        const double rx = std::abs(f->xRange);
        const double ry = std::abs(f->yRange);
        include(f->centre + QPointF(rx, ry));
        include(f->centre - QPointF(rx, ry));
    }
    CalPlotGeometry g;
    g.area = area;
    g.tickStep = niceStep(reach * kMargin / kTicksPerHalfAxis);
    g.extent = std::ceil(reach * kMargin / g.tickStep) * g.tickStep;
    const double side = std::min(area.width(), area.height());
    g.pixelsPerUnit = side > 0 ? side / (2 * g.extent) : 0;
    g.origin = area.center();
    return g;
}

QPointF CalPlotGeometry::toPixels(const QPointF& field) const {
    return {origin.x() + field.x() * pixelsPerUnit, origin.y() - field.y() * pixelsPerUnit};
}

QRectF CalPlotGeometry::ellipse(const CalPlotModel::Fit& f) const {
    const QPointF centre = toPixels(f.centre);
    const double halfWidth = std::abs(f.xRange) * pixelsPerUnit;
    const double halfHeight = std::abs(f.yRange) * pixelsPerUnit;
    return {centre.x() - halfWidth, centre.y() - halfHeight, 2 * halfWidth, 2 * halfHeight};
}

std::vector<double> CalPlotGeometry::ticks() const {
    std::vector<double> positions;
    if (!(tickStep > 0)) {
        return positions;
    }
    const int count = static_cast<int>(std::llround(extent / tickStep));
    for (int i = -count; i <= count; ++i) {
        positions.push_back(i * tickStep);
    }
    return positions;
}

}  // namespace tarquel
