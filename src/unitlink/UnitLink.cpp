#include "unitlink/UnitLink.h"

#include "platform/Errors.h"
#include "unitlink/HexText.h"
#include "unitlink/UnitCommands.h"

namespace tarquel {

UnitLink::UnitLink(SerialPort& MSComm1, StdUnitAccess& access, SharedState& state)
    : port_(MSComm1), access_(access), state_(state) {}

QString UnitLink::fReadFromUnit(const QString& address) {
    return access_.ReadUnitWord(port_, address);
}

bool UnitLink::fWriteToUnit(const QString& address, const QString& value, bool skipVerification) {
    return access_.WriteUnitWord(port_, address, value, skipVerification);
}

bool UnitLink::fWriteAccess() {
    if (state_.writeAccessEnabled) {
        return true;
    }
    try {
        if (access_.SetWriteAccess(port_, true)) {
            state_.writeAccessEnabled = true;
            return true;
        }
    } catch (const RuntimeError&) {
    }
    return false;
}

bool UnitLink::fInit(bool force) {
    if (!force && unitAddresses_.addressesSet) {
        return true;
    }
    try {
        QString text;
        bool isB600Family = false;
        if (!access_.IdentifyUnit(port_, text, isB600Family)) {
            return false;
        }
        idText_ = text;
        SetEEPROMAddresses(isB600Family);
        if (onIdentified_) {
            onIdentified_();
        }
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

void UnitLink::RecalculateChecksum() {
    SendCommandText(UnitCommand::RecalculateChecksum);
    Delay(kChecksumWaitMs);
    state_.northRotationAdded = false;
}

void UnitLink::SetEEPROMAddresses(bool isB600Family) {
    unitAddresses_ = unitAddressesFor(isB600Family);
}

bool UnitLink::fGetChannels(QString& selection) {
    if (!fInit(false)) {
        return false;
    }
    const int base = unitAddresses_.channelWord.toInt(nullptr, 16);
    const QString first = access_.ReadUnitWord(port_, unitAddresses_.channelWord);
    const QString second = access_.ReadUnitWord(port_, HexWord(static_cast<float>(base + 2)));
    const QString third = access_.ReadUnitWord(port_, HexWord(static_cast<float>(base + 4)));
    if (first == kReadError || second == kReadError || third == kReadError) {
        return false;
    }
    selection =
        first + second + (unitAddresses_.is1600Family ? third.left(2) : QStringLiteral("00"));
    return true;
}

bool UnitLink::fSetChannels(bool restore) {
    try {
        if (!fInit(false) || !fWriteAccess()) {
            return false;
        }
        if (restore) {
            if (state_.savedChannels.isEmpty()) {
                return false;
            }
            SendCommandText(UnitCommand::SelectChannels + state_.savedChannels);
            return true;
        }
        if (state_.calMode == CalMode::Accelerometer) {
            SendCommandText(UnitCommand::SelectChannels + kAccelChannels);
        } else if (state_.calMode == CalMode::Pendulum) {
            SendCommandText(UnitCommand::SelectChannels + kPendChannels);
        }
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

}  // namespace tarquel
