#include "unitlink/UnitLink.h"

#include "platform/Errors.h"
#include "platform/LineEnds.h"
#include "unitlink/HexText.h"
#include "unitlink/UnitCommands.h"

namespace tarquel {

QString IdentifiedUnit::summary() const {
    return family + QStringLiteral(" unit: ") + text.section(QLatin1Char('\n'), 0, 0).trimmed();
}

IdentifiedUnit UnitLink::identifiedUnit() const {
    IdentifiedUnit unit;
    unit.family = unitAddresses_.isB600Family ? QStringLiteral("B600") : QStringLiteral("1600");
    unit.text = plainLines(idText_).remove(QChar(0xFF));
    return unit;
}

UnitLink::UnitLink(SerialPort& MSComm1, Clock& clock, MessageBoxes& boxes)
    : port_(MSComm1), access_(clock, boxes) {}

QString UnitLink::fReadFromUnit(const QString& address) {
    return access_.ReadUnitWord(port_, address);
}

bool UnitLink::fWriteToUnit(const QString& address, const QString& value, bool skipVerification) {
    return access_.WriteUnitWord(port_, address, value, skipVerification);
}

bool UnitLink::fWriteAccess() {
    if (writeAccessEnabled_) {
        return true;
    }
    try {
        if (access_.SetWriteAccess(port_, true)) {
            writeAccessEnabled_ = true;
            return true;
        }
    } catch (const RuntimeError&) {
    }
    return false;
}

void UnitLink::switchWriteAccessOff() {
    try {
        access_.SetWriteAccess(port_, false);
    } catch (const RuntimeError&) {
    }
    writeAccessEnabled_ = false;
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
    ++checksumRecalculations_;
}

void UnitLink::SetEEPROMAddresses(bool isB600Family) {
    unitAddresses_ = unitAddressesFor(isB600Family);
}

bool UnitLink::fGetChannels(QString& selection) {
    if (!fInit(false)) {
        return false;
    }
    const int base = unitAddresses_.channelWord.toInt(nullptr, 16);
    const QString first = fReadFromUnit(unitAddresses_.channelWord);
    const QString second = fReadFromUnit(HexWord(static_cast<float>(base + 2)));
    const QString third = fReadFromUnit(HexWord(static_cast<float>(base + 4)));
    if (first == kReadError || second == kReadError || third == kReadError) {
        return false;
    }
    selection =
        first + second + (unitAddresses_.is1600Family ? third.left(2) : QStringLiteral("00"));
    return true;
}

bool UnitLink::recordChannels() {
    if (channelsRecorded_) {
        return true;
    }
    QString selection;
    if (!fGetChannels(selection)) {
        return false;
    }
    recordedChannels_ = selection;
    recordedFormat_ = dataFormat_;
    channelsRecorded_ = true;
    return true;
}

bool UnitLink::fSetChannels(const QString& selection) {
    try {
        if (!fInit(false) || !fWriteAccess() || selection.isEmpty()) {
            return false;
        }
        SendCommandText(UnitCommand::SelectChannels + selection);
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

bool UnitLink::restoreChannels() {
    return fSetChannels(recordedChannels_);
}

}  // namespace tarquel
