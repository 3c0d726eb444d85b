#include "app/FrmMain.h"

#include "app/DesktopFolder.h"
#include "app/FrmAbout.h"
#include "app/Version.h"
#include "calibration/CalGaugeWidget.h"
#include "calibration/CalibrationPanel.h"
#include "dialogs/InProcessWindow.h"
#include "dialogs/InformationWindow.h"
#include "livedata/DataTerminal.h"
#include "livedata/LiveDataSession.h"
#include "maptool/FrmEEPROMCompare.h"
#include "platform/Errors.h"
#include "platform/Twips.h"
#include "unitlink/CommProperties.h"
#include "unitlink/UnitCommands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
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
const char* const kDataLabelCaptions[7] = {"Hx Mag", "Hy Mag",       "V Mag",       "X Inc",
                                           "Y Inc",  "Calc Heading", "Unit Heading"};

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QString indexedName(const char* name, int index) {
    return QLatin1String(name) + QLatin1Char('_') + QString::number(index);
}

QString displayLines(QString text) {
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

}  // namespace

FrmMain::FrmMain(AppServices& services, SharedState& state, QWidget* parent)
    : QMainWindow(parent),
      services_(services),
      state_(state),
      MSComm1_(services.createPort()),
      access_(services.clock, services.boxes, state.unitMap),
      themes_(QApplication::palette()),
      helpFile_(services.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                 : services.programFolder,
                services.desktop, services.boxes) {
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    MSComm1_->setSettings(QStringLiteral("9600,n,8,1"));
    MSComm1_->setRThreshold(1);
    MSComm1_->setInputLen(0);
    unitLink_ = std::make_unique<UnitLink>(*MSComm1_, access_, state_);
    portSelection_ = std::make_unique<PortSelection>(*unitLink_, state_, services_.boxes, *this);
    calModeSelector_ =
        std::make_unique<CalModeSelector>(*unitLink_, state_, services_.boxes, *this);
    unitLink_->setOnIdentified([this] { showIdentifiedUnit(); });

    buildMenus();
    auto* central = new QWidget(this);
    auto* top = new QHBoxLayout;
    top->setSpacing(8);
    top->addWidget(buildLiveArea(), 0);
    top->addWidget(buildCalibrationArea(), 1);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(6, 4, 6, 6);
    column->setSpacing(6);
    column->addLayout(top, 1);
    column->addWidget(buildStatusArea(), 0);
    setCentralWidget(central);

    frmInProcessWindow::instance().setDoEvents([this] { services_.clock.doEvents(); });
    liveData_ = std::make_unique<LiveDataSession>(LiveDataWiring{state_, *MSComm1_, services_.clock,
                                                                 services_.boxes, *calModeSelector_,
                                                                 *lgCal_, *this, *this, *this});
    liveData_->decoder().setFrameObserver(&calPlot_);
    calibrationPanel_->setOutside(
        {action("mnuProperties"), action("mnuDataTerminal"), action("mnuGetEEPROM"),
         action("mnuCalMode"), DataLabel_[5], Label9_,
         [this](int slot) { return liveData_->display().dataBoxCaption(slot); }});
    calibration_ = std::make_unique<CalibrationWorkflow>(*unitLink_, state_, services_.boxes,
                                                         progress_, *calibrationPanel_);
    calibration_->setObserver(&calPlot_);
    northAlignment_ = std::make_unique<NorthAlignment>(
        *unitLink_, services_.boxes, progress_,
        [this] { return liveData_->display().dataBoxCaption(Slot::CalcHeading); });
    clearCal_ = std::make_unique<ClearMagneticCalibration>(*unitLink_, services_.boxes, progress_);
    clearNorth_ = std::make_unique<ClearNorthRotation>(*unitLink_, services_.boxes, progress_);
    connect(action("mnuClearCal"), &QAction::triggered, this,
            [this] { clearCal_->mnuClearCal_Click(); });
    connect(action("mnuClearNorth"), &QAction::triggered, this,
            [this] { clearNorth_->mnuClearNorth_Click(); });
    calibration_->showIdle();
    connect(calibrationPanel_, &CalibrationPanel::clicked, this, &FrmMain::calibrationClicked);
}

