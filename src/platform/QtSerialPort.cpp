#include "platform/QtSerialPort.h"

#include "platform/Errors.h"

#include <QMetaObject>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <poll.h>
#include <sys/ioctl.h>
#endif

namespace tarquel {

namespace {

struct LineFormat {
    int baud = 0;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

bool parseSettings(const QString& text, LineFormat& format) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4) {
        return false;
    }
    bool ok = false;
    format.baud = parts[0].trimmed().toInt(&ok);
    if (!ok || format.baud <= 0) {
        return false;
    }
    const QString parity = parts[1].trimmed().toLower();
    if (parity == QLatin1String("n")) {
        format.parity = QSerialPort::NoParity;
    } else if (parity == QLatin1String("e")) {
        format.parity = QSerialPort::EvenParity;
    } else if (parity == QLatin1String("o")) {
        format.parity = QSerialPort::OddParity;
    } else if (parity == QLatin1String("m")) {
        format.parity = QSerialPort::MarkParity;
    } else if (parity == QLatin1String("s")) {
        format.parity = QSerialPort::SpaceParity;
    } else {
        return false;
    }
    const int bits = parts[2].trimmed().toInt(&ok);
    if (!ok || bits < 5 || bits > 8) {
        return false;
    }
    format.dataBits = static_cast<QSerialPort::DataBits>(bits);
    const QString stop = parts[3].trimmed();
    if (stop == QLatin1String("1")) {
        format.stopBits = QSerialPort::OneStop;
    } else if (stop == QLatin1String("1.5")) {
        format.stopBits = QSerialPort::OneAndHalfStop;
    } else if (stop == QLatin1String("2")) {
        format.stopBits = QSerialPort::TwoStop;
    } else {
        return false;
    }
    return true;
}

PortError invalidSettings() {
    return PortError(ErrorNumber::SettingsNotApplied, QStringLiteral("Could not set comm state"));
}

}  // namespace

