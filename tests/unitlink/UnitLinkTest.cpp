// The unit link against the simulated unit on virtual time: the memory commands on the wire,
// identification of both families, write access, the output channels and the checksum command.
#include "platform/Errors.h"
#include "support/SimRig.h"
#include "unitlink/UnitCommands.h"

namespace tarquel {
namespace {

using unitsim::Fault;
using unitsim::MapFamily;

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) {
        out.append(static_cast<char>(v));
    }
    return out;
}

class UnitLinkWire : public test::SimRig {
protected:
    UnitLinkWire() { makeUnit(quietUnit()); }
    const std::vector<FakePortSystem::WriteRecord>& writes() const { return system.writes(); }
    // Puts text into the unit's memory from address on, two bytes a word.
    void putText(int address, const QByteArray& text) {
        for (qsizetype i = 0; i < text.size(); i += 2) {
            const int high = static_cast<quint8>(text[i]);
            const int low = i + 1 < text.size() ? static_cast<quint8>(text[i + 1]) : 0;
            unit->setWord(address + static_cast<int>(i), static_cast<quint16>(high << 8 | low));
        }
    }
};

TEST_F(UnitLinkWire, CommandTextGoesOutOneCharacterEveryFiftyMilliseconds) {
    const qint64 start = clock.tickCount();
    link.SendCommandText(QStringLiteral(">3C"));
    ASSERT_EQ(writes().size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(writes()[i].bytes.size(), 1);
        EXPECT_EQ(writes()[i].timeMs - start, static_cast<qint64>(50 * i));
    }
    EXPECT_EQ(clock.tickCount() - start, 150) << "the pause follows the last character too";
}

TEST_F(UnitLinkWire, ReadSendsTheCommandThenTheAddressAndTakesACompleteAnswerAtOnce) {
    unit->setWord(0xB68A, 0x8000);
    const qint64 start = clock.tickCount();
    EXPECT_EQ(link.fReadFromUnit(QStringLiteral("b68a")), QStringLiteral("8000"));
    ASSERT_EQ(writes().size(), 2u);
    EXPECT_EQ(writes()[0].bytes, bytes({0x7D}));
    EXPECT_EQ(writes()[1].bytes, bytes({0xB6, 0x8A}));
    EXPECT_EQ(writes()[1].timeMs - writes()[0].timeMs, 20);
    EXPECT_LT(clock.tickCount() - start, 30) << "no waiting out the deadline";
}

TEST_F(UnitLinkWire, ShortMissingOrLongAnswers) {
    unit->setWord(0x1000, 0x1234);
    const struct {
        Fault fault;
        const char* word;
        qint64 atLeastMs;
    } rows[] = {{Fault::OneByteAnswer, "Error", 120},
                {Fault::NoReadAnswer, "Error", 120},
                {Fault::ThreeByteAnswer, "1234", 0}};
    for (const auto& row : rows) {
        unit->clearFaults();
        unit->setFault(row.fault);
        clock.delay(300);  // the unit's quiet time after the previous read
        const qint64 start = clock.tickCount();
        EXPECT_EQ(read(0x1000), QLatin1String(row.word)) << static_cast<int>(row.fault);
        EXPECT_GE(clock.tickCount() - start, row.atLeastMs);
        EXPECT_LE(clock.tickCount() - start, 122);
        EXPECT_EQ(port.inBufferCount(), 0) << "extra bytes are taken and thrown away";
    }
    EXPECT_TRUE(boxes.shown().empty()) << "a failed read shows no message";
}

TEST_F(UnitLinkWire, StreamedBytesBeforeTheAddressAreNotTakenForTheAnswer) {
    port.feed("I 123 45 67\r");
    EXPECT_EQ(read(0x0000), QStringLiteral("4C03"));
}

