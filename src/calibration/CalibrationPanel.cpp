#include "calibration/CalibrationPanel.h"

#include "calibration/CalGaugeWidget.h"
#include "calibration/CalPlotWidget.h"
#include "calibration/FacePictures.h"
#include "platform/NamedLabel.h"

#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarquel {

namespace {

struct ButtonDesign {
    CalControl control;
    const char* name;
    const char* caption;
};
constexpr ButtonDesign kButtons[6] = {
    {CalControl::btnInitialize, "btnInitialize", "Begin Test"},
    {CalControl::btnGetData, "btnGetData", "Enter Data"},
    {CalControl::btnClear, "btnClear", "Clear Data"},
    {CalControl::btnEEPROM, "btnEEPROM", "EEPROM"},
    {CalControl::btnNewTest, "btnNewTest", "End Test"},
    {CalControl::btnAlign, "btnAlign", "North Alignment"},
};

}  // namespace

CalibrationPanel::CalibrationPanel(CalPlotModel& plot, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CalibrationArea"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);

    auto* frames = new QHBoxLayout;
    frames->addWidget(buildPoints(), 3);
    frames->addWidget(buildAdjustments(), 2);
    plot_ = new CalPlotWidget(plot, this);
    frames->addWidget(plot_, 2);
    column->addLayout(frames, 1);

    // The gauge with sRect drawn over it while a test runs.
    auto* gaugeGrid = new QGridLayout;
    auto* gaugeRow = new QHBoxLayout;
    gaugeRow->setContentsMargins(4, 3, 4, 3);
    lgCal_ = new CalGaugeWidget(this);
    gaugeRow->addWidget(lgCal_, 1);
    lblCalMsg_ = namedLabel(this, QStringLiteral("lblCalMsg"), QString());
    QFont bold = lblCalMsg_->font();
    bold.setBold(true);
    lblCalMsg_->setFont(bold);
    lblCalMsg_->setMinimumWidth(
        lblCalMsg_->fontMetrics().horizontalAdvance(QStringLiteral("No cal necessary  ")));
    gaugeRow->addWidget(lblCalMsg_);
    // While a test runs: whether the values shown have settled enough to store a point.
    lblSteady_ = namedLabel(this, QStringLiteral("lblSteady"), QStringLiteral("Settling"));
    lblSteady_->setToolTip(
        QStringLiteral("Steady: the values shown have settled and a point stored now is what the "
                       "unit goes on showing"));
    lblSteady_->setMinimumWidth(
        lblSteady_->fontMetrics().horizontalAdvance(QStringLiteral("Settling  ")));
    lblSteady_->setVisible(false);
    lgCal_->setSteadyLabel(lblSteady_);
    gaugeRow->addWidget(lblSteady_);
    gaugeGrid->addLayout(gaugeRow, 0, 0);
    sRect_ = new QFrame(this);
    sRect_->setObjectName(QStringLiteral("sRect"));
    sRect_->setFrameShape(QFrame::Box);
    sRect_->setLineWidth(2);
    sRect_->setAttribute(Qt::WA_TransparentForMouseEvents);
    sRect_->setMinimumHeight(lgCal_->sizeHint().height() + 6);
    sRect_->setVisible(false);
    gaugeGrid->addWidget(sRect_, 0, 0);
    column->addLayout(gaugeGrid);

    auto* grid = new QGridLayout;
    grid->setSpacing(4);
    for (int i = 0; i < 6; ++i) {
        auto* b = new QPushButton(QLatin1String(kButtons[i].caption), this);
        b->setObjectName(QLatin1String(kButtons[i].name));
        // Enter presses the button that has the focus (the gauge gives it to Enter Data).
        b->setAutoDefault(true);
        b->setEnabled(false);
        buttons_[static_cast<std::size_t>(i)] = b;
        grid->addWidget(b, i / 3, i % 3);
    }
    column->addLayout(grid);
}

