#pragma once

#include "calibration/CalPlot.h"

#include <QTimer>
#include <QWidget>

namespace tarquel {

// The calibration plot: the recent Hx/Hy pairs as a fading trail, the stored points labelled 0,
// 90, 180 and 270, and once solved the fitted centre and ellipse. Colours come from the widget's
// palette, so it follows the display theme. Repaints at most ten times a second, and only when
// the model changed.
class CalPlotWidget : public QWidget {
    Q_OBJECT
public:
    explicit CalPlotWidget(const CalPlotModel& model, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Repaints now when the model changed since the last paint.
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CalPlotModel& model_;
    QTimer refreshTimer_;
    quint64 paintedRevision_ = ~quint64{0};
};

}  // namespace tarquel
