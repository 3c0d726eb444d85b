#pragma once

#include "unitsim/UnitLayout.h"

#include <QByteArray>
#include <optional>

namespace tarquel::unitsim {

// A command the unit has received completely (or the start of a read, which already matters).
struct DecodedCommand {
    enum class Kind {
        None,
        ReadStarted,  // 7D: the unit holds its stream until the address has come
        Read,
        Write,
        AddToWord,
        RecalculateChecksum,
        SelectChannels,
        DecimalOutput,
        BinaryOutput,
        ModemProbe,  // "AT" + carriage return
    };
    Kind kind = Kind::None;
    int address = 0;
    quint16 value = 0;    // the word to write, or the increment of an add
    QByteArray channels;  // five bytes of a channel selection
};

// Turns the bytes the unit receives, one at a time, into commands:
//   7D hi lo                     read word
//   7B hi lo vh vl               write word
//   "#" short address, 4 hex     add a signed increment (2 address digits B600, 3 in 1600 family)
//   34 (double quote)            recalculate the checksum
//   ">" 10 hex digits            select output channels
//   "_" / "^"                    decimal / binary output
// Everything else is ignored. A partial command is dropped after 500 ms without a byte, a read
// whose address does not come within 200 ms of its 7D likewise. A character that cannot continue
// a text command drops it and is then taken as the start of a new command.
class CommandDecoder {
public:
    static constexpr double kPartialTimeoutMs = 500;
    static constexpr double kReadAddressTimeoutMs = 200;

    explicit CommandDecoder(const UnitLayout& layout) : layout_(layout) {}

    DecodedCommand take(quint8 byte, double nowMs);
    // Drops a partial command that has timed out by nowMs. When that command was a read, returns
    // the time it was given up (the unit's stream resumes from then).
    std::optional<double> expire(double nowMs);
    bool awaitingReadAddress() const { return state_ == State::ReadAddress; }
    bool idle() const { return state_ == State::Idle; }
    void reset();

private:
    enum class State { Idle, ReadAddress, WriteBytes, AddText, ChannelText };

    DecodedCommand takeIdle(quint8 byte, double nowMs);
    DecodedCommand finishAdd() const;
    DecodedCommand finishChannels() const;

    UnitLayout layout_;
    State state_ = State::Idle;
    QByteArray collected_;
    double startedAt_ = 0;
    double lastByteAt_ = 0;
    QByteArray recentIdle_;  // the last idle bytes, for the modem probe
};

}  // namespace tarquel::unitsim
