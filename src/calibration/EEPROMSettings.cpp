#include "calibration/EEPROMSettings.h"

#include "platform/Errors.h"
#include "platform/LineEnds.h"
#include "unitlink/EEPROMChanges.h"
#include "unitlink/HexText.h"

namespace tarquel {

namespace {

const QString kDefaultSettingA = QStringLiteral("080C");

// The value of a setting text as an unsigned 16-bit number; -1 when it is not a word.
int unsignedValue(const QString& setting) {
    try {
        const int value = WordValue(setting);
        return value < 0 ? value + 65536 : value;
    } catch (const TypeMismatchError&) {
        return -1;
    }
}

MsgBox settingWarning(const QString& address, const QString& value, bool tooLow,
                      const QString& recommended) {
    const QString direction = tooLow ? QStringLiteral("low") : QStringLiteral("high");
    return {QStringLiteral("The value in EEPROM location ") + address +
                QStringLiteral(" appears to be set too ") + direction + QLatin1Char('.') + kCrLf +
                QStringLiteral("Current Setting:  ") + value + kCrLf +
                (tooLow ? QStringLiteral("Min") : QStringLiteral("Max")) +
                QStringLiteral(" recommended setting:  ") + recommended,
            QStringLiteral("Warning: EEPROM ") + address + QStringLiteral(" setting too ") +
                direction + QLatin1Char('!'),
            MsgIcon::Exclamation, MsgButtons::OK};
}

}  // namespace

EEPROMSettings::EEPROMSettings(UnitLink& link, MessageBoxes& boxes, ProgressWindow& progress)
    : link_(link), boxes_(boxes), progress_(progress) {}

void EEPROMSettings::saveSettings(const QString& setting1, const QString& setting2) {
    savedSetting1_ = setting1;
    savedSetting2_ = setting2;
}

QString EEPROMSettings::defaultSettingB(const QString& savedSetting2) {
    const QString low = savedSetting2.right(2);
    const int value = IsHexString(low) ? low.toInt(nullptr, 16) : 0x23;
    return QStringLiteral("01") + (value > 0x22 ? QStringLiteral("05") : low);
}

bool EEPROMSettings::fCheckEEPROMValues(const QString& settingA, bool& aAcceptable,
                                        const QString& settingB, bool& bAcceptable,
                                        bool showMessages) {
    const UnitAddresses& addresses = link_.unitAddresses();
    const int a = unsignedValue(settingA);
    const int b = unsignedValue(settingB);
    aAcceptable = a >= 0x0808 && a <= 0x0C10;
    bAcceptable = b >= 0x0001 && b <= 0x18FF;
    if (showMessages && !aAcceptable) {
        const bool low = a < 0x0808;
        boxes_.show(settingWarning(addresses.settingsWordA, settingA, low,
                                   low ? QStringLiteral("080C") : QStringLiteral("0C0C")));
    }
    if (showMessages && !bAcceptable) {
        const bool low = b < 0x0001;
        boxes_.show(settingWarning(
            addresses.settingsWordB, settingB, low,
            (low ? QStringLiteral("01") : QStringLiteral("18")) + settingB.right(2)));
    }
    return aAcceptable && bAcceptable;
}

bool EEPROMSettings::writeBoth(const QString& a, const QString& b) {
    const UnitAddresses& addresses = link_.unitAddresses();
    progress_.OpenProcessWindow(QStringLiteral("Restoring EEPROM values"));
    if (!link_.fWriteToUnit(addresses.settingsWordA, a) ||
        !link_.fWriteToUnit(addresses.settingsWordB, b)) {
        return false;
    }
    progress_.CloseProcessWindow();
    return true;
}

bool EEPROMSettings::RestoreSettings() {
    bool restored = false;
    try {
        restored = [&] {
            if (!link_.fWriteAccess()) {
                return false;
            }
            const UnitAddresses& addresses = link_.unitAddresses();
            const QString defaultB = defaultSettingB(savedSetting2_);
            bool aOk = false;
            bool bOk = false;
            if (!fCheckEEPROMValues(savedSetting1_, aOk, savedSetting2_, bOk, false)) {
                QString text = QStringLiteral(
                                   "These EEPROM values were set to non-operational "
                                   "values") +
                               kCrLf + QStringLiteral("before the calibration process began.") +
                               kCrLf;
                if (!aOk) {
                    text += addresses.settingsWordA + QStringLiteral(" set to:  ") +
                            savedSetting1_ + QStringLiteral("   Default value:  080C") + kCrLf;
                }
                if (!bOk) {
                    text += addresses.settingsWordB + QStringLiteral(" set to:  ") +
                            savedSetting2_ + QStringLiteral("   Default value:  01") + kCrLf;
                }
                text += QStringLiteral("Do you want to set these values to the default settings?");
                const MsgAnswer answer =
                    boxes_.show({text, QStringLiteral("Reset EEPROM values to default?"),
                                 MsgIcon::Question, MsgButtons::YesNo, 0});
                if (answer == MsgAnswer::Yes) {
                    return writeBoth(kDefaultSettingA, defaultB);
                }
            }
            return writeBoth(savedSetting1_, savedSetting2_);
        }();
    } catch (const RuntimeError&) {
        restored = false;
    }
    if (restored) {
        settingsAltered_ = false;
        return true;
    }
    closeIfVisible(progress_);
    boxes_.show({QStringLiteral("WARNING!") + kCrLf +
                     QStringLiteral("The EEPROM of the Corvane unit has not been restored "
                                    "properly.") +
                     kCrLf +
                     QStringLiteral("Please email a copy of the EEPROM map (Ctrl + E) to Corvane "
                                    "Industries at") +
                     kCrLf + kSupportAddress,
                 QStringLiteral("Error restoring EEPROM!"), MsgIcon::Exclamation, MsgButtons::OK});
    return false;
}

}  // namespace tarquel
