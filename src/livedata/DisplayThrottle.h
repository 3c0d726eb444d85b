#pragma once

#include "livedata/LiveViews.h"
#include "platform/Clock.h"

#include <QObject>
#include <array>
#include <memory>

namespace tarquel {

// Stands between the frame decoder and the window's live display: every frame's captions are
// taken at once (and read back as the latest), but the window's labels are written at most 20
// times a second. At the end of a receive event what changed is written when the last write is
// 50 ms old; otherwise a timer writes it when that time is up, so a burst always ends with its
// final captions on screen and a frame's captions go to the window together.
class DisplayThrottle : public LiveDataView {
public:
    static constexpr int kDisplayIntervalMs = 50;  // 20 writes a second

    DisplayThrottle(LiveDataView& window, Clock& clock);
    ~DisplayThrottle() override;
    DisplayThrottle(const DisplayThrottle&) = delete;
    DisplayThrottle& operator=(const DisplayThrottle&) = delete;

    void setDataBoxCaption(int slot, const QString& caption) override;
    QString dataBoxCaption(int slot) const override;
    void setFrameCountCaption(const QString& caption) override;
    QString frameCountCaption() const { return frameCount_.text; }
    QString frameRateCaption() const override { return frameRate_.text; }
    void setFrameRateCaption(const QString& caption) override;
    bool getDataEnabled() const override { return window_.getDataEnabled(); }
    void focusGetData() override;

    // The receive event that changed the captions has ended.
    void endOfEvent();
    // Writes what changed to the window now.
    void flush();
    // Label writes passed on to the window so far.
    int windowWrites() const { return windowWrites_; }

private:
    struct Caption {
        QString text;
        bool dirty = false;
    };
    void changed();
    void tick();

    LiveDataView& window_;
    Clock& clock_;
    std::unique_ptr<Timer> timer_;
    qint64 lastFlushMs_;
    std::array<Caption, 7> dataBoxes_{};
    Caption frameCount_;
    Caption frameRate_;
    bool dirty_ = false;
    int windowWrites_ = 0;
    QObject connections_;
};

}  // namespace tarquel
