// tarquel-cli: its arguments, and what each command prints and exits with, on the simulated unit.
#include "CliRig.h"

#include <QTemporaryDir>

namespace tarquel {
namespace {

QStringList split(const char* line) {
    return QString::fromLatin1(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

TEST(CliArguments, AcceptsTheDocumentedFormsAndNamesWhatIsWrong) {
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
    ASSERT_TRUE(parseCliArguments(split("--port 20 map compare f.txt"), byNumber, error));
    EXPECT_EQ(byNumber.port, 20);
    EXPECT_EQ(byNumber.command, QStringLiteral("map compare"));

    const std::pair<const char*, const char*> rows[] = {
        {"identify", "name the port with --device PATH or --port N"},
        {"--port 21 identify", "--port takes a number from 1 to 20"},
        {"--device a --port 2 identify", "give either --device or --port, not both"},
        {"--device a", "no command given"},
        {"--device a frobnicate", "unknown command frobnicate"},
        {"--device a read", "read takes 1 argument(s)"},
        {"--device a read B6G8", "addresses and values are four hex digits, not B6G8"},
        {"--device a --baud 9601 identify", "--baud takes 1200, 2400, 4800, 9600, 19200 or 38400"},
        {"--device a --colour red identify", "unknown option --colour"},
        {"--device a set-channels 3C07", "set-channels takes accel, pend or ten hex digits"},
        {"--device a --yes identify", "identify does not ask anything: --yes does not apply"},
        {"--device a --mode pend identify", "--mode applies to calibrate only"},
        {"--baud", "--baud needs a value"},
    };
    for (const auto& [line, message] : rows) {
        CliRequest rejected;
        EXPECT_FALSE(parseCliArguments(split(line), rejected, error)) << line;
        EXPECT_EQ(error, QLatin1String(message)) << line;
    }
}

class CliCommands : public test::CliRig {
protected:
    CliCommands() { makeUnit(quietUnit()); }
};

TEST_F(CliCommands, TheUnitLinkCommandsPrintTheirAnswer) {
    EXPECT_EQ(run(QStringLiteral("identify")), CliExit::Ok);
    EXPECT_EQ(outText, QStringLiteral("Family: B600\nCV-3100 Version 4.20 \nCopyright (C) 2004-09\n"
                                      "Corvane Industries Inc.\nAll Rights Reserved\n"));
    EXPECT_EQ(run(QStringLiteral("write b608 1a2b")), CliExit::Ok);
    EXPECT_EQ(outText, QStringLiteral("B608 = 1A2B (verified)\n"));
    EXPECT_EQ(unit->word(0xB608), 0x1A2B);
    EXPECT_EQ(run(QStringLiteral("read B608")), CliExit::Ok);
    EXPECT_EQ(outText, QStringLiteral("B608 = 1A2B\n"));
    EXPECT_EQ(run(QStringLiteral("checksum")), CliExit::Ok);
    EXPECT_EQ(outText, QStringLiteral("Checksum = ") + hex(unit->word(0xB7FF)).left(2) + "\n");
    EXPECT_EQ(run(QStringLiteral("channels")), CliExit::Ok);
    EXPECT_EQ(outText, QStringLiteral("Channels = 3C07000000\n"));
    EXPECT_EQ(run(QStringLiteral("set-channels pend")), CliExit::Ok);
    EXPECT_EQ(outText, QStringLiteral("Channels = 2007C00000\n"));
    EXPECT_EQ(unit->channels(), QStringLiteral("2007C00000"));
    EXPECT_EQ(run(QStringLiteral("set-channels 2000000000")), CliExit::Ok);
    EXPECT_EQ(unit->channels(), QStringLiteral("2000000000"));

    line.refusedWrites = {0xB608};
    EXPECT_EQ(run(QStringLiteral("write B608 0808")), CliExit::NotVerified);
    EXPECT_TRUE(
        errText.endsWith(QStringLiteral("\ntarquel-cli: the write of 0808 to B608 did "
                                        "not verify (the unit reads 1A2B)\n")))
        << errText.toStdString();
    unit->setFault(unitsim::Fault::NoReadAnswer);
    EXPECT_EQ(run(QStringLiteral("read B608")), CliExit::NoAnswer);
    EXPECT_EQ(errText, QStringLiteral("tarquel-cli: no answer to the read of B608\n"));
    EXPECT_EQ(run(QStringLiteral("identify")), CliExit::NoAnswer);
    EXPECT_EQ(errText, QStringLiteral("tarquel-cli: the unit did not identify itself (no answer, "
                                      "or not a Corvane unit)\n"));
}

TEST_F(CliCommands, NorthAlignmentAndTheRemovalsAnswerFromTheTerminal) {
    makeUnit({});  // the heading comes from the frames
    unit->setHeading(90);
    EXPECT_EQ(run(QStringLiteral("north-align"), {QStringLiteral("y")}), CliExit::Ok);
    EXPECT_TRUE(
        outText.startsWith(QStringLiteral("Calc Heading: 090.0 dg\n"
                                          "Write to North Alignment to EEPROM?\n")))
        << outText.toStdString();
    EXPECT_TRUE(outText.endsWith(QStringLiteral(
        "[y/N] B68A North Rotation = 0000 + 4000 = 4000 (verified)\nChecksum recalculated.\n")))
        << outText.toStdString();
    EXPECT_TRUE(unit->checksumValid());

    EXPECT_EQ(run(QStringLiteral("clear-north"), {QStringLiteral("n")}), CliExit::Ok);
    EXPECT_TRUE(
        outText.startsWith(QStringLiteral("Remove North Rotation?\nCurrent North "
                                          "Rotation:  4000\n")))
        << outText.toStdString();
    EXPECT_TRUE(
        outText.endsWith(QStringLiteral("[y/N] B68A North Rotation = 4000\nNothing "
                                        "written.\n")));
    EXPECT_EQ(run(QStringLiteral("--yes clear-cal")), CliExit::Ok);
    EXPECT_TRUE(outText.endsWith(QStringLiteral("Removed; checksum recalculated.\n")));
    EXPECT_EQ(unit->word(0xB68A), 0);
    EXPECT_EQ(run(QStringLiteral("clear-north")), CliExit::Ok);
    EXPECT_EQ(outText, QStringLiteral("B68A North Rotation = 0000\nNothing to remove.\n"));
    EXPECT_EQ(errText, QStringLiteral("No north alignement to remove!: There appears to be no "
                                      "user north alignment in the EEPROM of the Corvane unit.\n"));
}

TEST_F(CliCommands, TheMapIsSavedComparedAndReverted) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("unit.txt"));
    EXPECT_EQ(run(QStringLiteral("map save ") + file), CliExit::Ok);
    EXPECT_EQ(outText, QStringLiteral("Saved 1 page(s) to ") + file + QStringLiteral("\n"));
    EXPECT_EQ(run(QStringLiteral("map compare ") + file), CliExit::Ok);
    EXPECT_EQ(outText, QStringLiteral("Maps match: 128 words equal.\n"));

    const quint16 original = unit->word(0xB6A4);
    unit->setWord(0xB6A4, 0xFF5A);
    EXPECT_EQ(run(QStringLiteral("map compare ") + file), CliExit::MapsDiffer);
    EXPECT_EQ(outText, QStringLiteral("B6A4 ") + hex(original) +
                           QStringLiteral(" FF5A\nMaps do not match exactly: 1 of 128 words "
                                          "differ.\n"));
    EXPECT_EQ(run(QStringLiteral("--yes map revert ") + file), CliExit::Ok);
    EXPECT_TRUE(outText.endsWith(QStringLiteral("wrote B6A4 ") + hex(original) +
                                 QStringLiteral(" (was FF5A)\nChecksum recalculated; map read "
                                                "again.\nMaps match: 128 words equal.\n")))
        << outText.toStdString();
    EXPECT_EQ(unit->word(0xB6A4), original);
    EXPECT_EQ(run(QStringLiteral("map compare ") + dir.filePath(QStringLiteral("none.txt"))),
              CliExit::BadArguments);
}

}  // namespace
}  // namespace tarquel