FrmMain::~FrmMain() {
    // The calibration panel's plot uses calPlot_, a member that is gone before QWidget deletes
    // the children: delete the panel while the model still exists.
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
    const auto addItem = [&](QMenu* menu, const char* name, const QString& caption,
                             const QKeySequence& key = {}) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(QLatin1String(name));
        item->setShortcut(key);
        return item;
    };
    const auto addSeparator = [&](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QLatin1String(name));
    };

    QMenu* mnuFile = addMenu(nullptr, "mnuFile", "&File");
    connect(addItem(mnuFile, "mnuGetEEPROM", QStringLiteral("Get &EEPROM Map"),
                    QKeySequence(Qt::CTRL | Qt::Key_E)),
            &QAction::triggered, this, &FrmMain::mnuGetEEPROM_Click);
    addItem(mnuFile, "mnuClearCal", QStringLiteral("Clear Magnetic Calibration"));
    addItem(mnuFile, "mnuClearNorth", QStringLiteral("Clear North Rotation"));
    addSeparator(mnuFile, "mnuDash1");
    connect(addItem(mnuFile, "mnuExit", QStringLiteral("E&xit")), &QAction::triggered, this,
            &FrmMain::mnuExit_Click);

    QMenu* mnuComm = addMenu(nullptr, "mnuComm", "&Communications");
    connect(addItem(mnuComm, "mnuProperties", QStringLiteral("&Properties")), &QAction::triggered,
            this, &FrmMain::mnuProperties_Click);
    addSeparator(mnuComm, "mnuDash");
    mnuComm->setToolTipsVisible(true);
    for (int i = 0; i < kPortMenuEntries; ++i) {
        const int port = i + 1;
        QString caption;
        if (port <= 9) {
            caption = QStringLiteral("Port &") + QString::number(port);
        } else if (port == 10) {
            caption = QStringLiteral("Port 1&0");
        } else {
            caption = QStringLiteral("Port ") + QString::number(port);
        }
        QAction* item = addItem(
            mnuComm, "mnuCommPort", caption,
            port >= 2 && port <= 9 ? QKeySequence(Qt::Key_F1 + (port - 1)) : QKeySequence());
        item->setObjectName(indexedName("mnuCommPort", i));
        item->setCheckable(true);
        item->setChecked(i == 0);
        connect(item, &QAction::triggered, this, [this, i] {
            // The menu toggles the check by itself; the selection decides what is checked.
            portSelection_->mnuCommPort_Click(i);
            updatePortTips();
        });
        mnuCommPort_[static_cast<size_t>(i)] = item;
    }
    updatePortTips();

    QMenu* mnuOptions = addMenu(nullptr, "mnuOptions", "&Options");
    QMenu* mnuCalMode = addMenu(mnuOptions, "mnuCalMode", "&Calibration Mode");
    QAction* accel = addItem(mnuCalMode, "mnuCalAccel", QStringLiteral("&Accelerometer"));
    accel->setCheckable(true);
    accel->setChecked(true);
    connect(accel, &QAction::triggered, this, [this] { calModeSelector_->mnuCalAccel_Click(); });
    QAction* pend = addItem(mnuCalMode, "mnuCalPend", QStringLiteral("&Pendulum"));
    pend->setCheckable(true);
    connect(pend, &QAction::triggered, this, [this] { calModeSelector_->mnuCalPend_Click(); });
    QMenu* mnuDisplay = addMenu(mnuOptions, "mnuDisplay", "&Display Setup");
    QAction* normal = addItem(mnuDisplay, "mnuNormalView", QStringLiteral("&Normal"));
    normal->setCheckable(true);
    normal->setChecked(true);
    connect(normal, &QAction::triggered, this, &FrmMain::mnuNormalView_Click);
    QAction* hiCon = addItem(mnuDisplay, "mnuHiCon", QStringLiteral("&High Contrast"));
    hiCon->setCheckable(true);
    connect(hiCon, &QAction::triggered, this, &FrmMain::mnuHiCon_Click);

    QMenu* mnuView = addMenu(nullptr, "mnuView", "&View Data");
    connect(addItem(mnuView, "mnuDataTerminal", QStringLiteral("&Data Terminal"),
                    QKeySequence(Qt::CTRL | Qt::Key_T)),
            &QAction::triggered, this, &FrmMain::mnuDataTerminal_Click);

    QMenu* mnuHelp = addMenu(nullptr, "mnuHelp", "&Help");
    connect(addItem(mnuHelp, "mnuHelpContents", QStringLiteral("Open &Help File...")),
            &QAction::triggered, this, [this] { helpFile_.mnuHelpContents_Click(); });
    addSeparator(mnuHelp, "mnuDash2");
    connect(addItem(mnuHelp, "mnuAbout", QStringLiteral("&About...")), &QAction::triggered, this,
            &FrmMain::mnuAbout_Click);
}

