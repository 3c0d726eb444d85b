// The start-up logic on virtual time with fake port hardware: the order of its steps, port
// discovery, the modem test and the baud-rate test behind the splash window; then the main
// window's report of what they found, on a session: the box for each outcome, the port menu, the
// port it opens with the detected rate and format, and the unit identified there.
#include "app/startup/BaudTest.h"
#include "app/startup/PortDiscovery.h"
#include "app/startup/SplashView.h"
#include "app/startup/Startup.h"
#include "app/startup/StartupReport.h"
#include "app/startup/StartupResult.h"
#include "platform/Errors.h"
#include "platform/FakeSerialPort.h"
#include "platform/MessageBoxes.h"
#include "platform/ScriptedPeer.h"
#include "platform/VirtualClock.h"
#include "support/SessionRig.h"

#include <QStringList>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarquel::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Op = FakeSerialPort::Operation;

struct RecordingSplash : SplashView {
    void setLblMessagesText(const QString& text) override { messages << text; }
    void setLblClickVisible(bool visible) override { clickVisible = visible; }
    bool lblClickVisible() const override { return clickVisible; }

    QStringList messages;
    bool clickVisible = false;
};

// A unit streaming frames at its own rate: a PC port at another rate receives garble without
// carriage returns.
unitsim::UnitConfig unitAt(int baud,
                           unitsim::OutputFormat format = unitsim::OutputFormat::Decimal) {
    unitsim::UnitConfig config;
    config.baud = baud;
    config.format = format;
    return config;
}

// The PC's baud rate at each "{" the unit received.
std::vector<int> braceBauds(const unitsim::SimulatedUnit& unit) {
    std::vector<int> bauds;
    for (const unitsim::SimulatedUnit::ReceivedByte& r : unit.receivedBytes()) {
        if (r.byte == '{') {
            bauds.push_back(r.pcBaud);
        }
    }
    return bauds;
}

// A modem: answers "AT" and a carriage return received in one piece.
void makeModem(
    ScriptedPeer& peer, const QByteArray& answer, std::function<void()> onAttention = [] {}) {
    peer.onReceive([=](const QByteArray& bytes) {
        if (bytes.toUpper() != "AT\r") {
            return QByteArray();
        }
        onAttention();
        return answer;
    });
}

// Runs an action the first time virtual time moves, that is inside the first blocking wait.
struct OnFirstAdvance : VirtualWorld {
    OnFirstAdvance(VirtualClock& c, std::function<void()> a) : clock(c), action(std::move(a)) {
        clock.addWorld(this);
    }
    ~OnFirstAdvance() override { clock.removeWorld(this); }
    void advanceTo(qint64 /*nowMs*/) override {
        if (auto run = std::exchange(action, {})) {
            run();
        }
    }
    VirtualClock& clock;
    std::function<void()> action;
};

// The splash window's surroundings: virtual time, the port hardware, TestComm as it starts.
struct StartupRig {
    StartupRig() { PrepareTestComm(TestComm); }

    std::vector<int> portsWith(bool PortStatus::*column) const {
        std::vector<int> matching;
        for (int p = 1; p <= 20; ++p) {
            if (result.portStatus[p].*column) {
                matching.push_back(p);
            }
        }
        return matching;
    }

    VirtualClock clock;
    FakePortSystem ports{clock};
    FakeSerialPort TestComm{ports};
    ScriptedMessageBoxes boxes;
    StartupResult result;
    RecordingSplash splash;
};

class StartupTest : public ::testing::Test {
protected:
    StartupRig rig;
    QStringList calls;
    Startup startup{rig.clock,
                    rig.boxes,
                    rig.TestComm,
                    rig.splash,
                    [this] { calls << "showMainWindow"; },
                    [this] { calls << "unloadSplash"; }};
};

TEST_F(StartupTest, TheBaudTestRunsBeforeTheModemTestThenTheMainWindowFollows) {
    unitsim::SimulatedUnit unit5(unitAt(9600));
    rig.ports.addPort(5, &unit5);

    startup.Main();
    EXPECT_THAT(calls, IsEmpty());
    ASSERT_TRUE(rig.clock.runUntil([&] { return !calls.isEmpty(); }, 5000));

    EXPECT_THAT(calls, ElementsAre("showMainWindow", "unloadSplash"));
    EXPECT_THAT(rig.splash.messages,
                ElementsAre("Checking Communications Ports ...", "Checking Baud Rates (9600) ...",
                            "Testing for Modems ...", "Loading Settings ..."));
    EXPECT_EQ(rig.ports.bytesWritten(5), "{AT\r") << "the modem test after the baud test";
}

