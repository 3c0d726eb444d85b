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
#include <map>

namespace tarquel {
namespace {

using namespace InfoFlags;

int px(int twips) {
    return twipsToPixels(twips);
}

class InformationWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        info().setClock(&clock_);
        info().setBeep([this] { ++beeps_; });
        clock_.setEventHook([] { QCoreApplication::processEvents(); });
        // The application's main window, active before the information window opens.
        mainWindow_.resize(400, 300);
        mainWindow_.show();
        mainWindow_.activateWindow();
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return QApplication::activeWindow() == &mainWindow_; }));
    }

    void TearDown() override {
        if (info().isVisible()) {
            ADD_FAILURE() << "the information window was left open";
            info().btnCmd(0)->click();
        }
        info().setClock(nullptr);
        info().setBeep({});
    }

    static InformationWindow& info() { return InformationWindow::instance(); }

    // Opens the window modally; whileOpen runs inside its event loop and must close it. If it
    // does not, that is a failure and the first button closes it so that the test ends.
    int openModal(const QString& message, const QString& title, int flags, int countdown,
                  const std::function<void()>& whileOpen, const QStringList& captions = {}) {
        bool ran = false;
        QTimer inLoop;
        inLoop.setSingleShot(true);
        QObject::connect(&inLoop, &QTimer::timeout, [&] {
            ran = true;
            whileOpen();
            if (info().isVisible()) {
                ADD_FAILURE() << "still open after the test's actions";
                info().btnCmd(0)->click();
            }
        });
        inLoop.start(0);
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

    static int visibleButtons() {
        int n = 0;
        for (int i = 0; i < kInfoMaxButtons; ++i) {
            n += info().btnCmd(i)->isVisibleTo(&info()) ? 1 : 0;
        }
        return n;
    }

    VirtualClock clock_;
    QWidget mainWindow_;
    int beeps_ = 0;
};

TEST_F(InformationWindowTest, EachButtonReturnsItsCode) {
    struct Case {
        int flags;
        int button;
        int code;
    };
    const QStringList custom{"Retry", "Skip", "Abort", "Help"};
    const std::vector<Case> cases{{ButtonsOK, 0, 1},       {ButtonsOKCancel, 0, 1},
                                  {ButtonsOKCancel, 1, 2}, {ButtonsYesNo, 0, 6},
                                  {ButtonsYesNo, 1, 7},    {ButtonsCustom, 0, 11},
                                  {ButtonsCustom, 3, 14}};
    for (const Case& c : cases) {
        QStringList shown;
        const auto pressWhatIsShown = [&] {
            for (int i = 0; i < visibleButtons(); ++i) {
                shown << info().btnCmd(i)->text();
            }
            click(c.button);
        };
        const int result = openModal("Message", "Title", c.flags, 0, pressWhatIsShown, custom);
        EXPECT_EQ(result, c.code) << "flags " << c.flags << ", button " << c.button;
        EXPECT_FALSE(info().isVisible());
        const std::map<int, QStringList> captions{{ButtonsOK, {"OK"}},
                                                  {ButtonsOKCancel, {"OK", "Cancel"}},
                                                  {ButtonsYesNo, {"Yes", "No"}},
                                                  {ButtonsCustom, custom}};
        EXPECT_EQ(shown, captions.at(c.flags)) << "flags " << c.flags;
    }
    EXPECT_EQ(beeps_, static_cast<int>(cases.size()));
}

TEST_F(InformationWindowTest, TheMessageIsMeasuredAsTheLabelWrapsIt) {
    // The layout's rules are its own tests; here the window measures its text as its label shows
    // it, line ends made plain.
    openModal("First line\r\nSecond", "T", ButtonsYesNo, 0, [&] {
        EXPECT_EQ(info().windowTitle(), "T");
        EXPECT_EQ(info().information()->text(), "First line\nSecond");
        click(1);
    });
    const QString longMessage = QString("The unit is tilted over ten degrees. ").repeated(8);
    openModal(longMessage, "Unit off level!", ButtonsOK, 0, [&] {
        const QLabel* message = info().information();
        EXPECT_TRUE(message->wordWrap());
        EXPECT_EQ(message->width(), px(6000));
        EXPECT_LE(message->heightForWidth(message->width()), message->height());
        click(0);
    });
}

TEST_F(InformationWindowTest, CountdownShowsTheSecondsAndPressesOneSecondAfterZero) {
    QStringList captions;
    bool openJustBefore = false;
    const int result = openModal("Done", "Countdown", IconInformation | ButtonsOK, 5, [&] {
        captions << info().btnCmd(0)->text();
        for (int second = 1; second <= 5; ++second) {
            clock_.runFor(1000);
            captions << info().btnCmd(0)->text();
        }
        clock_.runFor(999);
        openJustBefore = info().isVisible();
        clock_.runFor(1);
    });
    EXPECT_EQ(captions, (QStringList{"      OK      5", "      OK      4", "      OK      3",
                                     "      OK      2", "      OK      1", "      OK      0"}));
    EXPECT_TRUE(openJustBefore);
    EXPECT_EQ(result, InfoResult::OK);
    EXPECT_FALSE(info().isVisible());
}

