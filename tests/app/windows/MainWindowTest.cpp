// The real windows on virtual time with simulated units, for their wiring: start-up through the
// splash window, each control of the main window reaching its workflow, each view call its
// widget, the data terminal, help, closing, and both display themes over every window.
#include "app/Application.h"
#include "app/DisplayThemes.h"
#include "app/FrmAbout.h"
#include "app/FrmMain.h"
#include "app/FrmSplash.h"
#include "app/HelpFile.h"
#include "app/StatusPanel.h"
#include "calibration/CalGaugeWidget.h"
#include "calibration/CalibrationPanel.h"
#include "dialogs/InProcessWindow.h"
#include "livedata/DataTerminal.h"
#include "livedata/DisplayFormat.h"
#include "maptool/FrmEEPROMCompare.h"
#include "platform/FakeSerialPort.h"
#include "platform/MessageBoxes.h"
#include "platform/VirtualClock.h"
#include "records/ReportPdf.h"
#include "support/Screenshot.h"
#include "unitlink/CommProperties.h"
#include "unitsim/SimulatedUnit.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <memory>
#include <utility>
#include <vector>

namespace tarquel {
namespace {

// The whole application on virtual time: fake serial hardware with simulated units on chosen
// port numbers, message boxes answered by the test, and the real windows (offscreen).
class AppRig : public ::testing::Test {
protected:
    AppRig()
        : system(clock),
          services{clock,
                   boxes,
                   [this] { return std::make_unique<FakeSerialPort>(system); },
                   [this](int port) {
                       return system.exists(port) ? QStringLiteral("fake:port%1").arg(port)
                                                  : QString();
                   },
                   [this](const QString& name) { return environment.value(name); },
                   fileDialogs,
                   desktop} {
        clock.setEventHook([] { QCoreApplication::processEvents(); });
    }

    ~AppRig() override {
        app.reset();
        QCoreApplication::processEvents();
    }

    unitsim::SimulatedUnit& addUnit(int port, unitsim::UnitConfig config = {}) {
        config.physics.noiseMg = 0;
        units.push_back(std::make_unique<unitsim::SimulatedUnit>(config));
        system.addPort(port, units.back().get());
        return *units.back();
    }
    // Starts the application; true once the main window is up and the splash window gone.
    bool startApplication() {
        app = std::make_unique<Application>(services);
        app->start();
        return clock.runUntil(
            [this] {
                return app->mainWindow() && app->mainWindow()->isVisible() && !app->splash();
            },
            40000);
    }
    FrmMain& main() { return *app->mainWindow(); }
    UnitSession& session() { return main().session(); }
    QString labelText(const char* name) { return main().label(name)->text(); }

    // The visible top-level window of this class, if any.
    template <typename Window>
    static Window* shown() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<Window*>(w); window != nullptr && window->isVisible()) {
                return window;
            }
        }
        return nullptr;
    }

    VirtualClock clock;
    FakePortSystem system;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs fileDialogs;
    RecordingDesktopServices desktop;
    QMap<QString, QString> environment{{QStringLiteral("HOME"), QStringLiteral("/home/tech")}};
    AppServices services;
    std::vector<std::unique_ptr<unitsim::SimulatedUnit>> units;
    std::unique_ptr<Application> app;
};

// --- Start-up ---

using StartupWindows = AppRig;

TEST_F(StartupWindows, AKeyBeforeTheBaudTestHidesTheSplashAClickDuringItSkipsItAKeyEndsStartUp) {
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
    EXPECT_TRUE(boxes.shown().empty()) << "the baud test still ran";
    clock.setEventHook([] { QCoreApplication::processEvents(); });

    for (const bool key : {false, true}) {
        boxes.clear();
        app = std::make_unique<Application>(services);
        bool abandoned = false;
        QObject::connect(app.get(), &Application::startupAbandoned, [&] { abandoned = true; });
        app->start();
        FrmSplash* splash = app->splash();
        QTest::mouseClick(splash->label("lblMessages"), Qt::LeftButton);  // too early: nothing
        ASSERT_TRUE(clock.runUntil([&] { return splash->label("lblClick")->isVisible(); }, 5000));
        EXPECT_EQ(splash->label("lblMessages")->text(),
                  QStringLiteral("Checking Baud Rates (9600) ..."));
        if (key) {
            QTest::keyClick(splash, Qt::Key_A);
        } else {
            QTest::mouseClick(splash->label("lblCompany"), Qt::LeftButton);
        }
        ASSERT_TRUE(clock.runUntil([this] { return app->splash() == nullptr; }, 5000));
        EXPECT_EQ(abandoned, key);
        EXPECT_EQ(app->mainWindow() == nullptr, key);
        ASSERT_EQ(boxes.shown().size(), key ? 0U : 1U);
        if (!key) {
            EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Baud Test Skipped."));
        }
    }
}