TEST_F(StartupTest, WithoutTrafficTheMainWindowFollowsAtOnce) {
    rig.ports.addPort(2);

    startup.Main();

    EXPECT_THAT(calls, ElementsAre("showMainWindow", "unloadSplash"));
    EXPECT_FALSE(startup.baudTest().tmrBaud().isEnabled());
}

class PortDiscoveryTest : public ::testing::Test {
protected:
    // Milliseconds spent in blocking waits by the action.
    qint64 blocked(const std::function<void()>& action) {
        const qint64 before = rig.clock.blockedMs();
        action();
        return rig.clock.blockedMs() - before;
    }
    qint64 find() {
        return blocked([&] { discovery.FindCommPorts(rig.TestComm); });
    }
    qint64 modems() {
        return blocked([&] { discovery.CheckForModems(rig.TestComm); });
    }
    // Modems on ports 1 to 3 whose reads fail 6, 6 and `third` times, each with a retried number.
    qint64 modemsWithThirdFailing(int third) {
        const int numbers[] = {ErrorNumber::SettingsNotApplied, ErrorNumber::ReadFailed,
                               ErrorNumber::ControlBlockFailed};
        const int times[] = {6, 6, third};
        for (int i = 0; i < 3; ++i) {
            makeModem(peers[i], "OK\r", [this, n = numbers[i], t = times[i]] {
                rig.TestComm.injectError(Op::Input, n, t);
            });
            rig.ports.addPort(i + 1, &peers[i]);
        }
        find();
        return modems();
    }

    StartupRig rig;
    PortDiscovery discovery{rig.clock, rig.boxes, rig.result};
    ScriptedPeer peers[3];
};

TEST_F(PortDiscoveryTest, EnumerationFromTheControlsPortWrapsAroundAndSilentPortsHaveNoTraffic) {
    for (int p = 1; p <= 20; ++p) {
        rig.ports.addPort(p);
    }
    rig.TestComm.setCommPort(7);
    rig.TestComm.injectError(Op::Open, ErrorNumber::PortNotAvailable);
    find();
    // Only the first attempt failed, and every other port was still tried.
    EXPECT_EQ(rig.portsWith(&PortStatus::opened).size(), 19u);
    EXPECT_FALSE(rig.result.portStatus[7].opened);
    EXPECT_EQ(rig.result.startupStatus, StartupStatus::NoTraffic);

    rig.result = StartupResult{};
    rig.TestComm.setCommPort(0);
    find();
    EXPECT_EQ(rig.result.startupStatus, StartupStatus::NoPorts);
    EXPECT_THAT(rig.portsWith(&PortStatus::opened), IsEmpty());
}

TEST_F(PortDiscoveryTest, HighestPortWithTrafficIsActiveAndOneFailingItsTestTwiceHasNone) {
    unitsim::SimulatedUnit unit3(unitAt(9600));
    unitsim::SimulatedUnit unit5(unitAt(19200));
    rig.ports.addPort(2);
    rig.ports.addPort(3, &unit3);
    rig.ports.addPort(4);
    rig.ports.addPort(5, &unit5);
    // Port 4 opens during enumeration, then another program takes it.
    OnFirstAdvance takeOver(rig.clock, [&] { rig.ports.setOpenFails(4, true); });

    // 2, 3, 4 fails; the scan starts over once: 2, 3, 4 fails again, 5.
    EXPECT_EQ(find(), 5 * 100);
    EXPECT_THAT(rig.portsWith(&PortStatus::opened), ElementsAre(2, 3, 4, 5));
    EXPECT_THAT(rig.portsWith(&PortStatus::traffic), ElementsAre(3, 5));
    EXPECT_EQ(rig.result.activePort, 5) << "the highest port with traffic";
    EXPECT_EQ(rig.result.startupStatus, StartupStatus::Found);
    EXPECT_FALSE(rig.TestComm.portOpen());
    EXPECT_EQ(rig.TestComm.rThreshold(), 1);
}

