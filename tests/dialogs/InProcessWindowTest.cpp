#include "dialogs/InProcessWindow.h"
#include "platform/Twips.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

namespace tarquel {
namespace {

int px(int twips) {
    return twipsToPixels(twips);
}

// Height of the client area for an outer window height in twips.
int clientPx(int windowHeight) {
    return px(windowHeight - ProcessDesign::FrameHeight);
}

class ProgressWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        clearOverrideCursors();
        progress().setDoEvents([this] {
            ++doEvents_;
            QCoreApplication::processEvents();
        });
        owner_.setWindowTitle("Owner");
        owner_.setGeometry(100, 80, 640, 480);
        owner_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner_));
    }

    void TearDown() override {
        if (progress().isVisible()) {
            progress().CloseProcessWindow();
        }
        progress().setDoEvents({});
        clearOverrideCursors();
    }

    static void clearOverrideCursors() {
        while (QApplication::overrideCursor() != nullptr) {
            QApplication::restoreOverrideCursor();
        }
    }

    static frmInProcessWindow& progress() { return frmInProcessWindow::instance(); }

    static Qt::CursorShape pointer() {
        const QCursor* cursor = QApplication::overrideCursor();
        return cursor != nullptr ? cursor->shape() : Qt::CustomCursor;  // CustomCursor: no override
    }

    QWidget owner_;
    int doEvents_ = 0;
};

TEST_F(ProgressWindowTest, OpenShowsTheMessageCentredOverItsOwner) {
    progress().OpenProcessWindow("Initializing Unit", &owner_, MousePointer::Hourglass);

    EXPECT_TRUE(progress().isVisible());
    EXPECT_EQ(progress().windowTitle(), "Corvane Industries");
    EXPECT_EQ(progress().label1()->text(), "Initializing Unit");
    EXPECT_EQ(progress().label2()->text(), "Please Wait ...");
    EXPECT_EQ(pointer(), Qt::WaitCursor);
    EXPECT_EQ(doEvents_, 1);
    EXPECT_EQ(progress().ownerWindow(), &owner_);
    ASSERT_NE(progress().windowHandle(), nullptr);
    EXPECT_EQ(progress().windowHandle()->transientParent(), owner_.windowHandle());
    const QPoint offset = progress().frameGeometry().center() - owner_.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 1);

    // Nothing but CloseProcessWindow closes it.
    EXPECT_FALSE(progress().close());
    EXPECT_TRUE(progress().isVisible());
}

TEST_F(ProgressWindowTest, SecondOpenWhileVisibleChangesNothingAndCloseRestoresThePointer) {
    QWidget otherOwner;
    otherOwner.show();
    progress().OpenProcessWindow("Writing Calibration", &owner_, MousePointer::Hourglass);
    progress().OpenProcessWindow("Recalculating Checksum", &otherOwner, MousePointer::Arrow);

    EXPECT_EQ(progress().label1()->text(), "Writing Calibration");
    EXPECT_EQ(progress().ownerWindow(), &owner_);
    EXPECT_EQ(progress().windowHandle()->transientParent(), owner_.windowHandle());
    EXPECT_EQ(pointer(), Qt::WaitCursor);
    EXPECT_EQ(doEvents_, 1);

    // The pointer saved by the first open is the one put back: no override before, none after.
    progress().CloseProcessWindow();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(progress().isVisible());

    // An override before: that very shape after, and no extra level left behind.
    QApplication::setOverrideCursor(Qt::IBeamCursor);
    progress().OpenProcessWindow("Step", &owner_, MousePointer::Hourglass);
    EXPECT_EQ(pointer(), Qt::WaitCursor);
    progress().CloseProcessWindow();
    EXPECT_EQ(pointer(), Qt::IBeamCursor);
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ProgressWindowTest, AGrownWindowKeepsItsSizeUntilItIsUnloaded) {
    // The layout of a three-line message (its rules are the layout's own tests).
    progress().OpenProcessWindow("Reading\r\nEEPROM\r\nMap", &owner_, MousePointer::Hourglass);
    EXPECT_EQ(progress().height(), clientPx(1545));
    progress().ChangeProcessText("Page 1");
    EXPECT_EQ(progress().label1()->text(), "Page 1");
    EXPECT_EQ(progress().height(), clientPx(1545));
    EXPECT_EQ(doEvents_, 2);

    // Unloading discards the growth.
    progress().CloseProcessWindow();
    progress().OpenProcessWindow("Done", &owner_, MousePointer::Hourglass);
    EXPECT_EQ(progress().windowHeightTwips(), 1155);
    EXPECT_EQ(progress().height(), clientPx(1155));
    EXPECT_EQ(progress().label2()->y(), px(480));
}

TEST_F(ProgressWindowTest, LongMessageWrapsWithinTheLabel) {
    const QString message =
        "Restoring the unit's EEPROM settings from the saved map file, word by word";
    progress().OpenProcessWindow(message, &owner_, MousePointer::Hourglass);
    const QLabel* label = progress().label1();
    EXPECT_EQ(label->width(), px(3005));
    EXPECT_GE(label->height(), px(390));
    EXPECT_LE(label->heightForWidth(label->width()), label->height());
    const int extra = pixelsToTwips(label->height()) - 195;
    EXPECT_EQ(progress().windowHeightTwips(), 1155 + extra);
    EXPECT_EQ(progress().label2()->y(), px(480 + extra));
}

TEST_F(ProgressWindowTest, CloseGivesTheFocusBackToTheOwner) {
    auto* edit = new QLineEdit(&owner_);
    edit->show();
    owner_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&owner_));
    edit->setFocus();

    progress().OpenProcessWindow("North Alignment", &owner_, MousePointer::Hourglass);
    progress().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&progress()));

    progress().CloseProcessWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&owner_));
    EXPECT_EQ(QApplication::focusWidget(), edit);
    EXPECT_EQ(progress().ownerWindow(), nullptr);
}

}  // namespace
}  // namespace tarquel
