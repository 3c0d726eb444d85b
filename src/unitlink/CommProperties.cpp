#include "unitlink/CommProperties.h"

#include "platform/Twips.h"
#include "unitlink/PortSelection.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tarquel {

namespace {
constexpr int kInnerHeightTwips = 3090;
}

CommProperties::CommProperties(PortSelection& ports, QWidget* parent)
    : QDialog(parent), ports_(ports) {
    setObjectName(QStringLiteral("CommProperties"));
    setWindowTitle(QStringLiteral("Communications Properties"));
    setModal(false);

    auto* frame2 = new QGroupBox(QStringLiteral("Click below to select a baud rate"), this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* label1 = new QLabel(QStringLiteral("Baud Rate"), frame2);
    label1->setObjectName(QStringLiteral("Label1"));
    Combo1_ = new QComboBox(frame2);
    Combo1_->setObjectName(QStringLiteral("Combo1"));
    Combo1_->addItems(offeredBaudRates());
    auto* baudRow = new QHBoxLayout(frame2);
    baudRow->addWidget(label1);
    baudRow->addWidget(Combo1_, 1);

    auto* label3 = new QLabel(QStringLiteral("The active comm port will be set up with the "
                                             "selected baud rate, 8 data bits, 1 stop bit, "
                                             "and no parity."),
                              this);
    label3->setObjectName(QStringLiteral("Label3"));
    label3->setWordWrap(true);

    auto* frame1 = new QGroupBox(QStringLiteral("Communications Format"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* optMode = new QRadioButton(QStringLiteral("Decimal"), frame1);
    optMode->setObjectName(QStringLiteral("optMode"));
    optMode->setChecked(true);
    auto* formatRow = new QHBoxLayout(frame1);
    formatRow->addWidget(optMode);

    auto* btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    auto* btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnOK, &QPushButton::clicked, this, &CommProperties::btnOK_Click);
    connect(btnCancel, &QPushButton::clicked, this, &CommProperties::btnCancel_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* column = new QVBoxLayout(this);
    column->addWidget(frame2);
    column->addWidget(label3);
    column->addWidget(frame1);
    column->addStretch(1);
    column->addLayout(buttons);

    Form_Load();
}

void CommProperties::Form_Load() {
    // The inner area is 3090 twips high, unless the fonts need more.
    resize(std::max(sizeHint().width(), twipsToPixels(4800)),
           std::max(sizeHint().height(), twipsToPixels(kInnerHeightTwips)));
    selectCurrentBaud();
}

void CommProperties::selectCurrentBaud() {
    const int index = Combo1_->findText(ports_.currentBaud());
    if (index >= 0) {
        Combo1_->setCurrentIndex(index);
    }
}

void CommProperties::btnOK_Click() {
    ports_.applyBaudRate(Combo1_->currentText());
    close();
}

void CommProperties::btnCancel_Click() {
    selectCurrentBaud();
    close();
}

}  // namespace tarquel
