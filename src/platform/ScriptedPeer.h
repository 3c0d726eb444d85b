#pragma once

#include "platform/SerialPeer.h"

#include <QByteArray>
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace tarquel {

// A device for tests: records what it receives and sends scheduled bytes or answers computed by a
// callback. Sends at the PC's rate (no garbling).
class ScriptedPeer : public SerialPeer {
public:
    struct Received {
        qint64 timeMs;
        QByteArray bytes;
        int baud;
    };

    void receive(const QByteArray& bytes, qint64 nowMs, int pcBaud) override {
        received_.push_back({nowMs, bytes, pcBaud});
        if (onReceive_) {
            const QByteArray answer = onReceive_(bytes);
            if (!answer.isEmpty()) {
                sendAt(nowMs + answerDelayMs_, answer);
            }
        }
    }

    QByteArray transmit(qint64 nowMs, int /*pcBaud*/) override {
        QByteArray due;
        for (auto it = schedule_.begin(); it != schedule_.end();) {
            if (it->first <= nowMs) {
                due += it->second;
                it = schedule_.erase(it);
            } else {
                ++it;
            }
        }
        if (streamPeriodMs_ > 0 && nowMs >= nextStream_) {
            due += streamBytes_;
            nextStream_ = nowMs + streamPeriodMs_;
        }
        return due;
    }

    qint64 nextTransmitMs(qint64 nowMs) const override {
        qint64 next = streamPeriodMs_ > 0 ? nextStream_ : kNever;
        for (const auto& [timeMs, bytes] : schedule_) {
            next = std::min(next, timeMs);
        }
        return std::max(next, nowMs + 1);
    }

    void sendAt(qint64 timeMs, const QByteArray& bytes) { schedule_.emplace_back(timeMs, bytes); }
    // Sends bytes every periodMs from now on (0 stops).
    void stream(const QByteArray& bytes, int periodMs) {
        streamBytes_ = bytes;
        streamPeriodMs_ = periodMs;
        nextStream_ = 0;
    }
    void onReceive(std::function<QByteArray(const QByteArray&)> answer, int delayMs = 2) {
        onReceive_ = std::move(answer);
        answerDelayMs_ = delayMs;
    }

    const std::vector<Received>& received() const { return received_; }
    QByteArray allReceived() const {
        QByteArray all;
        for (const Received& r : received_) {
            all += r.bytes;
        }
        return all;
    }

private:
    std::vector<Received> received_;
    std::vector<std::pair<qint64, QByteArray>> schedule_;
    std::function<QByteArray(const QByteArray&)> onReceive_;
    int answerDelayMs_ = 2;
    QByteArray streamBytes_;
    int streamPeriodMs_ = 0;
    qint64 nextStream_ = 0;
};

}  // namespace tarquel
