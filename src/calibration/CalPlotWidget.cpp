#include "calibration/CalPlotWidget.h"

#include <QPainter>
#include <QPainterPath>

namespace tarquel {

namespace {

constexpr int kRefreshMs = 100;
const char* const kSlotLabels[4] = {"0", "90", "180", "270"};

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
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QColor text = pal.color(QPalette::Text);
    const QColor faint = pal.color(QPalette::Mid);
    const QColor accent = pal.color(QPalette::Highlight);

    const QFontMetrics metrics = fontMetrics();
    const double pad = metrics.height() * 1.2;
    const QRectF area = QRectF(rect()).adjusted(pad, pad * 0.6, -pad * 0.6, -pad);
    const CalPlotGeometry g = CalPlotGeometry::fit(area, model_);
    const QRectF square(g.origin.x() - g.extent * g.pixelsPerUnit,
                        g.origin.y() - g.extent * g.pixelsPerUnit, 2 * g.extent * g.pixelsPerUnit,
                        2 * g.extent * g.pixelsPerUnit);

    // Axes through the origin with the extent written at the ends.
    p.setPen(QPen(faint, 1));
    p.drawRect(square);
    p.drawLine(QPointF(square.left(), g.origin.y()), QPointF(square.right(), g.origin.y()));
    p.drawLine(QPointF(g.origin.x(), square.top()), QPointF(g.origin.x(), square.bottom()));
    for (const double tick : g.ticks()) {
        const QPointF onX = g.toPixels({tick, 0});
        const QPointF onY = g.toPixels({0, tick});
        p.drawLine(onX - QPointF(0, 2), onX + QPointF(0, 2));
        p.drawLine(onY - QPointF(2, 0), onY + QPointF(2, 0));
    }
    p.setPen(text);
    const QString extent = QString::number(g.extent);
    p.drawText(QRectF(square.right() - 80, square.bottom() + 1, 80, pad), Qt::AlignRight,
               QStringLiteral("Hx ") + extent);
    p.drawText(QRectF(square.left() + 3, square.top() - pad * 0.6, 120, pad), Qt::AlignLeft,
               QStringLiteral("Hy ") + extent);

    if (!model_.running()) {
        p.setPen(faint);
        p.drawText(square, Qt::AlignCenter | Qt::TextWordWrap,
                   QStringLiteral("Begin Test to plot the field"));
        return;
    }

    // The trail: older pairs fainter.
    const std::vector<QPointF> trail = model_.trail();
    const double count = static_cast<double>(trail.size());
    for (std::size_t i = 0; i < trail.size(); ++i) {
        QColor c = accent;
        c.setAlphaF(0.15 + 0.85 * (static_cast<double>(i) + 1) / count);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(g.toPixels(trail[i]), 1.6, 1.6);
    }

    if (const auto& f = model_.fit()) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(text, 1.4, Qt::DashLine));
        p.drawEllipse(g.ellipse(*f));
        const QPointF c = g.toPixels(f->centre);
        p.setPen(QPen(text, 1.6));
        p.drawLine(c - QPointF(5, 5), c + QPointF(5, 5));
        p.drawLine(c - QPointF(5, -5), c + QPointF(5, -5));
    }

    for (int slot = 0; slot < 4; ++slot) {
        const std::optional<QPointF>& point = model_.points()[static_cast<std::size_t>(slot)];
        if (!point) {
            continue;
        }
        const QPointF at = g.toPixels(*point);
        p.setPen(QPen(text, 1.2));
        p.setBrush(pal.color(QPalette::Base));
        p.drawRect(QRectF(at - QPointF(3.5, 3.5), QSizeF(7, 7)));
        p.drawText(at + QPointF(6, -4), QLatin1String(kSlotLabels[slot]));
    }
}

}  // namespace tarquel
