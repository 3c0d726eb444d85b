#pragma once

#include "platform/SerialPort.h"
#include "unitlink/SharedState.h"
#include "unitlink/StdUnitAccess.h"
#include "unitlink/UnitMap.h"

#include <functional>

namespace tarquel {

// The unit operations of the main window, all on its port MSComm1: word reads and verified
// writes, write access, identification with the address tables, and the output channels.
// Every unit operation calls fInit first; changes need fWriteAccess first.
class UnitLink {
public:
    UnitLink(SerialPort& MSComm1, StdUnitAccess& access, SharedState& state);

    QString fReadFromUnit(const QString& address);
    bool fWriteToUnit(const QString& address, const QString& value, bool skipVerification = false);
    // Switches write access on once per run; later calls send nothing.
    bool fWriteAccess();
    // Identifies the unit when forced or when the address table is still empty.
    bool fInit(bool force);
    void SetEEPROMAddresses(bool isB600Family);

    // The unit's output-channel selection (ten hex digits). Port errors reach the caller.
    bool fGetChannels(QString& selection);
    // restore false: the calibration selection of the current calMode; true: savedChannels.
    bool fSetChannels(bool restore);

    // Called after every identification that succeeded (the address tables were just filled).
    void setOnIdentified(std::function<void()> onIdentified) {
        onIdentified_ = std::move(onIdentified);
    }

    void SendCommandText(const QString& text) { access_.SendCommandText(text, port_); }
    // The recalculate-checksum command (the double quote) and the 12 s the unit needs for it;
    // clears SharedState::northRotationAdded. The caller shows the progress window around it.
    void RecalculateChecksum();
    void Delay(int ms) { access_.Delay(ms); }

    const UnitAddresses& unitAddresses() const { return unitAddresses_; }
    // The identification text of the last successful fInit that identified.
    const QString& idText() const { return idText_; }
    SerialPort& port() { return port_; }
    StdUnitAccess& access() { return access_; }
    SharedState& state() { return state_; }

private:
    SerialPort& port_;
    StdUnitAccess& access_;
    SharedState& state_;
    UnitAddresses unitAddresses_;
    QString idText_;
    std::function<void()> onIdentified_;
};

}  // namespace tarquel
