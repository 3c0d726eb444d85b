#include "cli/Cli.h"

#include "platform/MessageBoxes.h"
#include "unitlink/HexText.h"
#include "unitlink/SharedState.h"
#include "unitlink/StdUnitAccess.h"
#include "unitlink/UnitCommands.h"
#include "unitlink/UnitLink.h"

namespace tarquel {

namespace {

const QStringList kBaudRates = {QStringLiteral("1200"),  QStringLiteral("2400"),
                                QStringLiteral("4800"),  QStringLiteral("9600"),
                                QStringLiteral("19200"), QStringLiteral("38400")};

int argumentCount(const QString& command) {
    if (command == QLatin1String("read") || command == QLatin1String("set-channels")) {
        return 1;
    }
    if (command == QLatin1String("write")) {
        return 2;
    }
    if (command == QLatin1String("identify") || command == QLatin1String("checksum") ||
        command == QLatin1String("channels")) {
        return 0;
    }
    return -1;
}

bool isWordText(const QString& text) {
    return text.size() == 4 && IsHexString(text);
}

// The identification text for a terminal: line ends made plain, other control bytes and the
// leading FF of 1600-family units left out.
QString printable(const QString& text) {
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QString out;
    for (const QChar c : plain) {
        if (c == QLatin1Char('\n') || (c.unicode() >= 0x20 && c.unicode() < 0x7F)) {
            out += c;
        }
    }
    return out;
}

}  // namespace

QString cliUsage() {
    return QStringLiteral(
        "Usage: tarquel-cli [--device PATH | --port N] [--baud RATE] COMMAND [ARGS]\n"
        "\n"
        "Talks to a Corvane sensor unit on a serial port.\n"
        "  --device PATH   the serial device (for example /dev/ttyS0 or /dev/pts/3)\n"
        "  --port N        port number 1 to 20 (TARQUEL_PORTS or the system's serial devices)\n"
        "  --baud RATE     1200, 2400, 4800, 9600 (default), 19200 or 38400\n"
        "\n"
        "Commands:\n"
        "  identify                 map family and identification text\n"
        "  read ADDR                the word at ADDR (four hex digits)\n"
        "  write ADDR VALUE         switch write access on, write VALUE and verify it\n"
        "  checksum                 the EEPROM checksum byte\n"
        "  channels                 the unit's output-channel selection\n"
        "  set-channels accel|pend|SELECTION\n"
        "                           select the calibration channels or ten hex digits\n"
        "\n"
        "Exit codes: 0 done, 1 port failure, 2 bad arguments, 3 no answer from the unit,\n"
        "4 a write that did not verify.\n");
}

bool parseCliArguments(const QStringList& arguments, CliRequest& request, QString& error) {
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (a == QLatin1String("--device") || a == QLatin1String("--port") ||
            a == QLatin1String("--baud")) {
            if (!hasValue) {
                error = a + QStringLiteral(" needs a value");
                return false;
            }
            const QString value = arguments[++i];
            if (a == QLatin1String("--device")) {
                request.device = value;
            } else if (a == QLatin1String("--port")) {
                bool ok = false;
                request.port = value.toInt(&ok);
                if (!ok || request.port < 1 || request.port > 20) {
                    error = QStringLiteral("--port takes a number from 1 to 20");
                    return false;
                }
            } else {
                if (!kBaudRates.contains(value)) {
                    error = QStringLiteral("--baud takes 1200, 2400, 4800, 9600, 19200 or 38400");
                    return false;
                }
                request.baud = value.toInt();
            }
        } else if (a.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("unknown option ") + a;
            return false;
        } else {
            rest << a;
        }
    }
    if (!request.device.isEmpty() && request.port != 0) {
        error = QStringLiteral("give either --device or --port, not both");
        return false;
    }
    if (request.device.isEmpty() && request.port == 0) {
        error = QStringLiteral("name the port with --device PATH or --port N");
        return false;
    }
    if (rest.isEmpty()) {
        error = QStringLiteral("no command given");
        return false;
    }
    request.command = rest.takeFirst();
    const int expected = argumentCount(request.command);
    if (expected < 0) {
        error = QStringLiteral("unknown command ") + request.command;
        return false;
    }
    if (rest.size() != expected) {
        error = request.command + QStringLiteral(" takes %1 argument(s)").arg(expected);
        return false;
    }
    request.args = rest;
    if (request.command == QLatin1String("read") || request.command == QLatin1String("write")) {
        for (const QString& word : request.args) {
            if (!isWordText(word)) {
                error = QStringLiteral("addresses and values are four hex digits, not ") + word;
                return false;
            }
        }
    }
    if (request.command == QLatin1String("set-channels")) {
        const QString& selection = request.args[0];
        const bool named =
            selection == QLatin1String("accel") || selection == QLatin1String("pend");
        if (!named && !(selection.size() == 10 && IsHexString(selection))) {
            error = QStringLiteral("set-channels takes accel, pend or ten hex digits");
            return false;
        }
    }
    return true;
}

