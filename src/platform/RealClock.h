#pragma once

#include "platform/Clock.h"

#include <QElapsedTimer>

namespace tarquel {

// The machine's monotonic millisecond clock. Waits sleep in steps of at most a millisecond, so a
// 12-second wait neither services events nor keeps a core busy.
class RealClock : public Clock {
public:
    RealClock();

    qint64 tickCount() const override;
    void delay(int ms) override;
    void pollPause() override;
    std::unique_ptr<Timer> createTimer() override;
    void doEvents() override;
    void runEvents(int ms) override;

private:
    QElapsedTimer elapsed_;
};

}  // namespace tarquel
