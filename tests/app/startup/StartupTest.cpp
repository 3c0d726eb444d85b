#include "StartupRig.h"
#include "app/startup/Startup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarquel::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class StartupTest : public ::testing::Test {
protected:
    std::function<void()> record(const char* call) {
        return [this, call] { calls << call; };
    }

    StartupRig rig;
    QStringList calls;
    Startup startup{
        rig.clock, rig.boxes, rig.TestComm, rig.splash, record("showMainWindow"), [this] {
            calls << "unloadSplash";
            rig.result = startup.result();
        }};
};

TEST_F(StartupTest, BaudTestRunsOnTheHighestPortWithTrafficBeforeTheModemTest) {
    RatedUnit unit3(9600, kDecimalFrame);
    RatedUnit unit5(9600, kDecimalFrame);
    ScriptedPeer modem;
    makeModem(modem, "OK\r");
    rig.ports.addPort(3, &unit3);
    rig.ports.addPort(5, &unit5);
    rig.ports.addPort(7, &modem);

    startup.Main();
    EXPECT_THAT(calls, IsEmpty());
    ASSERT_TRUE(rig.clock.runUntil([&] { return !calls.isEmpty(); }, 5000));

    EXPECT_THAT(calls, ElementsAre("showMainWindow", "unloadSplash"));
    EXPECT_THAT(rig.splash.messages,
                ElementsAre("Checking Communications Ports ...", "Checking Baud Rates (9600) ...",
                            "Testing for Modems ...", "Loading Settings ..."));
    EXPECT_EQ(rig.result.detectedBaud, 9600);
    EXPECT_EQ(rig.ports.bytesWritten(3), "AT\r");
    EXPECT_EQ(rig.ports.bytesWritten(5), "{AT\r");
    EXPECT_THAT(rig.portsWith(&PortStatus::modem), ElementsAre(7));
}

TEST_F(StartupTest, WithoutTrafficTheMainWindowFollowsAtOnce) {
    rig.ports.addPort(2);

    startup.Main();

    EXPECT_EQ(rig.result.startupStatus, StartupStatus::NoTraffic);
    EXPECT_THAT(calls, ElementsAre("showMainWindow", "unloadSplash"));
    EXPECT_THAT(rig.splash.messages, ElementsAre("Checking Communications Ports ...",
                                                 "Testing for Modems ...", "Loading Settings ..."));
    EXPECT_FALSE(startup.baudTest().tmrBaud().isEnabled());
    EXPECT_EQ(rig.ports.bytesWritten(2), "AT\r");
}

}  // namespace
}  // namespace tarquel::test
