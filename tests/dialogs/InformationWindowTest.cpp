#include "dialogs/InfoIcons.h"
#include "dialogs/InformationWindow.h"
#include "platform/Twips.h"
#include "platform/VirtualClock.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>

namespace tarquel {
namespace {

using namespace InfoFlags;

class InformationWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        info().setClock(&clock_);
        info().setBeep([this] { ++beeps_; });
        clock_.setEventHook([] { QCoreApplication::processEvents(); });
        // The application's main window, active before the information window opens.
        mainWindow_.show();
        mainWindow_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&mainWindow_));
    }

    void TearDown() override {
        EXPECT_FALSE(info().isVisible()) << "the information window was left open";
        info().hide();
        info().setClock(nullptr);
        info().setBeep({});
    }

    static InformationWindow& info() { return InformationWindow::instance(); }

    // Opens the window modally; whileOpen runs inside its event loop and must close it. If it
    // does not, that is a failure and the first button closes it so that the test ends.
    int openModal(const QString& message, const QString& title, int flags, int countdown,
                  const QStringList& captions, const std::function<void()>& whileOpen) {
        bool ran = false;
        QObject inLoop;  // ends the timer with the call
        QTimer::singleShot(0, &inLoop, [&] {
            ran = true;
            whileOpen();
            if (info().isVisible()) {
                ADD_FAILURE() << "still open after the test's actions";
                info().btnCmd(0)->click();
            }
        });
        const int result = info().OpenInfoWindow(message, title, flags, countdown, 1, captions);
        EXPECT_TRUE(ran) << "the call returned without running a modal loop";
        return result;
    }

    // The widget with the keyboard focus once the window has become active.
    static QWidget* focused() {
        EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activeWindow() == &info(); }));
        return QApplication::focusWidget();
    }

    static void click(int button) { QTest::mouseClick(info().btnCmd(button), Qt::LeftButton); }

    // The captions of the buttons shown.
    static QStringList buttons() {
        QStringList captions;
        for (int i = 0; i < kInfoMaxButtons; ++i) {
            if (info().btnCmd(i)->isVisibleTo(&info())) {
                captions << info().btnCmd(i)->text();
            }
        }
        return captions;
    }

    VirtualClock clock_;
    QWidget mainWindow_;
    int beeps_ = 0;
};

TEST_F(InformationWindowTest,
       ALongMessageWrapsTheDefaultButtonKeepsTheFocusAndOnlyTheButtonsClose) {
    const QString longMessage = QString("The unit is tilted over ten degrees. ").repeated(8);
    const int flags = ButtonsYesNo | defaultButton(1);
    const int result = openModal(longMessage, "Unit off level!", flags, 0, {}, [&] {
        // The message wraps within the layout's width as its label shows it.
        const QLabel* message = info().information();
        EXPECT_TRUE(message->wordWrap());
        EXPECT_LE(message->heightForWidth(message->width()), message->height());

        ASSERT_EQ(focused(), info().btnCmd(1));
        EXPECT_EQ(info().windowHandle()->transientParent(), mainWindow_.windowHandle());
        EXPECT_FALSE(info().close());
        clock_.runFor(3000);  // a countdown of 0 is none
        QTest::keyClick(focused(), Qt::Key_Escape);
        EXPECT_TRUE(info().isVisible());
        // Back from another window, the default button has the focus again.
        info().btnCmd(0)->setFocus();
        mainWindow_.activateWindow();
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return QApplication::activeWindow() == &mainWindow_; }));
        info().activateWindow();
        ASSERT_EQ(focused(), info().btnCmd(1));
        QTest::keyClick(focused(), Qt::Key_Return);  // presses it
    });
    EXPECT_EQ(result, InfoResult::No);
}

TEST_F(InformationWindowTest, AModelessOpenReturnsAtOnceAndShowsTheIconOfItsFlags) {
    const auto argb = [](const QPixmap& pixmap) {
        return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    };
    for (int icon = IconNone; icon <= kInfoIconCount; ++icon) {
        EXPECT_EQ(info().OpenInfoWindow("Working", "Modeless", icon | ButtonsOKCancel, 0, 0), 0);
        EXPECT_TRUE(info().isVisible());
        EXPECT_EQ(info().windowModality(), Qt::NonModal);
        // No icon: a null picture from both.
        EXPECT_EQ(argb(info().windowIcon().pixmap(kInfoIconSize)), argb(infoIconImage(icon)))
            << icon;
        click(1);  // closes it: the next open shows its own icon
        EXPECT_EQ(info().infoResult(), InfoResult::Cancel);
    }
}

TEST_F(InformationWindowTest, EveryOpenStartsFromTheDesignAndTheCountdownPressesTheDefault) {
    const int flags = IconStop | ButtonsCustom | defaultButton(2);
    const QStringList custom{"One", "Two", "Three"};
    const int first =
        openModal("A long message\r\nfor a wider window", "First", flags, 3, custom, [&] {
            // An open from a handler running under the modal window changes nothing.
            EXPECT_EQ(info().OpenInfoWindow("Second", "Other", IconStop | ButtonsYesNo, 2, 1), 0);
            EXPECT_EQ(info().windowTitle(), "First");
            EXPECT_EQ(info().information()->text(), "A long message\nfor a wider window");
            EXPECT_EQ(focused(), info().btnCmd(2));
            clock_.runFor(1000);
            EXPECT_EQ(buttons(), (QStringList{"One", "Two", countdownCaption("Three", 2)}));
            click(2);
        });
    EXPECT_EQ(first, InfoResult::Custom + 2);
    EXPECT_EQ(beeps_, 1) << "one beep for every open that shows the window";

    const int second = openModal("", "Second", ButtonsOK, 2, {}, [&] {
        // An empty message leaves the design size in place.
        EXPECT_EQ(info().size(), QSize(twipsToPixels(InfoDesign::ClientWidth),
                                       twipsToPixels(InfoDesign::ClientHeight)));
        for (int left = 2; left >= 0; --left) {
            EXPECT_EQ(buttons(), QStringList{countdownCaption("OK", left)});
            clock_.runFor(left > 0 ? 1000 : 999);
        }
        EXPECT_TRUE(info().isVisible());
        clock_.runFor(1);  // one second after zero
    });
    EXPECT_EQ(second, InfoResult::OK);
}

}  // namespace
}  // namespace tarquel
