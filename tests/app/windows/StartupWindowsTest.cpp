// Start-up from launch to the connected main window through the real windows, on virtual time:
// the splash window's part, and the main window showing what start-up found.
#include "AppRig.h"
#include "app/FrmSplash.h"

#include <QAction>
#include <QLabel>
#include <QTest>

namespace tarquel {
namespace {

class StartupWindows : public test::AppRig {};

TEST_F(StartupWindows, A19200UnitIsFoundIdentifiedAndShownWhileThePortStartsAt9600) {
    unitsim::UnitConfig config;
    config.baud = 19200;
    unitsim::SimulatedUnit& unit = addUnit(1, config);
    ASSERT_TRUE(startApplication());

    EXPECT_TRUE(boxes.shown().empty()) << boxes.shown().front().title.toStdString();
    EXPECT_EQ(labelText("Label8"), QStringLiteral("19200,n,8,1"));
    EXPECT_EQ(labelText("Label9"), QStringLiteral("Decimal"));
    EXPECT_EQ(labelText("Label10"), QStringLiteral("Comm 1"));
    EXPECT_EQ(labelText("lblCalMode"), QStringLiteral("Accel"));
    EXPECT_EQ(labelText("lblUnit"), QStringLiteral("B600 unit: CV-3100 Version 4.20"));
    EXPECT_EQ(main().label("lblUnit")->toolTip(),
              QStringLiteral("CV-3100 Version 4.20 \nCopyright (C) 2004-09\nCorvane Industries "
                             "Inc.\nAll Rights Reserved"));
    EXPECT_EQ(main().mnuCommPort(0)->toolTip(), QStringLiteral("fake:port1"));
    EXPECT_EQ(main().mnuCommPort(1)->toolTip(), QStringLiteral("No device"));
    EXPECT_EQ(unit.channels(), QStringLiteral("3C07000000"));
    EXPECT_EQ(session().maps().compareMap(), false) << "the dialog is cancelled";
    EXPECT_EQ(fileDialogs.requests().back().initialPath, QStringLiteral("/home/tech/Desktop/"));
    // "{" once per rate tried: 9600 failed, 19200 passed.
    std::vector<int> bauds;
    for (const auto& r : unit.receivedBytes()) {
        if (r.byte == '{' && bauds.size() < 2) {
            bauds.push_back(r.pcBaud);
        }
    }
    EXPECT_EQ(bauds, (std::vector<int>{9600, 19200}));
}

TEST_F(StartupWindows, AClickOnTheSplashDuringTheTestSkipsIt) {
    addUnit(1);
    app = std::make_unique<Application>(services);
    app->start();
    FrmSplash* splash = app->splash();
    ASSERT_NE(splash, nullptr);
    QLabel* lblClick = splash->label("lblClick");
    EXPECT_FALSE(lblClick->isVisible());
    QTest::mouseClick(splash->label("lblMessages"), Qt::LeftButton);  // before the test: nothing
    ASSERT_TRUE(clock.runUntil([&] { return lblClick->isVisible(); }, 5000));
    EXPECT_EQ(splash->label("lblMessages")->text(),
              QStringLiteral("Checking Baud Rates (9600) ..."));
    QTest::mouseClick(splash->label("lblCompany"), Qt::LeftButton);
    ASSERT_TRUE(clock.runUntil(
        [this] { return app->mainWindow() != nullptr && app->splash() == nullptr; }, 5000));
    EXPECT_EQ(boxTitles(), QStringList{QStringLiteral("Baud Test Skipped.")});
}

TEST_F(StartupWindows, AKeyPressBeforeTheTestOnlyHidesTheSplashOneDuringItEndsStartUp) {
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
    EXPECT_TRUE(boxes.shown().empty()) << "the baud test still ran";

    clock.setEventHook([] { QCoreApplication::processEvents(); });
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

}  // namespace
}  // namespace tarquel
