// The main window as a view of its session: each control reaches its workflow, each view call
// its widget, and closing ends the session.
#include "AppRig.h"
#include "app/FrmAbout.h"
#include "app/StatusPanel.h"
#include "calibration/CalibrationPanel.h"
#include "livedata/DisplayFormat.h"
#include "maptool/FrmEEPROMCompare.h"
#include "unitlink/CommProperties.h"

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace tarquel {
namespace {

class MainWindow : public test::AppRig {
protected:
    void SetUp() override {
        unit = &addUnit(1);
        addUnit(3).setWord(0x0000, 0x4C03);
        ASSERT_TRUE(startApplication());
        system.clearWrites();
    }
    void trigger(const char* name) { main().action(name)->trigger(); }
    void click(const char* name) {
        QTest::mouseClick(main().button(name), Qt::LeftButton);
        clock.runFor(20);
    }
    template <typename Window>
    Window* shown() const {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<Window*>(w); window != nullptr && window->isVisible()) {
                return window;
            }
        }
        return nullptr;
    }
    unitsim::SimulatedUnit* unit = nullptr;
};

TEST_F(MainWindow, TheMenusReachTheirCommands) {
    EXPECT_EQ(main().windowTitle(), QStringLiteral("Tarquel V 1.0"));
    EXPECT_EQ(main().action("mnuAbout")->text(), QStringLiteral("&About Tarquel..."));

    trigger("mnuClearCal");
    EXPECT_EQ(boxes.shown().back().title, QStringLiteral("No magnetic cal to remove!"));
    trigger("mnuClearNorth");
    EXPECT_EQ(boxes.shown().back().title, QStringLiteral("No north alignement to remove!"));

    trigger("mnuCalPend");
    EXPECT_EQ(labelText("lblCalMode"), QStringLiteral("Pend"));
    EXPECT_TRUE(main().action("mnuCalPend")->isChecked());
    EXPECT_FALSE(main().action("mnuCalAccel")->isChecked());
    EXPECT_EQ(unit->channels(), QStringLiteral("2007C00000"));
    trigger("mnuCalAccel");
    EXPECT_EQ(labelText("lblCalMode"), QStringLiteral("Accel"));

    main().mnuCommPort(2)->trigger();
    EXPECT_EQ(labelText("Label10"), QStringLiteral("Comm 3"));
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(main().mnuCommPort(i)->isChecked(), i == 2) << "entry " << i;
    }
    EXPECT_EQ(main().label("Label10")->toolTip(),
              QStringLiteral("Displays the current serial port being used.\nfake:port3"));

    trigger("mnuProperties");
    auto* properties = main().findChild<CommProperties*>();
    ASSERT_NE(properties, nullptr);
    properties->Combo1()->setCurrentText(QStringLiteral("19200"));
    QTest::mouseClick(properties->findChild<QPushButton*>(QStringLiteral("btnOK")), Qt::LeftButton);
    EXPECT_EQ(labelText("Label8"), QStringLiteral("19200,n,8,1"));
    EXPECT_EQ(session().MSComm1().settings(), QStringLiteral("19200,n,8,1"));

    trigger("mnuGetEEPROM");
    FrmEEPROMCompare* compare = shown<FrmEEPROMCompare>();
    ASSERT_NE(compare, nullptr);
    trigger("mnuGetEEPROM");
    EXPECT_EQ(shown<FrmEEPROMCompare>(), compare) << "one comparison window";
    compare->close();

    trigger("mnuDataTerminal");
    ASSERT_NE(main().dataTerminal(), nullptr);
    EXPECT_TRUE(main().dataTerminal()->isVisible());
    main().dataTerminal()->close();

    trigger("mnuAbout");
    FrmAbout* about = shown<FrmAbout>();
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(about->label("lblCopy")->text(), aboutNotice(QDate::currentDate().year()));
}

