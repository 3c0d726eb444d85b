// Reading, saving, comparing and reverting the map against the simulated unit on virtual time.
#include "MapToolFixture.h"

#include <QDir>

namespace tarquel {
namespace {

using unitsim::Fault;
using unitsim::MapFamily;

class MapWorkflow : public test::MapToolFixture {
protected:
    // Saves the unit's map to name through the File menu's command.
    QString saveMap(const QString& name) {
        dialogs.queueAnswer(path(name));
        EXPECT_EQ(maps().saveMap(), MapSaveResult::Saved);
        return path(name);
    }
    // Reads the live map again and compares it with file.
    void compareAgain(const QString& file) {
        ASSERT_TRUE(maps().RetrieveUnitMap());
        ASSERT_TRUE(maps().compareWithFile(file));
    }
    // Answers the revert question with answer and reverts, from a clean write record.
    RevertResult revert(MsgAnswer answer = MsgAnswer::Yes) {
        system.clearWrites();
        boxes.queueAnswer(answer);
        return maps().revertMap();
    }
    // Map addresses written with the write-word command, in order (the access words 000C and
    // 200E left out).
    std::vector<int> mapWrites() const {
        std::vector<int> addresses;
        for (const auto& w : system.writes()) {
            const auto byte = [&w](int i) { return static_cast<quint8>(w.bytes[i]); };
            if (w.bytes.size() == 5 && byte(0) == 0x7B && byte(1) != 0x00 && byte(1) != 0x20) {
                addresses.push_back(byte(1) << 8 | byte(2));
            }
        }
        return addresses;
    }
    int quotesSent() const {
        return static_cast<int>(std::count_if(system.writes().begin(), system.writes().end(),
                                              [](const auto& w) { return w.bytes == "\""; }));
    }
};

class MapRoundTrip : public MapWorkflow, public ::testing::WithParamInterface<MapFamily> {};

TEST_P(MapRoundTrip, SavedMapComparesEqualThenFindsAChangedWordAndRevertPutsItBack) {
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
    EXPECT_EQ(maps().revertMap(), RevertResult::NoSavedMap);

    const QString file = saveMap(QStringLiteral("unit.txt"));
    ASSERT_TRUE(maps().compareWithFile(file));
    EXPECT_TRUE(maps().differences().empty());

    const int address = pages == 1 ? 0xB6A4 : 0x18A4;
    const quint16 original = unit->word(address);
    unit->setWord(address, original ^ 0x5AA5);
    compareAgain(file);
    ASSERT_EQ(maps().differences().size(), 1U);
    EXPECT_EQ(maps().differences()[0].address, QString::number(address, 16).toUpper());

    ASSERT_TRUE(link().fWriteAccess());  // an earlier change in this session left access on
    const qsizetype before = progress.messages().size();
    ASSERT_EQ(revert(), RevertResult::Reverted);
    EXPECT_EQ(boxes.shown().back().defaultAnswer(), MsgAnswer::No);
    EXPECT_EQ(mapWrites(), std::vector<int>{address});
    EXPECT_TRUE(unit->checksumValid());
    EXPECT_FALSE(unit->writeAccess());
    // The link knows access is off, so a later change switches it on again.
    EXPECT_TRUE(link().fWriteAccess());
    EXPECT_TRUE(unit->writeAccess());
    EXPECT_TRUE(maps().differences().empty());
    EXPECT_EQ(progress.messages().mid(before),
              QStringList({"Initializing Corvane sensor", "Changing EEPROM",
                           "Recalculating Checksum", "Retrieving new map", "Comparing maps"}));
    EXPECT_FALSE(progress.processWindowVisible());

    // Identical maps: nothing to write, but the checksum is still recalculated.
    ASSERT_EQ(revert(), RevertResult::Reverted);
    EXPECT_TRUE(mapWrites().empty());
    EXPECT_EQ(quotesSent(), 1);
}

INSTANTIATE_TEST_SUITE_P(BothFamilies, MapRoundTrip,
                         ::testing::Values(MapFamily::B600, MapFamily::F1600));

TEST_F(MapWorkflow, SavedFileMatchesTheReferenceFileByteForByte) {
    makeFamily(MapFamily::B600);
    for (int a = 0xB600; a < 0xB700; a += 2) {
        unit->setWord(a, static_cast<quint16>((a & 0xFF) << 8 | ((a + 1) & 0xFF)));
    }
    unit->setWord(0xB7FE, 0x005C);
    EXPECT_EQ(contents(saveMap(QStringLiteral("EEPROM.txt"))),
              contents(QStringLiteral(TARQUEL_MAPTOOL_DATA "/b600_reference.txt")));
}

TEST_F(MapWorkflow, RevertWritesDifferingWordsInAscendingOrderAndUpperCasesSavedBytes) {
    makeFamily(MapFamily::F1600);
    ASSERT_TRUE(maps().RetrieveUnitMap());
    const QString file = saveMap(QStringLiteral("saved.txt"));
    edit(file, "FF  0A 0A", "FF  0a 0A");  // 1608
    const std::pair<int, quint16> changes[] = {
        {0x18FC, 0x1234}, {0x1600, 0x0102}, {0x1702, 0xBEEF}};
    for (const auto& [address, value] : changes) {
        unit->setWord(address, value);
    }
    compareAgain(file);
    ASSERT_EQ(revert(), RevertResult::Reverted);
    EXPECT_EQ(mapWrites(), (std::vector<int>{0x1600, 0x1608, 0x1702, 0x18FC}));
    // "0a" still differs from the unit's "0A".
    ASSERT_EQ(maps().differences().size(), 1U);
    EXPECT_EQ(maps().differences()[0].address, QStringLiteral("1608"));
}

TEST_F(MapWorkflow, RevertsThatStopEarlyWriteNothingOrLeaveAConsistentUnit) {
    makeFamily(MapFamily::B600);
    ASSERT_TRUE(maps().RetrieveUnitMap());
    const QString file = saveMap(QStringLiteral("saved.txt"));
    for (const int a : {0xB602, 0xB640, 0xB680, 0xB6F0}) {
        unit->setWord(a, 0x1111);
    }
    compareAgain(file);
    EXPECT_EQ(revert(MsgAnswer::No), RevertResult::Declined);
    EXPECT_TRUE(system.writes().empty());

    // Every word is checked before anything is sent.
    edit(file, "B6F0 - FF FF", "B6F0 - FF ZZ");
    compareAgain(file);
    EXPECT_EQ(revert(), RevertResult::BadSavedByte);
    EXPECT_TRUE(system.writes().empty());
    EXPECT_EQ(boxTitles().back(), QStringLiteral("Error restoring EEPROM!"));
    edit(file, "B6F0 - FF ZZ", "B6F0 - FF FF");
    compareAgain(file);

    line.refusedWrites = {0x000C};
    EXPECT_EQ(revert(), RevertResult::AccessRefused);
    EXPECT_TRUE(mapWrites().empty());
    EXPECT_EQ(boxTitles().back(), QStringLiteral("Error Enabling Write Access!"));
    EXPECT_FALSE(progress.processWindowVisible());

    // A word that does not verify stops the revert; the unit still recalculates its checksum and
    // write access goes off again.
    line.refusedWrites.clear();
    line.dropWrite = 4;  // the access word, then the third map word
    EXPECT_EQ(revert(), RevertResult::WriteFailed);
    EXPECT_EQ(mapWrites(), (std::vector<int>{0xB602, 0xB640, 0xB680}));
    EXPECT_EQ(unit->word(0xB640), 0xFFFF);
    EXPECT_EQ(quotesSent(), 1);
    EXPECT_TRUE(unit->checksumValid());
    EXPECT_FALSE(unit->writeAccess());
    EXPECT_FALSE(progress.processWindowVisible());
    EXPECT_EQ(boxes.shown().back().prompt,
              QStringLiteral("An error has occurred while attempting to restore the EEPROM map.\r\n"
                             "If this error persists, please contact Corvane Industries."));
}

TEST_F(MapWorkflow, SaveNeverLosesAnExistingFile) {
    makeFamily(MapFamily::B600);
    const QString file = saveMap(QStringLiteral("EEPROM.txt"));
    const QByteArray saved = contents(file);
    EXPECT_EQ(dialogs.requests().back().initialPath, dir.path() + QStringLiteral("/EEPROM"));

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
    unit->setFault(Fault::SilentAfterReads, 100);
    dialogs.queueAnswer(file);
    boxes.queueAnswer(MsgAnswer::Yes);
    EXPECT_EQ(maps().saveMap(), MapSaveResult::ReadFailed);
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
    unit->setFault(Fault::SilentAfterReads, 100);
    EXPECT_FALSE(maps().RetrieveUnitMap());
    EXPECT_EQ(boxTitles().back(), QStringLiteral("Error Reading EEPROM Map!"));
    EXPECT_FALSE(maps().mapLoaded());

    port->setPortOpen(false);
    EXPECT_FALSE(maps().RetrieveUnitMap());
    EXPECT_EQ(boxTitles().back(), QStringLiteral("Comm Port not open or Unit not Communitcating!"));
    EXPECT_FALSE(progress.processWindowVisible());
}

}  // namespace
}  // namespace tarquel
