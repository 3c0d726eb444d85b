#pragma once

#include "platform/MessageBoxes.h"
#include "platform/ProgressWindow.h"
#include "unitlink/UnitLink.h"

#include <QString>

namespace tarquel {

// What every operation that changes the unit's EEPROM shares: its question, its error boxes and
// the checksum recalculation that ends it.

// The question before a change: Yes and No, No the default.
MsgBox eepromQuestion(const QString& prompt, const QString& title, MsgIcon icon);

// "Error Enabling Write Access!": the unit did not switch write access on.
MsgBox writeAccessErrorBox();
// "Error Writing to EEPROM!": a word did not read back as written.
MsgBox eepromWriteErrorBox();

// The recalculate-checksum command behind the progress text "Recalculating Checksum" (the
// progress window is opened when it is not showing, and left open): the command character, then
// the 12 s the unit needs. Port errors reach the caller.
void recalculateChecksum(UnitLink& link, ProgressWindow& progress);
// The same where nothing more can be done about a port error (End Test, the end of the session,
// after a revert that stopped): the error is passed over.
void recalculateChecksumRegardless(UnitLink& link, ProgressWindow& progress);

// Closes the progress window when an operation leaves it open on an error path.
void closeIfVisible(ProgressWindow& progress);

}  // namespace tarquel
