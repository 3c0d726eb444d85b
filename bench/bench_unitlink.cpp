// The unit link's operations against the simulated unit on a pseudo-terminal, through the real
// serial port and clock: each operation's time beside its floor (its mandated pauses plus its
// bytes on the wire at 10 bits a byte) and the ratio, and the CPU share while it waits.
//   build-release/bench/bench_unitlink [ROUNDS]
#include "BenchUnit.h"

#include <sys/resource.h>
#include <QCoreApplication>
#include <QProcess>
#include <chrono>
#include <cstdio>
#include <functional>

namespace {

using Clock = std::chrono::steady_clock;

double cpuMs() {
    rusage self{};
    getrusage(RUSAGE_SELF, &self);
    return (self.ru_utime.tv_sec + self.ru_stime.tv_sec) * 1000.0 +
           (self.ru_utime.tv_usec + self.ru_stime.tv_usec) / 1000.0;
}

struct Run {
    double ms = 0;
    double cpuShare = 0;  // percent of a core
};

Run timed(int rounds, const std::function<void()>& operation) {
    const double cpu = cpuMs();
    const auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        operation();
    }
    const double total = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return {total / rounds, 100.0 * (cpuMs() - cpu) / total};
}

double wireMs(int bytes, int baud) {
    return bytes * 10.0 * 1000.0 / baud;
}

void row(const char* name, int baud, const Run& run, double floor) {
    std::printf("%-34s %6d %10.2f %10.2f %7.3f %8s %9.2f\n", name, baud, run.ms, floor,
                run.ms / floor, "1.10", run.cpuShare);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    std::printf("%-34s %6s %10s %10s %7s %8s %9s\n", "Operation", "baud", "ms", "floor", "ratio",
                "goal", "% of core");
    for (const int baud : {9600, 38400}) {
        tarquel::bench::BenchUnit unit;
        if (!unit.start({}, baud) || !unit.link().fWriteAccess()) {
            return 1;
        }
        tarquel::UnitLink& link = unit.link();
        const double readFloor = 20 + wireMs(3 + 2, baud);
        row("read word", baud, timed(rounds, [&] { link.fReadFromUnit(QStringLiteral("B608")); }),
            readFloor);
        row("verified write", baud,
            timed(rounds,
                  [&] { link.fWriteToUnit(QStringLiteral("B6F0"), QStringLiteral("1234")); }),
            wireMs(5, baud) + 50 + readFloor + 50);
        row("B600 map read (128 words)", baud,
            timed(std::max(1, rounds / 10),
                  [&] {
                      for (int address = 0xB600; address < 0xB700; address += 2) {
                          link.fReadFromUnit(QString::number(address, 16).toUpper());
                      }
                  }),
            128 * readFloor);
        row("command text (11 characters)", baud,
            timed(std::max(1, rounds / 5),
                  [&] { link.SendCommandText(QStringLiteral(">3C07000000")); }),
            11 * 50.0);
        row("checksum command and its wait", baud, timed(1, [&] { link.RecalculateChecksum(); }),
            50 + 12000.0);
        unit.stop();
    }
    std::printf("Goals: every ratio at most 1.10; at most 2 %% of a core while waiting.\n");
    return 0;
}
