// tarquel-cli against the standalone simulated unit on a pseudo-terminal: real ports, real time,
// and the unit's own record of the bytes it received.
#include "UnitSimProcess.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <functional>

namespace tarquel {
namespace {

using test::ProgramRun;
using test::UnitSimProcess;

// Every command these tests run may be run again (3: no answer from the unit).
ProgramRun cli(const QString& device, const QStringList& arguments) {
    return test::runAgainAfterStall(QStringLiteral(TARQUEL_CLI_BIN),
                                    QStringList{QStringLiteral("--device"), device} + arguments, 3);
}

struct Received {
    qint64 ms;
    int byte;
};

// One write as the program's trace shows it: when it began and ended, and its bytes.
struct Written {
    qint64 begunUs;
    qint64 endedUs;
    QByteArray bytes;
};

std::vector<Written> readWrites(const QString& path) {
    std::vector<Written> writes;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return writes;
    }
    while (!file.atEnd()) {
        const QList<QByteArray> parts = file.readLine().trimmed().split(' ');
        if (parts.size() >= 4 && parts[0] == "W") {
            writes.push_back({parts[1].toLongLong(), parts[2].toLongLong(),
                              QByteArray::fromHex(parts.mid(3).join())});
        }
    }
    return writes;
}

std::vector<Received> readRecord(const QString& path) {
    std::vector<Received> bytes;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return bytes;
    }
    while (!file.atEnd()) {
        const QStringList parts =
            QString::fromLatin1(file.readLine()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() >= 2) {
            bytes.push_back({parts[0].toLongLong(), parts[1].toInt(nullptr, 16)});
        }
    }
    return bytes;
}

TEST(CliEndToEnd, IdentifiesBothFamilies) {
    UnitSimProcess b600({QStringLiteral("--family"), QStringLiteral("b600"),
                         QStringLiteral("--model"), QStringLiteral("CV-3100")});
    const ProgramRun first = cli(b600.device(), {QStringLiteral("identify")});
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_TRUE(first.out.startsWith(QStringLiteral("Family: B600\n"))) << first.out.toStdString();
    EXPECT_TRUE(first.out.contains(QStringLiteral("CV-3100 Version"))) << first.out.toStdString();
    EXPECT_TRUE(first.out.contains(QStringLiteral("Corvane Industries"), Qt::CaseInsensitive));

    UnitSimProcess f1600({QStringLiteral("--family"), QStringLiteral("1600")});
    const ProgramRun second = cli(f1600.device(), {QStringLiteral("identify")});
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_TRUE(second.out.startsWith(QStringLiteral("Family: 1600\n")))
        << second.out.toStdString();
    EXPECT_TRUE(second.out.contains(QStringLiteral("Rev "))) << second.out.toStdString();
}

