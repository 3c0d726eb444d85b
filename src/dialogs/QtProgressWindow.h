#pragma once

#include "platform/ProgressWindow.h"

#include <QPointer>
#include <QWidget>

namespace tarquel {

// The one progress window (frmInProcessWindow) for the operations started from one window: opens
// it owned by that window with the hourglass pointer.
class QtProgressWindow : public ProgressWindow {
public:
    explicit QtProgressWindow(QWidget* owner) : owner_(owner) {}

    void OpenProcessWindow(const QString& message) override;
    void ChangeProcessText(const QString& message) override;
    void CloseProcessWindow() override;
    bool processWindowVisible() const override;
    void setProcessProgress(int done, int total) override;

private:
    QPointer<QWidget> owner_;
};

}  // namespace tarquel
