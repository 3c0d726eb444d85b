#include "platform/RealClock.h"
#include "platform/VirtualClock.h"

#include <gtest/gtest.h>
#include <chrono>
#include <ctime>

namespace tarquel {
namespace {

TEST(VirtualClock, ATimerBehindTicksOnceAndOnlyADisableOrANewIntervalRestartsIt) {
    VirtualClock clock;
    auto timer = clock.createTimer();
    int ticks = 0;
    QObject::connect(timer.get(), &Timer::timeout, [&] { ++ticks; });
    timer->setInterval(100);
    timer->setEnabled(true);
    clock.delay(1000);
    EXPECT_EQ(ticks, 0) << "a blocking wait fires no timer";
    // A timer that fell behind during the wait ticks once, not once per missed interval.
    clock.runFor(0);
    EXPECT_EQ(ticks, 1);
    clock.runFor(99);
    EXPECT_EQ(ticks, 1);
    clock.runFor(1);
    EXPECT_EQ(ticks, 2);

    // Enabling an enabled timer does not restart it; a new interval does.
    timer->setInterval(1000);
    clock.runFor(600);
    timer->setEnabled(true);
    clock.runFor(399);
    EXPECT_EQ(ticks, 2);
    clock.runFor(1);
    EXPECT_EQ(ticks, 3);
    // Disabling and enabling again starts a whole new interval.
    clock.runFor(500);
    timer->setEnabled(false);
    timer->setEnabled(true);
    clock.runFor(999);
    EXPECT_EQ(ticks, 3);
    clock.runFor(1);
    EXPECT_EQ(ticks, 4);
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

TEST(RealClock, DelaysNeverEndEarlyAndSleepRatherThanSpin) {
    // Measured on the machine's own monotonic clock, independent of the one under test: a
    // lower bound, so a loaded machine cannot make it fail.
    RealClock clock;
    const std::clock_t cpuStart = std::clock();
    for (const auto& [ms, calls] : {std::pair{1, 50}, std::pair{20, 5}, std::pair{120, 1}}) {
        for (int i = 0; i < calls; ++i) {
            const auto start = std::chrono::steady_clock::now();
            clock.delay(ms);
            const auto took = std::chrono::steady_clock::now() - start;
            ASSERT_GE(took, std::chrono::milliseconds(ms)) << "Delay(" << ms << ") call " << i;
        }
    }
    const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    EXPECT_LT(cpuMs, 100.0) << "270 ms of waits must sleep, not spin";
    // One counter in two units: the microseconds read between two millisecond reads lie between.
    const qint64 before = clock.tickCount();
    const qint64 usInMs = clock.tickCountUs() / 1000;
    EXPECT_LE(before, usInMs);
    EXPECT_LE(usInMs, clock.tickCount());
}

}  // namespace
}  // namespace tarquel
