#include "UnitSimFixture.h"
#include "unitlink/UnitCommands.h"
#include "unitsim/OutputLine.h"

namespace tarquel {
namespace {

using test::UnitSimFixture;
using unitsim::Fault;
using unitsim::MapFamily;
using unitsim::SimulatedUnit;

SimulatedUnit::Config family1600() {
    SimulatedUnit::Config config;
    config.family = MapFamily::F1600;
    return config;
}

class Identification : public UnitSimFixture {};

TEST_F(Identification, B600UnitShowsItsFourStringsAsLinesWhateverTheirLength) {
    SimulatedUnit::Config config;
    config.model = QStringLiteral("CV-4");  // first string of odd length
    makeUnit(config);
    ASSERT_TRUE(link.fInit(true));
    EXPECT_TRUE(link.unitAddresses().isB600Family);
    EXPECT_EQ(link.idText(), QStringLiteral("CV-4 Version 4.20\r\nCopyright (C) 2004-09\r\n"
                                            "Corvane Industries Inc.\r\nAll Rights Reserved"));
    config.model = QStringLiteral("CV-42");  // even length: padded, still a line of its own
    makeUnit(config);
    ASSERT_TRUE(link.fInit(true));
    EXPECT_TRUE(link.idText().startsWith(QStringLiteral("CV-42 Version 4.20 \r\nCopyright")));
}

TEST_F(Identification, The1600UnitFailsTheC000PassQuicklyAndGetsItsRevision) {
    makeUnit(family1600());
    const qint64 start = clock.tickCount();
    ASSERT_TRUE(link.fInit(true));
    EXPECT_TRUE(link.unitAddresses().is1600Family);
    const QString text = link.idText();
    EXPECT_EQ(text.at(0).unicode(), 255);
    EXPECT_TRUE(text.contains(QStringLiteral("Version 5.10 Rev C2\r\n"))) << text.toStdString();
    // One unanswered read (about 120 ms) for the first pass, then about 40 words.
    EXPECT_LT(clock.tickCount() - start, 2500);
    EXPECT_EQ(read(0xC000), kReadError);
}

class MemoryCommands : public UnitSimFixture {};

TEST_F(MemoryCommands, EepromWritesNeedAccessConfigurationWordsDoNot) {
    ASSERT_TRUE(link.fInit(true));
    EXPECT_FALSE(link.fWriteToUnit(QStringLiteral("B68C"), QStringLiteral("1234")));
    EXPECT_EQ(unit->word(0xB68C), 0);
    EXPECT_FALSE(link.fWriteToUnit(QStringLiteral("B7FE"), QStringLiteral("0000")))
        << "the checksum byte is EEPROM";
    EXPECT_TRUE(link.fWriteToUnit(QStringLiteral("0000"), QStringLiteral("0403")));
    EXPECT_EQ(unit->word(0x0000), 0x0403);
    ASSERT_TRUE(link.fWriteAccess());
    EXPECT_EQ(unit->word(0x000C), 0x3A3A);
    EXPECT_TRUE(link.fWriteToUnit(QStringLiteral("B68C"), QStringLiteral("1234")));
    EXPECT_EQ(read(0xB68C), QStringLiteral("1234"));
    // Either byte of the access word opens the B600 unit.
    unit->setWord(0x000C, 0x003A);
    EXPECT_TRUE(unit->writeAccess());
    unit->setWord(0x000C, 0x3B00);
    EXPECT_FALSE(unit->writeAccess());
}

TEST_F(MemoryCommands, The1600AccessCodeIsTheHighByteAndTheLowByteIsKept) {
    makeUnit(family1600());
    ASSERT_TRUE(link.fWriteAccess());
    EXPECT_EQ(unit->word(0x200E), 0x2E25);
    unit->setWord(0x200E, 0x002E);
    EXPECT_FALSE(unit->writeAccess());
}

TEST_F(MemoryCommands, AddToWordWrapsAndIgnoresATrailingSpace) {
    ASSERT_TRUE(link.fWriteAccess());
    unit->setWord(0xB68A, 0xFFF0);
    link.SendCommandText(QStringLiteral("#8A0020 "));
    EXPECT_EQ(unit->word(0xB68A), 0x0010);
    link.SendCommandText(QStringLiteral("#8AFFFE"));  // -2
    EXPECT_EQ(unit->word(0xB68A), 0x000E);
    EXPECT_EQ(unit->counters().addsApplied, 2);
}

TEST_F(MemoryCommands, The1600AddToWordTakesThreeAddressDigits) {
    makeUnit(family1600());
    ASSERT_TRUE(link.fWriteAccess());
    link.SendCommandText(QStringLiteral("#6BE4000"));
    EXPECT_EQ(unit->word(0x16BE), 0x4000);
}

TEST_F(MemoryCommands, AddWithoutAccessChangesNothing) {
    link.SendCommandText(QStringLiteral("#8C0100"));
    EXPECT_EQ(unit->word(0xB68C), 0);
    EXPECT_EQ(unit->counters().adds, 1);
}

TEST_F(MemoryCommands, ChecksumIsRecalculatedAfterTheCommandAndTheUnitIsDeafMeanwhile) {
    EXPECT_TRUE(unit->checksumValid());
    ASSERT_TRUE(link.fWriteAccess());
    ASSERT_TRUE(link.fWriteToUnit(QStringLiteral("B688"), QStringLiteral("0101")));
    EXPECT_FALSE(unit->checksumValid());
    link.SendCommandText(UnitCommand::RecalculateChecksum);
    EXPECT_EQ(read(0xB688), kReadError);  // busy
    clock.delay(2000);
    EXPECT_TRUE(unit->checksumValid());
    QString checksum;
    ASSERT_TRUE(access.ReadChecksumByte(port, checksum));
    // The map B600-B6FF plus the checksum byte sums to a multiple of 256.
    int sum = checksum.toInt(nullptr, 16);
    for (int a = 0xB600; a <= 0xB6FF; ++a) {
        sum += unit->byte(a);
    }
    EXPECT_EQ(sum % 256, 0);
}

TEST_F(MemoryCommands, The1600ChecksumCoversTheThreePagesUpTo18FE) {
    makeUnit(family1600());
    int sum = 0;
    for (int a = 0x1600; a <= 0x18FF; ++a) {
        sum += unit->byte(a);
    }
    EXPECT_EQ(sum % 256, 0);
    unit->setWord(0x18FE, static_cast<quint16>(unit->word(0x18FE) ^ 0x0100));  // last summed byte
    EXPECT_FALSE(unit->checksumValid());
}

TEST_F(MemoryCommands, ChannelSelectionIsStoredAndReadBack) {
    QString channels;
    ASSERT_TRUE(link.fGetChannels(channels));
    EXPECT_EQ(channels, QStringLiteral("3C07000000"));
    state.calMode = CalMode::Pendulum;
    ASSERT_TRUE(link.fSetChannels(false));
    ASSERT_TRUE(link.fGetChannels(channels));
    EXPECT_EQ(channels, QStringLiteral("2007C00000"));
}

TEST_F(MemoryCommands, CommandsAtAnotherRateAreIgnoredButRecorded) {
    ASSERT_TRUE(link.fWriteAccess());
    const int reads = unit->counters().reads;
    port.setSettings(QStringLiteral("19200,n,8,1"));
    link.SendCommandText(QStringLiteral("#8C0100"));
    EXPECT_EQ(unit->word(0xB68C), 0);
    read(0xB68C);  // what comes back is the garbled stream
    const auto& received = unit->receivedBytes();
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.back().pcBaud, 19200);
    EXPECT_EQ(unit->counters().reads, reads);
    EXPECT_EQ(unit->counters().adds, 0);
}

TEST_F(MemoryCommands, ALoneWriteByteTimesOutAndLaterCommandsWork) {
    port.output(QByteArray("{"));  // the baud test's probe
    clock.delay(600);
    EXPECT_EQ(read(0x0000), QStringLiteral("4C03"));
}

TEST_F(MemoryCommands, ReceivedBytesAreRecordedWithTheirPacing) {
    link.SendCommandText(QStringLiteral(">2007C00000"));
    const auto& received = unit->receivedBytes();
    ASSERT_EQ(received.size(), 11u);
    EXPECT_EQ(received[0].byte, '>');
    for (size_t i = 1; i < received.size(); ++i) {
        EXPECT_EQ(received[i].timeMs - received[i - 1].timeMs, 50);
        EXPECT_EQ(received[i].pcBaud, 9600);
    }
    EXPECT_EQ(unit->channels(), QStringLiteral("2007C00000"));
}

class Faults : public UnitSimFixture {};

TEST_F(Faults, ReadAnswersCanBeMissingShortOrLong) {
    unit->setFault(Fault::NoReadAnswer);
    EXPECT_EQ(read(0x0000), kReadError);
    unit->clearFaults();
    unit->setFault(Fault::OneByteAnswer);
    EXPECT_EQ(read(0x0000), kReadError);
    unit->clearFaults();
    unit->setFault(Fault::ThreeByteAnswer);
    unit->setFault(Fault::StreamOff);
    port.output(QByteArray("\x7D"));
    clock.delay(20);
    port.discardInput();
    port.output(QByteArray("\x00\x00", 2));
    clock.delay(10);
    EXPECT_EQ(port.input(), QByteArray("\x4C\x03\x3C", 3));
}

TEST_F(Faults, SilentAfterReadsAnswersExactlyN) {
    unit->setFault(Fault::SilentAfterReads, 2);
    EXPECT_NE(read(0x0000), kReadError);
    EXPECT_NE(read(0x0000), kReadError);
    EXPECT_EQ(read(0x0000), kReadError);
    EXPECT_EQ(unit->counters().reads, 3);
    EXPECT_EQ(unit->counters().readsAnswered, 2);
}

TEST_F(Faults, RefusedWritesFailVerificationButAccessStillSwitches) {
    unit->setFault(Fault::RefuseWrites);
    ASSERT_TRUE(link.fWriteAccess());
    EXPECT_FALSE(link.fWriteToUnit(QStringLiteral("B68C"), QStringLiteral("0001")));
    link.SendCommandText(QStringLiteral("#8C0001"));
    EXPECT_EQ(unit->word(0xB68C), 0);
}

TEST_F(Faults, ModemAnswersOkToAt) {
    unit->setFault(Fault::StreamOff);
    clock.delay(100);
    port.output(QByteArray("AT\r"));
    EXPECT_TRUE(listen(200).isEmpty());
    unit->setFault(Fault::Modem);
    port.output(QByteArray("AT\r"));
    EXPECT_EQ(listen(200), QByteArray("OK\r\n"));
    EXPECT_EQ(unit->counters().modemProbes, 1);

    // Like a modem it follows the rate it is spoken to, whatever the unit's own rate.
    port.setSettings(QStringLiteral("2400,n,8,1"));
    port.output(QByteArray("at\r"));
    EXPECT_EQ(listen(200), QByteArray("OK\r\n"));
}

TEST(ModemLine, AnAnswerAmongGarbledStreamBytesArrivesWhole) {
    // A modem streaming at 19200 answers a PC at 9600, whose port hears the stream as garble. A
    // simulator woken late takes many bytes at once, wherever the last take ended: the answer
    // must still come out in one piece, after the garble of what was sent before it.
    for (double firstTakeMs = 0; firstTakeMs < 8; firstTakeMs += 0.25) {
        unitsim::OutputLine line(19200, 1);
        line.send(QByteArray("I 1.0 2 3\r"), 0, true);
        line.sendAtRate(QByteArray("OK\r\n"), 0, 9600);
        line.send(QByteArray("I 4.0 5 6\r"), 0, true);
        QByteArray heard = line.take(firstTakeMs, 9600);
        heard += line.take(100, 9600);
        EXPECT_TRUE(heard.contains("OK\r\n")) << "first take at " << firstTakeMs << " ms";
    }
}

}  // namespace
}  // namespace tarquel
