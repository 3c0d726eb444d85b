#include "maintenance/Maintenance.h"

namespace tarquel {

MsgBox eepromQuestion(const QString& prompt, const QString& title, MsgIcon icon) {
    return {prompt, title, icon, MsgButtons::YesNo, 1};
}

MsgBox writeAccessErrorBox() {
    return {QStringLiteral("An error had occurred while enabling write access to the Corvane "
                           "Unit!") +
                kCrLf +
                QStringLiteral("Please check your connections and communications settings."),
            QStringLiteral("Error Enabling Write Access!"), MsgIcon::Critical, MsgButtons::OK};
}

MsgBox eepromWriteErrorBox() {
    return {QStringLiteral("An error has occurred while writing to the EEPROM of the Corvane "
                           "unit!") +
                kCrLf +
                QStringLiteral("Please check your connections and communications settings."),
            QStringLiteral("Error Writing to EEPROM!"), MsgIcon::Critical, MsgButtons::OK};
}

void recalculateChecksum(UnitLink& link, ProgressWindow& progress) {
    progress.ChangeProcessText(QStringLiteral("Recalculating Checksum"));
    link.RecalculateChecksum();
}

void closeIfVisible(ProgressWindow& progress) {
    if (progress.processWindowVisible()) {
        progress.CloseProcessWindow();
    }
}

}  // namespace tarquel