TEST(CliEndToEnd, ReadWriteAndChecksumWithTheExactBytesAndPacing) {
    QTemporaryDir dir;
    const QString record = dir.filePath(QStringLiteral("received.txt"));
    const QString trace = dir.filePath(QStringLiteral("trace.txt"));
    UnitSimProcess unit({QStringLiteral("--record"), record, QStringLiteral("--no-stream")});

    const ProgramRun write =
        cli(unit.device(), {QStringLiteral("--trace"), trace, QStringLiteral("write"),
                            QStringLiteral("B608"), QStringLiteral("1414")});
    EXPECT_EQ(write.exitCode, 0) << write.err.toStdString();
    EXPECT_EQ(write.out, QStringLiteral("B608 = 1414 (verified)\n"));
    EXPECT_EQ(unit.command(QStringLiteral("word B608")), QStringLiteral("B608 1414"));

    const ProgramRun read = cli(unit.device(), {QStringLiteral("read"), QStringLiteral("b608")});
    EXPECT_EQ(read.exitCode, 0);
    EXPECT_EQ(read.out, QStringLiteral("B608 = 1414\n"));

    const ProgramRun checksum = cli(unit.device(), {QStringLiteral("checksum")});
    EXPECT_EQ(checksum.exitCode, 0) << checksum.err.toStdString();
    EXPECT_TRUE(checksum.out.startsWith(QStringLiteral("Checksum = ")))
        << checksum.out.toStdString();
    EXPECT_EQ(checksum.out.trimmed().size(), QStringLiteral("Checksum = 5C").size());

    // The unit's record: the write, then the verifying read: 7D and the address. The access word
    // is written first (7B 00 0C ...); the word itself follows.
    const std::vector<Received> bytes = readRecord(record);
    auto it = bytes.begin();
    while (it != bytes.end() && !(it->byte == 0x7B && bytes.end() - it > 2 && it[1].byte == 0xB6 &&
                                  it[2].byte == 0x08)) {
        ++it;
    }
    ASSERT_NE(it, bytes.end());
    ASSERT_GE(bytes.end() - it, 8);
    const int written[] = {0x7B, 0xB6, 0x08, 0x14, 0x14, 0x7D, 0xB6, 0x08};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(it[i].byte, written[i]) << "byte " << i;
    }

    // The pacing, from the program's trace: a pseudo-terminal passes bytes on through a kernel
    // worker that a busy machine may run late, which bunches the unit's arrival times, but a write
    // cannot begin before the pause after the previous one has passed.
    const std::vector<Written> writes = readWrites(trace);
    auto w = std::find_if(writes.begin(), writes.end(), [](const Written& x) {
        return x.bytes == QByteArray::fromHex("7BB6081414");
    });
    ASSERT_NE(w, writes.end()) << "the word is written in one piece";
    ASSERT_GE(writes.end() - w, 3);
    EXPECT_EQ(w[1].bytes, QByteArray::fromHex("7D"));
    EXPECT_EQ(w[2].bytes, QByteArray::fromHex("B608"));
    EXPECT_GE(w[1].begunUs - w[0].endedUs, 50'000) << "50 ms after a write before the verify";
    EXPECT_GE(w[2].begunUs - w[1].endedUs, 20'000) << "20 ms between the read command and address";
}

TEST(CliEndToEnd, CommandTextGoesOutOneCharacterEveryFiftyMilliseconds) {
    QTemporaryDir dir;
    const QString record = dir.filePath(QStringLiteral("received.txt"));
    const QString trace = dir.filePath(QStringLiteral("trace.txt"));
    UnitSimProcess unit({QStringLiteral("--record"), record});
    const ProgramRun run = cli(
        unit.device(),
        {QStringLiteral("--trace"), trace, QStringLiteral("set-channels"), QStringLiteral("pend")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(unit.command(QStringLiteral("status")).contains(QStringLiteral("2007C00000")), true);

    // Address bytes of the identification reads may also be 3E; the command is the run ">2".
    const QByteArray text(">2007C00000");
    const std::vector<Received> bytes = readRecord(record);
    auto it = bytes.begin();
    while (it != bytes.end() && !(it->byte == '>' && bytes.end() - it >= 11 && it[1].byte == '2')) {
        ++it;
    }
    ASSERT_NE(it, bytes.end());
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(it[i].byte, text[i]);
    }

    // One character a write, each at least 50 ms after the previous one.
    const std::vector<Written> writes = readWrites(trace);
    auto w = writes.begin();
    while (w != writes.end() && !(w->bytes == ">" && writes.end() - w >= 11 && w[1].bytes == "2")) {
        ++w;
    }
    ASSERT_NE(w, writes.end());
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(w[i].bytes, text.mid(i, 1)) << "character " << i;
        if (i > 0) {
            EXPECT_GE(w[i].begunUs - w[i - 1].endedUs, 50'000) << "character " << i;
        }
    }
}

TEST(CliEndToEnd, FailuresGiveClearMessagesAndExitCodes) {
    UnitSimProcess silent(
        {QStringLiteral("--fault"), QStringLiteral("no-answer"), QStringLiteral("--no-stream")});
    const ProgramRun noAnswer =
        cli(silent.device(), {QStringLiteral("read"), QStringLiteral("B608")});
    EXPECT_EQ(noAnswer.exitCode, 3);
    EXPECT_TRUE(noAnswer.err.contains(QStringLiteral("no answer"))) << noAnswer.err.toStdString();

    UnitSimProcess refusing({QStringLiteral("--fault"), QStringLiteral("refuse-writes"),
                             QStringLiteral("--no-stream")});
    const ProgramRun refused =
        cli(refusing.device(),
            {QStringLiteral("write"), QStringLiteral("B608"), QStringLiteral("0808")});
    EXPECT_EQ(refused.exitCode, 4);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("did not verify")))
        << refused.err.toStdString();

    const ProgramRun missing =
        cli(QStringLiteral("/nonexistent/tty"), {QStringLiteral("identify")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("cannot open"))) << missing.err.toStdString();

    const ProgramRun bad = cli(silent.device(), {QStringLiteral("read"), QStringLiteral("B6")});
    EXPECT_EQ(bad.exitCode, 2);
}

