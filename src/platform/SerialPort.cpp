#include "platform/SerialPort.h"

namespace tarquel {

int baudOfSettings(const QString& settings) {
    bool ok = false;
    const int baud = settings.section(QLatin1Char(','), 0, 0).trimmed().toInt(&ok);
    return ok ? baud : 0;
}

}  // namespace tarquel
