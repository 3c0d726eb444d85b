#include "StartupRig.h"
#include "app/startup/PortDiscovery.h"
#include "platform/Errors.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarquel::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Op = FakeSerialPort::Operation;

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

    StartupRig rig;
    PortDiscovery discovery{rig.clock, rig.boxes, rig.result};
};

TEST_F(PortDiscoveryTest, NoOpenablePortMarksNothingAndProbesNothing) {
    rig.ports.addPort(4);
    rig.ports.setOpenFails(4, true);  // held by another program

    EXPECT_EQ(find(), 0);
    EXPECT_EQ(rig.result.startupStatus, StartupStatus::NoPorts);
    EXPECT_THAT(rig.portsWith(&PortStatus::opened), IsEmpty());
    EXPECT_EQ(modems(), 0);
    EXPECT_THAT(rig.ports.writes(), IsEmpty());
}

TEST_F(PortDiscoveryTest, SilentPortsExistWithoutTraffic) {
    rig.ports.addPort(2);
    rig.ports.addPort(7);

    EXPECT_EQ(find(), 2 * 100);
    EXPECT_EQ(rig.result.startupStatus, StartupStatus::NoTraffic);
    EXPECT_THAT(rig.portsWith(&PortStatus::opened), ElementsAre(2, 7));
    EXPECT_THAT(rig.portsWith(&PortStatus::traffic), IsEmpty());
    EXPECT_EQ(rig.result.activePort, 0);
}

TEST_F(PortDiscoveryTest, HighestPortWithTrafficBecomesActive) {
    RatedUnit unit3(9600, kDecimalFrame);
    RatedUnit unit5(19200, kDecimalFrame);
    rig.ports.addPort(1);
    rig.ports.addPort(3, &unit3);
    rig.ports.addPort(5, &unit5);

    find();

    EXPECT_EQ(rig.result.startupStatus, StartupStatus::Found);
    EXPECT_THAT(rig.portsWith(&PortStatus::traffic), ElementsAre(3, 5));
    EXPECT_EQ(rig.result.activePort, 5);
    EXPECT_FALSE(rig.TestComm.portOpen());
    EXPECT_EQ(rig.TestComm.rThreshold(), 1);
}

TEST_F(PortDiscoveryTest, EnumerationStartsAtTheControlsPortAndWraps) {
    for (int p = 1; p <= 20; ++p) {
        rig.ports.addPort(p);
    }
    rig.TestComm.setCommPort(7);
    rig.TestComm.injectError(Op::Open, ErrorNumber::PortNotAvailable);
    find();
    // Only the first attempt failed, and every other port was still tried.
    EXPECT_EQ(rig.portsWith(&PortStatus::opened).size(), 19u);
    EXPECT_FALSE(rig.result.portStatus[7].opened);

    rig.result = StartupResult{};
    rig.TestComm.setCommPort(0);
    find();
    EXPECT_EQ(rig.result.startupStatus, StartupStatus::NoPorts);
    EXPECT_THAT(rig.portsWith(&PortStatus::opened), IsEmpty());
}

TEST_F(PortDiscoveryTest, ActivityCountsBytesArrivingWithin100ms) {
    ScriptedPeer peer;
    rig.ports.addPort(2, &peer);
    rig.TestComm.setCommPort(2);

    peer.sendAt(rig.clock.tickCount() + 100, "x");
    EXPECT_TRUE(discovery.fPortHasActivity(rig.TestComm));
    EXPECT_TRUE(rig.TestComm.portOpen());
    EXPECT_EQ(rig.TestComm.rThreshold(), 1);

    peer.sendAt(rig.clock.tickCount() + 101, "x");
    EXPECT_FALSE(discovery.fPortHasActivity(rig.TestComm));
}

