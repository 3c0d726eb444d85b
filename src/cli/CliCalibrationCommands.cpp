// calibrate: the four-point calibration on the same workflow as the main window's buttons.
#include "calibration/CalibrationWorkflow.h"
#include "calibration/CalibrationWrite.h"
#include "cli/CliCommand.h"
#include "heading/CalGaugeDriver.h"
#include "livedata/DisplayFormat.h"
#include "records/ReportPdf.h"

#include <QJsonArray>

namespace tarquel {

namespace {

constexpr int kStepMs = 50;
constexpr int kStatusEveryMs = 1000;
constexpr int kFormatWatchMs = 1500;

bool checkCalibrate(CliRequest& request, QString& /*error*/) {
    if (request.mode.isEmpty()) {
        request.mode = QStringLiteral("accel");
    }
    return true;
}

// "Heading 278.0 dg, stored: 0 90 - -, Settling"
QString statusLine(CliContext& c, int mask) {
    const QString heading = c.caption(Slot::CalcHeading);
    QString line = QStringLiteral("Heading ") +
                   (heading.isEmpty() ? QStringLiteral("(no data)") : heading) +
                   QStringLiteral(", stored:");
    for (int slot = 0; slot < CalSlot::Count; ++slot) {
        line += QLatin1Char(' ') + ((mask & SlotBit(slot)) != 0 ? QString::number(SlotDegrees(slot))
                                                                : QStringLiteral("-"));
    }
    return line + (c.session.calibration().readingSteady() ? QStringLiteral(", Steady")
                                                           : QStringLiteral(", Settling"));
}

int exitCodeOf(CalibrationWorkflow::WriteResult result) {
    switch (result) {
        case CalibrationWorkflow::WriteResult::NotVerified:
            return CliExit::NotVerified;
        case CalibrationWorkflow::WriteResult::NoAnswer:
            return CliExit::NoAnswer;
        default:
            return CliExit::Ok;
    }
}

// --auto: the heading shown is steady inside a cardinal window whose point is not stored yet.
bool autoPointDue(CliContext& c) {
    CalibrationWorkflow& workflow = c.session.calibration();
    if (!workflow.readingSteady() || !c.views.isEnabled(CalControl::btnGetData)) {
        return false;
    }
    const double heading = LeadingNumber(c.caption(Slot::CalcHeading));
    return CalGaugeDriver::CalTarget(heading) != CalGaugeDriver::kNoTarget &&
           (workflow.collectedMask() & SlotBit(SlotForHeading(heading))) == 0;
}

// All four points stored: the question (or --yes) and the write, when they solve.
int finishPoints(CliContext& c) {
    CalibrationWorkflow& workflow = c.session.calibration();
    if (!workflow.solution()) {
        return CliExit::NoSolution;
    }
    workflow.writeCalibration();
    return exitCodeOf(workflow.lastWrite());
}

// --report FILE.pdf: the report of the calibration written, when one was.
void writeReport(CliContext& c) {
    const std::optional<CalibrationReportData> report = c.session.calibrationReport();
    if (!report) {
        c.err << "tarquel-cli: no calibration was written, so there is no report\n";
        return;
    }
    QString error;
    if (writeCalibrationReport(c.request.report, *report, error)) {
        c.out << "Report written: " << c.request.report << "\n";
    } else {
        c.err << "tarquel-cli: the report could not be written to " << c.request.report << ": "
              << error << "\n";
    }
}

// --json: the points, the solution, the words before and after and how the test ended.
void printCalibrationJson(CliContext& c, int code) {
    CalibrationWorkflow& workflow = c.session.calibration();
    const std::optional<CalibrationWrite>& written = workflow.lastCalibrationWrite();
    QJsonObject document = written ? calibrationChanges(*written) : QJsonObject();
    if (!written) {
        QJsonArray points;
        for (int slot = 0; slot < CalSlot::Count; ++slot) {
            if ((workflow.collectedMask() & SlotBit(slot)) != 0 || workflow.solution()) {
                const PointRecord& p = workflow.point(slot);
                points.append(QJsonObject{{QStringLiteral("direction"), SlotDegrees(slot)},
                                          {QStringLiteral("heading"), p.heading},
                                          {QStringLiteral("Hx"), p.Hx},
                                          {QStringLiteral("Hy"), p.Hy}});
            }
        }
        document.insert(QStringLiteral("points"), points);
    }
    static const char* const kResults[] = {"none",         "declined",  "verified",
                                           "not-verified", "no-answer", "no-backup"};
    document.insert(QStringLiteral("result"),
                    QLatin1String(kResults[static_cast<int>(workflow.lastWrite())]));
    document.insert(QStringLiteral("exitCode"), code);
    c.printJson(document);
}

int calibrate(CliContext& c) {
    c.session.calModes().assumeCalMode(
        c.request.mode == QLatin1String("pend") ? CalMode::Pendulum : CalMode::Accelerometer);
    c.session.startLiveData();
    // The unit's output format, so that End Test can put a binary unit back: frames that arrive
    // without ever decoding are binary.
    c.clock.runEvents(kFormatWatchMs);
    if (c.frames() == 0 && c.session.liveData().flags().info(InfoFlag::NoHeader)) {
        c.session.link().setDataFormat(DataFormat::Binary);
    }

    CalibrationWorkflow& workflow = c.session.calibration();
    workflow.beginTest();
    if (!workflow.testRunning()) {
        c.err << "tarquel-cli: the calibration test could not begin\n";
        return CliExit::TestNotBegun;
    }
    c.out << "Test begun. Point the vehicle so that the heading reads 0, 90, 180 or 270 and "
             "press Enter to store a point; c clears the points, q ends the test.\n";
    c.out.flush();

    int code = CliExit::Ok;
    bool ending = false;
    for (int sinceStatus = kStatusEveryMs; !ending; sinceStatus += kStepMs) {
        if (sinceStatus >= kStatusEveryMs) {
            c.out << statusLine(c, workflow.collectedMask()) << "\n";
            c.out.flush();
            sinceStatus = 0;
        }
        while (!ending) {
            const std::optional<QString> line = c.input.takeLine();
            if (!line) {
                break;
            }
            const QString command = line->trimmed().toLower();
            if (command.isEmpty() && c.views.isEnabled(CalControl::btnGetData)) {
                workflow.storePoint();
                if (workflow.collectedMask() == CalSlot::AllCollected) {
                    code = finishPoints(c);
                    ending = true;
                }
            } else if (command == QLatin1String("c") && c.views.isEnabled(CalControl::btnClear)) {
                workflow.clearPoints();
                c.out << "Points cleared.\n";
            } else if (command == QLatin1String("q")) {
                ending = true;
            }
        }
        if (!ending && c.request.autoStore && autoPointDue(c)) {
            workflow.storePoint();
            if (workflow.collectedMask() == CalSlot::AllCollected) {
                code = finishPoints(c);
                ending = true;
            }
        }
        if (!ending && c.input.ended() && !c.request.autoStore) {
            ending = true;
        }
        if (!ending) {
            c.clock.runEvents(kStepMs);
        }
    }
    workflow.endTest();
    c.out << "Test ended: settings, channels and format restored, checksum recalculated.\n";
    if (!c.request.report.isEmpty()) {
        writeReport(c);
    }
    if (c.request.json) {
        printCalibrationJson(c, code);
    }
    return code;
}

const CliCommand kCommands[] = {
    {"calibrate",
     "  calibrate [--mode accel|pend] [--yes] [--auto] [--report FILE.pdf]\n"
     "                           four-point calibration: Enter stores the point the heading\n"
     "                           shows, c clears the points, q ends the test; --auto stores\n"
     "                           each point once the heading is steady in its window;\n"
     "                           --report writes the calibration report\n",
     0, 0, true, true, true, checkCalibrate, calibrate},
};

}  // namespace

std::span<const CliCommand> calibrationCommands() {
    return kCommands;
}

}  // namespace tarquel
