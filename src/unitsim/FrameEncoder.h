#pragma once

#include <QByteArray>
#include <vector>

namespace tarquel::unitsim {

enum class OutputFormat { Decimal, Binary };

// What the unit measures at one moment, in the units its frames carry.
struct ChannelValues {
    double headingDeg = 0;              // the unit's own heading
    double accelMg[3] = {0, 0, 0};      // X, Y, Z acceleration, milli-g
    double magMg[3] = {0, 0, 0};        // X, Y, Z magnetometer (calibrated), milli-gauss
    double inclinationDeg[2] = {0, 0};  // X, Y inclination
    double temperatureC = 0;
};

// Builds one output frame from the channel selection (five bytes, 40 bits, bit 39 the top bit of
// the first byte). Each set bit gives one field, in descending bit order:
//   37 unit heading, 36/35/34 X/Y/Z acceleration, 26/25/24 X/Y/Z magnetometer,
//   23/22 X/Y inclination, 38 temperature; any other bit gives a field of value 0.
//
// Decimal frame: "I", then " " and the value of each field, then a carriage return. Angles and
// temperature carry one decimal ("123.4", "-2.5"), magnetometer and accelerometer values are whole
// milli-gauss / milli-g ("215", "-1000").
//
// Binary frame: a header byte FF, then two bytes per field, then a carriage return (13). A field
// is a 14-bit offset-binary number n = value + 8192 (clamped to 0..16383, value in tenths for
// angles and temperature, whole units otherwise), sent as 0x80 | (n >> 7) and 0x80 | (n & 0x7F).
// Every byte but the terminator therefore has its top bit set.
class FrameEncoder {
public:
    // Bit numbers of the set bits, highest first.
    static std::vector<int> selectedBits(const QByteArray& selection);
    // The frame including its carriage return.
    static QByteArray encode(const QByteArray& selection, const ChannelValues& values,
                             OutputFormat format);

    static constexpr int kHeadingBit = 37;
    static constexpr int kTemperatureBit = 38;
};

}  // namespace tarquel::unitsim
