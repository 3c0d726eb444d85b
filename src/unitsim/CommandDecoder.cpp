#include "unitsim/CommandDecoder.h"

namespace tarquel::unitsim {

namespace {

constexpr quint8 kRead = 0x7D;
constexpr quint8 kWrite = 0x7B;
constexpr quint8 kAdd = '#';
constexpr quint8 kChecksum = 34;
constexpr quint8 kChannels = '>';
constexpr quint8 kDecimal = '_';
constexpr quint8 kBinary = '^';
constexpr int kIncrementDigits = 4;
constexpr int kChannelDigits = 10;

bool isHexDigit(quint8 c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

int hexValue(const QByteArray& digits) {
    return digits.toInt(nullptr, 16);
}

DecodedCommand commandOf(DecodedCommand::Kind kind) {
    DecodedCommand command;
    command.kind = kind;
    return command;
}

}  // namespace

void CommandDecoder::reset() {
    state_ = State::Idle;
    collected_.clear();
}

std::optional<double> CommandDecoder::expire(double nowMs) {
    if (state_ == State::ReadAddress && nowMs - startedAt_ >= kReadAddressTimeoutMs) {
        reset();
        return startedAt_ + kReadAddressTimeoutMs;
    }
    if (state_ != State::Idle && state_ != State::ReadAddress &&
        nowMs - lastByteAt_ >= kPartialTimeoutMs) {
        reset();
    }
    return std::nullopt;
}

DecodedCommand CommandDecoder::take(quint8 byte, double nowMs) {
    expire(nowMs);
    lastByteAt_ = nowMs;
    switch (state_) {
        case State::Idle:
            return takeIdle(byte, nowMs);
        case State::ReadAddress:
            collected_.append(static_cast<char>(byte));
            if (collected_.size() == 2) {
                DecodedCommand read = commandOf(DecodedCommand::Kind::Read);
                read.address =
                    static_cast<quint8>(collected_[0]) << 8 | static_cast<quint8>(collected_[1]);
                reset();
                return read;
            }
            return {};
        case State::WriteBytes:
            collected_.append(static_cast<char>(byte));
            if (collected_.size() == 4) {
                DecodedCommand write = commandOf(DecodedCommand::Kind::Write);
                write.address =
                    static_cast<quint8>(collected_[0]) << 8 | static_cast<quint8>(collected_[1]);
                write.value = static_cast<quint16>(static_cast<quint8>(collected_[2]) << 8 |
                                                   static_cast<quint8>(collected_[3]));
                reset();
                return write;
            }
            return {};
        case State::AddText:
        case State::ChannelText:
            if (!isHexDigit(byte)) {
                reset();
                return takeIdle(byte, nowMs);
            }
            collected_.append(static_cast<char>(byte));
            if (state_ == State::AddText &&
                collected_.size() == layout_.shortAddressDigits + kIncrementDigits) {
                const DecodedCommand add = finishAdd();
                reset();
                return add;
            }
            if (state_ == State::ChannelText && collected_.size() == kChannelDigits) {
                const DecodedCommand select = finishChannels();
                reset();
                return select;
            }
            return {};
    }
    return {};
}

DecodedCommand CommandDecoder::takeIdle(quint8 byte, double nowMs) {
    startedAt_ = nowMs;
    collected_.clear();
    switch (byte) {
        case kRead:
            state_ = State::ReadAddress;
            return commandOf(DecodedCommand::Kind::ReadStarted);
        case kWrite:
            state_ = State::WriteBytes;
            return {};
        case kAdd:
            state_ = State::AddText;
            return {};
        case kChannels:
            state_ = State::ChannelText;
            return {};
        case kChecksum:
            return commandOf(DecodedCommand::Kind::RecalculateChecksum);
        case kDecimal:
            return commandOf(DecodedCommand::Kind::DecimalOutput);
        case kBinary:
            return commandOf(DecodedCommand::Kind::BinaryOutput);
        default:
            break;
    }
    recentIdle_.append(static_cast<char>(byte));
    recentIdle_ = recentIdle_.right(3);
    if (byte == '\r' && recentIdle_.size() == 3 && recentIdle_.left(2).toUpper() == "AT") {
        recentIdle_.clear();
        return commandOf(DecodedCommand::Kind::ModemProbe);
    }
    return {};
}

DecodedCommand CommandDecoder::finishAdd() const {
    DecodedCommand add = commandOf(DecodedCommand::Kind::AddToWord);
    add.address = layout_.shortAddressBase + hexValue(collected_.left(layout_.shortAddressDigits));
    add.value = static_cast<quint16>(hexValue(collected_.mid(layout_.shortAddressDigits)));
    return add;
}

DecodedCommand CommandDecoder::finishChannels() const {
    DecodedCommand select = commandOf(DecodedCommand::Kind::SelectChannels);
    select.channels = QByteArray::fromHex(collected_);
    return select;
}

}  // namespace tarquel::unitsim