TEST_F(MainWindow, TheButtonsReachTheCalibrationAndTheAlignment) {
    click("btnInitialize");
    ASSERT_TRUE(session().calibration().testRunning());
    EXPECT_EQ(unit->word(0xB608), 0x1414);
    EXPECT_FALSE(main().action("mnuProperties")->isEnabled());
    EXPECT_EQ(labelText("DataLabel_5"), QStringLiteral("Calc Hdg"));

    // North alignment asks with the heading the window shows (216.9: whole mg of the field).
    unit->setHeading(217);
    clock.runFor(12000);
    ASSERT_EQ(labelText("DataBox_5"), QStringLiteral("216.9 dg"));
    boxes.queueAnswer(MsgAnswer::No);
    click("btnAlign");
    EXPECT_EQ(boxes.shown().back().title, QStringLiteral("Write to North Alignment to EEPROM?"));
    EXPECT_TRUE(boxes.shown().back().prompt.contains(QStringLiteral("Heading:  -143.1\r\n")))
        << boxes.shown().back().prompt.toStdString();

    // The gauge shows in a cardinal window and hands the focus to Enter Data: Enter stores.
    unit->setHeading(90);
    clock.runFor(12000);
    ASSERT_TRUE(main().button("btnGetData")->hasFocus());
    QTest::keyClick(main().button("btnGetData"), Qt::Key_Return);
    EXPECT_EQ(session().calibration().collectedMask(), 2);
    EXPECT_EQ(labelText("lblHdg_1"), GeneralNumber(session().calibration().point(1).heading));
    click("btnClear");
    EXPECT_EQ(session().calibration().collectedMask(), 0);
    for (const double heading : {0.0, 90.0, 180.0, 270.0}) {
        unit->setHeading(heading);
        clock.runFor(12000);
        click("btnGetData");
    }
    ASSERT_TRUE(main().button("btnEEPROM")->hasFocus());
    boxes.queueAnswer(MsgAnswer::Yes);
    click("btnEEPROM");
    EXPECT_EQ(session().calibration().lastWrite(), CalibrationWorkflow::WriteResult::Verified);

    click("btnNewTest");
    EXPECT_FALSE(session().calibration().testRunning());
    EXPECT_EQ(unit->word(0xB608), 0x0A0A);
    EXPECT_TRUE(main().action("mnuProperties")->isEnabled());
}

TEST_F(MainWindow, ViewCallsReachTheirWidgets) {
    StatusPanel& status = *main().statusPanel();
    status.setInformationText(QStringLiteral("1.  a\r\n2.  b"));
    EXPECT_EQ(status.txtInformation()->toPlainText(), QStringLiteral("1.  a\n2.  b"));
    EXPECT_TRUE(status.txtInformation()->isReadOnly());
    status.setInformationCaption(QStringLiteral("Caption"));
    EXPECT_EQ(labelText("Label46"), QStringLiteral("Caption"));
    status.showCautionBadge(QStringLiteral("CAUTION"), Rgb{255, 255, 0});
    EXPECT_TRUE(main().label("lblCaution")->isVisibleTo(&main()));
    EXPECT_EQ(main().label("lblCaution")->palette().color(QPalette::Window), QColor(255, 255, 0));
    status.hideCautionBadge();
    EXPECT_FALSE(main().label("lblCaution")->isVisibleTo(&main()));
    status.setSoftwareInfo(QStringLiteral("Receiving Data.\rData routed to terminal display."));
    EXPECT_EQ(labelText("lblSoftwareInfo"),
              QStringLiteral("Receiving Data.\nData routed to terminal display."));
    main().setFormatCaption(QStringLiteral("Binary"));
    EXPECT_EQ(labelText("Label9"), QStringLiteral("Binary"));
    main().setPortEntryVisible(5, false);
    EXPECT_FALSE(main().mnuCommPort(5)->isVisible());
    main().appendToPortEntry(10, QStringLiteral(" - Modem"));
    EXPECT_EQ(main().mnuCommPort(10)->text(), QStringLiteral("Port 11 - Modem"));

    // The live values follow the frames at the display rate.
    clock.runFor(1000);
    EXPECT_EQ(labelText("DataBox_6"), session().liveData().display().dataBoxCaption(6));
    EXPECT_EQ(labelText("DataBox_6"), QStringLiteral("000.0 dg"));
    EXPECT_EQ(labelText("lblUnit"), QStringLiteral("B600 unit: CV-3100 Version 4.20"));
}

TEST_F(MainWindow, ClosingEndsTheSession) {
    click("btnInitialize");
    ASSERT_EQ(unit->word(0xB608), 0x1414);
    trigger("mnuExit");
    EXPECT_FALSE(main().isVisible());
    EXPECT_EQ(unit->word(0xB608), 0x0A0A) << "the unit's settings are put back";
    EXPECT_FALSE(session().MSComm1().portOpen());
}

}  // namespace
}  // namespace tarquel