// --- The main window ---

class MainWindow : public AppRig {
protected:
    void SetUp() override {
        services.programFolder = programFolder.path();
        unitsim::UnitConfig config;
        config.baud = 19200;
        unit = &addUnit(1, config);
        addUnit(3, config);
        ASSERT_TRUE(startApplication());
    }
    void trigger(const char* name) { main().action(name)->trigger(); }
    void click(const char* name) {
        QTest::mouseClick(main().button(name), Qt::LeftButton);
        clock.runFor(20);
    }
    QTemporaryDir programFolder;
    unitsim::SimulatedUnit* unit = nullptr;
};

TEST_F(MainWindow, StartUpShowsWhatItFoundViewCallsReachTheirWidgetsAndTheMenusTheirCommands) {
    EXPECT_TRUE(boxes.shown().empty()) << boxes.shown().front().title.toStdString();
    EXPECT_EQ(labelText("lblUnit"), QStringLiteral("B600 unit: CV-3100 Version 4.20"));
    EXPECT_EQ(main().label("lblUnit")->toolTip(),
              QStringLiteral("CV-3100 Version 4.20 \nCopyright (C) 2004-09\nCorvane Industries "
                             "Inc.\nAll Rights Reserved"));
    EXPECT_EQ(main().mnuCommPort(0)->toolTip(), QStringLiteral("fake:port1"));
    EXPECT_EQ(main().mnuCommPort(1)->toolTip(), QStringLiteral("No device"));
    EXPECT_FALSE(main().mnuCommPort(1)->isVisible()) << "no port 2";
    EXPECT_FALSE(session().maps().compareMap()) << "the dialog is cancelled";
    EXPECT_EQ(fileDialogs.requests().back().initialPath, QStringLiteral("/home/tech/Desktop/"));

    StatusPanel& status = *main().statusPanel();
    status.setInformationText(QStringLiteral("1.  a\r\n2.  b"));
    EXPECT_EQ(status.txtInformation()->toPlainText(), QStringLiteral("1.  a\n2.  b"));
    status.setInformationCaption(QStringLiteral("Caption"));
    EXPECT_EQ(labelText("Label46"), QStringLiteral("Caption"));
    status.showCautionBadge(QStringLiteral("CAUTION"), Rgb{255, 255, 0});
    EXPECT_TRUE(main().label("lblCaution")->isVisibleTo(&main()));
    status.hideCautionBadge();
    EXPECT_FALSE(main().label("lblCaution")->isVisibleTo(&main()));
    status.setSoftwareInfo(QStringLiteral("Receiving Data.\rData routed to terminal display."));
    EXPECT_EQ(labelText("lblSoftwareInfo"),
              QStringLiteral("Receiving Data.\nData routed to terminal display."));
    main().appendToPortEntry(10, QStringLiteral(" - Modem"));
    EXPECT_EQ(main().mnuCommPort(10)->text(), QStringLiteral("Port 11 - Modem"));
    // The live values follow the frames at the display rate.
    clock.runFor(1000);
    EXPECT_EQ(labelText("DataBox_6"), QStringLiteral("000.0 dg"));

    // The calibration area's format caption is the status panel's; it hides the gauge.
    main().findChild<CalibrationPanel*>()->setFormatCaption(QStringLiteral("Binary"));
    EXPECT_EQ(labelText("Label9"), QStringLiteral("Binary"));
    main().lgCal()->setGaugeVisible(true);
    main().findChild<CalibrationPanel*>()->hideGauge();
    EXPECT_FALSE(main().lgCal()->gaugeVisible());

    trigger("mnuClearCal");
    EXPECT_EQ(boxes.shown().back().title, QStringLiteral("No magnetic cal to remove!"));
    trigger("mnuClearNorth");
    EXPECT_EQ(boxes.shown().back().title, QStringLiteral("No north alignement to remove!"));

    // Help: the document next to the program, or a box when there is none.
    trigger("mnuHelpContents");
    EXPECT_EQ(boxes.shown().back().prompt, QStringLiteral("Help file not found"));
    QFile help(QDir(programFolder.path()).filePath(QLatin1String(kHelpFileName)));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();
    trigger("mnuHelpContents");
    EXPECT_EQ(boxes.shown().size(), 3U);
    EXPECT_EQ(desktop.opened(), QStringList{QFileInfo(help).canonicalFilePath()});

    trigger("mnuCalPend");
    EXPECT_EQ(labelText("lblCalMode"), QStringLiteral("Pend"));
    EXPECT_TRUE(main().action("mnuCalPend")->isChecked());

    main().mnuCommPort(2)->trigger();
    EXPECT_EQ(labelText("Label10"), QStringLiteral("Comm 3"));
    EXPECT_TRUE(main().mnuCommPort(2)->isChecked());
    EXPECT_EQ(main().label("Label10")->toolTip(),
              QStringLiteral("Displays the current serial port being used.\nfake:port3"));

    trigger("mnuProperties");
    auto* properties = main().findChild<CommProperties*>();
    ASSERT_NE(properties, nullptr);
    properties->Combo1()->setCurrentText(QStringLiteral("38400"));
    QTest::mouseClick(properties->findChild<QPushButton*>(QStringLiteral("btnOK")), Qt::LeftButton);
    EXPECT_EQ(labelText("Label8"), QStringLiteral("38400,n,8,1"));

    trigger("mnuExit");
    EXPECT_FALSE(main().isVisible());
    EXPECT_FALSE(session().MSComm1().portOpen()) << "the session has ended";
}