QtSerialPort::QtSerialPort(PortDirectory directory, QObject* parent)
    : SerialPort(parent), directory_(std::move(directory)) {
    connect(&serial_, &QSerialPort::readyRead, this, &QtSerialPort::scheduleReceive);
    connect(&serial_, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
}

QtSerialPort::~QtSerialPort() {
    if (serial_.isOpen()) {
        serial_.close();
    }
}

void QtSerialPort::requireOpen() const {
    if (!serial_.isOpen()) {
        throw PortError(ErrorNumber::PortNotOpen,
                        QStringLiteral("Operation valid only when the port is open"));
    }
}

void QtSerialPort::setCommPort(int port) {
    if (serial_.isOpen()) {
        throw PortError(ErrorNumber::PortAlreadyOpen, QStringLiteral("Port already open"));
    }
    port_ = port;
}

void QtSerialPort::setSettings(const QString& settings) {
    LineFormat format;
    if (!parseSettings(settings, format)) {
        throw invalidSettings();
    }
    settings_ = settings;
    if (serial_.isOpen()) {
        applySettings();
    }
}

void QtSerialPort::applySettings() {
    LineFormat format;
    if (!parseSettings(settings_, format) || !serial_.setBaudRate(format.baud) ||
        !serial_.setParity(format.parity) || !serial_.setDataBits(format.dataBits) ||
        !serial_.setStopBits(format.stopBits) ||
        !serial_.setFlowControl(QSerialPort::NoFlowControl)) {
        serial_.clearError();
        throw invalidSettings();
    }
}

void QtSerialPort::setPortOpen(bool open) {
    if (!open) {
        if (serial_.isOpen()) {
            serial_.close();
        }
        serial_.clearError();
        return;
    }
    if (serial_.isOpen()) {
        throw PortError(ErrorNumber::PortAlreadyOpen, QStringLiteral("Port already open"));
    }
    const QString device = directory_.deviceFor(port_);
    if (device.isEmpty()) {
        throw PortError(ErrorNumber::InvalidPortNumber, QStringLiteral("Invalid Port Number"));
    }
    serial_.setPortName(device);
    if (!serial_.open(QIODevice::ReadWrite)) {
        const QString reason = serial_.errorString();
        const bool missing = serial_.error() == QSerialPort::DeviceNotFoundError;
        serial_.clearError();
        throw PortError(missing ? ErrorNumber::InvalidPortNumber : ErrorNumber::PortNotAvailable,
                        missing ? QStringLiteral("Invalid Port Number") : reason);
    }
    try {
        applySettings();
    } catch (const PortError&) {
        serial_.close();
        throw;
    }
    serial_.clear(QSerialPort::AllDirections);
}

void QtSerialPort::output(const QByteArray& bytes) {
    requireOpen();
    if (serial_.write(bytes) != bytes.size()) {
        serial_.clearError();
        throw PortError(ErrorNumber::PortNotAvailable, QStringLiteral("Write to the port failed"));
    }
    // Put the bytes on the line now: the caller usually blocks in a delay right after.
    while (serial_.bytesToWrite() > 0) {
        if (!serial_.waitForBytesWritten(2000)) {
            serial_.clearError();
            throw PortError(ErrorNumber::PortNotAvailable,
                            QStringLiteral("Write to the port timed out"));
        }
    }
}

qint64 QtSerialPort::systemWaiting() const {
#ifdef Q_OS_WIN
    COMSTAT status{};
    DWORD errors = 0;
    if (!ClearCommError(serial_.handle(), &errors, &status)) {
        return 0;
    }
    return static_cast<qint64>(status.cbInQue);
#else
    int waiting = 0;
    if (::ioctl(serial_.handle(), FIONREAD, &waiting) != 0) {
        return 0;
    }
    return waiting;
#endif
}

void QtSerialPort::pullFromSystem() {
    if (systemWaiting() <= 0) {
        return;
    }
    // Reads what the system holds into Qt's buffer; emits readyRead, which only schedules. Any
    // error left over from Qt's own reading is not this read's.
    serial_.clearError();
    serial_.waitForReadyRead(0);
    const QSerialPort::SerialPortError error = serial_.error();
    serial_.clearError();
    if (error == QSerialPort::ReadError || error == QSerialPort::ResourceError) {
        throw PortError(ErrorNumber::ReadFailed, QStringLiteral("Error reading comm device"));
    }
}

QByteArray QtSerialPort::input() {
    requireOpen();
    pullFromSystem();
    return inputLen_ > 0 ? serial_.read(inputLen_) : serial_.readAll();
}

int QtSerialPort::inBufferCount() const {
    requireOpen();
    return static_cast<int>(serial_.bytesAvailable() + systemWaiting());
}

void QtSerialPort::discardInput() {
    if (serial_.isOpen()) {
        serial_.clear(QSerialPort::Input);
        serial_.readAll();
    }
}

void QtSerialPort::scheduleReceive() {
    // One queued delivery per arrival, never merged with an earlier one: a delivery queued while a
    // handler runs a modal loop may only run once that loop has ended, and later arrivals must
    // not wait for it. A delivery that finds the bytes already taken raises no event.
    QMetaObject::invokeMethod(this, &QtSerialPort::deliverReceive, Qt::QueuedConnection);
}

void QtSerialPort::deliverReceive() {
    if (serial_.isOpen() && rThreshold_ > 0 && inBufferCount() >= rThreshold_) {
        commEvent_ = CommEvent::Receive;
        emit onComm();
    }
}

bool QtSerialPort::deviceLost() const {
#ifdef Q_OS_WIN
    return true;
#else
    // Qt reports a read that found nothing (EAGAIN: another read got there first) as an error
    // too. Only a hang-up or an error on the descriptor means the device went away.
    pollfd descriptor{};
    descriptor.fd = static_cast<int>(serial_.handle());
    descriptor.events = POLLIN;
    if (::poll(&descriptor, 1, 0) < 0) {
        return true;
    }
    return (descriptor.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#endif
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::ReadError || error == QSerialPort::ResourceError) {
        // Qt's own reading failed. If the device is still there it was a read that found nothing
        // (another read got there first); a read that matters fails through pullFromSystem.
        serial_.clearError();
        if (!deviceLost()) {
            return;
        }
        // The device went away (a USB adapter unplugged, the far end of a pseudo-terminal closed).
        // Closing it stops Qt from polling a dead handle; later operations report a closed port.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (serial_.isOpen()) {
                    serial_.close();
                }
                serial_.clearError();
                commEvent_ = CommEvent::DeviceLost;
                emit onComm();
            },
            Qt::QueuedConnection);
    }
}

}  // namespace tarquel
