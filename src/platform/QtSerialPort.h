#pragma once

#include "platform/PortDirectory.h"
#include "platform/SerialPort.h"

#include <QSerialPort>

namespace tarquel {

// A real serial port (or pseudo-terminal) through Qt SerialPort.
//
// Qt moves received bytes into its own buffer only while the event loop runs or inside
// waitForReadyRead(). The waiting-byte count therefore adds the bytes the operating system still
// holds (FIONREAD), which keeps it exact while the program blocks in a wait. Receive events are
// always delivered through the event queue, never from inside a call of this object.
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
    void discardInput() override;
    int rThreshold() const override { return rThreshold_; }
    void setRThreshold(int threshold) override { rThreshold_ = threshold; }
    int commEvent() const override { return commEvent_; }

private:
    void applySettings();
    void requireOpen() const;
    qint64 systemWaiting() const;
    void pullFromSystem();
    void scheduleReceive();
    void deliverReceive();
    void onError(QSerialPort::SerialPortError error);
    bool deviceLost() const;

    PortDirectory directory_;
    mutable QSerialPort serial_;
    int port_ = 1;
    QString settings_ = QStringLiteral("9600,n,8,1");
    int inputLen_ = 0;
    int rThreshold_ = 0;
    int commEvent_ = 0;
};

}  // namespace tarquel
