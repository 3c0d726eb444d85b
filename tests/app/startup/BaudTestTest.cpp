#include "StartupRig.h"
#include "app/startup/BaudTest.h"
#include "platform/Errors.h"

#include <algorithm>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarquel::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kUnitPort = 5;
const std::vector<int> kTrialOrder = {9600, 19200, 38400, 4800, 2400, 1200};

class BaudTestTest : public ::testing::Test {
protected:
    BaudTestTest() {
        rig.result.activePort = kUnitPort;
        rig.TestComm.setCommPort(2);
        rig.TestComm.setInputLen(3);
    }

    // Runs the test to its end; returns how long it took.
    qint64 runToEnd() {
        const qint64 started = rig.clock.tickCount();
        continued = 0;
        test.start();
        EXPECT_TRUE(rig.clock.runUntil([&] { return continued > 0; }, 20000));
        const qint64 took = continuedAt - started;
        rig.clock.runFor(3000);
        EXPECT_EQ(continued, 1);
        EXPECT_FALSE(test.tmrBaud().isEnabled());
        EXPECT_FALSE(rig.TestComm.portOpen());
        return took;
    }

    StartupRig rig;
    int continued = 0;
    qint64 continuedAt = 0;
    BaudTest test{rig.clock, rig.boxes, rig.result, rig.TestComm, rig.splash, [this] {
                      ++continued;
                      continuedAt = rig.clock.tickCount();
                  }};
};

TEST_F(BaudTestTest, RatesAreTriedInFixedOrderUntilExhausted) {
    quint16 tried = 0;
    std::vector<int> rates;
    for (int i = 0; i < 6; ++i) {
        rates.push_back(test.fNextBaudRate(tried));
    }
    EXPECT_EQ(rates, kTrialOrder);
    EXPECT_EQ(rig.result.startupStatus, StartupStatus::Found);
    EXPECT_EQ(test.fNextBaudRate(tried), 0);
    EXPECT_EQ(rig.result.startupStatus, StartupStatus::BaudFailed);

    tried = BaudBit::B9600 | BaudBit::B38400;
    EXPECT_EQ(test.fNextBaudRate(tried), 19200);
    EXPECT_EQ(test.fNextBaudRate(tried), 4800);
}

QByteArray runs(std::initializer_list<std::pair<int, quint8>> parts,
                const QByteArray& tail = "\r") {
    QByteArray sample;
    for (const auto& [count, value] : parts) {
        sample += QByteArray(count, static_cast<char>(value));
    }
    return sample + tail;
}

TEST_F(BaudTestTest, SampleJudgement) {
    constexpr DataFormat fails = DataFormat::Unknown;
    const std::pair<QByteArray, DataFormat> cases[] = {
        {runs({{699, 'A'}, {301, 0xC8}}), fails},
        {runs({{700, 'A'}, {300, 0xC8}}), DataFormat::Decimal},
        {runs({{300, 'A'}, {700, 0xC8}}), DataFormat::Binary},
        // 127 is the highest 7-bit value, 128 the lowest 8-bit one.
        {runs({{699, 'A'}, {1, 127}, {300, 0xC8}}), DataFormat::Decimal},
        {runs({{699, 'A'}, {1, 128}, {300, 0xC8}}), fails},
        {runs({{699, 0xC8}, {1, 128}, {300, 'A'}}), DataFormat::Binary},
        {runs({{699, 0xC8}, {1, 127}, {300, 'A'}}), fails},
        {QByteArray(), fails},
        {runs({{100, 'A'}}, ""), fails},  // no carriage return
        {"\r\r\r", fails},                // carriage returns only
        // Only the first 5001 bytes count.
        {runs({{5000, 'A'}}) + QByteArray(20000, '\xC8'), DataFormat::Decimal},
        {runs({{5001, 'A'}}), fails},
    };
    for (const auto& [sample, format] : cases) {
        rig.result.detectedFormat = fails;
        EXPECT_EQ(test.fCheckBaudSample(sample), format != fails) << sample.left(8).toHex().data();
        EXPECT_EQ(rig.result.detectedFormat, format);
    }
}

class BaudTestRateTest : public BaudTestTest,
                         public ::testing::WithParamInterface<std::pair<int, DataFormat>> {};

