// The simulated unit's physics as the PC's own heading computation sees it: the frames it sends
// at any heading and tilt, and the heading it reports itself.
#include "heading/HeadingCalculator.h"
#include "support/SimRig.h"

#include <QList>
#include <cmath>
#include <vector>

namespace tarquel {
namespace {

using unitsim::SensorKind;

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

class Physics : public test::SimRig {
protected:
    // The last complete frame after the unit settled.
    QByteArray frameNow() {
        clock.delay(100);
        const QList<QByteArray> parts = listen(100).split('\r');
        EXPECT_GE(parts.size(), 3);
        return parts.size() >= 3 ? parts[parts.size() - 2] : QByteArray();
    }
    // The PC's tilt-compensated heading of one frame (no smoothing: a fresh computation).
    double pcHeading(const QByteArray& frame, CalMode mode) {
        std::vector<double> values;
        for (const QByteArray& field : frame.mid(2).split(' ')) {
            values.push_back(field.toDouble());
        }
        HeadingCalculator heading(boxes);
        heading.CalculateHeading(values, mode);
        return values.at(Slot::CalcHeading);
    }
};

TEST_F(Physics, ThePcRecoversTheVehicleHeadingAtAnyTilt) {
    const std::vector<std::pair<double, double>> tilts{{0, 0}, {10, -5}, {-20, 15}, {30, 30}};
    for (const auto& [rx, ry] : tilts) {
        for (const double psi : {1.0, 45.0, 90.0, 135.0, 200.0, 315.0}) {
            unit->setHeading(psi);
            unit->setTilt(rx, ry);
            const QByteArray frame = frameNow();
            // Fields are whole mg of a 250 mg field: about 0.25 degrees of rounding.
            EXPECT_NEAR(headingDifference(pcHeading(frame, CalMode::Accelerometer), psi), 0, 0.5)
                << psi << " at tilt " << rx << "," << ry;
            EXPECT_NEAR(headingDifference(frame.mid(2).split(' ')[0].toDouble(), psi), 0, 0.06);
        }
    }
}

TEST_F(Physics, APendulumUnitReportsItsTiltDirectlyAndNoAcceleration) {
    unitsim::UnitConfig config;
    config.sensors = SensorKind::Pendulum;
    makeUnit(config);
    unit->setHeading(250);
    unit->setTilt(12.5, -7);
    const QByteArray frame = frameNow();
    EXPECT_TRUE(frame.endsWith(" 12.5 -7.0")) << frame.constData();
    EXPECT_NEAR(headingDifference(pcHeading(frame, CalMode::Pendulum), 250), 0, 0.5);
    link.SendCommandText(QStringLiteral(">3C07000000"));
    EXPECT_TRUE(frameNow().startsWith("I 250.0 0 0 0 ")) << "a pendulum unit has no accelerometers";
}

TEST_F(Physics, HeadingWordsRotateTheUnitsHeadingAndTheVehicleTurnsAtItsRate) {
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
