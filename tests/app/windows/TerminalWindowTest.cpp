// The data terminal opened from the main window, on virtual time with a streaming unit: where the
// received data goes, what typing sends, the clipboard keys, and closing.
#include "AppRig.h"
#include "app/StatusPanel.h"
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
        ASSERT_TRUE(clock.runUntil([this] { return !labelText("DataBox_0").isEmpty(); }, 5000));
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
    // Whole frames, one a line (the first may be the tail of one sent before the terminal).
    const QString frame = QString::fromLatin1(unit->currentFrame().chopped(1));
    const QStringList lines = box()->toPlainText().split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[1], frame);
    EXPECT_EQ(lines[lines.size() - 2], frame);
    EXPECT_TRUE(terminal->text().text().contains(frame + QStringLiteral("\r\n")));
    EXPECT_TRUE(labelText("DataBox_0").isEmpty());
    EXPECT_EQ(main().statusPanel()->softwareInfoText(),
              QStringLiteral("Receiving Data.\rData routed to terminal display."));
    test::saveScreenshot(*terminal, QStringLiteral("data-terminal.png"));

    QTest::keyClick(box(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_FALSE(terminal->isVisible());
    EXPECT_EQ(unit->format(), unitsim::OutputFormat::Decimal) << "closing sends the unit '_'";
    ASSERT_TRUE(clock.runUntil([this] { return !labelText("DataBox_0").isEmpty(); }, 5000));
    EXPECT_EQ(main().statusPanel()->softwareInfoText(), QStringLiteral("Receiving Data."));
}

TEST_F(TerminalWindow, TypingGoesToTheUnitAndTheClipboardKeysChangeNothing) {
    unit->setStreamEnabled(false);
    clock.runFor(500);
    const QString shown = box()->toPlainText();
    ASSERT_FALSE(shown.isEmpty());

    system.clearWrites();
    QTest::keyClicks(box(), QStringLiteral("ab"));
    EXPECT_EQ(system.bytesWritten(1), QByteArray("ab"));
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