QWidget* FrmMain::buildLiveArea() {
    auto* box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("LiveData"));
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(2);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(fixed.pointSizeF() * 1.15);
    fixed.setBold(true);
    // Digits, signs and units need no text shaping, which took about a third of the time spent
    // drawing values that change with every frame.
    fixed.setStyleStrategy(QFont::PreferNoShaping);
    for (int i = 0; i < 7; ++i) {
        DataLabel_[static_cast<size_t>(i)] =
            makeLabel(box, indexedName("DataLabel", i), QLatin1String(kDataLabelCaptions[i]));
        QLabel* value = makeLabel(box, indexedName("DataBox", i), QString());
        // Opaque, so that a new value repaints the label alone and not the frame behind it.
        value->setAutoFillBackground(true);
        value->setFont(fixed);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // A fixed size: a new value then repaints the label without laying the window out again.
        const QFontMetrics metrics(fixed);
        value->setFixedSize(metrics.horizontalAdvance(QStringLiteral("+0000.0 dg ")),
                            metrics.height() + 2);
        DataBox_[static_cast<size_t>(i)] = value;
        grid->addWidget(DataLabel_[static_cast<size_t>(i)], i, 0);
        grid->addWidget(value, i, 1);
    }
    auto* line1 = new QFrame(box);
    line1->setObjectName(QStringLiteral("Line1"));
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);
    grid->addWidget(line1, 7, 0, 1, 2);
    grid->addWidget(makeLabel(box, QStringLiteral("Label1"), QStringLiteral("Frame Rate")), 8, 0);
    FrameRate_ = makeLabel(box, QStringLiteral("FrameRate"), QStringLiteral("0 Frames/Sec"));
    QFont plain = FrameRate_->font();
    plain.setStyleStrategy(QFont::PreferNoShaping);
    FrameRate_->setFont(plain);
    FrameRate_->setAutoFillBackground(true);
    FrameRate_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    FrameRate_->setFixedSize(
        FrameRate_->fontMetrics().horizontalAdvance(QStringLiteral("000.0 Frames/Sec ")),
        FrameRate_->sizeHint().height());
    grid->addWidget(FrameRate_, 8, 1);
    grid->addWidget(makeLabel(box, QStringLiteral("Label47"), QStringLiteral("Frame Count")), 9, 0);
    lblFrame_ = makeLabel(box, QStringLiteral("lblFrame"), QStringLiteral("0"));
    lblFrame_->setFont(plain);
    lblFrame_->setAutoFillBackground(true);
    lblFrame_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblFrame_->setFixedSize(FrameRate_->width(), lblFrame_->sizeHint().height());
    grid->addWidget(lblFrame_, 9, 1);
    grid->setRowStretch(10, 1);
    // The unit found on the port: its map family and the first line of its identification text.
    lblUnit_ = makeLabel(box, QStringLiteral("lblUnit"), QStringLiteral("No unit identified"));
    lblUnit_->setWordWrap(true);
    grid->addWidget(lblUnit_, 11, 0, 1, 2);
    return box;
}

QWidget* FrmMain::buildCalibrationArea() {
    calibrationPanel_ = new CalibrationPanel(calPlot_, this);
    lgCal_ = calibrationPanel_->lgCal();
    return calibrationPanel_;
}

void FrmMain::calibrationClicked(CalControl control) {
    switch (control) {
        case CalControl::btnInitialize:
            calibration_->btnInitialize_Click();
            break;
        case CalControl::btnGetData:
            calibration_->btnGetData_Click();
            break;
        case CalControl::btnClear:
            calibration_->btnClear_Click();
            break;
        case CalControl::btnEEPROM:
            calibration_->btnEEPROM_Click();
            break;
        case CalControl::btnNewTest:
            calibration_->btnNewTest_Click();
            break;
        case CalControl::btnAlign:
            northAlignment_->btnAlign_Click();
            break;
        default:
            break;
    }
}

