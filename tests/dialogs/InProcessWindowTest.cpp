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

TEST_F(ProgressWindowTest, OneOpenAtATimeOverItsOwnerGrowsWithItsMessageAndCloseRestoresAll) {
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
    progress().setProgress(9, 20);
    EXPECT_EQ(progress().label2()->text(), "Please Wait ...  45 %");

    // A wrapped message grows the window; a one-line one after it leaves the window as it is.
    progress().ChangeProcessText(
        "Restoring the unit's EEPROM settings from the saved map file, word by word");
    const QLabel* label = progress().label1();
    EXPECT_GT(label->height(), twipsToPixels(ProcessDesign::Label1Height));
    EXPECT_LE(label->heightForWidth(label->width()), label->height());
    const ProcessLayout grown = resizeForMessage({}, pixelsToTwips(label->height()));
    const auto expectLayout = [](const ProcessLayout& l) {
        EXPECT_EQ(progress().height(), twipsToPixels(l.windowHeight - ProcessDesign::FrameHeight));
        EXPECT_EQ(progress().label2()->y(), twipsToPixels(l.label2Top));
    };
    expectLayout(grown);
    progress().ChangeProcessText("Page 1");
    EXPECT_EQ(label->text(), "Page 1");
    expectLayout(grown);
    EXPECT_EQ(doEvents_, 3);
    progress().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&progress()));

    // The pointer saved by the first open is the one put back: no override before, none after.
    progress().CloseProcessWindow();
    EXPECT_FALSE(progress().isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&owner_));
    EXPECT_EQ(QApplication::focusWidget(), edit);

    // Unloading discarded the growth; an override in force before the open is put back.
    QApplication::setOverrideCursor(Qt::IBeamCursor);
    progress().OpenProcessWindow("Done", &owner_, MousePointer::Hourglass);
    EXPECT_EQ(pointer(), Qt::WaitCursor);
    expectLayout(ProcessLayout{});
    progress().CloseProcessWindow();
    EXPECT_EQ(pointer(), Qt::IBeamCursor);
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "no extra level is left behind";
}

}  // namespace
}  // namespace tarquel