QWidget* CalibrationPanel::buildPoints() {
    auto* frame = new QGroupBox(QStringLiteral("Calibration Data"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* g = new QGridLayout(frame);
    g->setVerticalSpacing(2);
    const char* const heads[4] = {"0", "90", "180", "270"};
    for (int i = 0; i < 4; ++i) {
        g->addWidget(namedLabel(frame, QStringLiteral("Label%1").arg(i + 2),
                                QLatin1String(heads[i]), Qt::AlignCenter),
                     0, i + 1);
    }
    g->addWidget(namedLabel(frame, QStringLiteral("Label6"), QStringLiteral("Heading")), 1, 0);
    g->addWidget(namedLabel(frame, QStringLiteral("Label7"), QStringLiteral("Hx Mag")), 2, 0);
    g->addWidget(namedLabel(frame, QStringLiteral("Label11"), QStringLiteral("Hy Mag")), 3, 0);
    const char* const names[3] = {"lblHdg", "lblHxMag", "lblHyMag"};
    for (int slot = 0; slot < 4; ++slot) {
        for (int row = 0; row < 3; ++row) {
            QLabel* cell =
                namedLabel(frame, indexedName(names[row], slot), QString(), Qt::AlignCenter);
            cell->setMinimumWidth(44);
            pointLabels_[static_cast<std::size_t>(slot)][static_cast<std::size_t>(row)] = cell;
            g->addWidget(cell, row + 1, slot + 1);
        }
    }
    return frame;
}

QWidget* CalibrationPanel::buildAdjustments() {
    auto* frame = new QGroupBox(QStringLiteral("Calibration Adjustments"), this);
    frame->setObjectName(QStringLiteral("Frame2"));
    auto* g = new QGridLayout(frame);
    g->setVerticalSpacing(2);
    g->addWidget(
        namedLabel(frame, QStringLiteral("Label17"), QStringLiteral("Decimal"), Qt::AlignCenter), 0,
        1);
    g->addWidget(
        namedLabel(frame, QStringLiteral("Label18"), QStringLiteral("Hex"), Qt::AlignCenter), 0, 2);
    const char* const heads[4][2] = {
        {"Label12", "X Bias"}, {"Label13", "Y Bias"}, {"Label15", "X Gain"}, {"Label16", "Y Gain"}};
    const char* const cells[4] = {"lblXBias", "lblYBias", "lblXGain", "lblYGain"};
    for (int r = 0; r < 4; ++r) {
        g->addWidget(namedLabel(frame, QLatin1String(heads[r][0]), QLatin1String(heads[r][1])),
                     r + 1, 0);
        for (int c = 0; c < 2; ++c) {
            QLabel* cell = namedLabel(frame, indexedName(cells[r], c), QString(), Qt::AlignCenter);
            cell->setMinimumWidth(52);
            results_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = cell;
            g->addWidget(cell, r + 1, c + 1);
        }
    }
    g->addWidget(namedLabel(frame, QStringLiteral("Label19"), QStringLiteral("Calc Error")), 5, 0);
    lblCalQual_ = namedLabel(frame, QStringLiteral("lblCalQual"), QString(), Qt::AlignCenter);
    g->addWidget(lblCalQual_, 5, 1);
    imFace_ = namedLabel(frame, QStringLiteral("imFace"), QString(), Qt::AlignCenter);
    imFace_->setFixedSize(34, 34);
    imFace_->setVisible(false);
    g->addWidget(imFace_, 5, 2, Qt::AlignCenter);
    return frame;
}

QPushButton* CalibrationPanel::button(CalControl control) const {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        if (kButtons[i].control == control) {
            return buttons_[i];
        }
    }
    return nullptr;
}

QAction* CalibrationPanel::action(CalControl control) const {
    switch (control) {
        case CalControl::mnuProperties:
            return outside_.mnuProperties;
        case CalControl::mnuDataTerminal:
            return outside_.mnuDataTerminal;
        case CalControl::mnuGetEEPROM:
            return outside_.mnuGetEEPROM;
        case CalControl::mnuCalMode:
            return outside_.mnuCalMode;
        default:
            return nullptr;
    }
}

void CalibrationPanel::setControlEnabled(CalControl control, bool enabled) {
    if (QPushButton* b = button(control)) {
        b->setEnabled(enabled);
    } else if (QAction* a = action(control)) {
        a->setEnabled(enabled);
    }
}

void CalibrationPanel::focusControl(CalControl control) {
    if (QPushButton* b = button(control)) {
        b->setFocus(Qt::OtherFocusReason);
    }
}

void CalibrationPanel::setPointCaptions(int slot, const QString& heading, const QString& hx,
                                        const QString& hy) {
    if (slot < 0 || slot >= 4) {
        return;
    }
    auto& labels = pointLabels_[static_cast<std::size_t>(slot)];
    labels[0]->setText(heading);
    labels[1]->setText(hx);
    labels[2]->setText(hy);
}

void CalibrationPanel::showResult(const CalibrationResult& r, int faceImage) {
    const QString texts[4][2] = {{r.xBiasText, r.xBiasWord},
                                 {r.yBiasText, r.yBiasWord},
                                 {r.xGainText, r.xGainWord},
                                 {r.yGainText, r.yGainWord}};
    for (std::size_t row = 0; row < 4; ++row) {
        for (std::size_t c = 0; c < 2; ++c) {
            results_[row][c]->setText(texts[row][c]);
        }
    }
    lblCalQual_->setText(r.calQualText);
    lblCalMsg_->setText(r.calMsgText);
    if (faceImage == 0) {
        imFace_->clear();
        imFace_->setVisible(false);
    } else {
        imFace_->setPixmap(facePicture(faceImage, 32));
        imFace_->setToolTip(r.calMsgText);
        imFace_->setVisible(true);
    }
}

void CalibrationPanel::setTestDisplay(bool running) {
    sRect_->setVisible(running);
    lblSteady_->setText(QStringLiteral("Settling"));
    lblSteady_->setVisible(running);
    if (QLabel* label = outside_.dataLabel5) {
        QFont font = label->font();
        font.setBold(running);
        label->setFont(font);
        label->setText(running ? QStringLiteral("Calc Hdg") : QStringLiteral("Calc Heading"));
    }
}

void CalibrationPanel::hideGauge() {
    lgCal_->setGaugeVisible(false);
}

void CalibrationPanel::setFormatCaption(const QString& caption) {
    if (outside_.label9 != nullptr) {
        outside_.label9->setText(caption);
    }
}

}  // namespace tarquel
