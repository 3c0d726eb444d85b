#pragma once

#include "calibration/CalPlot.h"

#include <QTimer>
#include <QWidget>

namespace tarquel {

// The calibration plot: the recent Hx/Hy pairs as a fading trail, the stored points labelled 0,
// 90, 180 and 270, and once solved the fitted centre and ellipse. Colours come from the widget's
// palette, so it follows the display theme. Repaints at most ten times a second, and only when
// the model changed (the model's change schedules the repaint; nothing runs while it is quiet).
class CalPlotWidget : public QWidget {
    Q_OBJECT
public:
    explicit CalPlotWidget(CalPlotModel& model, QWidget* parent = nullptr);
    ~CalPlotWidget() override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Repaints now when the model changed since the last paint.
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CalPlotModel& model_;
    QTimer refreshTimer_;  // single shot: the repaint a change asked for
    quint64 paintedRevision_ = ~quint64{0};
};

}  // namespace tarquel
