#pragma once

#include "cli/Cli.h"
#include "support/SimRig.h"

#include <QTemporaryDir>
#include <QTextStream>

namespace tarquel::test {

// tarquel-cli's commands run in process against the simulated unit on virtual time; what they
// print is kept.
class CliRig : public SimWorld {
protected:
    // Backups and records go to a folder of the test's own.
    CliRig() : out(&outText), err(&errText) {
        qputenv("TARQUEL_DATA_DIR", dataDir.path().toLocal8Bit());
    }

    int run(const QString& command, LineInput& input) {
        outText.clear();
        errText.clear();
        CliRequest request;
        QString error;
        EXPECT_TRUE(parseCliArguments(
            (QStringLiteral("--device x ") + command).split(QLatin1Char(' '), Qt::SkipEmptyParts),
            request, error))
            << error.toStdString();
        auto port = std::make_unique<FakeSerialPort>(system);
        port->setCommPort(1);
        port->setPortOpen(true);
        const int code = runCliCommand(request, std::move(port), clock, out, err, input);
        out.flush();
        err.flush();
        return code;
    }
    int run(const QString& command, const QStringList& typed = {}) {
        ScriptedLineInput input(typed);
        return run(command, input);
    }

    QTemporaryDir dataDir;
    QString outText;
    QString errText;
    QTextStream out;
    QTextStream err;
};

}  // namespace tarquel::test
