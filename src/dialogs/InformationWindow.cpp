#include "dialogs/InformationWindow.h"

#include "dialogs/DialogGeometry.h"
#include "dialogs/DialogText.h"
#include "dialogs/InfoIcons.h"
#include "platform/Clock.h"
#include "platform/LineEnds.h"
#include "platform/RealClock.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace tarquel {

InformationWindow& InformationWindow::instance() {
    return singleInstance<InformationWindow>();
}

InformationWindow::InformationWindow() : QDialog(nullptr, kDialogWindowFlags) {
    setObjectName(QStringLiteral("InformationWindow"));
    information_ = dialogLabel(this, QStringLiteral("Information"), Qt::AlignLeft | Qt::AlignTop);
    label1_ = dialogLabel(this, QStringLiteral("Label1"), Qt::AlignLeft | Qt::AlignVCenter);

    for (int i = 0; i < kInfoMaxButtons; ++i) {
        auto* button = new QPushButton(this);
        button->setObjectName(QStringLiteral("btnCmd_%1").arg(i));
        connect(button, &QPushButton::clicked, this, [this, i] { btnCmdClick(i); });
        btnCmd_[static_cast<std::size_t>(i)] = button;
    }
    loadFromDesign();
}

QPushButton* InformationWindow::btnCmd(int index) const {
    if (index < 0 || index >= kInfoMaxButtons) {
        return nullptr;
    }
    return btnCmd_[static_cast<std::size_t>(index)];
}

void InformationWindow::setClock(Clock* clock) {
    clock_ = clock;
}

void InformationWindow::setBeep(std::function<void()> beep) {
    beep_ = std::move(beep);
}

Clock& InformationWindow::clock() {
    if (clock_ != nullptr) {
        return *clock_;
    }
    if (!ownClock_) {
        ownClock_ = std::make_unique<RealClock>();
    }
    return *ownClock_;
}

// Puts every control back the way the window was designed; the countdown timer is made anew
// from the current clock.
void InformationWindow::loadFromDesign() {
    using namespace InfoDesign;
    tmrPushButton_ = clock().createTimer();
    tmrPushButton_->setInterval(1000);
    tmrPushButton_->setEnabled(false);
    connect(tmrPushButton_.get(), &Timer::timeout, this, [this] { tmrPushButtonTimer(); });

    message_.clear();
    information_->clear();
    information_->setWordWrap(false);
    placeTwips(information_, MessageLeft, MessageTop, MessageWidth, MessageHeight);
    label1_->clear();
    label1_->hide();
    placeTwips(label1_, 3120, 600, 45, 195);
    for (int i = 0; i < kInfoMaxButtons; ++i) {
        QPushButton* button = btnCmd_[static_cast<std::size_t>(i)];
        button->hide();
        button->setText(QString());
        placeTwips(button, ButtonLefts[static_cast<std::size_t>(i)], ButtonTop, ButtonWidth,
                   ButtonHeight);
    }
    setFixedSize(twipsToPixels(ClientWidth), twipsToPixels(ClientHeight));
    setWindowTitle(QString());
    setWindowIcon(QIcon());

    infoFlags_ = 0;
    customCaptions_.clear();
    infoResult_ = 0;
    countdownTotal_ = 0;
    countdownElapsed_ = 0;
    defaultButton_ = nullptr;
    defaultCaption_.clear();
    frameHeight_ = pixelsToTwips(frameGeometry().height() - geometry().height());
}

void InformationWindow::unload() {
    tmrPushButton_->setEnabled(false);
    hide();
    if (modalLoop_ != nullptr) {
        modalLoop_->quit();
    }
}

