// calibrate: the four-point calibration on the same workflow as the main window's buttons.
#include "calibration/CalibrationWorkflow.h"
#include "cli/CliCommand.h"
#include "cli/CliLiveData.h"

#include <map>

namespace tarquel {

namespace {

constexpr int kStepMs = 50;
constexpr int kStatusEveryMs = 1000;
constexpr int kFormatWatchMs = 1500;

// The calibration controls as the terminal keeps them: states remembered, captions printed.
class CliCalibrationView : public CalibrationView {
public:
    CliCalibrationView(CliLiveData& live, QTextStream& out) : live_(live), out_(out) {}

    bool isEnabled(CalControl control) const {
        const auto it = enabled_.find(control);
        return it != enabled_.end() && it->second;
    }

    void setControlEnabled(CalControl control, bool enabled) override {
        enabled_[control] = enabled;
    }
    void focusControl(CalControl /*control*/) override {}
    QString dataBoxCaption(int slot) const override { return live_.caption(slot); }
    void setPointCaptions(int slot, const QString& heading, const QString& hx,
                          const QString& hy) override {
        if (!heading.isEmpty()) {
            out_ << "Stored " << SlotDegrees(slot) << ": heading " << heading << ", Hx " << hx
                 << ", Hy " << hy << "\n";
            out_.flush();
        }
    }
    void showResult(const CalibrationResult& r, int faceImage) override {
        if (faceImage == 0) {
            return;
        }
        out_ << "          Decimal   Hex\n";
        const QString rows[4][3] = {{QStringLiteral("X Bias"), r.xBiasText, r.xBiasWord},
                                    {QStringLiteral("Y Bias"), r.yBiasText, r.yBiasWord},
                                    {QStringLiteral("X Gain"), r.xGainText, r.xGainWord},
                                    {QStringLiteral("Y Gain"), r.yGainText, r.yGainWord}};
        for (const auto& row : rows) {
            out_ << qSetFieldWidth(8) << Qt::left << row[0] << qSetFieldWidth(9) << Qt::right
                 << row[1] << qSetFieldWidth(0) << "   " << row[2] << "\n";
        }
        out_ << "Calc Error " << r.calQualText << "  " << r.calMsgText << "\n";
        out_.flush();
    }
    void setTestDisplay(bool /*running*/) override {}
    void hideGauge() override {}
    void setFormatCaption(const QString& /*caption*/) override {}

private:
    CliLiveData& live_;
    QTextStream& out_;
    std::map<CalControl, bool> enabled_;
};

bool checkCalibrate(CliRequest& request, QString& /*error*/) {
    if (request.mode.isEmpty()) {
        request.mode = QStringLiteral("accel");
    }
    return true;
}

// "Heading 278.0 dg, stored: 0 90 - -"
QString statusLine(CliLiveData& live, int mask) {
    QString line = QStringLiteral("Heading ") +
                   (live.caption(5).isEmpty() ? QStringLiteral("(no data)") : live.caption(5)) +
                   QStringLiteral(", stored:");
    for (int slot = 0; slot < CalSlot::Count; ++slot) {
        line += QLatin1Char(' ') + ((mask & SlotBit(slot)) != 0 ? QString::number(SlotDegrees(slot))
                                                                : QStringLiteral("-"));
    }
    return line;
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

int calibrate(CliContext& c) {
    c.state.calMode =
        c.request.mode == QLatin1String("pend") ? CalMode::Pendulum : CalMode::Accelerometer;
    CliLiveData live(c);
    // The unit's output format, so that End Test can put a binary unit back: frames that arrive
    // without ever decoding are binary.
    c.state.dataFormat = DataFormat::Decimal;
    c.clock.runEvents(kFormatWatchMs);
    if (live.frames() == 0 && c.state.messages.info(InfoFlag::NoHeader)) {
        c.state.dataFormat = DataFormat::Binary;
    }

    CliCalibrationView view(live, c.out);
    CalibrationWorkflow workflow(c.link, c.state, c.boxes, c.progress, view);
    workflow.btnInitialize_Click();
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
            c.out << statusLine(live, workflow.collectedMask()) << "\n";
            c.out.flush();
            sinceStatus = 0;
        }
        while (!ending) {
            const std::optional<QString> line = c.input.takeLine();
            if (!line) {
                break;
            }
            const QString command = line->trimmed().toLower();
            if (command.isEmpty() && view.isEnabled(CalControl::btnGetData)) {
                workflow.btnGetData_Click();
                if (workflow.collectedMask() == CalSlot::AllCollected) {
                    if (workflow.solution()) {
                        workflow.btnEEPROM_Click();
                        code = exitCodeOf(workflow.lastWrite());
                    } else {
                        code = CliExit::NoSolution;
                    }
                    ending = true;
                }
            } else if (command == QLatin1String("c") && view.isEnabled(CalControl::btnClear)) {
                workflow.btnClear_Click();
                c.out << "Points cleared.\n";
            } else if (command == QLatin1String("q")) {
                ending = true;
            }
        }
        if (!ending && c.input.ended()) {
            ending = true;
        }
        if (!ending) {
            c.clock.runEvents(kStepMs);
        }
    }
    workflow.btnNewTest_Click();
    c.out << "Test ended: settings, channels and format restored, checksum recalculated.\n";
    return code;
}

const CliCommandSpec kCommands[] = {
    {"calibrate",
     "  calibrate [--mode accel|pend] [--yes]\n"
     "                           four-point calibration: Enter stores the point the heading\n"
     "                           shows, c clears the points, q ends the test\n",
     0, 0, true, true, checkCalibrate, calibrate},
};

}  // namespace

std::span<const CliCommandSpec> calibrationCommands() {
    return kCommands;
}

}  // namespace tarquel
