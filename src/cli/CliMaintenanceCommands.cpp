// north-align, clear-cal, clear-north: the EEPROM maintenance operations of the main window.
#include "cli/CliCommand.h"
#include "maintenance/NorthAlignment.h"
#include "maintenance/UserCorrectionRemoval.h"

namespace tarquel {

namespace {

// The smoothing passes the first frame unchanged and follows later ones by 1/32 of the
// difference: two time constants of frames let the displayed heading settle.
constexpr int kSettleFrames = 64;
constexpr int kFrameWaitMs = 6000;

int exitCodeOf(MaintenanceResult result) {
    switch (result) {
        case MaintenanceResult::Done:
        case MaintenanceResult::NothingToRemove:
        case MaintenanceResult::Declined:
            return CliExit::Ok;
        case MaintenanceResult::NotRead:
        case MaintenanceResult::NoUnit:
            return CliExit::NoAnswer;
        case MaintenanceResult::AccessRefused:
        case MaintenanceResult::NotVerified:
            return CliExit::NotVerified;
        case MaintenanceResult::NoBackup:
            return CliExit::NoBackup;
        case MaintenanceResult::Failed:
            break;
    }
    return CliExit::PortFailure;
}

// The closing line of a removal, and of north alignment when it did not get as far as the add.
void printOutcome(CliContext& c, MaintenanceResult result, bool checksumRecalculated) {
    switch (result) {
        case MaintenanceResult::Done:
            c.out << "Removed; checksum recalculated.\n";
            break;
        case MaintenanceResult::NothingToRemove:
            c.out << "Nothing to remove.\n";
            break;
        case MaintenanceResult::Declined:
            c.out << "Nothing written.\n";
            break;
        default:
            if (checksumRecalculated) {
                c.out << "Stopped part-way; checksum recalculated.\n";
            }
            break;
    }
}

int removal(CliContext& c, UserCorrectionRemoval& removal, MaintenanceResult result) {
    for (const FoundWord& word : removal.found()) {
        c.out << word.address << " " << word.name << " = " << word.text << "\n";
    }
    if (result == MaintenanceResult::NoUnit) {
        return c.noUnit();
    }
    printOutcome(c, result, removal.checksumRecalculated());
    return exitCodeOf(result);
}

int clearCal(CliContext& c) {
    ClearMagneticCalibration& clear = c.session.clearCalibration();
    return removal(c, clear, clear.removeUserCalibration());
}

int clearNorth(CliContext& c) {
    ClearNorthRotation& clear = c.session.clearNorth();
    return removal(c, clear, clear.removeNorthRotation());
}

int northAlign(CliContext& c) {
    c.waitForFrames(kSettleFrames, kFrameWaitMs);
    const QString caption = c.caption(Slot::CalcHeading);
    if (c.frames() == 0 || caption.isEmpty()) {
        c.err << "tarquel-cli: no frames from the unit, so the present heading is not known (the "
                 "unit must stream decimal output)\n";
        return CliExit::NoAnswer;
    }
    c.out << "Calc Heading: " << caption << "\n";
    c.out.flush();

    NorthAlignment& align = c.session.northAlignment();
    const MaintenanceResult result = align.alignNorth();
    switch (result) {
        case MaintenanceResult::Done:
            c.out << c.session.link().unitAddresses().northRotationWord
                  << " North Rotation = " << align.rotationBefore() << " + "
                  << align.figures()->hexCorrection << " = " << align.rotationAfter()
                  << " (verified)\n";
            // The session's end recalculates the checksum after an alignment, as closing the
            // window does.
            c.out.flush();
            if (c.session.end()) {
                c.out << "Checksum recalculated.\n";
            }
            break;
        case MaintenanceResult::NoUnit:
            return c.noUnit();
        case MaintenanceResult::NotRead:
            c.err << "tarquel-cli: no answer to the read of the heading rotation words\n";
            break;
        case MaintenanceResult::NotVerified:
            c.err << "tarquel-cli: the north rotation word reads " << align.rotationAfter()
                  << " after the add (it read " << align.rotationBefore() << " before)\n";
            break;
        default:
            printOutcome(c, result, false);
            break;
    }
    return exitCodeOf(result);
}

const CliCommand kCommands[] = {
    {"north-align",
     "  north-align [--yes]      make the present calculated heading the unit's north\n", 0, 0,
     true, false, false, nullptr, northAlign},
    {"clear-cal",
     "  clear-cal [--yes]        remove the user magnetic calibration (bias, gain, north\n"
     "                           rotation) and recalculate the checksum\n",
     0, 0, true, false, false, nullptr, clearCal},
    {"clear-north",
     "  clear-north [--yes]      remove the user north rotation and recalculate the checksum\n", 0,
     0, true, false, false, nullptr, clearNorth},
};

}  // namespace

std::span<const CliCommand> maintenanceCommands() {
    return kCommands;
}

}  // namespace tarquel
