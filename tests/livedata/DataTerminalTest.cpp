// The data terminal's text rules and its dealings with the unit, without a window.
#include "livedata/DataTerminalSession.h"
#include "support/SimRig.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

TEST(TerminalText, LineEndsAreShownAsCarriageReturnLineFeed) {
    const struct {
        const char* received;
        const char* shown;
    } cases[] = {
        {"a\r\nb", "a\r\nb"},      // CR LF comes back unchanged
        {"a\nb", "ab"},            // a lone line feed disappears
        {"a\rb\r", "a\r\nb\r\n"},  // each CR gains its LF
        {"\n\n\r\n\r", "\r\n\r\n"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TerminalText::displayForm(QString::fromLatin1(c.received)),
                  QLatin1String(c.shown))
            << c.received;
    }
}

TEST(TerminalText, AppendsUntilOver7300CharactersThenKeepsTheTextFromCharacter2000) {
    TerminalText text;
    TerminalText::Update first = text.ProcessData(QString(7300, QLatin1Char('a')));
    EXPECT_FALSE(first.replaceAll);
    EXPECT_EQ(first.text.size(), 7300);
    // Exactly 7300: not over the limit, so the next data is appended.
    TerminalText::Update second = text.ProcessData(QStringLiteral("b"));
    EXPECT_FALSE(second.replaceAll);
    EXPECT_EQ(second.text, QStringLiteral("b"));
    ASSERT_EQ(text.text().size(), 7301);
    // 7301: the first 1999 characters go (5302 stay), then the new data is added.
    TerminalText::Update third = text.ProcessData(QStringLiteral("c\r"));
    EXPECT_TRUE(third.replaceAll);
    EXPECT_EQ(text.text().size(), 5302 + 3);
    EXPECT_EQ(third.text, text.text());
    EXPECT_TRUE(text.text().endsWith(QStringLiteral("bc\r\n")));
}

class DataTerminalUnit : public test::SimRig {
protected:
    int resets = 0;
    DataTerminalSession session{link, [this] { ++resets; }};
};

TEST_F(DataTerminalUnit, ATypedCharacterIsSentOnceAndModifiersLeaveKeysAlone) {
    EXPECT_TRUE(session.keyPress(QLatin1Char('x')));
    EXPECT_EQ(system.bytesWritten(1), QByteArray("x"));
    session.keyDown(true);
    EXPECT_FALSE(session.keyPress(QLatin1Char('c')));
    EXPECT_EQ(system.bytesWritten(1), QByteArray("x"));
}

TEST_F(DataTerminalUnit, ClosingBlanksTheValuesAndPutsAnIdentifiedUnitIntoDecimalOutput) {
    unit->setFormat(unitsim::OutputFormat::Binary);
    session.Unload();
    EXPECT_EQ(resets, 1);
    EXPECT_TRUE(system.writes().empty()) << "no unit identified: nothing to put back";

    ASSERT_TRUE(link.fInit(true));
    system.clearWrites();
    session.Unload();
    EXPECT_EQ(resets, 2);
    EXPECT_TRUE(unit->writeAccess());
    EXPECT_EQ(unit->format(), unitsim::OutputFormat::Decimal);
    const QByteArray sent = system.bytesWritten(1);
    EXPECT_EQ(sent.right(1), QByteArray("_")) << sent.toHex().toStdString();
    EXPECT_EQ(sent.left(5), QByteArray("\x7B\x00\x0C\x3A\x3A", 5)) << "write access first";
}

}  // namespace
}  // namespace tarquel
