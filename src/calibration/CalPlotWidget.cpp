#include "calibration/CalPlotWidget.h"

#include "calibration/CalPlotPainter.h"

#include <QPainter>

namespace tarquel {

namespace {

constexpr int kRefreshMs = 100;

}  // namespace

CalPlotWidget::CalPlotWidget(CalPlotModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    setObjectName(QStringLiteral("calPlot"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setToolTip(
        QStringLiteral("Hx against Hy of the recent frames, the stored points and the "
                       "fitted centre and ellipse"));
    refreshTimer_.setInterval(kRefreshMs);
    refreshTimer_.setSingleShot(true);
    connect(&refreshTimer_, &QTimer::timeout, this, &CalPlotWidget::refresh);
    model.setOnChanged([this] {
        if (!refreshTimer_.isActive()) {
            refreshTimer_.start();
        }
    });
}

CalPlotWidget::~CalPlotWidget() {
    model_.setOnChanged({});
}

QSize CalPlotWidget::sizeHint() const {
    return {180, 180};
}

QSize CalPlotWidget::minimumSizeHint() const {
    return {120, 120};
}

void CalPlotWidget::refresh() {
    if (model_.revision() != paintedRevision_) {
        update();
    }
}

void CalPlotWidget::paintEvent(QPaintEvent* /*event*/) {
    paintedRevision_ = model_.revision();
    QPainter p(this);
    const QPalette& pal = palette();
    paintCalPlot(p, QRectF(rect()), model_,
                 {pal.color(QPalette::Text), pal.color(QPalette::Mid),
                  pal.color(QPalette::Highlight), pal.color(QPalette::Base)});
}

}  // namespace tarquel
