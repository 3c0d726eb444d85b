#include "maintenance/NorthAlignment.h"

#include "livedata/DisplayFormat.h"
#include "platform/Errors.h"
#include "unitlink/EEPROMChanges.h"
#include "unitlink/HexText.h"

namespace tarquel {

namespace {

constexpr int kPauseMs = 50;

}  // namespace

NorthAlignment::NorthAlignment(UnitLink& link, MessageBoxes& boxes, ProgressWindow& progress,
                               HeadingCaption presentHeading)
    : link_(link), boxes_(boxes), progress_(progress), presentHeading_(std::move(presentHeading)) {}

MaintenanceResult NorthAlignment::alignNorth() {
    figures_.reset();
    rotationBefore_.clear();
    rotationAfter_.clear();
    addSent_ = false;
    MaintenanceResult result = MaintenanceResult::Failed;
    try {
        result = align();
    } catch (const RuntimeError&) {
        result = errorPath(MaintenanceResult::Failed);
    }
    if (addSent_) {
        link_.changeDone(
            {QStringLiteral("north-alignment"), recordedOutcome(result),
             QJsonObject{{QStringLiteral("address"), link_.unitAddresses().northRotationWord},
                         {QStringLiteral("before"), rotationBefore_},
                         {QStringLiteral("after"), rotationAfter_},
                         {QStringLiteral("added"), figures_->hexCorrection},
                         {QStringLiteral("heading"), figures_->heading}}});
    }
    return result;
}

MaintenanceResult NorthAlignment::align() {
    if (!link_.fInit(false)) {
        return errorPath(MaintenanceResult::NoUnit);
    }
    const UnitAddresses& addresses = link_.unitAddresses();
    const QString offsetWord = link_.fReadFromUnit(addresses.headingOffsetWord);
    link_.Delay(kPauseMs);
    const QString rotationWord = link_.fReadFromUnit(addresses.northRotationWord);
    link_.Delay(kPauseMs);
    if (offsetWord == kReadError || rotationWord == kReadError) {
        return MaintenanceResult::NotRead;
    }
    rotationBefore_ = rotationWord;

    const double heading = LeadingNumber(presentHeading_ ? presentHeading_() : QString());
    figures_ = ComputeNorthAlignment(WordValue(offsetWord), WordValue(rotationWord), heading);

    const MsgAnswer answer = boxes_.show(
        eepromQuestion(NorthAlignmentQuestion(*figures_),
                       QStringLiteral("Write to North Alignment to EEPROM?"), MsgIcon::None));
    if (answer != MsgAnswer::Yes) {
        return MaintenanceResult::Declined;
    }

    progress_.OpenProcessWindow(QStringLiteral("Adjusting for North"));
    if (!link_.beforeChange(QStringLiteral("north-alignment"),
                            QStringLiteral("Adjusting for North"))) {
        closeIfVisible(progress_);
        return MaintenanceResult::NoBackup;
    }
    if (!link_.fWriteAccess()) {
        return errorPath(MaintenanceResult::AccessRefused);
    }
    addSent_ = true;
    link_.SendCommandText(NorthAddCommand(addresses.northRotationWord, addresses.isB600Family,
                                          figures_->hexCorrection));
    rotationAdded_ = true;
    recalculationsAtAdd_ = link_.checksumRecalculations();
    link_.Delay(kPauseMs);
    link_.SendCommandText(QStringLiteral(" "));

    // The unit does not answer the add: read the word back to see that it took.
    rotationAfter_ = link_.fReadFromUnit(addresses.northRotationWord);
    if (rotationAfter_ == kReadError) {
        return errorPath(MaintenanceResult::NotVerified);
    }
    const int change = WordValue(rotationAfter_) - WordValue(rotationBefore_);
    if ((change & 0xFFFF) != (static_cast<int>(figures_->count) & 0xFFFF)) {
        return errorPath(MaintenanceResult::NotVerified);
    }
    progress_.CloseProcessWindow();
    return MaintenanceResult::Done;
}

MaintenanceResult NorthAlignment::errorPath(MaintenanceResult result) {
    closeIfVisible(progress_);
    boxes_.show({QStringLiteral("An error has occurred during the North Offset function. The unit "
                                "EEPROM could have been modified."),
                 QStringLiteral("Error With North Offset!"), MsgIcon::Exclamation, MsgButtons::OK});
    return result;
}

}  // namespace tarquel
