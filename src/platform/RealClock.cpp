#include "platform/RealClock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <thread>

namespace tarquel {

namespace {

class QtTimer : public Timer {
public:
    QtTimer() { QObject::connect(&timer_, &QTimer::timeout, this, &Timer::timeout); }
    void setInterval(int ms) override { timer_.setInterval(ms); }
    int interval() const override { return timer_.interval(); }
    void setEnabled(bool enabled) override {
        if (enabled && !timer_.isActive()) {
            timer_.start();
        } else if (!enabled) {
            timer_.stop();
        }
    }
    bool isEnabled() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

}  // namespace

RealClock::RealClock() : start_(std::chrono::steady_clock::now()) {}

qint64 RealClock::tickCount() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
}

qint64 RealClock::tickCountUs() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
}

void RealClock::delay(int ms) {
    if (ms <= 0) {
        return;
    }
    const auto target = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    // sleep_until may wake early on a signal; the loop only ends once the time has come.
    while (std::chrono::steady_clock::now() < target) {
        std::this_thread::sleep_until(target);
    }
}

void RealClock::pollPause() {
    std::this_thread::sleep_for(std::chrono::microseconds(500));
}

std::unique_ptr<Timer> RealClock::createTimer() {
    return std::make_unique<QtTimer>();
}

void RealClock::doEvents() {
    QCoreApplication::processEvents();
}

void RealClock::runEvents(int ms) {
    QEventLoop loop;
    QTimer::singleShot(std::max(ms, 0), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace tarquel
