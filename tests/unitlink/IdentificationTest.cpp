#include "UnitLinkFixture.h"

namespace tarquel {
namespace {

using test::UnitLinkFixture;

class Identification : public UnitLinkFixture {};

TEST_F(Identification, B600UnitIsFoundInTheFirstPassWhateverTheLetterCase) {
    makeB600Unit();
    ASSERT_TRUE(link.fInit(true));
    EXPECT_TRUE(link.unitAddresses().isB600Family);
    EXPECT_EQ(link.unitAddresses().xBiasWord, QStringLiteral("B68C"));
    EXPECT_EQ(state.unitMap.accessAddress, QStringLiteral("000C"));
    EXPECT_FALSE(state.unitMap.accessHighByteOnly);
    EXPECT_TRUE(link.idText().startsWith(QStringLiteral("Corvane Industries")));
    EXPECT_TRUE(link.idText().contains(QStringLiteral("VERSION 3.1")));
    for (const auto& w : writes()) {
        if (w.bytes.size() == 2) {
            EXPECT_EQ(static_cast<quint8>(w.bytes[0]) & 0xF0, 0xC0) << "only the C000 area is read";
        }
    }
}

TEST_F(Identification, TerminatorsEndStringsWithCrOrCrLf) {
    // Word C006 is 'n' 00: the string ends with 'n' and CR LF. Word C012 is 00 'c': the string
    // ends with a lone CR and 'c' starts the next one. The fourth terminator adds nothing.
    unit.setText(0xC000, QByteArray("version\0copyright!\0corvane industries\0X\0", 40));
    QString text;
    bool isB600 = false;
    ASSERT_TRUE(access.IdentifyUnit(port, text, isB600));
    EXPECT_EQ(text, QStringLiteral("version\r\ncopyright!\rcorvane industries\r\nX"));
}

TEST_F(Identification, FourthTerminatorEndsTheTextWithoutALineEnd) {
    unit.setText(0xC000, QByteArray("version copyright corvane industries", 36));
    unit.setText(0xC024, QByteArray("\0A\0B\0C\0D\0", 9));
    QString text;
    bool isB600 = false;
    ASSERT_TRUE(access.IdentifyUnit(port, text, isB600));
    EXPECT_EQ(text, QStringLiteral("version copyright corvane industries\rA\rB\rC"));
}

TEST_F(Identification, The1600UnitIsFoundInTheSecondPassWithItsRevision) {
    make1600Unit();
    ASSERT_TRUE(link.fInit(true));
    EXPECT_TRUE(link.unitAddresses().is1600Family);
    EXPECT_EQ(link.unitAddresses().northRotationWord, QStringLiteral("16BE"));
    EXPECT_EQ(state.unitMap.accessAddress, QStringLiteral("200E"));
    EXPECT_EQ(state.unitMap.mapBase, QStringLiteral("1600"));
    EXPECT_EQ(state.unitMap.lastPage, 2);
    const QString text = link.idText();
    EXPECT_EQ(text.at(0).unicode(), 255);
    EXPECT_TRUE(
        text.startsWith(QStringLiteral("\u00FF") + QStringLiteral("Compass Rev C2 x Version 1.4")))
        << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("Rev C2")), 1);
}

TEST_F(Identification, A4000TextWithoutTheLeadingFFByteFails) {
    make1600Unit(QByteArray("Compass rev x Version 1.4"));
    EXPECT_FALSE(link.fInit(true));
    EXPECT_FALSE(state.unitMap.identified);
    EXPECT_FALSE(link.unitAddresses().addressesSet);
}

