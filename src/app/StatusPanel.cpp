#include "app/StatusPanel.h"

#include "platform/LineEnds.h"
#include "platform/NamedLabel.h"
#include "platform/Twips.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tarquel {

namespace {
constexpr int kStatusHeightTwips = 1150;
}  // namespace

StatusPanel::StatusPanel(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);

    auto* info = new QVBoxLayout;
    info->setSpacing(2);
    auto* infoHead = new QHBoxLayout;
    Label46_ = namedLabel(this, QStringLiteral("Label46"),
                          QStringLiteral("Transmitted Flags and Information"));
    infoHead->addWidget(Label46_, 1);
    lblCaution_ =
        namedLabel(this, QStringLiteral("lblCaution"), QStringLiteral("WARNING"), Qt::AlignCenter);
    QFont bold = lblCaution_->font();
    bold.setBold(true);
    lblCaution_->setFont(bold);
    lblCaution_->setMinimumWidth(80);
    lblCaution_->setAutoFillBackground(true);
    lblCaution_->setContentsMargins(6, 1, 6, 1);
    lblCaution_->setVisible(false);
    infoHead->addWidget(lblCaution_);
    info->addLayout(infoHead);
    txtInformation_ = new QPlainTextEdit(this);
    txtInformation_->setObjectName(QStringLiteral("txtInformation"));
    txtInformation_->setReadOnly(true);
    txtInformation_->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                             Qt::TextSelectableByKeyboard);
    txtInformation_->setFixedHeight(twipsToPixels(kStatusHeightTwips));
    info->addWidget(txtInformation_);
    row->addLayout(info, 3);

    auto* sw = new QVBoxLayout;
    sw->setSpacing(2);
    sw->addWidget(
        namedLabel(this, QStringLiteral("Label45"), QStringLiteral("Software Generated Flags")));
    lblSoftwareInfo_ = namedLabel(this, QStringLiteral("lblSoftwareInfo"), QString(),
                                  Qt::AlignLeft | Qt::AlignTop);
    lblSoftwareInfo_->setFrameShape(QFrame::StyledPanel);
    lblSoftwareInfo_->setFixedHeight(twipsToPixels(kStatusHeightTwips));
    lblSoftwareInfo_->setMinimumWidth(150);
    sw->addWidget(lblSoftwareInfo_);
    row->addLayout(sw, 1);
    row->addWidget(buildCommBox(), 0);
}

QWidget* StatusPanel::buildCommBox() {
    auto* comm = new QGroupBox(this);
    comm->setObjectName(QStringLiteral("CommBox"));
    auto* g = new QGridLayout(comm);
    g->setVerticalSpacing(1);
    g->addWidget(namedLabel(comm, QStringLiteral("Label14"), QStringLiteral("Comm Settings")), 0, 0,
                 1, 2);
    Label10_ = namedLabel(comm, QStringLiteral("Label10"), QStringLiteral("Comm 1"));
    Label10_->setToolTip(QStringLiteral("Displays the current serial port being used."));
    Label9_ = namedLabel(comm, QStringLiteral("Label9"), QStringLiteral("Decimal"));
    Label9_->setToolTip(QStringLiteral("Displays the current communications format."));
    Label8_ = namedLabel(comm, QStringLiteral("Label8"), QStringLiteral("9600,n,8,1"));
    Label8_->setToolTip(QStringLiteral("Displays the current baud rate and settings."));
    g->addWidget(Label10_, 1, 0, 1, 2);
    g->addWidget(Label9_, 2, 0, 1, 2);
    g->addWidget(Label8_, 3, 0, 1, 2);
    g->addWidget(namedLabel(comm, QStringLiteral("Label20"), QStringLiteral("Cal Mode")), 4, 0);
    lblCalMode_ = namedLabel(comm, QStringLiteral("lblCalMode"), QStringLiteral("Accel"));
    g->addWidget(lblCalMode_, 4, 1);
    return comm;
}

void StatusPanel::setPortCaption(const QString& caption) {
    Label10_->setText(caption);
}

void StatusPanel::setSettingsCaption(const QString& caption) {
    Label8_->setText(caption);
}

void StatusPanel::setFormatCaption(const QString& caption) {
    Label9_->setText(caption);
}

void StatusPanel::setCalModeCaption(const QString& caption) {
    lblCalMode_->setText(caption);
}

void StatusPanel::setInformationText(const QString& text) {
    txtInformation_->setPlainText(plainLines(text));
}

void StatusPanel::setInformationCaption(const QString& caption) {
    Label46_->setText(caption);
}

void StatusPanel::showCautionBadge(const QString& caption, Rgb backColour) {
    lblCaution_->setText(caption);
    QPalette palette = lblCaution_->palette();
    palette.setColor(QPalette::Window, QColor(backColour.red, backColour.green, backColour.blue));
    palette.setColor(QPalette::WindowText, Qt::black);
    lblCaution_->setPalette(palette);
    lblCaution_->setVisible(true);
}

void StatusPanel::hideCautionBadge() {
    lblCaution_->setVisible(false);
}

void StatusPanel::setSoftwareInfo(const QString& text) {
    lblSoftwareInfo_->setText(plainLines(text));
}

}  // namespace tarquel