TEST_F(InformationWindowTest, OpenWhileOpenReturnsZeroAndChangesNothing) {
    // Timers and other handlers keep running under the modal window; one of them tries to open
    // the window again.
    std::unique_ptr<Timer> other = clock_.createTimer();
    other->setInterval(500);
    int ticks = 0;
    int secondResult = -1;
    QObject::connect(other.get(), &Timer::timeout, [&] {
        ++ticks;
        secondResult =
            info().OpenInfoWindow("Second", "Other title", IconStop | ButtonsYesNo, 2, 1);
    });
    other->setEnabled(true);

    const int result = openModal("First", "First title", ButtonsOK, 0, [&] {
        clock_.runFor(3000);
        EXPECT_EQ(ticks, 6);
        EXPECT_EQ(secondResult, 0);
        EXPECT_EQ(info().windowTitle(), "First title");
        EXPECT_EQ(info().information()->text(), "First");
        EXPECT_EQ(visibleButtons(), 1);
        other->setEnabled(false);
        click(0);
    });
    EXPECT_EQ(result, InfoResult::OK);
    EXPECT_EQ(beeps_, 1);
}

TEST_F(InformationWindowTest, OnlyTheButtonsCloseIt) {
    const int result = openModal("Sure?", "Confirm", ButtonsYesNo | defaultButton(1), 0, [&] {
        EXPECT_FALSE(info().windowFlags().testFlag(Qt::WindowCloseButtonHint));
        EXPECT_FALSE(info().close());
        EXPECT_TRUE(info().isVisible());
        QTest::keyClick(focused(), Qt::Key_Escape);
        EXPECT_TRUE(info().isVisible());
        // Enter presses the focused default button.
        QTest::keyClick(focused(), Qt::Key_Return);
    });
    EXPECT_EQ(result, InfoResult::No);
}

TEST_F(InformationWindowTest, ModelessOpenReturnsAtOnce) {
    EXPECT_EQ(info().OpenInfoWindow("Working", "Modeless", ButtonsOKCancel, 0, 0), 0);
    EXPECT_TRUE(info().isVisible());
    EXPECT_EQ(info().windowModality(), Qt::NonModal);
    click(1);
    EXPECT_FALSE(info().isVisible());
    EXPECT_EQ(info().infoResult(), InfoResult::Cancel);
}

TEST_F(InformationWindowTest, ShowsTheIconOfItsFlags) {
    const auto argb = [](const QPixmap& pixmap) {
        return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    };
    for (int icon = 1; icon <= kInfoIconCount; ++icon) {
        info().OpenInfoWindow("Message", "Icon", icon, 0, 0);
        EXPECT_EQ(argb(info().windowIcon().pixmap(kInfoIconSize)), argb(infoIconImage(icon)))
            << icon;
        click(0);
    }
    info().OpenInfoWindow("Message", "No icon", IconNone, 0, 0);
    EXPECT_TRUE(info().windowIcon().pixmap(kInfoIconSize).isNull());
    click(0);
}

TEST_F(InformationWindowTest, EveryOpenStartsFromTheDesign) {
    openModal("A long enough message for a wider window, on one line", "First",
              IconStop | ButtonsCustom | defaultButton(2), 3, [&] { click(2); },
              {"One", "Two", "Three"});

    openModal("", "Second", ButtonsOK, 0, [&] {
        EXPECT_EQ(visibleButtons(), 1);
        EXPECT_EQ(info().btnCmd(0)->text(), "OK");
        EXPECT_EQ(info().btnCmd(2)->text(), "");
        // An empty message leaves the design size in place.
        EXPECT_EQ(info().size(), QSize(px(6300), px(1245)));
        EXPECT_TRUE(info().windowIcon().pixmap(kInfoIconSize).isNull());
        EXPECT_EQ(focused(), info().btnCmd(0));
        // No countdown left over from the first open.
        clock_.runFor(5000);
        EXPECT_TRUE(info().isVisible());
        click(0);
    });
}

TEST_F(InformationWindowTest, DefaultButtonTakesTheFocusOnEveryActivation) {
    openModal("Write the calibration?", "EEPROM", ButtonsYesNo | defaultButton(1), 0, [&] {
        ASSERT_EQ(focused(), info().btnCmd(1));
        EXPECT_EQ(info().windowHandle()->transientParent(), mainWindow_.windowHandle());
        info().btnCmd(0)->setFocus();
        mainWindow_.activateWindow();
        ASSERT_TRUE(
            QTest::qWaitFor([this] { return QApplication::activeWindow() == &mainWindow_; }));
        info().activateWindow();
        EXPECT_EQ(focused(), info().btnCmd(1));
        click(1);
    });
}

}  // namespace
}  // namespace tarquel
