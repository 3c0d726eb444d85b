#include "UnitLinkFixture.h"
#include "platform/Errors.h"

namespace tarquel {
namespace {

using test::UnitLinkFixture;

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) {
        out.append(static_cast<char>(v));
    }
    return out;
}

class Primitives : public UnitLinkFixture {};

TEST_F(Primitives, CommandTextGoesOutOneCharacterEveryFiftyMilliseconds) {
    port.setPortOpen(true);
    const qint64 start = clock.tickCount();
    access.SendCommandText(QStringLiteral(">3C"), port);
    ASSERT_EQ(writes().size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(writes()[i].bytes.size(), 1);
        EXPECT_EQ(writes()[i].timeMs - start, static_cast<qint64>(50 * i));
    }
    EXPECT_EQ(clock.tickCount() - start, 150) << "the pause follows the last character too";

    access.SendCommandText(QString(), port);
    EXPECT_EQ(writes().size(), 3u);
    EXPECT_EQ(clock.tickCount() - start, 150);
}

TEST_F(Primitives, ChecksumCommandIsTheDoubleQuoteByte) {
    port.setPortOpen(true);
    access.SendCommandText(QString(QChar(34)), port);
    EXPECT_EQ(system.bytesWritten(1), QByteArray("\""));
}

class ReadWord : public UnitLinkFixture {};

TEST_F(ReadWord, SendsTheCommandThenTheAddressAndDecodesTheAnswer) {
    unit.setWord(0xB68A, 0x8000);
    port.setPortOpen(true);
    const qint64 start = clock.tickCount();
    EXPECT_EQ(access.ReadUnitWord(port, QStringLiteral("b68a")), QStringLiteral("8000"));
    ASSERT_EQ(writes().size(), 2u);
    EXPECT_EQ(writes()[0].bytes, bytes({0x7D}));
    EXPECT_EQ(writes()[1].bytes, bytes({0xB6, 0x8A}));
    EXPECT_EQ(writes()[1].timeMs - writes()[0].timeMs, 20);
    EXPECT_LT(clock.tickCount() - start, 30)
        << "a complete answer is taken without waiting out the deadline";

    unit.setWord(0x0002, 0x000A);
    EXPECT_EQ(access.ReadUnitWord(port, QStringLiteral("0002")), QStringLiteral("000A"));
}

TEST_F(ReadWord, ShortOrMissingAnswersGiveErrorAfterTheDeadlineAndExtraBytesAreDropped) {
    port.setPortOpen(true);
    unit.setWord(0x1000, 0x1234);
    unit.answerBytes = 1;
    qint64 start = clock.tickCount();
    EXPECT_EQ(access.ReadUnitWord(port, QStringLiteral("1000")), kReadError);
    EXPECT_GE(clock.tickCount() - start, 120);
    EXPECT_LE(clock.tickCount() - start, 122);

    unit.answerBytes = 0;
    EXPECT_EQ(access.ReadUnitWord(port, QStringLiteral("1000")), kReadError);

    unit.answerBytes = 3;
    EXPECT_EQ(access.ReadUnitWord(port, QStringLiteral("1000")), QStringLiteral("1234"));
    EXPECT_EQ(port.inBufferCount(), 0) << "the third byte is taken and thrown away";
    EXPECT_TRUE(boxes.shown().empty()) << "a failed read shows no message";
}

TEST_F(ReadWord, StreamedBytesBeforeTheAddressAreNotTakenForTheAnswer) {
    port.setPortOpen(true);
    unit.setWord(0x000C, 0x3A3A);
    port.feed("I 123 45 67\r");
    EXPECT_EQ(access.ReadUnitWord(port, QStringLiteral("000C")), QStringLiteral("3A3A"));
}

