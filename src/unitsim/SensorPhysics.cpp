#include "unitsim/SensorPhysics.h"

#include <cmath>
#include <numbers>

namespace tarquel::unitsim {

namespace {

constexpr double kGravityMg = 1000;

double radians(double deg) {
    return deg * std::numbers::pi / 180.0;
}
double degrees(double rad) {
    return rad * 180.0 / std::numbers::pi;
}

}  // namespace

SensorPhysics::SensorPhysics(const PhysicsSettings& settings, quint64 seed)
    : settings_(settings), state_(seed * 0x9E3779B97F4A7C15ULL + 0x2545F4914F6CDD1DULL) {}

void SensorPhysics::setHeading(double deg, double nowMs) {
    settings_.headingDeg = deg;
    headingSinceMs_ = nowMs;
}

void SensorPhysics::setRotation(double degPerS, double nowMs) {
    settings_.headingDeg = headingAt(nowMs);
    headingSinceMs_ = nowMs;
    settings_.rotateDegPerS = degPerS;
}

void SensorPhysics::setTilt(double rxDeg, double ryDeg) {
    settings_.tiltXDeg = rxDeg;
    settings_.tiltYDeg = ryDeg;
}

void SensorPhysics::setScale(double sx, double sy) {
    settings_.scaleX = sx;
    settings_.scaleY = sy;
}

double SensorPhysics::fold360(double deg) {
    double folded = std::fmod(deg, 360.0);
    if (folded < 0) {
        folded += 360.0;
    }
    return folded >= 360.0 ? 0.0 : folded;
}

double SensorPhysics::headingAt(double nowMs) const {
    return fold360(settings_.headingDeg +
                   settings_.rotateDegPerS * (nowMs - headingSinceMs_) / 1000.0);
}

Vec3 SensorPhysics::bodyField(double nowMs) const {
    const double psi = radians(headingAt(nowMs));
    const double hx = settings_.horizontalMg * std::cos(psi);
    const double hy = -settings_.horizontalMg * std::sin(psi);
    const double v = settings_.verticalMg;
    const double sx = std::sin(radians(settings_.tiltXDeg));
    const double cx = std::cos(radians(settings_.tiltXDeg));
    const double sy = std::sin(radians(settings_.tiltYDeg));
    const double cy = std::cos(radians(settings_.tiltYDeg));
    // M^T * (hx, hy, v)
    return {cy * hx - sy * v, sx * sy * hx + cx * hy + sx * cy * v,
            cx * sy * hx - sx * hy + cx * cy * v};
}

Vec3 SensorPhysics::accelerometers() const {
    const double sx = std::sin(radians(settings_.tiltXDeg));
    const double cx = std::cos(radians(settings_.tiltXDeg));
    const double sy = std::sin(radians(settings_.tiltYDeg));
    const double cy = std::cos(radians(settings_.tiltYDeg));
    return {kGravityMg * sy, -kGravityMg * sx * cy, -kGravityMg * cx * cy};
}

Vec3 SensorPhysics::rawMagnetometer(double nowMs) const {
    const Vec3 b = bodyField(nowMs);
    return {settings_.scaleX * b.x + settings_.hardIronMg.x,
            settings_.scaleY * b.y + settings_.hardIronMg.y, b.z + settings_.hardIronMg.z};
}

Vec3 SensorPhysics::noise() {
    const double x = gaussian();
    const double y = gaussian();
    const double z = gaussian();
    return {x, y, z};
}

double SensorPhysics::tiltCompensatedHeading(const Vec3& body, double rxDeg, double ryDeg) {
    const double sx = std::sin(radians(rxDeg));
    const double cx = std::cos(radians(rxDeg));
    const double sy = std::sin(radians(ryDeg));
    const double cy = std::cos(radians(ryDeg));
    const double hx = body.x * cy + body.y * sx * sy + body.z * cx * sy;
    const double hy = body.y * cx - body.z * sx;
    return fold360(degrees(std::atan2(-hy, hx)));
}

double SensorPhysics::gaussian() {
    if (settings_.noiseMg <= 0) {
        return 0;
    }
    // xorshift64* for the uniforms, Box-Muller for the normal sample: the same numbers on every
    // platform for a given seed.
    auto uniform = [this] {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        const quint64 r = state_ * 0x2545F4914F6CDD1DULL;
        return (static_cast<double>(r >> 11) + 0.5) / 9007199254740992.0;
    };
    const double u1 = uniform();
    const double u2 = uniform();
    return settings_.noiseMg * std::sqrt(-2.0 * std::log(u1)) *
           std::cos(2.0 * std::numbers::pi * u2);
}

}  // namespace tarquel::unitsim
