#pragma once

#include "platform/PortDirectory.h"
#include "platform/SerialPort.h"

#include <QSerialPort>
#include <QSocketNotifier>
#include <QTimer>
#include <chrono>

namespace tarquel {

// A real serial port (or pseudo-terminal) through Qt SerialPort.
//
// Qt SerialPort opens, configures and closes the device. On Unix the bytes themselves are read and
// written on the device's descriptor, and Qt's own read notifier is kept quiet (its buffer is
// limited to one byte besides): a notifier of this class says when bytes come after a pause, and
// while they keep coming the next look is taken on a timer, so the program wakes once per
// interval however the line delivers its bytes. The waiting-byte count adds what the system holds
// (FIONREAD), which keeps it exact while the program blocks in a wait.
//
// Receive events are delivered through the event queue, never from inside a call of this object,
// and one delivery serves a whole burst: the first arrival queues a delivery a few milliseconds
// ahead, later arrivals find it queued. The flag is cleared before the handler runs, so a handler
// that runs a modal loop still gets later bursts, and bytes a handler left waiting get another
// delivery.
class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(PortDirectory directory, QObject* parent = nullptr);
    ~QtSerialPort() override;

    int commPort() const override { return port_; }
    void setCommPort(int port) override;
    QString deviceName() const override { return directory_.deviceFor(port_); }
    QString settings() const override { return settings_; }
    void setSettings(const QString& settings) override;
    bool portOpen() const override { return serial_.isOpen(); }
    void setPortOpen(bool open) override;
    void output(const QByteArray& bytes) override;
    QByteArray input() override;
    int inputLen() const override { return inputLen_; }
    void setInputLen(int length) override { inputLen_ = length; }
    int inBufferCount() const override;
    void waitForInput(int count, qint64 maxUs) override;
    void discardInput() override;
    int rThreshold() const override { return rThreshold_; }
    void setRThreshold(int threshold) override { rThreshold_ = threshold; }
    int commEvent() const override { return commEvent_; }

    // Writes a line for every write to the port, "W <begun µs> <ended µs> <bytes>", and for every
    // read from it, "R <µs> <bytes>": the bytes in hex, the times on the monotonic clock since the
    // trace was set. It shows what went over the line and when, as the program saw it. Null stops
    // the trace; the device must stay open while it is set.
    void setTrace(QIODevice* trace);

private:
    void applySettings();
    void requireOpen() const;
    qint64 systemWaiting() const;
    void pullFromSystem();
    void put(const QByteArray& bytes);
    void writeToSystem(const QByteArray& bytes);
    void scheduleReceive();
    void watchForArrival(bool watch);
    void quietQtNotifier();
    void reportDeviceLost();
    void deliverReceive();
    void onError(QSerialPort::SerialPortError error);
    bool deviceLost() const;
    qint64 traceUs() const;

    PortDirectory directory_;
    mutable QSerialPort serial_;
    int port_ = 1;
    QString settings_ = QStringLiteral("9600,n,8,1");
    int inputLen_ = 0;
    int rThreshold_ = 0;
    int commEvent_ = 0;
    QTimer delivery_;  // single shot: the receive event of the burst that is arriving
    QSocketNotifier* arrival_ = nullptr;  // Unix: says that bytes came after a pause
    QByteArray pending_;  // read from the system but not yet taken (a read length was set)
    QIODevice* trace_ = nullptr;
    std::chrono::steady_clock::time_point traceStart_;
};

// Milliseconds between the first arrival of a burst and its receive event.
inline constexpr int kReceiveCoalesceMs = 50;

}  // namespace tarquel