TEST_P(BaudTestRateTest, UnitIsFoundAtItsRateAfterTheEarlierRatesFail) {
    const auto [rate, format] = GetParam();
    RatedUnit unit(rate, format == DataFormat::Binary ? kBinaryFrame : kDecimalFrame);
    rig.ports.addPort(kUnitPort, &unit);
    const auto turn = std::find(kTrialOrder.begin(), kTrialOrder.end(), rate) - kTrialOrder.begin();
    const std::vector<int> tried(kTrialOrder.begin(), kTrialOrder.begin() + turn + 1);

    // Each rate: a 50 ms set-up tick, then three 1000 ms listening intervals.
    EXPECT_EQ(runToEnd(), (turn + 1) * 3050);

    EXPECT_EQ(rig.result.detectedBaud, rate);
    EXPECT_EQ(rig.result.detectedFormat, format);
    EXPECT_EQ(rig.result.startupStatus, StartupStatus::Found);
    EXPECT_EQ(braceBauds(unit), tried);
    EXPECT_EQ(rig.splash.messages.size(), tried.size());
    EXPECT_EQ(rig.splash.messages.back(), QStringLiteral("Checking Baud Rates (%1) ...").arg(rate));
    EXPECT_TRUE(rig.splash.clickVisible);
    // TestComm as before the test.
    EXPECT_EQ(rig.TestComm.settings(), "9600,n,8,1");
    EXPECT_EQ(rig.TestComm.commPort(), 2);
    EXPECT_EQ(rig.TestComm.inputLen(), 3);
}

INSTANTIATE_TEST_SUITE_P(Rates, BaudTestRateTest,
                         ::testing::Values(std::pair(19200, DataFormat::Decimal),
                                           std::pair(38400, DataFormat::Binary),
                                           std::pair(1200, DataFormat::Decimal)));

TEST_F(BaudTestTest, AllRatesFailing) {
    ScriptedPeer silent;
    rig.ports.addPort(kUnitPort, &silent);
    rig.TestComm.setSettings("4800,n,8,1");

    // Six rates, then one tick that finds none left.
    EXPECT_EQ(runToEnd(), 6 * 3050 + 50);

    EXPECT_EQ(rig.result.startupStatus, StartupStatus::BaudFailed);
    EXPECT_EQ(rig.result.detectedBaud, 0);
    EXPECT_EQ(braceBauds(silent), kTrialOrder);
    EXPECT_EQ(rig.TestComm.settings(), "4800,n,8,1");
    EXPECT_EQ(rig.TestComm.commPort(), 2);
}

TEST_F(BaudTestTest, PortErrorsFailTheRatesWithoutReport) {
    rig.ports.addPort(kUnitPort);
    rig.ports.setOpenFails(kUnitPort, true);

    EXPECT_EQ(runToEnd(), 7 * 50);
    EXPECT_EQ(rig.result.startupStatus, StartupStatus::BaudFailed);
    EXPECT_THAT(rig.boxes.shown(), IsEmpty());
}

TEST_F(BaudTestTest, ClickDuringTheTestEndsItAtTheNextTick) {
    RatedUnit unit(1200, kDecimalFrame);
    rig.ports.addPort(kUnitPort, &unit);
    test.Form_Click();  // lblClick still hidden
    EXPECT_FALSE(rig.result.skipBaudTest);

    const qint64 started = rig.clock.tickCount();
    test.start();
    rig.clock.runFor(3050 + 500);  // 9600 has failed, 19200 is being listened to
    test.Form_Click();
    ASSERT_TRUE(rig.clock.runUntil([&] { return continued > 0; }, 1000));

    EXPECT_EQ(continuedAt - started, 3050 + 50 + 1000);
    EXPECT_EQ(rig.result.startupStatus, StartupStatus::BaudSkipped);
    EXPECT_EQ(rig.result.detectedBaud, 0);
    EXPECT_EQ(rig.TestComm.settings(), "19200,n,8,1");
    EXPECT_EQ(rig.TestComm.commPort(), kUnitPort);
    EXPECT_FALSE(rig.TestComm.portOpen());
    rig.clock.runFor(3000);
    EXPECT_EQ(continued, 1);
}

