#pragma once

#include "platform/Clock.h"

#include <functional>
#include <limits>
#include <vector>

namespace tarquel {

// Something that lives in virtual time besides the program: the serial lines and the devices on
// them. Advanced during blocking waits as well as while the event loop runs.
class VirtualWorld {
public:
    // For nextActivityMs: nothing will happen however long time runs.
    static constexpr qint64 kNever = std::numeric_limits<qint64>::max();

    virtual ~VirtualWorld() = default;
    virtual void advanceTo(qint64 nowMs) = 0;
    // The first millisecond after nowMs at which advanceTo may do anything. The clock skips the
    // calls for the milliseconds before it, so quiet stretches cost nothing. Every millisecond
    // unless a world knows better.
    virtual qint64 nextActivityMs(qint64 nowMs) const { return nowMs + 1; }
};

// Something that raises events the program handles only while its event loop runs (a serial
// port's communication event).
class VirtualEventSource {
public:
    virtual ~VirtualEventSource() = default;
    virtual void deliverEvents() = 0;
    // False when deliverEvents() would do nothing.
    virtual bool hasEvents() const { return true; }
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

    // Event-loop time: one millisecond per step, each step followed by doEvents(). Steps in which
    // nothing can happen (no world activity, no event waiting, no timer due, no event hook) are
    // skipped, with the same outcome.
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
    // The first millisecond after now_ at which a world may act.
    qint64 nextWorldActivity() const;
    // The last millisecond up to which runFor's steps would do nothing, at most endMs.
    qint64 quietUntil(qint64 endMs) const;

    qint64 now_;
    qint64 blockedMs_ = 0;
    std::vector<VirtualWorld*> worlds_;
    std::vector<VirtualEventSource*> sources_;
    std::vector<VirtualTimer*> timers_;
    std::function<void()> eventHook_;
};

}  // namespace tarquel
