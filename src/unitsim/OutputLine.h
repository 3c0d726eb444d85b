#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <deque>

namespace tarquel::unitsim {

// The unit's transmitter: bytes go out one after the other at the unit's baud rate, 10 bits each
// (start, 8 data, stop). A port listening at another rate does not see the unit's bytes but a
// garble: about (bytes sent x port rate / unit rate) deterministic pseudo-random bytes with values
// spread evenly over 0-255 and never a carriage return, so no frame can ever be cut from it.
class OutputLine {
public:
    OutputLine(int baud, quint64 seed);

    int baud() const { return baud_; }
    // Changes the rate at nowMs; bytes still in flight are lost.
    void setBaud(int baud, double nowMs);
    double byteMs() const { return 10000.0 / baud_; }
    // When the last queued byte will have been sent.
    double freeAt() const { return freeAt_; }

    // Queues bytes to start at startMs or once the line is free, whichever is later. Returns the
    // time the last of them is sent.
    double send(const QByteArray& bytes, double startMs, bool streamData);
    // Queues bytes sent at the given rate rather than the unit's (a modem answers at the rate it
    // was spoken to); a port at that rate receives them as they are.
    double sendAtRate(const QByteArray& bytes, double startMs, int baud);
    // Drops the stream bytes that have not started by nowMs; the byte in progress completes.
    void dropUnstartedStream(double nowMs);
    // Removes and returns the bytes sent by nowMs as a port at pcBaud receives them (nothing while
    // pcBaud is 0: the port is closed and the bytes are lost).
    QByteArray take(double nowMs, int pcBaud);

private:
    struct Pending {
        double doneAt;
        char byte;
        bool streamData;
        int baud = 0;  // 0: the unit's rate
    };
    QByteArray garble(int unitBytes, int pcBaud);

    int baud_;
    double freeAt_ = 0;
    std::deque<Pending> queue_;
    double garbleCredit_ = 0;
    quint64 garbleState_;
};

}  // namespace tarquel::unitsim
