#include "cli/Cli.h"

#include "cli/CliCommand.h"
#include "platform/Version.h"
#include "records/DataFolder.h"
#include "unitlink/HexText.h"

#include <QJsonDocument>

namespace tarquel {

namespace {

const QStringList kBaudRates = {QStringLiteral("1200"),  QStringLiteral("2400"),
                                QStringLiteral("4800"),  QStringLiteral("9600"),
                                QStringLiteral("19200"), QStringLiteral("38400")};

// The options that take a value; each is applied to the request.
bool applyOption(const QString& option, const QString& value, CliRequest& request, QString& error) {
    if (option == QLatin1String("--device")) {
        request.device = value;
        return true;
    }
    if (option == QLatin1String("--port")) {
        bool ok = false;
        request.port = value.toInt(&ok);
        if (!ok || request.port < 1 || request.port > 20) {
            error = QStringLiteral("--port takes a number from 1 to 20");
            return false;
        }
        return true;
    }
    if (option == QLatin1String("--baud")) {
        if (!kBaudRates.contains(value)) {
            error = QStringLiteral("--baud takes 1200, 2400, 4800, 9600, 19200 or 38400");
            return false;
        }
        request.baud = value.toInt();
        return true;
    }
    if (option == QLatin1String("--trace")) {
        request.trace = value;
        return true;
    }
    if (option == QLatin1String("--unit")) {
        request.unit = value;
        return true;
    }
    if (option == QLatin1String("--format")) {
        request.format = value;
        return true;
    }
    if (option == QLatin1String("--seconds")) {
        bool ok = false;
        request.seconds = value.toInt(&ok);
        if (!ok || request.seconds < 1) {
            error = QStringLiteral("--seconds takes a whole number of seconds from 1");
            return false;
        }
        return true;
    }
    if (option == QLatin1String("--report")) {
        request.report = value;
        return true;
    }
    // --mode
    if (value != QLatin1String("accel") && value != QLatin1String("pend")) {
        error = QStringLiteral("--mode takes accel or pend");
        return false;
    }
    request.mode = value;
    return true;
}

// A command on the data folder: no port, no unit, none of the unit's options.
bool checkFileCommand(const CliFileCommand& command, const QStringList& rest, CliRequest& request,
                      QString& error) {
    if (!rest.isEmpty()) {
        error = request.command + QStringLiteral(" takes no arguments");
        return false;
    }
    if (!request.device.isEmpty() || request.port != 0 || request.yes || request.noBackup ||
        !request.mode.isEmpty() || !request.report.isEmpty() || request.autoStore) {
        error = request.command + QStringLiteral(" reads the data folder only: it takes no port");
        return false;
    }
    if (request.json && !command.takesJson) {
        error = request.command + QStringLiteral(" has no JSON answer: --json does not apply");
        return false;
    }
    if (!request.unit.isEmpty() && !command.takesUnit) {
        error = QStringLiteral("--unit applies to backups only");
        return false;
    }
    return true;
}

}  // namespace

std::optional<QString> ScriptedLineInput::takeLine() {
    if (lines_.empty()) {
        return std::nullopt;
    }
    QString line = lines_.front();
    lines_.pop_front();
    return line;
}

std::vector<const CliCommand*> allCliCommands() {
    std::vector<const CliCommand*> commands;
    for (const std::span<const CliCommand> group :
         {unitLinkCommands(), liveDataCommands(), calibrationCommands(), maintenanceCommands(),
          mapCommands()}) {
        for (const CliCommand& command : group) {
            commands.push_back(&command);
        }
    }
    return commands;
}

const CliCommand* findCliCommand(const QString& name) {
    for (const CliCommand* command : allCliCommands()) {
        if (name == QLatin1String(command->name)) {
            return command;
        }
    }
    return nullptr;
}

QString cliUsage() {
    QString usage = QStringLiteral(
        "Usage: tarquel-cli [--device PATH | --port N] [--baud RATE] [--yes] [--no-backup]\n"
        "                   [--trace FILE] COMMAND [ARGS]\n"
        "       tarquel-cli backups [--unit TEXT] | records [--json]\n"
        "\n"
        "Talks to a Corvane sensor unit on a serial port.\n"
        "  --device PATH   the serial device (for example /dev/ttyS0 or /dev/pts/3)\n"
        "  --port N        port number 1 to 20 (TARQUEL_PORTS or the system's serial devices)\n"
        "  --baud RATE     1200, 2400, 4800, 9600 (default), 19200 or 38400\n"
        "  --yes           answer Yes to every question instead of asking\n"
        "  --json          identify, read, checksum, channels, map compare, calibrate, backups,\n"
        "                  records: the answer as one JSON document on standard output (the\n"
        "                  lines for people go to standard error)\n"
        "  --trace FILE    write every byte sent and received to FILE with its time in\n"
        "                  microseconds (W begun ended bytes, R time bytes)\n"
        "\n"
        "Commands:\n");
    for (const CliCommand* command : allCliCommands()) {
        usage += QLatin1String(command->usage);
    }
    usage += QStringLiteral(
        "\n"
        "Before a command first changes a unit's EEPROM the whole map is backed up in the data\n"
        "folder (TARQUEL_DATA_DIR, or the application data folder); without a backup nothing is\n"
        "changed unless --no-backup is given. Every change is recorded there.\n"
        "  --no-backup     change the unit even when no backup could be made\n"
        "\n"
        "Commands on the data folder (no port):\n");
    for (const CliFileCommand& command : cliFileCommands()) {
        usage += QLatin1String(command.usage);
    }
    usage += QStringLiteral(
        "\n"
        "Exit codes: 0 done, 1 port failure, 2 bad arguments, 3 no answer from the unit,\n"
        "4 a write that did not verify, 5 the calibration test could not begin, 6 the points\n"
        "gave no valid solution, 7 the saved and the live map differ, 8 no backup could be made\n"
        "(nothing was changed).\n");
    return usage;
}

bool parseCliArguments(const QStringList& arguments, CliRequest& request, QString& error) {
    QStringList rest;
    bool yesGiven = false;
    bool modeGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--yes")) {
            request.yes = true;
            yesGiven = true;
        } else if (a == QLatin1String("--no-backup")) {
            request.noBackup = true;
        } else if (a == QLatin1String("--json")) {
            request.json = true;
        } else if (a == QLatin1String("--auto")) {
            request.autoStore = true;
        } else if (a == QLatin1String("--device") || a == QLatin1String("--port") ||
                   a == QLatin1String("--baud") || a == QLatin1String("--mode") ||
                   a == QLatin1String("--trace") || a == QLatin1String("--unit") ||
                   a == QLatin1String("--report") || a == QLatin1String("--format") ||
                   a == QLatin1String("--seconds")) {
            if (i + 1 >= arguments.size()) {
                error = a + QStringLiteral(" needs a value");
                return false;
            }
            modeGiven = modeGiven || a == QLatin1String("--mode");
            if (!applyOption(a, arguments[++i], request, error)) {
                return false;
            }
        } else if (a.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("unknown option ") + a;
            return false;
        } else {
            rest << a;
        }
    }
    if (rest.isEmpty()) {
        error = QStringLiteral("no command given");
        return false;
    }
    request.command = rest.takeFirst();
    if (const CliFileCommand* fileCommand = findCliFileCommand(request.command)) {
        return checkFileCommand(*fileCommand, rest, request, error);
    }
    if (!request.device.isEmpty() && request.port != 0) {
        error = QStringLiteral("give either --device or --port, not both");
        return false;
    }
    if (request.device.isEmpty() && request.port == 0) {
        error = QStringLiteral("name the port with --device PATH or --port N");
        return false;
    }
    // Two-word commands ("map save").
    if (findCliCommand(request.command) == nullptr && !rest.isEmpty() &&
        findCliCommand(request.command + QLatin1Char(' ') + rest.first()) != nullptr) {
        request.command += QLatin1Char(' ') + rest.takeFirst();
    }
    const CliCommand* command = findCliCommand(request.command);
    if (command == nullptr) {
        error = QStringLiteral("unknown command ") + request.command;
        return false;
    }
    if (rest.size() < command->minArgs || rest.size() > command->maxArgs) {
        error =
            command->minArgs == command->maxArgs
                ? request.command + QStringLiteral(" takes %1 argument(s)").arg(command->minArgs)
                : request.command + QStringLiteral(" takes %1 to %2 arguments")
                                        .arg(command->minArgs)
                                        .arg(command->maxArgs);
        return false;
    }
    if (yesGiven && !command->takesYes) {
        error = request.command + QStringLiteral(" does not ask anything: --yes does not apply");
        return false;
    }
    if (modeGiven && !command->takesMode) {
        error = QStringLiteral("--mode applies to calibrate only");
        return false;
    }
    if ((!request.report.isEmpty() || request.autoStore) &&
        request.command != QLatin1String("calibrate")) {
        error = request.autoStore ? QStringLiteral("--auto applies to calibrate only")
                                  : QStringLiteral("--report applies to calibrate only");
        return false;
    }
    if ((!request.format.isEmpty() || request.seconds != 0) &&
        request.command != QLatin1String("monitor")) {
        error = QStringLiteral("--format and --seconds apply to monitor only");
        return false;
    }
    if (request.json && !command->takesJson) {
        error = request.command + QStringLiteral(" has no JSON answer: --json does not apply");
        return false;
    }
    if (!request.unit.isEmpty()) {
        error = QStringLiteral("--unit applies to backups only");
        return false;
    }
    request.args = rest;
    return command->checkArgs == nullptr || command->checkArgs(request, error);
}

