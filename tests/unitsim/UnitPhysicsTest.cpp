#include "UnitSimFixture.h"
#include "unitlink/HexText.h"

#include <QList>
#include <cmath>
#include <vector>

namespace tarquel {
namespace {

using test::UnitSimFixture;
using unitsim::MapFamily;
using unitsim::SensorKind;
using unitsim::SimulatedUnit;

constexpr double kPi = 3.14159265358979;

double deg(double rad) {
    return rad * 180.0 / kPi;
}
double rad(double deg) {
    return deg * kPi / 180.0;
}

// Signed difference a - b of two headings, in (-180, 180].
double headingDifference(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180) {
        d -= 360;
    } else if (d <= -180) {
        d += 360;
    }
    return d;
}

// The PC's view of one frame: tilt from the accelerometers (or the pendulums), the field rotated
// into the horizontal plane, heading = atan2(-Hy, Hx).
struct PcView {
    double hx = 0;
    double hy = 0;
    double heading = 0;
    double unitHeading = 0;
};

PcView pcView(const QByteArray& frame, SensorKind sensors) {
    const QList<QByteArray> f = frame.mid(2).split(' ');
    double x = 0, y = 0, z = 0, rx = 0, ry = 0;
    if (sensors == SensorKind::Accelerometer) {
        const double ax = f[1].toDouble(), ay = f[2].toDouble(), az = f[3].toDouble();
        x = f[4].toDouble(), y = f[5].toDouble(), z = f[6].toDouble();
        rx = std::atan(ay / az);
        const double w = -(std::sin(rx) * ay + std::cos(rx) * az);
        ry = std::atan(ax / std::abs(w));
    } else {
        x = f[1].toDouble(), y = f[2].toDouble(), z = f[3].toDouble();
        rx = rad(f[4].toDouble());
        ry = rad(f[5].toDouble());
    }
    PcView v;
    v.hx = x * std::cos(ry) + y * std::sin(rx) * std::sin(ry) + z * std::cos(rx) * std::sin(ry);
    v.hy = y * std::cos(rx) - z * std::sin(rx);
    v.heading = deg(std::atan2(-v.hy, v.hx));
    v.unitHeading = f[0].toDouble();
    return v;
}

class Physics : public UnitSimFixture {
protected:
    // The last complete frame after the unit settled.
    QByteArray frameNow() {
        clock.delay(100);
        const QList<QByteArray> parts = listen(100).split('\r');
        EXPECT_GE(parts.size(), 3);
        return parts.size() >= 3 ? parts[parts.size() - 2] : QByteArray();
    }