TEST_F(ReadWord, BadAddressTextShowsTheBoxAndSendsNothing) {
    for (const QString& address :
         {QStringLiteral("B68"), QStringLiteral("B6G0"), QStringLiteral("B68A0")}) {
        boxes.clear();
        EXPECT_EQ(access.ReadUnitWord(port, address), kReadError);
        ASSERT_EQ(boxes.shown().size(), 1u) << address.toStdString();
        EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Memory Read Failed!"));
        EXPECT_EQ(boxes.shown()[0].prompt,
                  QStringLiteral("Read locations must be 4 hexadecimal digits in length."));
        EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Critical);
    }
    EXPECT_TRUE(writes().empty());
    EXPECT_FALSE(port.portOpen()) << "the port it opened is closed again";
}

TEST_F(ReadWord, LeavesThePortAsItFoundItAndRestoresTheReadLength) {
    unit.setWord(0x0000, 0x4C03);
    EXPECT_EQ(access.ReadUnitWord(port, QStringLiteral("0000")), QStringLiteral("4C03"));
    EXPECT_FALSE(port.portOpen());

    port.setPortOpen(true);
    port.setInputLen(7);
    EXPECT_EQ(access.ReadUnitWord(port, QStringLiteral("0000")), QStringLiteral("4C03"));
    EXPECT_TRUE(port.portOpen());
    EXPECT_EQ(port.inputLen(), 7);
}

TEST_F(ReadWord, PortErrorsBecomeTheErrorText) {
    port.setCommPort(9);  // no such port
    EXPECT_EQ(access.ReadUnitWord(port, QStringLiteral("0000")), kReadError);
    port.setCommPort(1);
    port.setPortOpen(true);
    port.setInputLen(5);
    port.injectError(FakeSerialPort::Operation::Input, ErrorNumber::ReadFailed);
    EXPECT_EQ(access.ReadUnitWord(port, QStringLiteral("0000")), kReadError);
    EXPECT_EQ(port.inputLen(), 0) << "a failing read leaves the read length at 0";
}

class WriteWord : public UnitLinkFixture {};

TEST_F(WriteWord, SendsFiveBytesInOneWriteThenVerifiesByReading) {
    port.setPortOpen(true);
    EXPECT_TRUE(access.WriteUnitWord(port, QStringLiteral("000C"), QStringLiteral("3A3A"), false));
    ASSERT_EQ(writes().size(), 3u);
    EXPECT_EQ(writes()[0].bytes, bytes({0x7B, 0x00, 0x0C, 0x3A, 0x3A}));
    EXPECT_EQ(writes()[1].bytes, bytes({0x7D}));
    EXPECT_EQ(writes()[1].timeMs - writes()[0].timeMs, 50);
    EXPECT_EQ(writes()[2].bytes, bytes({0x00, 0x0C}));
    EXPECT_EQ(unit.word(0x000C), 0x3A3A);
}

TEST_F(WriteWord, MalformedTextsSendNothingAndFail) {
    port.setPortOpen(true);
    EXPECT_FALSE(access.WriteUnitWord(port, QStringLiteral("000C"), QStringLiteral("3A3"), false));
    EXPECT_FALSE(access.WriteUnitWord(port, QStringLiteral("00C"), QStringLiteral("3A3A"), false));
    EXPECT_FALSE(access.WriteUnitWord(port, QStringLiteral("B608"), QStringLiteral("FFZZ"), false));
    EXPECT_TRUE(writes().empty());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(WriteWord, VerificationComparesTheTextExactly) {
    port.setPortOpen(true);
    EXPECT_FALSE(access.WriteUnitWord(port, QStringLiteral("B608"), QStringLiteral("0a0b"), false))
        << "the unit answers uppercase, so a lowercase value never verifies";
    EXPECT_EQ(unit.word(0xB608), 0x0A0B);

    unit.acceptsWrite = [](int) { return false; };
    EXPECT_FALSE(access.WriteUnitWord(port, QStringLiteral("B608"), QStringLiteral("1414"), false));
    EXPECT_TRUE(access.WriteUnitWord(port, QStringLiteral("B608"), QStringLiteral("1414"), true))
        << "with verification skipped the write is taken on trust";
}

}  // namespace
}  // namespace tarquel