TEST_F(UnitLinkWire, BadAddressTextShowsTheBoxSendsNothingAndLeavesThePortAsItWas) {
    port.setPortOpen(false);
    for (const char* address : {"B68", "B6G0", "B68A0"}) {
        boxes.clear();
        EXPECT_EQ(link.fReadFromUnit(QLatin1String(address)), kReadError);
        ASSERT_EQ(boxes.shown().size(), 1u) << address;
        EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Memory Read Failed!"));
        EXPECT_EQ(boxes.shown()[0].prompt,
                  QStringLiteral("Read locations must be 4 hexadecimal digits in length."));
        EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Critical);
    }
    EXPECT_TRUE(writes().empty());
    EXPECT_FALSE(port.portOpen()) << "the port it opened is closed again";
    EXPECT_EQ(read(0x0000), QStringLiteral("4C03"));
    EXPECT_FALSE(port.portOpen());

    port.setPortOpen(true);
    port.setInputLen(7);
    EXPECT_EQ(read(0x0000), QStringLiteral("4C03"));
    EXPECT_EQ(port.inputLen(), 7);
    port.injectError(FakeSerialPort::Operation::Input, ErrorNumber::ReadFailed);
    EXPECT_EQ(read(0x0000), kReadError) << "a port error becomes the error text";
}

TEST_F(UnitLinkWire, WriteSendsFiveBytesInOneWriteThenVerifiesTheTextExactly) {
    ASSERT_TRUE(link.fWriteAccess());
    system.clearWrites();
    EXPECT_TRUE(link.fWriteToUnit(QStringLiteral("000C"), QStringLiteral("3A3A")));
    ASSERT_EQ(writes().size(), 3u);
    EXPECT_EQ(writes()[0].bytes, bytes({0x7B, 0x00, 0x0C, 0x3A, 0x3A}));
    EXPECT_EQ(writes()[1].bytes, bytes({0x7D}));
    EXPECT_EQ(writes()[1].timeMs - writes()[0].timeMs, 50);
    EXPECT_EQ(writes()[2].bytes, bytes({0x00, 0x0C}));

    EXPECT_FALSE(link.fWriteToUnit(QStringLiteral("B608"), QStringLiteral("0a0b")))
        << "the unit answers uppercase, so a lowercase value never verifies";
    EXPECT_EQ(unit->word(0xB608), 0x0A0B);
    line.refusedWrites = {0xB608};
    EXPECT_FALSE(link.fWriteToUnit(QStringLiteral("B608"), QStringLiteral("1414")));
    EXPECT_TRUE(link.fWriteToUnit(QStringLiteral("B608"), QStringLiteral("1414"), true))
        << "with verification skipped the write is taken on trust";

    system.clearWrites();
    for (const auto& [address, value] :
         {std::pair{"000C", "3A3"}, std::pair{"00C", "3A3A"}, std::pair{"B608", "FFZZ"}}) {
        EXPECT_FALSE(link.fWriteToUnit(QLatin1String(address), QLatin1String(value)));
    }
    EXPECT_TRUE(writes().empty()) << "malformed texts send nothing";
}

TEST_F(UnitLinkWire, ChecksumCommandIsTheDoubleQuoteAndTheTwelveSecondWait) {
    const qint64 start = clock.tickCount();
    link.RecalculateChecksum();
    EXPECT_EQ(system.bytesWritten(1), QByteArray(UnitCommand::RecalculateChecksum.toLatin1()));
    EXPECT_EQ(system.bytesWritten(1), QByteArray("\""));
    EXPECT_EQ(clock.tickCount() - start, 50 + kChecksumWaitMs);
    EXPECT_EQ(link.checksumRecalculations(), 1);
}

// Identification ----------------------------------------------------------------------------

TEST_F(UnitLinkWire, TheB600UnitIsFoundInTheFirstPassWithItsAddresses) {
    ASSERT_TRUE(link.fInit(true));
    EXPECT_TRUE(link.unitAddresses().isB600Family);
    EXPECT_EQ(link.unitAddresses().xBiasWord, QStringLiteral("B68C"));
    EXPECT_EQ(link.access().unitMap().accessAddress, QStringLiteral("000C"));
    EXPECT_EQ(link.idText(), QStringLiteral("CV-3100 Version 4.20 \r\nCopyright (C) 2004-09\r\n"
                                            "Corvane Industries Inc.\r\nAll Rights Reserved"));
    for (const auto& w : writes()) {
        if (w.bytes.size() == 2) {
            EXPECT_EQ(static_cast<quint8>(w.bytes[0]) & 0xF0, 0xC0) << "only the C000 area is read";
        }
    }
    QString checksum;
    ASSERT_TRUE(link.access().ReadChecksumByte(port, checksum));
    EXPECT_EQ(checksum, hex(unit->word(0xB7FF)).left(2));

    system.clearWrites();
    EXPECT_TRUE(link.fInit(false));
    EXPECT_TRUE(writes().empty()) << "identified once, not again";
}

