#include "app/FrmAbout.h"

#include "app/ProductPicture.h"
#include "platform/NamedLabel.h"
#include "platform/Version.h"

#include <QDate>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace tarquel {

QString aboutNotice(int currentYear) {
    return QStringLiteral(
               "Copyright \u00A9 1999-%1 Corvane Industries, Inc. All rights reserved. "
               "This program is provided for the calibration of Corvane sensor units.")
        .arg(currentYear);
}

FrmAbout::FrmAbout(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Tarquel"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* Image1 = namedLabel(this, QStringLiteral("Image1"), QString());
    Image1->setPixmap(productPicture(96));
    QLabel* lblApp = namedLabel(this, QStringLiteral("lblApp"), QLatin1String(kApplicationTitle));
    QFont title = lblApp->font();
    title.setPointSizeF(title.pointSizeF() * 1.6);
    title.setBold(true);
    lblApp->setFont(title);
    QLabel* Label3 = namedLabel(this, QStringLiteral("Label3"), QStringLiteral("Version"));
    QLabel* lblVersion = namedLabel(
        this, QStringLiteral("lblVersion"),
        QString::number(kVersionMajor) + QLatin1Char('.') + QString::number(kVersionMinor));
    QLabel* Label4 = namedLabel(this, QStringLiteral("Label4"), QStringLiteral("Revision"));
    QLabel* lblRevision =
        namedLabel(this, QStringLiteral("lblRevision"), QString::number(kVersionRevision));
    QLabel* lblCopy =
        namedLabel(this, QStringLiteral("lblCopy"), aboutNotice(QDate::currentDate().year()));
    lblCopy->setWordWrap(true);
    QLabel* Label1 =
        namedLabel(this, QStringLiteral("Label1"), QStringLiteral("Corvane Industries"));
    auto* btnClose = new QPushButton(QStringLiteral("OK"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setDefault(true);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(16, 14, 16, 12);
    grid->setHorizontalSpacing(14);
    grid->addWidget(Image1, 0, 0, 4, 1, Qt::AlignTop);
    grid->addWidget(lblApp, 0, 1, 1, 2);
    grid->addWidget(Label3, 1, 1);
    grid->addWidget(lblVersion, 1, 2);
    grid->addWidget(Label4, 2, 1);
    grid->addWidget(lblRevision, 2, 2);
    grid->addWidget(Label1, 3, 1, 1, 2);
    grid->addWidget(lblCopy, 4, 0, 1, 3);
    grid->addWidget(btnClose, 5, 2, Qt::AlignRight);
    grid->setColumnStretch(2, 1);
    setMinimumWidth(360);
}

QLabel* FrmAbout::label(const char* name) const {
    return findChild<QLabel*>(QLatin1String(name));
}

}  // namespace tarquel
