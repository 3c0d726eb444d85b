#include "unitsim/FrameEncoder.h"

#include <QString>
#include <algorithm>
#include <cmath>

namespace tarquel::unitsim {

namespace {

constexpr int kSelectionBits = 40;
constexpr int kBinaryOffset = 8192;
constexpr int kBinaryMax = 16383;
constexpr char kHeader = '\xFF';
constexpr char kCarriageReturn = 13;

struct Field {
    double value = 0;
    bool tenths = false;  // an angle or temperature: one decimal
};

Field fieldFor(int bit, const ChannelValues& v) {
    switch (bit) {
        case FrameEncoder::kTemperatureBit:
            return {v.temperatureC, true};
        case FrameEncoder::kHeadingBit:
            return {v.headingDeg, true};
        case 36:
            return {v.accelMg[0], false};
        case 35:
            return {v.accelMg[1], false};
        case 34:
            return {v.accelMg[2], false};
        case 26:
            return {v.magMg[0], false};
        case 25:
            return {v.magMg[1], false};
        case 24:
            return {v.magMg[2], false};
        case 23:
            return {v.inclinationDeg[0], true};
        case 22:
            return {v.inclinationDeg[1], true};
        default:
            return {};
    }
}

QByteArray decimalText(const Field& f) {
    if (f.tenths) {
        // Adding 0.0 turns a rounded -0.0 into 0.0, so no "-0.0" appears.
        const double rounded = std::round(f.value * 10.0) / 10.0 + 0.0;
        return QByteArray::number(rounded, 'f', 1);
    }
    return QByteArray::number(static_cast<qint64>(std::llround(f.value)));
}

void appendBinary(QByteArray& frame, const Field& f) {
    const double scaled = f.tenths ? f.value * 10.0 : f.value;
    const int n = std::clamp(static_cast<int>(std::lround(scaled)) + kBinaryOffset, 0, kBinaryMax);
    frame.append(static_cast<char>(0x80 | (n >> 7)));
    frame.append(static_cast<char>(0x80 | (n & 0x7F)));
}

}  // namespace

std::vector<int> FrameEncoder::selectedBits(const QByteArray& selection) {
    std::vector<int> bits;
    for (int bit = kSelectionBits - 1; bit >= 0; --bit) {
        const int byteIndex = (kSelectionBits - 1 - bit) / 8;
        if (byteIndex >= selection.size()) {
            continue;
        }
        if ((static_cast<quint8>(selection[byteIndex]) >> (bit % 8)) & 1) {
            bits.push_back(bit);
        }
    }
    return bits;
}

QByteArray FrameEncoder::encode(const QByteArray& selection, const ChannelValues& values,
                                OutputFormat format) {
    QByteArray frame;
    if (format == OutputFormat::Decimal) {
        frame.append('I');
        for (const int bit : selectedBits(selection)) {
            frame.append(' ');
            frame.append(decimalText(fieldFor(bit, values)));
        }
        if (frame.size() == 1) {
            frame.append(' ');
        }
    } else {
        frame.append(kHeader);
        for (const int bit : selectedBits(selection)) {
            appendBinary(frame, fieldFor(bit, values));
        }
    }
    frame.append(kCarriageReturn);
    return frame;
}

}  // namespace tarquel::unitsim
