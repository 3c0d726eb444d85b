#include "app/LiveValuesPanel.h"

#include "platform/NamedLabel.h"

#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace tarquel {

namespace {

const char* const kDataLabelCaptions[7] = {"Hx Mag", "Hy Mag",       "V Mag",       "X Inc",
                                           "Y Inc",  "Calc Heading", "Unit Heading"};

// A label whose text changes with every frame: opaque, so that a new value repaints the label
// alone and not the frame behind it, and drawn without text shaping, which digits, signs and
// units do not need (it took about a third of the time spent drawing them).
QLabel* valueLabel(QWidget* parent, const QString& name, const QString& text, const QFont& font) {
    QLabel* label = namedLabel(parent, name, text, Qt::AlignRight | Qt::AlignVCenter);
    QFont plain = font;
    plain.setStyleStrategy(QFont::PreferNoShaping);
    label->setFont(plain);
    label->setAutoFillBackground(true);
    return label;
}

}  // namespace

LiveValuesPanel::LiveValuesPanel(QWidget* parent) : QGroupBox(parent) {
    setObjectName(QStringLiteral("LiveData"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(2);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(fixed.pointSizeF() * 1.15);
    fixed.setBold(true);
    for (int i = 0; i < 7; ++i) {
        DataLabel_[static_cast<size_t>(i)] =
            namedLabel(this, indexedName("DataLabel", i), QLatin1String(kDataLabelCaptions[i]));
        QLabel* value = valueLabel(this, indexedName("DataBox", i), QString(), fixed);
        // A fixed size: a new value then repaints the label without laying the window out again.
        // Measured in the font the label draws with.
        const QFontMetrics metrics(value->font());
        value->setFixedSize(metrics.horizontalAdvance(QStringLiteral("+0000.0 dg ")),
                            metrics.height() + 2);
        DataBox_[static_cast<size_t>(i)] = value;
        grid->addWidget(DataLabel_[static_cast<size_t>(i)], i, 0);
        grid->addWidget(value, i, 1);
    }
    auto* line1 = new QFrame(this);
    line1->setObjectName(QStringLiteral("Line1"));
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);
    grid->addWidget(line1, 7, 0, 1, 2);
    grid->addWidget(namedLabel(this, QStringLiteral("Label1"), QStringLiteral("Frame Rate")), 8, 0);
    FrameRate_ =
        valueLabel(this, QStringLiteral("FrameRate"), QStringLiteral("0 Frames/Sec"), font());
    FrameRate_->setFixedSize(
        FrameRate_->fontMetrics().horizontalAdvance(QStringLiteral("000.0 Frames/Sec ")),
        FrameRate_->sizeHint().height());
    grid->addWidget(FrameRate_, 8, 1);
    grid->addWidget(namedLabel(this, QStringLiteral("Label47"), QStringLiteral("Frame Count")), 9,
                    0);
    lblFrame_ = valueLabel(this, QStringLiteral("lblFrame"), QStringLiteral("0"), font());
    lblFrame_->setFixedSize(FrameRate_->width(), lblFrame_->sizeHint().height());
    grid->addWidget(lblFrame_, 9, 1);
    grid->setRowStretch(10, 1);
    // The unit found on the port: its map family and the first line of its identification text.
    lblUnit_ = namedLabel(this, QStringLiteral("lblUnit"), QStringLiteral("No unit identified"));
    lblUnit_->setWordWrap(true);
    grid->addWidget(lblUnit_, 11, 0, 1, 2);
}

void LiveValuesPanel::setFocusTargets(QPushButton* btnGetData, QWidget* txtInformation) {
    btnGetData_ = btnGetData;
    txtInformation_ = txtInformation;
}

void LiveValuesPanel::setDataBoxCaption(int slot, const QString& caption) {
    DataBox_[static_cast<size_t>(slot)]->setText(caption);
}

QString LiveValuesPanel::dataBoxCaption(int slot) const {
    return DataBox_[static_cast<size_t>(slot)]->text();
}

void LiveValuesPanel::setFrameCountCaption(const QString& caption) {
    lblFrame_->setText(caption);
}

QString LiveValuesPanel::frameRateCaption() const {
    return FrameRate_->text();
}

void LiveValuesPanel::setFrameRateCaption(const QString& caption) {
    FrameRate_->setText(caption);
}

bool LiveValuesPanel::getDataEnabled() const {
    return btnGetData_ != nullptr && btnGetData_->isEnabled();
}

void LiveValuesPanel::focusGetData() {
    if (txtInformation_ != nullptr) {
        txtInformation_->setFocus();
    }
    if (btnGetData_ != nullptr) {
        btnGetData_->setFocus();
    }
}

void LiveValuesPanel::showIdentifiedUnit(const IdentifiedUnit& unit) {
    lblUnit_->setText(unit.summary());
    lblUnit_->setToolTip(unit.text.trimmed());
}

}  // namespace tarquel
