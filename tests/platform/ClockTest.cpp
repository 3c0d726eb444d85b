#include "platform/RealClock.h"
#include "platform/VirtualClock.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <ctime>

namespace tarquel {
namespace {

TEST(VirtualClock, DelayAdvancesTheWorldButFiresNoTimer) {
    VirtualClock clock;
    auto timer = clock.createTimer();
    int ticks = 0;
    QObject::connect(timer.get(), &Timer::timeout, [&] { ++ticks; });
    timer->setInterval(100);
    timer->setEnabled(true);

    clock.delay(1000);
    EXPECT_EQ(ticks, 0);
    // A timer that fell behind during a blocking wait ticks once, not once per missed interval.
    clock.runFor(0);
    EXPECT_EQ(ticks, 1);
    clock.runFor(99);
    EXPECT_EQ(ticks, 1);
    clock.runFor(1);
    EXPECT_EQ(ticks, 2);
}

TEST(VirtualClock, EnablingAnEnabledTimerDoesNotRestartIt) {
    VirtualClock clock;
    auto timer = clock.createTimer();
    int ticks = 0;
    QObject::connect(timer.get(), &Timer::timeout, [&] { ++ticks; });
    timer->setInterval(1000);
    timer->setEnabled(true);
    clock.runFor(600);
    timer->setEnabled(true);
    clock.runFor(400);
    EXPECT_EQ(ticks, 1);

    // Disabling and enabling again starts a whole new interval.
    timer->setEnabled(false);
    timer->setEnabled(true);
    clock.runFor(999);
    EXPECT_EQ(ticks, 1);
    clock.runFor(1);
    EXPECT_EQ(ticks, 2);
}

TEST(VirtualClock, TimersDueTogetherFireInOrderOfTheirDueTime) {
    VirtualClock clock;
    auto slow = clock.createTimer();
    auto fast = clock.createTimer();
    std::vector<char> order;
    QObject::connect(slow.get(), &Timer::timeout, [&] { order.push_back('s'); });
    QObject::connect(fast.get(), &Timer::timeout, [&] { order.push_back('f'); });
    slow->setInterval(50);
    slow->setEnabled(true);
    clock.delay(10);
    fast->setInterval(30);
    fast->setEnabled(true);  // due 10 ms before the slow one
    clock.delay(100);
    clock.runFor(0);
    EXPECT_EQ(order, (std::vector<char>{'f', 's'}));
}

TEST(RealClock, DelayWaitsAtLeastTheTimeWithoutSpinningACore) {
    RealClock clock;
    EXPECT_LE(clock.tickCount() - clock.tickCount(), 0);
    const qint64 start = clock.tickCount();
    const std::clock_t cpuStart = std::clock();
    clock.delay(120);
    const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    EXPECT_GE(clock.tickCount() - start, 120);
    EXPECT_LT(cpuMs, 60.0) << "the wait must sleep, not spin";

    const qint64 before = clock.tickCount();
    clock.delay(0);
    EXPECT_LE(clock.tickCount() - before, 1);
}

}  // namespace
}  // namespace tarquel
