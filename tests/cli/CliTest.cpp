// tarquel-cli: its arguments, and what each command prints and exits with, on the simulated unit.
#include "CliRig.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <tuple>

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
        {"--device a --report r.pdf identify", "--report applies to calibrate only"},
        {"--device a backups", "backups reads the data folder only: it takes no port"},
        {"records --unit B600", "--unit applies to backups only"},
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

TEST_F(CliCommands, WithoutABackupNothingChangesUnlessNoBackupIsGivenAndEveryChangeIsListed) {
    const auto runOnFolder = [this](const char* command) {
        outText.clear();
        CliRequest request;
        QString error;
        EXPECT_TRUE(parseCliArguments(split(command), request, error)) << error.toStdString();
        int code = -1;
        EXPECT_TRUE(runCliFileCommand(request, dataDir.path(), out, err, code));
        out.flush();
        return code;
    };
    QFile blocker(dataDir.filePath(QStringLiteral("backups")));  // no backup folder can be made
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    EXPECT_EQ(run(QStringLiteral("write B608 1A2B")), CliExit::NoBackup);
    EXPECT_EQ(unit->word(0xB608), 0x0A0A);
    EXPECT_TRUE(
        errText.endsWith(QStringLiteral(" cannot be made. Nothing was changed; --no-backup "
                                        "changes the unit without a backup.\n")))
        << errText.toStdString();
    EXPECT_EQ(run(QStringLiteral("--no-backup write B608 1A2B")), CliExit::Ok);
    EXPECT_EQ(unit->word(0xB608), 0x1A2B);
    blocker.remove();
    EXPECT_EQ(run(QStringLiteral("write B608 0A0A")), CliExit::Ok);

    EXPECT_EQ(runOnFolder("backups"), CliExit::Ok);
    const QRegularExpression backupLine(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d UTC  "
                       "(B600-CV-3100_Version_4\\.20-[0-9a-f]{8})  write  "
                       "(\\S+)\n$"));
    const QRegularExpressionMatch backup = backupLine.match(outText);
    ASSERT_TRUE(backup.hasMatch()) << outText.toStdString();
    EXPECT_EQ(runOnFolder("backups --unit 1600"), CliExit::Ok);
    EXPECT_EQ(outText, QString());

    EXPECT_EQ(runOnFolder("records"), CliExit::Ok);
    const QStringList lines = outText.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    const QString unitText = QStringLiteral("  B600 CV-3100 Version 4.20  write  ");
    EXPECT_TRUE(lines[0].endsWith(unitText + QStringLiteral("done  ") + backup.captured(2)));
    EXPECT_TRUE(lines[1].endsWith(unitText + QStringLiteral("done  (no backup)")));
    EXPECT_TRUE(lines[2].endsWith(unitText + QStringLiteral("refused  (no backup)")));
    EXPECT_EQ(runOnFolder("records --json"), CliExit::Ok);
    const QJsonArray records = QJsonDocument::fromJson(outText.toUtf8()).array();
    ASSERT_EQ(records.size(), 3);
    const QJsonObject changes = records[0].toObject()[QStringLiteral("changes")].toObject();
    EXPECT_EQ(changes[QStringLiteral("before")], QStringLiteral("1A2B"));
    EXPECT_EQ(changes[QStringLiteral("after")], QStringLiteral("0A0A"));
}

