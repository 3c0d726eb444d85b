#pragma once

#include "session/UnitSession.h"  // every view interface a session takes

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace tarquel::test {

// Every view of a unit session as plain values, with write counters where the display rate
// matters: the main window without widgets.
struct RecordingViews : LiveDataView,
                        StatusView,
                        TiltPopupWindow,
                        Gauge,
                        CalModeView,
                        CommView,
                        CalibrationView,
                        UnitView {
    RecordingViews() { dataBoxes.fill(QStringLiteral("(design)")); }

    // LiveDataView
    void setDataBoxCaption(int slot, const QString& text) override {
        dataBoxes.at(static_cast<std::size_t>(slot)) = text;
        ++dataBoxWrites;
    }
    QString dataBoxCaption(int slot) const override {
        return dataBoxes.at(static_cast<std::size_t>(slot));
    }
    void setFrameCountCaption(const QString& text) override { frameCount = text; }
    QString frameRateCaption() const override { return frameRate; }
    void setFrameRateCaption(const QString& text) override {
        frameRate = text;
        ++frameRateWrites;
    }
    bool getDataEnabled() const override { return isEnabled(CalControl::btnGetData); }
    void focusGetData() override { ++focusHandOffs; }
    bool blank() const {
        return std::all_of(dataBoxes.begin(), dataBoxes.end(), [](auto& b) { return b.isEmpty(); });
    }
    // StatusView
    void setInformationText(const QString& text) override {
        information = text;
        ++informationWrites;
    }
    void setInformationCaption(const QString& text) override { informationCaption = text; }
    void showCautionBadge(const QString& text, Rgb colour) override {
        badge = text;
        badgeColour = colour;
    }
    void hideCautionBadge() override { badge.clear(); }
    void setSoftwareInfo(const QString& text) override {
        softwareInfo = text;
        ++softwareInfoWrites;
    }
    // TiltPopupWindow
    struct Popup {
        QString message, title;
        int flags, countdownSeconds, modal;
    };
    int OpenInfoWindow(const QString& message, const QString& title, int flags,
                       int countdownSeconds, int modal) override {
        popups.push_back({message, title, flags, countdownSeconds, modal});
        if (whilePopupOpen) {
            whilePopupOpen();
        }
        return 1;
    }
    // Gauge
    void setRange(int range, double minimum, double maximum) override {
        ranges.at(static_cast<std::size_t>(range)) = {minimum, maximum};
        ++rangeWrites;
    }
    void setActiveRange(int range) override { activeRange = range; }
    void setValue(double value) override { needle = value; }
    void setGaugeVisible(bool visible) override { gaugeShown = visible; }
    bool gaugeVisible() const override { return gaugeShown; }
    void showSteadiness(bool steady) override { steadiness = steady; }
    // CalModeView
    void setCalModeChecks(bool accel, bool pend) override { calModeChecks = {accel, pend}; }
    void setCalModeCaption(const QString& text) override { calModeCaption = text; }
    // CommView
    void setPortChecked(int index, bool checked) override { portChecked[index] = checked; }
    void setPortCaption(const QString& text) override { portCaption = text; }
    void setSettingsCaption(const QString& text) override { settingsCaption = text; }
    void setFormatCaption(const QString& text) override { formatCaption = text; }
    // CalibrationView
    void setControlEnabled(CalControl control, bool on) override { enabled[control] = on; }
    void focusControl(CalControl control) override { focused = control; }
    void setPointCaptions(int slot, const QString& heading, const QString& hx,
                          const QString& hy) override {
        pointCaptions.at(static_cast<std::size_t>(slot)) = {heading, hx, hy};
    }
    void showResult(const CalibrationResult& r, int face) override {
        result = r;
        faceImage = face;
    }
    void setTestDisplay(bool on) override { testDisplay = on; }
    void hideGauge() override { gaugeHidden = true; }
    bool isEnabled(CalControl control) const {
        const auto it = enabled.find(control);
        return it != enabled.end() && it->second;
    }
    // UnitView
    void showIdentifiedUnit(const IdentifiedUnit& shown) override { unit = shown; }

    std::array<QString, 7> dataBoxes;
    QString frameCount = QStringLiteral("0");
    QString frameRate = QStringLiteral("0 Frames/Sec");
    int dataBoxWrites = 0, frameRateWrites = 0, focusHandOffs = 0;
    QString information, informationCaption, badge, softwareInfo;  // badge empty: hidden
    Rgb badgeColour;
    int informationWrites = 0, softwareInfoWrites = 0;
    std::vector<Popup> popups;
    std::function<void()> whilePopupOpen;
    std::array<std::pair<double, double>, 2> ranges{};
    int rangeWrites = 0;
    int activeRange = -1;
    double needle = -1;
    bool gaugeShown = false;
    std::pair<bool, bool> calModeChecks{true, false};
    QString calModeCaption = QStringLiteral("Accel");
    std::map<int, bool> portChecked;
    QString portCaption, settingsCaption, formatCaption = QStringLiteral("(design)");
    std::map<CalControl, bool> enabled;
    CalControl focused = CalControl::btnInitialize;
    std::array<std::array<QString, 3>, 4> pointCaptions{};
    CalibrationResult result;
    int faceImage = 0;
    bool testDisplay = false;
    bool gaugeHidden = false;
    std::optional<IdentifiedUnit> unit;
    std::optional<bool> steadiness;
};

}  // namespace tarquel::test