TEST_F(UnitLinkWire, TerminatorsEndStringsWithCrOrCrLfAndTheFourthEndsTheText) {
    // Word C006 is 'n' 00: the string ends with 'n' and CR LF. Word C012 is 00 'c': a lone CR,
    // and 'c' starts the next string. The fourth terminator adds nothing.
    const struct {
        QByteArray memory;
        const char* text;
    } rows[] = {
        {QByteArray("version\0copyright!\0corvane industries\0X\0", 40),
         "version\r\ncopyright!\rcorvane industries\r\nX"},
        {QByteArray("version copyright corvane industries\0A\0B\0C\0D\0", 45),
         "version copyright corvane industries\rA\rB\rC"},
    };
    for (const auto& row : rows) {
        putText(0xC000, row.memory);
        ASSERT_TRUE(link.fInit(true));
        EXPECT_EQ(link.idText(), QLatin1String(row.text));
    }
}

TEST_F(UnitLinkWire, The1600UnitIsFoundInTheSecondPassWithItsRevisionAndItsLeadingFF) {
    makeUnit(quietUnit(MapFamily::F1600));
    ASSERT_TRUE(link.fInit(true));
    EXPECT_TRUE(link.unitAddresses().is1600Family);
    EXPECT_EQ(link.unitAddresses().northRotationWord, QStringLiteral("16BE"));
    const UnitMap& map = link.access().unitMap();
    EXPECT_EQ(map.accessAddress, QStringLiteral("200E"));
    EXPECT_EQ(map.mapBase, QStringLiteral("1600"));
    EXPECT_EQ(map.lastPage, 2);
    EXPECT_TRUE(link.idText().startsWith(QStringLiteral("\u00FFCV-3100 Version 5.10 Rev C2\r\n")))
        << link.idText().toStdString();

    // Without the leading FF the second pass fails, and a failed identification keeps the table.
    unit->setWord(0x4000, static_cast<quint16>('C' << 8 | unit->byte(0x4001)));
    EXPECT_FALSE(link.fInit(true));
    EXPECT_TRUE(link.unitAddresses().is1600Family);
}

TEST_F(UnitLinkWire, TheUnitMapKeepsTheFirstFamilyWhileTheAddressTableFollowsTheLatest) {
    ASSERT_TRUE(link.fInit(true));
    makeUnit(quietUnit(MapFamily::F1600));
    ASSERT_TRUE(link.fInit(true));
    EXPECT_TRUE(link.unitAddresses().is1600Family);
    EXPECT_EQ(link.access().unitMap().mapBase, QStringLiteral("B600"));
}

TEST_F(UnitLinkWire, ASilentUnitFailsBothPassesQuicklyAndGetsNoWriteAccess) {
    unit->setFault(Fault::NoReadAnswer);
    const qint64 start = clock.tickCount();
    EXPECT_FALSE(link.fInit(true));
    EXPECT_LT(clock.tickCount() - start, 400);
    EXPECT_FALSE(link.fWriteAccess());
    EXPECT_FALSE(link.writeAccessEnabled());
    for (const auto& w : writes()) {
        EXPECT_NE(static_cast<quint8>(w.bytes[0]), 0x7B) << "nothing is written";
    }
    EXPECT_TRUE(boxes.shown().empty());
}

// Write access ------------------------------------------------------------------------------