QWidget* FrmMain::buildStatusArea() {
    auto* area = new QWidget(this);
    auto* row = new QHBoxLayout(area);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);

    auto* info = new QVBoxLayout;
    info->setSpacing(2);
    auto* infoHead = new QHBoxLayout;
    Label46_ = makeLabel(area, QStringLiteral("Label46"),
                         QStringLiteral("Transmitted Flags and Information"));
    infoHead->addWidget(Label46_, 1);
    lblCaution_ = makeLabel(area, QStringLiteral("lblCaution"), QStringLiteral("WARNING"));
    QFont bold = lblCaution_->font();
    bold.setBold(true);
    lblCaution_->setFont(bold);
    lblCaution_->setAlignment(Qt::AlignCenter);
    lblCaution_->setMinimumWidth(80);
    lblCaution_->setAutoFillBackground(true);
    lblCaution_->setContentsMargins(6, 1, 6, 1);
    lblCaution_->setVisible(false);
    infoHead->addWidget(lblCaution_);
    info->addLayout(infoHead);
    txtInformation_ = new QPlainTextEdit(area);
    txtInformation_->setObjectName(QStringLiteral("txtInformation"));
    txtInformation_->setReadOnly(true);
    txtInformation_->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                             Qt::TextSelectableByKeyboard);
    txtInformation_->setFixedHeight(twipsToPixels(1150));
    info->addWidget(txtInformation_);
    row->addLayout(info, 3);

    auto* sw = new QVBoxLayout;
    sw->setSpacing(2);
    sw->addWidget(
        makeLabel(area, QStringLiteral("Label45"), QStringLiteral("Software Generated Flags")));
    lblSoftwareInfo_ = makeLabel(area, QStringLiteral("lblSoftwareInfo"), QString());
    lblSoftwareInfo_->setFrameShape(QFrame::StyledPanel);
    lblSoftwareInfo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblSoftwareInfo_->setFixedHeight(twipsToPixels(1150));
    lblSoftwareInfo_->setMinimumWidth(150);
    sw->addWidget(lblSoftwareInfo_);
    row->addLayout(sw, 1);

    auto* comm = new QGroupBox(area);
    comm->setObjectName(QStringLiteral("CommBox"));
    auto* g = new QGridLayout(comm);
    g->setVerticalSpacing(1);
    g->addWidget(makeLabel(comm, QStringLiteral("Label14"), QStringLiteral("Comm Settings")), 0, 0,
                 1, 2);
    Label10_ = makeLabel(comm, QStringLiteral("Label10"), QStringLiteral("Comm 1"));
    Label10_->setToolTip(QStringLiteral("Displays the current serial port being used."));
    Label9_ = makeLabel(comm, QStringLiteral("Label9"), QStringLiteral("Decimal"));
    Label9_->setToolTip(QStringLiteral("Displays the current communications format."));
    Label8_ = makeLabel(comm, QStringLiteral("Label8"), QStringLiteral("9600,n,8,1"));
    Label8_->setToolTip(QStringLiteral("Displays the current baud rate and settings."));
    g->addWidget(Label10_, 1, 0, 1, 2);
    g->addWidget(Label9_, 2, 0, 1, 2);
    g->addWidget(Label8_, 3, 0, 1, 2);
    g->addWidget(makeLabel(comm, QStringLiteral("Label20"), QStringLiteral("Cal Mode")), 4, 0);
    lblCalMode_ = makeLabel(comm, QStringLiteral("lblCalMode"), QStringLiteral("Accel"));
    g->addWidget(lblCalMode_, 4, 1);
    row->addWidget(comm, 0);
    return area;
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

void FrmMain::Load() {
    // The inner area below the menu bar is 5125 twips high (more if the fonts need it).
    adjustSize();
    const int inner =
        std::max(twipsToPixels(kInnerHeightTwips), centralWidget()->minimumSizeHint().height());
    resize(std::max(width(), twipsToPixels(10800)), menuBar()->sizeHint().height() + inner);
    SetWindowCaptions();
    StartupReport report(state_, *unitLink_, *portSelection_, *calModeSelector_, services_.boxes,
                         *this, *this);
    report.run();
    updatePortTips();
}

void FrmMain::SetWindowCaptions() {
#ifdef Q_OS_WIN
    constexpr bool windows = true;
#else
    constexpr bool windows = false;
#endif
    state_.desktopFolder = fDesktopFolder(services_.environment, windows);
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
    if (Label10_ != nullptr) {
        const QString device = MSComm1_->deviceName();
        Label10_->setToolTip(QStringLiteral("Displays the current serial port being used.") +
                             (device.isEmpty() ? QString() : QStringLiteral("\n") + device));
    }
}

void FrmMain::showIdentifiedUnit() {
    QString text = unitLink_->idText();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.remove(QChar(0xFF));
    const QString family =
        unitLink_->unitAddresses().isB600Family ? QStringLiteral("B600") : QStringLiteral("1600");
    lblUnit_->setText(family + QStringLiteral(" unit: ") +
                      text.section(QLatin1Char('\n'), 0, 0).trimmed());
    lblUnit_->setToolTip(text.trimmed());
}

void FrmMain::ResetDataWindows() {
    liveData_->decoder().ResetDataWindows();
}

