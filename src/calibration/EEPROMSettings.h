#pragma once

#include "platform/MessageBoxes.h"
#include "platform/ProgressWindow.h"
#include "unitlink/UnitLink.h"

#include <QString>

namespace tarquel {

// The address that the restore error asks the operator to send the unit's EEPROM map to.
inline const QString kSupportAddress = QStringLiteral("support@corvane.com");

// The two setting words a calibration test alters (settingsWordA, settingsWordB): the values
// saved at Begin Test, whether the unit holds altered ones, whether values lie in the operational
// ranges, and putting the saved values back.
//
//   word A accepted 0808 to 0C10 (recommended 080C to 0C0C); word B accepted 0001 to 18FF.
class EEPROMSettings {
public:
    EEPROMSettings(UnitLink& link, MessageBoxes& boxes, ProgressWindow& progress);

    // Begin Test read the unit's own values (savedSetting1, savedSetting2).
    void saveSettings(const QString& setting1, const QString& setting2);
    const QString& savedSetting1() const { return savedSetting1_; }
    const QString& savedSetting2() const { return savedSetting2_; }
    // The unit holds the calibration configuration instead of the saved values (settingsAltered):
    // set once Begin Test wrote the first word, cleared once they were restored.
    bool settingsAltered() const { return settingsAltered_; }
    void setSettingsAltered(bool altered) { settingsAltered_ = altered; }

    // True when both values are acceptable. With showMessages, one warning per value outside its
    // range (word A's first). A text that is not a word is not acceptable.
    bool fCheckEEPROMValues(const QString& settingA, bool& aAcceptable, const QString& settingB,
                            bool& bAcceptable, bool showMessages);

    // Writes savedSetting1 and savedSetting2 back (verified). When either was outside its range
    // before the test, first offers the defaults (080C, and 01 followed by the saved low byte, or
    // 05 when that is above 22). False, after the "Error restoring EEPROM!" box, when a write does
    // not verify or write access cannot be had. Once the words are back the settings no longer
    // count as altered. Sends no checksum command.
    bool RestoreSettings();

    // Word B's default: "01" followed by the low byte of savedSetting2, or "0105" when that byte
    // is above 22 hexadecimal.
    static QString defaultSettingB(const QString& savedSetting2);

private:
    bool writeBoth(const QString& a, const QString& b);

    UnitLink& link_;
    MessageBoxes& boxes_;
    ProgressWindow& progress_;
    QString savedSetting1_;
    QString savedSetting2_;
    bool settingsAltered_ = false;
};

}  // namespace tarquel
