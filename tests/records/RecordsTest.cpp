// The backups kept before the program first changes a unit's EEPROM in a run, and the records
// of the changes: the store on its own, then whole operations of a session against the simulated
// unit on virtual time.
#include "records/BackupStore.h"
#include "records/RecordLog.h"
#include "support/SessionRig.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace tarquel {
namespace {

TEST(BackupStoreTest, UnitKeysAreSafeFileNamesThatKeepDifferentTextsApart) {
    const QString key = unitKey(QStringLiteral("B600"), QStringLiteral("CV-3100 Version 4.20 \n"
                                                                       "Copyright (C) 2004-09"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^B600-CV-3100_Version_4\\.20-[0-9a-f]{8}$"))
                    .match(key)
                    .hasMatch())
        << key.toStdString();
    EXPECT_NE(key, unitKey(QStringLiteral("B600"), QStringLiteral("CV-3100 Version 4.20 \n"
                                                                  "Copyright (C) 2005-09")));
    EXPECT_TRUE(unitKey(QStringLiteral("1600"), QStringLiteral("../a b:*?/c"))
                    .startsWith(QStringLiteral("1600-.._a_b_c-")));
}

TEST(BackupStoreTest, KeepsTheNewestHundredOfEachUnitAndListsThemNewestFirst) {
    QTemporaryDir dir;
    const BackupStore store(dir.path());
    const QDateTime start =
        QDateTime::fromString(QStringLiteral("2026-12-09T07:00:00Z"), Qt::ISODate);
    QString error;
    for (int i = 0; i < BackupStore::kKeptPerUnit + 2; ++i) {
        ASSERT_FALSE(store
                         .store(QStringLiteral("B600-U"), QStringLiteral("begin-test"),
                                start.addSecs(i), QByteArray::number(i), error)
                         .isEmpty())
            << error.toStdString();
    }
    const QString other = store.store(QStringLiteral("1600-V"), QStringLiteral("map-revert"),
                                      start.addSecs(50), "v", error);
    EXPECT_EQ(other,
              dir.path() + QStringLiteral("/backups/1600-V/20261209T070050.000Z-map-revert.txt"));

    const std::vector<BackupEntry> all = store.list();
    ASSERT_EQ(all.size(), std::size_t{BackupStore::kKeptPerUnit + 1});
    EXPECT_EQ(all.front().time, start.addSecs(BackupStore::kKeptPerUnit + 1));
    EXPECT_EQ(all.back().time, start.addSecs(2));  // the two oldest were removed
    EXPECT_EQ(all.back().operation, QStringLiteral("begin-test"));
    QFile newest(all.front().path);
    ASSERT_TRUE(newest.open(QIODevice::ReadOnly));
    EXPECT_EQ(newest.readAll(), QByteArray::number(BackupStore::kKeptPerUnit + 1));

    const std::vector<BackupEntry> ofV = store.list(QStringLiteral("1600-v"));
    ASSERT_EQ(ofV.size(), 1U);
    EXPECT_EQ(ofV[0].path, other);
}

// A session that keeps its backups and records in a folder of the test's own.
class BackupSession : public test::SessionRig {
protected:
    BackupSession() { start(BackupFailure::Ask); }
    void start(BackupFailure onFailure) {
        records = RecordsSettings{dir.path(), onFailure, QStringLiteral("9.9.9")};
        newSession();
    }
    std::vector<BackupEntry> backups() const { return BackupStore(dir.path()).list(); }
    std::vector<QJsonObject> recorded() const { return RecordLog(dir.path()).readAll(); }
    // Every word of the B600 map and the checksum word.
    std::vector<int> unitWords() const {
        std::vector<int> words;
        for (int address = 0xB600; address < 0xB700; address += 2) {
            words.push_back(unit->word(address));
        }
        words.push_back(unit->word(0xB7FF));
        return words;
    }

    QTemporaryDir dir;
};

TEST_F(BackupSession, ACalibrationsBackupRevertedWithTheMapToolGivesBackTheUnitsWordsExactly) {
    unitsim::UnitConfig config;
    config.physics.hardIronMg = {30, -20, 15};
    config.physics.scaleX = 1.05;
    makeUnit(config);
    const std::vector<int> before = unitWords();

    calibration().beginTest();
    ASSERT_TRUE(calibration().testRunning());
    EXPECT_EQ(progress.messages().mid(0, 3), (QStringList{QStringLiteral("Initializing Unit"),
                                                          QStringLiteral("Backing up EEPROM Map"),
                                                          QStringLiteral("Initializing Unit")}));
    for (int slot = 0; slot < CalSlot::Count; ++slot) {
        turnTo(90.0 * slot);
        calibration().storePoint();
    }
    boxes.queueAnswer(MsgAnswer::Yes);
    calibration().writeCalibration();
    ASSERT_EQ(calibration().lastWrite(), CalibrationWorkflow::WriteResult::Verified);
    calibration().endTest();
    EXPECT_NE(unitWords(), before);

    // One backup, taken before Begin Test changed anything.
    const std::vector<BackupEntry> taken = backups();
    ASSERT_EQ(taken.size(), 1U);
    EXPECT_EQ(taken[0].operation, QStringLiteral("begin-test"));
    std::vector<QJsonObject> log = recorded();
    ASSERT_EQ(log.size(), 1U);
    EXPECT_EQ(log[0][QStringLiteral("operation")], QStringLiteral("calibration"));
    EXPECT_EQ(log[0][QStringLiteral("outcome")], QStringLiteral("done"));
    EXPECT_EQ(log[0][QStringLiteral("backup")], taken[0].path);
    EXPECT_EQ(log[0][QStringLiteral("version")], QStringLiteral("9.9.9"));
    const QJsonObject changes = log[0][QStringLiteral("changes")].toObject();
    EXPECT_TRUE(changes[QStringLiteral("verified")].toBool());
    EXPECT_EQ(changes[QStringLiteral("points")].toArray().size(), 4);
    const QJsonObject xBias =
        changes[QStringLiteral("words")].toObject()[QStringLiteral("xBias")].toObject();
    EXPECT_EQ(xBias[QStringLiteral("before")], hex(before[(0xB68C - 0xB600) / 2]));
    EXPECT_EQ(xBias[QStringLiteral("after")], hex(unit->word(0xB68C)));
    EXPECT_EQ(xBias[QStringLiteral("correction")],
              calibration().lastCalibrationWrite()->result.xBiasWord);

    MapTool& maps = session->maps();
    EXPECT_FALSE(maps.compareMap());  // the dialog, cancelled, opened in the unit's backup folder
    EXPECT_EQ(dialogs.requests().back().initialPath,
              QFileInfo(taken[0].path).absolutePath() + QLatin1Char('/'));
    ASSERT_TRUE(maps.RetrieveUnitMap());
    ASSERT_TRUE(maps.compareWithFile(taken[0].path));
    boxes.queueAnswer(MsgAnswer::Yes);
    EXPECT_EQ(maps.revertMap(), RevertResult::Reverted);
    EXPECT_EQ(unitWords(), before);
    QFile file(taken[0].path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().endsWith("\r\nChecksum = " + hex(before.back()).left(2).toLatin1() +
                                        "\r\n"));
    // The revert is recorded against the same backup: the run backs the unit up once.
    log = recorded();
    ASSERT_EQ(log.size(), 2U);
    EXPECT_EQ(log[0][QStringLiteral("operation")], QStringLiteral("map-revert"));
    EXPECT_EQ(log[0][QStringLiteral("backup")], taken[0].path);
    EXPECT_EQ(backups().size(), 1U);
}

TEST_F(BackupSession, WithoutABackupTheUnitIsChangedOnlyWhenTheOperatorSaysSo) {
    // Why no backup can be made; the operator's answer (none: the command line's stop).
    using Row = std::tuple<const char*, std::optional<MsgAnswer>>;
    for (const auto& [fault, answer] :
         {Row{"map unreadable", MsgAnswer::No}, Row{"folder unwritable", std::nullopt},
          Row{"folder unwritable", MsgAnswer::Yes}}) {
        const QLatin1String name(fault);
        const std::size_t recordsBefore = recorded().size();
        start(answer ? BackupFailure::Ask : BackupFailure::Stop);
        makeUnit(quietUnit());
        line.silentReads = name == "map unreadable" ? std::set{0xB640} : std::set<int>{};
        QFile::remove(dir.filePath(QStringLiteral("backups")));
        if (name == "folder unwritable") {
            QDir(dir.filePath(QStringLiteral("backups"))).removeRecursively();
            QFile blocker(dir.filePath(QStringLiteral("backups")));
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        }
        boxes.clear();
        if (answer) {
            if (name == "map unreadable") {
                boxes.queueAnswer(MsgAnswer::OK);  // "Error Reading EEPROM Map!"
            }
            boxes.queueAnswer(*answer);
        }
        calibration().beginTest();

        const bool goesAhead = answer == MsgAnswer::Yes;
        EXPECT_EQ(calibration().testRunning(), goesAhead) << fault;
        EXPECT_EQ(unit->word(0xB608), goesAhead ? 0x1414 : 0x0A0A) << fault;
        if (answer) {
            ASSERT_FALSE(boxes.shown().empty());
            const MsgBox& question = boxes.shown().back();
            EXPECT_EQ(question.title, QStringLiteral("No EEPROM Backup!")) << fault;
            EXPECT_EQ(question.defaultAnswer(), MsgAnswer::No);
        } else {
            EXPECT_EQ(session->records()->refusal(),
                      QStringLiteral("the backup could not be stored: the folder ") +
                          dir.filePath(QStringLiteral("backups/")) +
                          unitKey(QStringLiteral("B600"), link().identifiedUnit().text) +
                          QStringLiteral(" cannot be made."));
        }
        const std::vector<QJsonObject> log = recorded();
        ASSERT_EQ(log.size(), recordsBefore + (goesAhead ? 0 : 1)) << fault;
        if (!goesAhead) {
            EXPECT_EQ(log[0][QStringLiteral("outcome")], QStringLiteral("refused"));
            EXPECT_EQ(log[0][QStringLiteral("backup")], QJsonValue());
        }
        calibration().restoreUnit();
        EXPECT_EQ(unit->word(0xB608), 0x0A0A);
    }
    QFile::remove(dir.filePath(QStringLiteral("backups")));
}

}  // namespace
}  // namespace tarquel
