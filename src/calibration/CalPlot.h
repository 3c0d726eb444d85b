#pragma once

#include "calibration/CalibrationView.h"
#include "livedata/FrameDecoder.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace tarquel {

// What the calibration plot shows, fed by the frame pipeline and the calibration workflow: the
// Hx/Hy pairs of the recent frames while a test runs, the four stored points and, once solved,
// the fitted centre (-xBias, -yBias) with the X and Y ranges as the semi-axes of an ellipse.
class CalPlotModel : public CalibrationObserver, public FrameObserver {
public:
    static constexpr int kTrailLength = 300;

    struct Fit {
        QPointF centre;
        double xRange = 0;
        double yRange = 0;
    };

    CalPlotModel();

    // FrameObserver: the seven display values of an accepted frame (Hx in slot 0, Hy in 1).
    void frameShown(const std::vector<double>& values) override;
    // CalibrationObserver
    void pointStored(int slot, const PointRecord& point) override;
    void pointsCleared() override;
    void solved(const CalibrationResult& result) override;
    void testRunning(bool running) override;

    bool running() const { return running_; }
    // The trail, oldest first.
    std::vector<QPointF> trail() const;
    const std::array<std::optional<QPointF>, 4>& points() const { return points_; }
    const std::optional<Fit>& fit() const { return fit_; }
    // Grows with every change, so a view repaints only when something changed.
    quint64 revision() const { return revision_; }
    // Called after every change (the plot widget schedules a repaint).
    void setOnChanged(std::function<void()> onChanged) { onChanged_ = std::move(onChanged); }

private:
    bool running_ = false;
    std::vector<QPointF> ring_;
    std::size_t next_ = 0;
    std::size_t count_ = 0;
    std::array<std::optional<QPointF>, 4> points_{};
    std::optional<Fit> fit_;
    quint64 revision_ = 0;
    std::function<void()> onChanged_;
    void changed();
};

// How the plot is laid out in a widget: field units to pixels at the same scale on both axes,
// origin in the middle, Hx to the right and Hy up (so turning the vehicle 0, 90, 180, 270 goes
// round clockwise), the scale chosen so that everything shown fits with a margin, and axis ticks
// at a round step.
struct CalPlotGeometry {
    QRectF area;        // the drawing area in pixels
    double extent = 0;  // field units from the origin to the edge of the square
    double pixelsPerUnit = 0;
    double tickStep = 0;  // field units between ticks
    QPointF origin;       // pixel position of (0, 0)

    static CalPlotGeometry fit(const QRectF& area, const CalPlotModel& model);
    // The smallest 1, 2 or 5 times a power of ten that is at least raw.
    static double niceStep(double raw);

    QPointF toPixels(const QPointF& field) const;
    // The fitted ellipse's bounding rectangle in pixels.
    QRectF ellipse(const CalPlotModel::Fit& fit) const;
    // Tick positions in field units along one axis, from -extent to extent, 0 included.
    std::vector<double> ticks() const;
};

}  // namespace tarquel
