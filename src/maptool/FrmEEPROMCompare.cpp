#include "maptool/FrmEEPROMCompare.h"

#include "dialogs/QtProgressWindow.h"
#include "platform/NamedLabel.h"
#include "platform/Twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTableView>

namespace tarquel {

namespace {

constexpr int kInnerHeight = 6465;
// The grid sits below the frame's caption; its column captions and 16 rows fill the frame.
constexpr int kGridTop = 220;
constexpr int kColumnHeaderHeight = 220;
constexpr int kCompactGridTop = 195;
constexpr int kCompactColumnHeaderHeight = 180;
constexpr int kRowPitch = 360;
constexpr int kNormalFontPoints = 8;

int px(int twips) {
    return twipsToPixels(twips);
}

int primaryWorkAreaTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? pixelsToTwips(screen->availableGeometry().width())
                             : kCompactBelowTwips;
}

}  // namespace

FrmEEPROMCompare::FrmEEPROMCompare(MapTool& tool, ProgressWindow* progress,
                                   std::optional<int> workAreaTwips, QWidget* parent)
    : QMainWindow(parent),
      ownProgress_(progress == nullptr ? std::make_unique<QtProgressWindow>(this) : nullptr),
      tool_(tool),
      workAreaTwips_(workAreaTwips.value_or(primaryWorkAreaTwips())),
      layout_(compareLayoutFor(workAreaTwips_)) {
    tool_.attach(*this, progress != nullptr ? *progress : *ownProgress_);
    setObjectName(QStringLiteral("frmEEPROMCompare"));
    setWindowTitle(QStringLiteral("Compare EEPROM Maps"));
    central_ = new QWidget(this);
    setCentralWidget(central_);
    buildMenus();
    frames_[0] = buildMapFrame(kLive, QStringLiteral("Current"),
                               QStringLiteral("Current EEPROM Map"), layout_.liveFrameLeft);
    frames_[1] = buildMapFrame(kSaved, QStringLiteral("Saved"), QStringLiteral("Saved EEPROM Map"),
                               layout_.savedFrameLeft);
    buildPageSelector();

    lblMapsMatch_ = namedLabel(central_, QStringLiteral("lblMapsMatch"),
                               QStringLiteral("Maps do not match exactly"), Qt::AlignCenter);
    lblMapsMatch_->setAutoFillBackground(true);
    QPalette warning = lblMapsMatch_->palette();
    warning.setColor(QPalette::Window, QColor(255, 0, 0));
    warning.setColor(QPalette::WindowText, QColor(255, 255, 255));
    lblMapsMatch_->setPalette(warning);
    // In the cells' font, bold, as wide as its text needs but clear of the page selector.
    QFont warningFont = grids_[0]->font();
    warningFont.setBold(true);
    lblMapsMatch_->setFont(warningFont);
    const int roomTwips = layout_.pageSelectorLeft - layout_.mapsMatchLeft - 60;
    lblMapsMatch_->setGeometry(
        px(layout_.mapsMatchLeft), px(layout_.mapsMatchTop),
        std::min(px(roomTwips),
                 std::max(px(layout_.mapsMatchWidth), lblMapsMatch_->sizeHint().width() + px(60))),
        px(layout_.mapsMatchHeight));
    lblMapsMatch_->hide();

    applyNormalColour();
    setInnerWidth(layout_.widthLiveOnly);
}

FrmEEPROMCompare::~FrmEEPROMCompare() {
    tool_.detach();
}

void FrmEEPROMCompare::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction* save = file->addAction(QStringLiteral("&Save Current Map"));
    save->setObjectName(QStringLiteral("mnuSave"));
    connect(save, &QAction::triggered, this, [this] { tool_.saveMap(); });
    QAction* exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("mnuExit"));
    connect(exit, &QAction::triggered, this, &FrmEEPROMCompare::unloadWindow);

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    QAction* compare = options->addAction(QStringLiteral("Compare current map"));
    compare->setObjectName(QStringLiteral("mnuCompareMaps"));
    connect(compare, &QAction::triggered, this, [this] { tool_.compareMap(); });
    mnuRevertToSaved_ = options->addAction(QStringLiteral("Revert current map to saved"));
    mnuRevertToSaved_->setObjectName(QStringLiteral("mnuRevertToSaved"));
    mnuRevertToSaved_->setEnabled(false);
    connect(mnuRevertToSaved_, &QAction::triggered, this, [this] { tool_.revertMap(); });
}

