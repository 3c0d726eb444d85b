// The connected main window: captions, menus, serial settings, port selection, calibration mode.
#include "AppRig.h"
#include "platform/Errors.h"
#include "unitlink/CommProperties.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace tarquel {
namespace {

using test::AppRig;

class MainWindow : public AppRig {
protected:
    void SetUp() override {
        addUnit(1);
        ASSERT_TRUE(startApplication());
        system.clearWrites();
    }
    QString labelText(const char* name) { return main().label(name)->text(); }
    CommProperties* openProperties() {
        main().action("mnuProperties")->trigger();
        return main().findChild<CommProperties*>();
    }
};

TEST_F(MainWindow, CaptionsAndDesktopFolder) {
    EXPECT_EQ(main().windowTitle(), QStringLiteral("Tarquel V 1.0"));
    EXPECT_EQ(main().action("mnuAbout")->text(), QStringLiteral("&About Tarquel..."));
    EXPECT_EQ(state().desktopFolder, QStringLiteral("/home/tech/Desktop/"));
}

TEST_F(MainWindow, MenuTreeHasItsCaptionsAccessKeysAndShortcuts) {
    struct Item {
        const char* name;
        const char* caption;
        QKeySequence key;
    };
    const Item items[] = {
        {"mnuGetEEPROM", "Get &EEPROM Map", QKeySequence(Qt::CTRL | Qt::Key_E)},
        {"mnuClearCal", "Clear Magnetic Calibration", {}},
        {"mnuClearNorth", "Clear North Rotation", {}},
        {"mnuExit", "E&xit", {}},
        {"mnuProperties", "&Properties", {}},
        {"mnuCalAccel", "&Accelerometer", {}},
        {"mnuCalPend", "&Pendulum", {}},
        {"mnuNormalView", "&Normal", {}},
        {"mnuHiCon", "&High Contrast", {}},
        {"mnuDataTerminal", "&Data Terminal", QKeySequence(Qt::CTRL | Qt::Key_T)},
        {"mnuHelpContents", "Open &Help File...", {}},
    };
    for (const Item& item : items) {
        QAction* action = main().action(item.name);
        ASSERT_NE(action, nullptr) << item.name;
        EXPECT_EQ(action->text(), QLatin1String(item.caption)) << item.name;
        EXPECT_EQ(action->shortcut(), item.key) << item.name;
        EXPECT_TRUE(action->isVisible()) << item.name;
        EXPECT_TRUE(action->isEnabled()) << item.name;
    }
    QStringList tops;
    for (QAction* top : main().menuBar()->actions()) {
        tops << top->text();
    }
    EXPECT_EQ(tops, (QStringList{QStringLiteral("&File"), QStringLiteral("&Communications"),
                                 QStringLiteral("&Options"), QStringLiteral("&View Data"),
                                 QStringLiteral("&Help")}));
    EXPECT_EQ(main().mnuCommPort(0)->text(), QStringLiteral("Port &1"));
    EXPECT_EQ(main().mnuCommPort(9)->text(), QStringLiteral("Port 1&0"));
    EXPECT_EQ(main().mnuCommPort(19)->text(), QStringLiteral("Port 20"));
    EXPECT_EQ(main().mnuCommPort(0)->shortcut(), QKeySequence());
    EXPECT_EQ(main().mnuCommPort(1)->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(main().mnuCommPort(8)->shortcut(), QKeySequence(Qt::Key_F9));
    EXPECT_EQ(main().mnuCommPort(9)->shortcut(), QKeySequence());
    EXPECT_TRUE(main().action("mnuCalAccel")->isChecked());
    EXPECT_TRUE(main().action("mnuNormalView")->isChecked());
}

TEST_F(MainWindow, InformationBoxIgnoresTyping) {
    main().setInformationText(
        QStringLiteral("1.  Press the Begin Test button to start a calibration.\r\n"));
    main().txtInformation()->setFocus();
    QTest::keyClicks(main().txtInformation(), QStringLiteral("xyz"));
    EXPECT_FALSE(main().txtInformation()->toPlainText().contains(QStringLiteral("xyz")));
}

TEST_F(MainWindow, PropertiesOkWithTheSameRateStillSelectsDecimalOutput) {
    state().dataFormat = DataFormat::Binary;
    main().setFormatCaption(QStringLiteral("Binary"));
    CommProperties* dialog = openProperties();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Communications Properties"));
    EXPECT_EQ(dialog->Combo1()->currentText(), QStringLiteral("9600"));
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btnOK")), Qt::LeftButton);
    EXPECT_EQ(system.bytesWritten(1), QByteArray("_"));
    EXPECT_EQ(labelText("Label9"), QStringLiteral("Decimal"));
    EXPECT_EQ(state().dataFormat, DataFormat::Decimal);
    EXPECT_EQ(main().MSComm1().settings(), QStringLiteral("9600,n,8,1"));
}

TEST_F(MainWindow, PropertiesOkAppliesANewRateAndCancelDoesNot) {
    CommProperties* dialog = openProperties();
    dialog->Combo1()->setCurrentText(QStringLiteral("19200"));
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btnOK")), Qt::LeftButton);
    EXPECT_EQ(main().MSComm1().settings(), QStringLiteral("19200,n,8,1"));
    EXPECT_EQ(labelText("Label8"), QStringLiteral("19200,n,8,1"));
    EXPECT_TRUE(main().MSComm1().portOpen());
    clock.runFor(100);

    dialog = openProperties();
    EXPECT_EQ(dialog->Combo1()->currentText(), QStringLiteral("19200"));
    dialog->Combo1()->setCurrentText(QStringLiteral("2400"));
    system.clearWrites();
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btnCancel")), Qt::LeftButton);
    EXPECT_EQ(main().MSComm1().settings(), QStringLiteral("19200,n,8,1"));
    EXPECT_TRUE(system.writes().empty());
}

TEST_F(MainWindow, APortThatCannotReopenAtTheNewRateGoesBackToTheOldRate) {
    auto& port = static_cast<FakeSerialPort&>(main().MSComm1());
    port.injectError(FakeSerialPort::Operation::Open, ErrorNumber::PortNotAvailable);
    CommProperties* dialog = openProperties();
    dialog->Combo1()->setCurrentText(QStringLiteral("38400"));
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btnOK")), Qt::LeftButton);
    ASSERT_EQ(boxesTitled(QStringLiteral("Port Error!")).size(), 1u);
    EXPECT_EQ(boxes.shown().back().icon, MsgIcon::Critical);
    EXPECT_EQ(main().MSComm1().settings(), QStringLiteral("9600,n,8,1"));
    EXPECT_TRUE(main().MSComm1().portOpen());
    EXPECT_EQ(labelText("Label8"), QStringLiteral("9600,n,8,1"));
}

TEST_F(MainWindow, SelectingAnotherPortClearsTwoConfigurationBitsOfItsUnit) {
    unitsim::SimulatedUnit& other = addUnit(3);
    other.setWord(0x0000, 0x4C03);
    main().mnuCommPort(2)->trigger();
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(main().mnuCommPort(i)->isChecked(), i == 2) << "entry " << i;
    }
    EXPECT_EQ(labelText("Label10"), QStringLiteral("Comm 3"));
    EXPECT_EQ(other.word(0x0000), 0x0403);

    other.setWord(0x0000, 0xFFFF);
    main().mnuCommPort(2)->trigger();
    EXPECT_EQ(other.word(0x0000), 0xB7FF);
}

TEST_F(MainWindow, APortThatCannotBeOpenedReturnsToThePreviousOne) {
    main().mnuCommPort(6)->trigger();  // port 7 has no device
    const auto errors = boxesTitled(QStringLiteral("Port Error!"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(
        errors[0].prompt,
        QStringLiteral("An error has ocurred while attempting to access the port selected.\r\n"
                       "Please check port status to verify this port is still valid."));
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(main().mnuCommPort(i)->isChecked(), i == 0) << "entry " << i;
    }
    EXPECT_EQ(main().MSComm1().commPort(), 1);
    EXPECT_TRUE(main().MSComm1().portOpen());
    EXPECT_EQ(labelText("Label10"), QStringLiteral("Comm 1"));
}

TEST_F(MainWindow, PendulumModeFromTheMenu) {
    main().action("mnuCalPend")->trigger();
    EXPECT_TRUE(main().action("mnuCalPend")->isChecked());
    EXPECT_FALSE(main().action("mnuCalAccel")->isChecked());
    EXPECT_EQ(labelText("lblCalMode"), QStringLiteral("Pend"));
    EXPECT_EQ(state().calMode, CalMode::Pendulum);
    EXPECT_EQ(system.bytesWritten(1), QByteArray(">2007C00000"));
    EXPECT_EQ(units[1]->channels(), QStringLiteral("2007C00000"));
}

TEST_F(MainWindow, AModeCommandTheUnitIgnoresReportsTheError) {
    // A unit that has gone quiet cannot be identified again; the mode shows as chosen anyway.
    units[1]->setFault(unitsim::Fault::NoReadAnswer);
    main().unitLink().fInit(true);  // fails: the address table stays from before
    state().writeAccessEnabled = false;
    main().action("mnuCalPend")->trigger();
    const auto errors = boxesTitled(QStringLiteral("Error Setting Pend Mode!"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].prompt, QStringLiteral("Error setting the unit to Pendulum Mode.\r\nPlease "
                                               "check the connections and try again."));
}

}  // namespace
}  // namespace tarquel
