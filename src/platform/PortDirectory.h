#pragma once

#include <QString>
#include <QStringList>

namespace tarquel {

// Which device stands behind each of the port numbers 1 to 20. On Windows port n is COMn. On
// Linux the list comes from the environment variable TARQUEL_PORTS (colon-separated device paths,
// entry n is port n, an empty entry leaves that number without a device), else from the system's
// serial devices in a stable order (ttyS0, ttyS1, ..., ttyUSB0, ...).
class PortDirectory {
public:
    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 20;

    // Port n is devices[n - 1].
    explicit PortDirectory(QStringList devices);
    static PortDirectory fromEnvironment();

    // Empty when the number has no device.
    QString deviceFor(int port) const;
    const QStringList& devices() const { return devices_; }

    // Natural order of device paths: ttyS2 before ttyS10.
    static QStringList sortedNaturally(QStringList paths);

private:
    QStringList devices_;
};

}  // namespace tarquel