// The operator's side of tarquel-cli calibrate: its standard output line by line, lines typed to
// its standard input.
class InteractiveCli {
public:
    InteractiveCli(const QString& device, const QStringList& arguments) {
        process_.setProgram(QStringLiteral(TARQUEL_CLI_BIN));
        process_.setArguments(QStringList{QStringLiteral("--device"), device} + arguments);
        process_.start();
        process_.waitForStarted(5000);
    }
    ~InteractiveCli() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(3000);
        }
    }
    // Reads output lines until one satisfies found; false after maxMs without one.
    bool waitForLine(const std::function<bool(const QString&)>& found, int maxMs) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < maxMs) {
            while (process_.canReadLine()) {
                const QString line = QString::fromLocal8Bit(process_.readLine()).trimmed();
                output_ += line + QLatin1Char('\n');
                if (found(line)) {
                    return true;
                }
            }
            if (process_.state() == QProcess::NotRunning) {
                return false;
            }
            process_.waitForReadyRead(200);
        }
        return false;
    }
    void type(const QByteArray& line) {
        process_.write(line + '\n');
        process_.waitForBytesWritten(2000);
    }
    int finish(int maxMs) {
        if (!process_.waitForFinished(maxMs)) {
            return -1;
        }
        output_ += QString::fromLocal8Bit(process_.readAllStandardOutput());
        return process_.exitCode();
    }
    const QString& output() const { return output_; }

private:
    QProcess process_;
    QString output_;
};

TEST(CliEndToEnd, CalibrateTurnsFourTimesAndRemovesTheHeadingError) {
    UnitSimProcess unit({QStringLiteral("--baud"), QStringLiteral("38400"),
                         QStringLiteral("--fastest"), QStringLiteral("--noise"),
                         QStringLiteral("0"), QStringLiteral("--hard-iron"), QStringLiteral("30"),
                         QStringLiteral("-20"), QStringLiteral("0"), QStringLiteral("--scale"),
                         QStringLiteral("1.08"), QStringLiteral("0.93")});
    const auto worstError = [&unit] {
        double worst = 0;
        for (int heading = 0; heading < 360; heading += 45) {
            unit.command(QStringLiteral("heading %1").arg(heading));
            const QString status = unit.command(QStringLiteral("status"));
            const QString error = status.section(QStringLiteral("heading error: "), 1)
                                      .section(QLatin1Char('\n'), 0, 0);
            worst = std::max(worst, std::abs(error.toDouble()));
        }
        return worst;
    };
    EXPECT_GT(worstError(), 4.0);
    unit.command(QStringLiteral("heading 0"));

    InteractiveCli cli(unit.device(), {QStringLiteral("--baud"), QStringLiteral("38400"),
                                       QStringLiteral("--yes"), QStringLiteral("calibrate")});
    ASSERT_TRUE(cli.waitForLine([](const QString& l) { return l.startsWith("Test begun"); }, 30000))
        << cli.output().toStdString();
    const char* const directions[4] = {"0", "90", "180", "270"};
    for (int i = 0; i < 4; ++i) {
        unit.command(QStringLiteral("heading %1").arg(i * 90));
        // Settled: two status lines in a row show the same heading.
        QString previous;
        ASSERT_TRUE(cli.waitForLine(
            [&previous](const QString& line) {
                if (!line.startsWith(QLatin1String("Heading "))) {
                    return false;
                }
                const QString heading = line.section(QLatin1Char(','), 0, 0);
                const bool settled = heading == previous;
                previous = heading;
                return settled;
            },
            60000))
            << cli.output().toStdString();
        cli.type("");
        ASSERT_TRUE(cli.waitForLine(
            [i, &directions](const QString& line) {
                return line.startsWith(
                    QStringLiteral("Stored %1:").arg(QLatin1String(directions[i])));
            },
            10000))
            << cli.output().toStdString();
    }
    EXPECT_EQ(cli.finish(60000), 0) << cli.output().toStdString();
    EXPECT_TRUE(cli.output().contains(QStringLiteral("Cal recommended")));
    const QString status = unit.command(QStringLiteral("status"));
    EXPECT_TRUE(status.contains(QStringLiteral("checksum valid: yes"))) << status.toStdString();
    EXPECT_EQ(unit.command(QStringLiteral("word B608")), QStringLiteral("B608 0A0A"));
    EXPECT_LT(worstError(), 0.5);
}

}  // namespace
}  // namespace tarquel