    // Largest |unit heading - true heading| over a full turn.
    double worstError() {
        double worst = 0;
        for (int psi = 0; psi < 360; psi += 10) {
            unit->setHeading(psi);
            worst = std::max(worst, std::abs(unit->headingError()));
        }
        return worst;
    }
};

TEST_F(Physics, PcRecoversTheVehicleHeadingAtAnyTilt) {
    const std::vector<std::pair<double, double>> tilts{{0, 0}, {10, -5}, {-20, 15}, {30, 30}};
    for (const auto& [rx, ry] : tilts) {
        for (const double psi : {1.0, 45.0, 90.0, 135.0, 200.0, 315.0}) {
            unit->setHeading(psi);
            unit->setTilt(rx, ry);
            const PcView v = pcView(frameNow(), SensorKind::Accelerometer);
            // Fields are whole mg of a 250 mg field: about 0.25 degrees of rounding.
            EXPECT_NEAR(headingDifference(v.heading, psi), 0, 0.5)
                << psi << " at tilt " << rx << "," << ry;
            EXPECT_NEAR(headingDifference(v.unitHeading, psi), 0, 0.06);
        }
    }
}

TEST_F(Physics, PendulumUnitReportsItsTiltDirectlyAndNoAcceleration) {
    SimulatedUnit::Config config;
    config.sensors = SensorKind::Pendulum;
    makeUnit(config);
    unit->setHeading(250);
    unit->setTilt(12.5, -7);
    const QByteArray frame = frameNow();
    EXPECT_TRUE(frame.endsWith(" 12.5 -7.0")) << frame.constData();
    EXPECT_NEAR(headingDifference(pcView(frame, SensorKind::Pendulum).heading, 250), 0, 0.5);
    link.SendCommandText(QStringLiteral(">3C07000000"));
    EXPECT_TRUE(frameNow().startsWith("I 250.0 0 0 0 ")) << "a pendulum unit has no accelerometers";
}

TEST_F(Physics, HeadingWordsRotateTheUnitsHeading) {
    unit->setHeading(100);
    unit->setWord(0xB68A, 0x4000);  // 16384 counts: 90 degrees
    unit->setWord(0xB688, 0xF8E4);  // -1820 counts: -10 degrees
    EXPECT_TRUE(frameNow().startsWith("I 20.0 "));
}

TEST_F(Physics, TheVehicleTurnsAtItsRotationRate) {
    unit->setHeading(350);
    unit->setRotation(10);
    clock.delay(2000);
    EXPECT_NEAR(unit->trueHeading(), 10, 0.01);
}

// The four-point calibration as the PC does it: points at 0, 90, 180 and 270 degrees, bias and
// gain from the horizontal components, words scaled for the family and added to the unit's words.
class FourPointCalibration : public Physics, public ::testing::WithParamInterface<MapFamily> {};

TEST_P(FourPointCalibration, RemovesMostOfTheHeadingError) {
    const bool b600 = GetParam() == MapFamily::B600;
    SimulatedUnit::Config config;
    config.family = GetParam();
    config.physics.hardIronMg = {30, -20, 15};
    config.physics.scaleX = 1.05;
    config.physics.scaleY = 0.95;
    config.physics.noiseMg = 0.5;
    makeUnit(config, false);
    const double before = worstError();
    EXPECT_GT(before, 5.0);

    double hx[4] = {};
    double hy[4] = {};
    for (int i = 0; i < 4; ++i) {
        unit->setHeading(90.0 * i);
        const PcView v = pcView(frameNow(), SensorKind::Accelerometer);
        hx[i] = v.hx;
        hy[i] = v.hy;
    }
    const double xBias = -(hx[2] + hx[0]) / 2;
    const double yBias = -(hy[1] + hy[3]) / 2;
    const double xRange = (hx[0] - hx[2]) / 2;
    const double yRange = (hy[3] - hy[1]) / 2;
    const double meanRange = (xRange + yRange) / 2;
    const double xGain = (1 - xRange / meanRange) * 100;
    const double yGain = (1 - yRange / meanRange) * 100;
    const double biasScale = b600 ? 32.768 / 3 : 32.768 / 1.5;
    const double gainScale = b600 ? 327.68 : 327.68 / 2;

    ASSERT_TRUE(link.fInit(true));
    ASSERT_TRUE(link.fWriteAccess());
    const UnitAddresses& a = link.unitAddresses();
    const int drop = b600 ? 2 : 1;
    const std::vector<std::pair<QString, double>> adds{{a.xBiasWord, xBias * biasScale},
                                                       {a.yBiasWord, yBias * biasScale},
                                                       {a.xGainWord, xGain * gainScale},
                                                       {a.yGainWord, yGain * gainScale}};
    for (const auto& [address, value] : adds) {
        link.SendCommandText(QStringLiteral("#") + address.mid(drop) +
                             HexWord(static_cast<float>(value)));
    }
    EXPECT_EQ(unit->counters().addsApplied, 4);
    const double after = worstError();
    EXPECT_LT(after, before / 10);
    EXPECT_LT(after, 0.5);
}

INSTANTIATE_TEST_SUITE_P(BothFamilies, FourPointCalibration,
                         ::testing::Values(MapFamily::B600, MapFamily::F1600));

}  // namespace
}  // namespace tarquel
