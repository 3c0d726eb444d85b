// The main window. Its widgets are built by the panels it holds (live values, calibration area,
// status areas); the unit session behind it owns the port, the unit link and every workflow.
#include "app/FrmMain.h"

#include "app/DesktopFolder.h"
#include "app/FrmAbout.h"
#include "app/LiveValuesPanel.h"
#include "app/StatusPanel.h"
#include "calibration/CalGaugeWidget.h"
#include "calibration/CalibrationPanel.h"
#include "dialogs/InProcessWindow.h"
#include "dialogs/InformationWindow.h"
#include "livedata/DataTerminal.h"
#include "maptool/FrmEEPROMCompare.h"
#include "platform/NamedLabel.h"
#include "platform/Twips.h"
#include "platform/Version.h"
#include "records/ReportPdf.h"
#include "unitlink/CommProperties.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tarquel {

namespace {

constexpr int kInnerHeightTwips = 5125;

// The caption of port menu entry index: "Port &3", "Port 1&0", "Port 14".
QString portCaption(int index) {
    const int port = index + 1;
    if (port <= 9) {
        return QStringLiteral("Port &") + QString::number(port);
    }
    if (port == 10) {
        return QStringLiteral("Port 1&0");
    }
    return QStringLiteral("Port ") + QString::number(port);
}

}  // namespace

FrmMain::FrmMain(AppServices& services, QWidget* parent)
    : QMainWindow(parent),
      services_(services),
      themes_(QApplication::palette()),
      helpFile_(services.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                 : services.programFolder,
                services.desktop, services.boxes) {
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    buildMenus();
    auto* central = new QWidget(this);
    livePanel_ = new LiveValuesPanel(central);
    calibrationPanel_ = new CalibrationPanel(calPlot_, central);
    statusPanel_ = new StatusPanel(central);
    livePanel_->setFocusTargets(calibrationPanel_->button(CalControl::btnGetData),
                                statusPanel_->txtInformation());
    auto* top = new QHBoxLayout;
    top->setSpacing(8);
    top->addWidget(livePanel_, 0);
    top->addWidget(calibrationPanel_, 1);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(6, 4, 6, 6);
    column->setSpacing(6);
    column->addLayout(top, 1);
    column->addWidget(statusPanel_, 0);
    setCentralWidget(central);
    frmInProcessWindow::instance().setDoEvents([this] { services_.clock.doEvents(); });

    std::unique_ptr<SerialPort> MSComm1 = services.createPort();
    MSComm1->setSettings(QStringLiteral("9600,n,8,1"));
    session_ = std::make_unique<UnitSession>(
        std::move(MSComm1),
        SessionServices{services.clock, services.boxes, progress_, services.fileDialogs,
                        services.records},
        SessionViews{*livePanel_, *statusPanel_, *this, *calibrationPanel_->lgCal(), *this, *this,
                     *calibrationPanel_, *livePanel_});
    session_->startLiveData();
    session_->liveData().decoder().setFrameObserver(&calPlot_);
    session_->calibration().setObserver(&calPlot_);
    calibrationPanel_->setOutside({action("mnuProperties"), action("mnuDataTerminal"),
                                   action("mnuGetEEPROM"), action("mnuCalMode"),
                                   livePanel_->DataLabel(5), statusPanel_->formatLabel()});
    const std::array<std::pair<CalControl, void (FrmMain::*)()>, 6> buttons{{
        {CalControl::btnInitialize, &FrmMain::btnInitialize_Click},
        {CalControl::btnGetData, &FrmMain::btnGetData_Click},
        {CalControl::btnClear, &FrmMain::btnClear_Click},
        {CalControl::btnEEPROM, &FrmMain::btnEEPROM_Click},
        {CalControl::btnNewTest, &FrmMain::btnNewTest_Click},
        {CalControl::btnAlign, &FrmMain::btnAlign_Click},
    }};
    for (const auto& [control, slot] : buttons) {
        connect(calibrationPanel_->button(control), &QPushButton::clicked, this, slot);
    }
    session_->calibration().showIdle();
}

