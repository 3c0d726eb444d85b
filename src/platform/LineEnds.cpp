#include "platform/LineEnds.h"

namespace tarquel {

QString plainLines(QString text) {
    return text.replace(kCrLf, QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

}  // namespace tarquel
