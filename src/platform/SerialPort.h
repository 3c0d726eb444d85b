#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>

namespace tarquel {

// Reason of a communication event (the value of commEvent() inside onComm).
namespace CommEvent {
constexpr int Send = 1;
constexpr int Receive = 2;
constexpr int LineChange = 3;
constexpr int Break = 1001;
constexpr int Frame = 1004;
constexpr int Overrun = 1006;
constexpr int RxOver = 1008;
constexpr int RxParity = 1009;
constexpr int DeviceLost = 1011;
}  // namespace CommEvent

// One serial port as the program sees it: a port number from 1 to 20, a settings text such as
// "9600,n,8,1", open and close, a receive buffer read in binary and a communication event.
//
// Blocking semantics the unit link relies on: onComm is never emitted from inside a call to this
// object, nor while the program blocks in Clock::delay or a polling wait; a receive event that
// becomes due meanwhile is delivered the next time the event loop runs. Bytes that arrive during a
// blocking wait are counted by inBufferCount() and returned by input() at once.
//
// Failing operations throw PortError.
class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialPort() override = default;

    virtual int commPort() const = 0;
    // Throws PortError (PortAlreadyOpen) while the port is open.
    virtual void setCommPort(int port) = 0;
    // The device behind the current port number ("/dev/ttyS0", "COM3"), empty when none.
    virtual QString deviceName() const = 0;

    virtual QString settings() const = 0;
    // "baud,n,8,1". Applied at once when the port is open.
    virtual void setSettings(const QString& settings) = 0;

    virtual bool portOpen() const = 0;
    virtual void setPortOpen(bool open) = 0;

    // Sends the bytes unchanged in one write.
    virtual void output(const QByteArray& bytes) = 0;
    // Returns and removes the waiting bytes: all of them while inputLen() is 0, else at most
    // inputLen() of them (the oldest first).
    virtual QByteArray input() = 0;
    virtual int inputLen() const = 0;
    virtual void setInputLen(int length) = 0;

    virtual int inBufferCount() const = 0;
    // Blocks until at least count bytes are waiting or maxUs microseconds have passed, whichever
    // comes first, without servicing events and without keeping a core busy. The caller measures
    // its own deadline; this wait may end earlier than maxUs only because the bytes came.
    virtual void waitForInput(int count, qint64 maxUs) = 0;
    // Discards every waiting byte (the effect of setting the waiting-byte count to 0).
    virtual void discardInput() = 0;

    virtual int rThreshold() const = 0;
    // Number of waiting bytes that raises a receive event; 0 raises none.
    virtual void setRThreshold(int threshold) = 0;

    // The reason of the event being delivered (see CommEvent).
    virtual int commEvent() const = 0;

signals:
    // The communication event.
    void onComm();
};

// "9600,n,8,1" -> 9600; 0 when the baud part is not a number.
int baudOfSettings(const QString& settings);

// A settings text taken apart: baud rate, parity n, e, o, m or s, 5 to 8 data bits, 1, 1.5 or 2
// stop bits (stopBits 15 stands for 1.5).
struct LineFormat {
    int baud = 0;
    char parity = 'n';
    int dataBits = 8;
    int stopBits = 1;
};
// "9600,n,8,1" and the like (any letter case, spaces around the parts); nothing when the text
// breaks a rule. Every port implementation accepts exactly these texts.
std::optional<LineFormat> parseLineFormat(const QString& settings);

}  // namespace tarquel