FrmMain::~FrmMain() {
    // The comparison window (a window of its own) shows the session's map tool; the session
    // shows through the panels; the calibration panel's plot uses calPlot_, a member that is gone
    // before QWidget deletes the children. They go in that order, while what they use exists.
    delete compare_.data();
    session_.reset();
    delete calibrationPanel_;
}

void FrmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    const auto addMenu = [&](QMenu* parentMenu, const char* name, const char* caption) {
        QMenu* menu = parentMenu != nullptr ? parentMenu->addMenu(QLatin1String(caption))
                                            : bar->addMenu(QLatin1String(caption));
        menu->setObjectName(QLatin1String(name));
        menu->menuAction()->setObjectName(QLatin1String(name));
        return menu;
    };
    // An item of a menu; slot runs when it is chosen.
    const auto addItem = [&](QMenu* menu, const char* name, const QString& caption, auto slot,
                             const QKeySequence& key = {}) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(QLatin1String(name));
        item->setShortcut(key);
        connect(item, &QAction::triggered, this, slot);
        return item;
    };
    const auto addCheckItem = [&](QMenu* menu, const char* name, const QString& caption, auto slot,
                                  bool checked) {
        QAction* item = addItem(menu, name, caption, slot);
        item->setCheckable(true);
        item->setChecked(checked);
        return item;
    };
    const auto addSeparator = [&](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QLatin1String(name));
    };

    QMenu* mnuFile = addMenu(nullptr, "mnuFile", "&File");
    addItem(mnuFile, "mnuGetEEPROM", QStringLiteral("Get &EEPROM Map"),
            &FrmMain::mnuGetEEPROM_Click, QKeySequence(Qt::CTRL | Qt::Key_E));
    addItem(mnuFile, "mnuClearCal", QStringLiteral("Clear Magnetic Calibration"),
            &FrmMain::mnuClearCal_Click);
    addItem(mnuFile, "mnuClearNorth", QStringLiteral("Clear North Rotation"),
            &FrmMain::mnuClearNorth_Click);
    addSeparator(mnuFile, "mnuDash1");
    addItem(mnuFile, "mnuExit", QStringLiteral("E&xit"), &FrmMain::mnuExit_Click);
    addSeparator(mnuFile, "mnuDash3");
    addItem(mnuFile, "mnuSaveReport", QStringLiteral("Save Calibration &Report..."),
            &FrmMain::mnuSaveReport_Click)
        ->setEnabled(false);

    QMenu* mnuComm = addMenu(nullptr, "mnuComm", "&Communications");
    addItem(mnuComm, "mnuProperties", QStringLiteral("&Properties"), &FrmMain::mnuProperties_Click);
    addSeparator(mnuComm, "mnuDash");
    mnuComm->setToolTipsVisible(true);
    for (int i = 0; i < kPortMenuEntries; ++i) {
        const int port = i + 1;
        QAction* item = addCheckItem(
            mnuComm, "mnuCommPort", portCaption(i), [this, i] { mnuCommPort_Click(i); }, i == 0);
        item->setObjectName(indexedName("mnuCommPort", i));
        if (port >= 2 && port <= 9) {
            item->setShortcut(QKeySequence(Qt::Key_F1 + (port - 1)));
        }
        mnuCommPort_[static_cast<size_t>(i)] = item;
    }
    updatePortTips();

    QMenu* mnuOptions = addMenu(nullptr, "mnuOptions", "&Options");
    QMenu* mnuCalMode = addMenu(mnuOptions, "mnuCalMode", "&Calibration Mode");
    addCheckItem(mnuCalMode, "mnuCalAccel", QStringLiteral("&Accelerometer"),
                 &FrmMain::mnuCalAccel_Click, true);
    addCheckItem(mnuCalMode, "mnuCalPend", QStringLiteral("&Pendulum"), &FrmMain::mnuCalPend_Click,
                 false);
    QMenu* mnuDisplay = addMenu(mnuOptions, "mnuDisplay", "&Display Setup");
    addCheckItem(mnuDisplay, "mnuNormalView", QStringLiteral("&Normal"),
                 &FrmMain::mnuNormalView_Click, true);
    addCheckItem(mnuDisplay, "mnuHiCon", QStringLiteral("&High Contrast"), &FrmMain::mnuHiCon_Click,
                 false);

    QMenu* mnuView = addMenu(nullptr, "mnuView", "&View Data");
    addItem(mnuView, "mnuDataTerminal", QStringLiteral("&Data Terminal"),
            &FrmMain::mnuDataTerminal_Click, QKeySequence(Qt::CTRL | Qt::Key_T));

    QMenu* mnuHelp = addMenu(nullptr, "mnuHelp", "&Help");
    addItem(mnuHelp, "mnuHelpContents", QStringLiteral("Open &Help File..."),
            [this] { helpFile_.mnuHelpContents_Click(); });
    addSeparator(mnuHelp, "mnuDash2");
    addItem(mnuHelp, "mnuAbout", QStringLiteral("&About..."), &FrmMain::mnuAbout_Click);
}

