// tarquel-cli north-align, clear-north and clear-cal against the standalone simulated unit on a
// pseudo-terminal, in real time (each removal waits the unit's 12 s checksum recalculation).
#include "UnitSimProcess.h"

#include <gtest/gtest.h>
#include <cmath>

namespace tarquel {
namespace {

using test::ProgramRun;
using test::UnitSimProcess;

// One run of tarquel-cli with typed standard input (then end of input).
ProgramRun cli(const QString& device, const QStringList& arguments, const QByteArray& typed = {}) {
    QProcess process;
    process.start(QStringLiteral(TARQUEL_CLI_BIN),
                  QStringList{QStringLiteral("--device"), device} + arguments);
    process.write(typed);
    process.closeWriteChannel();
    ProgramRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "tarquel-cli did not finish";
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QString statusField(UnitSimProcess& unit, const QString& name) {
    return unit.command(QStringLiteral("status"))
        .section(name + QStringLiteral(": "), 1)
        .section(QLatin1Char('\n'), 0, 0);
}

double headingOff(UnitSimProcess& unit, double heading) {
    const double d = std::fmod(
        std::abs(statusField(unit, QStringLiteral("unit heading")).toDouble() - heading), 360.0);
    return std::min(d, 360.0 - d);
}

TEST(MaintenanceEndToEnd, AlignThenRemoveTheRotationAndTheCalibration) {
    UnitSimProcess unit({QStringLiteral("--heading"), QStringLiteral("123.4"),
                         QStringLiteral("--noise"), QStringLiteral("0")});
    ASSERT_FALSE(unit.device().isEmpty());

    const ProgramRun align = cli(unit.device(), {QStringLiteral("north-align")}, "y\n");
    ASSERT_EQ(align.exitCode, 0) << align.err.toStdString();
    EXPECT_TRUE(align.out.contains(QStringLiteral("Write to North Alignment to EEPROM?\n")));
    EXPECT_TRUE(align.out.contains(QStringLiteral("[y/N] "))) << align.out.toStdString();
    EXPECT_TRUE(align.out.contains(QStringLiteral("(verified)"))) << align.out.toStdString();
    EXPECT_LT(headingOff(unit, 0), 0.2);
    EXPECT_TRUE(align.out.endsWith(QStringLiteral("Checksum recalculated.\n")));
    EXPECT_EQ(statusField(unit, QStringLiteral("checksum valid")), QStringLiteral("yes"));

    const ProgramRun north =
        cli(unit.device(), {QStringLiteral("--yes"), QStringLiteral("clear-north")});
    ASSERT_EQ(north.exitCode, 0) << north.err.toStdString();
    EXPECT_TRUE(north.err.contains(QStringLiteral("Recalculating Checksum")));
    EXPECT_LT(headingOff(unit, 123.4), 0.2);
    EXPECT_EQ(statusField(unit, QStringLiteral("checksum valid")), QStringLiteral("yes"));

    ASSERT_EQ(cli(unit.device(), {QStringLiteral("--yes"), QStringLiteral("north-align")}).exitCode,
              0);
    const ProgramRun cal =
        cli(unit.device(), {QStringLiteral("--yes"), QStringLiteral("clear-cal")});
    ASSERT_EQ(cal.exitCode, 0) << cal.err.toStdString();
    EXPECT_TRUE(cal.out.endsWith(QStringLiteral("Removed; checksum recalculated.\n")))
        << cal.out.toStdString();
    for (const char* word : {"B68C", "B69C", "B6AC", "B68E", "B69E", "B6AE", "B68A"}) {
        EXPECT_EQ(unit.command(QStringLiteral("word ") + QLatin1String(word)),
                  QLatin1String(word) + QStringLiteral(" 0000"));
    }
    EXPECT_EQ(statusField(unit, QStringLiteral("checksum valid")), QStringLiteral("yes"));
    EXPECT_EQ(cli(unit.device(), {QStringLiteral("clear-cal")}).out.right(19),
              QStringLiteral("Nothing to remove.\n"));
}

}  // namespace
}  // namespace tarquel
