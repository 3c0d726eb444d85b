#pragma once

#include "calibration/CalPlot.h"
#include "calibration/CalibrationView.h"

#include <QPointer>
#include <QWidget>
#include <array>

class QAction;
class QFrame;
class QLabel;
class QPushButton;

namespace tarquel {

class CalGaugeWidget;
class CalPlotWidget;

// The calibration area of the main window: the collected points (Frame1), the adjustments with
// the quality indicator (Frame2), the calibration plot beside them, the cardinal gauge lgCal with
// sRect and lblCalMsg, and the six buttons (the main window forwards their clicks). It shows what
// the calibration workflow tells it; the controls it names outside its own area (menu items,
// DataLabel(5), Label9) come from the main window.
class CalibrationPanel : public QWidget, public CalibrationView {
    Q_OBJECT
public:
    struct Outside {
        QAction* mnuProperties = nullptr;
        QAction* mnuDataTerminal = nullptr;
        QAction* mnuGetEEPROM = nullptr;
        QAction* mnuCalMode = nullptr;  // the menu's own action
        QLabel* dataLabel5 = nullptr;   // DataLabel(5), "Calc Heading"
        QLabel* label9 = nullptr;       // the format label
    };

    CalibrationPanel(CalPlotModel& plot, QWidget* parent = nullptr);
    void setOutside(const Outside& outside) { outside_ = outside; }

    QPushButton* button(CalControl control) const;
    CalGaugeWidget* lgCal() const { return lgCal_; }
    CalPlotWidget* plot() const { return plot_; }

    // CalibrationView
    void setControlEnabled(CalControl control, bool enabled) override;
    void focusControl(CalControl control) override;
    void setPointCaptions(int slot, const QString& heading, const QString& hx,
                          const QString& hy) override;
    void showResult(const CalibrationResult& result, int faceImage) override;
    void setTestDisplay(bool running) override;
    void hideGauge() override;
    void setFormatCaption(const QString& caption) override;

private:
    QWidget* buildPoints();
    QWidget* buildAdjustments();
    QAction* action(CalControl control) const;

    Outside outside_;
    std::array<QPushButton*, 6> buttons_{};
    std::array<std::array<QLabel*, 3>, 4> pointLabels_{};  // [slot][heading, Hx, Hy]
    std::array<std::array<QLabel*, 2>, 4> results_{};      // X bias, Y bias, X gain, Y gain
    QLabel* lblCalQual_ = nullptr;
    QLabel* lblCalMsg_ = nullptr;
    QLabel* lblSteady_ = nullptr;
    QLabel* imFace_ = nullptr;
    QFrame* sRect_ = nullptr;
    CalGaugeWidget* lgCal_ = nullptr;
    CalPlotWidget* plot_ = nullptr;
};

}  // namespace tarquel
