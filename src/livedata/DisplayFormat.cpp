#include "livedata/DisplayFormat.h"

#include "platform/Errors.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

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

// A small text built in place; the longest value text is about 320 characters (1e308 mg).
struct TextBuffer {
    char data[352];
    int size = 0;
    void add(char c) { data[size++] = c; }
    void add(const char* text) {
        while (*text != '\0') {
            data[size++] = *text++;
        }
    }
};

// Appends |value| rounded half away from zero to `decimals` decimals, working on its
// 15-significant-digit decimal form: at least minInteger integer digits (zero padded), the point
// and the decimals.
void appendFixed(TextBuffer& out, double magnitude, int minInteger, int decimals) {
    // value = 0.digits * 10^pointPos
    char digits[kSignificantDigits + 1];
    int count = 0;
    int pointPos = 0;
    if (magnitude != 0) {
        char text[32];
        const auto result = std::to_chars(text, text + sizeof text, magnitude,
                                          std::chars_format::scientific, kSignificantDigits - 1);
        const char* e = std::find(text, result.ptr, 'e');
        digits[count++] = text[0];
        for (const char* c = text + 2; c < e; ++c) {
            digits[count++] = *c;
        }
        int exponent = 0;
        std::from_chars(e + (e[1] == '+' ? 2 : 1), result.ptr, exponent);
        pointPos = exponent + 1;
    }
    const int keep = pointPos + decimals;
    if (keep < 0) {
        count = 0;
    } else if (keep < count) {
        const bool up = digits[keep] >= '5';
        count = keep;
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[i] == '9') {
                digits[i--] = '0';
            }
            if (i >= 0) {
                ++digits[i];
            } else {
                std::copy_backward(digits, digits + count, digits + count + 1);
                digits[0] = '1';
                ++count;
                ++pointPos;
            }
        }
    }
    const auto digitAt = [&](int i) { return i >= 0 && i < count ? digits[i] : '0'; };
    const int integerCount = std::max(pointPos, 0);
    for (int i = integerCount; i < minInteger; ++i) {
        out.add('0');
    }
    for (int i = 0; i < integerCount; ++i) {
        out.add(digitAt(i));
    }
    if (decimals > 0) {
        out.add('.');
        for (int d = 0; d < decimals; ++d) {
            out.add(digitAt(pointPos + d));
        }
    }
}

}  // namespace

QString FormatChannelValue(int slot, double value) {
    const Picture& picture = kSlotPictures.at(static_cast<std::size_t>(slot));
    TextBuffer text;
    if (value < 0) {
        text.add('-');
    } else if (picture.signSections) {
        text.add('+');
    }
    appendFixed(text, std::abs(value), picture.integerDigits, picture.decimals);
    text.add(picture.unit);
    return QString::fromLatin1(text.data, text.size);
}

QString FormatFixed(double value, int minInteger, int decimals) {
    TextBuffer text;
    if (value < 0) {
        text.add('-');
    }
    appendFixed(text, std::abs(value), std::clamp(minInteger, 0, 20), std::clamp(decimals, 0, 20));
    return QString::fromLatin1(text.data, text.size);
}

QString GeneralNumber(double value) {
    if (value == 0) {
        return QStringLiteral("0");
    }
    return QString::number(value, 'g', kSignificantDigits);
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
    TextBuffer text;
    if (count < 0) {
        text.add('-');
    }
    text.add(digits[0]);
    text.add('.');
    for (int i = 1; i <= std::max(decimals, 2); ++i) {
        text.add(i < length ? digits[i] : '0');
    }
    const int exponent = length - 1;
    text.add('e');
    text.add(static_cast<char>('0' + exponent / 10));
    text.add(static_cast<char>('0' + exponent % 10));
    return QString::fromLatin1(text.data, text.size);
}

double FrameRateFor(int length, DataFormat format) {
    if (format == DataFormat::Decimal || format == DataFormat::Binary) {
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
    char number[64] = {};
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
