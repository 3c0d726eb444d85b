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

RealClock::RealClock() {
    elapsed_.start();
}

qint64 RealClock::tickCount() const {
    return elapsed_.elapsed();
}

void RealClock::delay(int ms) {
    const qint64 target = tickCount() + ms;
    for (qint64 now = tickCount(); now < target; now = tickCount()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<qint64>(target - now, 1)));
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
