#include "unitlink/EEPROMChanges.h"

#include "platform/Errors.h"

namespace tarquel {

MsgBox eepromQuestion(const QString& prompt, const QString& title, MsgIcon icon) {
    return {prompt, title, icon, MsgButtons::YesNo, 1};
}

namespace {
const QString kCheckConnections =
    QStringLiteral("Please check your connections and communications settings.");
}  // namespace

MsgBox writeAccessErrorBox() {
    return okBox({QStringLiteral("An error had occurred while enabling write access to the "
                                 "Corvane Unit!"),
                  kCheckConnections},
                 QStringLiteral("Error Enabling Write Access!"), MsgIcon::Critical);
}

MsgBox eepromWriteErrorBox() {
    return okBox({QStringLiteral("An error has occurred while writing to the EEPROM of the "
                                 "Corvane unit!"),
                  kCheckConnections},
                 QStringLiteral("Error Writing to EEPROM!"), MsgIcon::Critical);
}

void recalculateChecksum(UnitLink& link, ProgressWindow& progress) {
    const QString text = QStringLiteral("Recalculating Checksum");
    if (progress.processWindowVisible()) {
        progress.ChangeProcessText(text);
    } else {
        progress.OpenProcessWindow(text);
    }
    link.RecalculateChecksum();
}

void recalculateChecksumRegardless(UnitLink& link, ProgressWindow& progress) {
    try {
        recalculateChecksum(link, progress);
    } catch (const RuntimeError&) {
    }
}

void closeIfVisible(ProgressWindow& progress) {
    if (progress.processWindowVisible()) {
        progress.CloseProcessWindow();
    }
}

}  // namespace tarquel
