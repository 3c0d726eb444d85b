#include "unitsim/PtyDriver.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace tarquel::unitsim {

namespace {

constexpr std::array<std::pair<speed_t, int>, 10> kSpeeds{{
    {B300, 300},
    {B600, 600},
    {B1200, 1200},
    {B2400, 2400},
    {B4800, 4800},
    {B9600, 9600},
    {B19200, 19200},
    {B38400, 38400},
    {B57600, 57600},
    {B115200, 115200},
}};

QString systemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

}  // namespace

PtyDriver::~PtyDriver() {
    if (!link_.isEmpty()) {
        QFile::remove(link_);
    }
    if (slave_ >= 0) {
        ::close(slave_);
    }
    if (master_ >= 0) {
        ::close(master_);
    }
}

int PtyDriver::baudOfSpeed(unsigned speed) {
    for (const auto& [code, baud] : kSpeeds) {
        if (code == speed) {
            return baud;
        }
    }
    return 0;
}

unsigned PtyDriver::speedOfBaud(int baud) {
    for (const auto& [code, rate] : kSpeeds) {
        if (rate == baud) {
            return code;
        }
    }
    return B9600;
}

bool PtyDriver::open(int unitBaud, QString& error) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        error = systemError("posix_openpt");
        return false;
    }
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error = systemError("grantpt/unlockpt");
        return false;
    }
    const char* name = ::ptsname(master_);
    if (name == nullptr) {
        error = systemError("ptsname");
        return false;
    }
    slavePath_ = QString::fromLocal8Bit(name);
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0) {
        error = systemError("open slave");
        return false;
    }
    // Raw mode: no echo of the unit's output back to it, no translation of carriage returns.
    termios settings{};
    if (::tcgetattr(slave_, &settings) != 0) {
        error = systemError("tcgetattr");
        return false;
    }
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, speedOfBaud(unitBaud));
    ::cfsetospeed(&settings, speedOfBaud(unitBaud));
    if (::tcsetattr(slave_, TCSANOW, &settings) != 0) {
        error = systemError("tcsetattr");
        return false;
    }
    const int flags = ::fcntl(master_, F_GETFL);
    if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
        error = systemError("fcntl");
        return false;
    }
    return true;
}

bool PtyDriver::makeLink(const QString& linkPath, QString& error) {
    // Replaces a link left by an earlier run, never a real file.
    if (QFileInfo(linkPath).isSymLink()) {
        QFile::remove(linkPath);
    }
    if (::symlink(slavePath_.toLocal8Bit().constData(), linkPath.toLocal8Bit().constData()) != 0) {
        error = systemError("symlink");
        return false;
    }
    link_ = linkPath;
    return true;
}

int PtyDriver::pcBaud() const {
    termios settings{};
    if (::tcgetattr(slave_, &settings) != 0) {
        return 0;
    }
    return baudOfSpeed(::cfgetospeed(&settings));
}

QByteArray PtyDriver::readFromPc() {
    QByteArray all;
    std::array<char, 512> buffer{};
    for (;;) {
        const ssize_t n = ::read(master_, buffer.data(), buffer.size());
        if (n <= 0) {
            break;
        }
        all.append(buffer.data(), n);
    }
    return all;
}

void PtyDriver::writeToPc(const QByteArray& bytes) {
    qsizetype offset = 0;
    while (offset < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + offset,
                                  static_cast<size_t>(bytes.size() - offset));
        if (n <= 0) {
            // EAGAIN: the buffer is full because nobody reads; the rest is lost.
            return;
        }
        offset += n;
    }
}

}  // namespace tarquel::unitsim
