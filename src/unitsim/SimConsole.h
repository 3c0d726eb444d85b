#pragma once

#include "unitsim/SimulatedUnit.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace tarquel::unitsim {

// What the tarquel-unitsim program is asked to do by its command line.
struct ProgramOptions {
    SimulatedUnit::Config unit;
    QString link;        // a symbolic link to create to the pseudo-terminal
    QString recordFile;  // one line per received byte
    bool exitOnEof = false;
    bool help = false;
};

// Parses the arguments after the program name. On failure returns nothing and sets error.
std::optional<ProgramOptions> parseProgramOptions(const QStringList& args, QString& error);
QString programUsage();

// Fault names as the command line and the console know them: no-answer, one-byte, three-byte,
// refuse-writes, silent-after, modem, stream-off.
std::optional<Fault> faultFromName(const QString& name);

// The program's console: one command per line on standard input, the reply on standard output.
//   heading DEG | tilt RX RY | rotate DEG_PER_S | stream on|off | format decimal|binary |
//   fastest on|off | baud RATE | fault NAME [N] | fault none | status | word ADDR | quit
class SimConsole {
public:
    struct Reply {
        QString text;  // empty: nothing to print
        bool quit = false;
    };

    explicit SimConsole(SimulatedUnit& unit) : unit_(unit) {}

    Reply execute(const QString& line);
    QString status() const;

private:
    SimulatedUnit& unit_;
};

}  // namespace tarquel::unitsim
