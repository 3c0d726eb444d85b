#pragma once

#include "calibration/CalibrationView.h"

#include <array>
#include <map>

namespace tarquel::test {

// The main window's calibration controls as plain values.
struct FakeCalibrationView : CalibrationView {
    void setControlEnabled(CalControl control, bool on) override { enabled[control] = on; }
    void focusControl(CalControl control) override { focused = control; }
    QString dataBoxCaption(int slot) const override {
        return dataBoxes.at(static_cast<std::size_t>(slot));
    }
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
    void setFormatCaption(const QString& caption) override { formatCaption = caption; }

    // What DataBox(0..5) show: Hx, Hy, V, X and Y inclination, calculated heading.
    void show(double hx, double hy, double heading) {
        dataBoxes = {QStringLiteral("%1 mg").arg(hx), QStringLiteral("%1 mg").arg(hy),
                     QStringLiteral("+400 mg"),       QStringLiteral("+00.5 dg"),
                     QStringLiteral("-00.3 dg"),      QStringLiteral("%1 dg").arg(heading)};
    }
    bool isEnabled(CalControl control) const {
        const auto it = enabled.find(control);
        return it != enabled.end() && it->second;
    }

    std::map<CalControl, bool> enabled;
    CalControl focused = CalControl::btnInitialize;
    std::array<QString, 6> dataBoxes{};
    std::array<std::array<QString, 3>, 4> pointCaptions{};
    CalibrationResult result;
    int faceImage = 0;
    bool testDisplay = false;
    bool gaugeHidden = false;
    QString formatCaption = QStringLiteral("(design)");
};

}  // namespace tarquel::test
