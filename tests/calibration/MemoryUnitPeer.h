#pragma once

#include "platform/SerialPeer.h"

#include <QByteArray>
#include <map>
#include <set>

namespace tarquel::test {

// A B600-family unit reduced to its memory: answers the read-word command (7D, then the two
// address bytes) 2 ms later, stores the write-word command (7B, address, value) and records every
// other byte as command text. The identification text lies at C000, the channel words at 0002.
class MemoryUnitPeer : public SerialPeer {
public:
    MemoryUnitPeer() {
        // Four zero-terminated strings; no two zero bytes meet in one word.
        const QByteArray id("Corvane Industries\0Version 2.1\0Copyright 1999\0Unit A\0", 53);
        for (int i = 0; i + 1 < id.size(); i += 2) {
            setWord(0xC000 + i, quint8(id[i]) << 8 | quint8(id[i + 1]));
        }
        setWord(0x0002, 0x3C07);
        setWord(0x0006, 0x1234);
    }

    void setWord(int address, int value) { memory_[address] = static_cast<quint16>(value); }
    int word(int address) const { return memory_.count(address) ? memory_.at(address) : 0; }
    // Reads of the address (-1: of every address) get no answer.
    void silence(int address) { silent_.insert(address); }
    const QByteArray& commandText() const { return commands_; }

    void receive(const QByteArray& bytes, qint64 nowMs, int /*pcBaud*/) override {
        const auto byte = [&](int i) { return static_cast<int>(quint8(bytes[i])); };
        if (awaitingAddress_ && bytes.size() == 2) {
            awaitingAddress_ = false;
            const int address = byte(0) << 8 | byte(1);
            if (!silent_.count(address) && !silent_.count(-1)) {
                answer_ = QByteArray(1, char(word(address) >> 8)) + char(word(address) & 0xFF);
                answerAt_ = nowMs + 2;
            }
        } else if (bytes.size() == 1 && byte(0) == 0x7D) {
            awaitingAddress_ = true;
        } else if (bytes.size() == 5 && byte(0) == 0x7B) {
            setWord(byte(1) << 8 | byte(2), byte(3) << 8 | byte(4));
        } else {
            commands_ += bytes;
        }
    }

    QByteArray transmit(qint64 nowMs, int /*pcBaud*/) override {
        QByteArray due;
        if (nowMs >= answerAt_) {
            due.swap(answer_);
        }
        return due;
    }

private:
    std::map<int, quint16> memory_;
    std::set<int> silent_;
    bool awaitingAddress_ = false;
    QByteArray answer_;
    qint64 answerAt_ = 0;
    QByteArray commands_;
};

}  // namespace tarquel::test
