#pragma once

#include "calibration/CalModeSelector.h"
#include "calibration/Gauge.h"
#include "cli/CliCommand.h"
#include "livedata/LiveDataSession.h"
#include "livedata/LiveViews.h"

#include <QString>
#include <array>
#include <memory>

namespace tarquel {

// The main window's live display without a window: every caption the frame pipeline would show,
// kept as text, the tilt pop-ups printed once on the error stream.
class CliLiveView : public LiveDataView,
                    public StatusView,
                    public TiltPopupWindow,
                    public CalModeView,
                    public Gauge {
public:
    explicit CliLiveView(QTextStream& err) : err_(err) {}

    const QString& dataBox(int slot) const { return dataBox_[static_cast<std::size_t>(slot)]; }
    const QString& frameCount() const { return frameCount_; }
    const QString& frameRate() const { return frameRate_; }
    const QString& information() const { return information_; }
    const QString& softwareInfo() const { return softwareInfo_; }
    const QString& calModeCaption() const { return calModeCaption_; }
    bool gaugeShown() const { return gaugeVisible_; }

    // LiveDataView
    void setDataBoxCaption(int slot, const QString& caption) override {
        dataBox_[static_cast<std::size_t>(slot)] = caption;
    }
    QString dataBoxCaption(int slot) const override { return dataBox(slot); }
    void setFrameCountCaption(const QString& caption) override { frameCount_ = caption; }
    QString frameRateCaption() const override { return frameRate_; }
    void setFrameRateCaption(const QString& caption) override { frameRate_ = caption; }
    bool getDataEnabled() const override { return false; }
    void focusGetData() override {}
    // StatusView
    void setInformationText(const QString& text) override { information_ = text; }
    void setInformationCaption(const QString& /*caption*/) override {}
    void showCautionBadge(const QString& /*caption*/, Rgb /*backColour*/) override {}
    void hideCautionBadge() override {}
    void setSoftwareInfo(const QString& text) override { softwareInfo_ = text; }
    // TiltPopupWindow
    int OpenInfoWindow(const QString& message, const QString& title, int flags,
                       int countdownSeconds, int modal) override;
    // CalModeView
    void setCalModeChecks(bool /*accel*/, bool /*pend*/) override {}
    void setCalModeCaption(const QString& caption) override { calModeCaption_ = caption; }
    // Gauge
    void setRange(int /*range*/, double /*minimum*/, double /*maximum*/) override {}
    void setActiveRange(int /*range*/) override {}
    void setValue(double /*value*/) override {}
    void setGaugeVisible(bool visible) override { gaugeVisible_ = visible; }
    bool gaugeVisible() const override { return gaugeVisible_; }

private:
    QTextStream& err_;
    std::array<QString, 7> dataBox_{};
    QString frameCount_ = QStringLiteral("0");
    QString frameRate_ = QStringLiteral("0 Frames/Sec");
    QString information_;
    QString softwareInfo_;
    QString calModeCaption_ = QStringLiteral("Accel");
    bool gaugeVisible_ = false;
};

// The frame pipeline of the main window on the command's port: receive events, frame assembly
// and decoding, smoothing, heading, the calibration-mode commands, status flags. It runs while the
// command lets events run (Clock::runEvents).
class CliLiveData {
public:
    explicit CliLiveData(CliContext& context);

    CliLiveView& view() { return view_; }
    // DataBox(slot) as the last frame left it.
    QString caption(int slot) { return session_->display().dataBoxCaption(slot); }
    LiveDataSession& session() { return *session_; }
    CalModeSelector& modes() { return modes_; }
    qint32 frames() const { return session_->decoder().frameCount(); }

    // Lets frames arrive for at most maxMs, until at least count frames have been accepted since
    // the call. True when they were.
    bool waitForFrames(int count, int maxMs);

private:
    CliContext& context_;
    CliLiveView view_;
    CalModeSelector modes_;
    std::unique_ptr<LiveDataSession> session_;
};

}  // namespace tarquel
