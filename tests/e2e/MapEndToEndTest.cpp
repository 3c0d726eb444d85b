// tarquel-cli map save, map compare and map revert against the standalone simulated unit on a
// pseudo-terminal, in real time (the revert waits the unit's 12 s checksum recalculation).
#include "UnitSimProcess.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <string>

namespace tarquel {
namespace {

using test::ProgramRun;
using test::UnitSimProcess;

// The last lines of a file, for a failure message.
std::string tailOf(const QString& path, int lines) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return "(no " + path.toStdString() + ")";
    }
    const QList<QByteArray> all = file.readAll().split('\n');
    return all.mid(std::max<qsizetype>(0, all.size() - lines)).join('\n').toStdString();
}

// Runs tarquel-cli, each run with a trace file of its own, so that a failed run can be reported
// with what went over the line, as the program saw it and as the unit recorded it.
class Cli {
public:
    Cli(QString device, QString dir) : device_(std::move(device)), dir_(std::move(dir)) {}

    ProgramRun operator()(const QStringList& arguments) {
        trace_ = dir_ + QStringLiteral("/trace%1.txt").arg(++runs_);
        // Saving, comparing and reverting may be run again (3: no answer from the unit).
        return test::runAgainAfterStall(
            QStringLiteral(TARQUEL_CLI_BIN),
            QStringList{QStringLiteral("--device"), device_, QStringLiteral("--trace"), trace_} +
                arguments,
            3);
    }

    // The end of the last run's trace and of the unit's record.
    std::string lastExchange() const {
        return "trace:\n" + tailOf(trace_, 20) + "\nunit's record (ms, byte, PC's baud):\n" +
               tailOf(dir_ + QStringLiteral("/received.txt"), 20);
    }

private:
    QString device_;
    QString dir_;
    QString trace_;
    int runs_ = 0;
};

TEST(MapEndToEnd, SaveCompareAnEditedFileThenRevertTheUnitToIt) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("unit.txt"));
    UnitSimProcess unit(
        {QStringLiteral("--no-stream"), QStringLiteral("--record"), dir.filePath("received.txt")});
    ASSERT_FALSE(unit.device().isEmpty());
    Cli cli(unit.device(), dir.path());

    const ProgramRun save = cli({"map", "save", file});
    ASSERT_EQ(save.exitCode, 0) << save.err.toStdString() << cli.lastExchange();
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    QByteArray text = saved.readAll();
    saved.close();
    EXPECT_TRUE(text.endsWith("\r\nChecksum = " + text.right(4).left(2) + "\r\n"));
    EXPECT_TRUE(save.err.contains(QStringLiteral("100 %"))) << save.err.toStdString();

    const ProgramRun same = cli({"map", "compare", file});
    EXPECT_EQ(same.exitCode, 0) << same.out.toStdString() << same.err.toStdString()
                                << cli.lastExchange();
    EXPECT_EQ(same.out, QStringLiteral("Maps match: 128 words equal.\n"));

    const QByteArray row = "B6A0 - FF FF FF FF  FF FF";
    ASSERT_TRUE(text.contains(row));
    ASSERT_TRUE(saved.open(QIODevice::WriteOnly | QIODevice::Truncate));
    saved.write(text.replace(row, "B6A0 - FF FF FF FF  FF 5A"));
    saved.close();
    const ProgramRun differ = cli({"map", "compare", file});
    EXPECT_EQ(differ.exitCode, 7) << cli.lastExchange();
    EXPECT_EQ(differ.out, QStringLiteral("B6A4 FF5A FFFF\n"
                                         "Maps do not match exactly: 1 of 128 words differ.\n"));

    const ProgramRun revert = cli({"--yes", "map", "revert", file});
    EXPECT_EQ(revert.exitCode, 0) << revert.err.toStdString() << cli.lastExchange();
    // Once in all attempts: a revert run again after a stall writes only what still differs.
    EXPECT_TRUE(
        (revert.earlierOut + revert.out).contains(QStringLiteral("Revert to saved map?\n")));
    EXPECT_EQ(
        (revert.earlierOut + revert.out).count(QStringLiteral("wrote B6A4 FF5A (was FFFF)\n")), 1);
    EXPECT_TRUE(revert.out.endsWith(QStringLiteral("Maps match: 128 words equal.\n")))
        << revert.out.toStdString();
    EXPECT_EQ(unit.command(QStringLiteral("word B6A4")), QStringLiteral("B6A4 FF5A"));
    const QString status = unit.command(QStringLiteral("status"));
    EXPECT_TRUE(status.contains(QStringLiteral("checksum valid: yes"))) << status.toStdString();
}

}  // namespace
}  // namespace tarquel
