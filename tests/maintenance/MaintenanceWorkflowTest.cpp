// The three maintenance operations against the simulated unit on virtual time.
#include "maintenance/NorthAlignment.h"
#include "maintenance/UserCorrectionRemoval.h"
#include "unitsim/UnitSimFixture.h"

#include <cmath>

namespace tarquel {
namespace {

using unitsim::Fault;

enum class Op { Align, ClearCal, ClearNorth };

// Passes everything on to the unit except writes of its access word, so write access stays off.
struct AccessRefusingLine : SerialPeer {
    void receive(const QByteArray& bytes, qint64 nowMs, int pcBaud) override {
        if (!bytes.startsWith(QByteArray("\x7B\x00\x0C", 3))) {
            unit->receive(bytes, nowMs, pcBaud);
        }
    }
    QByteArray transmit(qint64 nowMs, int pcBaud) override { return unit->transmit(nowMs, pcBaud); }
    SerialPeer* unit = nullptr;
};

class Maintenance : public test::UnitSimFixture {
protected:
    Maintenance() { unit->setHeading(350.0); }

    MaintenanceResult run(Op op, UnitLink* on = nullptr, MsgAnswer answer = MsgAnswer::Yes) {
        UnitLink& l = on != nullptr ? *on : link;
        boxes.queueAnswer(answer);
        if (op == Op::Align) {
            return NorthAlignment(l, boxes, progress, [] { return QStringLiteral("350.0 dg"); })
                .btnAlign_Click();
        }
        return op == Op::ClearCal ? ClearMagneticCalibration(l, boxes, progress).mnuClearCal_Click()
                                  : ClearNorthRotation(l, boxes, progress).mnuClearNorth_Click();
    }
    double unitHeadingOff(double heading) const {
        const double d = std::fmod(std::abs(unit->unitHeading() - heading), 360.0);
        return std::min(d, 360.0 - d);
    }
    // The one-byte writes equal to c, and the addresses of the memory writes but the access word's.
    int sent(char c) const {
        return static_cast<int>(
            std::count_if(system.writes().begin(), system.writes().end(),
                          [c](const auto& w) { return w.bytes == QByteArray(1, c); }));
    }
    std::vector<int> wordsWritten() const {
        std::vector<int> addresses;
        for (const auto& w : system.writes()) {
            const int address =
                w.bytes.size() == 5 && w.bytes[0] == '\x7B'
                    ? static_cast<quint8>(w.bytes[1]) * 256 + static_cast<quint8>(w.bytes[2])
                    : 0x000C;
            if (address != 0x000C) {
                addresses.push_back(address);
            }
        }
        return addresses;
    }
    QString lastTitle() const { return boxes.shown().back().title; }

