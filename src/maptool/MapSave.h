#pragma once

#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgressWindow.h"
#include "platform/SerialPort.h"
#include "unitlink/StdUnitAccess.h"

#include <QString>

namespace tarquel {

// How "Save Current Map" ended. The operator has been told whatever needed telling.
enum class MapSaveResult {
    Saved,
    Cancelled,       // the Save dialog was cancelled
    NotOverwritten,  // the file exists and the operator did not answer Yes
    ReadFailed,      // the unit did not give the whole map (reported by the reading routines)
    WriteFailed,     // the file could not be written ("Error!" box)
};

// The Save dialog of the command: "Save file as", text files, proposing desktopFolder + "EEPROM".
FileDialogRequest saveMapDialogRequest(const QString& desktopFolder);

// Writes bytes to path as a whole or not at all: the bytes go to a temporary file in the same
// folder that replaces path only once complete and flushed. False with a description otherwise;
// an existing file at path is then left as it was.
bool writeWholeFile(const QString& path, const QByteArray& bytes, QString& error);

// Save Current Map: asks for the file name (and whether to overwrite an existing file), reads
// the identification, the whole map and the checksum afresh from the unit behind the progress
// text "Saving EEPROM Map", and writes the map file. The file is touched only once the unit has
// given everything. path receives the file chosen.
MapSaveResult SaveCurrentMap(StdUnitAccess& access, SerialPort& port, FileDialogs& dialogs,
                             MessageBoxes& boxes, ProgressWindow& progress,
                             const QString& desktopFolder, QString* path = nullptr);

// The same with the file already chosen (tarquel-cli): the overwrite question, the read, the write.
MapSaveResult SaveMapToFile(StdUnitAccess& access, SerialPort& port, MessageBoxes& boxes,
                            ProgressWindow& progress, const QString& path);

}  // namespace tarquel
