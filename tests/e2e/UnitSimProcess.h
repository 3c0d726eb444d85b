#pragma once

#include <gtest/gtest.h>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace tarquel::test {

// The tarquel-unitsim program on a pseudo-terminal, for end-to-end runs.
class UnitSimProcess {
public:
    explicit UnitSimProcess(const QStringList& options) {
        process_.setProgram(QStringLiteral(TARQUEL_UNITSIM_BIN));
        process_.setArguments(options);
        process_.start();
        if (!process_.waitForStarted(5000) || !process_.waitForReadyRead(5000)) {
            ADD_FAILURE() << "tarquel-unitsim did not start";
            return;
        }
        const QString first = QString::fromLocal8Bit(process_.readLine()).trimmed();
        const QString prefix = QStringLiteral("tarquel-unitsim: ");
        if (!first.startsWith(prefix)) {
            ADD_FAILURE() << "unexpected first line: " << first.toStdString();
            return;
        }
        device_ = first.mid(prefix.size());
    }
    ~UnitSimProcess() {
        if (process_.state() != QProcess::NotRunning) {
            process_.write("quit\n");
            if (!process_.waitForFinished(3000)) {
                process_.kill();
                process_.waitForFinished(3000);
            }
        }
    }
    UnitSimProcess(const UnitSimProcess&) = delete;
    UnitSimProcess& operator=(const UnitSimProcess&) = delete;

    const QString& device() const { return device_; }

    // One standard-input command and its one-line answer.
    QString command(const QString& line) {
        process_.readAll();
        process_.write((line + QLatin1Char('\n')).toLocal8Bit());
        process_.waitForBytesWritten(2000);
        QByteArray answer;
        while (!answer.endsWith('\n') && process_.waitForReadyRead(3000)) {
            answer += process_.readAll();
        }
        return QString::fromLocal8Bit(answer).trimmed();
    }

private:
    QProcess process_;
    QString device_;
};

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

inline ProgramRun runProgram(const QString& program, const QStringList& arguments,
                             const QStringList& environment = {}) {
    QProcess process;
    if (!environment.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& entry : environment) {
            env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
        }
        process.setProcessEnvironment(env);
    }
    process.start(program, arguments);
    ProgramRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << program.toStdString() << " did not finish";
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

}  // namespace tarquel::test
