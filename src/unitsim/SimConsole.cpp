#include "unitsim/SimConsole.h"

#include <array>
#include <utility>

namespace tarquel::unitsim {

namespace {

constexpr std::array<std::pair<const char*, Fault>, 7> kFaultNames{{
    {"no-answer", Fault::NoReadAnswer},
    {"one-byte", Fault::OneByteAnswer},
    {"three-byte", Fault::ThreeByteAnswer},
    {"refuse-writes", Fault::RefuseWrites},
    {"silent-after", Fault::SilentAfterReads},
    {"modem", Fault::Modem},
    {"stream-off", Fault::StreamOff},
}};

bool isSupportedBaud(int baud) {
    switch (baud) {
        case 1200:
        case 2400:
        case 4800:
        case 9600:
        case 19200:
        case 38400:
            return true;
        default:
            return false;
    }
}

// Reads count numbers from args starting at index i (which then points past them).
bool takeNumbers(const QStringList& args, qsizetype& i, int count, std::array<double, 3>& out) {
    for (int k = 0; k < count; ++k) {
        if (i >= args.size()) {
            return false;
        }
        bool ok = false;
        out[static_cast<size_t>(k)] = args[i++].toDouble(&ok);
        if (!ok) {
            return false;
        }
    }
    return true;
}

bool isChannelText(const QString& text) {
    if (text.size() != 10) {
        return false;
    }
    for (const QChar c : text) {
        if (!c.isDigit() && !(c.toUpper() >= QLatin1Char('A') && c.toUpper() <= QLatin1Char('F'))) {
            return false;
        }
    }
    return true;
}

QString onOff(bool value) {
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

QString number(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

}  // namespace

std::optional<Fault> faultFromName(const QString& name) {
    for (const auto& [text, fault] : kFaultNames) {
        if (name == QLatin1String(text)) {
            return fault;
        }
    }
    return std::nullopt;
}

QString programUsage() {
    return QStringLiteral(
        "Usage: tarquel-unitsim [options]\n"
        "Simulates a Corvane sensor unit on a pseudo-terminal. The first line printed is\n"
        "\"tarquel-unitsim: <slave path>\".\n"
        "\n"
        "  --family b600|1600      memory map family (b600)\n"
        "  --baud RATE             unit baud rate, 1200 to 38400 (9600)\n"
        "  --format decimal|binary output format (decimal)\n"
        "  --sensors accel|pend    accelerometer or pendulum unit (accel)\n"
        "  --channels HEX10        output-channel selection (default of the sensors)\n"
        "  --heading DEG           vehicle heading (0)\n"
        "  --tilt RX RY            tilt about X and Y in degrees (0 0)\n"
        "  --rotate DEG_PER_S      turn the vehicle continuously (0)\n"
        "  --hard-iron X Y Z       hard-iron offsets in mg (0 0 0)\n"
        "  --scale SX SY           X and Y magnetometer scale (1 1)\n"
        "  --noise MG              noise standard deviation in mg (1)\n"
        "  --seed N                noise and garble seed (1)\n"
        "  --fastest               send frames back to back\n"
        "  --rate FPS              send this many frames a second (the line permitting)\n"
        "  --no-stream             start with the frame stream off\n"
        "  --modem                 answer \"AT\" with \"OK\"\n"
        "  --fault NAME[=N]        no-answer, one-byte, three-byte, refuse-writes,\n"
        "                          silent-after=N, modem, stream-off\n"
        "  --record FILE           write every received byte: ms, hex byte, baud\n"
        "  --model TEXT            model name in the identification text\n"
        "  --link PATH             make a symbolic link PATH to the pseudo-terminal\n"
        "  --exit-on-eof           quit when standard input ends\n"
        "  --help                  show this text\n"
        "\n"
        "Commands on standard input: heading DEG, tilt RX RY, rotate DEG_PER_S,\n"
        "stream on|off, format decimal|binary, fastest on|off, baud RATE,\n"
        "fault NAME [N], fault none, status, word ADDR, quit.\n");
}

std::optional<ProgramOptions> parseProgramOptions(const QStringList& args, QString& error) {
    ProgramOptions options;
    SimulatedUnit::Config& unit = options.unit;
    std::array<double, 3> n{};
    auto fail = [&error](const QString& message) {
        error = message;
        return std::nullopt;
    };
    for (qsizetype i = 0; i < args.size();) {
        const QString option = args[i++];
        const QString value = i < args.size() ? args[i] : QString();
        if (option == QLatin1String("--help")) {
            options.help = true;
        } else if (option == QLatin1String("--fastest")) {
            unit.fastest = true;
        } else if (option == QLatin1String("--no-stream")) {
            unit.streamEnabled = false;
        } else if (option == QLatin1String("--modem")) {
            unit.faults.modem = true;
        } else if (option == QLatin1String("--exit-on-eof")) {
            options.exitOnEof = true;
        } else if (option == QLatin1String("--family")) {
            ++i;
            if (value == QLatin1String("b600")) {
                unit.family = MapFamily::B600;
            } else if (value == QLatin1String("1600")) {
                unit.family = MapFamily::F1600;
            } else {
                return fail(QStringLiteral("--family takes b600 or 1600"));
            }
        } else if (option == QLatin1String("--baud")) {
            ++i;
            if (!isSupportedBaud(value.toInt())) {
                return fail(QStringLiteral("--baud takes 1200, 2400, 4800, 9600, 19200 or 38400"));
            }
            unit.baud = value.toInt();
        } else if (option == QLatin1String("--format")) {
            ++i;
            if (value == QLatin1String("decimal")) {
                unit.format = OutputFormat::Decimal;
            } else if (value == QLatin1String("binary")) {
                unit.format = OutputFormat::Binary;
            } else {
                return fail(QStringLiteral("--format takes decimal or binary"));
            }
        } else if (option == QLatin1String("--sensors")) {
            ++i;
            if (value == QLatin1String("accel")) {
                unit.sensors = SensorKind::Accelerometer;
            } else if (value == QLatin1String("pend")) {
                unit.sensors = SensorKind::Pendulum;
            } else {
                return fail(QStringLiteral("--sensors takes accel or pend"));
            }
        } else if (option == QLatin1String("--channels")) {
            ++i;
            if (!isChannelText(value)) {
                return fail(QStringLiteral("--channels takes ten hex digits"));
            }
            unit.channels = value.toUpper();
        } else if (option == QLatin1String("--model")) {
            ++i;
            if (value.isEmpty()) {
                return fail(QStringLiteral("--model takes a text"));
            }
            unit.model = value;
        } else if (option == QLatin1String("--record") || option == QLatin1String("--link")) {
            ++i;
            if (value.isEmpty()) {
                return fail(option + QStringLiteral(" takes a path"));
            }
            (option == QLatin1String("--record") ? options.recordFile : options.link) = value;
        } else if (option == QLatin1String("--seed")) {
            ++i;
            bool ok = false;
            unit.seed = value.toULongLong(&ok);
            if (!ok) {
                return fail(QStringLiteral("--seed takes a number"));
            }
        } else if (option == QLatin1String("--fault")) {
            ++i;
            const QString name = value.section(QLatin1Char('='), 0, 0);
            const std::optional<Fault> fault = faultFromName(name);
            if (!fault) {
                return fail(QStringLiteral("unknown fault: ") + name);
            }
            addFault(unit.faults, *fault, value.section(QLatin1Char('='), 1).toInt());
        } else if (option == QLatin1String("--heading") || option == QLatin1String("--rotate") ||
                   option == QLatin1String("--noise") || option == QLatin1String("--rate")) {
            if (!takeNumbers(args, i, 1, n)) {
                return fail(option + QStringLiteral(" takes a number"));
            }
            if (option == QLatin1String("--heading")) {
                unit.physics.headingDeg = n[0];
            } else if (option == QLatin1String("--rotate")) {
                unit.physics.rotateDegPerS = n[0];
            } else if (option == QLatin1String("--rate")) {
                if (n[0] <= 0) {
                    return fail(QStringLiteral("--rate takes a number of frames above 0"));
                }
                unit.frameRate = n[0];
            } else {
                unit.physics.noiseMg = n[0];
            }
        } else if (option == QLatin1String("--tilt") || option == QLatin1String("--scale")) {
            if (!takeNumbers(args, i, 2, n)) {
                return fail(option + QStringLiteral(" takes two numbers"));
            }
            if (option == QLatin1String("--tilt")) {
                unit.physics.tiltXDeg = n[0];
                unit.physics.tiltYDeg = n[1];
            } else {
                unit.physics.scaleX = n[0];
                unit.physics.scaleY = n[1];
            }
        } else if (option == QLatin1String("--hard-iron")) {
            if (!takeNumbers(args, i, 3, n)) {
                return fail(QStringLiteral("--hard-iron takes three numbers"));
            }
            unit.physics.hardIronMg = {n[0], n[1], n[2]};
        } else {
            return fail(QStringLiteral("unknown option: ") + option);
        }
    }
    return options;
}

SimConsole::Reply SimConsole::execute(const QString& line) {
    const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty()) {
        return {};
    }
    const QString command = words[0].toLower();
    const QStringList args = words.mid(1);
    auto numbers = [&args](int count, std::array<double, 3>& out) {
        qsizetype i = 0;
        return args.size() == count && takeNumbers(args, i, count, out);
    };
    std::array<double, 3> n{};
    const QString ok = QStringLiteral("ok");
    if (command == QLatin1String("quit")) {
        return {QStringLiteral("bye"), true};
    }
    if (command == QLatin1String("status")) {
        return {status()};
    }
    if (command == QLatin1String("heading") && numbers(1, n)) {
        unit_.setHeading(n[0]);
        return {ok};
    }
    if (command == QLatin1String("tilt") && numbers(2, n)) {
        unit_.setTilt(n[0], n[1]);
        return {ok};
    }
    if (command == QLatin1String("rotate") && numbers(1, n)) {
        unit_.setRotation(n[0]);
        return {ok};
    }
    if (command == QLatin1String("baud") && args.size() == 1 && isSupportedBaud(args[0].toInt())) {
        unit_.setBaud(args[0].toInt());
        return {ok};
    }
    const QString arg = args.size() == 1 ? args[0].toLower() : QString();
    if ((command == QLatin1String("stream") || command == QLatin1String("fastest")) &&
        (arg == QLatin1String("on") || arg == QLatin1String("off"))) {
        const bool on = arg == QLatin1String("on");
        command == QLatin1String("stream") ? unit_.setStreamEnabled(on) : unit_.setFastest(on);
        return {ok};
    }
    if (command == QLatin1String("format") &&
        (arg == QLatin1String("decimal") || arg == QLatin1String("binary"))) {
        unit_.setFormat(arg == QLatin1String("decimal") ? OutputFormat::Decimal
                                                        : OutputFormat::Binary);
        return {ok};
    }
    if (command == QLatin1String("word") && args.size() == 1) {
        bool valid = false;
        const int address = args[0].toInt(&valid, 16);
        if (valid && args[0].size() <= 4) {
            return {QStringLiteral("%1 %2")
                        .arg(address, 4, 16, QLatin1Char('0'))
                        .arg(unit_.word(address), 4, 16, QLatin1Char('0'))
                        .toUpper()};
        }
    }
    if (command == QLatin1String("fault") && !args.isEmpty() && args.size() <= 2) {
        if (args[0] == QLatin1String("none")) {
            unit_.clearFaults();
            return {ok};
        }
        if (const std::optional<Fault> fault = faultFromName(args[0])) {
            unit_.setFault(*fault, args.size() == 2 ? args[1].toInt() : 0);
            return {ok};
        }
    }
    return {QStringLiteral("error: cannot do \"%1\"").arg(line.simplified())};
}

QString SimConsole::status() const {
    QStringList lines;
    lines << QStringLiteral("heading: %1").arg(number(unit_.trueHeading(), 1))
          << QStringLiteral("tilt: %1 %2")
                 .arg(number(unit_.physics().tiltXDeg, 1), number(unit_.physics().tiltYDeg, 1))
          << QStringLiteral("unit heading: %1").arg(number(unit_.unitHeading(), 1))
          << QStringLiteral("heading error: %1").arg(number(unit_.headingError(), 2))
          << QStringLiteral("checksum valid: %1").arg(onOff(unit_.checksumValid()))
          << QStringLiteral("write access: %1").arg(onOff(unit_.writeAccess()))
          << QStringLiteral("channels: %1").arg(unit_.channels())
          << QStringLiteral("format: %1")
                 .arg(unit_.format() == OutputFormat::Decimal ? QStringLiteral("decimal")
                                                              : QStringLiteral("binary"))
          << QStringLiteral("baud: %1").arg(unit_.baud())
          << QStringLiteral("stream: %1")
                 .arg(unit_.streamEnabled() && !unit_.faults().streamOff ? QStringLiteral("on")
                                                                         : QStringLiteral("off"))
          << QStringLiteral("modem probes answered: %1").arg(unit_.counters().modemProbes);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace tarquel::unitsim
