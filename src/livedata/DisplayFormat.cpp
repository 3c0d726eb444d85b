#include "livedata/DisplayFormat.h"

#include "platform/Errors.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace tarquel {

namespace {

constexpr int kSignificantDigits = 15;
constexpr int kMaxFrameLength = 32767;
constexpr double kCyclesPerSecond = 71.11;
constexpr double kCharactersPerCycle = 13.5002;

struct Picture {
    int integerDigits;  // digits always shown before the point
    int decimals;       // digits after the point
    bool signSections;  // "+...;-..." rather than one section
    const char* unit;
};

constexpr std::array<Picture, 7> kSlotPictures{{
    {3, 0, true, " mg"},
    {3, 0, true, " mg"},
    {3, 0, true, " mg"},
    {2, 1, true, " dg"},
    {2, 1, true, " dg"},
    {3, 1, false, " dg"},
    {3, 1, false, " dg"},
}};

// The digits of |value| rounded half away from zero to `decimals` decimals, working on its
// 15-significant-digit decimal form. Writes the integer digits (at least minInteger, zero padded)
// and the decimals to out.
void appendFixed(std::string& out, double magnitude, int minInteger, int decimals) {
    // digits: significant decimal digits, value = 0.digits * 10^pointPos
    char buffer[40];
    int pointPos = 0;
    std::string digits;
    if (magnitude != 0) {
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                          std::chars_format::scientific, kSignificantDigits - 1);
        const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
        const std::size_t e = text.find('e');
        digits.reserve(kSignificantDigits + 1);
        digits += text[0];
        digits.append(text.substr(2, e - 2));
        pointPos = std::atoi(text.data() + e + 1) + 1;
    }
    // Round to pointPos + decimals digits.
    const int keep = pointPos + decimals;
    if (keep < 0) {
        digits.clear();
    } else if (keep < static_cast<int>(digits.size())) {
        const bool up = digits[static_cast<std::size_t>(keep)] >= '5';
        digits.resize(static_cast<std::size_t>(keep));
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') {
                digits[static_cast<std::size_t>(i)] = '0';
                --i;
            }
            if (i >= 0) {
                ++digits[static_cast<std::size_t>(i)];
            } else {
                digits.insert(digits.begin(), '1');
                ++pointPos;
            }
        }
    }
    // Integer part.
    const int integerCount = std::max(pointPos, 0);
    for (int i = integerCount; i < minInteger; ++i) {
        out += '0';
    }
    for (int i = 0; i < integerCount; ++i) {
        out += i < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(i)] : '0';
    }
    if (decimals > 0) {
        out += '.';
        for (int d = 0; d < decimals; ++d) {
            const int i = pointPos + d;  // index into digits
            out += i >= 0 && i < static_cast<int>(digits.size())
                       ? digits[static_cast<std::size_t>(i)]
                       : '0';
        }
    }
}

}  // namespace

QString FormatChannelValue(int slot, double value) {
    const Picture& picture = kSlotPictures.at(static_cast<std::size_t>(slot));
    std::string text;
    text.reserve(16);
    if (value < 0) {
        text += '-';
    } else if (picture.signSections) {
        text += '+';
    }
    appendFixed(text, std::abs(value), picture.integerDigits, picture.decimals);
    text += picture.unit;
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString FormatFrameCount(qint32 count) {
    // Counts are whole numbers, so the mantissa digits are the count's own digits.
    char digits[16];
    const qint64 magnitude = count < 0 ? -qint64{count} : qint64{count};
    const auto result = std::to_chars(digits, digits + sizeof digits, magnitude);
    const int length = static_cast<int>(result.ptr - digits);
    int decimals = length - 1;
    while (decimals > 2 && digits[decimals] == '0') {
        --decimals;
    }
    std::string text;
    if (count < 0) {
        text += '-';
    }
    text += digits[0];
    text += '.';
    for (int i = 1; i <= std::max(decimals, 2); ++i) {
        text += i < length ? digits[i] : '0';
    }
    const int exponent = count == 0 ? 0 : length - 1;
    text += 'e';
    if (exponent < 10) {
        text += '0';
    }
    text += std::to_string(exponent);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

double FrameRateFor(int length, int format) {
    if (format == 1 || format == 2) {
        if (length >= kMaxFrameLength) {
            throw OverflowError();
        }
        ++length;
    }
    if (length > kMaxFrameLength) {
        throw OverflowError();
    }
    const double quotient = length / kCharactersPerCycle;
    const double whole = std::floor(quotient);
    const double cycles = whole < quotient ? whole + 1 : whole;
    if (cycles == 0) {
        throw DivisionByZeroError();
    }
    return std::round(kCyclesPerSecond / cycles * 10) / 10;
}

QString FrameRateCaption(double rate) {
    const double tenths = std::round(rate * 10);
    QString number = std::fmod(tenths, 10) == 0 ? QString::number(tenths / 10, 'f', 0)
                                                : QString::number(rate, 'f', 1);
    return number + QStringLiteral(" Frames/Sec");
}

double LeadingNumber(QStringView text) {
    char number[64];
    std::size_t length = 0;
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    bool point = false;
    for (; i < text.size() && length < sizeof number; ++i) {
        const char16_t c = text[i].unicode();
        if ((c >= u'0' && c <= u'9') || (c == u'.' && !point)) {
            point = point || c == u'.';
            number[length++] = static_cast<char>(c);
        } else {
            break;
        }
    }
    double value = 0;
    // from_chars, unlike strtod, ignores the C locale Qt installs.
    std::from_chars(number, number + length, value, std::chars_format::fixed);
    return negative ? -value : value;
}

}  // namespace tarquel
