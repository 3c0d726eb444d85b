#include "unitsim/SimConsole.h"

#include <gtest/gtest.h>

namespace tarquel::unitsim {
namespace {

QStringList words(const char* text) {
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

TEST(ProgramOptions, MultiValueAndNamedOptionsFillTheUnitConfig) {
    QString error;
    const auto options = parseProgramOptions(
        words(
            "--family 1600 --baud 19200 --tilt 5 -3 --hard-iron 1 -2 3 --scale 1.1 0.9 "
            "--fault silent-after=3 --fault modem --channels 2007c00000 --sensors pend --no-stream "
            "--link /tmp/x --exit-on-eof"),
        error);
    ASSERT_TRUE(options) << error.toStdString();
    const SimulatedUnit::Config& c = options->unit;
    EXPECT_EQ(c.family, MapFamily::F1600);
    EXPECT_EQ(c.baud, 19200);
    EXPECT_EQ(c.physics.tiltXDeg, 5);
    EXPECT_EQ(c.physics.tiltYDeg, -3);
    EXPECT_EQ(c.physics.hardIronMg.y, -2);
    EXPECT_EQ(c.physics.scaleY, 0.9);
    EXPECT_EQ(c.faults.readsBeforeSilence, 3);
    EXPECT_TRUE(c.faults.modem);
    EXPECT_EQ(c.channels, QStringLiteral("2007C00000"));
    EXPECT_EQ(c.sensors, SensorKind::Pendulum);
    EXPECT_FALSE(c.streamEnabled);
    EXPECT_EQ(options->link, QStringLiteral("/tmp/x"));
    EXPECT_TRUE(options->exitOnEof);
}

TEST(ProgramOptions, BadValuesAreRefusedWithAReason) {
    for (const char* bad : {"--baud 1234", "--tilt 5", "--channels 12345", "--fault nonsense",
                            "--family c000", "--heading north", "--whatever"}) {
        QString error;
        EXPECT_FALSE(parseProgramOptions(words(bad), error)) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
}

TEST(Console, CommandsChangeTheUnitAndReport) {
    SimulatedUnit unit;
    SimConsole console(unit);
    EXPECT_EQ(console.execute(QStringLiteral("heading 90")).text, QStringLiteral("ok"));
    EXPECT_DOUBLE_EQ(unit.trueHeading(), 90);
    console.execute(QStringLiteral("tilt 4 -2"));
    EXPECT_EQ(unit.physics().tiltYDeg, -2);
    console.execute(QStringLiteral("format binary"));
    EXPECT_EQ(unit.format(), OutputFormat::Binary);
    console.execute(QStringLiteral("baud 4800"));
    EXPECT_EQ(unit.baud(), 4800);
    console.execute(QStringLiteral("fault silent-after 2"));
    EXPECT_EQ(unit.faults().readsBeforeSilence, 2);
    console.execute(QStringLiteral("fault none"));
    EXPECT_EQ(unit.faults().readsBeforeSilence, -1);
    EXPECT_EQ(console.execute(QStringLiteral("word b60e")).text, QStringLiteral("B60E 0C05"));
    const QString status = console.execute(QStringLiteral("status")).text;
    EXPECT_TRUE(status.contains(QStringLiteral("checksum valid: yes")));
    EXPECT_TRUE(status.contains(QStringLiteral("channels: 3C07000000")));
    EXPECT_TRUE(status.contains(QStringLiteral("format: binary")));
    EXPECT_TRUE(
        console.execute(QStringLiteral("heading")).text.startsWith(QStringLiteral("error")));
    EXPECT_TRUE(console.execute(QStringLiteral("quit")).quit);
}

}  // namespace
}  // namespace tarquel::unitsim
