#pragma once

#include "calibration/CalibrationSolution.h"
#include "calibration/CalibrationView.h"
#include "calibration/CalibrationWrite.h"
#include "calibration/EEPROMSettings.h"
#include "heading/CalModeCommands.h"
#include "livedata/LiveDataSession.h"
#include "livedata/LiveViews.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgressWindow.h"
#include "unitlink/UnitLink.h"

#include <array>
#include <optional>

namespace tarquel {

// The static four-point calibration as the operator runs it from the main window's buttons.
//
//   Idle        Begin Test enabled                             prompt 128 (set by the stream)
//   Collecting  Enter Data, North Alignment, End Test;         prompt 256
//               Clear Data after the first point
//   Solved      EEPROM (focused), Clear Data, North Alignment, prompt 512
//               End Test
//   Calibrated  End Test (focused), North Alignment            prompt 1024
//
// Begin Test saves the unit's two setting words and output channels, puts the unit into its
// calibration configuration ("1414", FF + the low byte, the calibration channels, decimal output)
// and starts the test; End Test puts everything back and has the unit recalculate its checksum.
// A setting word that cannot be read stops Begin Test before anything is written; a Begin Test
// that fails after it changed the unit puts the settings and channels back at once. Values saved by
// a test that altered the unit and has not restored it yet are kept: a later Begin Test does not
// take the altered words for the unit's own.
class CalibrationWorkflow : public TestStatus {
public:
    // How the last EEPROM write ended.
    // NoBackup: no backup of the EEPROM could be made and the change did not go ahead.
    enum class WriteResult { None, Declined, Verified, NotVerified, NoAnswer, NoBackup };
    // testState: idle, or 8 while a test runs.
    enum class TestState { Idle = 0, Running = 8 };

    // live: the displayed values that Enter Data stores, and the prompts of the information list.
    CalibrationWorkflow(UnitLink& link, const CalModeCommands& modes, LiveDataSession& live,
                        MessageBoxes& boxes, ProgressWindow& progress, CalibrationView& view);

    void setObserver(CalibrationObserver* observer) { observer_ = observer; }

    // The window's idle state: Begin Test enabled, the test controls disabled.
    void showIdle();

    void beginTest();         // Begin Test
    void storePoint();        // Enter Data: the displayed values as the point of their direction
    void clearPoints();       // Clear Data
    void writeCalibration();  // EEPROM: add the solution to the unit's words and verify
    void endTest();           // End Test

    // The unit's part of ending the session: the settings restored when a test altered them, and
    // during a test the saved channels and the binary format put back. Port errors are passed
    // over: nothing more can be done for the unit.
    void restoreUnit();

    EEPROMSettings& settings() { return settings_; }

    int collectedMask() const { return mask_; }
    const PointRecord& capturedPoint() const { return capturedPoint_; }
    const PointRecord& point(int slot) const { return points_.at(static_cast<std::size_t>(slot)); }
    // The solution shown in the result columns while the test is solved or calibrated.
    const std::optional<CalibrationResult>& solution() const { return solution_; }
    WriteResult lastWrite() const { return lastWrite_; }
    // The last EEPROM write that reached the unit in this run, verified or not.
    const std::optional<CalibrationWrite>& lastCalibrationWrite() const { return written_; }
    // The values shown have settled since the last movement: a point stored now is the point the
    // unit goes on showing.
    bool readingSteady() const { return steady_.steady(); }
    // TestStatus
    bool testRunning() const override { return testState_ == TestState::Running; }
    // EEPROM has been pressed and verified in this test.
    bool calibrated() const { return flags_.info(InfoFlag::UnitCalibrated); }

private:
    bool begin();
    // Begin Test failed after it changed the unit: the settings and channels go back at once.
    void putBackAfterFailedBegin();
    void showBeginFailed();
    void SolveCalibration();
    WriteResult addCorrections();
    void recordWrite(WriteResult result);
    void ClearData();
    void enable(std::initializer_list<CalControl> controls, bool enabled);

    UnitLink& link_;
    const CalModeCommands& modes_;
    const LiveDataView& display_;
    const SteadyReading& steady_;
    MessageFlags& flags_;
    MessageBoxes& boxes_;
    ProgressWindow& progress_;
    CalibrationView& view_;
    EEPROMSettings settings_;
    CalibrationObserver* observer_ = nullptr;

    TestState testState_ = TestState::Idle;
    int mask_ = 0;
    PointRecord capturedPoint_;
    std::array<PointRecord, CalSlot::Count> points_{};  // point0, point90, point180, point270
    std::optional<CalibrationResult> solution_;
    WriteResult lastWrite_ = WriteResult::None;
    // The calibration words before this solution's corrections were first added: a second
    // EEPROM press after a write that did not verify brings each word to this plus its
    // correction instead of adding the correction again.
    std::optional<std::array<int, 4>> wordsBeforeAdd_;
    std::optional<CalibrationWrite> written_;
    int writes_ = 0;  // EEPROM writes that sent corrections to the unit
};

}  // namespace tarquel