TEST_F(Identification, ASilentUnitFailsBothPassesQuickly) {
    unit.answerBytes = 0;
    const qint64 start = clock.tickCount();
    EXPECT_FALSE(link.fInit(true));
    EXPECT_LT(clock.tickCount() - start, 400);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(Identification, UnitMapKeepsTheFirstFamilyWhileTheAddressTableFollowsTheLatest) {
    makeB600Unit();
    ASSERT_TRUE(link.fInit(true));
    unit.memory.fill(0);
    make1600Unit();
    ASSERT_TRUE(link.fInit(true));
    EXPECT_TRUE(link.unitAddresses().is1600Family);
    EXPECT_EQ(state.unitMap.mapBase, QStringLiteral("B600"));

    // A later failing identification keeps the table as it was.
    unit.answerBytes = 0;
    EXPECT_FALSE(link.fInit(true));
    EXPECT_TRUE(link.unitAddresses().addressesSet);
}

TEST_F(Identification, InitWithoutForceIdentifiesOnlyOnce) {
    makeB600Unit();
    ASSERT_TRUE(link.fInit(false));
    system.clearWrites();
    EXPECT_TRUE(link.fInit(false));
    EXPECT_TRUE(writes().empty());
}

TEST_F(Identification, ChecksumByteIsTheFirstByteOfTheWordAtTheChecksumAddress) {
    makeB600Unit();
    unit.setWord(0xB7FF, 0x5C00);
    QString checksum;
    ASSERT_TRUE(access.ReadChecksumByte(port, checksum));
    EXPECT_EQ(checksum, QStringLiteral("5C"));
}

class WriteAccess : public UnitLinkFixture {};

TEST_F(WriteAccess, B600UnitGetsThe3A3AWordOnlyOncePerRun) {
    makeB600Unit();
    ASSERT_TRUE(link.fInit(true));
    system.clearWrites();
    EXPECT_TRUE(link.fWriteAccess());
    EXPECT_TRUE(state.writeAccessEnabled);
    EXPECT_EQ(unit.word(0x000C), 0x3A3A);
    EXPECT_EQ(writes().front().bytes, QByteArray("\x7B\x00\x0C\x3A\x3A", 5));
    const size_t count = writes().size();
    EXPECT_TRUE(link.fWriteAccess());
    EXPECT_EQ(writes().size(), count) << "the second call sends nothing";
}

TEST_F(WriteAccess, The1600UnitKeepsTheLowByteOfItsAccessWord) {
    make1600Unit();
    unit.setWord(0x200E, 0x0025);
    ASSERT_TRUE(link.fWriteAccess());
    EXPECT_EQ(unit.word(0x200E), 0x2E25);
}

TEST_F(WriteAccess, FinalCheckAcceptsEitherByteInTheB600Family) {
    makeB600Unit();
    ASSERT_TRUE(link.fInit(true));
    // The write is refused, but the unit already shows "00" in its low byte.
    unit.setWord(0x000C, 0x3A00);
    unit.acceptsWrite = [](int) { return false; };
    EXPECT_TRUE(access.SetWriteAccess(port, false));
    unit.setWord(0x000C, 0x3A3A);
    EXPECT_FALSE(access.SetWriteAccess(port, false));
}

TEST_F(WriteAccess, FailsWithoutTrafficBeyondIdentificationWhenTheUnitIsUnknown) {
    unit.answerBytes = 0;
    EXPECT_FALSE(link.fWriteAccess());
    EXPECT_FALSE(state.writeAccessEnabled);
    for (const auto& w : writes()) {
        EXPECT_NE(static_cast<quint8>(w.bytes[0]), 0x7B) << "nothing is written";
    }
}

class Channels : public UnitLinkFixture {
protected:
    void SetUp() override { port.setPortOpen(true); }
};

TEST_F(Channels, B600SelectionIgnoresTheThirdWord) {
    makeB600Unit();
    unit.setWord(0x0002, 0x3C07);
    unit.setWord(0x0004, 0x0000);
    unit.setWord(0x0006, 0x1234);
    QString selection;
    ASSERT_TRUE(link.fGetChannels(selection));
    EXPECT_EQ(selection, QStringLiteral("3C07000000"));
}

TEST_F(Channels, The1600SelectionTakesTheHighByteOfTheThirdWord) {
    make1600Unit();
    unit.setWord(0x2002, 0x2007);
    unit.setWord(0x2004, 0xC000);
    unit.setWord(0x2006, 0x00FF);
    QString selection;
    ASSERT_TRUE(link.fGetChannels(selection));
    EXPECT_EQ(selection, QStringLiteral("2007C00000"));
}

TEST_F(Channels, AFailedWordReadFailsTheSelection) {
    makeB600Unit();
    unit.answers = [](int address) { return address != 0x0004; };
    QString selection = QStringLiteral("unchanged");
    EXPECT_FALSE(link.fGetChannels(selection));
    EXPECT_EQ(selection, QStringLiteral("unchanged"));
}

TEST_F(Channels, RestoreWithNothingSavedSendsNothing) {
    makeB600Unit();
    ASSERT_TRUE(link.fInit(true));
    ASSERT_TRUE(link.fWriteAccess());
    system.clearWrites();
    EXPECT_FALSE(link.fSetChannels(true));
    EXPECT_TRUE(writes().empty());
}

TEST_F(Channels, PendulumSelectionIsElevenCharactersFiftyMillisecondsApart) {
    makeB600Unit();
    ASSERT_TRUE(link.fInit(true));
    ASSERT_TRUE(link.fWriteAccess());
    system.clearWrites();
    state.calMode = CalMode::Pendulum;
    ASSERT_TRUE(link.fSetChannels(false));
    ASSERT_EQ(writes().size(), 11u);
    EXPECT_EQ(system.bytesWritten(1), QByteArray(">2007C00000"));
    for (size_t i = 1; i < writes().size(); ++i) {
        EXPECT_EQ(writes()[i].timeMs - writes()[i - 1].timeMs, 50);
    }

    system.clearWrites();
    state.savedChannels = QStringLiteral("2000000000");
    ASSERT_TRUE(link.fSetChannels(true));
    EXPECT_EQ(system.bytesWritten(1), QByteArray(">2000000000"));
}

}  // namespace
}  // namespace tarquel
