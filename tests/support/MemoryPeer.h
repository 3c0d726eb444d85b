#pragma once

#include "platform/SerialPeer.h"

#include <QByteArray>
#include <algorithm>
#include <array>
#include <functional>
#include <string_view>
#include <vector>

namespace tarquel::test {

// The smallest device that speaks the memory protocol: answers read-word commands from a byte
// array and stores write-word commands; every other byte is kept as command text. Test knobs: how
// many answer bytes it sends, addresses it does not answer, writes it ignores. Records everything
// it receives with its time.
class MemoryPeer : public SerialPeer {
public:
    struct Received {
        qint64 timeMs;
        QByteArray bytes;
    };

    MemoryPeer() { memory.fill(0); }

    void setWord(int address, int word) {
        memory[address & 0xFFFF] = static_cast<quint8>(word >> 8);
        memory[(address + 1) & 0xFFFF] = static_cast<quint8>(word);
    }
    int word(int address) const {
        return memory[address & 0xFFFF] * 256 + memory[(address + 1) & 0xFFFF];
    }
    // Packs text from address on, one byte per character.
    void setText(int address, const QByteArray& text) {
        for (int i = 0; i < text.size(); ++i) {
            memory[(address + i) & 0xFFFF] = static_cast<quint8>(text[i]);
        }
    }

    void receive(const QByteArray& bytes, qint64 nowMs, int /*pcBaud*/) override {
        received.push_back({nowMs, bytes});
        for (const char b : bytes) {
            pending_.append(b);
            parse(nowMs);
        }
    }

    QByteArray transmit(qint64 nowMs, int /*pcBaud*/) override {
        if (!answer_.isEmpty() && nowMs >= answerAt_) {
            QByteArray out = answer_;
            answer_.clear();
            return out;
        }
        return {};
    }

    qint64 nextTransmitMs(qint64 nowMs) const override {
        return answer_.isEmpty() ? kNever : std::max(answerAt_, nowMs + 1);
    }

    QByteArray allReceived() const {
        QByteArray all;
        for (const Received& r : received) {
            all += r.bytes;
        }
        return all;
    }

    // A B600-family unit: its identification at C000 and the selection 3C07000000.
    void makeB600Unit() {
        using namespace std::string_view_literals;
        constexpr std::string_view id =
            "Corvane Industries\0Version 2.1\0Copyright 1999\0Unit A\0"sv;
        setText(0xC000, QByteArray(id.data(), static_cast<qsizetype>(id.size())));
        setWord(0x0002, 0x3C07);
    }
    // The bytes that were not memory commands (command texts such as ">2007C00000").
    const QByteArray& commandText() const { return commands_; }

    std::array<quint8, 65536> memory{};
    int answerBytes = 2;  // 0: no answer; 1: short; 3: one byte too many
    std::function<bool(int)> answers = [](int) { return true; };
    std::function<bool(int)> acceptsWrite = [](int) { return true; };
    std::vector<Received> received;

private:
    void parse(qint64 nowMs) {
        const auto at = [&](int i) { return static_cast<quint8>(pending_[i]); };
        if (at(0) == 0x7D) {
            if (pending_.size() < 3) {
                return;
            }
            const int address = at(1) * 256 + at(2);
            if (answerBytes > 0 && answers(address)) {
                QByteArray out;
                out.append(static_cast<char>(memory[address]));
                out.append(static_cast<char>(memory[(address + 1) & 0xFFFF]));
                out.append('\x55');
                answer_ = out.left(answerBytes);
                answerAt_ = nowMs + 2;
            }
        } else if (at(0) == 0x7B) {
            if (pending_.size() < 5) {
                return;
            }
            const int address = at(1) * 256 + at(2);
            if (acceptsWrite(address)) {
                setWord(address, at(3) * 256 + at(4));
            }
        } else {
            commands_ += pending_;
        }
        pending_.clear();
    }

    QByteArray pending_;
    QByteArray answer_;
    qint64 answerAt_ = 0;
    QByteArray commands_;
};

}  // namespace tarquel::test
