#pragma once

#include "platform/Clock.h"
#include "platform/SerialPort.h"

#include <QStringList>
#include <QTextStream>
#include <deque>
#include <memory>
#include <optional>

namespace tarquel {

// Exit codes of tarquel-cli.
namespace CliExit {
constexpr int Ok = 0;
constexpr int PortFailure = 1;
constexpr int BadArguments = 2;
constexpr int NoAnswer = 3;
constexpr int NotVerified = 4;
constexpr int TestNotBegun = 5;  // calibrate: the test could not begin
constexpr int NoSolution = 6;    // calibrate: the points gave no valid solution
constexpr int MapsDiffer = 7;    // map compare: the saved and the live map differ
constexpr int NoBackup = 8;      // no backup of the EEPROM could be made: nothing was changed
}  // namespace CliExit

// What the command line asks for, before any port is touched.
struct CliRequest {
    QString device;          // --device PATH
    int port = 0;            // --port N
    int baud = 9600;         // --baud RATE
    bool yes = false;        // --yes: answer every question Yes
    bool noBackup = false;   // --no-backup: change the unit even when no backup could be made
    bool json = false;       // --json (records): the answer as one JSON document
    QString unit;            // --unit TEXT (backups)
    QString report;          // --report FILE.pdf (calibrate)
    QString format;          // --format text|csv|jsonl (monitor)
    int seconds = 0;         // --seconds N (monitor): 0 runs until the end of input
    bool autoStore = false;  // --auto (calibrate): each point stored once steady in its window
    QString mode;            // --mode accel|pend (calibrate)
    QString trace;           // --trace FILE: every byte written and read, with its time
    QString command;         // identify, read, write, ...
    QStringList args;        // the command's own arguments
};

// Lines the operator types on standard input.
class LineInput {
public:
    virtual ~LineInput() = default;
    // The next complete line if one has been typed, without waiting.
    virtual std::optional<QString> takeLine() = 0;
    // Waits for the next line; nullopt once input has ended.
    virtual std::optional<QString> waitLine() = 0;
    // Input has ended and every line has been taken.
    virtual bool ended() const = 0;
    // The operator pressed Ctrl+C: the command is to end as if input had ended.
    virtual bool interrupted() const { return false; }
};

// Lines given in advance (tests, and commands run without a terminal).
class ScriptedLineInput : public LineInput {
public:
    ScriptedLineInput() = default;
    explicit ScriptedLineInput(const QStringList& lines) : lines_(lines.begin(), lines.end()) {}
    void push(const QString& line) { lines_.push_back(line); }
    std::optional<QString> takeLine() override;
    std::optional<QString> waitLine() override { return takeLine(); }
    bool ended() const override { return lines_.empty(); }

private:
    std::deque<QString> lines_;
};

// Parses the arguments (without the program name). On failure returns false with a message.
bool parseCliArguments(const QStringList& arguments, CliRequest& request, QString& error);

QString cliUsage();

// Runs one command in a unit session on an opened port and writes the result to out, problems and
// progress to err; the session ends (and closes the port) with the command. Questions are
// answered from input.
int runCliCommand(const CliRequest& request, std::unique_ptr<SerialPort> port, Clock& clock,
                  QTextStream& out, QTextStream& err, LineInput& input);

// A command on the data folder (backups, records): true with the exit code in code when the
// request names one; such commands open no port.
bool runCliFileCommand(const CliRequest& request, const QString& dataFolder, QTextStream& out,
                       QTextStream& err, int& code);

}  // namespace tarquel
