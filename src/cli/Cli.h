#pragma once

#include "platform/Clock.h"
#include "platform/SerialPort.h"

#include <QStringList>
#include <QTextStream>

namespace tarquel {

// Exit codes of tarquel-cli.
namespace CliExit {
constexpr int Ok = 0;
constexpr int PortFailure = 1;
constexpr int BadArguments = 2;
constexpr int NoAnswer = 3;
constexpr int NotVerified = 4;
}  // namespace CliExit

// What the command line asks for, before any port is touched.
struct CliRequest {
    QString device;    // --device PATH
    int port = 0;      // --port N
    int baud = 9600;   // --baud RATE
    QString command;   // identify, read, write, checksum, channels, set-channels
    QStringList args;  // the command's own arguments
};

// Parses the arguments (without the program name). On failure returns false with a message.
bool parseCliArguments(const QStringList& arguments, CliRequest& request, QString& error);

QString cliUsage();

// Runs one command on an opened port and writes the result to out, problems to err.
int runCliCommand(const CliRequest& request, SerialPort& port, Clock& clock, QTextStream& out,
                  QTextStream& err);

}  // namespace tarquel
