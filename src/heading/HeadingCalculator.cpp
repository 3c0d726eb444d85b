#include "heading/HeadingCalculator.h"

#include "heading/HeadingMath.h"
#include "platform/Errors.h"

#include <cmath>

namespace tarquel {

namespace {

constexpr int kPendulumValues = 6;
constexpr int kAccelerometerValues = 7;
constexpr double kTiltCautionDegrees = 10;
constexpr double kTiltWarningDegrees = 45;
constexpr double kHxZero = 0.0005;  // |Hx| below this counts as 0 (three decimals)

// One smoothing step of a channel, taking the short way across 0/360.
double smoothed(double x, double p, int n) {
    double y = 0;
    if (x < 90 && p > 270) {
        y = CheckedQuotient((x + 360) - p, n) + p;
        if (y >= 360) {
            y -= 360;
        }
    } else if (x > 270 && p < 90) {
        y = CheckedQuotient((x - 360) - p, n) + p;
        if (y < 0) {
            y += 360;
        }
    } else {
        y = CheckedQuotient(x - p, n) + p;
    }
    return CheckedFinite(y);
}

}  // namespace

HeadingCalculator::HeadingCalculator(MessageBoxes& boxes) : boxes_(boxes) {}

void HeadingCalculator::restartSmoothing() {
    channelFilterPrimed_ = false;
    inclFilterPrimed_ = false;
    noAccelWarned_ = false;
}

void HeadingCalculator::FilterChannels(std::vector<double>& values, int n) {
    channelFilterState_.resize(values.size());
    if (!channelFilterPrimed_) {
        channelFilterState_ = values;
        channelFilterPrimed_ = true;
        return;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double y = smoothed(values[i], channelFilterState_[i], n);
        values[i] = y;
        channelFilterState_[i] = y;
    }
}

void HeadingCalculator::FilterInclinometers(double& x, double& y, int n) {
    if (!inclFilterPrimed_) {
        inclFilterX_ = x;
        inclFilterY_ = y;
        inclFilterPrimed_ = true;
    }
    x = CheckedFinite(CheckedQuotient(x - inclFilterX_, n) + inclFilterX_);
    y = CheckedFinite(CheckedQuotient(y - inclFilterY_, n) + inclFilterY_);
    inclFilterX_ = x;
    inclFilterY_ = y;
}

HeadingResult HeadingCalculator::CalculateHeading(std::vector<double>& values, CalMode mode) {
    HeadingResult result;
    const double unitHeading = values.at(0);
    double X = 0;
    double Y = 0;
    double Z = 0;
    double rx = 0;  // rotation about the X axis, radians
    double ry = 0;  // rotation about the Y axis, radians
    double xInclination = 0;
    double yInclination = 0;

    if (values.size() == kPendulumValues) {
        X = values[1];
        Y = values[2];
        Z = values[3];
        // The pendulum angles arrive in degrees and are shown as received: converting them to
        // radians and back could move an angle lying exactly on a tilt limit off it.
        xInclination = values[4];
        yInclination = values[5];
        rx = DegreesToRadians(xInclination);
        ry = DegreesToRadians(yInclination);
        values.resize(Slot::Count);
    } else if (values.size() == kAccelerometerValues) {
        const double ax = values[1];
        const double ay = values[2];
        const double az = values[3];
        X = values[4];
        Y = values[5];
        Z = values[6];
        if (az == 0) {
            result.noAccelerometers = true;
            if (!noAccelWarned_) {
                // Set before the box opens: frames handled while it is open return here silently.
                noAccelWarned_ = true;
                boxes_.show({QStringLiteral("The Z accelerometer channel output is 0.  This "
                                            "indicates that this unit does not have\r\n"
                                            "accelerometers.  Pendulum calibration mode will now "
                                            "be used."),
                             QStringLiteral("No accelerometers detected!"), MsgIcon::Critical,
                             MsgButtons::OK});
                result.selectPendulum = true;
            }
            return result;
        }
        rx = fArcTanFull(ay, az);
        const double w = -(std::sin(rx) * ay + std::cos(rx) * az);
        ry = fArcTanHalf(ax, w);
        FilterInclinometers(rx, ry, 32);
        xInclination = RadiansToDegrees(rx);
        yInclination = RadiansToDegrees(ry);
    } else {
        throw RuntimeError(ErrorNumber::SubscriptOutOfRange,
                           QStringLiteral("Subscript out of range"));
    }

    const double sinRx = std::sin(rx);
    const double cosRx = std::cos(rx);
    const double sinRy = std::sin(ry);
    const double cosRy = std::cos(ry);
    const double Hx = CheckedFinite(X * cosRy + Y * sinRx * sinRy + Z * cosRx * sinRy);
    const double Hy = CheckedFinite(Y * cosRx - Z * sinRx);
    const double V = CheckedFinite(Z * cosRx * cosRy + Y * sinRx - X * sinRy);

    double heading = 0;
    if (std::abs(Hx) < kHxZero) {
        heading = Hy <= 0 ? 90 : 270;
    } else {
        const double h = RadiansToDegrees(std::atan(CheckedQuotient(-Hy, Hx)));
        if (Hx < 0) {
            heading = h + 180;
        } else if (Hy >= 0) {
            heading = h + 360;
        } else {
            heading = h;
        }
    }

    result.over10 = !(std::abs(xInclination) < kTiltCautionDegrees &&
                      std::abs(yInclination) < kTiltCautionDegrees);
    result.over45 = mode == CalMode::Pendulum && !(std::abs(xInclination) < kTiltWarningDegrees &&
                                                   std::abs(yInclination) < kTiltWarningDegrees);

    values[Slot::Hx] = Hx;
    values[Slot::Hy] = Hy;
    values[Slot::V] = V;
    values[Slot::XInclination] = xInclination;
    values[Slot::YInclination] = yInclination;
    values[Slot::CalcHeading] = heading;
    values[Slot::UnitHeading] = unitHeading;
    return result;
}

}  // namespace tarquel