TEST_F(MainWindow, TheButtonsReachTheCalibrationWhoseViewReachesItsWidgets) {
    QWidget* sRect = main().findChild<QWidget*>(QStringLiteral("sRect"));
    unit->setHardIron({30, -20, 0});  // for distinct values in every column
    unit->setScale(1.0, 1.1);
    click("btnInitialize");
    ASSERT_TRUE(session().calibration().testRunning());
    EXPECT_TRUE(sRect->isVisible());
    EXPECT_EQ(labelText("DataLabel_5"), QStringLiteral("Calc Hdg"));
    EXPECT_FALSE(main().action("mnuProperties")->isEnabled());
    boxes.queueAnswer(MsgAnswer::No);
    click("btnAlign");
    EXPECT_EQ(boxes.shown().back().title, QStringLiteral("Write to North Alignment to EEPROM?"));

    // The gauge shows in a cardinal window and hands the focus to Enter Data: Enter stores. The
    // mark beside it says when the values have settled.
    QLabel* lblSteady = main().label("lblSteady");
    EXPECT_TRUE(lblSteady->isVisible());
    unit->setHeading(90);
    clock.runFor(200);
    EXPECT_EQ(lblSteady->text(), QStringLiteral("Settling"));
    clock.runFor(12000);
    EXPECT_EQ(lblSteady->text(), QStringLiteral("Steady"));
    ASSERT_TRUE(main().button("btnGetData")->hasFocus());
    QTest::keyClick(main().button("btnGetData"), Qt::Key_Return);
    EXPECT_EQ(session().calibration().collectedMask(), 2);
    const PointRecord& point = session().calibration().point(1);
    EXPECT_EQ(labelText("lblHdg_1"), GeneralNumber(point.heading));
    EXPECT_EQ(labelText("lblHxMag_1"), GeneralNumber(point.Hx));
    EXPECT_EQ(labelText("lblHyMag_1"), GeneralNumber(point.Hy));
    click("btnClear");
    EXPECT_EQ(session().calibration().collectedMask(), 0);
    for (const double heading : {0.0, 90.0, 180.0, 270.0}) {
        unit->setHeading(heading);
        clock.runFor(12000);
        click("btnGetData");
    }
    EXPECT_TRUE(main().button("btnEEPROM")->hasFocus());
    ASSERT_TRUE(session().calibration().solution().has_value());
    const CalibrationResult& solved = *session().calibration().solution();
    EXPECT_EQ(labelText("lblXBias_0"), solved.xBiasText);
    EXPECT_EQ(labelText("lblYGain_1"), solved.yGainWord);
    EXPECT_EQ(labelText("lblCalMsg"), solved.calMsgText);
    clock.runFor(1000);
    test::saveScreenshot(main(), QStringLiteral("calibration-solved.png"));
    EXPECT_FALSE(main().action("mnuSaveReport")->isEnabled());
    boxes.queueAnswer(MsgAnswer::Yes);
    click("btnEEPROM");
    EXPECT_EQ(session().calibration().lastWrite(), CalibrationWorkflow::WriteResult::Verified);
    click("btnNewTest");

    // The report of the calibration written: one page of PDF.
    ASSERT_TRUE(main().action("mnuSaveReport")->isEnabled());
    const QString pdf = programFolder.filePath(QStringLiteral("report.pdf"));
    fileDialogs.queueAnswer(pdf);
    trigger("mnuSaveReport");
    EXPECT_EQ(fileDialogs.requests().back().filter, QStringLiteral("PDF files (*.pdf)|*.pdf"));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_TRUE(bytes.trimmed().endsWith("%%EOF"));
    EXPECT_EQ(QString::fromLatin1(bytes).count(
                  QRegularExpression(QStringLiteral("/Type\\s*/Page\\b(?!s)"))),
              1);
    test::saveImage(calibrationReportImage(*session().calibrationReport()),
                    QStringLiteral("calibration-report.png"));
    EXPECT_FALSE(session().calibration().testRunning());
    EXPECT_FALSE(sRect->isVisible());
    EXPECT_EQ(labelText("DataLabel_5"), QStringLiteral("Calc Heading"));
}

