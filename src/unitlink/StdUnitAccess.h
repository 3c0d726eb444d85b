#pragma once

#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialPort.h"
#include "unitlink/UnitMap.h"

#include <QString>

namespace tarquel {

// The text that stands in place of a word when a read failed.
inline const QString kReadError = QStringLiteral("Error");

// The unit's memory commands on a serial port, the timing helpers they use and the
// identification of the unit's map family.
//
// Wire protocol (every pause on the clock, no events serviced while waiting):
//   read word   7D, 20 ms, then address high and low in one write; 2 bytes answer within 100 ms
//   write word  7B, address high, address low, value high, value low in one write; then 50 ms
// Command texts go out one character at a time with 50 ms after each.
class StdUnitAccess {
public:
    StdUnitAccess(Clock& clock, MessageBoxes& boxes);

    // Blocks for ms milliseconds without servicing events.
    void Delay(int ms);
    // Sends text one character per write, each followed by 50 ms. Port errors reach the caller.
    void SendCommandText(const QString& text, SerialPort& port);

    // The word at a four-hex-digit address as four uppercase hex digits, or "Error".
    QString ReadUnitWord(SerialPort& port, const QString& address);
    // Writes value (four hex digits) at address; unless skipVerification, reads it back and is
    // true only when the read-back text equals value exactly.
    bool WriteUnitWord(SerialPort& port, const QString& address, const QString& value,
                       bool skipVerification);
    // Switches the unit's write access on or off; true when the access word shows the state.
    // Port errors reach the caller.
    bool SetWriteAccess(SerialPort& port, bool enable);

    // Reads the identification text at C000 (B600 family) or, failing that, at 4000 (1600
    // family). Fills the unit map on the first success of the run.
    bool IdentifyUnit(SerialPort& port, QString& idText, bool& isB600Family);
    // The EEPROM checksum byte as two hex digits.
    bool ReadChecksumByte(SerialPort& port, QString& text);

    Clock& clock() { return clock_; }
    const Clock& clock() const { return clock_; }
    MessageBoxes& boxes() { return boxes_; }
    // The addresses of the unit identified first in the run.
    const UnitMap& unitMap() const { return unitMap_; }

private:
    bool identifyPass(SerialPort& port, bool firstPass, QString& idText);

    Clock& clock_;
    MessageBoxes& boxes_;
    UnitMap unitMap_;
};

}  // namespace tarquel
