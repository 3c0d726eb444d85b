#include "app/FrmSplash.h"

#include "app/ProductPicture.h"
#include "app/startup/BaudTest.h"
#include "platform/NamedLabel.h"
#include "platform/Version.h"

#include <QDate>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace tarquel {

FrmSplash::FrmSplash(AppServices& services, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      TestComm_(services.createPort()) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QLatin1String(kApplicationTitle));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(246, 247, 249));
    setPalette(palette);

    Image1_ = namedLabel(this, QStringLiteral("Image1"), QString());
    Image1_->setPixmap(productPicture(120));
    lblProductName_ = namedLabel(this, QStringLiteral("lblProductName"), QStringLiteral("Tarquel"));
    QFont big = lblProductName_->font();
    big.setPointSize(big.pointSize() * 3);
    big.setBold(true);
    lblProductName_->setFont(big);
    lblVersion_ = namedLabel(this, QStringLiteral("lblVersion"),
                             QStringLiteral("Version ") + QString::number(kVersionMajor) +
                                 QLatin1Char('.') + QString::number(kVersionMinor));
    lblCompany_ =
        namedLabel(this, QStringLiteral("lblCompany"), QStringLiteral(" Corvane Industries, Inc."));
    lblCopyright_ = namedLabel(
        this, QStringLiteral("lblCopyright"),
        QStringLiteral("Copyright \u00A9 1999-") + QString::number(QDate::currentDate().year()));
    lblMessages_ = namedLabel(this, QStringLiteral("lblMessages"), QStringLiteral("Loading ..."));
    lblClick_ = namedLabel(this, QStringLiteral("lblClick"), QStringLiteral("Click to skip test"));
    lblClick_->setVisible(false);
    QFont bold = lblClick_->font();
    bold.setBold(true);
    lblClick_->setFont(bold);
    lblClick_->setStyleSheet(QStringLiteral("color: #1f4e9c;"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(24, 20, 24, 16);
    grid->setHorizontalSpacing(24);
    grid->addWidget(Image1_, 0, 0, 4, 1, Qt::AlignTop);
    grid->addWidget(lblProductName_, 0, 1);
    grid->addWidget(lblVersion_, 1, 1);
    grid->addWidget(lblCompany_, 2, 1);
    grid->addWidget(lblCopyright_, 3, 1);
    grid->addWidget(lblMessages_, 4, 0, 1, 2);
    grid->addWidget(lblClick_, 5, 0, 1, 2, Qt::AlignRight);
    for (QLabel* label : {Image1_, lblProductName_, lblVersion_, lblCompany_, lblCopyright_,
                          lblMessages_, lblClick_}) {
        label->installEventFilter(this);
    }
    setFixedSize(sizeHint().expandedTo(QSize(440, 230)));
}

FrmSplash::~FrmSplash() = default;

QLabel* FrmSplash::label(const char* name) const {
    return findChild<QLabel*>(QLatin1String(name));
}

void FrmSplash::setLblMessagesText(const QString& text) {
    lblMessages_->setText(text);
}

void FrmSplash::setLblClickVisible(bool visible) {
    lblClick_->setVisible(visible);
}

bool FrmSplash::lblClickVisible() const {
    return !lblClick_->isHidden();
}

bool FrmSplash::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && baudTest_ != nullptr) {
        if (watched == lblClick_) {
            baudTest_->lblClick_Click();
        } else {
            baudTest_->Form_Click();
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FrmSplash::mousePressEvent(QMouseEvent* event) {
    if (baudTest_ != nullptr) {
        baudTest_->Form_Click();
    }
    QWidget::mousePressEvent(event);
}

void FrmSplash::keyPressEvent(QKeyEvent* event) {
    event->accept();
    if (baudTest_ != nullptr && baudTest_->tmrBaud().isEnabled()) {
        // During the baud-rate test a key press closes the splash window and the test with it:
        // start-up ends without a main window.
        baudTest_->tmrBaud().setEnabled(false);
        hide();
        if (onAbandoned_) {
            onAbandoned_();
        }
        return;
    }
    // Before the test has started the window just goes away; start-up carries on and the main
    // window is shown as usual.
    hide();
}

}  // namespace tarquel