TEST_F(UnitLinkWire, WriteAccessIsSwitchedOnOncePerRunAndOffOnRequest) {
    ASSERT_TRUE(link.fInit(true));
    system.clearWrites();
    EXPECT_TRUE(link.fWriteAccess());
    EXPECT_TRUE(link.writeAccessEnabled());
    EXPECT_EQ(unit->word(0x000C), 0x3A3A);
    EXPECT_EQ(writes().front().bytes, bytes({0x7B, 0x00, 0x0C, 0x3A, 0x3A}));
    const size_t count = writes().size();
    EXPECT_TRUE(link.fWriteAccess());
    EXPECT_EQ(writes().size(), count) << "the second call sends nothing";

    link.switchWriteAccessOff();
    EXPECT_FALSE(link.writeAccessEnabled());
    EXPECT_FALSE(unit->writeAccess());
    EXPECT_TRUE(link.fWriteAccess()) << "the next change switches it on again";
    EXPECT_TRUE(unit->writeAccess());
}

TEST_F(UnitLinkWire, The1600UnitKeepsTheLowByteOfItsAccessWord) {
    makeUnit(quietUnit(MapFamily::F1600));
    unit->setWord(0x200E, 0x0025);
    ASSERT_TRUE(link.fWriteAccess());
    EXPECT_EQ(unit->word(0x200E), 0x2E25);
}

TEST_F(UnitLinkWire, TheFinalCheckAcceptsEitherByteInTheB600Family) {
    ASSERT_TRUE(link.fInit(true));
    // The write is refused, but the unit already shows "00" in its low byte.
    line.refusedWrites = {0x000C};
    unit->setWord(0x000C, 0x3A00);
    EXPECT_TRUE(link.access().SetWriteAccess(port, false));
    unit->setWord(0x000C, 0x3A3A);
    EXPECT_FALSE(link.access().SetWriteAccess(port, false));
}

// Output channels ---------------------------------------------------------------------------

TEST_F(UnitLinkWire, TheSelectionIsFiveBytesOfThreeWordsByFamily) {
    const struct {
        MapFamily family;
        int base;
        quint16 words[3];
        const char* selection;
    } rows[] = {{MapFamily::B600, 0x0002, {0x3C07, 0x0000, 0x1234}, "3C07000000"},
                {MapFamily::F1600, 0x2002, {0x2007, 0xC000, 0x00FF}, "2007C00000"}};
    for (const auto& row : rows) {
        makeUnit(quietUnit(row.family));
        for (int i = 0; i < 3; ++i) {
            unit->setWord(row.base + 2 * i, row.words[i]);
        }
        ASSERT_TRUE(link.fInit(true));
        QString selection;
        ASSERT_TRUE(link.fGetChannels(selection));
        EXPECT_EQ(selection, QLatin1String(row.selection));
    }
}

TEST_F(UnitLinkWire, TheUnitsOwnSelectionIsRecordedOnceWithTheFormatAndPutBack) {
    ASSERT_TRUE(link.fInit(true));
    EXPECT_FALSE(link.restoreChannels()) << "nothing recorded, nothing to put back";
    line.silentReads = {0x0004};
    EXPECT_FALSE(link.recordChannels()) << "a failed word read records nothing";
    line.silentReads.clear();
    link.setDataFormat(DataFormat::Binary);
    ASSERT_TRUE(link.recordChannels());
    EXPECT_EQ(link.recordedChannels(), QStringLiteral("3C07000000"));
    EXPECT_EQ(link.recordedFormat(), DataFormat::Binary);

    ASSERT_TRUE(link.fSetChannels(kPendChannels));
    EXPECT_EQ(unit->channels(), QStringLiteral("2007C00000"));
    system.clearWrites();
    link.setDataFormat(DataFormat::Decimal);
    EXPECT_TRUE(link.recordChannels());
    EXPECT_TRUE(writes().empty()) << "recorded once per run";
    EXPECT_EQ(link.recordedChannels(), QStringLiteral("3C07000000"));
    ASSERT_TRUE(link.restoreChannels());
    EXPECT_EQ(system.bytesWritten(1), QByteArray(">3C07000000"));
    EXPECT_EQ(unit->channels(), QStringLiteral("3C07000000"));
}

}  // namespace
}  // namespace tarquel
