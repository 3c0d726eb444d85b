// The simulated unit's frame stream on virtual time: fields, timing, formats and line rates, and
// its physics as the PC's own heading computation sees it.
#include "heading/HeadingCalculator.h"
#include "support/SimRig.h"

#include <QList>
#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

namespace tarquel {
namespace {

using unitsim::SimulatedUnit;

// The complete frames in bytes: the part before the first carriage return may be the tail of a
// frame that started before listening, so it is dropped, as is the part after the last one.
QList<QByteArray> frames(const QByteArray& bytes) {
    const QList<QByteArray> parts = bytes.split('\r');
    return parts.size() < 2 ? QList<QByteArray>{} : parts.mid(1, parts.size() - 2);
}

class FrameStream : public test::SimRig {
protected:
    FrameStream() {
        unit->setHeading(30);
        clock.delay(100);
    }
    // The last complete frame after the unit settled.
    QByteArray frameNow() {
        clock.delay(100);
        const QList<QByteArray> got = frames(listen(100));
        EXPECT_FALSE(got.isEmpty());
        return got.value(got.size() - 1);
    }
    // The PC's tilt-compensated heading of one frame (no smoothing: a fresh computation) less
    // the vehicle's heading, in [-180, 180].
    double pcHeadingError(const QByteArray& frame, CalMode mode, double heading) {
        std::vector<double> values;
        for (const QByteArray& field : frame.mid(2).split(' ')) {
            values.push_back(field.toDouble());
        }
        HeadingCalculator(boxes).CalculateHeading(values, mode);
        return std::remainder(values.at(Slot::CalcHeading) - heading, 360.0);
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
    for (const auto& [baud, selection, fastest, framesIn10s] :
         {std::tuple{9600, ">2006000000", false, 355.5},
          std::tuple{9600, ">3C07000000", false, 237.0}, std::tuple{9600, "", true, 320.0},
          std::tuple{1200, "", false, 40.0}, std::tuple{1200, "", true, 40.0}}) {
        unitsim::UnitConfig config;
        config.baud = baud;
        makeUnit(config);
        openAt(baud);
        unit->setHeading(30);
        link.SendCommandText(QLatin1String(selection));
        unit->setFastest(fastest);
        EXPECT_NEAR(listen(10000).count('\r'), framesIn10s, 1.0)
            << baud << " " << selection << " " << fastest;
        EXPECT_TRUE(link.fInit(true)) << "reads work while the unit streams";
    }
}

TEST_F(FrameStream, BinaryFramesAreEightBitWithCarriageReturns) {
    link.SendCommandText(QStringLiteral("^"));
    const QList<QByteArray> got = frames(listen(1000));
    ASSERT_GE(got.size(), 10);
    // FF, then each field as 14-bit offset binary in two bytes of seven bits, the top bit set:
    // the heading in tenths of a degree (300), the accelerations (0 0 -1000), the field (217 -125
    // 400).
    EXPECT_EQ(got.count(QByteArray::fromHex("FFC2ACC080C080B898C1D9BF83C390")), got.size());
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

TEST_F(FrameStream, TheStreamStopsWhenSwitchedOffButRunsOnWhileThePortIsClosed) {
    unit->setStreamEnabled(false);
    clock.delay(50);  // the frame in progress ends
    EXPECT_TRUE(listen(500).isEmpty());
    unit->setStreamEnabled(true);
    port.setPortOpen(false);
    const qint64 before = unit->counters().frames;
    clock.delay(1000);
    EXPECT_NEAR(static_cast<double>(unit->counters().frames - before), 23.7, 1.0);
    port.setPortOpen(true);
    EXPECT_GE(frames(listen(200)).size(), 3);
}

TEST_F(FrameStream, ThePcRecoversTheVehicleHeadingAtAnyTilt) {
    const std::vector<std::pair<double, double>> tilts{{0, 0}, {10, -5}, {-20, 15}, {30, 30}};
    for (const auto& [rx, ry] : tilts) {
        for (const double psi : {1.0, 45.0, 90.0, 135.0, 200.0, 315.0}) {
            unit->setHeading(psi);
            unit->setTilt(rx, ry);
            const QByteArray frame = frameNow();
            // Fields are whole mg of a 250 mg field: about 0.25 degrees of rounding.
            EXPECT_NEAR(pcHeadingError(frame, CalMode::Accelerometer, psi), 0, 0.5)
                << psi << " at tilt " << rx << "," << ry;
            EXPECT_NEAR(std::remainder(frame.mid(2).split(' ')[0].toDouble() - psi, 360.0), 0,
                        0.06);
        }
    }
}

TEST_F(FrameStream, APendulumUnitReportsItsTiltDirectlyAndNoAcceleration) {
    unitsim::UnitConfig config;
    config.sensors = unitsim::SensorKind::Pendulum;
    makeUnit(config);
    unit->setHeading(250);
    unit->setTilt(12.5, -7);
    const QByteArray frame = frameNow();
    EXPECT_TRUE(frame.endsWith(" 12.5 -7.0")) << frame.constData();
    EXPECT_NEAR(pcHeadingError(frame, CalMode::Pendulum, 250), 0, 0.5);
    link.SendCommandText(QStringLiteral(">3C07000000"));
    EXPECT_TRUE(frameNow().startsWith("I 250.0 0 0 0 ")) << "a pendulum unit has no accelerometers";
}

TEST_F(FrameStream, HeadingWordsRotateTheUnitsHeadingAndTheVehicleTurnsAtItsRate) {
    unit->setHeading(100);
    unit->setWord(0xB68A, 0x4000);  // 16384 counts: 90 degrees
    unit->setWord(0xB688, 0xF8E4);  // -1820 counts: -10 degrees
    EXPECT_TRUE(frameNow().startsWith("I 20.0 "));

    unit->setHeading(350);
    unit->setRotation(10);
    clock.delay(2000);
    EXPECT_NEAR(unit->trueHeading(), 10, 0.01);
}

}  // namespace
}  // namespace tarquel
