#include "dialogs/InProcessWindow.h"

#include "dialogs/DialogGeometry.h"
#include "dialogs/DialogText.h"
#include "platform/LineEnds.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <array>

namespace tarquel {

Qt::CursorShape mousePointerShape(int pointer) {
    static constexpr std::array<Qt::CursorShape, 16> shapes{
        Qt::ArrowCursor,     Qt::ArrowCursor,   Qt::CrossCursor,     Qt::IBeamCursor,
        Qt::ArrowCursor,     Qt::SizeAllCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor,
        Qt::SizeFDiagCursor, Qt::SizeHorCursor, Qt::UpArrowCursor,   Qt::WaitCursor,
        Qt::ForbiddenCursor, Qt::BusyCursor,    Qt::WhatsThisCursor, Qt::SizeAllCursor};
    if (pointer < 0 || pointer >= static_cast<int>(shapes.size())) {
        return Qt::ArrowCursor;
    }
    return shapes[static_cast<std::size_t>(pointer)];
}

frmInProcessWindow& frmInProcessWindow::instance() {
    return singleInstance<frmInProcessWindow>();
}

frmInProcessWindow::frmInProcessWindow() : QWidget(nullptr, kDialogWindowFlags) {
    setObjectName(QStringLiteral("frmInProcessWindow"));
    setWindowTitle(QStringLiteral("Corvane Industries"));
    label1_ = dialogLabel(this, QStringLiteral("Label1"), Qt::AlignHCenter | Qt::AlignTop);
    label1_->setWordWrap(true);
    label2_ = dialogLabel(this, QStringLiteral("Label2"), Qt::AlignHCenter | Qt::AlignTop);
}

void frmInProcessWindow::setDoEvents(std::function<void()> doEvents) {
    doEvents_ = std::move(doEvents);
}

void frmInProcessWindow::doEvents() {
    if (doEvents_) {
        doEvents_();
    } else {
        QCoreApplication::processEvents();
    }
}

void frmInProcessWindow::ensureLoaded() {
    if (!loaded_) {
        loadFromDesign();
    }
}

void frmInProcessWindow::loadFromDesign() {
    using namespace ProcessDesign;
    loaded_ = true;
    opened_ = false;
    savedMousePointer_.reset();
    pointerPushed_ = false;
    ownerWindow_ = nullptr;
    label1_->clear();
    label1Height_ = Label1Height;
    label2_->setText(QStringLiteral("Please Wait ..."));
    progressPercent_ = -1;
    layout_ = ProcessLayout{};
    applyLayout();
}

void frmInProcessWindow::applyLayout() {
    using namespace ProcessDesign;
    placeTwips(label1_, Label1Left, Label1Top, Label1Width, label1Height_);
    placeTwips(label2_, Label2Left, layout_.label2Top, Label2Width, Label2Height);
    setFixedSize(twipsToPixels(ClientWidth), twipsToPixels(layout_.windowHeight - FrameHeight));
}

// The message label keeps its width and grows in height to fit the wrapped text.
void frmInProcessWindow::setLabel1Text(const QString& message) {
    label1_->setText(plainLines(message));
    label1Height_ = wrappedTextHeight(message, label1_->font(), ProcessDesign::Label1Width);
    layout_ = resizeForMessage(layout_, label1Height_);
    applyLayout();
}

void frmInProcessWindow::setProgress(int done, int total) {
    ensureLoaded();
    const int percent =
        total > 0 ? static_cast<int>(100LL * std::clamp(done, 0, total) / total) : -1;
    if (percent == progressPercent_) {
        return;
    }
    progressPercent_ = percent;
    label2_->setText(percent < 0 ? QStringLiteral("Please Wait ...")
                                 : QStringLiteral("Please Wait ...  %1 %").arg(percent));
    if (isVisible()) {
        label2_->repaint();
    }
}

void frmInProcessWindow::OpenProcessWindow(const QString& message, QWidget* owner,
                                           int mousePointer) {
    if (isVisible()) {
        return;
    }
    ensureLoaded();

    const QCursor* current = QApplication::overrideCursor();
    savedMousePointer_ = current != nullptr ? std::optional<QCursor>(*current) : std::nullopt;
    ownerWindow_ = owner;
    const QCursor pointer(mousePointerShape(static_cast<qint16>(mousePointer)));
    if (current != nullptr) {
        QApplication::changeOverrideCursor(pointer);
        pointerPushed_ = false;
    } else {
        QApplication::setOverrideCursor(pointer);
        pointerPushed_ = true;
    }
    opened_ = true;

    setLabel1Text(message);

    // Owned by the owner's window (kept in front of it), centred over it.
    QWidget* ownerTop = owner != nullptr ? owner->window() : nullptr;
    QRect area;
    winId();
    if (ownerTop != nullptr) {
        ownerTop->winId();
        windowHandle()->setTransientParent(ownerTop->windowHandle());
        area = ownerTop->frameGeometry();
    } else {
        windowHandle()->setTransientParent(nullptr);
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            area = screen->availableGeometry();
        }
    }
    centreOn(this, area);
    show();
    centreOn(this, area);
    doEvents();
}

void frmInProcessWindow::ChangeProcessText(const QString& message) {
    ensureLoaded();
    setLabel1Text(message);
    doEvents();
}

void frmInProcessWindow::CloseProcessWindow() {
    if (opened_) {
        if (pointerPushed_) {
            QApplication::restoreOverrideCursor();
        } else if (savedMousePointer_) {
            QApplication::changeOverrideCursor(*savedMousePointer_);
        }
        if (QWidget* owner = ownerWindow_.data()) {
            if (owner->isWindow()) {
                owner->activateWindow();
            } else {
                owner->setFocus(Qt::OtherFocusReason);
            }
        }
    }
    unload();
}

void frmInProcessWindow::unload() {
    hide();
    if (QWindow* handle = windowHandle()) {
        handle->setTransientParent(nullptr);
    }
    loaded_ = false;
    opened_ = false;
    savedMousePointer_.reset();
    pointerPushed_ = false;
    ownerWindow_ = nullptr;
}

// The operation that opened the window closes it; the window system cannot.
void frmInProcessWindow::closeEvent(QCloseEvent* e) {
    e->ignore();
}

}  // namespace tarquel
