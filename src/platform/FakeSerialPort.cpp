#include "platform/FakeSerialPort.h"

#include "platform/Errors.h"

#include <algorithm>

namespace tarquel {

namespace {
constexpr int kBufferLimit = 65536;

bool isSupportedBaud(int baud) {
    switch (baud) {
        case 110:
        case 300:
        case 600:
        case 1200:
        case 2400:
        case 4800:
        case 9600:
        case 14400:
        case 19200:
        case 28800:
        case 38400:
        case 56000:
        case 57600:
        case 115200:
            return true;
        default:
            return false;
    }
}
}  // namespace

FakePortSystem::FakePortSystem(VirtualClock& clock) : clock_(clock) {
    clock_.addWorld(this);
}

FakePortSystem::~FakePortSystem() {
    clock_.removeWorld(this);
}

void FakePortSystem::addPort(int port, SerialPeer* peer) {
    lines_[port].peer = peer;
}

void FakePortSystem::removePort(int port) {
    lines_.erase(port);
}

void FakePortSystem::setOpenFails(int port, bool fails) {
    lines_[port].openFails = fails;
}

bool FakePortSystem::exists(int port) const {
    return lines_.count(port) != 0;
}

FakePortSystem::Line* FakePortSystem::line(int port) {
    auto it = lines_.find(port);
    return it == lines_.end() ? nullptr : &it->second;
}

QByteArray FakePortSystem::bytesWritten(int port) const {
    QByteArray all;
    for (const WriteRecord& record : writes_) {
        if (record.port == port) {
            all += record.bytes;
        }
    }
    return all;
}

void FakePortSystem::send(FakeSerialPort* from, const QByteArray& bytes) {
    writes_.push_back({clock_.tickCount(), from->commPort(), bytes});
    Line* target = line(from->commPort());
    if (target != nullptr && target->peer != nullptr) {
        target->peer->receive(bytes, clock_.tickCount(), from->baud());
    }
}

void FakePortSystem::advanceTo(qint64 nowMs) {
    for (auto& [port, l] : lines_) {
        if (l.peer == nullptr) {
            continue;
        }
        const int baud = l.openBy != nullptr ? l.openBy->baud() : 0;
        const QByteArray bytes = l.peer->transmit(nowMs, baud);
        if (!bytes.isEmpty() && l.openBy != nullptr) {
            l.openBy->arrive(bytes);
        }
    }
}

qint64 FakePortSystem::nextActivityMs(qint64 nowMs) const {
    qint64 next = kNever;
    for (const auto& [port, l] : lines_) {
        if (l.peer != nullptr) {
            next = std::min(next, l.peer->nextTransmitMs(nowMs));
        }
    }
    return next;
}

FakeSerialPort::FakeSerialPort(FakePortSystem& system, QObject* parent)
    : SerialPort(parent), system_(system) {
    system_.clock().addEventSource(this);
}

FakeSerialPort::~FakeSerialPort() {
    system_.clock().removeEventSource(this);
    if (open_) {
        if (FakePortSystem::Line* l = system_.line(port_)) {
            l->openBy = nullptr;
        }
    }
}

void FakeSerialPort::injectError(Operation operation, int number, int times) {
    injections_[operation] = {number, times};
}

void FakeSerialPort::throwIfInjected(Operation operation) const {
    auto it = injections_.find(operation);
    if (it == injections_.end() || it->second.times <= 0) {
        return;
    }
    const int number = it->second.number;
    if (--it->second.times == 0) {
        injections_.erase(it);
    }
    throw PortError(number, QStringLiteral("Injected port error"));
}

void FakeSerialPort::requireOpen() const {
    if (!open_) {
        throw PortError(ErrorNumber::PortNotOpen,
                        QStringLiteral("Operation valid only when the port is open"));
    }
}

void FakeSerialPort::setCommPort(int port) {
    if (open_) {
        throw PortError(ErrorNumber::PortAlreadyOpen, QStringLiteral("Port already open"));
    }
    port_ = port;
}

QString FakeSerialPort::deviceName() const {
    return system_.exists(port_) ? QStringLiteral("fake:port%1").arg(port_) : QString();
}

void FakeSerialPort::setSettings(const QString& settings) {
    throwIfInjected(Operation::Settings);
    const std::optional<LineFormat> format = parseLineFormat(settings);
    if (!format || !isSupportedBaud(format->baud)) {
        throw PortError(ErrorNumber::SettingsNotApplied, QStringLiteral("Invalid property value"));
    }
    settings_ = settings;
    baud_ = format->baud;
}

void FakeSerialPort::setPortOpen(bool open) {
    if (open == open_) {
        if (open) {
            throw PortError(ErrorNumber::PortAlreadyOpen, QStringLiteral("Port already open"));
        }
        return;
    }
    if (!open) {
        if (FakePortSystem::Line* l = system_.line(port_)) {
            l->openBy = nullptr;
        }
        open_ = false;
        buffer_.clear();
        receivePending_ = false;
        return;
    }
    throwIfInjected(Operation::Open);
    if (port_ < 1 || port_ > 20) {
        throw PortError(ErrorNumber::InvalidPortNumber, QStringLiteral("Invalid Port Number"));
    }
    FakePortSystem::Line* l = system_.line(port_);
    if (l == nullptr) {
        throw PortError(ErrorNumber::InvalidPortNumber, QStringLiteral("Invalid Port Number"));
    }
    if (l->openFails || l->openBy != nullptr) {
        throw PortError(ErrorNumber::PortNotAvailable, QStringLiteral("The port is not available"));
    }
    l->openBy = this;
    open_ = true;
    buffer_.clear();
}

void FakeSerialPort::output(const QByteArray& bytes) {
    requireOpen();
    throwIfInjected(Operation::Output);
    system_.send(this, bytes);
}

QByteArray FakeSerialPort::input() {
    requireOpen();
    throwIfInjected(Operation::Input);
    const int count = inputLen_ > 0 ? std::min<int>(inputLen_, buffer_.size()) : buffer_.size();
    QByteArray taken = buffer_.left(count);
    buffer_.remove(0, count);
    return taken;
}

int FakeSerialPort::inBufferCount() const {
    requireOpen();
    throwIfInjected(Operation::InBufferCount);
    return buffer_.size();
}

void FakeSerialPort::waitForInput(int count, qint64 maxUs) {
    // Virtual time moves in whole milliseconds, bytes arriving as it passes.
    for (qint64 waited = 0; waited < maxUs && buffer_.size() < count; waited += 1000) {
        system_.clock().pollPause();
    }
}

void FakeSerialPort::discardInput() {
    buffer_.clear();
}

void FakeSerialPort::feed(const QByteArray& bytes) {
    arrive(bytes);
}

void FakeSerialPort::arrive(const QByteArray& bytes) {
    if (!open_) {
        return;
    }
    const int room = kBufferLimit - buffer_.size();
    if (bytes.size() > room) {
        buffer_ += bytes.left(room);
        pendingEvents_.push_back(CommEvent::RxOver);
    } else {
        buffer_ += bytes;
    }
    receivePending_ = true;
}

bool FakeSerialPort::hasEvents() const {
    return !pendingEvents_.empty() || receiveDue();
}

void FakeSerialPort::deliverEvents() {
    while (!pendingEvents_.empty()) {
        commEvent_ = pendingEvents_.front();
        pendingEvents_.erase(pendingEvents_.begin());
        emit onComm();
    }
    if (receiveDue()) {
        receivePending_ = false;
        commEvent_ = CommEvent::Receive;
        emit onComm();
    }
}

}  // namespace tarquel