QAction* FrmMain::action(const char* name) const {
    return findChild<QAction*>(QLatin1String(name));
}
QLabel* FrmMain::label(const char* name) const {
    return findChild<QLabel*>(QLatin1String(name));
}
QPushButton* FrmMain::button(const char* name) const {
    return findChild<QPushButton*>(QLatin1String(name));
}
CalGaugeWidget* FrmMain::lgCal() const {
    return calibrationPanel_->lgCal();
}

void FrmMain::Load(const StartupResult& startup) {
    // The inner area below the menu bar is 5125 twips high (more if the fonts need it).
    adjustSize();
    const int inner =
        std::max(twipsToPixels(kInnerHeightTwips), centralWidget()->minimumSizeHint().height());
    resize(std::max(width(), twipsToPixels(10800)), menuBar()->sizeHint().height() + inner);
    SetWindowCaptions();
    StartupReport(startup, *session_, services_.boxes, *this, *this).run();
    updatePortTips();
}

void FrmMain::SetWindowCaptions() {
#ifdef Q_OS_WIN
    constexpr bool windows = true;
#else
    constexpr bool windows = false;
#endif
    desktopFolder_ = fDesktopFolder(services_.environment, windows);
    session_->maps().setDesktopFolder(desktopFolder_);
    setWindowTitle(QLatin1String(kApplicationTitle) + QStringLiteral(" V ") +
                   QString::number(kVersionMajor) + QLatin1Char('.') +
                   QString::number(kVersionMinor));
    action("mnuAbout")
        ->setText(QStringLiteral("&About ") + QLatin1String(kApplicationTitle) +
                  QStringLiteral("..."));
    if (const QScreen* screen = this->screen()) {
        const QRect work = screen->availableGeometry();
        const QSize outer = frameGeometry().size();
        move(work.left() + work.width() / 2 - outer.width() / 2,
             work.top() + work.height() / 2 - outer.height() / 2);
    }
}

void FrmMain::updatePortTips() {
    // The device behind each port number, so the operator can see which line is which.
    for (int i = 0; i < kPortMenuEntries; ++i) {
        QAction* item = mnuCommPort_[static_cast<size_t>(i)];
        const QString device = services_.portDevice ? services_.portDevice(i + 1) : QString();
        if (item != nullptr) {
            item->setToolTip(device.isEmpty() ? QStringLiteral("No device") : device);
        }
    }
    if (session_ != nullptr) {
        const QString device = session_->MSComm1().deviceName();
        statusPanel_->portLabel()->setToolTip(
            QStringLiteral("Displays the current serial port being used.") +
            (device.isEmpty() ? QString() : QStringLiteral("\n") + device));
    }
}

int FrmMain::OpenInfoWindow(const QString& message, const QString& title, int flags,
                            int countdownSeconds, int modal) {
    return InformationWindow::instance().OpenInfoWindow(message, title, flags, countdownSeconds,
                                                        modal);
}

void FrmMain::setCalModeChecks(bool accelChecked, bool pendChecked) {
    action("mnuCalAccel")->setChecked(accelChecked);
    action("mnuCalPend")->setChecked(pendChecked);
}

void FrmMain::setCalModeCaption(const QString& caption) {
    statusPanel_->setCalModeCaption(caption);
}

void FrmMain::setPortChecked(int index, bool checked) {
    mnuCommPort_[static_cast<size_t>(index)]->setChecked(checked);
}