int runCliCommand(const CliRequest& request, SerialPort& port, Clock& clock, QTextStream& out,
                  QTextStream& err) {
    ConsoleMessageBoxes boxes;
    SharedState state;
    StdUnitAccess access(clock, boxes, state.unitMap);
    UnitLink link(port, access, state);
    const auto noUnit = [&] {
        err << "tarquel-cli: the unit did not identify itself (no answer, or not a Corvane unit)\n";
        return CliExit::NoAnswer;
    };

    if (request.command == QLatin1String("identify")) {
        if (!link.fInit(true)) {
            return noUnit();
        }
        out << "Family: " << (link.unitAddresses().isB600Family ? "B600" : "1600") << "\n"
            << printable(link.idText()) << "\n";
        return CliExit::Ok;
    }
    if (request.command == QLatin1String("read")) {
        const QString address = request.args[0].toUpper();
        const QString word = link.fReadFromUnit(address);
        if (word == kReadError) {
            err << "tarquel-cli: no answer to the read of " << address << "\n";
            return CliExit::NoAnswer;
        }
        out << address << " = " << word << "\n";
        return CliExit::Ok;
    }
    if (request.command == QLatin1String("write")) {
        const QString address = request.args[0].toUpper();
        const QString value = request.args[1].toUpper();
        if (!link.fInit(false)) {
            return noUnit();
        }
        if (!link.fWriteAccess()) {
            err << "tarquel-cli: the unit refused write access\n";
            return CliExit::NotVerified;
        }
        if (!link.fWriteToUnit(address, value)) {
            const QString now = link.fReadFromUnit(address);
            err << "tarquel-cli: the write of " << value << " to " << address
                << " did not verify (the unit reads " << now << ")\n";
            return CliExit::NotVerified;
        }
        out << address << " = " << value << " (verified)\n";
        return CliExit::Ok;
    }
    if (request.command == QLatin1String("checksum")) {
        QString checksum;
        if (!access.ReadChecksumByte(port, checksum)) {
            return noUnit();
        }
        out << "Checksum = " << checksum << "\n";
        return CliExit::Ok;
    }
    if (request.command == QLatin1String("channels")) {
        QString selection;
        if (!link.fGetChannels(selection)) {
            return noUnit();
        }
        out << "Channels = " << selection << "\n";
        return CliExit::Ok;
    }
    // set-channels
    const QString& selection = request.args[0];
    if (!link.fInit(false)) {
        return noUnit();
    }
    if (selection == QLatin1String("accel") || selection == QLatin1String("pend")) {
        state.calMode =
            selection == QLatin1String("accel") ? CalMode::Accelerometer : CalMode::Pendulum;
        if (!link.fSetChannels(false)) {
            err << "tarquel-cli: the unit refused write access\n";
            return CliExit::NotVerified;
        }
        out << "Channels = "
            << (state.calMode == CalMode::Accelerometer ? kAccelChannels : kPendChannels) << "\n";
        return CliExit::Ok;
    }
    state.savedChannels = selection.toUpper();
    if (!link.fSetChannels(true)) {
        err << "tarquel-cli: the unit refused write access\n";
        return CliExit::NotVerified;
    }
    out << "Channels = " << state.savedChannels << "\n";
    return CliExit::Ok;
}

}  // namespace tarquel