TEST_F(MainWindow, TheDataTerminalShowsWhatArrivesSendsWhatIsTypedAndHandsBackWhenClosed) {
    ASSERT_TRUE(clock.runUntil([this] { return !labelText("DataBox_0").isEmpty(); }, 5000));
    trigger("mnuDataTerminal");
    DataTerminal* terminal = main().dataTerminal();
    ASSERT_NE(terminal, nullptr);
    QPlainTextEdit* box = terminal->txtTerminal();
    clock.runFor(2000);
    EXPECT_TRUE(terminal->isVisible());
    // Whole frames, one a line; the last line is still empty.
    const QStringList lines = box->toPlainText().split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[lines.size() - 2], QString::fromLatin1(unit->currentFrame().chopped(1)));
    EXPECT_TRUE(labelText("DataBox_0").isEmpty());
    test::saveScreenshot(*terminal, QStringLiteral("data-terminal.png"));

    unit->setStreamEnabled(false);
    clock.runFor(500);
    const QString shown = box->toPlainText();
    system.clearWrites();
    QTest::keyClicks(box, QStringLiteral("ab"));
    EXPECT_EQ(system.bytesWritten(1), QByteArray("ab"));
    EXPECT_EQ(box->toPlainText(), shown) << "typed characters never reach the box";
    // Ctrl+X copies the selection and leaves the text; Ctrl+V pastes nothing.
    QTextCursor selection(box->document());
    selection.setPosition(0);
    selection.setPosition(5, QTextCursor::KeepAnchor);
    box->setTextCursor(selection);
    QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), shown.left(5));
    EXPECT_EQ(box->toPlainText(), shown);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->toPlainText(), shown);
    EXPECT_EQ(system.bytesWritten(1), QByteArray("ab")) << "clipboard keys are not sent";

    unit->setStreamEnabled(true);
    QTest::keyClick(box, Qt::Key_T, Qt::ControlModifier);
    EXPECT_FALSE(terminal->isVisible());
    ASSERT_TRUE(clock.runUntil([this] { return !labelText("DataBox_0").isEmpty(); }, 5000));

    // Closing the main window with the terminal open: the terminal's closing traffic (write
    // access, decimal output) goes first, then the end of the session (here the checksum a north
    // alignment awaits) on the port it then closes.
    boxes.queueAnswer(MsgAnswer::Yes);
    session().northAlignment().alignNorth();
    ASSERT_TRUE(session().northAlignment().rotationAwaitsChecksum());
    trigger("mnuDataTerminal");
    system.clearWrites();
    main().close();
    const QByteArray sent = system.bytesWritten(1);
    ASSERT_TRUE(sent.contains('_') && sent.contains('"')) << sent.toHex().toStdString();
    EXPECT_LT(sent.indexOf('_'), sent.indexOf('"'));
    EXPECT_FALSE(session().MSComm1().portOpen());
}

// --- Both themes over every window ---

// The colour a widget's text is drawn on: its own or the nearest filled ancestor's background.
QColor backgroundBehind(const QWidget& widget, QPalette::ColorRole role) {
    if (role == QPalette::Base || role == QPalette::Button) {
        return widget.palette().color(role);
    }
    for (const QWidget* w = &widget; w != nullptr; w = w->parentWidget()) {
        if (w->autoFillBackground() || w->isWindow()) {
            return w->palette().color(QPalette::Window);
        }
    }
    return widget.palette().color(QPalette::Window);
}

