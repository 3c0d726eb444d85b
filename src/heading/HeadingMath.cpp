#include "heading/HeadingMath.h"

#include "platform/Errors.h"

#include <cmath>

namespace tarquel {

double CheckedQuotient(double a, double b) {
    if (b == 0) {
        throw DivisionByZeroError();
    }
    return CheckedFinite(a / b);
}

double CheckedFinite(double value) {
    if (!std::isfinite(value)) {
        throw OverflowError();
    }
    return value;
}

double fArcTanHalf(double a, double b) {
    const double t = std::atan(CheckedQuotient(a, b));
    return b < 0 ? -t : t;
}

double fArcTanFull(double a, double b) {
    const double t = std::atan(CheckedQuotient(a, b));
    if (b < 0) {
        return t;
    }
    return t >= 0 ? t - kPi : t + kPi;
}

}  // namespace tarquel