int InformationWindow::OpenInfoWindow(const QString& message, const QString& title, int flags,
                                      int countdownSeconds, int modal,
                                      const QStringList& buttonCaptions) {
    if (isVisible()) {
        return InfoResult::None;
    }
    loadFromDesign();
    infoFlags_ = flags;
    customCaptions_ = buttonCaptions;

    label1_->setText(title);
    setInformationText(message);
    setWindowTitle(title);

    const int icon = infoIconNumber(flags);
    if (icon >= 1 && icon <= kInfoIconCount) {
        setWindowIcon(QIcon(infoIconImage(icon)));
    }

    const QStringList captions = infoButtonCaptions(infoButtonSet(flags), customCaptions_);
    for (int i = 0; i < captions.size(); ++i) {
        QPushButton* button = btnCmd_[static_cast<std::size_t>(i)];
        button->setVisible(true);
        button->setText(captions[i]);
    }

    defaultButton_ = btnCmd_[static_cast<std::size_t>(
        infoDefaultIndex(flags, static_cast<int>(captions.size())))];
    defaultCaption_ = defaultButton_->text();

    if (countdownSeconds != 0) {
        countdownElapsed_ = 0;
        countdownTotal_ = countdownSeconds;
        writeCountdownCaption(countdownTotal_);
        tmrPushButton_->setEnabled(true);
    }

    if (beep_) {
        beep_();
    } else {
        QApplication::beep();
    }

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
    centreOn(this, area);
    // Owned by the window that was active, so that it stays out of the task bar and in front.
    winId();
    QWidget* active = QApplication::activeWindow();
    windowHandle()->setTransientParent(active != nullptr && active != this ? active->windowHandle()
                                                                           : nullptr);
    setWindowModality(modal != 0 ? Qt::ApplicationModal : Qt::NonModal);
    show();
    centreOn(this, area);
    defaultButton_->setFocus(Qt::OtherFocusReason);
    if (modal != 0) {
        QEventLoop loop;
        modalLoop_ = &loop;
        if (isVisible()) {
            loop.exec(QEventLoop::DialogExec);
        }
        modalLoop_ = nullptr;
    }
    return infoResult_;
}

// The layout follows the message: it runs only when the text really changes, so an empty message
// leaves the design layout in place.
void InformationWindow::setInformationText(const QString& message) {
    if (message == message_) {
        return;
    }
    message_ = message;
    information_->setText(plainLines(message));
    runLayout();
}

void InformationWindow::runLayout() {
    const QFont font = information_->font();
    const TextExtent extent = measureText(message_, font);
    InfoLayoutInput input;
    input.buttonCount =
        static_cast<int>(infoButtonCaptions(infoButtonSet(infoFlags_), customCaptions_).size());
    input.titleWidth = measureText(label1_->text(), label1_->font()).width;
    input.messageWidth = extent.width;
    input.messageHeight = extent.height;
    input.wrappedMessageHeight = [this, &font](int width) {
        return wrappedTextHeight(message_, font, width);
    };
    input.frameHeight = frameHeight_;
    const InfoLayout layout = computeInfoLayout(input);

    information_->setWordWrap(layout.wordWrap);
    placeTwips(information_, InfoDesign::MessageLeft, InfoDesign::MessageTop, layout.messageWidth,
               layout.messageHeight);
    // The frame is the window system's: the client area gets the rest of the outer height.
    setFixedSize(twipsToPixels(layout.windowWidth),
                 twipsToPixels(layout.windowHeight - frameHeight_));
    for (int i = 0; i < kInfoMaxButtons; ++i) {
        placeTwips(btnCmd_[static_cast<std::size_t>(i)],
                   layout.buttonLefts[static_cast<std::size_t>(i)], layout.buttonTop,
                   InfoDesign::ButtonWidth, InfoDesign::ButtonHeight);
    }
}

void InformationWindow::writeCountdownCaption(int seconds) {
    defaultButton_->setText(countdownCaption(defaultCaption_, seconds));
}

void InformationWindow::tmrPushButtonTimer() {
    if (countdownElapsed_ != countdownTotal_) {
        ++countdownElapsed_;
        writeCountdownCaption(countdownTotal_ - countdownElapsed_);
        return;
    }
    countdownElapsed_ = 0;
    tmrPushButton_->setEnabled(false);
    defaultButton_->click();
}

void InformationWindow::btnCmdClick(int index) {
    infoResult_ = infoResultCode(infoButtonSet(infoFlags_), index);
    unload();
}

bool InformationWindow::event(QEvent* e) {
    const bool handled = QDialog::event(e);
    if (e->type() == QEvent::WindowActivate && defaultButton_ != nullptr) {
        defaultButton_->setFocus(Qt::ActiveWindowFocusReason);
    }
    return handled;
}

// When another window of the application becomes active, this one goes back on top of it.
void InformationWindow::changeEvent(QEvent* e) {
    QDialog::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow()) {
        const QWidget* active = QApplication::activeWindow();
        if (active != nullptr && active != this) {
            raise();
        }
    }
}

// Only the buttons close the window: the title bar and the keyboard's close command do not.
void InformationWindow::closeEvent(QCloseEvent* e) {
    e->ignore();
}

void InformationWindow::reject() {}

}  // namespace tarquel