TEST_F(PortDiscoveryTest, ModemIsFoundByOkInAnyLetterCase) {
    ScriptedPeer modem;
    ScriptedPeer splitAnswer;
    makeModem(modem, "\r\noK\r\n");
    makeModem(splitAnswer, "O\r\nK\r\n");
    rig.ports.addPort(1);
    rig.ports.addPort(2, &modem);
    rig.ports.addPort(3, &splitAnswer);
    rig.ports.addPort(8);
    rig.ports.setOpenFails(8, true);
    find();
    rig.TestComm.setCommPort(9);
    rig.TestComm.setInputLen(7);

    EXPECT_EQ(modems(), 3 * 200);

    EXPECT_THAT(rig.portsWith(&PortStatus::modem), ElementsAre(2));
    // "AT" and the carriage return once to each port that opened (port 2 answers only to both in
    // one piece).
    for (const int p : {1, 2, 3}) {
        EXPECT_EQ(rig.ports.bytesWritten(p), "AT\r") << p;
    }
    EXPECT_EQ(rig.ports.writes().size(), 3u);
    EXPECT_FALSE(rig.TestComm.portOpen());
    EXPECT_EQ(rig.TestComm.commPort(), 9);
    EXPECT_EQ(rig.TestComm.inputLen(), 7);
    EXPECT_EQ(rig.TestComm.rThreshold(), 1);
}

TEST_F(PortDiscoveryTest, NineteenReadFailuresInAllOfTheModemTestAreRetried) {
    EXPECT_EQ(modemsWithThirdFailing(7), 3 * 200 + 19 * 100);
    EXPECT_THAT(rig.boxes.shown(), IsEmpty());
    EXPECT_THAT(rig.portsWith(&PortStatus::modem), ElementsAre(1, 2, 3));
}

TEST_F(PortDiscoveryTest, TheTwentiethFailureOfTheModemTestEndsIt) {
    modemsWithThirdFailing(8);

    ASSERT_EQ(rig.boxes.shown().size(), 1u);
    const MsgBox& box = rig.boxes.shown()[0];
    EXPECT_EQ(box.prompt,
              "Error Number 8021 - Injected port error has occurred in routine "
              "CheckForModems. Please contact Corvane Industries.");
    EXPECT_TRUE(box.title.isEmpty());
    EXPECT_EQ(box.icon, MsgIcon::None);
    EXPECT_THAT(rig.portsWith(&PortStatus::modem), ElementsAre(1, 2));
    // Ended at once: the control keeps the probe's settings.
    EXPECT_EQ(rig.TestComm.commPort(), 3);
    EXPECT_EQ(rig.TestComm.rThreshold(), PortDiscovery::kQuietThreshold);
}

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
        {runs({{699, 0xC8}, {1, 128}, {300, 'A'}}), DataFormat::Binary},
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

TEST_F(BaudTestTest, UnitIsFoundAtItsRateAndFormatAfterTheEarlierRatesFail) {
    unitsim::SimulatedUnit unit(unitAt(38400, unitsim::OutputFormat::Binary));
    rig.ports.addPort(kUnitPort, &unit);

    // Each rate: a 50 ms set-up tick, then three 1000 ms listening intervals.
    EXPECT_EQ(runToEnd(), 3 * 3050);

    EXPECT_EQ(rig.result.detectedBaud, 38400);
    EXPECT_EQ(rig.result.detectedFormat, DataFormat::Binary);
    EXPECT_EQ(rig.result.startupStatus, StartupStatus::Found);
    EXPECT_THAT(braceBauds(unit), ElementsAre(9600, 19200, 38400));
    EXPECT_EQ(rig.splash.messages.back(), QStringLiteral("Checking Baud Rates (38400) ..."));
    EXPECT_EQ(rig.TestComm.inputLen(), 3) << "as before the test";
}

