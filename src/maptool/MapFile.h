#pragma once

#include "maptool/EEPROMMap.h"
#include "platform/MessageBoxes.h"
#include "unitlink/UnitMap.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace tarquel {

// The EEPROM map text file. Text is 8-bit, one byte per character, lines ended by CR LF:
//
//   identification text (as the unit gave it, its own line breaks included)
//   (blank line)
//   B600 - FF FF 0A 0A  FF FF 0C 05  FF FF FF FF  FF FF FF FF      16 or 48 map lines
//   ...
//   (blank line)
//   Checksum = 5C
//
// A map line is the row's address, " - ", then the 16 bytes, each followed by one space and by
// two after every fourth byte, so it is 59 characters long and ends in two spaces.

// The map lines of the file, pages one after another; "Error" when unitMap is not identified.
QString FormatEEPROMMap(const EEPROMMap& map, const UnitMap& unitMap);

// The whole file text without its final CR LF: identification text, blank line, map lines,
// blank line, checksum line.
QString EEPROMMapFileText(const QString& idText, const QString& mapLines, const QString& checksum);

// The bytes of the file for a file text: one byte per character, then CR LF.
QByteArray mapFileBytes(const QString& fileText);

// Longest line the loader keeps; the rest of a longer line is skipped (a map line is 59
// characters, so no real map file comes near it).
constexpr int kMaxMapFileLine = 4096;

// The outcome of loading a saved map: the pages, or the message box that says why not.
struct SavedMapLoad {
    bool ok = false;
    EEPROMMap map;
    MsgBox message;  // empty prompt when ok
};

// Reads a map file against the live map's prefix ("B6" or "16"; empty when no live map is
// loaded). Lines end at CR LF, CR or LF. Text before the first line holding "B600 -" or "1600 -"
// is skipped; the map follows line by line, and everything after it, the checksum line included,
// is ignored. Cell texts are taken as they stand. Any content gives either a map or one of the
// loader's messages, reading one line at a time.
SavedMapLoad parseSavedMap(QIODevice& file, const QString& mapPrefix);
SavedMapLoad parseSavedMap(const QByteArray& bytes, const QString& mapPrefix);
// Opens the file first; a file that cannot be opened gives the file-error message at line 0.
SavedMapLoad loadSavedMapFile(const QString& path, const QString& mapPrefix);

}  // namespace tarquel
