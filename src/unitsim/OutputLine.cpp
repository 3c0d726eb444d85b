#include "unitsim/OutputLine.h"

#include <algorithm>
#include <cmath>

namespace tarquel::unitsim {

OutputLine::OutputLine(int baud, quint64 seed)
    : baud_(baud), garbleState_(seed * 2654435761ULL + 88172645463325252ULL) {}

void OutputLine::setBaud(int baud, double nowMs) {
    baud_ = baud;
    queue_.clear();
    freeAt_ = nowMs;
    garbleCredit_ = 0;
}

double OutputLine::send(const QByteArray& bytes, double startMs, bool streamData) {
    double t = std::max(startMs, freeAt_);
    for (const char b : bytes) {
        t += byteMs();
        queue_.push_back({t, b, streamData});
    }
    freeAt_ = std::max(freeAt_, t);
    return t;
}

double OutputLine::sendAtRate(const QByteArray& bytes, double startMs, int baud) {
    double t = std::max(startMs, freeAt_);
    for (const char b : bytes) {
        t += 10000.0 / baud;
        queue_.push_back({t, b, false, baud});
    }
    freeAt_ = std::max(freeAt_, t);
    return t;
}

void OutputLine::dropUnstartedStream(double nowMs) {
    const double started = nowMs + byteMs();  // a byte done after this has not started by nowMs
    std::erase_if(queue_,
                  [started](const Pending& p) { return p.streamData && p.doneAt > started; });
    freeAt_ = queue_.empty() ? std::min(freeAt_, nowMs) : queue_.back().doneAt;
}

QByteArray OutputLine::take(double nowMs, int pcBaud) {
    // The port hears the line in order: a run of bytes at another rate becomes garble where it
    // was sent, so an answer at the port's rate between stream bytes arrives whole.
    QByteArray heard;
    int mismatched = 0;
    while (!queue_.empty() && queue_.front().doneAt <= nowMs) {
        const Pending& p = queue_.front();
        if ((p.baud != 0 ? p.baud : baud_) == pcBaud) {
            if (mismatched > 0) {
                heard += garble(mismatched, pcBaud);
                mismatched = 0;
            }
            heard.append(p.byte);
        } else {
            ++mismatched;
        }
        queue_.pop_front();
    }
    if (pcBaud <= 0) {
        return {};
    }
    return mismatched == 0 ? heard : heard + garble(mismatched, pcBaud);
}

QByteArray OutputLine::garble(int unitBytes, int pcBaud) {
    garbleCredit_ += static_cast<double>(unitBytes) * pcBaud / baud_;
    const int count = static_cast<int>(std::floor(garbleCredit_));
    garbleCredit_ -= count;
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        garbleState_ ^= garbleState_ << 13;
        garbleState_ ^= garbleState_ >> 7;
        garbleState_ ^= garbleState_ << 17;
        // 255 values: 0-255 without 13.
        int value = static_cast<int>((garbleState_ >> 24) % 255);
        if (value >= 13) {
            ++value;
        }
        out.append(static_cast<char>(value));
    }
    return out;
}

}  // namespace tarquel::unitsim
