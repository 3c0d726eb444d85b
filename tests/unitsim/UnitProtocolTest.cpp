// The simulated unit's side of the memory protocol, driven through the PC's unit link on virtual
// time: access, add-to-word, the checksum, other line rates, and the faults it can play.
#include "support/SimRig.h"
#include "unitlink/UnitCommands.h"
#include "unitsim/OutputLine.h"

#include <tuple>

namespace tarquel {
namespace {

using unitsim::Fault;
using unitsim::MapFamily;

class UnitProtocol : public test::SimRig {};

TEST_F(UnitProtocol, AnIdentificationStringOfOddLengthEndsWithoutAPaddingSpace) {
    // Each string and its terminating 0 fill whole words: the default model's string, of even
    // length, gets a padding space (the unit link's tests); one of odd length needs none.
    unitsim::UnitConfig config;
    config.model = QStringLiteral("CV-4");
    makeUnit(config);
    ASSERT_TRUE(link.fInit(true));
    EXPECT_EQ(link.idText(), QStringLiteral("CV-4 Version 4.20\r\nCopyright (C) 2004-09\r\n"
                                            "Corvane Industries Inc.\r\nAll Rights Reserved"));
}

TEST_F(UnitProtocol, EepromWritesNeedAccessWhichAUnitRefusingWritesStillGrants) {
    ASSERT_TRUE(link.fInit(true));
    EXPECT_FALSE(link.fWriteToUnit(QStringLiteral("B68C"), QStringLiteral("1234")));
    EXPECT_EQ(unit->word(0xB68C), 0);
    EXPECT_FALSE(link.fWriteToUnit(QStringLiteral("B7FE"), QStringLiteral("0000")))
        << "the checksum byte is EEPROM";
    EXPECT_TRUE(link.fWriteToUnit(QStringLiteral("0000"), QStringLiteral("0403")))
        << "configuration words need no access";
    unit->setFault(Fault::RefuseWrites);
    ASSERT_TRUE(link.fWriteAccess());
    EXPECT_FALSE(link.fWriteToUnit(QStringLiteral("B68C"), QStringLiteral("0001")));
    link.SendCommandText(QStringLiteral("#8C0001"));
    EXPECT_EQ(unit->word(0xB68C), 0);
    unit->clearFaults();
    EXPECT_TRUE(link.fWriteToUnit(QStringLiteral("B68C"), QStringLiteral("1234")));
    EXPECT_EQ(read(0xB68C), QStringLiteral("1234"));
}

TEST(UnitLayout, AccessIsGrantedByTheUnlockCodeOfTheFamily) {
    using enum MapFamily;
    using Row = std::tuple<MapFamily, quint16, bool>;
    for (const auto& [family, word, granted] :
         {Row{B600, 0x3A3A, true}, Row{B600, 0x003A, true}, Row{B600, 0x3B00, false},
          Row{F1600, 0x2E25, true}, Row{F1600, 0x002E, false}, Row{F1600, 0x3A3A, false}}) {
        EXPECT_EQ(unitsim::UnitLayout::of(family).accessGranted(word), granted) << std::hex << word;
    }
}

TEST_F(UnitProtocol, AddToWordWrapsTakesTheFamilysShortAddressAndNeedsAccess) {
    for (const auto& [family, access, command, address, before, after] :
         {std::tuple{MapFamily::B600, true, "#8A0020 ", 0xB68A, 0xFFF0, 0x0010},
          std::tuple{MapFamily::B600, true, "#8AFFFE", 0xB68A, 0x0010, 0x000E},
          std::tuple{MapFamily::F1600, true, "#6BE4000", 0x16BE, 0x0000, 0x4000},
          std::tuple{MapFamily::B600, false, "#8C0100", 0xB68C, 0x0000, 0x0000}}) {
        makeUnit(quietUnit(family));
        UnitLink fresh(port, clock, boxes);  // a link that meets this unit first
        if (access) {
            ASSERT_TRUE(fresh.fWriteAccess());
        }
        unit->setWord(address, static_cast<quint16>(before));
        fresh.SendCommandText(QLatin1String(command));
        EXPECT_EQ(unit->word(address), after) << command;
        EXPECT_EQ(unit->counters().adds, 1);
    }
}

TEST_F(UnitProtocol, TheChecksumCoversTheFamilysMapAndIsRecalculatedWhileTheUnitIsDeaf) {
    for (const auto& [family, first, last, checksumAt] :
         {std::tuple{MapFamily::B600, 0xB600, 0xB6FF, 0xB7FF},
          std::tuple{MapFamily::F1600, 0x1600, 0x18FE, 0x18FF}}) {
        makeUnit(quietUnit(family));
        int sum = unit->byte(checksumAt);
        for (int a = first; a <= last; ++a) {
            sum += unit->byte(a);
        }
        EXPECT_EQ(sum % 256, 0) << "the map and its checksum byte sum to a multiple of 256";
        unit->setWord(last - 1, static_cast<quint16>(unit->word(last - 1) ^ 0x0001));
        EXPECT_FALSE(unit->checksumValid()) << "the last summed byte counts";
    }
    makeUnit(quietUnit());
    unit->setWord(0xB688, 0x0101);
    link.SendCommandText(UnitCommand::RecalculateChecksum);
    EXPECT_EQ(read(0xB688), kReadError) << "busy";
    clock.delay(2000);
    EXPECT_TRUE(unit->checksumValid());
    EXPECT_EQ(read(0xB688), QStringLiteral("0101"));
}

TEST_F(UnitProtocol, CommandsAtAnotherRateAreIgnoredButRecordedAndALoneWriteByteTimesOut) {
    ASSERT_TRUE(link.fWriteAccess());
    const int reads = unit->counters().reads;
    port.setSettings(QStringLiteral("19200,n,8,1"));
    link.SendCommandText(QStringLiteral("#8C0100"));
    read(0xB68C);  // what comes back is the garbled stream
    ASSERT_FALSE(unit->receivedBytes().empty());
    EXPECT_EQ(unit->receivedBytes().back().pcBaud, 19200);
    EXPECT_EQ(unit->counters().reads, reads);
    EXPECT_EQ(unit->counters().adds, 0);

    port.setSettings(QStringLiteral("9600,n,8,1"));
    port.output(QByteArray("{"));  // the baud test's probe
    clock.delay(600);
    EXPECT_EQ(read(0x0000), QStringLiteral("4C03"));
}

TEST_F(UnitProtocol, ReadFaultsGiveNoShortOrLongAnswers) {
    for (const auto& [fault, answer] :
         {std::pair{Fault::NoReadAnswer, QByteArray()},
          std::pair{Fault::OneByteAnswer, QByteArray("\x4C")},
          std::pair{Fault::ThreeByteAnswer, QByteArray("\x4C\x03\x3C", 3)}}) {
        makeUnit(quietUnit());
        unit->setFault(fault);
        port.output(QByteArray("\x7D"));
        clock.delay(20);
        port.discardInput();
        port.output(QByteArray("\x00\x00", 2));
        clock.delay(10);
        EXPECT_EQ(port.input(), answer) << static_cast<int>(fault);
    }
}

TEST_F(UnitProtocol, SilentAfterReadsAnswersExactlyN) {
    unit->setFault(Fault::SilentAfterReads, 2);
    const QStringList answers{read(0x0000), read(0x0000), read(0x0000)};  // in this order
    EXPECT_EQ(answers, (QStringList{QStringLiteral("4C03"), QStringLiteral("4C03"), kReadError}));
    EXPECT_EQ(unit->counters().reads, 3);
    EXPECT_EQ(unit->counters().readsAnswered, 2);
}

TEST_F(UnitProtocol, AModemAnswersOkToAtAtTheRateItIsSpokenTo) {
    unit->setFault(Fault::StreamOff);
    clock.delay(100);
    port.output(QByteArray("AT\r"));
    EXPECT_TRUE(listen(200).isEmpty());
    unit->setFault(Fault::Modem);
    port.output(QByteArray("AT\r"));
    EXPECT_EQ(listen(200), QByteArray("OK\r\n"));
    EXPECT_EQ(unit->counters().modemProbes, 1);
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
