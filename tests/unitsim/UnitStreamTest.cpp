// The simulated unit's frame stream on virtual time: fields, timing, formats and line rates.
#include "support/SimRig.h"

#include <QList>
#include <algorithm>

namespace tarquel {
namespace {

using unitsim::SimulatedUnit;

// The complete frames in bytes: the part before the first carriage return may be the tail of a
// frame that started before listening, so it is dropped, as is the part after the last one.
QList<QByteArray> frames(const QByteArray& bytes) {
    QList<QByteArray> parts = bytes.split('\r');
    if (parts.size() < 2) {
        return {};
    }
    return parts.mid(1, parts.size() - 2);
}

class FrameStream : public test::SimRig {
protected:
    FrameStream() {
        unit->setHeading(30);
        clock.delay(100);
    }
};

TEST_F(FrameStream, TheChannelSelectionDecidesTheFields) {
    // Heading 30: Hx = 250 cos 30 = 216.5, Hy = -250 sin 30 = -125; V = 400; level: az = -1000.
    // Bit 38 is the temperature; bit 0 has no channel behind it and reads 0.
    for (const auto& [selection, frame] : {std::pair{"", "I 30.0 0 0 -1000 217 -125 400"},
                                           std::pair{">2007C00000", "I 30.0 217 -125 400 0.0 0.0"},
                                           std::pair{">6000000001", "I 21.5 30.0 0"}}) {
        link.SendCommandText(QLatin1String(selection));
        const QList<QByteArray> got = frames(listen(300));
        ASSERT_GE(got.size(), 3) << selection;
        EXPECT_EQ(got.last(), QByteArray(frame)) << selection;
    }
}

TEST_F(FrameStream, FramesFollowTheCycleOfTheirLengthAsFastAsTheLineAllows) {
    // "I 30.0 217 -125" is 15 characters: 2 cycles of 1/71.11 s, 35.6 frames a second; the
    // 29-character seven-channel frame needs 3 cycles: 23.7 a second. Back to back, 30 bytes take
    // 31.25 ms at 9600 baud; at 1200 baud 250 ms, which also limits the unit's own timing.
    const struct {
        int baud;
        const char* selection;
        bool fastest;
        double framesIn10s;
    } rows[] = {{9600, ">2006000000", false, 355.5},
                {9600, ">3C07000000", false, 237},
                {9600, "", true, 320},
                {1200, "", false, 40},
                {1200, "", true, 40}};
    for (const auto& row : rows) {
        unitsim::UnitConfig config;
        config.baud = row.baud;
        makeUnit(config);
        openAt(row.baud);
        unit->setHeading(30);
        link.SendCommandText(QLatin1String(row.selection));
        unit->setFastest(row.fastest);
        EXPECT_NEAR(listen(10000).count('\r'), row.framesIn10s, 1.0)
            << row.baud << " " << row.selection << " " << row.fastest;
    }
}

TEST_F(FrameStream, BinaryFramesAreEightBitWithCarriageReturns) {
    link.SendCommandText(QStringLiteral("^"));
    const QList<QByteArray> got = frames(listen(1000));
    ASSERT_GE(got.size(), 10);
    for (const QByteArray& complete : got) {
        for (const char c : complete) {
            ASSERT_GE(static_cast<quint8>(c), 128) << "every byte but the carriage return";
        }
    }
    const QByteArray frame = got.first();
    ASSERT_EQ(frame.size(), 1 + 2 * 7);
    EXPECT_EQ(static_cast<quint8>(frame[0]), 0xFF);
    // Heading field: 14-bit offset binary in tenths of a degree.
    const int heading =
        ((static_cast<quint8>(frame[1]) & 0x7F) << 7 | (static_cast<quint8>(frame[2]) & 0x7F)) -
        8192;
    EXPECT_EQ(heading, 300);
    link.SendCommandText(QStringLiteral("_"));
    EXPECT_TRUE(frames(listen(200)).last().startsWith("I 30.0 "));
}

TEST_F(FrameStream, AtAnotherRateThePortGetsGarbleWithoutCarriageReturns) {
    SimulatedUnit::Config config;
    config.baud = 19200;
    makeUnit(config);
    openAt(19200);
    const qsizetype sent = listen(2000).size();
    openAt(9600);
    const QByteArray garble = listen(2000);
    EXPECT_FALSE(garble.contains('\r'));
    EXPECT_NEAR(static_cast<double>(garble.size()), sent / 2.0, sent * 0.05);
    const auto high = std::count_if(garble.begin(), garble.end(),
                                    [](char c) { return static_cast<quint8>(c) >= 128; });
    EXPECT_GT(high, garble.size() * 0.35);
    EXPECT_LT(high, garble.size() * 0.65);
}

TEST_F(FrameStream, StreamCanBeSwitchedOffAndOn) {
    unit->setStreamEnabled(false);
    clock.delay(50);  // the frame in progress ends
    EXPECT_TRUE(listen(500).isEmpty());
    unit->setStreamEnabled(true);
    EXPECT_GE(frames(listen(500)).size(), 10);
}

TEST_F(FrameStream, AReadHoldsTheStreamUntilItsAnswerIsOut) {
    port.discardInput();
    port.output(QByteArray("\x7D"));
    clock.delay(20);
    EXPECT_LE(port.inBufferCount(), 1) << "only the byte in progress may follow the read command";
    port.discardInput();
    port.output(QByteArray("\x00\x00", 2));
    clock.delay(4);  // 1 ms, then two bytes of 1.04 ms
    EXPECT_EQ(port.input(), QByteArray("\x4C\x03"));
    // The stream resumes with a whole new frame.
    EXPECT_TRUE(listen(100).startsWith("I 30.0 "));
}

TEST_F(FrameStream, ReadsWorkWhileStreamingAtTheSlowestRate) {
    SimulatedUnit::Config config;
    config.baud = 1200;
    makeUnit(config);
    openAt(1200);
    EXPECT_TRUE(link.fInit(true));
}

TEST_F(FrameStream, TheUnitRunsOnWhileThePortIsClosed) {
    port.setPortOpen(false);
    const qint64 before = unit->counters().frames;
    clock.delay(1000);
    EXPECT_NEAR(static_cast<double>(unit->counters().frames - before), 23.7, 1.0);
    port.setPortOpen(true);
    EXPECT_GE(frames(listen(200)).size(), 3);
}

}  // namespace
}  // namespace tarquel
