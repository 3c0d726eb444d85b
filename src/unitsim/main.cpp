// tarquel-unitsim: the simulated sensor unit on a pseudo-terminal, on the real clock. See
// docs/unitsim.md.
#include "unitsim/PtyDriver.h"
#include "unitsim/SimConsole.h"
#include "unitsim/SimulatedUnit.h"

#include <poll.h>
#include <sched.h>
#include <unistd.h>
#include <QFile>
#include <QStringList>
#include <chrono>
#include <csignal>
#include <cstdio>

using namespace tarquel::unitsim;

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

void installSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: poll returns at once
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

// A unit answers within a byte time. On a busy machine an ordinary process may be woken tens of
// milliseconds late, past the PC's answer wait, and would read two bytes together, bunching their
// recorded times; a real-time priority (where the system allows it, as for root) keeps the
// simulated unit as prompt as the real one. The loop sleeps in poll() between bytes, so it never
// holds a processor.
void preferPromptWakeUps() {
    sched_param param{};
    param.sched_priority = 1;
    ::sched_setscheduler(0, SCHED_FIFO, &param);
}

void print(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Runs the unit until quit, a signal, or (with --exit-on-eof) the end of standard input.
class Runner {
public:
    Runner(SimulatedUnit& unit, PtyDriver& pty, const ProgramOptions& options)
        : unit_(unit),
          pty_(pty),
          console_(unit),
          options_(options),
          start_(std::chrono::steady_clock::now()) {}

    bool openRecord(QString& error) {
        if (options_.recordFile.isEmpty()) {
            return true;
        }
        record_.setFileName(options_.recordFile);
        if (!record_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            error = record_.errorString();
            return false;
        }
        return true;
    }

    void run() {
        bool stdinOpen = true;
        while (stopRequested == 0) {
            pollfd fds[2] = {{pty_.masterFd(), POLLIN, 0},
                             {stdinOpen ? STDIN_FILENO : -1, POLLIN, 0}};
            ::poll(fds, 2, 1);
            const qint64 now = nowMs();
            const int pcBaud = pty_.pcBaud();
            if ((fds[0].revents & POLLIN) != 0) {
                const QByteArray fromPc = pty_.readFromPc();
                if (!fromPc.isEmpty()) {
                    unit_.receive(fromPc, now, pcBaud);
                }
            }
            if (stdinOpen && (fds[1].revents & (POLLIN | POLLHUP)) != 0) {
                if (!readConsole()) {
                    stdinOpen = false;
                    if (options_.exitOnEof) {
                        break;
                    }
                }
                if (quit_) {
                    break;
                }
            }
            const QByteArray toPc = unit_.transmit(now, pcBaud);
            if (!toPc.isEmpty()) {
                pty_.writeToPc(toPc);
            }
            writeRecord();
        }
        writeRecord();
    }

private:
    qint64 nowMs() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start_)
            .count();
    }

    // False at the end of standard input.
    bool readConsole() {
        char buffer[512];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            return false;
        }
        pending_.append(buffer, n);
        for (qsizetype end = pending_.indexOf('\n'); end >= 0 && !quit_;
             end = pending_.indexOf('\n')) {
            const QString line = QString::fromLocal8Bit(pending_.left(end));
            pending_.remove(0, end + 1);
            const SimConsole::Reply reply = console_.execute(line);
            if (!reply.text.isEmpty()) {
                print(reply.text);
            }
            quit_ = reply.quit;
        }
        return true;
    }

    void writeRecord() {
        if (!record_.isOpen() || unit_.receivedBytes().empty()) {
            if (!record_.isOpen()) {
                unit_.clearReceivedBytes();
            }
            return;
        }
        for (const SimulatedUnit::ReceivedByte& r : unit_.receivedBytes()) {
            record_.write(QStringLiteral("%1 %2 %3\n")
                              .arg(r.timeMs)
                              .arg(r.byte, 2, 16, QLatin1Char('0'))
                              .arg(r.pcBaud)
                              .toUpper()
                              .toLatin1());
        }
        record_.flush();
        unit_.clearReceivedBytes();
    }

    SimulatedUnit& unit_;
    PtyDriver& pty_;
    SimConsole console_;
    const ProgramOptions& options_;
    std::chrono::steady_clock::time_point start_;
    QFile record_;
    QByteArray pending_;
    bool quit_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
    QString error;
    const std::optional<ProgramOptions> options = parseProgramOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "tarquel-unitsim: %s\n%s", error.toLocal8Bit().constData(),
                     "Try tarquel-unitsim --help.\n");
        return 2;
    }
    if (options->help) {
        std::fputs(programUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    installSignalHandlers();
    preferPromptWakeUps();

    SimulatedUnit unit(options->unit);
    PtyDriver pty;
    if (!pty.open(options->unit.baud, error) ||
        (!options->link.isEmpty() && !pty.makeLink(options->link, error))) {
        std::fprintf(stderr, "tarquel-unitsim: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    Runner runner(unit, pty, *options);
    if (!runner.openRecord(error)) {
        std::fprintf(stderr, "tarquel-unitsim: --record: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    print(QStringLiteral("tarquel-unitsim: ") + pty.slavePath());
    runner.run();
    return 0;
}
