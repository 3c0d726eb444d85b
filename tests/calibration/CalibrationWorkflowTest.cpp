// The calibration workflow of a session against the simulated unit on virtual time: a whole
// calibration of either family, and what each step does when the unit or the operator says no.
#include "livedata/DisplayFormat.h"
#include "support/SessionRig.h"
#include "unitlink/HexText.h"
#include "unitlink/UnitCommands.h"

#include <set>
#include <tuple>

namespace tarquel {
namespace {

using unitsim::Fault;
using unitsim::MapFamily;
using WriteResult = CalibrationWorkflow::WriteResult;
using enum CalControl;

// The family, and whether the unit streamed binary frames before the test.
class FullCalibration : public test::SessionRig,
                        public ::testing::WithParamInterface<std::pair<MapFamily, bool>> {};

TEST_P(FullCalibration, BeginFourPointsEEPROMAndEndTestRemoveTheHeadingError) {
    const auto [family, binary] = GetParam();
    unitsim::UnitConfig config;
    config.family = family;
    config.physics.hardIronMg = {30, -20, 15};
    config.physics.scaleX = 1.05;
    config.physics.scaleY = 0.95;
    config.channels = QStringLiteral("3C06000000");  // not the test's own selection
    makeUnit(config);
    const unitsim::UnitLayout& words = unit->layout();
    EXPECT_GT(worstHeadingError(), 5.0);
    link().setDataFormat(binary ? DataFormat::Binary : DataFormat::Decimal);

    calibration().beginTest();
    ASSERT_TRUE(calibration().testRunning());
    EXPECT_EQ(unit->word(words.settingsWordA), 0x1414);
    EXPECT_EQ(unit->word(words.settingsWordB), 0xFF05);
    EXPECT_EQ(unit->channels(), QStringLiteral("3C07000000"));
    EXPECT_TRUE(views.testDisplay);
    EXPECT_EQ(views.formatCaption, QStringLiteral("Decimal"));
    EXPECT_EQ(progress.messages(), QStringList{QStringLiteral("Initializing Unit")});
    EXPECT_FALSE(progress.processWindowVisible());
    const std::set<CalControl> enabledNow{btnGetData, btnAlign, btnNewTest};
    for (const CalControl control : {btnInitialize, btnGetData, btnEEPROM, btnNewTest, btnAlign,
                                     mnuProperties, mnuDataTerminal, mnuGetEEPROM, mnuCalMode}) {
        EXPECT_EQ(views.isEnabled(control), enabledNow.contains(control))
            << static_cast<int>(control);
    }

    for (int slot = 0; slot < CalSlot::Count; ++slot) {
        turnTo(90.0 * slot);
        calibration().storePoint();
        EXPECT_EQ(views.pointCaptions[static_cast<std::size_t>(slot)][0],
                  GeneralNumber(calibration().point(slot).heading));
    }
    ASSERT_TRUE(calibration().solution().has_value());
    EXPECT_EQ(views.result.xBiasWord, calibration().solution()->xBiasWord);
    EXPECT_EQ(views.focused, btnEEPROM);
    EXPECT_TRUE(session->liveData().flags().info(InfoFlag::CollectionComplete));

    boxes.queueAnswer(MsgAnswer::Yes);
    calibration().writeCalibration();
    EXPECT_EQ(calibration().lastWrite(), WriteResult::Verified);
    EXPECT_EQ(boxes.shown().back().defaultAnswer(), MsgAnswer::No);
    EXPECT_EQ(progress.messages().mid(1), (QStringList{QStringLiteral("Retrieving current values"),
                                                       QStringLiteral("Calibrating Unit"),
                                                       QStringLiteral("Checking Calibration")}));
    EXPECT_EQ(views.focused, btnNewTest);
    EXPECT_FALSE(views.isEnabled(btnEEPROM));
    EXPECT_TRUE(calibration().calibrated());

    calibration().endTest();
    EXPECT_FALSE(calibration().testRunning());
    EXPECT_EQ(unit->word(words.settingsWordA), 0x0A0A);
    EXPECT_EQ(unit->word(words.settingsWordB), 0x0C05);
    EXPECT_EQ(unit->channels(), QStringLiteral("3C06000000"));
    EXPECT_EQ(unit->format(),
              binary ? unitsim::OutputFormat::Binary : unitsim::OutputFormat::Decimal);
    EXPECT_EQ(views.formatCaption, binary ? QStringLiteral("Binary") : QStringLiteral("Decimal"));
    EXPECT_TRUE(unit->checksumValid());
    EXPECT_FALSE(calibration().calibrated());
    EXPECT_TRUE(views.gaugeHidden);
    EXPECT_TRUE(views.isEnabled(btnInitialize));
    EXPECT_TRUE(views.isEnabled(mnuCalMode));
    EXPECT_LT(worstHeadingError(), 0.5);
}

INSTANTIATE_TEST_SUITE_P(BothFamilies, FullCalibration,
                         ::testing::Values(std::pair{MapFamily::B600, false},
                                           std::pair{MapFamily::F1600, true}));

// Points fed by hand to the display, on a unit that streams nothing.
class CalibrationSteps : public test::SessionRig {
protected:
    CalibrationSteps() { makeUnit(quietUnit()); }
    // Shows a point's field and heading in the data boxes and stores it.
    void store(double hx, double hy, double heading) {
        DisplayThrottle& display = session->liveData().display();
        display.setDataBoxCaption(0, QStringLiteral("%1 mg").arg(hx));
        display.setDataBoxCaption(1, QStringLiteral("%1 mg").arg(hy));
        display.setDataBoxCaption(Slot::CalcHeading, QStringLiteral("%1 dg").arg(heading));
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

TEST_F(CalibrationSteps, ClearDataAsksForNewPointsEachReplacesItsSectorAndFourMayNotSolve) {
    solve();
    calibration().clearPoints();
    EXPECT_EQ(calibration().collectedMask(), 0);
    EXPECT_FALSE(calibration().solution().has_value());
    EXPECT_TRUE(views.pointCaptions[0][0].isEmpty());
    EXPECT_EQ(views.faceImage, 0);
    EXPECT_FALSE(views.isEnabled(btnEEPROM));
    EXPECT_EQ(views.focused, btnGetData);
    EXPECT_TRUE(session->liveData().flags().info(InfoFlag::PointVehicle));
    for (const double heading : {2.0, 355.0, 90.0, 180.0}) {
        store(100, 100, heading);
    }
    EXPECT_EQ(calibration().collectedMask(), 1 | 2 | 4);
    EXPECT_EQ(calibration().point(CalSlot::North).heading, 355.0);

    store(100, 100, 270);  // four identical points
    EXPECT_EQ(boxTitles(), QStringList{QStringLiteral("Calibration Error!")});
    EXPECT_FALSE(calibration().solution().has_value());
    EXPECT_FALSE(views.isEnabled(btnEEPROM));
    EXPECT_TRUE(views.isEnabled(btnClear));
    EXPECT_TRUE(views.isEnabled(btnGetData));
}

TEST_F(CalibrationSteps, ABeginTestThatFailsWritesNoMoreThanItMustAndKeepsTheUnitsOwnSettings) {
    // The fault, the words the line does not read or write, then: altered, word A, the boxes.
    using Row = std::tuple<const char*, std::set<int>, std::set<int>, bool, quint16, QStringList>;
    const Row rows[] = {
        {"no unit", {}, {}, false, 0x0A0A, {}},
        {"word B unreadable", {0xB60E}, {}, false, 0x0A0A, {"Begin Test Failed!"}},
        {"word A refused", {}, {0xB608}, false, 0x0A0A, {}},
        // Word A was changed: it is put back at once, and the operator is told.
        {"word B refused", {}, {0xB60E}, false, 0x0A0A, {"Begin Test Failed!"}},
    };
    // A unit with a selection and format of its own, not the test's.
    unitsim::UnitConfig config = quietUnit();
    config.channels = kPendChannels;
    config.format = unitsim::OutputFormat::Binary;
    for (const auto& [fault, silentReads, refusedWrites, altered, wordA, titles] : rows) {
        newSession();
        makeUnit(config);
        link().setDataFormat(DataFormat::Binary);
        if (QLatin1String(fault) == QLatin1String("no unit")) {
            unit->setFault(Fault::NoReadAnswer);
        }
        line.silentReads = silentReads;
        line.refusedWrites = refusedWrites;
        boxes.clear();
        calibration().beginTest();
        EXPECT_FALSE(calibration().testRunning()) << fault;
        EXPECT_EQ(calibration().settings().settingsAltered(), altered) << fault;
        EXPECT_EQ(unit->word(0xB608), wordA) << fault;
        EXPECT_EQ(boxTitles(), titles) << fault;
        EXPECT_TRUE(views.isEnabled(btnInitialize));
        EXPECT_FALSE(views.isEnabled(btnGetData));
        EXPECT_EQ(views.focused, btnInitialize);
        EXPECT_FALSE(progress.processWindowVisible());
    }
    EXPECT_EQ(boxes.shown().back().prompt,
              QStringLiteral("Begin Test could not put the Corvane unit into its calibration "
                             "configuration.\r\nThe unit's settings and output channels have been "
                             "put back."));
    // The end of the session during the next test puts the unit back as it was.
    line.refusedWrites.clear();
    calibration().beginTest();
    ASSERT_TRUE(calibration().testRunning());
    EXPECT_EQ(calibration().settings().savedSetting1(), QStringLiteral("0A0A"));
    EXPECT_EQ(unit->channels(), kAccelChannels);
    EXPECT_EQ(unit->format(), unitsim::OutputFormat::Decimal);
    calibration().restoreUnit();
    EXPECT_EQ(unit->word(0xB608), 0x0A0A);
    EXPECT_EQ(unit->word(0xB60E), 0x0C05);
    EXPECT_FALSE(calibration().settings().settingsAltered());
    EXPECT_EQ(unit->channels(), kPendChannels);
    EXPECT_EQ(unit->format(), unitsim::OutputFormat::Binary);
    EXPECT_EQ(link().dataFormat(), DataFormat::Binary);
}

TEST_F(CalibrationSteps, AWriteThatCannotBeVerifiedOrIsDeclinedIsNotCalibrated) {
    // The fault, the answer to the question; the result, the last box and whether adds went out.
    for (const auto& [fault, answer, result, box, addsSent] :
         {std::tuple{"adds ignored", MsgAnswer::Yes, WriteResult::NotVerified, "Write Error!",
                     true},
          std::tuple{"word unreadable", MsgAnswer::Yes, WriteResult::NoAnswer, "Write Error!",
                     false},
          std::tuple{"declined", MsgAnswer::No, WriteResult::Declined, "Write to EEPROM?",
                     false}}) {
        newSession();
        makeUnit(quietUnit());
        solve();
        const QLatin1String name(fault);
        if (name == "adds ignored") {
            unit->setFault(Fault::RefuseWrites);
        }
        line.silentReads = name == "word unreadable" ? std::set{0xB69C} : std::set<int>{};
        const std::size_t from = system.writes().size();
        boxes.queueAnswer(answer);
        calibration().writeCalibration();
        EXPECT_EQ(calibration().lastWrite(), result) << fault;
        EXPECT_EQ(boxTitles().back(), QLatin1String(box)) << fault;
        EXPECT_EQ(commandText(from).contains('#'), addsSent) << fault;
        EXPECT_TRUE(views.isEnabled(btnEEPROM)) << fault;
        EXPECT_FALSE(calibration().calibrated());
        EXPECT_FALSE(progress.processWindowVisible());
    }
    EXPECT_EQ(boxes.shown()[boxes.shown().size() - 2].prompt,
              QStringLiteral("An error has occurred while writing to the EEPROM.\r\n"
                             "An unexpected change has been detected. Please exit or try again."));
}

TEST_F(CalibrationSteps, ASecondPressAfterAMismatchAddsOnlyWhatEachWordStillLacks) {
    solve();
    const std::array<int, 4> words = {0xB68C, 0xB69C, 0xB68E, 0xB69E};
    const CalibrationResult& result = *calibration().solution();
    const std::array<QString, 4> corrections = {result.xBiasWord, result.yBiasWord,
                                                result.xGainWord, result.yGainWord};
    std::array<int, 4> before{};
    for (std::size_t i = 0; i < 4; ++i) {
        before[i] = unit->word(words[i]);
    }
    line.dropAdd = 2;  // the Y bias add is lost: the others take
    boxes.queueAnswer(MsgAnswer::Yes);
    calibration().writeCalibration();
    ASSERT_EQ(calibration().lastWrite(), WriteResult::NotVerified);

    const std::size_t from = system.writes().size();
    boxes.queueAnswer(MsgAnswer::Yes);
    calibration().writeCalibration();
    EXPECT_EQ(calibration().lastWrite(), WriteResult::Verified);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(unit->word(words[i]), (before[i] + WordValue(corrections[i])) & 0xFFFF) << i;
    }
    // Only the word that lacked its correction was added to.
    EXPECT_EQ(commandText(from).count('#'), 1);
    EXPECT_TRUE(commandText(from).contains(QByteArray("#9C") + corrections[1].toLatin1()));
}

using BeginTestPrompt = test::SessionRig;

TEST_F(BeginTestPrompt, ReceiveEventsHandledDuringBeginTestDoNotBringThePromptBack) {
    clock.runFor(3000);
    clock.delay(100);  // frames wait in the port: identification lets them be handled
    calibration().beginTest();
    ASSERT_TRUE(calibration().testRunning());
    clock.runFor(1000);
    EXPECT_FALSE(session->liveData().flags().info(InfoFlag::PressBeginTest));
    EXPECT_FALSE(views.information.contains(QStringLiteral("Press the Begin Test")));
}

// The displayed values as the frames leave them, unrounded.
struct ShownValues : FrameObserver {
    void frameShown(const std::vector<double>& values) override { last = values; }
    std::vector<double> last;
};

class SteadyPoints : public test::SessionRig, public ::testing::WithParamInterface<double> {};

TEST_P(SteadyPoints, AValueShownWhileSteadyIsWithinTheTolerancesOfItsSettledValue) {
    unitsim::UnitConfig config;
    config.frameRate = GetParam();
    config.physics.hardIronMg = {40, -25, 0};
    makeUnit(config);
    ShownValues shown;
    session->liveData().decoder().setFrameObserver(&shown);
    const auto frameMs = static_cast<int>(1000 / GetParam()) + 1;
    for (const double heading : {0.0, 90.0, 180.0, 270.0, 0.0}) {
        const std::vector<double> before = shown.last;
        unit->setHeading(heading);
        ASSERT_TRUE(clock.runUntil([&] { return shown.last != before; }, 2000));
        EXPECT_FALSE(calibration().readingSteady()) << "just turned to " << heading;
        int waitedMs = 0;
        while (!calibration().readingSteady() && waitedMs < 60000) {
            clock.runFor(frameMs);
            waitedMs += frameMs;
        }
        ASSERT_TRUE(calibration().readingSteady()) << heading;
        const std::vector<double> atSteady = shown.last;
        clock.runFor(60000);
        ASSERT_TRUE(calibration().readingSteady());
        EXPECT_NEAR(atSteady[Slot::Hx], shown.last[Slot::Hx], 1.0) << heading;
        EXPECT_NEAR(atSteady[Slot::Hy], shown.last[Slot::Hy], 1.0) << heading;
        EXPECT_NEAR(
            std::remainder(atSteady[Slot::CalcHeading] - shown.last[Slot::CalcHeading], 360), 0,
            0.2)
            << heading;
    }
    session->liveData().decoder().setFrameObserver(nullptr);
}

INSTANTIATE_TEST_SUITE_P(FrameRates, SteadyPoints, ::testing::Values(8.0, 23.7, 75.0));

}  // namespace
}  // namespace tarquel