CliContext::CliContext(const CliRequest& r, std::unique_ptr<SerialPort> port, Clock& c,
                       QTextStream& o, QTextStream& e, LineInput& i)
    : request(r),
      clock(c),
      out(r.json ? e : o),
      err(e),
      jsonOut(o),
      input(i),
      boxes(out, e, i, r.yes),
      progress(e),
      views(out, e),
      session(std::move(port),
              {c, boxes, progress, dialogs,
               RecordsSettings{dataFolder(), r.noBackup ? BackupFailure::GoOn : BackupFailure::Stop,
                               QLatin1String(kVersionText)}},
              {views, views, views, views, views, views, views, views}) {
    session.link().setDataFormat(DataFormat::Decimal);
}

void CliContext::printJson(const QJsonObject& document) {
    jsonOut << QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented));
    jsonOut.flush();
}

int CliContext::noUnit() {
    err << "tarquel-cli: the unit did not identify itself (no answer, or not a Corvane unit)\n";
    return CliExit::NoAnswer;
}

bool CliContext::waitForFrames(int count, int maxMs) {
    session.startLiveData();
    const qint32 start = frames();
    constexpr int kStepMs = 20;
    for (int waited = 0; waited < maxMs; waited += kStepMs) {
        if (frames() - start >= count) {
            return true;
        }
        clock.runEvents(kStepMs);
    }
    return frames() - start >= count;
}

int runCliCommand(const CliRequest& request, std::unique_ptr<SerialPort> port, Clock& clock,
                  QTextStream& out, QTextStream& err, LineInput& input) {
    const CliCommand* command = findCliCommand(request.command);
    if (command == nullptr) {
        err << "tarquel-cli: unknown command " << request.command << "\n";
        return CliExit::BadArguments;
    }
    CliContext context(request, std::move(port), clock, out, err, input);
    int code = command->run(context);
    const UnitRecords* records = context.session.records();
    if (records != nullptr && !records->refusal().isEmpty()) {
        err << "tarquel-cli: no backup of the EEPROM could be made: " << records->refusal()
            << " Nothing was changed; --no-backup changes the unit without a backup.\n";
        code = CliExit::NoBackup;
    }
    context.session.end();
    out.flush();
    err.flush();
    return code;
}

}  // namespace tarquel
