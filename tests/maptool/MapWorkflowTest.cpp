// Reading, saving, comparing and reverting the map against the simulated unit on virtual time.
#include "MapToolFixture.h"

#include <QDir>

namespace tarquel {
namespace {

using unitsim::Fault;
using unitsim::MapFamily;

class MapWorkflow : public test::MapToolFixture {
protected:
    // Reads the live map again and compares it with file.
    void compareAgain(const QString& file) {
        ASSERT_TRUE(maps().RetrieveUnitMap());
        ASSERT_TRUE(maps().compareWithFile(file));
    }
    int unmatchedCells() {
        int n = 0;
        for (const PageMatches& page : maps().mapMatches()) {
            for (const auto& row : page) {
                n += static_cast<int>(std::count(row.begin(), row.end(), false));
            }
        }
        return n;
    }
    int quotesSent() const {
        return static_cast<int>(std::count_if(system.writes().begin(), system.writes().end(),
                                              [](const auto& w) { return w.bytes == "\""; }));
    }
};

class MapRoundTrip : public MapWorkflow, public ::testing::WithParamInterface<MapFamily> {};

TEST_P(MapRoundTrip, SavedMapComparesEqualThenMarksAChangedWordAndRevertPutsItBack) {
    makeFamily(GetParam());
    const int pages = GetParam() == MapFamily::B600 ? 1 : 3;
    ASSERT_TRUE(maps().RetrieveUnitMap());
    // The percentage follows every word read and is cleared at the end.
    const auto& log = progress.log();
    EXPECT_EQ(std::count_if(
                  log.begin(), log.end(),
                  [](const auto& e) { return e.call == RecordingProgressWindow::Call::Progress; }),
              128 * pages + 2);
    EXPECT_EQ(progress.lastTotal(), 0);
    EXPECT_EQ(view.pages, QStringLiteral("1/%1").arg(pages));
    EXPECT_EQ(view.buttons, std::make_pair(false, pages > 1));

    const QString file = saveMap(QStringLiteral("unit.txt"));
    ASSERT_TRUE(maps().compareWithFile(file));
    EXPECT_TRUE(maps().differences().empty());
    EXPECT_FALSE(view.mapsMatch);
    EXPECT_EQ(maps().savedMap().size(), static_cast<size_t>(pages));

    const int address = pages == 1 ? 0xB6A4 : 0x18A4;
    const quint16 original = unit->word(address);
    unit->setWord(address, original ^ 0x5AA5);
    compareAgain(file);
    ASSERT_EQ(maps().differences().size(), 1U);
    EXPECT_EQ(maps().differences()[0].address, QString::number(address, 16).toUpper());
    EXPECT_EQ(unmatchedCells(), 2);
    EXPECT_FALSE(maps().mapMatches().back()[10][4]);
    EXPECT_FALSE(maps().mapMatches().back()[10][5]);
    EXPECT_TRUE(view.mapsMatch);

    ASSERT_TRUE(link().fWriteAccess());  // an earlier change in this session left access on
    system.clearWrites();
    const qsizetype before = progress.messages().size();
    boxes.queueAnswer(MsgAnswer::Yes);
    ASSERT_EQ(maps().revertMap(), RevertResult::Reverted);
    EXPECT_EQ(mapWrites(), std::vector<int>{address});
    EXPECT_EQ(unit->word(address), original);
    EXPECT_TRUE(unit->checksumValid());
    EXPECT_FALSE(unit->writeAccess());
    // The link knows access is off, so a later change switches it on again.
    EXPECT_TRUE(link().fWriteAccess());
    EXPECT_TRUE(unit->writeAccess());
    EXPECT_TRUE(maps().differences().empty());
    EXPECT_FALSE(view.mapsMatch);
    EXPECT_EQ(progress.messages().mid(before),
              QStringList({"Initializing Corvane sensor", "Changing EEPROM",
                           "Recalculating Checksum", "Retrieving new map", "Comparing maps"}));
    EXPECT_FALSE(progress.processWindowVisible());
    const MsgBox& question = boxes.shown().back();
    EXPECT_EQ(question.title, QStringLiteral("Revert to saved map?"));
    EXPECT_EQ(question.defaultAnswer(), MsgAnswer::No);
}

INSTANTIATE_TEST_SUITE_P(BothFamilies, MapRoundTrip,
                         ::testing::Values(MapFamily::B600, MapFamily::F1600));

TEST_F(MapWorkflow, SavedFileMatchesTheReferenceFileByteForByte) {
    makeFamily(MapFamily::B600);
    for (int a = 0xB600; a < 0xB700; a += 2) {
        unit->setWord(a, static_cast<quint16>((a & 0xFF) << 8 | ((a + 1) & 0xFF)));
    }
    unit->setWord(0xB7FE, 0x005C);
    QFile reference(QStringLiteral(TARQUEL_MAPTOOL_DATA "/b600_reference.txt"));
    ASSERT_TRUE(reference.open(QIODevice::ReadOnly));
    const QByteArray expected = reference.readAll();
    EXPECT_EQ(contents(saveMap(QStringLiteral("EEPROM.txt"))), expected);

    ASSERT_TRUE(maps().RetrieveUnitMap());
    ASSERT_TRUE(maps().compareWithFile(reference.fileName()));
    EXPECT_TRUE(maps().differences().empty());
}

TEST_F(MapWorkflow, RevertWritesDifferingWordsInAscendingOrderAndUpperCasesSavedBytes) {
    makeFamily(MapFamily::F1600);
    unit->setWord(0x1610, 0x0A0B);
    ASSERT_TRUE(link().fWriteAccess());
    link().RecalculateChecksum();
    ASSERT_TRUE(unit->checksumValid());
    ASSERT_TRUE(maps().RetrieveUnitMap());
    const QString file = saveMap(QStringLiteral("saved.txt"));
    // The file's byte 0A at 1610 written in lower case.
    QByteArray text = contents(file);
    ASSERT_TRUE(text.contains("1610 - 0A 0B"));
    put(file, text.replace("1610 - 0A 0B", "1610 - 0a 0B"));
    const std::vector<std::pair<int, quint16>> changes{
        {0x18FC, 0x1234}, {0x1600, 0x0102}, {0x1702, 0xBEEF}};
    for (const auto& [address, value] : changes) {
        unit->setWord(address, value);
    }
    compareAgain(file);
    EXPECT_EQ(unmatchedCells(), 1 + 2 + 2 + 2);

    system.clearWrites();
    boxes.queueAnswer(MsgAnswer::Yes);
    ASSERT_EQ(maps().revertMap(), RevertResult::Reverted);
    EXPECT_EQ(mapWrites(), (std::vector<int>{0x1600, 0x1610, 0x1702, 0x18FC}));
    EXPECT_EQ(unit->word(0x1610), 0x0A0B);
    EXPECT_EQ(unit->word(0x1702), 0xFFFF);
    EXPECT_TRUE(unit->checksumValid());
    // "0a" still differs from the unit's "0A".
    ASSERT_EQ(maps().differences().size(), 1U);
    EXPECT_EQ(maps().differences()[0].address, QStringLiteral("1610"));
    EXPECT_TRUE(view.mapsMatch);
}

TEST_F(MapWorkflow, RevertThatFailsOnItsThirdWordLeavesAConsistentUnit) {
    makeFamily(MapFamily::B600);
    ASSERT_TRUE(maps().RetrieveUnitMap());
    const QString file = saveMap(QStringLiteral("saved.txt"));
    const int addresses[] = {0xB602, 0xB640, 0xB680, 0xB6F0};
    for (const int a : addresses) {
        unit->setWord(a, 0x1111);
    }
    compareAgain(file);
    line.dropWrite = 4;  // the access word, then the third map word
    system.clearWrites();
    boxes.queueAnswer(MsgAnswer::Yes);
    EXPECT_EQ(maps().revertMap(), RevertResult::WriteFailed);
    EXPECT_EQ(mapWrites(), (std::vector<int>{0xB602, 0xB640, 0xB680}));
    EXPECT_EQ(unit->word(0xB640), 0xFFFF);
    EXPECT_EQ(unit->word(0xB680), 0x1111);
    EXPECT_EQ(quotesSent(), 1);
    EXPECT_TRUE(unit->checksumValid());
    EXPECT_FALSE(unit->writeAccess());
    EXPECT_FALSE(progress.processWindowVisible());
    EXPECT_EQ(boxTitles().back(), QStringLiteral("Error restoring EEPROM!"));
    EXPECT_EQ(boxes.shown().back().prompt,
              QStringLiteral("An error has occurred while attempting to restore the EEPROM map.\r\n"
                             "If this error persists, please contact Corvane Industries."));
}

TEST_F(MapWorkflow, RevertsThatWriteNothing) {
    enum class Setup { Differs, Same, BadByte, NoAccess };
    const struct {
        const char* name;
        Setup setup;
        MsgAnswer answer;
        RevertResult result;
        int quotes;
        const char* lastTitle;
    } cases[] = {
        {"operator answers No", Setup::Differs, MsgAnswer::No, RevertResult::Declined, 0,
         "Revert to saved map?"},
        {"identical maps still recalculate", Setup::Same, MsgAnswer::Yes, RevertResult::Reverted, 1,
         "Revert to saved map?"},
        {"a saved byte that is not hex", Setup::BadByte, MsgAnswer::Yes, RevertResult::BadSavedByte,
         0, "Error restoring EEPROM!"},
        {"write access refused", Setup::NoAccess, MsgAnswer::Yes, RevertResult::AccessRefused, 0,
         "Error Enabling Write Access!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        makeFamily(MapFamily::B600);
        line.refusedWrites.clear();
        QFile::remove(path(QStringLiteral("saved.txt")));
        ASSERT_TRUE(maps().RetrieveUnitMap());
        const QString file = saveMap(QStringLiteral("saved.txt"));
        if (c.setup == Setup::BadByte) {
            QByteArray text = contents(file);
            put(file, text.replace("B6F0 - FF FF", "B6F0 - FF ZZ"));
        }
        if (c.setup != Setup::Same) {
            unit->setWord(0xB610, 0x2222);
        }
        if (c.setup == Setup::NoAccess) {
            line.refusedWrites = {0x000C};
        }
        compareAgain(file);
        system.clearWrites();
        boxes.queueAnswer(c.answer);
        EXPECT_EQ(maps().revertMap(), c.result);
        EXPECT_TRUE(mapWrites().empty());
        EXPECT_EQ(quotesSent(), c.quotes);
        EXPECT_EQ(boxTitles().back(), QLatin1String(c.lastTitle));
        EXPECT_FALSE(progress.processWindowVisible());
        EXPECT_EQ(unit->word(0xB610), c.setup == Setup::Same ? 0xFFFF : 0x2222);
        if (c.setup == Setup::BadByte || c.answer == MsgAnswer::No) {
            EXPECT_TRUE(system.writes().empty());
        }
    }
}

TEST_F(MapWorkflow, SaveNeverLosesAnExistingFile) {
    makeFamily(MapFamily::B600);
    const int readsBefore = unit->counters().reads;
    const QString file = saveMap(QStringLiteral("EEPROM.txt"));
    const int readsPerSave = unit->counters().reads - readsBefore;
    const QByteArray saved = contents(file);
    ASSERT_FALSE(saved.isEmpty());
    const FileDialogRequest& request = dialogs.requests().back();
    EXPECT_EQ(request.title, QStringLiteral("Save file as"));
    EXPECT_EQ(request.initialPath, dir.path() + QStringLiteral("/EEPROM"));
    EXPECT_EQ(request.filter, QStringLiteral("Text files (*.txt)|*.txt"));

    // Declined overwrite and a cancelled dialog: no traffic at all.
    system.clearWrites();
    dialogs.queueAnswer(file);
    boxes.queueAnswer(MsgAnswer::No);
    EXPECT_EQ(maps().saveMap(), MapSaveResult::NotOverwritten);
    EXPECT_EQ(boxTitles().back(), QStringLiteral("Overwrite Existing File?"));
    EXPECT_EQ(maps().saveMap(), MapSaveResult::Cancelled);
    EXPECT_TRUE(system.writes().empty());

    // The unit falls silent in the middle of the map: the old file stays as it was.
    unit->setWord(0xB600, 0x1234);
    unit->setFault(Fault::SilentAfterReads, readsPerSave - 60);
    dialogs.queueAnswer(file);
    boxes.queueAnswer(MsgAnswer::Yes);
    EXPECT_EQ(maps().saveMap(), MapSaveResult::ReadFailed);
    EXPECT_EQ(boxTitles().back(), QStringLiteral("Error Reading EEPROM Map!"));
    EXPECT_EQ(contents(file), saved);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"EEPROM.txt"});
    EXPECT_FALSE(progress.processWindowVisible());

