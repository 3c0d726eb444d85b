// tarquel-cli map save, map compare and map revert against the standalone simulated unit on a
// pseudo-terminal, in real time (the revert waits the unit's 12 s checksum recalculation).
#include "UnitSimProcess.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

namespace tarquel {
namespace {

using test::ProgramRun;
using test::UnitSimProcess;

ProgramRun cli(const QString& device, const QStringList& arguments) {
    return test::runProgram(QStringLiteral(TARQUEL_CLI_BIN),
                            QStringList{QStringLiteral("--device"), device} + arguments);
}

TEST(MapEndToEnd, SaveCompareAnEditedFileThenRevertTheUnitToIt) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("unit.txt"));
    UnitSimProcess unit({QStringLiteral("--no-stream")});
    ASSERT_FALSE(unit.device().isEmpty());

    const ProgramRun save = cli(unit.device(), {"map", "save", file});
    ASSERT_EQ(save.exitCode, 0) << save.err.toStdString();
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    QByteArray text = saved.readAll();
    saved.close();
    EXPECT_TRUE(text.endsWith("\r\nChecksum = " + text.right(4).left(2) + "\r\n"));
    EXPECT_TRUE(save.err.contains(QStringLiteral("100 %"))) << save.err.toStdString();

    const ProgramRun same = cli(unit.device(), {"map", "compare", file});
    EXPECT_EQ(same.exitCode, 0) << same.out.toStdString() << same.err.toStdString();
    EXPECT_EQ(same.out, QStringLiteral("Maps match: 128 words equal.\n"));

    const QByteArray row = "B6A0 - FF FF FF FF  FF FF";
    ASSERT_TRUE(text.contains(row));
    ASSERT_TRUE(saved.open(QIODevice::WriteOnly | QIODevice::Truncate));
    saved.write(text.replace(row, "B6A0 - FF FF FF FF  FF 5A"));
    saved.close();
    const ProgramRun differ = cli(unit.device(), {"map", "compare", file});
    EXPECT_EQ(differ.exitCode, 7);
    EXPECT_EQ(differ.out, QStringLiteral("B6A4 FF5A FFFF\n"
                                         "Maps do not match exactly: 1 of 128 words differ.\n"));

    const ProgramRun revert = cli(unit.device(), {"--yes", "map", "revert", file});
    EXPECT_EQ(revert.exitCode, 0) << revert.err.toStdString();
    EXPECT_TRUE(revert.out.contains(QStringLiteral("Revert to saved map?\n")));
    EXPECT_TRUE(revert.out.contains(QStringLiteral("wrote B6A4 FF5A (was FFFF)\n")));
    EXPECT_TRUE(revert.out.endsWith(QStringLiteral("Maps match: 128 words equal.\n")))
        << revert.out.toStdString();
    EXPECT_EQ(unit.command(QStringLiteral("word B6A4")), QStringLiteral("B6A4 FF5A"));
    const QString status = unit.command(QStringLiteral("status"));
    EXPECT_TRUE(status.contains(QStringLiteral("checksum valid: yes"))) << status.toStdString();
}

}  // namespace
}  // namespace tarquel
