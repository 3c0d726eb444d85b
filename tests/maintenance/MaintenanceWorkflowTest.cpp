// The session's three maintenance operations against the simulated unit on virtual time.
#include "support/SessionRig.h"

#include <cmath>

namespace tarquel {
namespace {

using unitsim::Fault;
using R = MaintenanceResult;

enum class Op { Align, ClearCal, ClearNorth };

class Maintenance : public test::SessionRig {
protected:
    Maintenance() { fresh(); }
    // A new session on a quiet unit headed 350 whose display shows that heading.
    void fresh(const char* heading = "350.0 dg") {
        newSession();
        makeUnit(quietUnit());
        unit->setHeading(350.0);
        unit->setWord(0xB68A, 0x0E39);
        session->liveData().display().setDataBoxCaption(Slot::CalcHeading, QLatin1String(heading));
        boxes.clear();
        system.clearWrites();
        progress = RecordingProgressWindow(&clock);
    }
    R run(Op op, MsgAnswer answer = MsgAnswer::Yes) {
        boxes.queueAnswer(answer);
        switch (op) {
            case Op::Align:
                return session->northAlignment().alignNorth();
            case Op::ClearCal:
                return session->clearCalibration().removeUserCalibration();
            case Op::ClearNorth:
                break;
        }
        return session->clearNorth().removeNorthRotation();
    }
    double unitHeadingOff(double heading) const {
        const double d = std::fmod(std::abs(unit->unitHeading() - heading), 360.0);
        return std::min(d, 360.0 - d);
    }
    // The addresses of the memory writes but the access word's, in order.
    std::vector<int> wordsWritten() const {
        std::vector<int> addresses;
        for (const auto& w : system.writes()) {
            if (w.bytes.size() == 5 && w.bytes[0] == '\x7B' && w.bytes[2] != '\x0C') {
                addresses.push_back(static_cast<quint8>(w.bytes[1]) * 256 +
                                    static_cast<quint8>(w.bytes[2]));
            }
        }
        return addresses;
    }
    QString lastTitle() const { return boxes.shown().back().title; }
};

TEST_F(Maintenance, AlignmentThenBothRemovalsPutTheUnitBackAsShipped) {
    ASSERT_EQ(run(Op::Align), R::Done);
    const MsgBox& question = boxes.shown().at(0);
    EXPECT_EQ(question.title, QStringLiteral("Write to North Alignment to EEPROM?"));
    EXPECT_EQ(question.buttons, MsgButtons::YesNo);
    EXPECT_EQ(question.defaultAnswer(), MsgAnswer::No);
    // The add, then 50 ms more and a space (100 ms after the last character of the add).
    const QByteArray sent = written();
    EXPECT_TRUE(sent.contains("#8AEAAB ")) << sent.constData();
    const auto& writes = system.writes();
    const auto space = std::find_if(writes.begin(), writes.end(),
                                    [](const auto& w) { return w.bytes == QByteArray(" "); });
    ASSERT_NE(space, writes.end());
    EXPECT_EQ(space->timeMs - (space - 1)->timeMs, 100);
    EXPECT_EQ(unit->word(0xB68A), 0xF8E4);  // 3641 - 5461 = -1820
    EXPECT_LT(unitHeadingOff(0), 0.2);
    EXPECT_TRUE(session->northAlignment().rotationAwaitsChecksum());
    EXPECT_FALSE(commandText().contains('"')) << "the checksum waits for the end of the session";
    EXPECT_EQ(progress.messages(), QStringList{QStringLiteral("Adjusting for North")});

    system.clearWrites();
    ASSERT_EQ(run(Op::ClearNorth), R::Done);
    EXPECT_EQ(wordsWritten(), std::vector<int>{0xB68A});
    EXPECT_LT(unitHeadingOff(350.0), 0.2);
    EXPECT_TRUE(unit->checksumValid());
    EXPECT_FALSE(session->northAlignment().rotationAwaitsChecksum());
    EXPECT_EQ(lastTitle(), QStringLiteral("North Rotation Removed."));

    for (const int address : {0xB68C, 0xB69C, 0xB6AE, 0xB68A, 0xB688}) {
        unit->setWord(address, 0x0012);
    }
    system.clearWrites();
    progress = RecordingProgressWindow(&clock);
    ASSERT_EQ(run(Op::ClearCal), R::Done);
    const std::vector<int> seven{0xB68C, 0xB69C, 0xB6AC, 0xB68E, 0xB69E, 0xB6AE, 0xB68A};
    EXPECT_EQ(wordsWritten(), seven);
    for (const int address : seven) {
        EXPECT_EQ(unit->word(address), 0) << std::hex << address;
    }
    EXPECT_EQ(unit->word(0xB688), 0x0012) << "the heading offset stays";
    EXPECT_TRUE(unit->checksumValid());
    EXPECT_EQ(progress.messages(), (QStringList{QStringLiteral("Removing User Calibrations"),
                                                QStringLiteral("Recalculating Checksum")}));
    EXPECT_EQ(lastTitle(), QStringLiteral("Magnetic Cal Removed."));
    EXPECT_EQ(system.writes().back().bytes, QByteArray("\""));
}

TEST_F(Maintenance, NothingToRemoveSendsNothingAndAnUnreadWordCountsAsError) {
    unit->setWord(0xB68A, 0);
    EXPECT_EQ(run(Op::ClearCal), R::NothingToRemove);
    EXPECT_EQ(lastTitle(), QStringLiteral("No magnetic cal to remove!"));
    EXPECT_EQ(boxes.shown().back().icon, MsgIcon::Information);
    EXPECT_EQ(run(Op::ClearNorth), R::NothingToRemove);
    EXPECT_EQ(lastTitle(), QStringLiteral("No north alignement to remove!"));
    EXPECT_FALSE(unit->writeAccess());
    EXPECT_TRUE(wordsWritten().empty());

    // Six words answer and the seventh does not: it is shown as Error and asked about.
    unit->setWord(0xB69E, 0xABCD);
    line.silentReads = {0xB68A};
    EXPECT_EQ(run(Op::ClearCal, MsgAnswer::No), R::Declined);
    const MsgBox& question = boxes.shown().back();
    EXPECT_EQ(question.icon, MsgIcon::Exclamation);
    EXPECT_EQ(question.defaultAnswer(), MsgAnswer::No);
    EXPECT_EQ(question.prompt,
              QStringLiteral("Current User Magnetic Calibration:\r\n"
                             "X Bias:  0000\tX Gain:  0000\r\nY Bias:  0000\tY Gain:  ABCD\r\n"
                             "Z Bias:  0000\tZ Gain:  0000\r\nNorth Rotation:  Error\r\n\r\n"
                             "Are you sure you want to remove the user (installation) magnetic "
                             "calibration?\r\nPressing 'Yes' will alter the EEPROM of the Corvane "
                             "unit."));
}

TEST_F(Maintenance, AUnitThatStopsAnsweringPartWayKeepsItsChecksumInStep) {
    for (const int address : {0xB68C, 0xB69C, 0xB6AC, 0xB68E, 0xB69E}) {
        unit->setWord(address, 7);
    }
    ASSERT_TRUE(link().fInit(true) && link().fWriteAccess());
    unit->setFault(Fault::SilentAfterReads, 7 + 3);  // the seven words, three verifications
    EXPECT_EQ(run(Op::ClearCal), R::NotVerified);
    EXPECT_EQ(session->clearCalibration().cleared(), 3);
    EXPECT_EQ(wordsWritten().size(), 4u);
    EXPECT_EQ(unit->word(0xB68C) | unit->word(0xB69C) | unit->word(0xB6AC), 0);
    EXPECT_EQ(unit->word(0xB69E), 7);
    EXPECT_EQ(commandText().count('"'), 1);
    EXPECT_TRUE(unit->checksumValid());
    EXPECT_EQ(lastTitle(), QStringLiteral("Error Writing to EEPROM!"));
    EXPECT_EQ(boxes.shown().back().icon, MsgIcon::Critical);
    EXPECT_FALSE(progress.processWindowVisible());
}

TEST_F(Maintenance, NoAndFailuresWriteNothingAndTellTheOperator) {
    enum class Setup { None, NoUnit, AccessRefused, AddIgnored, RotationUnread, Overflow };
    const struct {
        Op op;
        Setup setup;
        R result;
        const char* lastTitle;  // "": no box at all; nullptr: the answer No after the question
    } cases[] = {
        {Op::Align, Setup::None, R::Declined, nullptr},
        {Op::ClearCal, Setup::None, R::Declined, nullptr},
        {Op::ClearNorth, Setup::None, R::Declined, nullptr},
        {Op::Align, Setup::NoUnit, R::NoUnit, "Error With North Offset!"},
        {Op::ClearCal, Setup::NoUnit, R::NoUnit, "Error Clearing Cal Map!"},
        {Op::ClearNorth, Setup::NoUnit, R::NoUnit, "Error Clearing North Rotation!"},
        {Op::Align, Setup::AccessRefused, R::AccessRefused, "Error With North Offset!"},
        {Op::ClearCal, Setup::AccessRefused, R::AccessRefused, "Error Enabling Write Access!"},
        {Op::ClearNorth, Setup::AccessRefused, R::AccessRefused, "Error Enabling Write Access!"},
        // The unit takes no adds: the add reads back unchanged.
        {Op::Align, Setup::AddIgnored, R::NotVerified, "Error With North Offset!"},
        {Op::Align, Setup::RotationUnread, R::NotRead, ""},
        // Both rotation words near +180 and the heading near -180: the count overflows 16 bits.
        {Op::Align, Setup::Overflow, R::Failed, "Error With North Offset!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(&c - cases));
        fresh(c.setup == Setup::Overflow ? "180.1 dg" : "350.0 dg");
        line.silentReads.clear();
        line.refusedWrites.clear();
        const quint16 rotation = c.setup == Setup::Overflow ? 0x7FFF : 0x0E39;
        unit->setWord(0xB68A, rotation);
        unit->setWord(0xB688, c.setup == Setup::Overflow ? 0x7FFF : 0x0000);
        if (c.setup == Setup::NoUnit) {
            unit->setFault(Fault::NoReadAnswer);
        } else if (c.setup == Setup::AccessRefused) {
            line.refusedWrites = {0x000C};
        } else if (c.setup == Setup::AddIgnored) {
            unit->setFault(Fault::RefuseWrites);
        } else if (c.setup == Setup::RotationUnread) {
            line.silentReads = {0xB68A};
        }
        EXPECT_EQ(run(c.op, c.lastTitle == nullptr ? MsgAnswer::No : MsgAnswer::Yes), c.result);
        if (c.lastTitle == nullptr) {
            EXPECT_EQ(boxes.shown().size(), 1u);
            EXPECT_EQ(progress.opens(), 0);
        } else if (*c.lastTitle == '\0') {
            EXPECT_TRUE(boxes.shown().empty());
        } else {
            EXPECT_EQ(lastTitle(), QLatin1String(c.lastTitle));
        }
        EXPECT_FALSE(progress.processWindowVisible());
        EXPECT_TRUE(wordsWritten().empty());
        EXPECT_FALSE(commandText().contains('"'));
        EXPECT_EQ(unit->word(0xB68A), rotation);
        EXPECT_EQ(session->northAlignment().rotationAwaitsChecksum(), c.setup == Setup::AddIgnored);
    }
}

}  // namespace
}  // namespace tarquel