TEST_F(CliCommands, MonitorPrintsEveryFrameAsTextCsvOrJsonLinesAndFailsWithoutFrames) {
    EXPECT_EQ(run(QStringLiteral("monitor --seconds 2")), CliExit::NoAnswer);  // a quiet unit
    EXPECT_EQ(errText.section(QLatin1Char('\n'), -2),
              QStringLiteral("tarquel-cli: no frame arrived\n"));
    unitsim::UnitConfig config;
    config.frameRate = 10;
    makeUnit(config);
    unit->setHeading(90);
    EXPECT_EQ(run(QStringLiteral("monitor --seconds 2 --format csv")), CliExit::Ok);
    QStringList lines = outText.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 15);
    EXPECT_EQ(lines[0], QStringLiteral("time,Hx,Hy,V,xInclination,yInclination,calcHeading,"
                                       "unitHeading,frames,frameRate"));
    const QStringList last = lines.back().split(QLatin1Char(','));
    ASSERT_EQ(last.size(), 10);
    EXPECT_NEAR(last[6].toDouble(), 90, 1.0);
    EXPECT_EQ(last[8].toInt(), lines.size() - 1);
    EXPECT_TRUE(errText.contains(QStringLiteral("status: Receiving Data.\n")));

    EXPECT_EQ(run(QStringLiteral("monitor --seconds 1 --format jsonl")), CliExit::Ok);
    lines = outText.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 5);
    const QJsonObject frame = QJsonDocument::fromJson(lines.back().toUtf8()).object();
    EXPECT_NEAR(frame[QStringLiteral("calcHeading")].toDouble(), 90, 1.0);
    // The rate the window shows, worked out from the frame length and the line rate.
    EXPECT_EQ(frame[QStringLiteral("frameRate")].toDouble(), last[9].toDouble());
    EXPECT_GT(last[9].toDouble(), 0);
    EXPECT_LE(frame[QStringLiteral("time")].toDouble(), 1.0);

    // A unit in binary output: nothing the pipeline decodes, and the status says why.
    config.format = unitsim::OutputFormat::Binary;
    makeUnit(config);
    EXPECT_EQ(run(QStringLiteral("monitor --seconds 3")), CliExit::NoAnswer);
    EXPECT_TRUE(
        errText.contains(QStringLiteral("status: Receiving Data. 1.  Unit is in Binary "
                                        "Mode.")))
        << errText.toStdString();
}

TEST_F(CliCommands, EveryJsonAnswerParsesAndHoldsWhatTheTextShows) {
    // The command, one key of its document and the text line the figure appears in.
    using Row = std::tuple<const char*, const char*, QString>;
    const QString checksum = hex(unit->word(0xB7FF)).left(2);
    for (const auto& [command, key, text] :
         {Row{"--json identify", "family", QStringLiteral("Family: B600")},
          Row{"read B608 --json", "value", QStringLiteral("B608 = 0A0A")},
          Row{"checksum --json", "checksum", QStringLiteral("Checksum = ") + checksum},
          Row{"channels --json", "channels", QStringLiteral("Channels = 3C07000000")}}) {
        EXPECT_EQ(run(QLatin1String(command)), CliExit::Ok) << command;
        const QJsonObject document = QJsonDocument::fromJson(outText.toUtf8()).object();
        EXPECT_TRUE(errText.contains(text + QLatin1Char('\n'))) << command;
        EXPECT_TRUE(text.endsWith(document[QLatin1String(key)].toString())) << command;
        EXPECT_FALSE(document[QLatin1String(key)].toString().isEmpty()) << command;
    }
    const QString file = dataDir.filePath(QStringLiteral("saved.txt"));
    ASSERT_EQ(run(QStringLiteral("map save ") + file), CliExit::Ok);
    unit->setWord(0xB6A4, 0x1234);
    EXPECT_EQ(run(QStringLiteral("--json map compare ") + file), CliExit::MapsDiffer);
    const QJsonObject comparison = QJsonDocument::fromJson(outText.toUtf8()).object();
    EXPECT_FALSE(comparison[QStringLiteral("match")].toBool());
    const QJsonArray differences = comparison[QStringLiteral("differences")].toArray();
    ASSERT_EQ(differences.size(), 1);
    EXPECT_EQ(differences[0][QStringLiteral("address")], QStringLiteral("B6A4"));
    EXPECT_EQ(differences[0][QStringLiteral("live")], QStringLiteral("1234"));
    EXPECT_TRUE(errText.contains(QStringLiteral("B6A4 ") +
                                 differences[0][QStringLiteral("saved")].toString() +
                                 QStringLiteral(" 1234\n")));
}

}  // namespace
}  // namespace tarquel
