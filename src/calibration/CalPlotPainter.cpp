#include "calibration/CalPlotPainter.h"

#include <QFontMetricsF>
#include <QPainter>

namespace tarquel {

namespace {

const char* const kSlotLabels[4] = {"0", "90", "180", "270"};

}  // namespace

void paintCalPlot(QPainter& p, const QRectF& rect, const CalPlotModel& model,
                  const CalPlotColours& colours) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QColor& text = colours.text;
    const QColor& faint = colours.faint;
    const QColor& accent = colours.accent;

    const QFontMetricsF metrics(p.font(), p.device());
    const double pad = metrics.height() * 1.2;
    const QRectF area = rect.adjusted(pad, pad * 0.6, -pad * 0.6, -pad);
    const CalPlotGeometry g = CalPlotGeometry::fit(area, model);
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
    p.drawText(QRectF(square.right() - 8 * pad, square.bottom() + 1, 8 * pad, pad), Qt::AlignRight,
               QStringLiteral("Hx ") + extent);
    p.drawText(QRectF(square.left() + 3, square.top() - pad * 0.6, 12 * pad, pad), Qt::AlignLeft,
               QStringLiteral("Hy ") + extent);

    if (!model.running()) {
        p.setPen(faint);
        p.drawText(square, Qt::AlignCenter | Qt::TextWordWrap,
                   QStringLiteral("Begin Test to plot the field"));
        p.restore();
        return;
    }

    // The trail: older pairs fainter.
    const std::vector<QPointF> trail = model.trail();
    const double count = static_cast<double>(trail.size());
    for (std::size_t i = 0; i < trail.size(); ++i) {
        QColor c = accent;
        c.setAlphaF(0.15 + 0.85 * (static_cast<double>(i) + 1) / count);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(g.toPixels(trail[i]), 1.6, 1.6);
    }

    if (const auto& f = model.fit()) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(text, 1.4, Qt::DashLine));
        p.drawEllipse(g.ellipse(*f));
        const QPointF c = g.toPixels(f->centre);
        p.setPen(QPen(text, 1.6));
        p.drawLine(c - QPointF(5, 5), c + QPointF(5, 5));
        p.drawLine(c - QPointF(5, -5), c + QPointF(5, -5));
    }

    for (int slot = 0; slot < 4; ++slot) {
        const std::optional<QPointF>& point = model.points()[static_cast<std::size_t>(slot)];
        if (!point) {
            continue;
        }
        const QPointF at = g.toPixels(*point);
        p.setPen(QPen(text, 1.2));
        p.setBrush(colours.base);
        p.drawRect(QRectF(at - QPointF(3.5, 3.5), QSizeF(7, 7)));
        p.drawText(at + QPointF(6, -4), QLatin1String(kSlotLabels[slot]));
    }
    p.restore();
}

}  // namespace tarquel
