// End to end: the tarquel-unitsim program on a pseudo-terminal, reached through the real serial
// port and the PC's unit link on the real clock.
#include "platform/MessageBoxes.h"
#include "platform/QtSerialPort.h"
#include "platform/RealClock.h"
#include "unitlink/UnitLink.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace tarquel {
namespace {

TEST(UnitSimProgram, ThePcReadsTheUnitThroughItsLinkAndTheProgramEndsOnQuit) {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("unit"));
    const QString record = dir.filePath(QStringLiteral("record.txt"));
    QProcess sim;
    sim.start(QStringLiteral(TARQUEL_UNITSIM_BIN),
              {QStringLiteral("--link"), link, QStringLiteral("--record"), record});
    ASSERT_TRUE(sim.waitForStarted(5000) && sim.waitForReadyRead(5000));
    EXPECT_TRUE(sim.readLine().startsWith("tarquel-unitsim: /dev/pts/"));
    {
        QtSerialPort port(PortDirectory({link}));
        port.setCommPort(1);
        port.setPortOpen(true);
        RealClock clock;
        ScriptedMessageBoxes boxes;
        EXPECT_EQ(UnitLink(port, clock, boxes).fReadFromUnit(QStringLiteral("0000")),
                  QStringLiteral("4C03"));
    }

    sim.write("quit\n");
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(link)) << "the link goes with the program";
    QFile file(record);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith(" 7D 9600")) << lines[0].constData();
    EXPECT_TRUE(lines[1].endsWith(" 00 9600")) << lines[1].constData();
}

}  // namespace
}  // namespace tarquel
