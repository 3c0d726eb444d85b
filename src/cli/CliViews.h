#pragma once

#include "calibration/CalibrationView.h"
#include "heading/CalModeSelector.h"
#include "heading/Gauge.h"
#include "livedata/LiveViews.h"
#include "session/UnitSession.h"
#include "unitlink/PortSelection.h"

#include <QString>
#include <QTextStream>
#include <array>
#include <map>

namespace tarquel {

// The main window's views without a window: every caption the session would show is kept as
// text; the tilt pop-ups go to the error stream; the points a calibration stores and its solution
// are printed; the calibration controls' states are remembered so that a command can tell which
// action the window would offer.
class CliViews : public LiveDataView,
                 public StatusView,
                 public TiltPopupWindow,
                 public CalModeView,
                 public CommView,
                 public Gauge,
                 public CalibrationView,
                 public UnitView {
public:
    CliViews(QTextStream& out, QTextStream& err) : out_(out), err_(err) {}

    bool isEnabled(CalControl control) const;

    // LiveDataView
    void setDataBoxCaption(int slot, const QString& caption) override {
        dataBox_[static_cast<std::size_t>(slot)] = caption;
    }
    QString dataBoxCaption(int slot) const override {
        return dataBox_[static_cast<std::size_t>(slot)];
    }
    void setFrameCountCaption(const QString& /*caption*/) override {}
    QString frameRateCaption() const override { return frameRate_; }
    void setFrameRateCaption(const QString& caption) override { frameRate_ = caption; }
    bool getDataEnabled() const override { return false; }
    void focusGetData() override {}
    // StatusView
    void setInformationText(const QString& /*text*/) override {}
    void setInformationCaption(const QString& /*caption*/) override {}
    void showCautionBadge(const QString& /*caption*/, Rgb /*backColour*/) override {}
    void hideCautionBadge() override {}
    void setSoftwareInfo(const QString& /*text*/) override {}
    // TiltPopupWindow
    int OpenInfoWindow(const QString& message, const QString& title, int flags,
                       int countdownSeconds, int modal) override;
    // CalModeView
    void setCalModeChecks(bool /*accel*/, bool /*pend*/) override {}
    void setCalModeCaption(const QString& /*caption*/) override {}
    // CommView
    void setPortChecked(int /*index*/, bool /*checked*/) override {}
    void setPortCaption(const QString& /*caption*/) override {}
    void setSettingsCaption(const QString& /*caption*/) override {}
    void setFormatCaption(const QString& /*caption*/) override {}
    // Gauge
    void setRange(int /*range*/, double /*minimum*/, double /*maximum*/) override {}
    void setActiveRange(int /*range*/) override {}
    void setValue(double /*value*/) override {}
    void setGaugeVisible(bool visible) override { gaugeVisible_ = visible; }
    bool gaugeVisible() const override { return gaugeVisible_; }
    // CalibrationView: "Stored 90: heading 90.2, Hx 12, Hy -215" and the result table.
    void setControlEnabled(CalControl control, bool enabled) override {
        enabled_[control] = enabled;
    }
    void focusControl(CalControl /*control*/) override {}
    void setPointCaptions(int slot, const QString& heading, const QString& hx,
                          const QString& hy) override;
    void showResult(const CalibrationResult& result, int faceImage) override;
    void setTestDisplay(bool /*running*/) override {}
    void hideGauge() override {}
    // UnitView
    void showIdentifiedUnit(const IdentifiedUnit& /*unit*/) override {}

private:
    QTextStream& out_;
    QTextStream& err_;
    std::array<QString, 7> dataBox_{};
    QString frameRate_ = QStringLiteral("0 Frames/Sec");
    bool gaugeVisible_ = false;
    std::map<CalControl, bool> enabled_;
};

}  // namespace tarquel
