// What the backup before the first change adds to Begin Test: the unit's whole map and its
// checksum byte read (Begin Test has just identified it), and the map file stored. Against the
// simulated unit on a pseudo-terminal through the real serial port and clock, beside the floor of
// its word reads (the map's words and the checksum word, each 20 ms + 5 bytes at 10 bits a byte).
//   build-release/bench/bench_backup [ROUNDS]
#include "BenchUnit.h"
#include "maptool/EEPROMMap.h"
#include "records/UnitRecords.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

using Steady = std::chrono::steady_clock;

class NoProgress : public tarquel::ProgressWindow {
public:
    void OpenProcessWindow(const QString&) override {}
    void ChangeProcessText(const QString&) override {}
    void CloseProcessWindow() override {}
    bool processWindowVisible() const override { return true; }
    void setProcessProgress(int, int) override {}
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::printf("%-6s %6s %6s %10s %10s %7s\n", "family", "baud", "reads", "ms", "floor", "ratio");
    for (const char* family : {"b600", "1600"}) {
        for (const int baud : {9600, 38400}) {
            tarquel::bench::BenchUnit unit;
            if (!unit.start({QStringLiteral("--family"), QLatin1String(family)}, baud)) {
                return 1;
            }
            const int reads = (unit.access().unitMap().lastPage + 1) * tarquel::kWordsPerPage + 1;
            const double floor = reads * (20 + 5 * 10 * 1000.0 / baud);
            double best = 0;
            for (int round = 0; round < rounds; ++round) {
                QTemporaryDir folder;
                tarquel::ConsoleMessageBoxes boxes;
                NoProgress progress;
                // A new run each round: the first change of a run is the one backed up.
                tarquel::UnitRecords records(
                    unit.link(), boxes, progress,
                    {folder.path(), tarquel::BackupFailure::Stop, QStringLiteral("bench")});
                const auto start = Steady::now();
                if (!records.beforeChange(QStringLiteral("begin-test"), QString())) {
                    std::fprintf(stderr, "the backup failed: %s\n", qPrintable(records.refusal()));
                    return 1;
                }
                const double ms =
                    std::chrono::duration<double, std::milli>(Steady::now() - start).count();
                best = round == 0 ? ms : std::min(best, ms);
            }
            std::printf("%-6s %6d %6d %10.1f %10.1f %7.3f\n", family, baud, reads, best, floor,
                        best / floor);
            unit.stop();
        }
    }
    std::printf("Goal: every ratio at most 1.10.\n");
    return 0;
}
