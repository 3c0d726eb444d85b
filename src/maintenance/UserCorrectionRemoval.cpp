#include "maintenance/UserCorrectionRemoval.h"

#include "platform/Errors.h"
#include "platform/LineEnds.h"
#include "unitlink/EEPROMChanges.h"
#include "unitlink/HexText.h"

#include <QJsonArray>
#include <utility>

namespace tarquel {

namespace {

const QString kZero = QStringLiteral("0000");

bool holdsCorrection(const QString& word) {
    return word == kReadError || WordValue(word) != 0;
}

// The operation's own error: it could not identify the unit or hit a run-time error.
MsgBox errorBox(const UserCorrectionRemoval::Texts& texts) {
    return okBox({QLatin1String(texts.errorLine),
                  QStringLiteral("Please check the connections and settings.")},
                 QLatin1String(texts.errorTitle), MsgIcon::Critical);
}

const QString kAlterLine =
    QStringLiteral("Pressing 'Yes' will alter the EEPROM of the Corvane unit.");

}  // namespace

UserCorrectionRemoval::UserCorrectionRemoval(UnitLink& link, MessageBoxes& boxes,
                                             ProgressWindow& progress)
    : link_(link), boxes_(boxes), progress_(progress) {}

MaintenanceResult UserCorrectionRemoval::run(const Texts& texts, const std::vector<Field>& fields,
                                             Question question) {
    found_.clear();
    cleared_ = 0;
    checksumRecalculated_ = false;
    writing_ = false;
    MaintenanceResult result = MaintenanceResult::Failed;
    try {
        result = remove(texts, fields, question);
    } catch (const RuntimeError&) {
        result = fail(errorBox(texts), MaintenanceResult::Failed);
    }
    if (writing_) {
        QJsonArray removed;
        for (std::size_t i = 0; i < found_.size(); ++i) {
            removed.append(QJsonObject{{QStringLiteral("name"), found_[i].name},
                                       {QStringLiteral("address"), found_[i].address},
                                       {QStringLiteral("before"), found_[i].text},
                                       {QStringLiteral("cleared"), std::cmp_less(i, cleared_)}});
        }
        link_.changeDone({QLatin1String(texts.operation), recordedOutcome(result),
                          QJsonObject{{QStringLiteral("removed"), removed}}});
    }
    return result;
}

MaintenanceResult UserCorrectionRemoval::remove(const Texts& texts,
                                                const std::vector<Field>& fields,
                                                Question question) {
    if (!link_.fInit(false)) {
        return fail(errorBox(texts), MaintenanceResult::NoUnit);
    }
    const UnitAddresses& addresses = link_.unitAddresses();
    bool anything = false;
    for (const Field& field : fields) {
        const QString& address = addresses.*(field.address);
        found_.push_back({QLatin1String(field.name), address, link_.fReadFromUnit(address)});
        anything = anything || holdsCorrection(found_.back().text);
    }
    if (!anything) {
        boxes_.show({QLatin1String(texts.nothingText), QLatin1String(texts.nothingTitle),
                     MsgIcon::Information, MsgButtons::OK});
        return MaintenanceResult::NothingToRemove;
    }
    if (boxes_.show(eepromQuestion(question(found_), QLatin1String(texts.questionTitle),
                                   MsgIcon::Exclamation)) != MsgAnswer::Yes) {
        return MaintenanceResult::Declined;
    }

    progress_.OpenProcessWindow(QStringLiteral("Removing User Calibrations"));
    if (!link_.beforeChange(QLatin1String(texts.operation),
                            QStringLiteral("Removing User Calibrations"))) {
        closeIfVisible(progress_);
        return MaintenanceResult::NoBackup;
    }
    if (!link_.fWriteAccess()) {
        return fail(writeAccessErrorBox(), MaintenanceResult::AccessRefused);
    }
    writing_ = true;
    for (const FoundWord& word : found_) {
        if (!link_.fWriteToUnit(word.address, kZero)) {
            if (cleared_ > 0) {
                recalculateChecksum(link_, progress_);
                checksumRecalculated_ = true;
            }
            return fail(eepromWriteErrorBox(), MaintenanceResult::NotVerified);
        }
        ++cleared_;
    }
    recalculateChecksum(link_, progress_);
    checksumRecalculated_ = true;
    progress_.CloseProcessWindow();
    boxes_.show({QLatin1String(texts.successText), QLatin1String(texts.successTitle),
                 MsgIcon::Information, MsgButtons::OK});
    return MaintenanceResult::Done;
}

MaintenanceResult UserCorrectionRemoval::fail(const MsgBox& box, MaintenanceResult result) {
    closeIfVisible(progress_);
    boxes_.show(box);
    return result;
}

// Clear Magnetic Calibration -------------------------------------------------------------------

MaintenanceResult ClearMagneticCalibration::removeUserCalibration() {
    static const Texts texts{
        "clear-magnetic-calibration",
        "Error Clearing Cal Map!",
        "An error has occurred during the Clear Cal routine.",
        "No magnetic cal to remove!",
        "There appears to be no user magnetic calibration in the EEPROM of the Corvane unit.",
        "Remove User Magnetic Calibrations?",
        "Magnetic Cal Removed.",
        "User magnetic calibration successfully removed.",
    };
    static const std::vector<Field> fields{
        {"X Bias", &UnitAddresses::xBiasWord},
        {"Y Bias", &UnitAddresses::yBiasWord},
        {"Z Bias", &UnitAddresses::zBiasWord},
        {"X Gain", &UnitAddresses::xGainWord},
        {"Y Gain", &UnitAddresses::yGainWord},
        {"Z Gain", &UnitAddresses::zGainWord},
        {"North Rotation", &UnitAddresses::northRotationWord},
    };
    return run(texts, fields, &ClearMagneticCalibration::question);
}

QString ClearMagneticCalibration::question(const std::vector<FoundWord>& w) {
    const QChar tab = QLatin1Char('\t');
    return QStringLiteral("Current User Magnetic Calibration:") + kCrLf +
           QStringLiteral("X Bias:  ") + w[0].text + tab + QStringLiteral("X Gain:  ") + w[3].text +
           kCrLf + QStringLiteral("Y Bias:  ") + w[1].text + tab + QStringLiteral("Y Gain:  ") +
           w[4].text + kCrLf + QStringLiteral("Z Bias:  ") + w[2].text + tab +
           QStringLiteral("Z Gain:  ") + w[5].text + kCrLf + QStringLiteral("North Rotation:  ") +
           w[6].text + kCrLf + kCrLf +
           QStringLiteral(
               "Are you sure you want to remove the user (installation) magnetic "
               "calibration?") +
           kCrLf + kAlterLine;
}

// Clear North Rotation -------------------------------------------------------------------------

MaintenanceResult ClearNorthRotation::removeNorthRotation() {
    static const Texts texts{
        "clear-north-rotation",
        "Error Clearing North Rotation!",
        "An error has occurred during the Clear North Rotation routine.",
        "No north alignement to remove!",
        "There appears to be no user north alignment in the EEPROM of the Corvane unit.",
        "Remove North Rotation?",
        "North Rotation Removed.",
        "User north rotation successfully removed.",
    };
    static const std::vector<Field> fields{{"North Rotation", &UnitAddresses::northRotationWord}};
    return run(texts, fields, &ClearNorthRotation::question);
}

QString ClearNorthRotation::question(const std::vector<FoundWord>& w) {
    return QStringLiteral("Current North Rotation:  ") + w[0].text + kCrLf + kCrLf +
           QStringLiteral("Are you sure you want to remove the user north rotation?") + kCrLf +
           kAlterLine;
}

}  // namespace tarquel