QGroupBox* FrmEEPROMCompare::buildMapFrame(int which, const QString& name, const QString& caption,
                                           int left) {
    auto* frame = new QGroupBox(caption, central_);
    frame->setObjectName(QStringLiteral("Frame1_%1").arg(which));
    frame->setGeometry(px(left), px(layout_.framesTop), px(layout_.frameWidth),
                       px(layout_.frameHeight));
    auto* model = new MapGridModel(this);
    auto* grid = new QTableView(frame);
    grid->setObjectName(QStringLiteral("lbl%1Col").arg(name));
    grid->setModel(model);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setFocusPolicy(Qt::NoFocus);
    grid->setShowGrid(false);
    grid->setWordWrap(false);
    grid->setTextElideMode(Qt::ElideNone);
    grid->setFrameShape(QFrame::NoFrame);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->verticalHeader()->setObjectName(QStringLiteral("MapLabel%1").arg(which * kMapRows));
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(px(kRowPitch));
    grid->verticalHeader()->setFixedWidth(px(layout_.firstCellLeft - layout_.rowLabelLeft));
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setMinimumSectionSize(1);
    const int gridTop = layout_.compact ? kCompactGridTop : kGridTop;
    const int headerHeight = layout_.compact ? kCompactColumnHeaderHeight : kColumnHeaderHeight;
    grid->horizontalHeader()->setFixedHeight(px(headerHeight));
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Each column ends where the next begins, so the four-byte groups of the map file appear as
    // groups on screen.
    for (int c = 0; c < kMapColumns; ++c) {
        const int width = c + 1 < kMapColumns ? layout_.cellLeft(c + 1) - layout_.cellLeft(c)
                                              : layout_.cellWidth + 40;
        grid->setColumnWidth(c, px(width));
    }
    QFont cells = grid->font();
    if (layout_.fontFamily.isEmpty()) {
        cells.setPointSize(kNormalFontPoints);
    } else {
        cells = QFont(layout_.fontFamily, layout_.fontPointSize);
    }
    grid->setFont(cells);
    grid->verticalHeader()->setFont(cells);
    grid->horizontalHeader()->setFont(cells);
    const int width = layout_.cellLeft(kMapColumns - 1) + layout_.cellWidth + 40;
    grid->setGeometry(px(layout_.rowLabelLeft), px(gridTop), px(width - layout_.rowLabelLeft),
                      px(headerHeight + kRowPitch * kMapRows));
    frame->hide();
    models_[static_cast<size_t>(which)] = model;
    grids_[static_cast<size_t>(which)] = grid;
    return frame;
}

void FrmEEPROMCompare::buildPageSelector() {
    auto* frame = new QGroupBox(central_);
    frame->setObjectName(QStringLiteral("Frame1_2"));
    frame->setFlat(true);
    frame->setGeometry(px(layout_.pageSelectorLeft), px(layout_.pageSelectorTop),
                       px(layout_.pageSelectorWidth), px(layout_.pageSelectorHeight));
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(px(60));
    const auto label = [&](const QString& name, const QString& text) {
        QLabel* l = namedLabel(frame, name, text);
        row->addWidget(l);
        return l;
    };
    const auto button = [&](const QString& name, const QString& text) {
        auto* b = new QPushButton(text, frame);
        b->setObjectName(name);
        b->setEnabled(false);
        b->setFixedWidth(px(300));
        row->addWidget(b);
        return b;
    };
    label(QStringLiteral("Label5"), QStringLiteral("Pg"));
    lblCurPg_ = label(QStringLiteral("lblCurPg"), QStringLiteral("0"));
    label(QStringLiteral("Label21"), QStringLiteral("of"));
    lblTotPgs_ = label(QStringLiteral("lblTotPgs"), QStringLiteral("0"));
    btnPgBk_ = button(QStringLiteral("btnPgBk"), QStringLiteral("<"));
    btnPgFwd_ = button(QStringLiteral("btnPgFwd"), QStringLiteral(">"));
    connect(btnPgBk_, &QPushButton::clicked, this, [this] { tool_.showPreviousPage(); });
    connect(btnPgFwd_, &QPushButton::clicked, this, [this] { tool_.showNextPage(); });
    frame->hide();
    frames_[2] = frame;
}

void FrmEEPROMCompare::setHighContrast(bool on) {
    highContrast_ = on;
    applyNormalColour();
}

void FrmEEPROMCompare::applyNormalColour() {
    const QColor normal = palette().color(highContrast_ ? QPalette::Base : QPalette::Button);
    for (MapGridModel* model : models_) {
        model->setNormalColour(normal);
    }
}

int FrmEEPROMCompare::innerWidthTwips() const {
    return pixelsToTwips(central_->width());
}

void FrmEEPROMCompare::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!loaded_) {
        loaded_ = true;
        tool_.load(workAreaTwips_);
    }
}

void FrmEEPROMCompare::closeEvent(QCloseEvent* event) {
    tool_.unload();
    loaded_ = false;
    QMainWindow::closeEvent(event);
}

void FrmEEPROMCompare::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && models_[0] != nullptr) {
        applyNormalColour();
    }
}

void FrmEEPROMCompare::ShowMapPage(int which, const MapPage& page) {
    models_.at(static_cast<size_t>(which))->setPage(page);
}

void FrmEEPROMCompare::ColourMapPage(const PageMatches* matches) {
    const std::optional<PageMatches> shown =
        matches != nullptr ? std::optional<PageMatches>(*matches) : std::nullopt;
    for (MapGridModel* model : models_) {
        model->setMatches(shown);
    }
}

void FrmEEPROMCompare::setRowCaptions(int which, const QStringList& captions) {
    models_.at(static_cast<size_t>(which))->setRowCaptions(captions);
}

void FrmEEPROMCompare::setFrameVisible(int frame, bool visible) {
    frames_.at(static_cast<size_t>(frame))->setVisible(visible);
}

void FrmEEPROMCompare::setSavedFrameCaption(const QString& caption) {
    frames_[1]->setTitle(caption);
}

void FrmEEPROMCompare::setMapsMatchVisible(bool visible) {
    lblMapsMatch_->setVisible(visible);
}

void FrmEEPROMCompare::setPageLabels(const QString& current, const QString& total) {
    lblCurPg_->setText(current);
    lblTotPgs_->setText(total);
}

void FrmEEPROMCompare::setPageButtons(bool backEnabled, bool forwardEnabled) {
    btnPgBk_->setEnabled(backEnabled);
    btnPgFwd_->setEnabled(forwardEnabled);
}

void FrmEEPROMCompare::setRevertEnabled(bool enabled) {
    mnuRevertToSaved_->setEnabled(enabled);
}

void FrmEEPROMCompare::setInnerWidth(int twips) {
    central_->setFixedSize(px(twips), px(kInnerHeight));
    adjustSize();
}

void FrmEEPROMCompare::unloadWindow() {
    close();
}

}  // namespace tarquel
