// The session's three maintenance operations against the simulated unit on virtual time.
#include "support/SessionRig.h"

namespace tarquel {
namespace {

using unitsim::Fault;
using R = MaintenanceResult;

enum class Op { Align, ClearCal, ClearNorth };

class Maintenance : public test::SessionRig {
protected:
    Maintenance() { fresh(); }
    // A new session on a quiet, fault-free unit whose display shows heading.
    void fresh(const char* heading = "350.0 dg") {
        newSession();
        makeUnit(quietUnit());
        line.silentReads.clear();
        line.refusedWrites.clear();
        unit->setWord(0xB68A, 0x0E39);
        session->liveData().display().setDataBoxCaption(Slot::CalcHeading, QLatin1String(heading));
        boxes.clear();
        system.clearWrites();
        progress = RecordingProgressWindow(&clock);
    }
    R run(Op op, MsgAnswer answer = MsgAnswer::Yes) {
        boxes.queueAnswer(answer);
        return op == Op::Align      ? session->northAlignment().alignNorth()
               : op == Op::ClearCal ? session->clearCalibration().removeUserCalibration()
                                    : session->clearNorth().removeNorthRotation();
    }
    // The addresses of the memory writes but the access word's, in order.
    std::vector<int> wordsWritten() const {
        std::vector<int> addresses;
        for (const auto& w : system.writes()) {
            if (w.bytes.size() == 5 && w.bytes[0] == '\x7B' && w.bytes[2] != '\x0C') {
                addresses.push_back(w.bytes.mid(1, 2).toHex().toInt(nullptr, 16));
            }
        }
        return addresses;
    }
};

TEST_F(Maintenance, AlignmentThenBothRemovalsPutTheUnitBackAsShipped) {
    ASSERT_EQ(run(Op::Align), R::Done);
    // The add, then 50 ms more and a space (100 ms after the last character of the add).
    EXPECT_TRUE(written().contains("#8AEAAB ")) << written().constData();
    const auto& writes = system.writes();
    const auto space =
        std::ranges::find(writes, QByteArray(" "), &FakePortSystem::WriteRecord::bytes);
    ASSERT_NE(space, writes.end());
    EXPECT_EQ(space->timeMs - (space - 1)->timeMs, 100);
    EXPECT_EQ(unit->word(0xB68A), 0xF8E4);  // 3641 - 5461 = -1820
    EXPECT_FALSE(commandText().contains('"')) << "the checksum waits for the end of the session";

    ASSERT_EQ(run(Op::ClearNorth), R::Done);
    unit->setWord(0xB69C, 0x0012);
    unit->setWord(0xB688, 0x0012);
    ASSERT_EQ(run(Op::ClearCal), R::Done);
    EXPECT_EQ(wordsWritten(),
              (std::vector<int>{0xB68A, 0xB68C, 0xB69C, 0xB6AC, 0xB68E, 0xB69E, 0xB6AE, 0xB68A}));
    EXPECT_EQ(unit->word(0xB688), 0x0012) << "the heading offset stays";
    EXPECT_TRUE(unit->checksumValid());
    EXPECT_EQ(boxTitles(),
              (QStringList{"Write to North Alignment to EEPROM?", "Remove North Rotation?",
                           "North Rotation Removed.", "Remove User Magnetic Calibrations?",
                           "Magnetic Cal Removed."}));
    EXPECT_EQ(
        progress.messages(),
        (QStringList{"Adjusting for North", "Removing User Calibrations", "Recalculating Checksum",
                     "Removing User Calibrations", "Recalculating Checksum"}));
}

TEST_F(Maintenance, AnUnreadWordCountsAsSomethingToRemoveAndShowsAsError) {
    unit->setWord(0xB69E, 0xABCD);
    line.silentReads = {0xB68A};
    EXPECT_EQ(run(Op::ClearCal, MsgAnswer::No), R::Declined);
    const MsgBox& question = boxes.shown().back();
    EXPECT_EQ(question.icon, MsgIcon::Exclamation);
    EXPECT_EQ(question.prompt,
              QStringLiteral("Current User Magnetic Calibration:\r\n"
                             "X Bias:  0000\tX Gain:  0000\r\nY Bias:  0000\tY Gain:  ABCD\r\n"
                             "Z Bias:  0000\tZ Gain:  0000\r\nNorth Rotation:  Error\r\n\r\n"
                             "Are you sure you want to remove the user (installation) magnetic "
                             "calibration?\r\nPressing 'Yes' will alter the EEPROM of the Corvane "
                             "unit."));
}

TEST_F(Maintenance, AUnitThatStopsAnsweringPartWayKeepsItsChecksumInStep) {
    unit->setWord(0xB69E, 7);
    ASSERT_TRUE(link().fInit(true) && link().fWriteAccess());
    unit->setFault(Fault::SilentAfterReads, 7 + 3);  // the seven words, three verifications
    EXPECT_EQ(run(Op::ClearCal), R::NotVerified);
    EXPECT_EQ(session->clearCalibration().cleared(), 3);
    EXPECT_EQ(wordsWritten().size(), 4u);
    EXPECT_EQ(commandText().count('"'), 1);
    EXPECT_TRUE(unit->checksumValid());
    EXPECT_EQ(boxes.shown().back().title, QStringLiteral("Error Writing to EEPROM!"));
    EXPECT_FALSE(progress.processWindowVisible());
}

TEST_F(Maintenance, DeclinedEmptyAndFailedRunsWriteNothingAndTellTheOperator) {
    enum class Setup { None, Empty, NoUnit, NoAccess, AddIgnored, RotationUnread, Overflow };
    const QString align = "Write to North Alignment to EEPROM?";
    const QString alignError = "Error With North Offset!";
    const QString cal = "Remove User Magnetic Calibrations?";
    const struct {
        Op op;
        Setup setup;
        R result;
        QStringList titles;  // of the boxes shown
    } cases[] = {
        {Op::Align, Setup::None, R::Declined, {align}},
        {Op::ClearCal, Setup::None, R::Declined, {cal}},
        {Op::ClearCal, Setup::Empty, R::NothingToRemove, {"No magnetic cal to remove!"}},
        {Op::ClearNorth, Setup::Empty, R::NothingToRemove, {"No north alignement to remove!"}},
        {Op::Align, Setup::NoUnit, R::NoUnit, {alignError}},
        {Op::ClearCal, Setup::NoUnit, R::NoUnit, {"Error Clearing Cal Map!"}},
        {Op::ClearNorth, Setup::NoUnit, R::NoUnit, {"Error Clearing North Rotation!"}},
        {Op::Align, Setup::NoAccess, R::AccessRefused, {align, alignError}},
        {Op::ClearCal, Setup::NoAccess, R::AccessRefused, {cal, "Error Enabling Write Access!"}},
        // The unit takes no adds: the add reads back unchanged.
        {Op::Align, Setup::AddIgnored, R::NotVerified, {align, alignError}},
        {Op::Align, Setup::RotationUnread, R::NotRead, {}},
        // Both rotation words near +180 and the heading near -180: the count overflows 16 bits.
        {Op::Align, Setup::Overflow, R::Failed, {alignError}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(&c - cases));
        const bool overflow = c.setup == Setup::Overflow;
        fresh(overflow ? "180.1 dg" : "350.0 dg");
        unit->setWord(0xB68A, overflow ? 0x7FFF : c.setup == Setup::Empty ? 0 : 0x0E39);
        unit->setWord(0xB688, overflow ? 0x7FFF : 0x0000);
        if (c.setup == Setup::NoUnit) {
            unit->setFault(Fault::NoReadAnswer);
        } else if (c.setup == Setup::NoAccess) {
            line.refusedWrites = {0x000C};
        } else if (c.setup == Setup::AddIgnored) {
            unit->setFault(Fault::RefuseWrites);
        } else if (c.setup == Setup::RotationUnread) {
            line.silentReads = {0xB68A};
        }
        EXPECT_EQ(run(c.op, c.result == R::Declined ? MsgAnswer::No : MsgAnswer::Yes), c.result);
        EXPECT_EQ(boxTitles(), c.titles);
        EXPECT_EQ(progress.opens(), c.titles.size() == 2 ? 1 : 0);
        EXPECT_FALSE(progress.processWindowVisible());
        EXPECT_TRUE(wordsWritten().empty());
        EXPECT_FALSE(commandText().contains('"'));
        EXPECT_EQ(session->northAlignment().rotationAwaitsChecksum(), c.setup == Setup::AddIgnored);
    }
}

}  // namespace
}  // namespace tarquel
