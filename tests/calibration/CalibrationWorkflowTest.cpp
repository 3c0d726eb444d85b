// The calibration workflow of a session against the simulated unit on virtual time: a whole
// calibration of either family, and what each step does when the unit or the operator says no.
#include "livedata/DisplayFormat.h"
#include "support/SessionRig.h"
#include "unitlink/HexText.h"
#include "unitlink/UnitCommands.h"

namespace tarquel {
namespace {

using unitsim::Fault;
using unitsim::MapFamily;
using WriteResult = CalibrationWorkflow::WriteResult;

struct Family {
    MapFamily family;
    bool binaryBefore;  // the unit streamed binary frames before the test
};

class FullCalibration : public test::SessionRig, public ::testing::WithParamInterface<Family> {};

TEST_P(FullCalibration, BeginFourPointsEEPROMAndEndTestRemoveTheHeadingError) {
    unitsim::UnitConfig config;
    config.family = GetParam().family;
    config.physics.hardIronMg = {30, -20, 15};
    config.physics.scaleX = 1.05;
    config.physics.scaleY = 0.95;
    makeUnit(config);
    const unitsim::UnitLayout& words = unit->layout();
    const double before = worstHeadingError();
    EXPECT_GT(before, 5.0);
    link().setDataFormat(GetParam().binaryBefore ? DataFormat::Binary : DataFormat::Decimal);

    calibration().beginTest();
    ASSERT_TRUE(calibration().testRunning());
    EXPECT_EQ(unit->word(words.settingsWordA), 0x1414);
    EXPECT_EQ(unit->word(words.settingsWordB), 0xFF05);
    EXPECT_EQ(unit->channels(), QStringLiteral("3C07000000"));
    EXPECT_TRUE(views.testDisplay);
    EXPECT_EQ(views.formatCaption, QStringLiteral("Decimal"));
    EXPECT_EQ(progress.messages(), QStringList{QStringLiteral("Initializing Unit")});
    EXPECT_FALSE(progress.processWindowVisible());
    for (const CalControl control :
         {CalControl::btnInitialize, CalControl::mnuProperties, CalControl::mnuDataTerminal,
          CalControl::mnuGetEEPROM, CalControl::mnuCalMode, CalControl::btnEEPROM}) {
        EXPECT_FALSE(views.isEnabled(control)) << static_cast<int>(control);
    }
    for (const CalControl control :
         {CalControl::btnGetData, CalControl::btnAlign, CalControl::btnNewTest}) {
        EXPECT_TRUE(views.isEnabled(control)) << static_cast<int>(control);
    }

    for (int slot = 0; slot < CalSlot::Count; ++slot) {
        turnTo(90.0 * slot);
        calibration().storePoint();
        EXPECT_EQ(views.pointCaptions[static_cast<std::size_t>(slot)][0],
                  GeneralNumber(calibration().point(slot).heading));
    }
    ASSERT_TRUE(calibration().solution().has_value());
    const CalibrationResult solution = *calibration().solution();
    EXPECT_EQ(views.result.xBiasWord, solution.xBiasWord);
    EXPECT_EQ(views.focused, CalControl::btnEEPROM);
    EXPECT_TRUE(session->liveData().flags().info(InfoFlag::CollectionComplete));

    const int correctionWords[4] = {words.xBiasWord, words.yBiasWord, words.xGainWord,
                                    words.yGainWord};
    const QString added[4] = {solution.xBiasWord, solution.yBiasWord, solution.xGainWord,
                              solution.yGainWord};
    quint16 wordsBefore[4];
    QByteArray adds;
    for (int i = 0; i < 4; ++i) {
        wordsBefore[i] = unit->word(correctionWords[i]);
        adds += "#" +
                hex(correctionWords[i]).mid(words.shortAddressDigits == 2 ? 2 : 1).toLatin1() +
                added[i].toLatin1();
    }
    const std::size_t from = system.writes().size();
    boxes.queueAnswer(MsgAnswer::Yes);
    calibration().writeCalibration();
    EXPECT_EQ(calibration().lastWrite(), WriteResult::Verified);
    EXPECT_EQ(boxes.shown().back().title, QStringLiteral("Write to EEPROM?"));
    EXPECT_EQ(boxes.shown().back().defaultAnswer(), MsgAnswer::No);
    EXPECT_TRUE(written(from).contains(adds)) << written(from).constData();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(unit->word(correctionWords[i]),
                  static_cast<quint16>(wordsBefore[i] + (WordValue(added[i]) & 0xFFFF)))
            << "each word grows by the value added, modulo 65536";
    }
    EXPECT_EQ(progress.messages().mid(1), (QStringList{QStringLiteral("Retrieving current values"),
                                                       QStringLiteral("Calibrating Unit"),
                                                       QStringLiteral("Checking Calibration")}));
    EXPECT_EQ(views.focused, CalControl::btnNewTest);
    EXPECT_FALSE(views.isEnabled(CalControl::btnEEPROM));
    EXPECT_TRUE(calibration().calibrated());

