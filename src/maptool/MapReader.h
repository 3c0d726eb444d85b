#pragma once

#include "maptool/EEPROMMap.h"
#include "platform/ProgressWindow.h"
#include "platform/SerialPort.h"
#include "unitlink/StdUnitAccess.h"

#include <QString>

namespace tarquel {

// Reads the whole map of the identified unit on port: 128 word reads per page in ascending
// address order, no pause of its own between them. Shows how many words have been read through
// progress (may be null). A port that is not open and a failed word read are reported to the
// operator; on any failure the result is false and map is left as it was.
bool ReadEEPROMMap(StdUnitAccess& access, SerialPort& port, ProgressWindow* progress,
                   EEPROMMap& map, bool& isB600Family);

// Identifies the unit, reads its map and its checksum byte and gives the whole map file text
// (without the final CR LF), or "Error" when any of them failed.
QString BuildEEPROMMapFile(StdUnitAccess& access, SerialPort& port, ProgressWindow* progress);

// The same for the unit identified last, without identifying it again (the backup before a change,
// which follows the operation's own identification); "Error" when none is identified.
QString IdentifiedUnitMapFile(StdUnitAccess& access, SerialPort& port, ProgressWindow* progress);

}  // namespace tarquel
