// tarquel-cli against the standalone simulated unit on a pseudo-terminal: the real port, the real
// clock, standard input and the exit codes, seams that only a real process shows.
#include "UnitSimProcess.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>

namespace tarquel {
namespace {

using test::ProgramRun;
using test::UnitSimProcess;

// Every command these tests run may be run again (3: no answer from the unit).
ProgramRun cli(const QString& device, const QStringList& arguments, const QByteArray& typed = {}) {
    return test::runAgainAfterStall(QStringLiteral(TARQUEL_CLI_BIN),
                                    QStringList{QStringLiteral("--device"), device} + arguments, 3,
                                    typed);
}

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

TEST(CliEndToEnd, IdentifyWriteReadAndChecksumWithTheExactBytesAndPacing) {
    QTemporaryDir dir;
    const QString trace = dir.filePath(QStringLiteral("trace.txt"));
    UnitSimProcess unit({QStringLiteral("--no-stream")});

    const ProgramRun identify = cli(unit.device(), {QStringLiteral("identify")});
    EXPECT_EQ(identify.exitCode, 0) << identify.err.toStdString();
    EXPECT_EQ(identify.out, QStringLiteral("Family: B600\nCV-3100 Version 4.20 \nCopyright (C) "
                                           "2004-09\nCorvane Industries Inc.\nAll Rights "
                                           "Reserved\n"));

    const ProgramRun write =
        cli(unit.device(), {QStringLiteral("--trace"), trace, QStringLiteral("write"),
                            QStringLiteral("B608"), QStringLiteral("1414")});
    EXPECT_EQ(write.exitCode, 0) << write.err.toStdString();
    EXPECT_EQ(write.out, QStringLiteral("B608 = 1414 (verified)\n"));
    EXPECT_EQ(unit.command(QStringLiteral("word B608")), QStringLiteral("B608 1414"));
    const ProgramRun read = cli(unit.device(), {QStringLiteral("read"), QStringLiteral("b608")});
    EXPECT_EQ(read.out, QStringLiteral("B608 = 1414\n"));
    const ProgramRun checksum = cli(unit.device(), {QStringLiteral("checksum")});
    EXPECT_EQ(checksum.out, QStringLiteral("Checksum = ") +
                                unit.command(QStringLiteral("word B7FF")).mid(5, 2) +
                                QStringLiteral("\n"));

    // The bytes and the pacing, from the program's trace: a write cannot begin before the pause
    // after the previous one has passed (the unit's own arrival times may be bunched by a busy
    // machine's kernel).
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

TEST(CliEndToEnd, AnAnswerTypedOnStandardInputIsTaken) {
    UnitSimProcess unit({QStringLiteral("--heading"), QStringLiteral("90"),
                         QStringLiteral("--noise"), QStringLiteral("0")});
    const ProgramRun run = cli(unit.device(), {QStringLiteral("north-align")}, "n\n");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(
        run.out.startsWith(QStringLiteral("Calc Heading: 090.0 dg\nWrite to North "
                                          "Alignment to EEPROM?\n")))
        << run.out.toStdString();
    EXPECT_TRUE(
        run.out.endsWith(QStringLiteral("Hex Correction to Add:  4000\n\nDo you want to "
                                        "add this correction to the EEPROM?\n[y/N] "
                                        "Nothing written.\n")))
        << run.out.toStdString();
    EXPECT_EQ(unit.command(QStringLiteral("word B68A")), QStringLiteral("B68A 0000"));
}

TEST(CliEndToEnd, FailuresGiveTheirMessagesAndExitCodes) {
    UnitSimProcess silent(
        {QStringLiteral("--fault"), QStringLiteral("no-answer"), QStringLiteral("--no-stream")});
    const ProgramRun noAnswer =
        cli(silent.device(), {QStringLiteral("read"), QStringLiteral("B608")});
    EXPECT_EQ(noAnswer.exitCode, 3);
    EXPECT_TRUE(
        noAnswer.err.endsWith(QStringLiteral("tarquel-cli: no answer to the read of B608\n")))
        << noAnswer.err.toStdString();

    const ProgramRun missing =
        cli(QStringLiteral("/nonexistent/tty"), {QStringLiteral("identify")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(
        missing.err.startsWith(QStringLiteral("tarquel-cli: cannot open /nonexistent/tty: ")))
        << missing.err.toStdString();

    const ProgramRun bad = cli(silent.device(), {QStringLiteral("read"), QStringLiteral("B6")});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.startsWith(QStringLiteral(
        "tarquel-cli: addresses and values are four hex digits, not B6\n\nUsage: tarquel-cli ")))
        << bad.err.toStdString();
}

TEST(CliEndToEnd, MonitorWritesCsvAndJsonLinesThatParse) {
    UnitSimProcess unit({});
    const ProgramRun csv = cli(
        unit.device(), {QStringLiteral("monitor"), QStringLiteral("--seconds"), QStringLiteral("2"),
                        QStringLiteral("--format"), QStringLiteral("csv")});
    ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    const QStringList rows = csv.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(rows.size(), 10);
    EXPECT_TRUE(rows[0].startsWith(QStringLiteral("time,Hx,Hy,V,")));
    for (const QString& row : rows.mid(1)) {
        const QStringList fields = row.split(QLatin1Char(','));
        ASSERT_EQ(fields.size(), 10) << row.toStdString();
        for (const QString& field : fields) {
            bool number = false;
            field.toDouble(&number);
            EXPECT_TRUE(number) << row.toStdString();
        }
    }
    const ProgramRun jsonl = cli(
        unit.device(), {QStringLiteral("monitor"), QStringLiteral("--seconds"), QStringLiteral("2"),
                        QStringLiteral("--format"), QStringLiteral("jsonl")});
    ASSERT_EQ(jsonl.exitCode, 0) << jsonl.err.toStdString();
    const QStringList lines = jsonl.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 10);
    for (const QString& line : lines) {
        const QJsonObject frame = QJsonDocument::fromJson(line.toUtf8()).object();
        EXPECT_TRUE(frame.contains(QStringLiteral("calcHeading"))) << line.toStdString();
        EXPECT_GT(frame[QStringLiteral("frames")].toInt(), 0);
    }
}

}  // namespace
}  // namespace tarquel