TEST_F(PortDiscoveryTest, PortFailingItsActivityTestTwiceIsMarkedWithoutTraffic) {
    RatedUnit unit(9600, kDecimalFrame);
    rig.ports.addPort(2);
    rig.ports.addPort(3);
    rig.ports.addPort(4);
    rig.ports.addPort(5, &unit);
    // Port 4 opens during enumeration, then another program takes it.
    OnFirstAdvance takeOver(rig.clock, [&] { rig.ports.setOpenFails(4, true); });

    // 2, 3, 4 fails; the scan starts over once: 2, 3, 4 fails again, 5.
    EXPECT_EQ(find(), 5 * 100);
    EXPECT_THAT(rig.portsWith(&PortStatus::opened), ElementsAre(2, 3, 4, 5));
    EXPECT_THAT(rig.portsWith(&PortStatus::traffic), ElementsAre(5));
    EXPECT_EQ(rig.result.activePort, 5);
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
    // "AT" and the carriage return in one write, once to each port that opened.
    std::vector<std::pair<int, QByteArray>> writes;
    for (const auto& w : rig.ports.writes()) {
        writes.emplace_back(w.port, w.bytes);
    }
    EXPECT_THAT(writes,
                ElementsAre(std::pair(1, "AT\r"), std::pair(2, "AT\r"), std::pair(3, "AT\r")));
    EXPECT_FALSE(rig.TestComm.portOpen());
    EXPECT_EQ(rig.TestComm.commPort(), 9);
    EXPECT_EQ(rig.TestComm.inputLen(), 7);
    EXPECT_EQ(rig.TestComm.rThreshold(), 1);
}

// Modems on ports 1 to 3 whose reads fail 6, 6 and `third` times, with the three retried numbers.
class ModemRetryTest : public PortDiscoveryTest {
protected:
    qint64 runWithThirdFailing(int third) {
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
        rig.TestComm.setCommPort(12);
        return modems();
    }

    ScriptedPeer peers[3];
};

TEST_F(ModemRetryTest, NineteenFailuresInAllAreRetried) {
    EXPECT_EQ(runWithThirdFailing(7), 3 * 200 + 19 * 100);
    EXPECT_THAT(rig.boxes.shown(), IsEmpty());
    EXPECT_THAT(rig.portsWith(&PortStatus::modem), ElementsAre(1, 2, 3));
    EXPECT_EQ(rig.TestComm.commPort(), 12);
}

TEST_F(ModemRetryTest, TwentiethFailureOfTheWholeTestEndsIt) {
    runWithThirdFailing(8);

    ASSERT_EQ(rig.boxes.shown().size(), 1u);
    const MsgBox& box = rig.boxes.shown()[0];
    EXPECT_EQ(box.prompt,
              "Error Number 8021 - Injected port error has occurred in routine "
              "CheckForModems. Please contact Corvane Industries.");
    EXPECT_TRUE(box.title.isEmpty());
    EXPECT_EQ(box.icon, MsgIcon::None);
    EXPECT_EQ(box.buttons, MsgButtons::OK);
    EXPECT_THAT(rig.portsWith(&PortStatus::modem), ElementsAre(1, 2));
    // Ended at once: the control keeps the probe's settings.
    EXPECT_EQ(rig.TestComm.commPort(), 3);
    EXPECT_EQ(rig.TestComm.rThreshold(), PortDiscovery::kQuietThreshold);
}

TEST_F(PortDiscoveryTest, OtherModemTestErrorEndsItAtOnce) {
    for (int p = 1; p <= 3; ++p) {
        rig.ports.addPort(p);
    }
    find();
    rig.ports.setOpenFails(2, true);

    EXPECT_EQ(modems(), 200);
    ASSERT_EQ(rig.boxes.shown().size(), 1u);
    EXPECT_EQ(rig.boxes.shown()[0].prompt,
              "Error Number 8010 - The port is not available has occurred in routine "
              "CheckForModems. Please contact Corvane Industries.");
    EXPECT_TRUE(rig.ports.bytesWritten(3).isEmpty());
    EXPECT_EQ(rig.TestComm.commPort(), 2);
}

}  // namespace
}  // namespace tarquel::test
