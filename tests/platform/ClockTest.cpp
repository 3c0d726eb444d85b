#include "platform/RealClock.h"
#include "platform/VirtualClock.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <chrono>
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

    // Disabling and enabling again starts a whole new interval, and so does a new interval.
    timer->setEnabled(false);
    timer->setEnabled(true);
    clock.runFor(999);
    EXPECT_EQ(ticks, 1);
    clock.runFor(1);
    EXPECT_EQ(ticks, 2);
    clock.runFor(500);
    timer->setInterval(1000);
    clock.runFor(999);
    EXPECT_EQ(ticks, 2);
    clock.runFor(1);
    EXPECT_EQ(ticks, 3);
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
    const qint64 start = clock.tickCount();
    const std::clock_t cpuStart = std::clock();
    clock.delay(120);
    const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    EXPECT_GE(clock.tickCount() - start, 120);
    EXPECT_LT(cpuMs, 60.0) << "the wait must sleep, not spin";
}

TEST(RealClock, DelaysNeverEndEarly) {
    // Measured on the machine's own monotonic clock, independent of the one under test: a
    // lower bound, so a loaded machine cannot make it fail.
    RealClock clock;
    for (const auto& [ms, calls] : {std::pair{1, 50}, std::pair{20, 5}}) {
        for (int i = 0; i < calls; ++i) {
            const auto start = std::chrono::steady_clock::now();
            clock.delay(ms);
            const auto took = std::chrono::steady_clock::now() - start;
            ASSERT_GE(took, std::chrono::milliseconds(ms)) << "Delay(" << ms << ") call " << i;
        }
    }
    // One counter in two units: the microseconds read between two millisecond reads lie between.
    const qint64 before = clock.tickCount();
    const qint64 us = clock.tickCountUs();
    const qint64 after = clock.tickCount();
    EXPECT_LE(before, us / 1000);
    EXPECT_LE(us / 1000, after);
}

}  // namespace
}  // namespace tarquel
