#pragma once

#include "maintenance/Maintenance.h"
#include "maintenance/NorthAlignmentMath.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgressWindow.h"
#include "unitlink/UnitLink.h"

#include <functional>
#include <optional>

namespace tarquel {

// North Alignment (btnAlign): makes the vehicle's present heading the unit's north. Reads the
// unit's two heading-rotation words, works out how far the present calculated heading is from the
// rotation already stored, asks, and adds the difference to the north rotation word with the
// add-to-word command. The add is read back: a word that did not change by exactly the count sent
// is reported as an error. No checksum recalculation is sent here: rotationAwaitsChecksum() tells
// the end of the session that one is due.
class NorthAlignment {
public:
    // The caption of the calculated heading as displayed ("350.0 dg"); its leading number is the
    // present heading.
    using HeadingCaption = std::function<QString()>;

    NorthAlignment(UnitLink& link, MessageBoxes& boxes, ProgressWindow& progress,
                   HeadingCaption presentHeading);

    MaintenanceResult alignNorth();

    // An add was sent to the north rotation word and no checksum recalculation has followed.
    bool rotationAwaitsChecksum() const {
        return rotationAdded_ && link_.checksumRecalculations() == recalculationsAtAdd_;
    }

    // Of the last use: the figures shown in the question, and the north rotation word before and
    // after the add (empty when not read).
    const std::optional<NorthAlignmentFigures>& figures() const { return figures_; }
    const QString& rotationBefore() const { return rotationBefore_; }
    const QString& rotationAfter() const { return rotationAfter_; }

private:
    MaintenanceResult align();
    MaintenanceResult errorPath(MaintenanceResult result);

    UnitLink& link_;
    MessageBoxes& boxes_;
    ProgressWindow& progress_;
    HeadingCaption presentHeading_;
    std::optional<NorthAlignmentFigures> figures_;
    QString rotationBefore_;
    QString rotationAfter_;
    bool rotationAdded_ = false;
    bool addSent_ = false;  // by the last use
    int recalculationsAtAdd_ = 0;
};

}  // namespace tarquel