// Every text of every window against its background: 4.5 : 1, or 3 : 1 for large text.
void expectReadable(const char* theme) {
    int checked = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        QList<QWidget*> widgets = window->findChildren<QWidget*>();
        widgets.prepend(window);
        for (QWidget* w : widgets) {
            QPalette::ColorRole text = QPalette::WindowText;
            QPalette::ColorRole back = QPalette::Window;
            const auto* label = qobject_cast<QLabel*>(w);
            if (qobject_cast<QPlainTextEdit*>(w) != nullptr ||
                qobject_cast<QLineEdit*>(w) != nullptr) {
                text = QPalette::Text;
                back = QPalette::Base;
            } else if (qobject_cast<QAbstractButton*>(w) != nullptr ||
                       qobject_cast<QComboBox*>(w) != nullptr) {
                text = QPalette::ButtonText;
                back = QPalette::Button;
            } else if ((label == nullptr || label->text().isEmpty()) &&
                       qobject_cast<QMenuBar*>(w) == nullptr &&
                       qobject_cast<QMenu*>(w) == nullptr &&
                       qobject_cast<QGroupBox*>(w) == nullptr) {
                continue;
            }
            if (!w->isEnabled()) {
                continue;  // disabled controls are drawn faint on purpose
            }
            const double points = w->font().pointSizeF();
            const bool large = points >= 18 || (points >= 14 && w->font().bold());
            // The maps-differ warning is white on pure red by design (4.0 : 1), in bold.
            const bool warning = w->objectName() == QStringLiteral("lblMapsMatch");
            EXPECT_GE(contrastRatio(w->palette().color(text), backgroundBehind(*w, back)),
                      warning ? 3.99
                      : large ? 3.0
                              : 4.5)
                << theme << ": " << qPrintable(window->objectName()) << "/"
                << qPrintable(w->objectName()) << " " << w->metaObject()->className();
            ++checked;
        }
    }
    EXPECT_GT(checked, 50) << theme;
}

TEST_F(MainWindow, HighContrastRecoloursEveryWindowAndLaterWindowsFollow) {
    const QPalette desktopPalette = QApplication::palette();
    main().statusPanel()->showCautionBadge(QStringLiteral("CAUTION"),
                                           Rgb{255, 255, 0});  // own colour
    main().action("mnuGetEEPROM")->trigger();
    clock.runFor(6000);  // the comparison window reads the unit's map
    auto* compare = shown<FrmEEPROMCompare>();
    ASSERT_NE(compare, nullptr);
    main().action("mnuGetEEPROM")->trigger();
    EXPECT_EQ(shown<FrmEEPROMCompare>(), compare) << "one comparison window";
    const QWidget* mapsMatch = compare->findChild<QWidget*>(QStringLiteral("lblMapsMatch"));
    const QWidget* caution = main().label("lblCaution");
    std::vector<std::pair<QWidget*, QPalette::ColorRole>> themed = {
        {&main(), QPalette::Window},
        {&frmInProcessWindow::instance(), QPalette::Window},
        {main().menuBar(), QPalette::Window},
        {main().findChild<QMenu*>(QStringLiteral("mnuFile")), QPalette::Window},
        {main().statusPanel()->txtInformation(), QPalette::Base},
        {main().button("btnInitialize"), QPalette::Button},
        {main().lgCal(), QPalette::Window},
        {compare, QPalette::Window}};
    const auto expectTheme = [&](QPalette::ColorRole desktopRole, bool highContrast,
                                 const char* theme) {
        EXPECT_EQ(main().action("mnuHiCon")->isChecked(), highContrast);
        EXPECT_EQ(compare->highContrast(), highContrast);
        for (const auto& [widget, role] : themed) {
            EXPECT_EQ(widget->palette().color(role), desktopPalette.color(desktopRole))
                << theme << ": " << widget->metaObject()->className() << " "
                << qPrintable(widget->objectName());
        }
        EXPECT_EQ(caution->palette().color(QPalette::Window), QColor(255, 255, 0))
            << "a label's own colour is kept";
        EXPECT_EQ(mapsMatch->palette().color(QPalette::Window), QColor(255, 0, 0));
        EXPECT_EQ(mapsMatch->palette().color(QPalette::WindowText), QColor(255, 255, 255));
        expectReadable(theme);
    };
    test::saveScreenshot(main(), QStringLiteral("main-window.png"));

    // High contrast: the desktop's window colour (its base); normal: its face colour.
    main().action("mnuHiCon")->trigger();
    expectTheme(QPalette::Base, true, "high contrast");
    test::saveScreenshot(main(), QStringLiteral("high-contrast.png"));

    // A window opened later takes high contrast by itself.
    main().action("mnuAbout")->trigger();
    FrmAbout* about = shown<FrmAbout>();
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(about->label("lblCopy")->text(), aboutNotice(QDate::currentDate().year()));
    EXPECT_EQ(about->palette().color(QPalette::Window), desktopPalette.color(QPalette::Base));
    themed.emplace_back(about, QPalette::Window);

    main().action("mnuNormalView")->trigger();
    expectTheme(QPalette::Button, false, "normal again");
}

}  // namespace
}  // namespace tarquel