    // A folder that cannot take the file.
    dialogs.queueAnswer(path(QStringLiteral("missing/EEPROM.txt")));
    unit->clearFaults();
    EXPECT_EQ(maps().saveMap(), MapSaveResult::WriteFailed);
    EXPECT_EQ(boxTitles().back(), QStringLiteral("Error!"));
}

TEST_F(MapWorkflow, RetrievalFailuresAreReportedAndLeaveNoMap) {
    makeFamily(MapFamily::B600);
    unit->setFault(Fault::NoReadAnswer);
    EXPECT_FALSE(maps().RetrieveUnitMap());
    EXPECT_EQ(boxTitles().back(), QStringLiteral("Error Retrieving Map!"));

    unit->clearFaults();
    ASSERT_TRUE(link().fInit(false));
    unit->setFault(Fault::SilentAfterReads, 100);
    EXPECT_FALSE(maps().RetrieveUnitMap());
    EXPECT_EQ(boxTitles().back(), QStringLiteral("Error Reading EEPROM Map!"));
    EXPECT_FALSE(maps().mapLoaded());
    EXPECT_TRUE(maps().currentMap().empty());

    port->setPortOpen(false);
    EXPECT_FALSE(maps().RetrieveUnitMap());
    EXPECT_EQ(boxTitles().back(), QStringLiteral("Comm Port not open or Unit not Communitcating!"));
    EXPECT_FALSE(progress.processWindowVisible());
}

}  // namespace
}  // namespace tarquel