    calibration().endTest();
    EXPECT_FALSE(calibration().testRunning());
    EXPECT_EQ(unit->word(words.settingsWordA), 0x0A0A);
    EXPECT_EQ(unit->word(words.settingsWordB), 0x0C05);
    EXPECT_EQ(unit->channels(), unitsim::defaultChannels(unitsim::SensorKind::Accelerometer));
    const bool binary = GetParam().binaryBefore;
    EXPECT_EQ(unit->format(),
              binary ? unitsim::OutputFormat::Binary : unitsim::OutputFormat::Decimal);
    EXPECT_EQ(views.formatCaption, binary ? QStringLiteral("Binary") : QStringLiteral("Decimal"));
    EXPECT_EQ(system.writes().back().bytes, QByteArray("\""));
    EXPECT_GE(clock.tickCount() - system.writes().back().timeMs, kChecksumWaitMs);
    EXPECT_EQ(progress.messages().back(), QStringLiteral("Recalculating Checksum"));
    EXPECT_TRUE(unit->checksumValid());
    EXPECT_FALSE(calibration().calibrated());
    EXPECT_TRUE(views.gaugeHidden);
    EXPECT_TRUE(views.isEnabled(CalControl::btnInitialize));
    EXPECT_TRUE(views.isEnabled(CalControl::mnuCalMode));
    EXPECT_LT(worstHeadingError(), 0.5);
}

INSTANTIATE_TEST_SUITE_P(BothFamilies, FullCalibration,
                         ::testing::Values(Family{MapFamily::B600, false},
                                           Family{MapFamily::F1600, true}));

// Points fed by hand to the display, on a unit that streams nothing.
class CalibrationSteps : public test::SessionRig {
protected:
    CalibrationSteps() { makeUnit(quietUnit()); }
    void show(double hx, double hy, double heading) {
        const QString texts[6] = {
            QStringLiteral("%1 mg").arg(hx), QStringLiteral("%1 mg").arg(hy),
            QStringLiteral("+400 mg"),       QStringLiteral("+00.5 dg"),
            QStringLiteral("-00.3 dg"),      QStringLiteral("%1 dg").arg(heading)};
        for (int slot = 0; slot < 6; ++slot) {
            session->liveData().display().setDataBoxCaption(slot, texts[slot]);
        }
    }
    void store(double hx, double hy, double heading) {
        show(hx, hy, heading);
        calibration().storePoint();
    }
    // Begin Test and four points for a unit whose centre lies at X +50, Y -10.
    void solve() {
        calibration().beginTest();
        ASSERT_TRUE(calibration().testRunning());
        store(300, -10, 2.5);
        store(50, -260, 88.1);
        store(-200, -10, 181);
        store(50, 240, 268.9);
        ASSERT_TRUE(calibration().solution().has_value());
    }
};

TEST_F(CalibrationSteps, ClearDataAsksForFourNewPointsAndAPointReplacesItsSectors) {
    solve();
    calibration().clearPoints();
    EXPECT_EQ(calibration().collectedMask(), 0);
    EXPECT_FALSE(calibration().solution().has_value());
    EXPECT_TRUE(views.pointCaptions[0][0].isEmpty());
    EXPECT_EQ(views.faceImage, 0);
    EXPECT_FALSE(views.isEnabled(CalControl::btnEEPROM));
    EXPECT_EQ(views.focused, CalControl::btnGetData);
    EXPECT_TRUE(session->liveData().flags().info(InfoFlag::PointVehicle));
    for (const double heading : {2.0, 355.0, 90.0, 180.0}) {
        store(100, 100, heading);
    }
    EXPECT_EQ(calibration().collectedMask(), 1 | 2 | 4);
    EXPECT_EQ(calibration().point(CalSlot::North).heading, 355.0);
    EXPECT_FALSE(calibration().solution().has_value());
}

TEST_F(CalibrationSteps, FourPointsWithoutASolutionAreReportedAndNotSolved) {
    calibration().beginTest();
    for (const double heading : {0.0, 90.0, 180.0, 270.0}) {
        store(120, -40, heading);
    }
    EXPECT_EQ(boxTitles().back(), QStringLiteral("Calibration Error!"));
    EXPECT_FALSE(calibration().solution().has_value());
    EXPECT_FALSE(views.isEnabled(CalControl::btnEEPROM));
    EXPECT_TRUE(views.isEnabled(CalControl::btnClear));
    EXPECT_TRUE(views.isEnabled(CalControl::btnGetData));
}

TEST_F(CalibrationSteps, ABeginTestThatFailsWritesNoMoreThanItMustAndKeepsTheUnitsOwnSettings) {
    const struct {
        const char* fault;
        std::set<int> silentReads, refusedWrites;
        bool noUnit;
        bool altered;
        quint16 wordA;
        QStringList boxes;
    } rows[] = {
        {"no unit", {}, {}, true, false, 0x0A0A, {}},
        {"word B unreadable", {0xB60E}, {}, false, false, 0x0A0A, {"Begin Test Failed!"}},
        {"word A refused", {}, {0xB608}, false, false, 0x0A0A, {}},
        {"word B refused", {}, {0xB60E}, false, true, 0x1414, {}},
    };
    for (const auto& row : rows) {
        newSession();
        makeUnit(quietUnit());
        unit->setFault(Fault::NoReadAnswer);
        if (!row.noUnit) {
            unit->clearFaults();
        }
        line.silentReads = row.silentReads;
        line.refusedWrites = row.refusedWrites;
        boxes.clear();
        calibration().beginTest();
        EXPECT_FALSE(calibration().testRunning()) << row.fault;
        EXPECT_EQ(calibration().settings().settingsAltered(), row.altered) << row.fault;
        EXPECT_EQ(unit->word(0xB608), row.wordA) << row.fault;
        EXPECT_EQ(boxTitles(), row.boxes) << row.fault;
        EXPECT_TRUE(views.isEnabled(CalControl::btnInitialize));
        EXPECT_FALSE(views.isEnabled(CalControl::btnGetData));
        EXPECT_EQ(views.focused, CalControl::btnInitialize);
        EXPECT_FALSE(progress.processWindowVisible());
    }
    // After the last row word A holds 1414: the next Begin Test does not take it for the unit's
    // own, and End Test puts the original back.
    line.refusedWrites.clear();
    calibration().beginTest();
    ASSERT_TRUE(calibration().testRunning());
    EXPECT_EQ(calibration().settings().savedSetting1(), QStringLiteral("0A0A"));
    calibration().endTest();
    EXPECT_EQ(unit->word(0xB608), 0x0A0A);
    EXPECT_EQ(unit->word(0xB60E), 0x0C05);
    EXPECT_FALSE(calibration().settings().settingsAltered());
}

TEST_F(CalibrationSteps, AWriteThatCannotBeVerifiedOrIsDeclinedIsNotCalibrated) {
    const struct {
        const char* fault;
        MsgAnswer answer;
        WriteResult result;
        const char* box;
        bool addsSent;
    } rows[] = {
        {"adds ignored", MsgAnswer::Yes, WriteResult::NotVerified, "Write Error!", true},
        {"word unreadable", MsgAnswer::Yes, WriteResult::NoAnswer, "Write Error!", false},
        {"declined", MsgAnswer::No, WriteResult::Declined, "Write to EEPROM?", false},
    };
    for (const auto& row : rows) {
        newSession();
        makeUnit(quietUnit());
        solve();
        if (QLatin1String(row.fault) == QLatin1String("adds ignored")) {
            unit->setFault(Fault::RefuseWrites);
        }
        line.silentReads = QLatin1String(row.fault) == QLatin1String("word unreadable")
                               ? std::set<int>{0xB69C}
                               : std::set<int>{};
        const std::size_t from = system.writes().size();
        boxes.queueAnswer(row.answer);
        calibration().writeCalibration();
        EXPECT_EQ(calibration().lastWrite(), row.result) << row.fault;
        EXPECT_EQ(boxTitles().back(), QLatin1String(row.box)) << row.fault;
        EXPECT_EQ(commandText(from).contains('#'), row.addsSent) << row.fault;
        EXPECT_TRUE(views.isEnabled(CalControl::btnEEPROM)) << row.fault;
        EXPECT_FALSE(calibration().calibrated());
        EXPECT_FALSE(progress.processWindowVisible());
    }
    EXPECT_EQ(boxes.shown()[boxes.shown().size() - 2].prompt,
              QStringLiteral("An error has occurred while writing to the EEPROM.\r\n"
                             "An unexpected change has been detected. Please exit or try again."));
}

TEST_F(CalibrationSteps, TheEndOfTheSessionDuringATestPutsTheUnitBack) {
    unit->setFormat(unitsim::OutputFormat::Binary);
    link().setDataFormat(DataFormat::Binary);
    calibration().beginTest();
    ASSERT_TRUE(calibration().testRunning());
    calibration().restoreUnit();
    EXPECT_EQ(unit->word(0xB608), 0x0A0A);
    EXPECT_EQ(unit->word(0xB60E), 0x0C05);
    EXPECT_EQ(unit->channels(), QStringLiteral("3C07000000"));
    EXPECT_EQ(unit->format(), unitsim::OutputFormat::Binary);
    EXPECT_EQ(link().dataFormat(), DataFormat::Binary);
}

}  // namespace
}  // namespace tarquel
