#pragma once

#include "platform/MessageBoxes.h"
#include "platform/ProgressWindow.h"
#include "unitlink/UnitLink.h"

#include <QString>

namespace tarquel {

// How one EEPROM maintenance operation ended. The operator has been told already; the result is
// for callers that report it themselves (tarquel-cli's exit code, tests).
enum class MaintenanceResult {
    Done,             // the change was made and verified (and the checksum recalculated)
    NothingToRemove,  // every word read 0000: the operator was told, nothing was sent
    Declined,         // the operator did not answer Yes: nothing was written
    NotRead,          // north alignment: a rotation word did not answer (ends without a message)
    NoUnit,           // the unit did not identify itself
    AccessRefused,    // write access could not be switched on
    NotVerified,      // a write or the north rotation add did not read back as intended
    Failed,           // a run-time error (a port error, an overflow)
};

inline const QString kCrLf = QStringLiteral("\r\n");

// The question every operation that changes the EEPROM asks: Yes and No, No the default.
MsgBox eepromQuestion(const QString& prompt, const QString& title, MsgIcon icon);

// The critical boxes the removal operations share.
MsgBox writeAccessErrorBox();
MsgBox eepromWriteErrorBox();

// The recalculate-checksum command behind the progress text "Recalculating Checksum": the command
// character, then the 12 s the unit needs (clears SharedState::northRotationAdded, since the
// checksum matches the EEPROM again). The progress window must be open.
void recalculateChecksum(UnitLink& link, ProgressWindow& progress);

// Closes the progress window when an operation leaves it open on an error path.
void closeIfVisible(ProgressWindow& progress);

}  // namespace tarquel
