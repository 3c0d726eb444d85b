#include "platform/Errors.h"

namespace tarquel {

QString programErrorText(const RuntimeError& error, const QString& place) {
    return QStringLiteral("Error Number ") + QString::number(error.number()) +
           QStringLiteral(" - ") + error.description() + QStringLiteral(" has occurred in ") +
           place + QStringLiteral(". Please ") + QStringLiteral("contact Corvane Industries.");
}

}  // namespace tarquel
