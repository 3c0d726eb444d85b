// The calibration workflow against the simulated unit on virtual time: what Begin Test, Enter
// Data, EEPROM and End Test send and leave in the unit, the states of the buttons, and the faults.
#include "CalibrationFakes.h"
#include "calibration/CalibrationWorkflow.h"
#include "support/MemoryPeer.h"
#include "unitlink/UnitLinkFixture.h"
#include "unitsim/UnitSimFixture.h"

#include <gtest/gtest.h>

namespace tarquel {
namespace {

using test::FakeCalibrationView;

// The bytes sent to the unit from the given write record on, with the time of each write.
struct Sent {
    qint64 timeMs;
    QByteArray bytes;
};
std::vector<Sent> sentSince(const FakePortSystem& system, std::size_t from) {
    std::vector<Sent> sent;
    for (std::size_t i = from; i < system.writes().size(); ++i) {
        sent.push_back({system.writes()[i].timeMs, system.writes()[i].bytes});
    }
    return sent;
}
QByteArray joined(const std::vector<Sent>& sent) {
    QByteArray all;
    for (const Sent& s : sent) {
        all += s.bytes;
    }
    return all;
}

class CalibrationWorkflowTest : public test::UnitSimFixture {
protected:
    CalibrationWorkflowTest() { state.dataFormat = DataFormat::Decimal; }

    // Begin Test, then the four points as the display would show them for a unit with an X bias
    // of -50 and a Y bias of 10 (xBias -50 means the centre lies at +50).
    void collectFourPoints() {
        workflow.btnInitialize_Click();
        ASSERT_TRUE(workflow.testRunning());
        const double points[4][3] = {
            {300, -10, 2.5}, {50, -260, 88.1}, {-200, -10, 181}, {50, 240, 268.9}};
        for (const auto& p : points) {
            view.show(p[0], p[1], p[2]);
            workflow.btnGetData_Click();
        }
    }

