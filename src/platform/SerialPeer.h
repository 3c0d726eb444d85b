#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <limits>

namespace tarquel {

// The far end of a serial line: the device wired to the PC's port (the simulated unit, a modem).
// Time is the millisecond counter of whoever drives the line (virtual in tests, real on a
// pseudo-terminal).
class SerialPeer {
public:
    virtual ~SerialPeer() = default;

    // Bytes the PC sent at nowMs. pcBaud is the baud rate of the PC's port; the device decides
    // what it makes of bytes sent at a rate other than its own.
    virtual void receive(const QByteArray& bytes, qint64 nowMs, int pcBaud) = 0;

    // Bytes the device has finished sending by nowMs, as a port running at pcBaud receives them
    // (a device sending at another rate arrives garbled). pcBaud is 0 while the PC's port is
    // closed: the device still runs, and what it sends is lost.
    virtual QByteArray transmit(qint64 nowMs, int pcBaud) = 0;

    // The first millisecond after nowMs at which transmit() may send bytes or change the device,
    // or kNever. A line in virtual time need not ask before then. Every millisecond unless the
    // device knows better.
    static constexpr qint64 kNever = std::numeric_limits<qint64>::max();
    virtual qint64 nextTransmitMs(qint64 nowMs) const { return nowMs + 1; }
};

}  // namespace tarquel
