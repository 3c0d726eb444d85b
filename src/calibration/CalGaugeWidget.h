#pragma once

#include "heading/Gauge.h"

#include <QString>
#include <QWidget>
#include <array>

class QLabel;

namespace tarquel {

// What the gauge draws: the bounds of the active range with their labels, and where the needle
// stands on the scale.
struct GaugeFace {
    double minimum = 0;
    double maximum = 0;
    QString minimumText;
    QString maximumText;
    double needleFraction = 0;  // 0 at the minimum, 1 at the maximum
    bool clamped = false;       // the value lies outside the range; the needle rests at its end
};

GaugeFace gaugeFace(double minimum, double maximum, double value);

// The cardinal-point gauge lgCal: a linear scale of the active range with its minimum and
// maximum written at the ends and a needle at the value. Hidden until the heading logic shows it.
class CalGaugeWidget : public QWidget, public Gauge {
    Q_OBJECT
public:
    explicit CalGaugeWidget(QWidget* parent = nullptr);

    void setRange(int range, double minimum, double maximum) override;
    void setActiveRange(int range) override;
    void setValue(double value) override;
    void setGaugeVisible(bool visible) override;
    bool gaugeVisible() const override { return gaugeVisible_; }
    void showSteadiness(bool steady) override;
    // The label beside the gauge that shows "Steady" or "Settling".
    void setSteadyLabel(QLabel* label) { steadyLabel_ = label; }

    int activeRange() const { return activeRange_; }
    double value() const { return value_; }
    GaugeFace face() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* steadyLabel_ = nullptr;
    struct Range {
        double minimum;
        double maximum;
    };
    // Set up for the 0/360 target, like the heading logic's starting target.
    std::array<Range, 2> ranges_{{{345.0, 359.9}, {0.0, 15.0}}};
    int activeRange_ = 0;
    double value_ = 0;
    bool gaugeVisible_ = false;
};

}  // namespace tarquel