    RecordingProgressWindow progress{&clock};
    FakeCalibrationView view;
    CalibrationWorkflow workflow{link, state, boxes, progress, view};
};

TEST_F(CalibrationWorkflowTest, BeginTestSavesTheSettingsAndPutsTheUnitInCalibrationConfiguration) {
    const std::size_t from = system.writes().size();
    workflow.btnInitialize_Click();

    EXPECT_EQ(state.testState, kTestRunning);
    EXPECT_EQ(state.savedSetting1, QStringLiteral("0A0A"));
    EXPECT_EQ(state.savedSetting2, QStringLiteral("0C05"));
    EXPECT_TRUE(state.settingsAltered);
    EXPECT_TRUE(state.channelsSaved);
    EXPECT_EQ(state.savedChannels, QStringLiteral("3C07000000"));
    EXPECT_EQ(unit->word(0xB608), 0x1414);
    EXPECT_EQ(unit->word(0xB60E), 0xFF05);

    // The writes, the channel command one character per 50 ms, then decimal output.
    const QByteArray all = joined(sentSince(system, from));
    EXPECT_TRUE(all.contains(QByteArray::fromHex("7BB6081414")));
    EXPECT_TRUE(all.contains(QByteArray::fromHex("7BB60EFF05")));
    EXPECT_TRUE(all.endsWith(">3C07000000_"));
    const std::vector<Sent> sent = sentSince(system, from);
    for (std::size_t i = sent.size() - 12; i + 1 < sent.size(); ++i) {
        EXPECT_EQ(sent[i].bytes.size(), 1);
        EXPECT_EQ(sent[i + 1].timeMs - sent[i].timeMs, 50) << i;
    }

    EXPECT_TRUE(state.messages.info(InfoFlag::PointVehicle));
    EXPECT_FALSE(state.messages.info(InfoFlag::PressBeginTest));
    for (const CalControl off :
         {CalControl::btnInitialize, CalControl::mnuProperties, CalControl::mnuDataTerminal,
          CalControl::mnuGetEEPROM, CalControl::mnuCalMode}) {
        EXPECT_FALSE(view.isEnabled(off));
    }
    for (const CalControl on :
         {CalControl::btnGetData, CalControl::btnAlign, CalControl::btnNewTest}) {
        EXPECT_TRUE(view.isEnabled(on));
    }
    EXPECT_TRUE(view.testDisplay);
    EXPECT_EQ(view.formatCaption, QStringLiteral("Decimal"));
    EXPECT_EQ(progress.messages(), QStringList{QStringLiteral("Initializing Unit")});
    EXPECT_FALSE(progress.processWindowVisible());
}

TEST_F(CalibrationWorkflowTest, FourPointsSolveAndEEPROMAddsTheWordsAndVerifiesThem) {
    collectFourPoints();
    EXPECT_EQ(workflow.collectedMask(), CalSlot::AllCollected);
    EXPECT_EQ(view.pointCaptions[1],
              (std::array<QString, 3>{QStringLiteral("88.1"), QStringLiteral("50"),
                                      QStringLiteral("-260")}));
    ASSERT_TRUE(workflow.solution().has_value());
    EXPECT_EQ(view.result.xBiasWord, QStringLiteral("FDDD"));
    EXPECT_EQ(view.result.yBiasWord, QStringLiteral("006D"));
    EXPECT_EQ(view.faceImage, 2);
    EXPECT_TRUE(view.isEnabled(CalControl::btnEEPROM));
    EXPECT_FALSE(view.isEnabled(CalControl::btnGetData));
    EXPECT_EQ(view.focused, CalControl::btnEEPROM);
    EXPECT_TRUE(state.messages.info(InfoFlag::CollectionComplete));
    EXPECT_FALSE(state.messages.info(InfoFlag::PointVehicle));

    unit->setWord(0xB68C, 0x0010);
    unit->setWord(0xB69C, 0xFFF0);
    const std::size_t from = system.writes().size();
    boxes.queueAnswer(MsgAnswer::Yes);
    workflow.btnEEPROM_Click();

    EXPECT_EQ(workflow.lastWrite(), CalibrationWorkflow::WriteResult::Verified);
    EXPECT_EQ(boxes.shown().back().title, QStringLiteral("Write to EEPROM?"));
    EXPECT_EQ(boxes.shown().back().defaultAnswer(), MsgAnswer::No);
    EXPECT_EQ(unit->word(0xB68C), (0x0010 + 0xFDDD) & 0xFFFF);
    EXPECT_EQ(unit->word(0xB69C), (0xFFF0 + 0x006D) & 0xFFFF);  // wraps round modulo 65536
    EXPECT_EQ(progress.messages().mid(1), (QStringList{QStringLiteral("Retrieving current values"),
                                                       QStringLiteral("Calibrating Unit"),
                                                       QStringLiteral("Checking Calibration")}));

    // The four add commands, seven characters each, one every 50 ms with nothing in between.
    const std::vector<Sent> sent = sentSince(system, from);
    QByteArray commands;
    std::vector<qint64> times;
    for (const Sent& s : sent) {
        if (s.bytes.size() == 1 && (s.bytes[0] == '#' || !commands.isEmpty()) &&
            commands.size() < 28) {
            commands += s.bytes;
            times.push_back(s.timeMs);
        }
    }
    EXPECT_EQ(commands, QByteArray("#8CFDDD#9C006D#8E0000#9E0000"));
    for (std::size_t i = 1; i < times.size(); ++i) {
        EXPECT_EQ(times[i] - times[i - 1], 50) << i;
    }

    EXPECT_FALSE(view.isEnabled(CalControl::btnEEPROM));
    EXPECT_FALSE(view.isEnabled(CalControl::btnClear));
    EXPECT_EQ(view.focused, CalControl::btnNewTest);
    EXPECT_TRUE(state.messages.info(InfoFlag::UnitCalibrated));
}

TEST_F(CalibrationWorkflowTest, The1600FamilyAddsWithThreeDigitAddresses) {
    unitsim::UnitConfig config;
    config.family = unitsim::MapFamily::F1600;
    makeUnit(config);
    collectFourPoints();
    const std::size_t from = system.writes().size();
    boxes.queueAnswer(MsgAnswer::Yes);
    workflow.btnEEPROM_Click();
    EXPECT_EQ(workflow.lastWrite(), CalibrationWorkflow::WriteResult::Verified);
    EXPECT_TRUE(joined(sentSince(system, from)).contains("#6B0FBBB#6B400DA#6B20000#6B60000"));
    EXPECT_EQ(unit->word(0x16B0), 0xFBBB);
}

TEST_F(CalibrationWorkflowTest, EndTestRestoresEverythingThenWaitsForTheChecksum) {
    state.dataFormat = DataFormat::Binary;  // the unit was in binary output before the test
    collectFourPoints();
    boxes.queueAnswer(MsgAnswer::Yes);
    workflow.btnEEPROM_Click();
    const std::size_t from = system.writes().size();
    workflow.btnNewTest_Click();

    EXPECT_EQ(state.testState, 0);
    EXPECT_FALSE(state.settingsAltered);
    EXPECT_EQ(unit->word(0xB608), 0x0A0A);
    EXPECT_EQ(unit->word(0xB60E), 0x0C05);
    EXPECT_EQ(state.dataFormat, DataFormat::Binary);
    EXPECT_EQ(view.formatCaption, QStringLiteral("Binary"));
    EXPECT_FALSE(state.messages.info(InfoFlag::UnitCalibrated));
    EXPECT_FALSE(state.messages.info(InfoFlag::PointVehicle));
    EXPECT_TRUE(view.gaugeHidden);
    EXPECT_FALSE(view.testDisplay);
    EXPECT_TRUE(view.isEnabled(CalControl::btnInitialize));
    EXPECT_FALSE(view.isEnabled(CalControl::btnNewTest));
    EXPECT_TRUE(view.isEnabled(CalControl::mnuCalMode));

    // Saved channels, binary output, then the checksum command and 12 s without traffic.
    const std::vector<Sent> sent = sentSince(system, from);
    EXPECT_TRUE(joined(sent).endsWith(">3C07000000^\""));
    EXPECT_EQ(sent.back().bytes, QByteArray("\""));
    EXPECT_GE(clock.tickCount() - sent.back().timeMs, 12000);
    EXPECT_EQ(progress.messages().back(), QStringLiteral("Recalculating Checksum"));
    EXPECT_TRUE(unit->checksumValid());
}

TEST_F(CalibrationWorkflowTest, ClearDataAsksForFourNewPoints) {
    collectFourPoints();
    workflow.btnClear_Click();
    EXPECT_EQ(workflow.collectedMask(), 0);
    EXPECT_FALSE(workflow.solution().has_value());
    EXPECT_TRUE(view.pointCaptions[0][0].isEmpty());
    EXPECT_TRUE(view.result.xBiasWord.isEmpty());
    EXPECT_EQ(view.faceImage, 0);
    EXPECT_FALSE(view.isEnabled(CalControl::btnEEPROM));
    EXPECT_EQ(view.focused, CalControl::btnGetData);
    EXPECT_TRUE(state.messages.info(InfoFlag::PointVehicle));
    // Three new points in the same sectors do not solve; a point replaces its sector's.
    for (const double heading : {2.0, 355.0, 90.0, 180.0}) {
        view.show(100, 100, heading);
        workflow.btnGetData_Click();
    }
    EXPECT_EQ(workflow.collectedMask(), 1 | 2 | 4);
    EXPECT_EQ(workflow.point(CalSlot::North).heading, 355.0);
    EXPECT_FALSE(workflow.solution().has_value());
}

TEST_F(CalibrationWorkflowTest, APointSetWithoutSolutionIsReportedAndNotSolved) {
    workflow.btnInitialize_Click();
    for (const double heading : {0.0, 90.0, 180.0, 270.0}) {
        view.show(120, -40, heading);
        workflow.btnGetData_Click();
    }
    ASSERT_FALSE(boxes.shown().empty());
    EXPECT_EQ(boxes.shown().back().title, QStringLiteral("Calibration Error!"));
    EXPECT_EQ(boxes.shown().back().prompt,
              QStringLiteral("The X and Y ranges are zero: the four points are identical."));
    EXPECT_FALSE(workflow.solution().has_value());
    EXPECT_FALSE(view.isEnabled(CalControl::btnEEPROM));
    EXPECT_TRUE(view.isEnabled(CalControl::btnClear));
    EXPECT_TRUE(view.isEnabled(CalControl::btnGetData));
}

TEST_F(CalibrationWorkflowTest, NoAnswerAtBeginTestWritesNothing) {
    unit->setFault(unitsim::Fault::NoReadAnswer);
    const std::size_t from = system.writes().size();
    workflow.btnInitialize_Click();
    EXPECT_EQ(state.testState, 0);
    EXPECT_FALSE(state.settingsAltered);
    for (const Sent& s : sentSince(system, from)) {
        EXPECT_NE(s.bytes.at(0), '\x7B') << "a write was sent";
    }
    EXPECT_TRUE(view.isEnabled(CalControl::btnInitialize));
    EXPECT_FALSE(view.isEnabled(CalControl::btnGetData));
    EXPECT_EQ(view.focused, CalControl::btnInitialize);
    EXPECT_FALSE(progress.processWindowVisible());
}

TEST_F(CalibrationWorkflowTest, UnloadDuringATestPutsTheUnitBack) {
    state.dataFormat = DataFormat::Binary;
    workflow.btnInitialize_Click();
    const std::size_t from = system.writes().size();
    workflow.restoreOnUnload();
    EXPECT_EQ(unit->word(0xB608), 0x0A0A);
    EXPECT_EQ(unit->word(0xB60E), 0x0C05);
    EXPECT_TRUE(joined(sentSince(system, from)).endsWith(">3C07000000^"));
    EXPECT_EQ(state.dataFormat, DataFormat::Binary);
}

// Faults that need a unit that refuses particular words.
class CalibrationFaultTest : public test::UnitLinkFixture {
protected:
    CalibrationFaultTest() {
        makeB600Unit();
        unit.setWord(0xB608, 0x0A0A);
        unit.setWord(0xB60E, 0x0C05);
        port.setPortOpen(true);
        state.dataFormat = DataFormat::Decimal;
    }
    void solve() {
        workflow.btnInitialize_Click();
        ASSERT_TRUE(workflow.testRunning());
        const double points[4][3] = {{300, 0, 0}, {0, -260, 90}, {-200, 0, 180}, {0, 240, 270}};
        for (const auto& p : points) {
            view.show(p[0], p[1], p[2]);
            workflow.btnGetData_Click();
        }
        ASSERT_TRUE(workflow.solution().has_value());
    }
    RecordingProgressWindow progress{&clock};
    FakeCalibrationView view;
    CalibrationWorkflow workflow{link, state, boxes, progress, view};
};

TEST_F(CalibrationFaultTest, ARefusedWriteEndsBeginTestAndKeepsTheUnitsOwnSettings) {
    // Step 7 refused: nothing altered.
    unit.acceptsWrite = [](int address) { return address != 0xB608; };
    workflow.btnInitialize_Click();
    EXPECT_EQ(state.testState, 0);
    EXPECT_FALSE(state.settingsAltered);

    // Step 9 refused: word A is altered, and stays recorded as altered.
    unit.acceptsWrite = [](int address) { return address != 0xB60E; };
    workflow.btnInitialize_Click();
    EXPECT_EQ(state.testState, 0);
    EXPECT_TRUE(state.settingsAltered);
    EXPECT_EQ(unit.word(0xB608), 0x1414);

    // The next Begin Test does not take the altered word for the unit's own: End Test puts the
    // original back.
    unit.acceptsWrite = [](int) { return true; };
    workflow.btnInitialize_Click();
    ASSERT_EQ(state.testState, kTestRunning);
    EXPECT_EQ(state.savedSetting1, QStringLiteral("0A0A"));
    workflow.btnNewTest_Click();
    EXPECT_EQ(unit.word(0xB608), 0x0A0A);
    EXPECT_EQ(unit.word(0xB60E), 0x0C05);
    EXPECT_FALSE(state.settingsAltered);
}

TEST_F(CalibrationFaultTest, SettingsThatCannotBeReadStopBeginTestBeforeAnyWrite) {
    unit.answers = [](int address) { return address != 0xB60E; };
    workflow.btnInitialize_Click();
    EXPECT_EQ(state.testState, 0);
    EXPECT_FALSE(state.settingsAltered);
    EXPECT_EQ(unit.word(0xB608), 0x0A0A);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Begin Test Failed!"));
    EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.shown()[0].prompt,
              QStringLiteral("The EEPROM settings of the Corvane unit could not be read.\r\n"
                             "Nothing has been changed. Please check the connections and try "
                             "again."));
}

TEST_F(CalibrationFaultTest, WordsThatDoNotGrowByTheValueAddedAreAWriteError) {
    solve();
    // This unit ignores add commands: every word reads as before.
    boxes.queueAnswer(MsgAnswer::Yes);
    workflow.btnEEPROM_Click();
    EXPECT_EQ(workflow.lastWrite(), CalibrationWorkflow::WriteResult::NotVerified);
    EXPECT_EQ(boxes.shown().back().title, QStringLiteral("Write Error!"));
    EXPECT_EQ(boxes.shown().back().prompt,
              QStringLiteral("An error has occurred while writing to the EEPROM.\r\n"
                             "An unexpected change has been detected. Please exit or try again."));
    EXPECT_TRUE(view.isEnabled(CalControl::btnEEPROM));
    EXPECT_FALSE(state.messages.info(InfoFlag::UnitCalibrated));
    EXPECT_FALSE(progress.processWindowVisible());
}

TEST_F(CalibrationFaultTest, AWordThatCannotBeReadStopsTheWriteBeforeAnyAdd) {
    solve();
    unit.answers = [](int address) { return address != 0xB69C; };
    const QByteArray before = unit.commandText();
    boxes.queueAnswer(MsgAnswer::Yes);
    workflow.btnEEPROM_Click();
    EXPECT_EQ(workflow.lastWrite(), CalibrationWorkflow::WriteResult::NoAnswer);
    EXPECT_EQ(boxes.shown().back().title, QStringLiteral("Write Error!"));
    EXPECT_FALSE(unit.commandText().mid(before.size()).contains('#'));

    // No at the question sends nothing at all.
    const std::size_t writes = system.writes().size();
    boxes.queueAnswer(MsgAnswer::No);
    workflow.btnEEPROM_Click();
    EXPECT_EQ(workflow.lastWrite(), CalibrationWorkflow::WriteResult::Declined);
    EXPECT_EQ(system.writes().size(), writes);
}

}  // namespace
}  // namespace tarquel
