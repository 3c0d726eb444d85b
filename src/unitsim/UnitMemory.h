#pragma once

#include "unitsim/UnitLayout.h"

#include <QByteArray>
#include <QStringList>
#include <vector>

namespace tarquel::unitsim {

// The unit's 64 KiB byte-addressed memory: configuration words, the EEPROM map with its checksum
// byte and the identification text. Addresses wrap at 64 KiB.
//
// Checksum: the byte at the layout's checksum address makes the sum of all map bytes (mapFirst
// to mapLast, the checksum byte not included) plus itself a multiple of 256, that is
// checksum = (0x100 - (sum mod 256)) mod 256.
class UnitMemory {
public:
    explicit UnitMemory(const UnitLayout& layout);

    const UnitLayout& layout() const { return layout_; }

    quint8 byte(int address) const { return bytes_[index(address)]; }
    void setByte(int address, quint8 value) { bytes_[index(address)] = value; }
    // High byte at address, low byte at address + 1.
    quint16 word(int address) const;
    qint16 signedWord(int address) const { return static_cast<qint16>(word(address)); }
    void setWord(int address, quint16 value);

    quint8 computeChecksum() const;
    void updateChecksum() { setByte(layout_.checksumAddress, computeChecksum()); }
    bool checksumValid() const { return byte(layout_.checksumAddress) == computeChecksum(); }

    // The five channel-selection bytes, most significant first.
    QByteArray channelSelection() const;
    void setChannelSelection(const QByteArray& fiveBytes);

    bool writeAccess() const { return layout_.accessGranted(word(layout_.accessWord)); }

    // Stores the strings (Latin-1) back to back from the identification address, each ended by a
    // 0 byte. The PC reads the text a word at a time and counts a terminator in either byte of a
    // word; a string of even length would put its terminator in a high byte, which the PC shows
    // as a bare carriage return, so such strings get a trailing space: every string then starts on
    // an even address and ends with its terminator in a low byte, and the PC shows the strings as
    // lines. A 0xFF byte follows the last terminator so that no word there reads 0000.
    void writeIdentification(const QStringList& strings);

private:
    static int index(int address) { return address & 0xFFFF; }

    UnitLayout layout_;
    std::vector<quint8> bytes_;
};

}  // namespace tarquel::unitsim
