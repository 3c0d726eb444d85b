#pragma once

#include "livedata/LiveViews.h"

#include <QStringList>
#include <array>
#include <functional>
#include <vector>

namespace tarquel::test {

// The main window's live-data controls as plain values, with write counters.
class FakeLiveView : public LiveDataView {
public:
    FakeLiveView() { dataBoxes.fill(QStringLiteral("(design)")); }

    void setDataBoxCaption(int slot, const QString& caption) override {
        dataBoxes.at(static_cast<std::size_t>(slot)) = caption;
        ++dataBoxWrites;
    }
    void setFrameCountCaption(const QString& caption) override { frameCount = caption; }
    QString frameRateCaption() const override { return frameRate; }
    void setFrameRateCaption(const QString& caption) override {
        frameRate = caption;
        ++frameRateWrites;
    }
    bool getDataEnabled() const override { return getDataButtonEnabled; }
    void focusGetData() override { ++focusHandOffs; }

    bool blank() const {
        for (const QString& box : dataBoxes) {
            if (!box.isEmpty()) {
                return false;
            }
        }
        return true;
    }

    std::array<QString, 7> dataBoxes;
    int dataBoxWrites = 0;
    QString frameCount = QStringLiteral("0");
    QString frameRate = QStringLiteral("0 Frames/Sec");
    int frameRateWrites = 0;
    bool getDataButtonEnabled = false;
    int focusHandOffs = 0;
};

class FakeStatusView : public StatusView {
public:
    void setInformationText(const QString& text) override {
        information = text;
        ++informationWrites;
    }
    void setInformationCaption(const QString& caption) override { informationCaption = caption; }
    void showCautionBadge(const QString& caption, Rgb colour) override {
        badgeVisible = true;
        badgeCaption = caption;
        badgeColour = colour;
    }
    void hideCautionBadge() override { badgeVisible = false; }
    void setSoftwareInfo(const QString& text) override {
        softwareInfo = text;
        ++softwareInfoWrites;
    }

    QString information;
    int informationWrites = 0;
    QString informationCaption = QStringLiteral("Transmitted Flags and Information");
    bool badgeVisible = false;
    QString badgeCaption = QStringLiteral("WARNING");
    Rgb badgeColour;
    QString softwareInfo;
    int softwareInfoWrites = 0;
};

class FakeInfoWindow : public InfoWindowOpener {
public:
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

class FakeTerminal : public TerminalSink {
public:
    void ProcessData(const QString& text) override { received += text; }
    QString received;
};

}  // namespace tarquel::test