TEST_F(BaudTestTest, ClickOnLblClickAlwaysSkips) {
    RatedUnit unit(9600, kDecimalFrame);
    rig.ports.addPort(kUnitPort, &unit);
    test.lblClick_Click();

    // The first tick still sets up 9600 before it sees the flag.
    EXPECT_EQ(runToEnd(), 50);
    EXPECT_THAT(braceBauds(unit), ElementsAre(9600));
    EXPECT_EQ(rig.result.startupStatus, StartupStatus::BaudSkipped);
    EXPECT_EQ(rig.result.detectedBaud, 0);
}

TEST_F(BaudTestTest, NothingToTestEndsAtTheFirstTick) {
    RatedUnit unit(9600, kDecimalFrame);
    rig.ports.addPort(kUnitPort, &unit);
    rig.result.detectedBaud = 1234;
    rig.result.activePort = 0;
    EXPECT_EQ(runToEnd(), 50);
    EXPECT_EQ(rig.result.detectedBaud, 0);
    EXPECT_FALSE(rig.splash.clickVisible);

    // A starting rate that is not one of the six.
    rig.result.activePort = kUnitPort;
    rig.TestComm.setSettings("14400,n,8,1");
    EXPECT_EQ(runToEnd(), 50);
    EXPECT_TRUE(rig.splash.clickVisible);
    EXPECT_EQ(rig.TestComm.settings(), "14400,n,8,1");
    EXPECT_EQ(rig.result.startupStatus, StartupStatus::Found);
    EXPECT_THAT(rig.ports.writes(), IsEmpty());
}

// --- TestComm's communication event ---

class TestCommEventTest : public BaudTestTest {
protected:
    TestCommEventTest() {
        rig.ports.addPort(kUnitPort);
        rig.TestComm.setCommPort(kUnitPort);
        rig.TestComm.setPortOpen(true);
    }
    // Distinct bytes arriving, then one pass of the event loop.
    QByteArray arrive(int count) {
        QByteArray bytes;
        for (int i = 0; i < count; ++i) {
            bytes += static_cast<char>(next++ % 251);
        }
        rig.TestComm.feed(bytes);
        rig.clock.doEvents();
        return bytes;
    }
    QByteArray waiting() {
        const int length = rig.TestComm.inputLen();
        rig.TestComm.setInputLen(0);
        const QByteArray bytes = rig.TestComm.input();
        rig.TestComm.setInputLen(length);
        return bytes;
    }
    int next = 0;
};

TEST_F(TestCommEventTest, KeepsTheNewest1000Bytes) {
    const QByteArray thousand = arrive(1000);
    EXPECT_EQ(waiting(), thousand);

    const QByteArray bytes = arrive(1500);
    EXPECT_EQ(rig.TestComm.inputLen(), 3);
    EXPECT_EQ(waiting(), bytes.right(1000));
}

TEST_F(TestCommEventTest, ReadErrorsAreRetriedNineTimesPerEvent) {
    for (const int number : {ErrorNumber::ReadFailed, ErrorNumber::SettingsNotApplied}) {
        rig.TestComm.injectError(FakeSerialPort::Operation::InBufferCount, number, 9);
        const QByteArray bytes = arrive(1200);
        EXPECT_EQ(waiting(), bytes.right(1000));
    }
    EXPECT_THAT(rig.boxes.shown(), IsEmpty());

    rig.TestComm.injectError(FakeSerialPort::Operation::InBufferCount, ErrorNumber::ReadFailed, 10);
    arrive(1200);
    EXPECT_EQ(waiting().size(), 1200);
    // Not retried here: reported at once, and the read length is put back.
    rig.TestComm.injectError(FakeSerialPort::Operation::Input, ErrorNumber::ControlBlockFailed);
    arrive(1001);
    EXPECT_EQ(rig.TestComm.inputLen(), 3);

    ASSERT_EQ(rig.boxes.shown().size(), 2u);
    EXPECT_EQ(rig.boxes.shown()[0].prompt,
              "Error Number 8020 - Injected port error has occurred in routine TestComm.OnComm. "
              "Please contact Corvane Industries.");
    EXPECT_TRUE(rig.boxes.shown()[0].title.isEmpty());
    EXPECT_EQ(rig.boxes.shown()[0].icon, MsgIcon::None);
    EXPECT_TRUE(rig.boxes.shown()[1].prompt.startsWith("Error Number 8021 - "));
}

}  // namespace
}  // namespace tarquel::test
