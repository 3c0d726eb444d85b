#include "livedata/DataTerminal.h"

#include "platform/Twips.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <algorithm>

namespace tarquel {

namespace {

QFont terminalFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    if (!QFontDatabase::hasFamily(QStringLiteral("Courier New"))) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    }
    return font;
}

}  // namespace

DataTerminal::DataTerminal(UnitLink& link, std::function<void()> resetDataWindows,
                           std::function<void()> onClosed, QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      session_(link, std::move(resetDataWindows)),
      onClosed_(std::move(onClosed)) {
    setObjectName(QStringLiteral("DataTerminal"));
    setWindowTitle(QStringLiteral("Data Terminal"));

    QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    QAction* mnuExit = mnuFile->addAction(QStringLiteral("E&xit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    QMenu* mnuEdit = menuBar()->addMenu(QStringLiteral("&Edit"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    QAction* mnuCopy = mnuEdit->addAction(QStringLiteral("&Copy"));
    mnuCopy->setObjectName(QStringLiteral("mnuCopy"));
    mnuCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuCopy->setShortcutContext(Qt::WindowShortcut);
    connect(mnuCopy, &QAction::triggered, this, &DataTerminal::mnuCopy_Click);

    auto* central = new QWidget(this);
    txtTerminal_ = new QPlainTextEdit(central);
    txtTerminal_->setObjectName(QStringLiteral("txtTerminal"));
    txtTerminal_->setFont(terminalFont());
    // The box shows what the unit sends; typing goes to the unit, never into the box.
    txtTerminal_->setReadOnly(true);
    txtTerminal_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtTerminal_->setUndoRedoEnabled(false);
    txtTerminal_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setCentralWidget(central);
    // The window sees every key before the text box.
    txtTerminal_->installEventFilter(this);
    central->installEventFilter(this);

    const int innerHeight = twipsToPixels(3090);
    resize(twipsToPixels(7000), innerHeight + menuBar()->sizeHint().height());
}

void DataTerminal::ProcessData(const QString& text) {
    const TerminalText::Update update = text_.ProcessData(text);
    // The box holds line feeds only: a carriage return followed by its line feed is one line end.
    QString shown = update.text;
    shown.remove(QLatin1Char('\r'));
    if (update.replaceAll) {
        txtTerminal_->setPlainText(shown);
    } else {
        QTextCursor end(txtTerminal_->document());
        end.movePosition(QTextCursor::End);
        end.insertText(shown);
    }
    // The newest text stays in view.
    QScrollBar* bar = txtTerminal_->verticalScrollBar();
    bar->setValue(bar->maximum());
}

bool DataTerminal::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QMainWindow::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers();
    const bool ctrl = (mods & Qt::ControlModifier) != 0;
    session_.keyDown(ctrl || (mods & Qt::AltModifier) != 0);
    if (ctrl && key->key() == Qt::Key_T) {
        close();
        return true;
    }
    if (ctrl && (key->key() == Qt::Key_X || key->key() == Qt::Key_C)) {
        // Ctrl+X copies like Ctrl+C: the text stays as it is, the selection goes to the clipboard.
        mnuCopy_Click();
        return true;
    }
    if (ctrl && key->key() == Qt::Key_V) {
        return true;  // nothing is pasted into what the unit sent
    }
    const QString typed = key->text();
    if (!typed.isEmpty() && typed.at(0).unicode() != 0 && session_.keyPress(typed.at(0))) {
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void DataTerminal::mnuCopy_Click() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(txtTerminal_->textCursor().selectedText().replace(QChar::ParagraphSeparator,
                                                                         QLatin1Char('\n')));
}

void DataTerminal::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The inner area is the part below the menu bar.
    const QWidget* inner = centralWidget();
    txtTerminal_->setGeometry(twipsToPixels(120), twipsToPixels(240),
                              std::max(0, inner->width() - twipsToPixels(200)),
                              std::max(0, inner->height() - twipsToPixels(450)));
}

void DataTerminal::closeEvent(QCloseEvent* event) {
    session_.Unload();
    event->accept();
    QMainWindow::closeEvent(event);
    if (onClosed_) {
        onClosed_();
    }
}

}  // namespace tarquel
