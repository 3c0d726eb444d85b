#pragma once

#include <QtGlobal>

namespace tarquel::unitsim {

struct Vec3 {
    double x = 0;
    double y = 0;
    double z = 0;
};

// The vehicle, the earth's field and the sensor's own errors.
struct PhysicsSettings {
    double headingDeg = 0;     // true vehicle heading
    double tiltXDeg = 0;       // rx: rotation about the vehicle's X axis
    double tiltYDeg = 0;       // ry: rotation about the vehicle's Y axis
    double rotateDegPerS = 0;  // the vehicle turns at this rate
    double horizontalMg = 250;
    double verticalMg = 400;  // positive: the field points down (northern hemisphere)
    Vec3 hardIronMg;
    double scaleX = 1;
    double scaleY = 1;
    double noiseMg = 1;  // standard deviation of the magnetometer and accelerometer noise
    double temperatureC = 21.5;
};

// The physics of the sensor.
//
// Level frame: X forward, Y, Z down. At heading psi the horizontal earth field has the components
// Hx = H cos psi, Hy = -H sin psi (at 0 degrees Hx is at its positive extreme, at 90 degrees Hy at
// its negative one), so heading = atan2(-Hy, Hx); the vertical component is V.
//
// Tilt: level = M * body with M = Ry(ry) * Rx(rx)
//   = [[cy, sx*sy, cx*sy], [0, cx, -sx], [-sy, sx*cy, cx*cy]],
// which is how the PC tilt-compensates (Hx = X cy + Y sx sy + Z cx sy, Hy = Y cx - Z sx). The
// body field is therefore M^T (Hx, Hy, V), and the accelerometers, which measure the reaction to
// gravity, read M^T (0, 0, -1000) = (1000 sy, -1000 sx cy, -1000 cx cy) mg; from them the PC
// recovers rx = atan(ay / az) and ry = atan(ax / |w|).
//
// The raw magnetometer is scale * body field + hard iron + noise (X and Y scale; Z has none).
// Noise is Gaussian, from a seeded generator, so a run is repeatable.
class SensorPhysics {
public:
    SensorPhysics(const PhysicsSettings& settings, quint64 seed);

    const PhysicsSettings& settings() const { return settings_; }

    // Heading changes take effect at nowMs; a rotation turns the vehicle from there on.
    void setHeading(double deg, double nowMs);
    void setRotation(double degPerS, double nowMs);
    void setTilt(double rxDeg, double ryDeg);
    void setHardIron(const Vec3& mg) { settings_.hardIronMg = mg; }
    void setScale(double sx, double sy);
    void setNoise(double mg) { settings_.noiseMg = mg; }

    // True vehicle heading at nowMs, in [0, 360).
    double headingAt(double nowMs) const;
    // The earth's field in the sensor's axes.
    Vec3 bodyField(double nowMs) const;
    // Noise free; noise() gives the samples to add.
    Vec3 accelerometers() const;
    Vec3 rawMagnetometer(double nowMs) const;
    // Three independent noise samples (zero while the noise is 0).
    Vec3 noise();

    // Heading of a body-axis field seen at tilt (rx, ry), the way the PC computes it: tilt
    // compensation, then atan2(-Hy, Hx), in [0, 360).
    static double tiltCompensatedHeading(const Vec3& body, double rxDeg, double ryDeg);
    // deg folded into [0, 360).
    static double fold360(double deg);

private:
    double gaussian();

    PhysicsSettings settings_;
    double headingSinceMs_ = 0;
    quint64 state_;
};

}  // namespace tarquel::unitsim
