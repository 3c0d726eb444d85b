// The data terminal opened from the main window, on virtual time with a streaming unit: where the
// received data goes, what typing sends, the clipboard keys, and closing.
#include "AppRig.h"
#include "livedata/DataTerminal.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>

namespace tarquel {
namespace {

using test::AppRig;

class TerminalWindow : public AppRig {
protected:
    void SetUp() override {
        unit = &addUnit(1);
        ASSERT_TRUE(startApplication());
        ASSERT_TRUE(clock.runUntil([this] { return !main().DataBox(0)->text().isEmpty(); }, 5000));
        main().action("mnuDataTerminal")->trigger();
        terminal = main().dataTerminal();
        ASSERT_NE(terminal, nullptr);
        clock.runFor(2000);
    }
    QPlainTextEdit* box() { return terminal->txtTerminal(); }

    unitsim::SimulatedUnit* unit = nullptr;
    DataTerminal* terminal = nullptr;
};

TEST_F(TerminalWindow, ReceivedDataGoesToTheTerminalWhileItIsOpenAndToTheDecoderAfter) {
    EXPECT_TRUE(terminal->isVisible());
    EXPECT_EQ(terminal->windowTitle(), QStringLiteral("Data Terminal"));
    EXPECT_TRUE(box()->toPlainText().contains(QStringLiteral("I ")));
    EXPECT_TRUE(terminal->text().text().contains(QStringLiteral("\r\n")));
    EXPECT_TRUE(main().DataBox(0)->text().isEmpty());
    EXPECT_TRUE(
        main().softwareInfoText().contains(QStringLiteral("Data routed to terminal display.")));
    test::saveScreenshot(*terminal, QStringLiteral("data-terminal.png"));

    system.clearWrites();
    QTest::keyClick(box(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_FALSE(terminal->isVisible());
    // Closing put the identified unit into decimal output with write access on.
    EXPECT_TRUE(system.bytesWritten(1).endsWith('_'));
    EXPECT_TRUE(unit->writeAccess());
    ASSERT_TRUE(clock.runUntil([this] { return !main().DataBox(0)->text().isEmpty(); }, 5000));
    EXPECT_FALSE(main().softwareInfoText().contains(QStringLiteral("terminal")));
}

TEST_F(TerminalWindow, TypingGoesToTheUnitAndTheClipboardKeysChangeNothing) {
    unit->setStreamEnabled(false);
    clock.runFor(500);
    const QString shown = box()->toPlainText();
    ASSERT_FALSE(shown.isEmpty());

    system.clearWrites();
    unit->clearReceivedBytes();
    const qint64 before = clock.tickCount();
    QTest::keyClicks(box(), QStringLiteral("ab"));
    EXPECT_EQ(system.bytesWritten(1), QByteArray("ab"));
    ASSERT_EQ(unit->receivedBytes().size(), 2U);
    EXPECT_GE(unit->receivedBytes()[1].timeMs - unit->receivedBytes()[0].timeMs, 50);
    EXPECT_GE(clock.tickCount() - before, 100);
    EXPECT_EQ(box()->toPlainText(), shown) << "typed characters never reach the box";

    // Ctrl+X copies the selection and leaves the text; Ctrl+V pastes nothing.
    QTextCursor selection(box()->document());
    selection.setPosition(0);
    selection.setPosition(5, QTextCursor::KeepAnchor);
    box()->setTextCursor(selection);
    QTest::keyClick(box(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), shown.left(5));
    EXPECT_EQ(box()->toPlainText(), shown);
    QTest::keyClick(box(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box()->toPlainText(), shown);
    EXPECT_EQ(system.bytesWritten(1), QByteArray("ab")) << "clipboard keys are not sent";
}

}  // namespace
}  // namespace tarquel
