#pragma once

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
    NoBackup,         // no backup of the EEPROM could be made: nothing was written
};

// The outcome of an operation that changed the unit, as its record names it.
inline QString recordedOutcome(MaintenanceResult result) {
    switch (result) {
        case MaintenanceResult::Done:
            return QStringLiteral("done");
        case MaintenanceResult::NotVerified:
            return QStringLiteral("not-verified");
        case MaintenanceResult::NoBackup:
            return QStringLiteral("refused");
        default:
            return QStringLiteral("failed");
    }
}

}  // namespace tarquel
