#include "platform/SerialPort.h"

#include <QStringList>

namespace tarquel {

int baudOfSettings(const QString& settings) {
    bool ok = false;
    const int baud = settings.section(QLatin1Char(','), 0, 0).trimmed().toInt(&ok);
    return ok ? baud : 0;
}

std::optional<LineFormat> parseLineFormat(const QString& settings) {
    const QStringList parts = settings.split(QLatin1Char(','));
    if (parts.size() != 4) {
        return std::nullopt;
    }
    LineFormat format;
    bool ok = false;
    format.baud = parts[0].trimmed().toInt(&ok);
    if (!ok || format.baud <= 0) {
        return std::nullopt;
    }
    const QString parity = parts[1].trimmed().toLower();
    if (parity.size() != 1 || !QStringLiteral("neoms").contains(parity)) {
        return std::nullopt;
    }
    format.parity = parity[0].toLatin1();
    format.dataBits = parts[2].trimmed().toInt(&ok);
    if (!ok || format.dataBits < 5 || format.dataBits > 8) {
        return std::nullopt;
    }
    const QString stop = parts[3].trimmed();
    if (stop == QLatin1String("1") || stop == QLatin1String("2")) {
        format.stopBits = stop.toInt();
    } else if (stop == QLatin1String("1.5")) {
        format.stopBits = 15;
    } else {
        return std::nullopt;
    }
    return format;
}

}  // namespace tarquel
