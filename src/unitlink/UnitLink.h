#pragma once

#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialPort.h"
#include "unitlink/ChangeWatch.h"
#include "unitlink/DataFormat.h"
#include "unitlink/StdUnitAccess.h"
#include "unitlink/UnitMap.h"

#include <functional>

namespace tarquel {

// The identified unit as the operator is shown it.
struct IdentifiedUnit {
    QString family;  // "B600" or "1600"
    // The identification text in plain lines (LF), the 1600 family's leading FF left out.
    QString text;

    // "B600 unit: Corvane Industries": the family and the first line of the text.
    QString summary() const;
};

// The link to one unit on the main port MSComm1: word reads and verified writes, write access,
// identification with the address tables, the output channels, and what the PC knows of the unit
// for the run (its identity, whether write access is on, its output format, the channel selection
// it had before the program changed it). Every unit operation calls fInit first; changes need
// fWriteAccess first.
class UnitLink {
public:
    UnitLink(SerialPort& MSComm1, Clock& clock, MessageBoxes& boxes);

    QString fReadFromUnit(const QString& address);
    bool fWriteToUnit(const QString& address, const QString& value, bool skipVerification = false);
    // Switches write access on once per run; later calls send nothing.
    bool fWriteAccess();
    // Switches write access off on the unit (a map revert does). The link counts it as off
    // whatever the unit answered, so the next change switches it on again instead of writing to
    // a locked unit.
    void switchWriteAccessOff();
    // Identifies the unit when forced or when the address table is still empty.
    bool fInit(bool force);
    void SetEEPROMAddresses(bool isB600Family);

    // The unit's output-channel selection (ten hex digits). Port errors reach the caller.
    bool fGetChannels(QString& selection);
    // The first time in a run: reads the unit's own channel selection and notes it with the output
    // format, so that the end of a test can put both back. True when they are noted (now or
    // earlier); a failed read notes nothing. Port errors reach the caller.
    bool recordChannels();
    // Sends an output-channel selection (ten hex digits) once the unit is identified and write
    // access is on; false, with nothing sent, for an empty selection.
    bool fSetChannels(const QString& selection);
    // Puts back the selection noted by recordChannels; false when none was noted.
    bool restoreChannels();

    // Called after every identification that succeeded (the address tables were just filled).
    void setOnIdentified(std::function<void()> onIdentified) {
        onIdentified_ = std::move(onIdentified);
    }

    // The watch told of every EEPROM change (none: changes go ahead unrecorded).
    void setChangeWatch(ChangeWatch* watch) { changeWatch_ = watch; }
    // Before an operation changes the unit's EEPROM: false when the change must not go ahead.
    bool beforeChange(const QString& operation, const QString& progressText) {
        return changeWatch_ == nullptr || changeWatch_->beforeChange(operation, progressText);
    }
    void changeDone(const ChangeRecord& record) {
        if (changeWatch_ != nullptr) {
            changeWatch_->changeDone(record);
        }
    }

    void SendCommandText(const QString& text) { access_.SendCommandText(text, port_); }
    // The recalculate-checksum command (the double quote) and the 12 s the unit needs for it.
    // The caller shows the progress window around it.
    void RecalculateChecksum();
    void Delay(int ms) { access_.Delay(ms); }

    const UnitAddresses& unitAddresses() const { return unitAddresses_; }
    // The identification text of the last successful fInit that identified.
    const QString& idText() const { return idText_; }
    // The unit identified last: its family and its identification text.
    IdentifiedUnit identifiedUnit() const;
    bool writeAccessEnabled() const { return writeAccessEnabled_; }
    DataFormat dataFormat() const { return dataFormat_; }
    void setDataFormat(DataFormat format) { dataFormat_ = format; }
    const QString& recordedChannels() const { return recordedChannels_; }
    DataFormat recordedFormat() const { return recordedFormat_; }
    // Checksum recalculations sent in this run (a change made since the last one is not yet
    // covered by the checksum).
    int checksumRecalculations() const { return checksumRecalculations_; }

    SerialPort& port() { return port_; }
    StdUnitAccess& access() { return access_; }
    Clock& clock() { return access_.clock(); }
    const Clock& clock() const { return access_.clock(); }

private:
    SerialPort& port_;
    StdUnitAccess access_;
    UnitAddresses unitAddresses_;
    QString idText_;
    bool writeAccessEnabled_ = false;
    DataFormat dataFormat_ = DataFormat::Unknown;
    bool channelsRecorded_ = false;
    QString recordedChannels_;
    DataFormat recordedFormat_ = DataFormat::Unknown;
    int checksumRecalculations_ = 0;
    std::function<void()> onIdentified_;
    ChangeWatch* changeWatch_ = nullptr;
};

}  // namespace tarquel
