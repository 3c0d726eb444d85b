#pragma once

#include "livedata/LiveViews.h"

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

namespace tarquel::test {

// The main window's live-data and status controls as plain values, with write counters.
struct FakeLiveView : LiveDataView, StatusView {
    FakeLiveView() { dataBoxes.fill(QStringLiteral("(design)")); }

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
    bool getDataEnabled() const override { return getDataButtonEnabled; }
    void focusGetData() override { ++focusHandOffs; }
    bool blank() const {
        return std::all_of(dataBoxes.begin(), dataBoxes.end(), [](auto& b) { return b.isEmpty(); });
    }

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

    std::array<QString, 7> dataBoxes;
    QString frameCount = QStringLiteral("0");
    QString frameRate = QStringLiteral("0 Frames/Sec");
    int dataBoxWrites = 0, frameRateWrites = 0, focusHandOffs = 0;
    bool getDataButtonEnabled = false;
    QString information, informationCaption, badge, softwareInfo;  // badge empty: hidden
    Rgb badgeColour;
    int informationWrites = 0, softwareInfoWrites = 0;
};

struct FakeInfoWindow : TiltPopupWindow {
    struct Call {
        QString message, title;
        int flags, countdownSeconds, modal;
    };
    int OpenInfoWindow(const QString& message, const QString& title, int flags,
                       int countdownSeconds, int modal) override {
        calls.push_back({message, title, flags, countdownSeconds, modal});
        if (whileOpen) {
            whileOpen();
        }
        return 1;
    }
    std::vector<Call> calls;
    std::function<void()> whileOpen;
};

}  // namespace tarquel::test
