#pragma once

#include "livedata/DataTerminalSession.h"
#include "livedata/LiveViews.h"

#include <QMainWindow>
#include <functional>

class QPlainTextEdit;

namespace tarquel {

// "Data Terminal": the unit's raw output as text, and every typed character sent straight to the
// unit. The text box only ever shows what the unit sent; the operator can select and copy it
// (Ctrl+C, and Ctrl+X, which copies too) but not change it. Ctrl+T, Exit or the close button
// close the window; closing puts the unit back into decimal output and then tells the owner, so
// that received data goes to the frame decoder again.
class DataTerminal : public QMainWindow, public TerminalSink {
    Q_OBJECT
public:
    DataTerminal(UnitLink& link, std::function<void()> resetDataWindows,
                 std::function<void()> onClosed, QWidget* parent = nullptr);

    // TerminalSink: received text while the terminal is visible.
    void ProcessData(const QString& text) override;

    QPlainTextEdit* txtTerminal() const { return txtTerminal_; }
    const TerminalText& text() const { return text_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void mnuCopy_Click();

    DataTerminalSession session_;
    TerminalText text_;
    std::function<void()> onClosed_;
    QPlainTextEdit* txtTerminal_ = nullptr;
};

}  // namespace tarquel
