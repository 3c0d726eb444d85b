// Start-up from launch to the connected main window, on virtual time with simulated units.
#include "AppRig.h"
#include "app/startup/BaudTest.h"
#include "support/ScriptedPeer.h"

#include <QAction>
#include <QLabel>
#include <QTest>

namespace tarquel {
namespace {

using test::AppRig;

class StartupWindows : public AppRig {
protected:
    // Writes of exactly these bytes, in order, to the port.
    std::vector<FakePortSystem::WriteRecord> writesOf(int port, const QByteArray& bytes) const {
        std::vector<FakePortSystem::WriteRecord> found;
        for (const auto& w : system.writes()) {
            if (w.port == port && w.bytes == bytes) {
                found.push_back(w);
            }
        }
        return found;
    }
    bool sentToPort(int port, char byte) const {
        for (const auto& w : system.writes()) {
            if (w.port == port && w.bytes.contains(byte)) {
                return true;
            }
        }
        return false;
    }
    QString labelText(const char* name) { return main().label(name)->text(); }
};

TEST_F(StartupWindows, FindsA19200DecimalUnitWhileThePortStartsAt9600) {
    unitsim::UnitConfig config;
    config.baud = 19200;
    unitsim::SimulatedUnit& unit = addUnit(1, config);
    ASSERT_TRUE(startApplication());

    EXPECT_EQ(state().startupStatus, StartupStatus::Found);
    EXPECT_EQ(state().detectedBaud, 19200);
    EXPECT_EQ(state().detectedFormat, DataFormat::Decimal);
    EXPECT_TRUE(boxes.shown().empty()) << boxes.shown().front().title.toStdString();
    EXPECT_EQ(labelText("Label8"), QStringLiteral("19200,n,8,1"));
    EXPECT_EQ(labelText("Label9"), QStringLiteral("Decimal"));
    EXPECT_EQ(labelText("Label10"), QStringLiteral("Comm 1"));
    EXPECT_EQ(main().MSComm1().settings(), QStringLiteral("19200,n,8,1"));
    EXPECT_TRUE(main().MSComm1().portOpen());
    EXPECT_TRUE(main().unitLink().unitAddresses().isB600Family);
    EXPECT_EQ(labelText("lblUnit"), QStringLiteral("B600 unit: CV-3100 Version 4.20"));
    EXPECT_TRUE(main().label("lblUnit")->toolTip().contains(QStringLiteral("Corvane Industries")));

    // "{" once per rate tried: 9600 failed, 19200 passed.
    std::vector<int> bauds;
    for (const auto& r : unit.receivedBytes()) {
        if (r.byte == '{' && bauds.size() < 2) {
            bauds.push_back(r.pcBaud);
        }
    }
    EXPECT_EQ(writesOf(1, "{").size(), 2u);
    EXPECT_EQ(bauds, (std::vector<int>{9600, 19200}));
}

TEST_F(StartupWindows, BaudTestRunsOnTheHighestPortWithTrafficAndTheWindowOpensTheLowest) {
    addUnit(3);
    addUnit(5);
    ASSERT_TRUE(startApplication());
    EXPECT_EQ(state().activePort, 5);
    EXPECT_EQ(writesOf(5, "{").size(), 1u);
    EXPECT_TRUE(writesOf(3, "{").empty());
    EXPECT_EQ(labelText("Label10"), QStringLiteral("Comm 3"));
    EXPECT_EQ(main().MSComm1().commPort(), 3);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(main().mnuCommPort(i)->isChecked(), i == 2) << "entry " << i;
        EXPECT_EQ(main().mnuCommPort(i)->isVisible(), i == 2 || i == 4) << "entry " << i;
    }
    EXPECT_TRUE(sentToPort(3, '\x7D')) << "the unit on port 3 is identified";
    EXPECT_FALSE(sentToPort(5, '\x7D'));
}

TEST_F(StartupWindows, EveryExistingPortGetsOneProbeForAModemAndModemsAreNeverSelected) {
    unitsim::UnitConfig modem;
    modem.faults.modem = true;
    addUnit(2, modem);
    addUnit(4);
    system.addPort(7);  // exists, silent
    ASSERT_TRUE(startApplication());

    for (int port : {2, 4, 7}) {
        EXPECT_EQ(writesOf(port, "AT\r").size(), 1u) << "port " << port;
    }
    EXPECT_TRUE(state().portStatus[2].modem);
    EXPECT_EQ(main().mnuCommPort(1)->text(), QStringLiteral("Port &2 - Modem"));
    EXPECT_EQ(main().mnuCommPort(3)->text(), QStringLiteral("Port &4"));
    EXPECT_EQ(main().MSComm1().commPort(), 4)
        << "port 2 showed traffic first but answers as a modem";
    EXPECT_EQ(labelText("Label10"), QStringLiteral("Comm 4"));
}

TEST_F(StartupWindows, NoOpenablePortHidesEveryPortEntry) {
    ASSERT_TRUE(startApplication());
    ASSERT_EQ(boxes.shown().size(), 1u);
    const MsgBox& box = boxes.shown().front();
    EXPECT_EQ(box.title, QStringLiteral("Communications Error!"));
    EXPECT_EQ(box.prompt,
              QStringLiteral("No valid comm ports found! Make sure that your computer has a valid "
                             "serial communications port."));
    EXPECT_EQ(box.icon, MsgIcon::Critical);
    for (int i = 0; i < 20; ++i) {
        EXPECT_FALSE(main().mnuCommPort(i)->isVisible());
    }
    EXPECT_FALSE(main().MSComm1().portOpen());
    EXPECT_TRUE(system.writes().empty());
}

TEST_F(StartupWindows, PortsWithoutTrafficOpenTheFirstOneWithoutTalkingToIt) {
    system.addPort(2);
    system.addPort(6);
    ASSERT_TRUE(startApplication());
    ASSERT_EQ(boxesTitled(QStringLiteral("No communications detected!")).size(), 1u);
    EXPECT_EQ(
        boxes.shown().front().prompt,
        QStringLiteral(
            "No activity found on any comm port.\rYour unit may not be turned on or there may be a "
            "bad connection.\rThe first available port found has been activated."));
    EXPECT_EQ(boxes.shown().front().icon, MsgIcon::Exclamation);
    EXPECT_EQ(main().MSComm1().commPort(), 2);
    EXPECT_TRUE(main().MSComm1().portOpen());
    EXPECT_EQ(main().MSComm1().settings(), QStringLiteral("9600,n,8,1"));
    // The port command itself looks for a unit (its reads go unanswered); no mode command follows.
    EXPECT_FALSE(sentToPort(2, '>')) << "no mode command on this path";
    EXPECT_FALSE(main().unitLink().unitAddresses().addressesSet);
}

TEST_F(StartupWindows, ClickingTheSplashDuringTheTestSkipsIt) {
    addUnit(1);
    app = std::make_unique<Application>(services);
    app->start();
    FrmSplash* splash = app->splash();
    ASSERT_NE(splash, nullptr);
    QLabel* lblClick = splash->label("lblClick");
    EXPECT_FALSE(lblClick->isVisible());
    // A click before the test has started does nothing.
    QTest::mouseClick(splash->label("lblMessages"), Qt::LeftButton);
    EXPECT_FALSE(state().skipBaudTest);

    ASSERT_TRUE(clock.runUntil([&] { return lblClick->isVisible(); }, 5000));
    EXPECT_TRUE(splash->label("lblMessages")
                    ->text()
                    .startsWith(QStringLiteral("Checking Baud Rates (9600) ...")));
    QTest::mouseClick(splash->label("lblCompany"), Qt::LeftButton);
    ASSERT_TRUE(clock.runUntil(
        [this] { return app->mainWindow() != nullptr && app->splash() == nullptr; }, 5000));

    EXPECT_EQ(state().startupStatus, StartupStatus::BaudSkipped);
    EXPECT_EQ(state().detectedBaud, 0);
    ASSERT_EQ(boxesTitled(QStringLiteral("Baud Test Skipped.")).size(), 1u);
    EXPECT_EQ(boxes.shown().front().prompt,
              QStringLiteral("The baud rate test was skipped.\rCommunication settings will set to "
                             "system defaults."));
    EXPECT_EQ(boxes.shown().front().icon, MsgIcon::Information);
}

TEST_F(StartupWindows, AKeyPressBeforeTheTestOnlyHidesTheSplash) {
    addUnit(1);
    bool pressed = false;
    // The first chance to handle input comes while the ports are being searched.
    clock.setEventHook([&] {
        if (!pressed && app && app->splash() != nullptr) {
            pressed = true;
            QTest::keyClick(app->splash(), Qt::Key_Escape);
        }
        QCoreApplication::processEvents();
    });
    ASSERT_TRUE(startApplication());
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(main().isVisible());
    EXPECT_EQ(state().detectedBaud, 9600) << "the baud test still ran";
}

TEST_F(StartupWindows, AKeyPressDuringTheTestEndsStartUpWithoutAMainWindow) {
    addUnit(1);
    app = std::make_unique<Application>(services);
    bool abandoned = false;
    QObject::connect(app.get(), &Application::startupAbandoned, [&] { abandoned = true; });
    app->start();
    ASSERT_TRUE(
        clock.runUntil([&] { return app->splash()->label("lblClick")->isVisible(); }, 5000));
    QTest::keyClick(app->splash(), Qt::Key_A);
    clock.runFor(20000);
    EXPECT_TRUE(abandoned);
    EXPECT_EQ(app->mainWindow(), nullptr);
    EXPECT_EQ(app->splash(), nullptr);
}

TEST_F(StartupWindows, AUnitNobodyCanReadGivesTheBaudRateError) {
    test::ScriptedPeer noise;
    noise.stream(QByteArray(40, '\xA5'), 20);  // traffic, but never a carriage return
    system.addPort(1, &noise);
    ASSERT_TRUE(startApplication(60000));
    EXPECT_EQ(state().startupStatus, StartupStatus::BaudFailed);
    ASSERT_EQ(boxesTitled(QStringLiteral("Baud Rate Error!")).size(), 1u);
    EXPECT_EQ(
        boxes.shown().front().prompt,
        QStringLiteral(
            "Baud Rate Detection Failed.\rYour unit may be transmitting at an unsupported baud "
            "rate.\rCommunication settings will set to system defaults.\rTry changing baud rates "
            "using 'properties' in the Communications menu."));
    EXPECT_EQ(writesOf(1, "{").size(), 6u);
}

TEST_F(StartupWindows, OnlyModemsLeaveNoPortOpenAndReportTheLoadError) {
    unitsim::UnitConfig modem;
    modem.faults.modem = true;
    addUnit(3, modem);
    ASSERT_TRUE(startApplication());
    const auto errors = boxesTitled(QStringLiteral("Program Error!"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].prompt.startsWith(QStringLiteral("Error Number 8002 - ")));
    EXPECT_TRUE(errors[0].prompt.endsWith(
        QStringLiteral(" has occurred in frmMain.Load. Please contact Corvane Industries.")));
    EXPECT_FALSE(main().MSComm1().portOpen());
}

TEST_F(StartupWindows, AccelerometerModeSelectsItsChannelsOneCharacterEveryFiftyMilliseconds) {
    unitsim::SimulatedUnit& unit = addUnit(1);
    ASSERT_TRUE(startApplication());
    // The last eleven one-byte writes of the load are the channel selection.
    std::vector<FakePortSystem::WriteRecord> singles;
    for (const auto& w : system.writes()) {
        if (w.port == 1 && w.bytes.size() == 1) {
            singles.push_back(w);
        }
    }
    ASSERT_GE(singles.size(), 11u);
    QByteArray text;
    for (size_t i = singles.size() - 11; i < singles.size(); ++i) {
        text += singles[i].bytes;
        if (i > singles.size() - 11) {
            EXPECT_EQ(singles[i].timeMs - singles[i - 1].timeMs, 50);
        }
    }
    EXPECT_EQ(text, QByteArray(">3C07000000"));
    EXPECT_EQ(unit.channels(), QStringLiteral("3C07000000"));
    EXPECT_EQ(main().label("lblCalMode")->text(), QStringLiteral("Accel"));
    EXPECT_TRUE(state().channelsSaved);
    EXPECT_TRUE(state().writeAccessEnabled);
}

}  // namespace
}  // namespace tarquel
