#pragma once

#include <QByteArray>
#include <QString>

namespace tarquel::unitsim {

// The unit's end of a pseudo-terminal. The PC side opens the slave device like a serial port.
// The driver keeps a descriptor of the slave open itself, so the PC can close and reopen the
// port without the line hanging up, and puts the slave in raw mode at the unit's rate until the
// PC sets its own settings. The rate the PC's port runs at is read from the slave's settings.
class PtyDriver {
public:
    PtyDriver() = default;
    ~PtyDriver();
    PtyDriver(const PtyDriver&) = delete;
    PtyDriver& operator=(const PtyDriver&) = delete;

    bool open(int unitBaud, QString& error);
    const QString& slavePath() const { return slavePath_; }
    // A symbolic link to the slave; removed again when the driver goes.
    bool makeLink(const QString& linkPath, QString& error);

    int masterFd() const { return master_; }
    // The baud rate the PC's port is set to (0 when it cannot be read).
    int pcBaud() const;
    // Everything the PC has written so far; never blocks.
    QByteArray readFromPc();
    // Hands bytes to the PC; what the pseudo-terminal cannot take at once is dropped, as a line
    // without a listener would lose it.
    void writeToPc(const QByteArray& bytes);

    static int baudOfSpeed(unsigned speed);
    static unsigned speedOfBaud(int baud);

private:
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
    QString link_;
};

}  // namespace tarquel::unitsim
