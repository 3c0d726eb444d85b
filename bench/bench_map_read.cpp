// A whole EEPROM map read of each family against the simulated unit on a pseudo-terminal, through
// the real serial port and clock: the time beside its floor (each word read's 20 ms pause plus
// its 5 bytes on the wire at 10 bits a byte) and the ratio, with how often the progress window's
// percentage moved.
//   build-release/bench/bench_map_read [ROUNDS]
#include "BenchUnit.h"
#include "maptool/MapReader.h"

#include <QCoreApplication>
#include <QProcess>
#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

using Steady = std::chrono::steady_clock;

double msSince(Steady::time_point start) {
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

// Counts the percentage updates and the longest time without one.
class TimingProgress : public tarquel::ProgressWindow {
public:
    void OpenProcessWindow(const QString&) override {}
    void ChangeProcessText(const QString&) override {}
    void CloseProcessWindow() override {}
    bool processWindowVisible() const override { return true; }
    void setProcessProgress(int, int total) override {
        if (total <= 0) {
            return;
        }
        const auto now = Steady::now();
        if (updates_ > 0) {
            longestGapMs_ = std::max(
                longestGapMs_, std::chrono::duration<double, std::milli>(now - last_).count());
        }
        last_ = now;
        ++updates_;
    }
    int updates() const { return updates_; }
    double longestGapMs() const { return longestGapMs_; }

private:
    Steady::time_point last_;
    int updates_ = 0;
    double longestGapMs_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::printf("%-6s %6s %6s %10s %10s %7s %6s %9s %12s\n", "family", "baud", "words", "ms",
                "floor", "ratio", "goal", "updates", "longest gap");
    for (const char* family : {"b600", "1600"}) {
        for (const int baud : {9600, 38400}) {
            tarquel::bench::BenchUnit unit;
            if (!unit.start({QStringLiteral("--family"), QLatin1String(family)}, baud)) {
                return 1;
            }
            const int words = (unit.access().unitMap().lastPage + 1) * tarquel::kWordsPerPage;
            const double floor = words * (20 + 5 * 10 * 1000.0 / baud);
            double best = 0;
            TimingProgress progress;
            for (int round = 0; round < rounds; ++round) {
                tarquel::EEPROMMap map;
                bool isB600Family = false;
                const auto start = Steady::now();
                if (!tarquel::ReadEEPROMMap(unit.access(), unit.port(), &progress, map,
                                            isB600Family)) {
                    std::fprintf(stderr, "the map read failed\n");
                    return 1;
                }
                const double ms = msSince(start);
                best = round == 0 ? ms : std::min(best, ms);
            }
            std::printf("%-6s %6d %6d %10.1f %10.1f %7.3f %6s %9d %9.1f ms\n", family, baud, words,
                        best, floor, best / floor, "1.10", progress.updates() / rounds,
                        progress.longestGapMs());
            unit.stop();
        }
    }
    std::printf("Goal: every ratio at most 1.10, the percentage moving with every word read.\n");
    return 0;
}
