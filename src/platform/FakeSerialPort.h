#pragma once

#include "platform/SerialPeer.h"
#include "platform/SerialPort.h"
#include "platform/VirtualClock.h"

#include <map>
#include <vector>

namespace tarquel {

class FakeSerialPort;

// The PC's serial hardware in virtual time: which of the ports 1 to 20 exist, which cannot be
// opened, and the device (SerialPeer) wired to each. Records every write of every port with its
// virtual time, so tests can check the bytes on the wire and their pacing.
class FakePortSystem : public VirtualWorld {
public:
    struct WriteRecord {
        qint64 timeMs;
        int port;
        QByteArray bytes;
    };

    explicit FakePortSystem(VirtualClock& clock);
    ~FakePortSystem() override;
    FakePortSystem(const FakePortSystem&) = delete;
    FakePortSystem& operator=(const FakePortSystem&) = delete;

    // The port exists; peer (may be null: a silent line) is wired to it. Not owned.
    void addPort(int port, SerialPeer* peer = nullptr);
    void removePort(int port);
    // The port exists but opening it fails, as with a port another program holds.
    void setOpenFails(int port, bool fails);
    bool exists(int port) const;

    const std::vector<WriteRecord>& writes() const { return writes_; }
    // The writes to one port, concatenated.
    QByteArray bytesWritten(int port) const;
    void clearWrites() { writes_.clear(); }

    VirtualClock& clock() { return clock_; }

    void advanceTo(qint64 nowMs) override;
    qint64 nextActivityMs(qint64 nowMs) const override;

private:
    friend class FakeSerialPort;
    struct Line {
        SerialPeer* peer = nullptr;
        bool openFails = false;
        FakeSerialPort* openBy = nullptr;
    };
    Line* line(int port);
    void send(FakeSerialPort* from, const QByteArray& bytes);

    VirtualClock& clock_;
    std::map<int, Line> lines_;
    std::vector<WriteRecord> writes_;
};

// A serial port on the FakePortSystem, with the blocking semantics of the real one: bytes arrive
// as virtual time passes (also during delay()), receive events are delivered only from
// VirtualClock::doEvents().
class FakeSerialPort : public SerialPort, private VirtualEventSource {
    Q_OBJECT
public:
    enum class Operation { Open, Settings, Output, Input, InBufferCount };

    explicit FakeSerialPort(FakePortSystem& system, QObject* parent = nullptr);
    ~FakeSerialPort() override;

    int commPort() const override { return port_; }
    void setCommPort(int port) override;
    QString deviceName() const override;
    QString settings() const override { return settings_; }
    void setSettings(const QString& settings) override;
    bool portOpen() const override { return open_; }
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

    // The next `times` calls of the operation throw PortError with the given number.
    void injectError(Operation operation, int number, int times = 1);
    // Raises a communication event other than receive at the next doEvents().
    void raiseEvent(int code) { pendingEvents_.push_back(code); }
    // Bytes as if they had just arrived from the line.
    void feed(const QByteArray& bytes);

    int baud() const { return baud_; }

private:
    friend class FakePortSystem;
    void deliverEvents() override;
    bool hasEvents() const override;
    // Bytes have arrived since the last receive event and reach the threshold.
    bool receiveDue() const {
        return receivePending_ && open_ && rThreshold_ > 0 && buffer_.size() >= rThreshold_;
    }
    void arrive(const QByteArray& bytes);
    void throwIfInjected(Operation operation) const;
    void requireOpen() const;

    FakePortSystem& system_;
    int port_ = 1;
    QString settings_ = QStringLiteral("9600,n,8,1");
    int baud_ = 9600;  // of settings_, asked at every step of the line
    bool open_ = false;
    QByteArray buffer_;
    int inputLen_ = 0;
    int rThreshold_ = 0;
    int commEvent_ = 0;
    bool receivePending_ = false;
    std::vector<int> pendingEvents_;
    struct Injection {
        int number;
        int times;
    };
    mutable std::map<Operation, Injection> injections_;
};

}  // namespace tarquel
