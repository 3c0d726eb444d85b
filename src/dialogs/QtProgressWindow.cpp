#include "dialogs/QtProgressWindow.h"

#include "dialogs/InProcessWindow.h"

namespace tarquel {

void QtProgressWindow::OpenProcessWindow(const QString& message) {
    frmInProcessWindow::instance().OpenProcessWindow(message, owner_.data(),
                                                     MousePointer::Hourglass);
}

void QtProgressWindow::ChangeProcessText(const QString& message) {
    frmInProcessWindow::instance().ChangeProcessText(message);
}

void QtProgressWindow::CloseProcessWindow() {
    frmInProcessWindow::instance().CloseProcessWindow();
}

bool QtProgressWindow::processWindowVisible() const {
    return frmInProcessWindow::instance().isVisible();
}

void QtProgressWindow::setProcessProgress(int done, int total) {
    frmInProcessWindow::instance().setProgress(done, total);
}

}  // namespace tarquel
