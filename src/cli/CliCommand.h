#pragma once

#include "cli/Cli.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgressWindow.h"
#include "platform/SerialPort.h"
#include "unitlink/SharedState.h"
#include "unitlink/StdUnitAccess.h"
#include "unitlink/UnitLink.h"

#include <QStringList>
#include <QTextStream>
#include <deque>
#include <optional>
#include <span>

namespace tarquel {

// The operator's side of a command: the message boxes of the workflows printed on the error
// stream, their Yes/No questions asked on the terminal and answered from standard input ("y" or
// "n"; an empty line or the end of input gives the box's default). With --yes every question is
// answered Yes without reading.
class CliMessageBoxes : public MessageBoxes {
public:
    CliMessageBoxes(QTextStream& out, QTextStream& err, LineInput& input, bool assumeYes)
        : out_(out), err_(err), input_(input), assumeYes_(assumeYes) {}

    MsgAnswer show(const MsgBox& box) override;

    // Every box shown so far, in order.
    const std::vector<MsgBox>& shown() const { return shown_; }
    // The last box shown with this title, if any.
    const MsgBox* lastTitled(const QString& title) const;

private:
    QTextStream& out_;
    QTextStream& err_;
    LineInput& input_;
    bool assumeYes_;
    std::vector<MsgBox> shown_;
};

// Everything one command works with: the request, the opened port, the unit link in front of it
// and the operator's terminal.
struct CliContext {
    CliContext(const CliRequest& request, SerialPort& port, Clock& clock, QTextStream& out,
               QTextStream& err, LineInput& input);

    // Prints the "no unit" message and gives the exit code for it.
    int noUnit();

    const CliRequest& request;
    SerialPort& port;
    Clock& clock;
    QTextStream& out;
    QTextStream& err;
    LineInput& input;
    CliMessageBoxes boxes;
    ConsoleProgressWindow progress;
    SharedState state;
    StdUnitAccess access;
    UnitLink link;
};

// One command of tarquel-cli.
struct CliCommandSpec {
    const char* name;
    // The command's lines of the usage text ("  read ADDR   the word at ADDR ...").
    const char* usage;
    int minArgs;
    int maxArgs;
    bool takesYes;   // accepts --yes
    bool takesMode;  // accepts --mode accel|pend
    // Checks the command's own arguments before any port is touched; may normalise them.
    bool (*checkArgs)(CliRequest& request, QString& error);
    int (*run)(CliContext& context);
};

// The command groups, each defined beside its own commands.
std::span<const CliCommandSpec> unitLinkCommands();
std::span<const CliCommandSpec> calibrationCommands();
std::span<const CliCommandSpec> maintenanceCommands();
std::span<const CliCommandSpec> mapCommands();

// Every command, in the order of the usage text.
std::vector<const CliCommandSpec*> allCliCommands();
const CliCommandSpec* findCliCommand(const QString& name);

// A text for a terminal: line ends made plain, other control bytes (and the leading FF of
// 1600-family identification texts) left out.
QString printableText(const QString& text);

bool isWordText(const QString& text);

}  // namespace tarquel