void FrmMain::setDataBoxCaption(int slot, const QString& caption) {
    DataBox_[static_cast<size_t>(slot)]->setText(caption);
}
QString FrmMain::dataBoxCaption(int slot) const {
    return DataBox_[static_cast<size_t>(slot)]->text();
}
void FrmMain::setFrameCountCaption(const QString& caption) {
    lblFrame_->setText(caption);
}
QString FrmMain::frameRateCaption() const {
    return FrameRate_->text();
}
void FrmMain::setFrameRateCaption(const QString& caption) {
    FrameRate_->setText(caption);
}
bool FrmMain::getDataEnabled() const {
    return button("btnGetData")->isEnabled();
}

void FrmMain::focusGetData() {
    txtInformation_->setFocus();
    button("btnGetData")->setFocus();
}

void FrmMain::setInformationText(const QString& text) {
    informationText_ = text;
    txtInformation_->setPlainText(displayLines(text));
}

void FrmMain::setInformationCaption(const QString& caption) {
    Label46_->setText(caption);
}

void FrmMain::showCautionBadge(const QString& caption, Rgb backColour) {
    lblCaution_->setText(caption);
    QPalette palette = lblCaution_->palette();
    palette.setColor(QPalette::Window, QColor(backColour.red, backColour.green, backColour.blue));
    palette.setColor(QPalette::WindowText, Qt::black);
    lblCaution_->setPalette(palette);
    lblCaution_->setVisible(true);
}

void FrmMain::hideCautionBadge() {
    lblCaution_->setVisible(false);
}

void FrmMain::setSoftwareInfo(const QString& text) {
    softwareInfoText_ = text;
    lblSoftwareInfo_->setText(displayLines(text));
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
    lblCalMode_->setText(caption);
}

void FrmMain::setPortChecked(int index, bool checked) {
    mnuCommPort_[static_cast<size_t>(index)]->setChecked(checked);
}

void FrmMain::setPortCaption(const QString& caption) {
    Label10_->setText(caption);
    updatePortTips();
}

void FrmMain::setSettingsCaption(const QString& caption) {
    Label8_->setText(caption);
}
void FrmMain::setFormatCaption(const QString& caption) {
    Label9_->setText(caption);
}

void FrmMain::appendToPortEntry(int index, const QString& suffix) {
    QAction* item = mnuCommPort_[static_cast<size_t>(index)];
    item->setText(item->text() + suffix);
}

void FrmMain::setPortEntryVisible(int index, bool visible) {
    mnuCommPort_[static_cast<size_t>(index)]->setVisible(visible);
}

void FrmMain::mnuProperties_Click() {
    auto* dialog = new CommProperties(*portSelection_, this);
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
    ResetDataWindows();
    if (terminal_ == nullptr) {
        terminal_ = new DataTerminal(
            *unitLink_, [this] { ResetDataWindows(); },
            [this] {
                // Received data goes to the frame decoder again from the next receive event.
                liveData_->receivePath().setTerminalVisible(false);
                liveData_->receivePath().setTerminalSink(nullptr);
            },
            this);
        terminal_->setAttribute(Qt::WA_DeleteOnClose);
        followTheme();
    }
    liveData_->receivePath().setTerminalSink(terminal_);
    liveData_->receivePath().setTerminalVisible(true);
    terminal_->show();
    terminal_->raise();
    terminal_->activateWindow();
}

void FrmMain::mnuGetEEPROM_Click() {
    // One comparison window: a second choice brings the open one forward. Closing it deletes it,
    // so the next choice reads the unit's map again.
    if (compare_ == nullptr) {
        compare_ = new FrmEEPROMCompare(*unitLink_, services_.boxes, services_.fileDialogs);
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

void FrmMain::mnuExit_Click() {
    close();
}

void FrmMain::closeEvent(QCloseEvent* event) {
    unloadSequence();
    event->accept();
    QMainWindow::closeEvent(event);
    // Closing the main window ends the application, whatever other windows are open.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible()) {
            w->close();
        }
    }
}

void FrmMain::unloadSequence() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    // The unit's commands are sent without checking: the program is ending either way.
    calibration_->restoreOnUnload();
    if (state_.messages.info(InfoFlag::UnitCalibrated) || state_.northRotationAdded) {
        progress_.OpenProcessWindow(QStringLiteral("Recalculating Checksum"));
        try {
            unitLink_->RecalculateChecksum();
        } catch (const RuntimeError&) {
        }
        progress_.CloseProcessWindow();
    }
    if (MSComm1_->portOpen()) {
        MSComm1_->setPortOpen(false);
    }
}

}  // namespace tarquel
