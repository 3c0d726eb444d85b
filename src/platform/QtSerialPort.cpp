#include "platform/QtSerialPort.h"

#include "platform/Errors.h"

#include <QMetaObject>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <thread>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace tarquel {

namespace {

QSerialPort::Parity parityOf(char letter) {
    switch (letter) {
        case 'e':
            return QSerialPort::EvenParity;
        case 'o':
            return QSerialPort::OddParity;
        case 'm':
            return QSerialPort::MarkParity;
        case 's':
            return QSerialPort::SpaceParity;
        default:
            return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits stopBitsOf(int stopBits) {
    switch (stopBits) {
        case 15:
            return QSerialPort::OneAndHalfStop;
        case 2:
            return QSerialPort::TwoStop;
        default:
            return QSerialPort::OneStop;
    }
}

PortError invalidSettings() {
    return PortError(ErrorNumber::SettingsNotApplied, QStringLiteral("Could not set comm state"));
}

}  // namespace

QtSerialPort::QtSerialPort(PortDirectory directory, QObject* parent)
    : SerialPort(parent), directory_(std::move(directory)) {
    connect(&serial_, &QSerialPort::readyRead, this, &QtSerialPort::scheduleReceive);
    connect(&serial_, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
    // One timer for every delivery: a new single-shot timer for each would cost an object and a
    // registration with the event loop many times a second.
    delivery_.setSingleShot(true);
    delivery_.setTimerType(Qt::PreciseTimer);
    delivery_.setInterval(kReceiveCoalesceMs);
    connect(&delivery_, &QTimer::timeout, this, &QtSerialPort::deliverReceive);
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
    if (!parseLineFormat(settings)) {
        throw invalidSettings();
    }
    settings_ = settings;
    if (serial_.isOpen()) {
        applySettings();
    }
}

void QtSerialPort::applySettings() {
    const std::optional<LineFormat> format = parseLineFormat(settings_);
    if (!format || !serial_.setBaudRate(format->baud) ||
        !serial_.setParity(parityOf(format->parity)) ||
        !serial_.setDataBits(static_cast<QSerialPort::DataBits>(format->dataBits)) ||
        !serial_.setStopBits(stopBitsOf(format->stopBits)) ||
        !serial_.setFlowControl(QSerialPort::NoFlowControl)) {
        serial_.clearError();
        throw invalidSettings();
    }
}

void QtSerialPort::setPortOpen(bool open) {
    if (!open) {
        pending_.clear();
        delete arrival_;
        arrival_ = nullptr;
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
    pending_.clear();
    delivery_.stop();
#ifndef Q_OS_WIN
    // Qt's own buffer holds one byte should its notifier ever read; the system keeps the rest
    // for input().
    serial_.setReadBufferSize(1);
    quietQtNotifier();
    arrival_ = new QSocketNotifier(serial_.handle(), QSocketNotifier::Read, this);
    connect(arrival_, &QSocketNotifier::activated, this, &QtSerialPort::scheduleReceive);
#endif
}

void QtSerialPort::setTrace(QIODevice* trace) {
    trace_ = trace;
    traceStart_ = std::chrono::steady_clock::now();
}

qint64 QtSerialPort::traceUs() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 traceStart_)
        .count();
}

void QtSerialPort::output(const QByteArray& bytes) {
    requireOpen();
    const qint64 begun = trace_ != nullptr ? traceUs() : 0;
    put(bytes);
    if (trace_ != nullptr) {
        trace_->write(QByteArray("W ") + QByteArray::number(begun) + ' ' +
                      QByteArray::number(traceUs()) + ' ' + bytes.toHex(' ').toUpper() + '\n');
    }
}

void QtSerialPort::put(const QByteArray& bytes) {
#ifdef Q_OS_WIN
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
#else
    writeToSystem(bytes);
#endif
}

#ifndef Q_OS_WIN
// Hands the bytes to the system at once, waiting (at most two seconds) while its output buffer
// is full.
void QtSerialPort::writeToSystem(const QByteArray& bytes) {
    const int fd = static_cast<int>(serial_.handle());
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written > 0) {
            done += written;
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR) {
            throw PortError(ErrorNumber::PortNotAvailable,
                            QStringLiteral("Write to the port failed"));
        }
        pollfd descriptor{fd, POLLOUT, 0};
        if (::poll(&descriptor, 1, 2000) <= 0) {
            throw PortError(ErrorNumber::PortNotAvailable,
                            QStringLiteral("Write to the port timed out"));
        }
    }
}
#endif

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
#ifdef Q_OS_WIN
    pending_ += serial_.readAll();
    if (systemWaiting() <= 0) {
        return;
    }
    serial_.clearError();
    serial_.waitForReadyRead(0);
    const QSerialPort::SerialPortError error = serial_.error();
    serial_.clearError();
    if (error == QSerialPort::ReadError || error == QSerialPort::ResourceError) {
        throw PortError(ErrorNumber::ReadFailed, QStringLiteral("Error reading comm device"));
    }
    pending_ += serial_.readAll();
