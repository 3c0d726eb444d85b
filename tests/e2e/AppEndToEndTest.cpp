// The tarquel program itself, headless, against tarquel-unitsim programs on pseudo-terminals that
// TARQUEL_PORTS maps to port numbers: main(), the port map, the real ports and clock.
#include "UnitSimProcess.h"

#include <gtest/gtest.h>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace tarquel {
namespace {

using test::UnitSimProcess;

TEST(AppEndToEnd, StartUpFindsTheUnitBehindAModemAndAGapAndShowsItsFrames) {
    // Port 1: no device; port 2: a modem with traffic; port 3: a unit at 19200 baud; port 4:
    // nothing; port 5: another unit.
    UnitSimProcess modem(
        {QStringLiteral("--modem"), QStringLiteral("--baud"), QStringLiteral("19200")});
    UnitSimProcess unit3({QStringLiteral("--baud"), QStringLiteral("19200")});
    UnitSimProcess unit5({QStringLiteral("--baud"), QStringLiteral("19200")});
    QTemporaryDir shots;
    const QStringList ports{QStringLiteral("/nonexistent/tty0"), modem.device(), unit3.device(),
                            QString(), unit5.device()};
    const test::ProgramRun run =
        test::runProgram(QStringLiteral(TARQUEL_APP_BIN),
                         {QStringLiteral("--screenshot-dir"), shots.path(),
                          QStringLiteral("--screenshot-delay"), QStringLiteral("3000")},
                         {QStringLiteral("TARQUEL_PORTS=") + ports.join(QLatin1Char(':')),
                          QStringLiteral("QT_QPA_PLATFORM=offscreen")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_FALSE(run.out.contains(QStringLiteral("Message box"))) << run.out.toStdString();
    // "Comm 3, frame count 6.9e01, Receiving Data.": connected to the first unit, frames counted.
    const QRegularExpression shown(
        QStringLiteral("^Comm 3, frame count [1-9]\\.\\d+e0[1-9], Receiving Data\\.$"),
        QRegularExpression::MultilineOption);
    EXPECT_TRUE(shown.match(run.out).hasMatch()) << run.out.toStdString();
    EXPECT_TRUE(QFile::exists(shots.filePath(QStringLiteral("main.png"))));
}

}  // namespace
}  // namespace tarquel
