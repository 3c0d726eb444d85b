#include "cli/Cli.h"
#include "platform/FakeSerialPort.h"
#include "platform/VirtualClock.h"
#include "support/MemoryPeer.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

QStringList split(const char* line) {
    return QString::fromLatin1(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

TEST(CliArguments, AcceptsTheDocumentedForms) {
    CliRequest request;
    QString error;
    ASSERT_TRUE(parseCliArguments(split("--device /dev/pts/4 --baud 19200 write b608 1414"),
                                  request, error))
        << error.toStdString();
    EXPECT_EQ(request.device, QStringLiteral("/dev/pts/4"));
    EXPECT_EQ(request.baud, 19200);
    EXPECT_EQ(request.command, QStringLiteral("write"));
    EXPECT_EQ(request.args, (QStringList{QStringLiteral("B608"), QStringLiteral("1414")}));

    CliRequest byNumber;
    ASSERT_TRUE(parseCliArguments(split("--port 20 set-channels 2007C00000"), byNumber, error));
    EXPECT_EQ(byNumber.port, 20);
    EXPECT_EQ(byNumber.baud, 9600);
}

TEST(CliArguments, RejectsWhatCannotWork) {
    for (const char* line :
         {"identify", "--port 21 identify", "--port 0 identify", "--port x identify",
          "--device a --port 2 identify", "--device a", "--device a frobnicate", "--device a read",
          "--device a read B6", "--device a read B6G8", "--device a write B608",
          "--device a write B608 12345", "--device a --baud 9601 identify",
          "--device a --colour red identify", "--device a set-channels 3C07",
          "--device a checksum extra", "--baud"}) {
        CliRequest request;
        QString error;
        EXPECT_FALSE(parseCliArguments(split(line), request, error)) << line;
        EXPECT_FALSE(error.isEmpty()) << line;
    }
}

class CliOnAUnit : public ::testing::Test {
protected:
    CliOnAUnit() : system(clock), port(system), out(&outText), err(&errText) {
        system.addPort(1, &unit);
        port.setCommPort(1);
        port.setPortOpen(true);
        unit.makeB600Unit();
    }
    int run(const char* line) {
        CliRequest request;
        QString error;
        EXPECT_TRUE(parseCliArguments(split(line), request, error)) << error.toStdString();
        const int code = runCliCommand(request, port, clock, out, err);
        out.flush();
        err.flush();
        return code;
    }

    VirtualClock clock;
    FakePortSystem system;
    FakeSerialPort port;
    test::MemoryPeer unit;
    QString outText;
    QString errText;
    QTextStream out;
    QTextStream err;
};

TEST_F(CliOnAUnit, IdentifyNamesTheFamilyAndPrintsTheText) {
    EXPECT_EQ(run("--device x identify"), CliExit::Ok);
    EXPECT_TRUE(outText.startsWith(QStringLiteral("Family: B600\nCorvane Industries\n")))
        << outText.toStdString();
}

TEST_F(CliOnAUnit, WriteSwitchesAccessOnThenVerifies) {
    EXPECT_EQ(run("--device x write b608 1a2b"), CliExit::Ok);
    EXPECT_EQ(unit.word(0xB608), 0x1A2B);
    EXPECT_EQ(unit.word(0x000C), 0x3A3A);
    EXPECT_EQ(outText, QStringLiteral("B608 = 1A2B (verified)\n"));

    unit.acceptsWrite = [](int address) { return address == 0x000C; };
    EXPECT_EQ(run("--device x write B608 0808"), CliExit::NotVerified);
    EXPECT_TRUE(errText.contains(QStringLiteral("did not verify (the unit reads 1A2B)")))
        << errText.toStdString();
}

TEST_F(CliOnAUnit, ReadAndChecksumReportSilenceAsNoAnswer) {
    unit.setWord(0xB7FF, 0x5C00);
    EXPECT_EQ(run("--device x checksum"), CliExit::Ok);
    EXPECT_EQ(outText, QStringLiteral("Checksum = 5C\n"));
    unit.answerBytes = 0;
    EXPECT_EQ(run("--device x read B608"), CliExit::NoAnswer);
    EXPECT_EQ(run("--device x identify"), CliExit::NoAnswer);
}

TEST_F(CliOnAUnit, ChannelsAreReadAndSelected) {
    unit.setWord(0x0002, 0x3C07);
    EXPECT_EQ(run("--device x channels"), CliExit::Ok);
    EXPECT_EQ(outText, QStringLiteral("Channels = 3C07000000\n"));
    system.clearWrites();
    EXPECT_EQ(run("--device x set-channels pend"), CliExit::Ok);
    EXPECT_TRUE(system.bytesWritten(1).endsWith(">2007C00000"));
}

}  // namespace
}  // namespace tarquel