void FrmMain::setPortCaption(const QString& caption) {
    statusPanel_->setPortCaption(caption);
    updatePortTips();
}

void FrmMain::setSettingsCaption(const QString& caption) {
    statusPanel_->setSettingsCaption(caption);
}

void FrmMain::setFormatCaption(const QString& caption) {
    statusPanel_->setFormatCaption(caption);
}

void FrmMain::appendToPortEntry(int index, const QString& suffix) {
    QAction* item = mnuCommPort_[static_cast<size_t>(index)];
    item->setText(item->text() + suffix);
}

void FrmMain::setPortEntryVisible(int index, bool visible) {
    mnuCommPort_[static_cast<size_t>(index)]->setVisible(visible);
}

void FrmMain::mnuCommPort_Click(int index) {
    // The menu toggles the check by itself; the selection decides what is checked.
    session_->ports().selectPort(index);
    updatePortTips();
}

void FrmMain::mnuProperties_Click() {
    auto* dialog = new CommProperties(session_->ports(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    followTheme();
    dialog->show();
}

void FrmMain::mnuAbout_Click() {
    auto* about = new FrmAbout(this);
    followTheme();
    about->show();
}

void FrmMain::mnuHiCon_Click() {
    themes_.applyToAllWindows(DisplayTheme::HighContrast);
    action("mnuHiCon")->setChecked(true);
    action("mnuNormalView")->setChecked(false);
    if (compare_ != nullptr) {
        compare_->setHighContrast(true);
    }
}

void FrmMain::mnuNormalView_Click() {
    themes_.applyToAllWindows(DisplayTheme::Normal);
    action("mnuNormalView")->setChecked(true);
    action("mnuHiCon")->setChecked(false);
    if (compare_ != nullptr) {
        compare_->setHighContrast(false);
    }
}

void FrmMain::mnuDataTerminal_Click() {
    LiveDataSession& live = session_->liveData();
    live.decoder().ResetDataWindows();
    if (terminal_ == nullptr) {
        terminal_ = new DataTerminal(
            session_->link(), [this] { session_->liveData().decoder().ResetDataWindows(); },
            [this] {
                // Received data goes to the frame decoder again from the next receive event.
                session_->liveData().receivePath().setTerminalVisible(false);
                session_->liveData().receivePath().setTerminalSink(nullptr);
            },
            this);
        terminal_->setAttribute(Qt::WA_DeleteOnClose);
        followTheme();
    }
    live.receivePath().setTerminalSink(terminal_);
    live.receivePath().setTerminalVisible(true);
    terminal_->show();
    terminal_->raise();
    terminal_->activateWindow();
}

void FrmMain::mnuGetEEPROM_Click() {
    // One comparison window: a second choice brings the open one forward. Closing it deletes it,
    // so the next choice reads the unit's map again.
    if (compare_ == nullptr) {
        compare_ = new FrmEEPROMCompare(session_->maps());
        compare_->setAttribute(Qt::WA_DeleteOnClose);
        followTheme();
    }
    compare_->show();
    compare_->raise();
    compare_->activateWindow();
}

void FrmMain::followTheme() {
    // A window's design colours are the normal theme's; only high contrast needs applying.
    if (action("mnuHiCon")->isChecked()) {
        mnuHiCon_Click();
    }
}

void FrmMain::btnEEPROM_Click() {
    session_->calibration().writeCalibration();
    // The report is there once a calibration has been written in this run.
    action("mnuSaveReport")->setEnabled(session_->calibrationReport().has_value());
}

void FrmMain::mnuSaveReport_Click() {
    if (const std::optional<CalibrationReportData> report = session_->calibrationReport()) {
        saveCalibrationReportAs(*report, services_.fileDialogs, services_.boxes, desktopFolder_);
    }
}

void FrmMain::mnuExit_Click() {
    close();
}

void FrmMain::closeEvent(QCloseEvent* event) {
    // Closing the main window ends the application, whatever other windows are open. They close
    // first, with whatever they send the unit on closing (the data terminal's decimal output),
    // while the port is still open; then the session restores the unit and closes the port.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible()) {
            w->close();
        }
    }
    session_->end();
    event->accept();
    QMainWindow::closeEvent(event);
}

}  // namespace tarquel