#else
    // The byte Qt's notifier took comes first (read from its buffer alone, which leaves the
    // notifier resting); then everything the system holds.
    if (const qint64 held = serial_.bytesAvailable(); held > 0) {
        pending_ += serial_.read(held);
        quietQtNotifier();  // reading Qt's buffer wakes its notifier
    }
    const int fd = static_cast<int>(serial_.handle());
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got > 0) {
            pending_.append(chunk, got);
            continue;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 && errno != EAGAIN) {
            throw PortError(ErrorNumber::ReadFailed, QStringLiteral("Error reading comm device"));
        }
        return;
    }
#endif
}

QByteArray QtSerialPort::input() {
    requireOpen();
    const qsizetype held = pending_.size();
    pullFromSystem();
    if (trace_ != nullptr && pending_.size() > held) {
        trace_->write(QByteArray("R ") + QByteArray::number(traceUs()) + ' ' +
                      pending_.sliced(held).toHex(' ').toUpper() + '\n');
    }
    if (inputLen_ > 0 && pending_.size() > inputLen_) {
        QByteArray taken = pending_.left(inputLen_);
        pending_.remove(0, inputLen_);
        return taken;
    }
    QByteArray taken;
    taken.swap(pending_);
    return taken;
}

int QtSerialPort::inBufferCount() const {
    requireOpen();
    return static_cast<int>(pending_.size() + serial_.bytesAvailable() + systemWaiting());
}

void QtSerialPort::waitForInput(int count, qint64 maxUs) {
    if (!serial_.isOpen()) {
        return;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::microseconds(maxUs);
    const int baud = std::max(baudOfSettings(settings_), 300);
    // The time one byte takes on the line, 10 bits at the port's rate.
    const auto byteTime = std::chrono::microseconds(10'000'000 / baud);
    for (;;) {
        const int waiting = inBufferCount();
        const auto now = std::chrono::steady_clock::now();
        if (waiting >= count || now >= end) {
            return;
        }
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(end - now);
#ifdef Q_OS_WIN
        std::this_thread::sleep_for(std::min(left, std::chrono::microseconds(500)));
#else
        if (waiting > 0) {
            // Some bytes are there already: the descriptor stays readable, so sleep for the rest
            // rather than poll it.
            const auto rest =
                std::max(byteTime * (count - waiting), std::chrono::microseconds(300));
            std::this_thread::sleep_for(std::min(left, rest));
            continue;
        }
        pollfd descriptor{static_cast<int>(serial_.handle()), POLLIN, 0};
        const timespec timeout{static_cast<time_t>(left.count() / 1'000'000),
                               static_cast<long>(left.count() % 1'000'000) * 1000};
        if (::ppoll(&descriptor, 1, &timeout, nullptr) < 0 && errno != EINTR) {
            return;
        }
#endif
    }
}

void QtSerialPort::discardInput() {
    pending_.clear();
    if (serial_.isOpen()) {
        serial_.clear(QSerialPort::Input);
        serial_.readAll();
    }
}

void QtSerialPort::quietQtNotifier() {
#ifndef Q_OS_WIN
    for (QSocketNotifier* notifier : serial_.findChildren<QSocketNotifier*>()) {
        if (notifier != arrival_ && notifier->type() == QSocketNotifier::Read) {
            notifier->setEnabled(false);
        }
    }
#endif
}

void QtSerialPort::watchForArrival(bool watch) {
    if (arrival_ != nullptr) {
        arrival_->setEnabled(watch);
    }
}

void QtSerialPort::scheduleReceive() {
    watchForArrival(false);
    if (!delivery_.isActive()) {
        delivery_.start();
    }
}

void QtSerialPort::deliverReceive() {
    // The single-shot timer is no longer active here: arrivals while the handler runs (a modal
    // loop in it) start it again and get their own delivery.
    if (!serial_.isOpen()) {
        return;
    }
    if (rThreshold_ <= 0 || inBufferCount() < rThreshold_) {
        if (inBufferCount() == 0 && deviceLost()) {
            // A descriptor that is readable with nothing to read: the far end hung up.
            reportDeviceLost();
            return;
        }
        // The stream has paused: the notifier says when it goes on.
        watchForArrival(true);
        return;
    }
    // While data flows the next look comes from the clock, not from a notifier: one wake-up per
    // interval however the bytes arrive. Queued before the handler runs, so that a handler that
    // runs a modal loop still gets the bytes that come meanwhile.
    scheduleReceive();
    commEvent_ = CommEvent::Receive;
    emit onComm();
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

// The device went away (a USB adapter unplugged, the far end of a pseudo-terminal closed).
// Closing it stops polling a dead handle; later operations report a closed port.
void QtSerialPort::reportDeviceLost() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!serial_.isOpen()) {
                return;
            }
            setPortOpen(false);
            commEvent_ = CommEvent::DeviceLost;
            emit onComm();
        },
        Qt::QueuedConnection);
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::ReadError || error == QSerialPort::ResourceError) {
        // Qt's own reading failed. If the device is still there it was a read that found nothing
        // (another read got there first); a read that matters fails through pullFromSystem.
        serial_.clearError();
        if (!deviceLost()) {
            return;
        }
        reportDeviceLost();
    }
}

}  // namespace tarquel