    RecordingProgressWindow progress{&clock};
    AccessRefusingLine refusing;
};

TEST_F(Maintenance, AlignmentPacingThenBothRemovalsPutTheUnitBackAsShipped) {
    unit->setWord(0xB68A, 0x0E39);
    ASSERT_EQ(run(Op::Align), MaintenanceResult::Done);
    const MsgBox& question = boxes.shown().at(0);
    EXPECT_EQ(question.title, QStringLiteral("Write to North Alignment to EEPROM?"));
    EXPECT_EQ(question.buttons, MsgButtons::YesNo);
    EXPECT_EQ(question.defaultAnswer(), MsgAnswer::No);
    // "#8AEAAB" one character per write 50 ms apart; the space 50 ms after the command's own pause
    // behind its last character.
    const auto& writes = system.writes();
    auto hash = std::find_if(writes.begin(), writes.end(),
                             [](const auto& w) { return w.bytes == QByteArray("#"); });
    ASSERT_GE(writes.end() - hash, 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(hash[i].bytes, QByteArray("#8AEAAB ").mid(i, 1)) << i;
        EXPECT_EQ(i == 0 ? 0 : hash[i].timeMs - hash[i - 1].timeMs, i == 0 ? 0 : i < 7 ? 50 : 100);
    }
    EXPECT_EQ(unit->word(0xB68A), 0xF8E4);  // 3641 - 5461 = -1820
    EXPECT_LT(unitHeadingOff(0), 0.2);
    EXPECT_TRUE(state.northRotationAdded);
    EXPECT_EQ(sent('"'), 0) << "north alignment leaves the checksum to End Test";
    EXPECT_EQ(progress.messages(), QStringList{QStringLiteral("Adjusting for North")});

    system.clearWrites();
    ASSERT_EQ(run(Op::ClearNorth), MaintenanceResult::Done);
    EXPECT_EQ(wordsWritten(), std::vector<int>{0xB68A});
    EXPECT_LT(unitHeadingOff(350.0), 0.2);
    EXPECT_TRUE(unit->checksumValid());
    EXPECT_FALSE(state.northRotationAdded);
    EXPECT_EQ(lastTitle(), QStringLiteral("North Rotation Removed."));

    for (const int address : {0xB68C, 0xB69C, 0xB6AE, 0xB68A, 0xB688}) {
        unit->setWord(address, 0x0012);
    }
    system.clearWrites();
    progress = RecordingProgressWindow(&clock);
    ASSERT_EQ(run(Op::ClearCal), MaintenanceResult::Done);
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
    // The checksum character is the last byte sent, 12 s behind its own 50 ms before the end.
    ASSERT_EQ(system.writes().back().bytes, QByteArray("\""));
    EXPECT_EQ(clock.tickCount() - system.writes().back().timeMs, 12050);
}

TEST_F(Maintenance, NothingToRemoveSendsNothingAndAnUnreadWordCountsAsError) {
    ASSERT_TRUE(link.fInit(true));
    EXPECT_EQ(run(Op::ClearCal), MaintenanceResult::NothingToRemove);
    EXPECT_EQ(lastTitle(), QStringLiteral("No magnetic cal to remove!"));
    EXPECT_EQ(boxes.shown().back().icon, MsgIcon::Information);
    EXPECT_EQ(run(Op::ClearNorth), MaintenanceResult::NothingToRemove);
    EXPECT_EQ(lastTitle(), QStringLiteral("No north alignement to remove!"));
    EXPECT_FALSE(unit->writeAccess());
    EXPECT_TRUE(wordsWritten().empty());

    // Six words answer and the seventh does not: it is shown as Error and asked about.
    unit->setWord(0xB69E, 0xABCD);
    unit->setFault(Fault::SilentAfterReads, 6);
    EXPECT_EQ(run(Op::ClearCal, nullptr, MsgAnswer::No), MaintenanceResult::Declined);
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
    ASSERT_TRUE(link.fInit(true) && link.fWriteAccess());
    unit->setFault(Fault::SilentAfterReads, 7 + 3);  // the seven words, three verifications
    ClearMagneticCalibration clear(link, boxes, progress);
    boxes.queueAnswer(MsgAnswer::Yes);
    EXPECT_EQ(clear.mnuClearCal_Click(), MaintenanceResult::NotVerified);
    EXPECT_EQ(clear.cleared(), 3);
    EXPECT_EQ(wordsWritten().size(), 4u);
    EXPECT_EQ(unit->word(0xB68C) | unit->word(0xB69C) | unit->word(0xB6AC), 0);
    EXPECT_EQ(unit->word(0xB69E), 7);
    EXPECT_EQ(sent('"'), 1);
    EXPECT_TRUE(unit->checksumValid());
    EXPECT_EQ(lastTitle(), QStringLiteral("Error Writing to EEPROM!"));
    EXPECT_EQ(boxes.shown().back().icon, MsgIcon::Critical);
    EXPECT_FALSE(progress.processWindowVisible());
}

TEST_F(Maintenance, NoAndFailuresWriteNothingAndTellTheOperator) {
    enum class Setup { None, NoUnit, AccessRefused, AddIgnored };
    using R = MaintenanceResult;
    struct Case {
        Op op;
        Setup setup;
        R result;
        const char* lastTitle;  // nullptr: the answer No, only the question shown
    };
    const Case cases[] = {
        {Op::Align, Setup::None, R::Declined, nullptr},
        {Op::ClearCal, Setup::None, R::Declined, nullptr},
        {Op::ClearNorth, Setup::None, R::Declined, nullptr},
        {Op::Align, Setup::NoUnit, R::NoUnit, "Error With North Offset!"},
        {Op::ClearCal, Setup::NoUnit, R::NoUnit, "Error Clearing Cal Map!"},
        {Op::ClearNorth, Setup::NoUnit, R::NoUnit, "Error Clearing North Rotation!"},
        {Op::Align, Setup::AccessRefused, R::AccessRefused, "Error With North Offset!"},
        {Op::ClearCal, Setup::AccessRefused, R::AccessRefused, "Error Enabling Write Access!"},
        {Op::ClearNorth, Setup::AccessRefused, R::AccessRefused, "Error Enabling Write Access!"},
        // The unit takes no writes or adds: the add reads back unchanged.
        {Op::Align, Setup::AddIgnored, R::NotVerified, "Error With North Offset!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(&c - cases));
        makeUnit({});
        unit->setWord(0xB68A, 0x0E39);
        state = SharedState();
        UnitLink fresh(port, access, state);
        boxes.clear();
        system.clearWrites();
        progress = RecordingProgressWindow(&clock);
        if (c.setup == Setup::NoUnit) {
            unit->setFault(Fault::NoReadAnswer);
        } else if (c.setup == Setup::AccessRefused) {
            refusing.unit = unit.get();
            port.setPortOpen(false);
            system.removePort(1);
            system.addPort(1, &refusing);
            port.setPortOpen(true);
        } else if (c.setup == Setup::AddIgnored) {
            unit->setFault(Fault::RefuseWrites);
        }
        EXPECT_EQ(run(c.op, &fresh, c.lastTitle == nullptr ? MsgAnswer::No : MsgAnswer::Yes),
                  c.result);
        if (c.lastTitle == nullptr) {
            EXPECT_EQ(boxes.shown().size(), 1u);
            EXPECT_EQ(progress.opens(), 0);
        } else {
            EXPECT_EQ(lastTitle(), QLatin1String(c.lastTitle));
        }
        EXPECT_FALSE(progress.processWindowVisible());
        EXPECT_TRUE(wordsWritten().empty());
        EXPECT_EQ(sent('"'), 0);
        EXPECT_EQ(unit->word(0xB68A), 0x0E39);
        EXPECT_EQ(state.northRotationAdded, c.setup == Setup::AddIgnored);
    }
}

}  // namespace
}  // namespace tarquel
