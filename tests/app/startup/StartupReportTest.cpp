// The main window's start-up report on a session: the boxes for each outcome, the port menu, the
// port it opens with the detected rate and format, and the unit identified there.
#include "app/startup/StartupReport.h"
#include "support/SessionRig.h"

#include <map>

namespace tarquel {
namespace {

struct RecordingPortMenu : PortMenuView {
    void appendToPortEntry(int index, const QString& suffix) override { suffixes[index] += suffix; }
    void setPortEntryVisible(int index, bool shown) override { visible[index] = shown; }
    std::map<int, QString> suffixes;
    std::map<int, bool> visible;
};

class StartupReportTest : public test::SessionRig {
protected:
    StartupReportTest() {
        system.removePort(1);
        port->setPortOpen(false);
    }
    // The start-up result with these ports opened, with traffic or answering as a modem.
    void found(std::initializer_list<int> opened, std::initializer_list<int> traffic = {},
               std::initializer_list<int> modems = {}) {
        for (const int p : opened) {
            result.portStatus[static_cast<size_t>(p)].opened = true;
        }
        for (const int p : traffic) {
            result.portStatus[static_cast<size_t>(p)].traffic = true;
        }
        for (const int p : modems) {
            result.portStatus[static_cast<size_t>(p)].modem = true;
        }
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
        {StartupStatus::NoTraffic, "No communications detected!", MsgIcon::Exclamation,
         "No activity found on any comm port.\rYour unit may not be turned on or there may be a "
         "bad connection.\rThe first available port found has been activated."},
        {StartupStatus::BaudFailed, "Baud Rate Error!", MsgIcon::Exclamation,
         "Baud Rate Detection Failed.\rYour unit may be transmitting at an unsupported baud "
         "rate.\rCommunication settings will set to system defaults.\rTry changing baud rates "
         "using 'properties' in the Communications menu."},
        {StartupStatus::BaudSkipped, "Baud Test Skipped.", MsgIcon::Information,
         "The baud rate test was skipped.\rCommunication settings will set to system defaults."},
        {StartupStatus::NoPorts, "Communications Error!", MsgIcon::Critical,
         "No valid comm ports found! Make sure that your computer has a valid serial "
         "communications port."},
    };
    system.addPort(2);
    for (const auto& row : rows) {
        if (port->portOpen()) {
            port->setPortOpen(false);
        }
        boxes.clear();
        menu = {};
        result = {};
        found({2});
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
    unitsim::UnitConfig modemConfig = quietUnit();
    modemConfig.faults.modem = true;
    unitsim::SimulatedUnit modem(modemConfig);
    unitsim::UnitConfig unitConfig = quietUnit();
    unitConfig.baud = 19200;
    unitsim::SimulatedUnit unit3(unitConfig);
    system.addPort(2, &modem);
    system.addPort(3, &unit3);
    system.addPort(5);
    found({2, 3, 5}, {2, 3, 5}, {2});
    result.detectedBaud = 19200;
    result.detectedFormat = DataFormat::Binary;
    report();

    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(menu.suffixes, (std::map<int, QString>{{1, QStringLiteral(" - Modem")}}));
    EXPECT_EQ(port->commPort(), 3) << "the modem's traffic does not count";
    EXPECT_EQ(port->settings(), QStringLiteral("19200,n,8,1"));
    EXPECT_EQ(views.settingsCaption, QStringLiteral("19200,n,8,1"));
    EXPECT_EQ(views.formatCaption, QStringLiteral("Binary"));
    EXPECT_EQ(link().dataFormat(), DataFormat::Binary);
    EXPECT_EQ(views.portCaption, QStringLiteral("Comm 3"));
    ASSERT_TRUE(views.unit.has_value());
    EXPECT_EQ(views.unit->summary(), QStringLiteral("B600 unit: CV-3100 Version 4.20"));
    EXPECT_EQ(unit3.channels(), QStringLiteral("3C07000000")) << "the accelerometer mode's set";
    EXPECT_EQ(views.calModeCaption, QStringLiteral("Accel"));
    EXPECT_EQ(link().recordedFormat(), DataFormat::Binary);
}

TEST_F(StartupReportTest, OnlyModemsLeaveNoPortToOpenAndGiveTheLoadError) {
    unitsim::UnitConfig modemConfig = quietUnit();
    modemConfig.faults.modem = true;
    unitsim::SimulatedUnit modem(modemConfig);
    system.addPort(3, &modem);
    found({3}, {3}, {3});
    report();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Program Error!"));
    EXPECT_EQ(boxes.shown()[0].prompt,
              QStringLiteral("Error Number 8002 - Invalid Port Number has occurred in "
                             "frmMain.Load. Please contact Corvane Industries."));
    EXPECT_FALSE(port->portOpen());
}

}  // namespace
}  // namespace tarquel
