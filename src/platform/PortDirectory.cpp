#include "platform/PortDirectory.h"

#include <QSerialPortInfo>
#include <QtGlobal>
#include <algorithm>

namespace tarquel {

PortDirectory::PortDirectory(QStringList devices) : devices_(std::move(devices)) {}

PortDirectory PortDirectory::fromEnvironment() {
#ifdef Q_OS_WIN
    QStringList devices;
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        devices << QStringLiteral("COM%1").arg(n);
    }
    return PortDirectory(devices);
#else
    const QString configured = qEnvironmentVariable("TARQUEL_PORTS");
    if (!configured.isEmpty()) {
        return PortDirectory(configured.split(QLatin1Char(':')));
    }
    QStringList paths;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        paths << info.systemLocation();
    }
    return PortDirectory(sortedNaturally(paths));
#endif
}

QString PortDirectory::deviceFor(int port) const {
    if (port < kFirstPort || port > kLastPort || port > devices_.size()) {
        return {};
    }
    return devices_.at(port - 1).trimmed();
}

namespace {

// Compares digit runs by their value and everything else character by character.
bool naturalLess(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i;
            qsizetype ej = j;
            while (ei < a.size() && a[ei].isDigit()) {
                ++ei;
            }
            while (ej < b.size() && b[ej].isDigit()) {
                ++ej;
            }
            const qulonglong na = a.mid(i, ei - i).toULongLong();
            const qulonglong nb = b.mid(j, ej - j).toULongLong();
            if (na != nb) {
                return na < nb;
            }
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j]) {
                return a[i] < b[j];
            }
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

}  // namespace

QStringList PortDirectory::sortedNaturally(QStringList paths) {
    std::stable_sort(paths.begin(), paths.end(), naturalLess);
    return paths;
}

}  // namespace tarquel
