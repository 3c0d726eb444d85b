// monitor: the live-data pipeline of the window without a window, one line per decoded frame.
#include "cli/CliCommand.h"
#include "livedata/DisplayFormat.h"
#include "livedata/StatusMessages.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace tarquel {

namespace {

constexpr int kStepMs = 20;
constexpr int kFormatWatchMs = 1500;
const char* const kNames[Slot::Count] = {
    "Hx", "Hy", "V", "xInclination", "yInclination", "calcHeading", "unitHeading"};

bool checkMonitor(CliRequest& request, QString& error) {
    if (request.format.isEmpty()) {
        request.format = QStringLiteral("text");
    }
    if (request.format != QLatin1String("text") && request.format != QLatin1String("csv") &&
        request.format != QLatin1String("jsonl")) {
        error = QStringLiteral("--format takes text, csv or jsonl");
        return false;
    }
    if (!request.args.isEmpty()) {
        error = QStringLiteral("monitor takes no arguments");
        return false;
    }
    return true;
}

// Prints every frame the pipeline shows, in the chosen format.
class FramePrinter : public FrameObserver {
public:
    FramePrinter(CliContext& c, qint64 startUs) : c_(c), startUs_(startUs) {}

    void frameShown(const std::vector<double>& values) override {
        ++frames_;
        const double seconds = static_cast<double>(c_.clock.tickCountUs() - startUs_) / 1e6;
        const qint32 count = c_.frames() + 1;  // counted after the observer is told
        const double rate = LeadingNumber(c_.session.liveData().display().frameRateCaption());
        const QString& format = c_.request.format;
        if (format == QLatin1String("jsonl")) {
            QJsonObject line{{QStringLiteral("time"), std::round(seconds * 1000) / 1000}};
            for (int slot = 0; slot < Slot::Count; ++slot) {
                line.insert(QLatin1String(kNames[slot]),
                            std::round(values.at(static_cast<std::size_t>(slot)) * 100) / 100);
            }
            line.insert(QStringLiteral("frames"), count);
            line.insert(QStringLiteral("frameRate"), rate);
            c_.out << QString::fromUtf8(QJsonDocument(line).toJson(QJsonDocument::Compact)) << "\n";
        } else {
            const QString separator =
                format == QLatin1String("csv") ? QStringLiteral(",") : QStringLiteral("  ");
            QString line = QString::number(seconds, 'f', 3);
            for (const double value : values) {
                line += separator + QString::number(value, 'f', 2);
            }
            c_.out << line << separator << count << separator << rate << "\n";
        }
    }
    int frames() const { return frames_; }

private:
    CliContext& c_;
    qint64 startUs_;
    int frames_ = 0;
};

// What the status areas say that matters on a bench: receiving or not, tilt, no frame headers.
QString statusOf(CliContext& c) {
    const MessageFlags& flags = c.session.liveData().flags();
    const quint16 shown =
        flags.infoMessageFlags() &
        (bitOf(InfoFlag::TiltOver10) | bitOf(InfoFlag::TiltOver45) | bitOf(InfoFlag::NoHeader));
    QString text = SoftwareStatusText(flags.swMessageFlags() & bitOf(SwFlag::Receiving));
    const QString info = ComposeInformation(shown, c.session.link().dataFormat()).text.trimmed();
    if (!info.isEmpty()) {
        text += QStringLiteral(" ") +
                QString(info).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    }
    return text;
}

int monitor(CliContext& c) {
    FramePrinter printer(c, c.clock.tickCountUs());
    c.session.liveData().decoder().setFrameObserver(&printer);
    if (c.request.format == QLatin1String("csv")) {
        c.out << "time";
        for (const char* name : kNames) {
            c.out << "," << name;
        }
        c.out << ",frames,frameRate\n";
    }
    c.session.startLiveData();
    const qint64 endMs =
        c.request.seconds > 0 ? c.clock.tickCount() + c.request.seconds * 1000LL : -1;
    const qint64 formatKnownMs = c.clock.tickCount() + kFormatWatchMs;
    QString status;
    // With --seconds the end of input does not end it (a script's input may be empty).
    while (!c.input.interrupted() && (endMs < 0 ? !c.input.ended() : c.clock.tickCount() < endMs)) {
        c.clock.runEvents(kStepMs);
        // Frames that arrive without ever decoding are the unit's binary output, which the
        // pipeline does not decode: the status says so, as the window's does.
        if (c.clock.tickCount() >= formatKnownMs && printer.frames() == 0 &&
            c.session.liveData().flags().info(InfoFlag::NoHeader)) {
            c.session.link().setDataFormat(DataFormat::Binary);
        }
        const QString now = statusOf(c);
        if (now != status) {
            c.err << "status: " << now << "\n";
            c.err.flush();
            status = now;
        }
        c.out.flush();
        while (c.input.takeLine()) {
        }
    }
    c.session.liveData().decoder().setFrameObserver(nullptr);
    c.out.flush();
    if (printer.frames() == 0) {
        c.err << "tarquel-cli: no frame arrived\n";
        return CliExit::NoAnswer;
    }
    return CliExit::Ok;
}

const CliCommand kCommands[] = {
    {"monitor",
     "  monitor [--seconds N] [--format text|csv|jsonl]\n"
     "                           one line per decoded frame: time, Hx, Hy, V, the inclinations,\n"
     "                           the calculated and the unit's heading, frame count and rate;\n"
     "                           status changes on standard error; ends after N seconds (else\n"
     "                           at the end of input) or on Ctrl+C\n",
     0, 0, false, false, false, checkMonitor, monitor},
};

}  // namespace

std::span<const CliCommand> liveDataCommands() {
    return kCommands;
}

}  // namespace tarquel
