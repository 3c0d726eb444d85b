#pragma once

#include "maintenance/Maintenance.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgressWindow.h"
#include "unitlink/UnitLink.h"

#include <vector>

namespace tarquel {

// One stored correction word as the removal operations read it.
struct FoundWord {
    QString name;     // "X Bias", "North Rotation"
    QString address;  // from unitAddresses
    QString text;     // the four hex digits read, or "Error"
};

// Removing stored user corrections: read the words, show them, and after confirmation write 0000
// to each (verified, in order) and have the unit recalculate its checksum. All words 0000: the
// operator is told there is nothing to remove and nothing is sent. A word that cannot be read
// shows as "Error" and counts as something to remove. When a write fails after others were
// cleared, the checksum is still recalculated before the write error is shown, so that it matches
// what the unit holds.
class UserCorrectionRemoval {
public:
    // The fields of unitAddresses to clear, in the order they are read and written.
    struct Field {
        const char* name;
        QString UnitAddresses::*address;
    };
    // The operation's own texts.
    struct Texts {
        const char* operation;   // as the backup and the record name it
        const char* errorTitle;  // fInit failed or a run-time error
        const char* errorLine;   // its first line
        const char* nothingTitle;
        const char* nothingText;
        const char* questionTitle;
        const char* successTitle;
        const char* successText;
    };

    // Of the last use: the words read, and how many were cleared and verified.
    const std::vector<FoundWord>& found() const { return found_; }
    int cleared() const { return cleared_; }
    bool checksumRecalculated() const { return checksumRecalculated_; }

protected:
    using Question = QString (*)(const std::vector<FoundWord>& found);

    UserCorrectionRemoval(UnitLink& link, MessageBoxes& boxes, ProgressWindow& progress);

    MaintenanceResult run(const Texts& texts, const std::vector<Field>& fields, Question question);

private:
    MaintenanceResult remove(const Texts& texts, const std::vector<Field>& fields,
                             Question question);
    MaintenanceResult fail(const MsgBox& box, MaintenanceResult result);

    UnitLink& link_;
    MessageBoxes& boxes_;
    ProgressWindow& progress_;
    std::vector<FoundWord> found_;
    int cleared_ = 0;
    bool writing_ = false;  // the first write of the last use was sent
    bool checksumRecalculated_ = false;
};

// Clear Magnetic Calibration (mnuClearCal): the bias and gain words of the three magnetometers
// and the north rotation.
class ClearMagneticCalibration : public UserCorrectionRemoval {
public:
    ClearMagneticCalibration(UnitLink& link, MessageBoxes& boxes, ProgressWindow& progress)
        : UserCorrectionRemoval(link, boxes, progress) {}

    MaintenanceResult removeUserCalibration();

    // The question's prompt for the seven words in the order read (X, Y, Z bias, X, Y, Z gain,
    // north rotation).
    static QString question(const std::vector<FoundWord>& found);
};

// Clear North Rotation (mnuClearNorth): the north rotation word only; the heading offset word is
// never touched.
class ClearNorthRotation : public UserCorrectionRemoval {
public:
    ClearNorthRotation(UnitLink& link, MessageBoxes& boxes, ProgressWindow& progress)
        : UserCorrectionRemoval(link, boxes, progress) {}

    MaintenanceResult removeNorthRotation();

    static QString question(const std::vector<FoundWord>& found);
};

}  // namespace tarquel
