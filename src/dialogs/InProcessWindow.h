#pragma once

#include "dialogs/DialogText.h"
#include "dialogs/ProcessWindowLayout.h"

#include <QCursor>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QLabel;

namespace tarquel {

// Screen-wide mouse pointer numbers (0 the default arrow, 11 the hourglass; 1 to 15 the
// standard shapes). Unknown numbers give the arrow.
namespace MousePointer {
constexpr int Default = 0;
constexpr int Arrow = 1;
constexpr int Hourglass = 11;
}  // namespace MousePointer

Qt::CursorShape mousePointerShape(int pointer);

// The small "Please Wait ..." window that lengthy unit operations show while they talk to the
// unit. It shows the operation's message above "Please Wait ...", switches the application's
// pointer while open and takes no input; the operation that opened it closes it.
class frmInProcessWindow : public QWidget {
    Q_OBJECT
public:
    // The one progress window, created on first use.
    static frmInProcessWindow& instance();

    // Does nothing at all while the window is visible. Otherwise saves the current pointer, sets
    // mousePointer (11, the hourglass, from every caller), shows message, shows the window
    // centred over owner and owned by it, and lets pending events run once so that it is
    // painted before the caller goes on with its blocking work.
    void OpenProcessWindow(const QString& message, QWidget* owner, int mousePointer);
    // Replaces the message and lets pending events run once.
    void ChangeProcessText(const QString& message);
    // Puts back the pointer that was in force before the open, gives the focus back to the
    // owner and unloads the window: the next open starts from the design layout.
    void CloseProcessWindow();

    // Shows how far a long operation has got after "Please Wait ..." ("Please Wait ...  45 %"),
    // repainting at once without letting events run; total 0 shows the plain text again.
    void setProgress(int done, int total);

    // How pending events are let run once (empty: QCoreApplication::processEvents).
    void setDoEvents(std::function<void()> doEvents);

    QLabel* label1() const { return label1_; }
    QLabel* label2() const { return label2_; }
    QWidget* ownerWindow() const { return ownerWindow_; }
    // Outer height of the window in twips, as the layout keeps it.
    int windowHeightTwips() const { return layout_.windowHeight; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    frmInProcessWindow();
    friend frmInProcessWindow& singleInstance<frmInProcessWindow>();
    void ensureLoaded();
    void loadFromDesign();
    void unload();
    void setLabel1Text(const QString& message);
    void applyLayout();
    void doEvents();

    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    bool loaded_ = false;
    ProcessLayout layout_;
    int label1Height_ = ProcessDesign::Label1Height;

    int progressPercent_ = -1;
    bool opened_ = false;
    std::optional<QCursor> savedMousePointer_;  // the override in force at open, if any
    bool pointerPushed_ = false;                // open added the override (there was none)
    QPointer<QWidget> ownerWindow_;
    std::function<void()> doEvents_;
};

}  // namespace tarquel
