// tarquel-cli: the unit link on the command line, for scripts and service benches.
#include "cli/Cli.h"
#include "platform/Errors.h"
#include "platform/QtSerialPort.h"
#include "platform/RealClock.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        out << tarquel::cliUsage();
        return tarquel::CliExit::Ok;
    }
    tarquel::CliRequest request;
    QString error;
    if (!tarquel::parseCliArguments(arguments, request, error)) {
        err << "tarquel-cli: " << error << "\n\n" << tarquel::cliUsage();
        return tarquel::CliExit::BadArguments;
    }
    const tarquel::PortDirectory directory = request.device.isEmpty()
                                                 ? tarquel::PortDirectory::fromEnvironment()
                                                 : tarquel::PortDirectory({request.device});
    tarquel::QtSerialPort port(directory);
    tarquel::RealClock clock;
    try {
        port.setCommPort(request.device.isEmpty() ? request.port : 1);
        port.setSettings(QString::number(request.baud) + QStringLiteral(",n,8,1"));
        port.setPortOpen(true);
    } catch (const tarquel::RuntimeError& e) {
        const QString device =
            port.deviceName().isEmpty() ? QStringLiteral("(no device)") : port.deviceName();
        err << "tarquel-cli: cannot open " << device << ": " << e.description() << " (error "
            << e.number() << ")\n";
        return tarquel::CliExit::PortFailure;
    }
    const int code = tarquel::runCliCommand(request, port, clock, out, err);
    port.setPortOpen(false);
    return code;
}
