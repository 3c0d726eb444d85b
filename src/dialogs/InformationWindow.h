#pragma once

#include "dialogs/DialogText.h"
#include "dialogs/InfoWindowLayout.h"
#include "platform/Clock.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

class QEventLoop;
class QLabel;
class QPushButton;

namespace tarquel {

// What callers need of the information window, so that they can be tested without it.
class InfoWindowOpener {
public:
    virtual ~InfoWindowOpener() = default;
    // Shows message and title with the icon, buttons and default button packed in flags (see
    // InfoFlags). countdownSeconds > 0 presses the default button by itself after that many
    // seconds. With modal != 0 the call returns when a button was pressed, with its result code
    // (see InfoResult); events keep being handled meanwhile. Returns 0 at once while the window
    // is already open.
    virtual int OpenInfoWindow(const QString& message, const QString& title, int flags,
                               int countdownSeconds, int modal,
                               const QStringList& buttonCaptions = {}) = 0;
};

// The application's own message window: sizes itself to its title and message, carries up to
// four buttons, can press its default button after a countdown, stays in front of the
// application's other windows and closes only through one of its buttons.
class InformationWindow : public QDialog, public InfoWindowOpener {
    Q_OBJECT
public:
    // The one information window, created on first use.
    static InformationWindow& instance();

    int OpenInfoWindow(const QString& message, const QString& title, int flags,
                       int countdownSeconds, int modal,
                       const QStringList& buttonCaptions = {}) override;

    // The clock that runs the countdown (nullptr: the machine's clock). Used from the next open.
    void setClock(Clock* clock);
    // The sound made on every open (empty: the system beep).
    void setBeep(std::function<void()> beep);

    // The controls, for the theme and for tests.
    QLabel* information() const { return information_; }
    QPushButton* btnCmd(int index) const;
    QPushButton* defaultButton() const { return defaultButton_; }
    int infoResult() const { return infoResult_; }

protected:
    bool event(QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

public slots:
    // Escape and the other ways of rejecting a dialog do nothing here.
    void reject() override;

private:
    InformationWindow();
    friend InformationWindow& singleInstance<InformationWindow>();
    Clock& clock();
    void loadFromDesign();
    void unload();
    void setInformationText(const QString& message);
    void runLayout();
    void writeCountdownCaption(int seconds);
    void tmrPushButtonTimer();
    void btnCmdClick(int index);

    QLabel* information_ = nullptr;
    QLabel* label1_ = nullptr;  // holds the title only to measure it
    std::array<QPushButton*, kInfoMaxButtons> btnCmd_{};
    std::unique_ptr<Timer> tmrPushButton_;

    QString message_;
    int infoFlags_ = 0;
    QStringList customCaptions_;
    int infoResult_ = 0;
    int countdownTotal_ = 0;
    int countdownElapsed_ = 0;
    QPushButton* defaultButton_ = nullptr;
    QString defaultCaption_;
    int frameHeight_ = 0;

    Clock* clock_ = nullptr;
    std::unique_ptr<Clock> ownClock_;
    std::function<void()> beep_;
    QEventLoop* modalLoop_ = nullptr;
};

}  // namespace tarquel
