// The unit link against the simulated unit on virtual time: the memory commands on the wire,
// identification of both families, write access, the output channels and the checksum command.
#include "platform/Errors.h"
#include "support/SimRig.h"
#include "unitlink/UnitCommands.h"

namespace tarquel {
namespace {

using unitsim::Fault;
using unitsim::MapFamily;

class UnitLinkWire : public test::SimRig {
protected:
    UnitLinkWire() { makeUnit(quietUnit()); }
    // Puts text into the unit's memory from address on, two bytes a word.
    void putText(int address, const QByteArray& text) {
        for (qsizetype i = 0; i < text.size(); i += 2) {
            const int high = static_cast<quint8>(text[i]);
            const int low = i + 1 < text.size() ? static_cast<quint8>(text[i + 1]) : 0;
            unit->setWord(address + static_cast<int>(i), static_cast<quint16>(high << 8 | low));
        }
    }
};

TEST_F(UnitLinkWire, CommandsGoOutWithTheirPausesAnswersAreTakenAtOnceAndWritesAreVerified) {
    link.SendCommandText(QStringLiteral(">3C"));
    EXPECT_EQ(wire(), (Wire{{0, ">"}, {50, "3"}, {100, "C"}}));
    system.clearWrites();
    const qint64 start = clock.tickCount();
    unit->setWord(0xB68A, 0x8000);
    EXPECT_EQ(link.fReadFromUnit(QStringLiteral("b68a")), QStringLiteral("8000"));
    EXPECT_EQ(wire(), (Wire{{0, "\x7D"}, {20, "\xB6\x8A"}}));
    EXPECT_LT(clock.tickCount() - start, 30) << "no waiting out the deadline";

    ASSERT_TRUE(link.fWriteAccess());
    system.clearWrites();
    EXPECT_TRUE(link.fWriteToUnit(QStringLiteral("000C"), QStringLiteral("3A3A")));
    EXPECT_EQ(wire(), (Wire{{0, QByteArray("\x7B\x00\x0C\x3A\x3A", 5)},
                            {50, "\x7D"},
                            {70, QByteArray("\x00\x0C", 2)}}));
    EXPECT_FALSE(link.fWriteToUnit(QStringLiteral("B608"), QStringLiteral("0a0b")))
        << "the unit answers uppercase, so a lowercase value never verifies";
    EXPECT_EQ(unit->word(0xB608), 0x0A0B);
    line.refusedWrites = {0xB608};
    EXPECT_TRUE(link.fWriteToUnit(QStringLiteral("B608"), QStringLiteral("1414"), true));

    system.clearWrites();
    link.RecalculateChecksum();
    EXPECT_EQ(wire(), (Wire{{0, UnitCommand::RecalculateChecksum.toLatin1()}}));
    EXPECT_EQ(clock.tickCount() - system.writes().back().timeMs, 50 + kChecksumWaitMs);
    EXPECT_EQ(link.checksumRecalculations(), 1);
}

TEST_F(UnitLinkWire, ASilentUnitFailsQuicklyAndShortMissingAndLongAnswersAreHandled) {
    unit->setFault(Fault::NoReadAnswer);
    qint64 start = clock.tickCount();
    EXPECT_FALSE(link.fInit(true)) << "both passes fail, and quickly";
    EXPECT_LT(clock.tickCount() - start, 400);
    EXPECT_FALSE(link.fWriteAccess());
    EXPECT_FALSE(link.writeAccessEnabled());
    EXPECT_FALSE(written().contains('\x7B')) << "nothing is written";

    unit->setWord(0x1000, 0x1234);
    for (const auto& [fault, word, atLeastMs] : {std::tuple{Fault::OneByteAnswer, "Error", 120},
                                                 std::tuple{Fault::NoReadAnswer, "Error", 120},
                                                 std::tuple{Fault::ThreeByteAnswer, "1234", 0}}) {
        unit->clearFaults();
        unit->setFault(fault);
        clock.delay(300);  // the unit's quiet time after the previous read
        start = clock.tickCount();
        EXPECT_EQ(read(0x1000), QLatin1String(word)) << static_cast<int>(fault);
        EXPECT_GE(clock.tickCount() - start, atLeastMs);
        EXPECT_LE(clock.tickCount() - start, 122);
        EXPECT_EQ(port.inBufferCount(), 0) << "extra bytes are taken and thrown away";
    }
    EXPECT_TRUE(boxes.shown().empty()) << "a failed read shows no message";
}

TEST_F(UnitLinkWire, BadTextsSendNothingAndThePortIsLeftAsItWas) {
    port.setPortOpen(false);
    EXPECT_EQ(link.fReadFromUnit(QStringLiteral("B6G0")), kReadError);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Memory Read Failed!"));
    EXPECT_EQ(boxes.shown()[0].prompt,
              QStringLiteral("Read locations must be 4 hexadecimal digits in length."));
    EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(link.fWriteToUnit(QStringLiteral("00C"), QStringLiteral("3A3A")));
    EXPECT_FALSE(link.fWriteToUnit(QStringLiteral("000C"), QStringLiteral("3A3")));
    EXPECT_TRUE(system.writes().empty());
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

TEST_F(UnitLinkWire, TheB600UnitIsFoundInTheFirstPassOnceAndItsTextEndsAtTheFourthTerminator) {
    ASSERT_TRUE(link.fInit(true));
    EXPECT_TRUE(link.unitAddresses().isB600Family);
    EXPECT_EQ(link.idText(), QStringLiteral("CV-3100 Version 4.20 \r\nCopyright (C) 2004-09\r\n"
                                            "Corvane Industries Inc.\r\nAll Rights Reserved"));
    for (const auto& w : system.writes()) {
        if (w.bytes.size() == 2) {
            EXPECT_EQ(static_cast<quint8>(w.bytes[0]) & 0xF0, 0xC0) << "only the C000 area is read";
        }
    }
    QString checksum;
    ASSERT_TRUE(link.access().ReadChecksumByte(port, checksum));
    EXPECT_EQ(checksum, hex(unit->word(0xB7FF)).left(2));
    system.clearWrites();
    EXPECT_TRUE(link.fInit(false));
    EXPECT_TRUE(system.writes().empty()) << "identified once, not again";

    // Word C006 is 'n' 00: the string ends with 'n' and CR LF. Word C012 is 00 'c': a lone CR,
    // and 'c' starts the next string. The fourth terminator adds nothing.
    for (const auto& [memory, text] :
         {std::pair{QByteArray("version\0copyright!\0corvane industries\0X\0", 40),
                    "version\r\ncopyright!\rcorvane industries\r\nX"},
          std::pair{QByteArray("version copyright corvane industries\0A\0B\0C\0D\0", 45),
                    "version copyright corvane industries\rA\rB\rC"}}) {
        putText(0xC000, memory);
        ASSERT_TRUE(link.fInit(true));
        EXPECT_EQ(link.idText(), QLatin1String(text));
    }
}

TEST_F(UnitLinkWire, The1600UnitIsFoundInTheSecondPassWithItsRevisionAndItsLeadingFF) {
    ASSERT_TRUE(link.fInit(true));
    makeUnit(quietUnit(MapFamily::F1600));
    ASSERT_TRUE(link.fInit(true));
    EXPECT_TRUE(link.unitAddresses().is1600Family);
    EXPECT_EQ(link.access().unitMap().mapBase, QStringLiteral("B600")) << "the first family stays";
    EXPECT_EQ(link.idText(),
              QStringLiteral("\u00FFCV-3100 Version 5.10 Rev C2\r\nCopyright (C) "
                             "2006-09\r\nCorvane Industries Inc.\r\nAll Rights Reserved"));

    // Without the leading FF the second pass fails; a failed identification keeps the table.
    unit->setWord(0x4000, static_cast<quint16>('C' << 8 | unit->byte(0x4001)));
    EXPECT_FALSE(link.fInit(true));
    EXPECT_TRUE(link.unitAddresses().is1600Family);
}

TEST_F(UnitLinkWire, WriteAccessIsSwitchedOnOncePerRunOffOnRequestAndByEitherByte) {
    ASSERT_TRUE(link.fInit(true));
    system.clearWrites();
    EXPECT_TRUE(link.fWriteAccess());
    EXPECT_EQ(system.writes().front().bytes, QByteArray("\x7B\x00\x0C\x3A\x3A", 5));
    const size_t count = system.writes().size();
    EXPECT_TRUE(link.fWriteAccess());
    EXPECT_EQ(system.writes().size(), count) << "the second call sends nothing";
    link.switchWriteAccessOff();
    EXPECT_FALSE(unit->writeAccess());
    EXPECT_TRUE(link.fWriteAccess()) << "the next change switches it on again";
    EXPECT_TRUE(unit->writeAccess());

    // The write is refused, but the unit already shows "00" in its low byte.
    line.refusedWrites = {0x000C};
    unit->setWord(0x000C, 0x3A00);
    EXPECT_TRUE(link.access().SetWriteAccess(port, false));
    unit->setWord(0x000C, 0x3A3A);
    EXPECT_FALSE(link.access().SetWriteAccess(port, false));

    // The 1600 family's code is the high byte; the low byte stays.
    makeUnit(quietUnit(MapFamily::F1600));
    unit->setWord(0x200E, 0x0025);
    UnitLink fresh(port, clock, boxes);
    ASSERT_TRUE(fresh.fWriteAccess());
    EXPECT_EQ(unit->word(0x200E), 0x2E25);
}

TEST_F(UnitLinkWire, TheSelectionIsRecordedOnceWithTheFormatAndPutBack) {
    // Only the 1600 family has a fifth selection byte: the B600 family's reads as 00.
    for (const auto& [family, selection] :
         {std::pair{MapFamily::B600, "3C07000000"}, std::pair{MapFamily::F1600, "3C070000C0"}}) {
        unitsim::UnitConfig config = quietUnit(family);
        config.channels = QStringLiteral("3C070000C0");
        makeUnit(config);
        ASSERT_TRUE(link.fInit(true));
        QString read;
        ASSERT_TRUE(link.fGetChannels(read));
        EXPECT_EQ(read, QLatin1String(selection));
    }
    makeUnit(quietUnit());
    ASSERT_TRUE(link.fInit(true));
    EXPECT_FALSE(link.restoreChannels()) << "nothing recorded, nothing to put back";
    line.silentReads = {0x0004};
    EXPECT_FALSE(link.recordChannels()) << "a failed word read records nothing";
    line.silentReads.clear();
    link.setDataFormat(DataFormat::Binary);
    ASSERT_TRUE(link.recordChannels());
    EXPECT_EQ(link.recordedFormat(), DataFormat::Binary);
    ASSERT_TRUE(link.fSetChannels(kPendChannels));
    EXPECT_EQ(unit->channels(), kPendChannels);
    system.clearWrites();
    EXPECT_TRUE(link.recordChannels());
    EXPECT_TRUE(system.writes().empty()) << "recorded once per run";
    ASSERT_TRUE(link.restoreChannels());
    EXPECT_EQ(system.bytesWritten(1), QByteArray(">3C07000000"));
}

}  // namespace
}  // namespace tarquel
