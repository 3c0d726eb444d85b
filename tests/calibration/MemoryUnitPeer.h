#pragma once

#include "platform/SerialPeer.h"

#include <QByteArray>
#include <map>
#include <set>
#include <vector>

namespace tarquel::test {

// A B600-family unit reduced to its memory: answers the read-word command (7D, then the two
// address bytes) 2 ms later, stores the write-word command (7B + address + value), and records
// every other byte as command text with its time. The identification text lies at C000.
class MemoryUnitPeer : public SerialPeer {
public:
    struct CommandByte {
        qint64 timeMs;
        char byte;
    };

    MemoryUnitPeer() {
        // Four zero-terminated strings; no two zero bytes meet in one word.
        const QByteArray id("Corvane Industries\0Version 2.1\0Copyright 1999\0Unit A\0", 53);
        for (int i = 0; i + 1 < id.size(); i += 2) {
            setWord(0xC000 + i, static_cast<quint8>(id[i]) << 8 | static_cast<quint8>(id[i + 1]));
        }
        setWord(0x0002, 0x3C07);
        setWord(0x0004, 0x0000);
        setWord(0x0006, 0x1234);
    }

    void setWord(int address, int value) { memory_[address] = static_cast<quint16>(value); }
    int word(int address) const {
        auto it = memory_.find(address);
        return it == memory_.end() ? 0 : it->second;
    }
    // Reads of this address get no answer.
    void silence(int address) { silent_.insert(address); }
    void silenceAll(bool silent) { silentAll_ = silent; }

    const std::vector<CommandByte>& commandBytes() const { return commands_; }
    QByteArray commandText() const {
        QByteArray text;
        for (const CommandByte& c : commands_) {
            text += c.byte;
        }
        return text;
    }
    // Addresses read so far, in order.
    const std::vector<int>& reads() const { return reads_; }

    void receive(const QByteArray& bytes, qint64 nowMs, int /*pcBaud*/) override {
        if (awaitingAddress_ && bytes.size() == 2) {
            awaitingAddress_ = false;
            const int address = static_cast<quint8>(bytes[0]) << 8 | static_cast<quint8>(bytes[1]);
            reads_.push_back(address);
            if (!silentAll_ && silent_.count(address) == 0) {
                const int value = word(address);
                answer_ =
                    QByteArray{1, static_cast<char>(value >> 8)} + static_cast<char>(value & 0xFF);
                answerAt_ = nowMs + 2;
            }
            return;
        }
        if (bytes.size() == 1 && static_cast<quint8>(bytes[0]) == 0x7D) {
            awaitingAddress_ = true;
            return;
        }
        if (bytes.size() == 5 && static_cast<quint8>(bytes[0]) == 0x7B) {
            setWord(static_cast<quint8>(bytes[1]) << 8 | static_cast<quint8>(bytes[2]),
                    static_cast<quint8>(bytes[3]) << 8 | static_cast<quint8>(bytes[4]));
            return;
        }
        for (const char c : bytes) {
            commands_.push_back({nowMs, c});
        }
    }

    QByteArray transmit(qint64 nowMs, int /*pcBaud*/) override {
        if (answer_.isEmpty() || nowMs < answerAt_) {
            return {};
        }
        QByteArray due;
        due.swap(answer_);
        return due;
    }

private:
    std::map<int, quint16> memory_;
    std::set<int> silent_;
    bool silentAll_ = false;
    bool awaitingAddress_ = false;
    QByteArray answer_;
    qint64 answerAt_ = 0;
    std::vector<CommandByte> commands_;
    std::vector<int> reads_;
};

}  // namespace tarquel::test
