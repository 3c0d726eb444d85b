#pragma once

#include <QString>

namespace tarquel {

// Command texts the unit obeys; each goes out one character at a time (SendCommandText).
namespace UnitCommand {
inline const QString DecimalOutput = QStringLiteral("_");
inline const QString BinaryOutput = QStringLiteral("^");
inline const QString SelectChannels = QStringLiteral(">");
inline const QString AddToWord = QStringLiteral("#");
inline const QString RecalculateChecksum = QString(QChar(34));
}  // namespace UnitCommand

// Output-channel selections for calibration: ten hex digits, five bytes, most significant first.
inline const QString kAccelChannels = QStringLiteral("3C07000000");
inline const QString kPendChannels = QStringLiteral("2007C00000");

// The wait after the recalculate-checksum command, during which the unit rewrites its checksum.
constexpr int kChecksumWaitMs = 12000;

}  // namespace tarquel
