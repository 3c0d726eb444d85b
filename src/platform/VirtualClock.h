#pragma once

#include "platform/Clock.h"

#include <functional>
#include <vector>

namespace tarquel {

// Something that lives in virtual time besides the program: the serial lines and the devices on
// them. Advanced during blocking waits as well as while the event loop runs.
class VirtualWorld {
public:
    virtual ~VirtualWorld() = default;
    virtual void advanceTo(qint64 nowMs) = 0;
};

// Something that raises events the program handles only while its event loop runs (a serial
// port's communication event).
class VirtualEventSource {
public:
    virtual ~VirtualEventSource() = default;
    virtual void deliverEvents() = 0;
};

class VirtualTimer;

// Virtual milliseconds for tests: delay() and pollPause() move time forward for the world at once
// (no real waiting, no events); runFor() lets time pass with the event loop running, delivering
// communication events and timer ticks in order.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(qint64 startMs = 1000);
    ~VirtualClock() override;

    qint64 tickCount() const override { return now_; }
    qint64 tickCountUs() const override { return now_ * 1000; }
    void delay(int ms) override;
    void pollPause() override;
    std::unique_ptr<Timer> createTimer() override;
    void doEvents() override;
    void runEvents(int ms) override { runFor(ms); }

    // Event-loop time: one millisecond per step, each step followed by doEvents().
    void runFor(qint64 ms);
    // Runs until done() holds or maxMs have passed; returns done().
    bool runUntil(const std::function<bool()>& done, qint64 maxMs);

    void addWorld(VirtualWorld* world);
    void removeWorld(VirtualWorld* world);
    void addEventSource(VirtualEventSource* source);
    void removeEventSource(VirtualEventSource* source);
    // Called at the end of every doEvents(), for example to let Qt process its own events.
    void setEventHook(std::function<void()> hook) { eventHook_ = std::move(hook); }

    // Milliseconds spent in delay() and pollPause() so far.
    qint64 blockedMs() const { return blockedMs_; }

private:
    friend class VirtualTimer;
    void advanceWorld(qint64 ms);
    void fireDueTimers();

    qint64 now_;
    qint64 blockedMs_ = 0;
    std::vector<VirtualWorld*> worlds_;
    std::vector<VirtualEventSource*> sources_;
    std::vector<VirtualTimer*> timers_;
    std::function<void()> eventHook_;
};

}  // namespace tarquel
