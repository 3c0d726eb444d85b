#pragma once

#include "cli/Cli.h"
#include "cli/CliViews.h"
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgressWindow.h"
#include "platform/SerialPort.h"
#include "session/UnitSession.h"

#include <QJsonObject>
#include <QStringList>
#include <QTextStream>
#include <memory>
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

private:
    QTextStream& out_;
    QTextStream& err_;
    LineInput& input_;
    bool assumeYes_;
};

// Everything one command works with: the request, the operator's terminal, and the unit session
// on the opened port, with the command line's views.
struct CliContext {
    CliContext(const CliRequest& request, std::unique_ptr<SerialPort> port, Clock& clock,
               QTextStream& out, QTextStream& err, LineInput& input);

    // Prints the "no unit" message and gives the exit code for it.
    int noUnit();
    // Starts the live data and lets frames arrive for at most maxMs, until at least count frames
    // have been accepted since the call. True when they were.
    bool waitForFrames(int count, int maxMs);
    // --json: the command's one JSON document on standard output (its lines for people go to the
    // error stream then).
    void printJson(const QJsonObject& document);
    // DataBox(slot) as the last frame left it.
    QString caption(int slot) { return session.liveData().display().dataBoxCaption(slot); }
    qint32 frames() { return session.liveData().decoder().frameCount(); }

    const CliRequest& request;
    Clock& clock;
    QTextStream& out;  // the lines for people: the error stream with --json
    QTextStream& err;
    QTextStream& jsonOut;
    LineInput& input;
    CliMessageBoxes boxes;
    ConsoleProgressWindow progress;
    ScriptedFileDialogs dialogs;
    CliViews views;
    UnitSession session;
};

// One command of tarquel-cli.
struct CliCommand {
    const char* name;
    // The command's lines of the usage text ("  read ADDR   the word at ADDR ...").
    const char* usage;
    int minArgs;
    int maxArgs;
    bool takesYes;   // accepts --yes
    bool takesMode;  // accepts --mode accel|pend
    bool takesJson;  // accepts --json
    // Checks the command's own arguments before any port is touched; may normalise them.
    bool (*checkArgs)(CliRequest& request, QString& error);
    int (*run)(CliContext& context);
};

// A command on the data folder (backups, records): no port, no unit.
struct CliFileCommand {
    const char* name;
    const char* usage;
    bool takesJson;  // accepts --json
    bool takesUnit;  // accepts --unit TEXT
    int (*run)(const CliRequest& request, const QString& dataFolder, QTextStream& out,
               QTextStream& err);
};
std::span<const CliFileCommand> cliFileCommands();
const CliFileCommand* findCliFileCommand(const QString& name);

// The command groups, each defined beside its own commands.
std::span<const CliCommand> unitLinkCommands();
std::span<const CliCommand> calibrationCommands();
std::span<const CliCommand> maintenanceCommands();
std::span<const CliCommand> mapCommands();
std::span<const CliCommand> liveDataCommands();

// Every command, in the order of the usage text.
std::vector<const CliCommand*> allCliCommands();
const CliCommand* findCliCommand(const QString& name);

// A text for a terminal: line ends made plain, other control bytes (and the leading FF of
// 1600-family identification texts) left out.
QString printableText(const QString& text);

}  // namespace tarquel
