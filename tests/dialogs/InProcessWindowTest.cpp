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

class ProgressWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        progress().setDoEvents([this] {
            ++doEvents_;
            QCoreApplication::processEvents();
        });
        owner_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner_));
    }

    void TearDown() override {
        progress().CloseProcessWindow();
        progress().setDoEvents({});
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

TEST_F(ProgressWindowTest, OpenShowsTheMessageOverItsOwnerOnceAndCloseGivesTheFocusBack) {
    QWidget otherOwner;
    otherOwner.show();
    auto* edit = new QLineEdit(&owner_);
    edit->show();
    owner_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&owner_));
    edit->setFocus();

    progress().OpenProcessWindow("Initializing Unit", &owner_, MousePointer::Hourglass);
    // A second open while visible changes nothing.
    progress().OpenProcessWindow("Recalculating Checksum", &otherOwner, MousePointer::Arrow);
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
    EXPECT_FALSE(progress().close());
    EXPECT_TRUE(progress().isVisible());
    progress().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&progress()));

    // The pointer saved by the first open is the one put back: no override before, none after.
    progress().CloseProcessWindow();
    EXPECT_FALSE(progress().isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(progress().ownerWindow(), nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&owner_));
    EXPECT_EQ(QApplication::focusWidget(), edit);
}

TEST_F(ProgressWindowTest, TheWindowTakesTheLayoutOfItsWrappedMessageUntilItIsUnloaded) {
    QApplication::setOverrideCursor(Qt::IBeamCursor);
    const QString message =
        "Restoring the unit's EEPROM settings from the saved map file, word by word";
    progress().OpenProcessWindow(message, &owner_, MousePointer::Hourglass);
    EXPECT_EQ(pointer(), Qt::WaitCursor);
    const QLabel* label = progress().label1();
    EXPECT_EQ(label->width(), twipsToPixels(ProcessDesign::Label1Width));
    EXPECT_GT(label->height(), twipsToPixels(ProcessDesign::Label1Height));
    EXPECT_LE(label->heightForWidth(label->width()), label->height());
    const ProcessLayout layout = resizeForMessage({}, pixelsToTwips(label->height()));
    const auto expectLayout = [](const ProcessLayout& l) {
        EXPECT_EQ(progress().windowHeightTwips(), l.windowHeight);
        EXPECT_EQ(progress().height(), twipsToPixels(l.windowHeight - ProcessDesign::FrameHeight));
        EXPECT_EQ(progress().label2()->y(), twipsToPixels(l.label2Top));
    };
    expectLayout(layout);

    // A one-line message leaves the grown window as it is.
    progress().ChangeProcessText("Page 1");
    EXPECT_EQ(progress().label1()->text(), "Page 1");
    EXPECT_EQ(progress().windowHeightTwips(), layout.windowHeight);
    EXPECT_EQ(doEvents_, 2);

    // The override in force before the open is back, and no extra level is left behind.
    progress().CloseProcessWindow();
    EXPECT_EQ(pointer(), Qt::IBeamCursor);
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Unloading discarded the growth.
    progress().OpenProcessWindow("Done", &owner_, MousePointer::Hourglass);
    expectLayout(ProcessLayout{});
}

}  // namespace
}  // namespace tarquel
