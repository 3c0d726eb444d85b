#pragma once

#include <QString>

namespace tarquel::unitsim {

// The two memory layouts a unit can have. The family decides every address below.
enum class MapFamily { B600, F1600 };

// Where a unit keeps its words. All addresses are byte addresses in the 64 KiB space; a word at A
// is the byte at A (high) followed by the byte at A + 1 (low).
struct UnitLayout {
    MapFamily family = MapFamily::B600;
    int mapFirst = 0;         // first byte of the EEPROM map
    int mapLast = 0;          // last byte summed into the checksum
    int checksumAddress = 0;  // the checksum byte
    int idAddress = 0;        // start of the identification text
    int accessWord = 0;
    int configWord = 0;
    int channelBytes = 0;  // five bytes of output-channel selection
    int settingsWordA = 0;
    int settingsWordB = 0;
    int headingOffsetWord = 0;
    int northRotationWord = 0;
    int xBiasWord = 0;
    int xGainWord = 0;
    int yBiasWord = 0;
    int yGainWord = 0;
    int zBiasWord = 0;
    int zGainWord = 0;
    int revisionWord = -1;  // two revision characters (1600 family only)
    // Reads at or above this address get no answer (the 1600 family has nothing mapped there).
    int unansweredFrom = 0x10000;
    // Digits of the short address of the add-to-word command, and the address it expands to:
    // "8A" -> B68A (B600 family), "6BE" -> 16BE (1600 family).
    int shortAddressDigits = 2;
    int shortAddressBase = 0;
    // Count in a bias word, in mg, and in a gain word, in percent.
    double biasPerCount = 0;
    double gainPercentPerCount = 0;

    static UnitLayout of(MapFamily family);
    // Write access is on when the access word holds its unlock code.
    bool accessGranted(quint16 accessWordValue) const;
};

QString familyName(MapFamily family);

}  // namespace tarquel::unitsim