TEST_F(BaudTestTest, AllRatesFailing) {
    unitsim::SimulatedUnit silent(unitAt(9600));
    silent.setStreamEnabled(false);
    rig.ports.addPort(kUnitPort, &silent);
    rig.TestComm.setSettings("4800,n,8,1");

    // Six rates, then one tick that finds none left.
    EXPECT_EQ(runToEnd(), 6 * 3050 + 50);

    EXPECT_EQ(rig.result.startupStatus, StartupStatus::BaudFailed);
    EXPECT_EQ(braceBauds(silent), kTrialOrder);
    // TestComm as before the test.
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
    unitsim::SimulatedUnit unit(unitAt(1200));
    rig.ports.addPort(kUnitPort, &unit);
    const qint64 started = rig.clock.tickCount();
    test.start();
    rig.clock.runFor(3050 + 500);  // 9600 has failed, 19200 is being listened to
    test.Form_Click();
    ASSERT_TRUE(rig.clock.runUntil([&] { return continued > 0; }, 1000));

    EXPECT_EQ(continuedAt - started, 3050 + 50 + 1000);
    EXPECT_EQ(rig.result.startupStatus, StartupStatus::BaudSkipped);
    EXPECT_EQ(rig.TestComm.settings(), "19200,n,8,1");
    EXPECT_EQ(rig.TestComm.commPort(), kUnitPort);
}

TEST_F(BaudTestTest, AClickOnLblClickSkipsEvenBeforeItShowsAtTheFirstTick) {
    unitsim::SimulatedUnit unit(unitAt(9600));
    rig.ports.addPort(kUnitPort, &unit);
    test.lblClick_Click();
    // The first tick still sets up 9600 before it sees the flag.
    EXPECT_EQ(runToEnd(), 50);
    EXPECT_THAT(braceBauds(unit), ElementsAre(9600));
    EXPECT_EQ(rig.result.startupStatus, StartupStatus::BaudSkipped);
}

TEST_F(BaudTestTest, TheCommEventKeepsTheNewest1000BytesAndRetriesReadErrorsNineTimes) {
    rig.ports.addPort(kUnitPort);
    rig.TestComm.setCommPort(kUnitPort);
    rig.TestComm.setPortOpen(true);
    int next = 0;
    // Distinct bytes arriving, then one pass of the event loop.
    const auto arrive = [&](int count) {
        QByteArray bytes;
        for (int i = 0; i < count; ++i) {
            bytes += static_cast<char>(next++ % 251);
        }
        rig.TestComm.feed(bytes);
        rig.clock.doEvents();
        return bytes;
    };
    // All that waits, the read length put back.
    const auto waiting = [&] {
        rig.TestComm.setInputLen(0);
        const QByteArray bytes = rig.TestComm.input();
        rig.TestComm.setInputLen(3);
        return bytes;
    };
    const QByteArray thousand = arrive(1000);
    EXPECT_EQ(waiting(), thousand);
    rig.TestComm.injectError(Op::InBufferCount, ErrorNumber::SettingsNotApplied, 9);
    const QByteArray bytes = arrive(1200);
    EXPECT_EQ(waiting(), bytes.right(1000));
    EXPECT_THAT(rig.boxes.shown(), IsEmpty());
    // Read failures are retried as well, nine times per event: the tenth is reported.
    rig.TestComm.injectError(Op::InBufferCount, ErrorNumber::ReadFailed, 10);
    arrive(1200);
    EXPECT_EQ(waiting().size(), 1200);
    // Not retried here: reported at once, and the read length is put back.
    rig.TestComm.injectError(Op::Input, ErrorNumber::ControlBlockFailed);
    arrive(1001);
    EXPECT_EQ(rig.TestComm.inputLen(), 3);

    const QString tail = QStringLiteral(
        " has occurred in routine TestComm.OnComm. Please contact Corvane Industries.");
    ASSERT_EQ(rig.boxes.shown().size(), 2u);
    EXPECT_EQ(rig.boxes.shown()[0].prompt, "Error Number 8020 - Injected port error" + tail);
    EXPECT_EQ(rig.boxes.shown()[1].prompt, "Error Number 8021 - Injected port error" + tail);
}

struct RecordingPortMenu : PortMenuView {
    void appendToPortEntry(int index, const QString& suffix) override { suffixes[index] += suffix; }
    void setPortEntryVisible(int index, bool shown) override { visible[index] = shown; }
    std::map<int, QString> suffixes;
    std::map<int, bool> visible;
};

