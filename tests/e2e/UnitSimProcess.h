#pragma once

#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

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
    QString earlierOut;  // what earlier attempts printed, when the run was made again
};

// Runs a program to its end; typed goes to its standard input, which then ends.
inline ProgramRun runProgram(const QString& program, const QStringList& arguments,
                             const QStringList& environment = {}, const QByteArray& typed = {}) {
    QProcess process;
    if (!environment.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& entry : environment) {
            env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
        }
        process.setProcessEnvironment(env);
    }
    process.start(program, arguments);
    process.write(typed);
    process.closeWriteChannel();
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

// Counts the times the machine stopped running this process for longer than kStall: a thread on
// each processor, at real-time priority where that is allowed, wakes every millisecond and notes
// a longer gap. A busy host can stop a virtual machine's processors for a tenth of a second. The
// simulated unit, on the same machine, then answers after the unit link's 100 ms answer wait,
// which a unit with a processor of its own never would.
class StallWatch {
public:
    static constexpr std::chrono::milliseconds kStall{25};

    StallWatch() {
        const unsigned processors = std::max(1U, std::thread::hardware_concurrency());
        for (unsigned cpu = 0; cpu < processors; ++cpu) {
            threads_.emplace_back([this, cpu] { watch(cpu); });
        }
    }
    ~StallWatch() {
        stop_ = true;
        for (std::thread& thread : threads_) {
            thread.join();
        }
    }
    StallWatch(const StallWatch&) = delete;
    StallWatch& operator=(const StallWatch&) = delete;

    int stalls() const { return stalls_; }

private:
    void watch(unsigned cpu) {
        cpu_set_t set;
        CPU_ZERO(&set);
        CPU_SET(cpu, &set);
        pthread_setaffinity_np(pthread_self(), sizeof set, &set);
        sched_param param{};
        param.sched_priority = 1;
        pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
        auto last = std::chrono::steady_clock::now();
        while (!stop_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            const auto now = std::chrono::steady_clock::now();
            if (now - last > kStall) {
                ++stalls_;
            }
            last = now;
        }
    }

    std::atomic<bool> stop_{false};
    std::atomic<int> stalls_{0};
    std::vector<std::thread> threads_;
};

// Runs a command that may safely be run again. When it ends with noAnswerExit while the machine
// stalled, the stall took the unit's answer past the wait, not the program: it is run again, three
// times at most. Any other outcome is returned as it came. What an attempt did before it found no
// answer stays done (a word it wrote is not written again); its output is kept in earlierOut.
inline ProgramRun runAgainAfterStall(const QString& program, const QStringList& arguments,
                                     int noAnswerExit, const QByteArray& typed = {}) {
    ProgramRun run;
    QString earlierOut;
    for (int attempt = 1; attempt <= 3; ++attempt) {
        StallWatch watch;
        run = runProgram(program, arguments, {}, typed);
        run.earlierOut = earlierOut;
        if (run.exitCode != noAnswerExit || watch.stalls() == 0) {
            break;
        }
        earlierOut += run.out;
        std::fprintf(stderr, "no answer while the machine stalled %d times: run %d again\n",
                     watch.stalls(), attempt);
    }
    return run;
}

}  // namespace tarquel::test
