// A four-point calibration through the real main window on virtual time, against a simulated
// unit with hard-iron and scale errors: the buttons an operator presses, what the window shows,
// and what the unit holds afterwards.
#include "AppRig.h"
#include "calibration/CalibrationPanel.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <cmath>

namespace tarquel {
namespace {

using test::AppRig;

// The largest heading error of the unit's own heading, sampled every 45 degrees.
double worstHeadingError(unitsim::SimulatedUnit& unit) {
    double worst = 0;
    for (int heading = 0; heading < 360; heading += 45) {
        unit.setHeading(heading);
        worst = std::max(worst, std::abs(unit.headingError()));
    }
    return worst;
}

class CalibrationWindow : public AppRig {
protected:
    void start(unitsim::UnitConfig config = {}) {
        config.physics.hardIronMg = {30, -20, 0};
        config.physics.scaleX = 1.08;
        config.physics.scaleY = 0.93;
        unit = &addUnit(1, config);
        ASSERT_TRUE(startApplication());
    }
    QPushButton* button(const char* name) { return main().button(name); }
    QString text(const char* name) { return main().label(name)->text(); }
    // Turns the vehicle and lets the smoothed display settle.
    void pointAt(double heading) {
        unit->setHeading(heading);
        clock.runFor(12000);
    }
    void click(const char* name) {
        QPushButton* b = button(name);
        ASSERT_TRUE(b->isEnabled()) << name;
        QTest::mouseClick(b, Qt::LeftButton);
        clock.runFor(20);  // the progress window has gone and the focus is back
    }
    unitsim::SimulatedUnit* unit = nullptr;
};

TEST_F(CalibrationWindow, AFourPointCalibrationRemovesTheHeadingError) {
    start();
    const double before = worstHeadingError(*unit);
    EXPECT_GT(before, 4.0);
    const quint16 settingA = unit->word(0xB608);
    const quint16 settingB = unit->word(0xB60E);

    click("btnInitialize");
    ASSERT_EQ(state().testState, kTestRunning);
    EXPECT_TRUE(main().findChild<QWidget*>(QStringLiteral("sRect"))->isVisible());
    EXPECT_EQ(main().findChild<QLabel*>(QStringLiteral("DataLabel_5"))->text(),
              QStringLiteral("Calc Hdg"));
    EXPECT_FALSE(main().action("mnuProperties")->isEnabled());

    // The gauge shows up in a cardinal window and hands the focus to Enter Data, so Enter
    // stores the point.
    pointAt(0);
    EXPECT_TRUE(main().findChild<QWidget*>(QStringLiteral("lgCal"))->isVisible());
    QTest::keyClick(button("btnGetData"), Qt::Key_Return);
    EXPECT_FALSE(text("lblHdg_0").isEmpty());
    for (const double heading : {90.0, 180.0, 270.0}) {
        pointAt(heading);
        click("btnGetData");
    }
    EXPECT_EQ(main().calibration().collectedMask(), 15);

    // Solved: the columns, the quality figure, the plot's fit, EEPROM focused.
    EXPECT_FALSE(text("lblXBias_1").isEmpty());
    EXPECT_EQ(text("lblCalMsg"), QStringLiteral("Cal recommended"));
    EXPECT_TRUE(text("lblCalQual").endsWith(QStringLiteral(" dg.")));
    EXPECT_TRUE(main().label("imFace")->isVisible());
    EXPECT_TRUE(main().calPlot().fit().has_value());
    EXPECT_TRUE(button("btnEEPROM")->hasFocus());
    EXPECT_FALSE(button("btnGetData")->isEnabled());
    test::saveScreenshot(main(), QStringLiteral("calibration-solved.png"));

    boxes.queueAnswer(MsgAnswer::Yes);
    click("btnEEPROM");
    ASSERT_EQ(main().calibration().lastWrite(), CalibrationWorkflow::WriteResult::Verified);
    EXPECT_TRUE(state().messages.info(InfoFlag::UnitCalibrated));
    EXPECT_TRUE(button("btnNewTest")->hasFocus());
    EXPECT_FALSE(button("btnClear")->isEnabled());

    click("btnNewTest");
    EXPECT_EQ(state().testState, 0);
    EXPECT_TRUE(button("btnInitialize")->isEnabled());
    EXPECT_EQ(unit->word(0xB608), settingA);
    EXPECT_EQ(unit->word(0xB60E), settingB);
    EXPECT_TRUE(unit->checksumValid());
    EXPECT_EQ(unit->channels(), QStringLiteral("3C07000000"));
    EXPECT_LT(worstHeadingError(*unit), 0.5);
}

TEST_F(CalibrationWindow, ClosingTheWindowDuringATestPutsTheUnitBack) {
    unitsim::UnitConfig config;
    config.format = unitsim::OutputFormat::Binary;
    start(config);
    ASSERT_EQ(state().dataFormat, DataFormat::Binary);
    const quint16 settingA = unit->word(0xB608);

    click("btnInitialize");
    ASSERT_EQ(state().testState, kTestRunning);
    EXPECT_EQ(unit->word(0xB608), 0x1414);
    EXPECT_EQ(unit->format(), unitsim::OutputFormat::Decimal);

    main().close();
    EXPECT_EQ(unit->word(0xB608), settingA);
    EXPECT_EQ(unit->format(), unitsim::OutputFormat::Binary);
    EXPECT_EQ(state().dataFormat, DataFormat::Binary);
}

}  // namespace
}  // namespace tarquel