class StartupReportTest : public SessionRig {
protected:
    StartupReportTest() {
        system.removePort(1);
        port->setPortOpen(false);
    }
    void report() { StartupReport(result, *session, boxes, views, menu).run(); }

    StartupResult result;
    RecordingPortMenu menu;
};

TEST_F(StartupReportTest, EachOutcomeIsReportedWithItsBox) {
    const struct {
        StartupStatus status;
        const char* title;
        MsgIcon icon;
        const char* prompt;
    } rows[] = {
        {StartupStatus::NoPorts, "Communications Error!", MsgIcon::Critical,
         "No valid comm ports found! Make sure that your computer has a valid serial "
         "communications port."},
        {StartupStatus::NoTraffic, "No communications detected!", MsgIcon::Exclamation,
         "No activity found on any comm port.\rYour unit may not be turned on or there may be a "
         "bad connection.\rThe first available port found has been activated."},
        {StartupStatus::BaudFailed, "Baud Rate Error!", MsgIcon::Exclamation,
         "Baud Rate Detection Failed.\rYour unit may be transmitting at an unsupported baud "
         "rate.\rCommunication settings will set to system defaults.\rTry changing baud rates "
         "using 'properties' in the Communications menu."},
        {StartupStatus::BaudSkipped, "Baud Test Skipped.", MsgIcon::Information,
         "The baud rate test was skipped.\rCommunication settings will set to system defaults."},
    };
    system.addPort(2);
    for (const auto& row : rows) {  // NoPorts first: it finds the port closed
        boxes.clear();
        menu = {};
        result = {};
        result.portStatus[2].opened = true;
        result.startupStatus = row.status;
        report();
        ASSERT_EQ(boxes.shown().size(), 1u) << row.title;
        EXPECT_EQ(boxes.shown()[0].title, QLatin1String(row.title));
        EXPECT_EQ(boxes.shown()[0].icon, row.icon);
        EXPECT_EQ(boxes.shown()[0].prompt, QLatin1String(row.prompt));
        const bool noPorts = row.status == StartupStatus::NoPorts;
        EXPECT_EQ(port->portOpen(), !noPorts) << "the first existing port opens";
        EXPECT_EQ(menu.visible.size(), noPorts ? 20u : 19u) << "the other entries are hidden";
    }
}

TEST_F(StartupReportTest, TheFirstPortWithTrafficOpensAtTheDetectedRateAndItsUnitIsIdentified) {
    unitsim::UnitConfig unitConfig = quietUnit();
    unitConfig.baud = 19200;
    unitsim::SimulatedUnit unit3(unitConfig);
    system.addPort(3, &unit3);
    result.portStatus[2] = {true, true, true};
    result.portStatus[3] = result.portStatus[5] = {true, true, false};
    result.detectedBaud = 19200;
    result.detectedFormat = DataFormat::Binary;
    report();

    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(menu.suffixes, (std::map<int, QString>{{1, QStringLiteral(" - Modem")}}));
    EXPECT_EQ(port->commPort(), 3) << "the modem's traffic does not count";
    EXPECT_EQ(views.settingsCaption, QStringLiteral("19200,n,8,1"));
    EXPECT_EQ(views.formatCaption, QStringLiteral("Binary"));
    EXPECT_EQ(link().dataFormat(), DataFormat::Binary);
    EXPECT_EQ(views.portCaption, QStringLiteral("Comm 3")) << "the port is selected";
    EXPECT_TRUE(views.unit.has_value()) << "its unit is identified";
    EXPECT_EQ(unit3.channels(), QStringLiteral("3C07000000")) << "the accelerometer mode's set";
}

TEST_F(StartupReportTest, OnlyModemsLeaveNoPortToOpenAndGiveTheLoadError) {
    result.portStatus[3] = {true, true, true};
    report();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Program Error!"));
    EXPECT_EQ(boxes.shown()[0].prompt,
              QStringLiteral("Error Number 8002 - Invalid Port Number has occurred in "
                             "frmMain.Load. Please contact Corvane Industries."));
    EXPECT_FALSE(port->portOpen());
}

}  // namespace
}  // namespace tarquel::test
