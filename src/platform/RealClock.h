#pragma once

#include "platform/Clock.h"

#include <chrono>

namespace tarquel {

// The machine's monotonic clock (steady_clock, sub-microsecond resolution). A delay sleeps until
// its exact end time, so it neither returns early (as a wait on a counter truncated to whole
// milliseconds can, by up to a millisecond) nor services events nor keeps a core busy.
class RealClock : public Clock {
public:
    RealClock();

    qint64 tickCount() const override;
    qint64 tickCountUs() const override;
    void delay(int ms) override;
    void pollPause() override;
    std::unique_ptr<Timer> createTimer() override;
    void doEvents() override;
    void runEvents(int ms) override;

private:
    std::chrono::steady_clock::time_point start_;
};

}  // namespace tarquel
