#pragma once

#include <QObject>
#include <QtGlobal>
#include <memory>

namespace tarquel {

// A repeating timer on the user-interface thread. Enabling a disabled timer starts a new
// interval; enabling an enabled timer changes nothing; changing the interval of an enabled
// timer starts a new interval.
class Timer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Timer() override = default;

    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;

signals:
    void timeout();
};

// The millisecond tick counter, the blocking waits of the unit link, timers, and the one-shot
// servicing of pending events. Tests replace it by VirtualClock so that waits cost no real time.
class Clock {
public:
    virtual ~Clock() = default;

    // Milliseconds on a monotonic counter.
    virtual qint64 tickCount() const = 0;
    // Microseconds on the same counter, for waits that must not end early.
    virtual qint64 tickCountUs() const = 0;
    // Returns once at least ms milliseconds have passed (never earlier, on the microsecond
    // counter). Does not service events, timers or communication events; sleeps rather than
    // spins.
    virtual void delay(int ms) = 0;
    // The pause between two polls of a waiting loop (about a millisecond); services nothing.
    virtual void pollPause() = 0;
    virtual std::unique_ptr<Timer> createTimer() = 0;
    // Lets pending window, timer and communication events run once.
    virtual void doEvents() = 0;
    // Runs the event loop for ms milliseconds (a command-line tool watching the frame stream).
    virtual void runEvents(int ms) = 0;
};

}  // namespace tarquel
