#include "calibration/CalGaugeWidget.h"

#include <QLabel>

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace tarquel {

GaugeFace gaugeFace(double minimum, double maximum, double value) {
    GaugeFace face;
    face.minimum = minimum;
    face.maximum = maximum;
    face.minimumText = QString::number(minimum);
    face.maximumText = QString::number(maximum);
    const double low = std::min(minimum, maximum);
    const double high = std::max(minimum, maximum);
    face.clamped = value < low || value > high;
    if (maximum == minimum) {
        face.needleFraction = 0;
        return face;
    }
    face.needleFraction = std::clamp((value - minimum) / (maximum - minimum), 0.0, 1.0);
    return face;
}

CalGaugeWidget::CalGaugeWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("lgCal"));
    setAutoFillBackground(true);
    QWidget::setVisible(false);
}

void CalGaugeWidget::setRange(int range, double minimum, double maximum) {
    if (range < 0 || range >= static_cast<int>(ranges_.size())) {
        return;
    }
    ranges_[static_cast<std::size_t>(range)] = {minimum, maximum};
    if (range == activeRange_) {
        update();
    }
}

void CalGaugeWidget::setActiveRange(int range) {
    if (range < 0 || range >= static_cast<int>(ranges_.size()) || range == activeRange_) {
        return;
    }
    activeRange_ = range;
    update();
}

void CalGaugeWidget::setValue(double value) {
    if (value != value_) {
        value_ = value;
        update();
    }
}

void CalGaugeWidget::setGaugeVisible(bool visible) {
    gaugeVisible_ = visible;
    QWidget::setVisible(visible);
}

void CalGaugeWidget::showSteadiness(bool steady) {
    if (steadyLabel_ != nullptr) {
        steadyLabel_->setText(steady ? QStringLiteral("Steady") : QStringLiteral("Settling"));
    }
}

GaugeFace CalGaugeWidget::face() const {
    const Range& range = ranges_[static_cast<std::size_t>(activeRange_)];
    return gaugeFace(range.minimum, range.maximum, value_);
}

QSize CalGaugeWidget::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(QStringLiteral("000.0")) * 5, metrics.height() * 3};
}

void CalGaugeWidget::paintEvent(QPaintEvent* /*event*/) {
    const GaugeFace f = face();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics(font());
    const int margin = std::max(metrics.horizontalAdvance(f.minimumText),
                                metrics.horizontalAdvance(f.maximumText)) /
                           2 +
                       4;
    const double left = margin;
    const double right = width() - margin;
    const double scaleY = height() - metrics.height() - 4;
    const QColor ink = palette().color(QPalette::WindowText);

    // Scale line with ticks at every quarter.
    painter.setPen(QPen(ink, 1.5));
    painter.drawLine(QPointF(left, scaleY), QPointF(right, scaleY));
    for (int i = 0; i <= 4; ++i) {
        const double x = left + (right - left) * i / 4.0;
        const double tick = (i % 2 == 0) ? 8 : 4;
        painter.drawLine(QPointF(x, scaleY), QPointF(x, scaleY - tick));
    }
    const int textTop = static_cast<int>(scaleY) + 2;
    painter.drawText(QRect(0, textTop, 2 * margin, metrics.height()), Qt::AlignCenter,
                     f.minimumText);
    painter.drawText(QRect(width() - 2 * margin, textTop, 2 * margin, metrics.height()),
                     Qt::AlignCenter, f.maximumText);

    // Needle: a line from the top down to the scale with a pointed foot.
    const double x = left + (right - left) * f.needleFraction;
    const QColor needle = f.clamped ? palette().color(QPalette::Mid) : QColor(200, 30, 30);
    painter.setPen(QPen(needle, 2));
    painter.drawLine(QPointF(x, 3), QPointF(x, scaleY - 6));
    QPainterPath foot;
    foot.moveTo(x, scaleY);
    foot.lineTo(x - 4, scaleY - 7);
    foot.lineTo(x + 4, scaleY - 7);
    foot.closeSubpath();
    painter.fillPath(foot, needle);
}

}  // namespace tarquel
