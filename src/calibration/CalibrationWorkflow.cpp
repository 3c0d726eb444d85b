#include "calibration/CalibrationWorkflow.h"

#include "livedata/DisplayFormat.h"
#include "platform/Errors.h"
#include "unitlink/HexText.h"
#include "unitlink/UnitCommands.h"

namespace tarquel {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

MsgBox writeErrorBox() {
    return {QStringLiteral("An error has occurred while writing to the EEPROM.") + kCrLf +
                QStringLiteral("An unexpected change has been detected. Please exit or try again."),
            QStringLiteral("Write Error!"), MsgIcon::Critical, MsgButtons::OK};
}

}  // namespace

CalibrationWorkflow::CalibrationWorkflow(UnitLink& link, SharedState& state, MessageBoxes& boxes,
                                         ProgressWindow& progress, CalibrationView& view)
    : link_(link),
      state_(state),
      boxes_(boxes),
      progress_(progress),
      view_(view),
      settings_(link, state, boxes, progress) {}

void CalibrationWorkflow::enable(std::initializer_list<CalControl> controls, bool enabled) {
    for (const CalControl control : controls) {
        view_.setControlEnabled(control, enabled);
    }
}

void CalibrationWorkflow::showIdle() {
    enable({CalControl::btnInitialize}, true);
    enable({CalControl::btnGetData, CalControl::btnClear, CalControl::btnEEPROM,
            CalControl::btnNewTest, CalControl::btnAlign},
           false);
}

// Begin Test ----------------------------------------------------------------------------------

void CalibrationWorkflow::btnInitialize_Click() {
    progress_.OpenProcessWindow(QStringLiteral("Initializing Unit"));
    state_.messages.ClearInfoMessage(InfoFlag::PressBeginTest);
    bool begun = false;
    try {
        begun = beginTest();
    } catch (const RuntimeError&) {
        begun = false;
    }
    if (!begun) {
        beginTestFailed();
    }
}

bool CalibrationWorkflow::beginTest() {
    if (!link_.fInit(true)) {
        return false;
    }
    if (!state_.channelsSaved) {
        QString selection;
        if (!link_.fGetChannels(selection)) {
            return false;
        }
        state_.savedChannels = selection;
        state_.channelsSaved = true;
        state_.savedFormat = state_.dataFormat;
    }
    link_.fWriteAccess();

    const UnitAddresses& addresses = link_.unitAddresses();
    // While an earlier test's changes are still in the unit, the words saved then are the unit's
    // own; reading them again would save the calibration configuration instead.
    if (!state_.settingsAltered) {
        const QString setting1 = link_.fReadFromUnit(addresses.settingsWordA);
        const QString setting2 = link_.fReadFromUnit(addresses.settingsWordB);
        if (setting1 == kReadError || setting2 == kReadError) {
            progress_.CloseProcessWindow();
            boxes_.show({QStringLiteral("The EEPROM settings of the Corvane unit could not be "
                                        "read.") +
                             kCrLf +
                             QStringLiteral("Nothing has been changed. Please check the "
                                            "connections and try again."),
                         QStringLiteral("Begin Test Failed!"), MsgIcon::Critical, MsgButtons::OK});
            return false;
        }
        state_.savedSetting1 = setting1;
        state_.savedSetting2 = setting2;
    }
    bool aAcceptable = false;
    bool bAcceptable = false;
    settings_.fCheckEEPROMValues(state_.savedSetting1, aAcceptable, state_.savedSetting2,
                                 bAcceptable, true);

    if (!link_.fWriteToUnit(addresses.settingsWordA, QStringLiteral("1414"))) {
        return false;
    }
    state_.settingsAltered = true;
    if (!link_.fWriteToUnit(addresses.settingsWordB,
                            QStringLiteral("FF") + state_.savedSetting2.mid(2, 2))) {
        return false;
    }
    if (!link_.fSetChannels(false)) {
        return false;
    }

    link_.SendCommandText(UnitCommand::DecimalOutput);
    view_.setFormatCaption(QStringLiteral("Decimal"));
    state_.messages.SetInfoMessage(InfoFlag::PointVehicle);
    enable({CalControl::mnuProperties, CalControl::mnuDataTerminal, CalControl::mnuGetEEPROM,
            CalControl::mnuCalMode, CalControl::btnInitialize},
           false);
    view_.setTestDisplay(true);
    enable({CalControl::btnAlign, CalControl::btnNewTest, CalControl::btnGetData}, true);
    state_.testState = kTestRunning;
    lastWrite_ = WriteResult::None;
    progress_.CloseProcessWindow();
    if (observer_ != nullptr) {
        observer_->testRunning(true);
    }
    return true;
}

void CalibrationWorkflow::beginTestFailed() {
    enable({CalControl::mnuProperties, CalControl::mnuDataTerminal, CalControl::mnuGetEEPROM,
            CalControl::btnInitialize},
           true);
    enable({CalControl::btnNewTest, CalControl::btnAlign, CalControl::btnGetData}, false);
    view_.focusControl(CalControl::btnInitialize);
    state_.testState = 0;
    progress_.CloseProcessWindow();
}

// Enter Data and the solution -----------------------------------------------------------------

void CalibrationWorkflow::btnGetData_Click() {
    // The displayed, rounded values: whole field units, angles to 0.1 degree.
    const auto shown = [this](int slot) { return LeadingNumber(view_.dataBoxCaption(slot)); };
    capturedPoint_ = {shown(0), shown(1), shown(2), shown(3), shown(4), shown(5)};
    enable({CalControl::btnClear}, true);

    const int slot = SlotForHeading(capturedPoint_.heading);
    mask_ |= SlotBit(slot);
    points_[static_cast<std::size_t>(slot)] = capturedPoint_;
    view_.setPointCaptions(slot, GeneralNumber(capturedPoint_.heading),
                           GeneralNumber(capturedPoint_.Hx), GeneralNumber(capturedPoint_.Hy));
    if (observer_ != nullptr) {
        observer_->pointStored(slot, capturedPoint_);
    }
    SolveCalibration();
}

void CalibrationWorkflow::SolveCalibration() {
    if (mask_ != CalSlot::AllCollected) {
        return;
    }
    const SolveOutcome outcome = SolveBiasAndGain(points_, link_.unitAddresses().is1600Family);
    if (!outcome.solved) {
        // Nothing that could be written: the operator stores the points again or clears them.
        boxes_.show({outcome.cause, QStringLiteral("Calibration Error!"), MsgIcon::Exclamation,
                     MsgButtons::OK});
        return;
    }
    solution_ = outcome.result;
    view_.showResult(outcome.result, outcome.result.faceImage);
    enable({CalControl::btnGetData}, false);
    enable({CalControl::btnEEPROM}, true);
    view_.focusControl(CalControl::btnEEPROM);
    state_.messages.ClearInfoMessage(InfoFlag::PointVehicle);
    state_.messages.SetInfoMessage(InfoFlag::CollectionComplete);
    if (observer_ != nullptr) {
        observer_->solved(outcome.result);
    }
}

// Clear Data ----------------------------------------------------------------------------------

void CalibrationWorkflow::btnClear_Click() {
    ClearData();
}

void CalibrationWorkflow::ClearData() {
    for (int slot = 0; slot < CalSlot::Count; ++slot) {
        view_.setPointCaptions(slot, QString(), QString(), QString());
    }
    view_.showResult(CalibrationResult{}, 0);
    enable({CalControl::btnEEPROM}, false);
    enable({CalControl::btnGetData}, true);
    view_.focusControl(CalControl::btnGetData);
    enable({CalControl::btnInitialize}, false);
    state_.messages.SetInfoMessage(InfoFlag::PointVehicle);
    state_.messages.ClearInfoMessage(InfoFlag::CollectionComplete);
    mask_ = 0;
    solution_.reset();
    if (observer_ != nullptr) {
        observer_->pointsCleared();
    }
}

// EEPROM --------------------------------------------------------------------------------------

void CalibrationWorkflow::btnEEPROM_Click() {
    if (!solution_) {
        return;
    }
    const MsgAnswer answer = boxes_.show(
        {QStringLiteral("Are you sure you want to write these values to EEPROM?"),
         QStringLiteral("Write to EEPROM?"), MsgIcon::Exclamation, MsgButtons::YesNo, 1});
    if (answer != MsgAnswer::Yes) {
        lastWrite_ = WriteResult::Declined;
        return;
    }
    progress_.OpenProcessWindow(QStringLiteral("Retrieving current values"));
    try {
        lastWrite_ = writeEEPROM();
    } catch (const RuntimeError&) {
        lastWrite_ = WriteResult::NoAnswer;
    }
    if (progress_.processWindowVisible()) {
        progress_.CloseProcessWindow();
    }
}

CalibrationWorkflow::WriteResult CalibrationWorkflow::writeEEPROM() {
    if (!link_.fWriteAccess() || !link_.fInit(false)) {
        return WriteResult::NoAnswer;
    }
    const UnitAddresses& addresses = link_.unitAddresses();
    const CalibrationResult& result = *solution_;
    const std::array<QString, 4> words = {addresses.xBiasWord, addresses.yBiasWord,
                                          addresses.xGainWord, addresses.yGainWord};
    const std::array<QString, 4> added = {result.xBiasWord, result.yBiasWord, result.xGainWord,
                                          result.yGainWord};

    // The words as they are now; a word that cannot be read stops before anything is added.
    std::array<int, 4> before{};
    for (std::size_t i = 0; i < words.size(); ++i) {
        const QString text = link_.fReadFromUnit(words[i]);
        if (text == kReadError) {
            boxes_.show(writeErrorBox());
            return WriteResult::NoAnswer;
        }
        before[i] = WordValue(text);
    }

    progress_.ChangeProcessText(QStringLiteral("Calibrating Unit"));
    for (std::size_t i = 0; i < words.size(); ++i) {
        const QString shortAddress = addresses.isB600Family ? words[i].mid(2) : words[i].mid(1);
        link_.SendCommandText(UnitCommand::AddToWord + shortAddress + added[i]);
    }

    progress_.ChangeProcessText(QStringLiteral("Checking Calibration"));
    std::array<QString, 4> after;
    for (std::size_t i = 0; i < words.size(); ++i) {
        after[i] = link_.fReadFromUnit(words[i]);
    }
    // Each word must have grown by exactly the value added, modulo 65536 as the unit adds.
    for (std::size_t i = 0; i < words.size(); ++i) {
        bool grewByAdded = false;
        if (after[i] != kReadError) {
            int difference = (WordValue(after[i]) - before[i]) & 0xFFFF;
            if (difference > 32767) {
                difference -= 65536;
            }
            grewByAdded = HexWord(static_cast<float>(difference)) == added[i];
        }
        if (!grewByAdded) {
            boxes_.show(writeErrorBox());
            return WriteResult::NotVerified;
        }
    }

    enable({CalControl::btnEEPROM, CalControl::btnClear}, false);
    enable({CalControl::btnNewTest}, true);
    view_.focusControl(CalControl::btnNewTest);
    state_.messages.ClearInfoMessage(InfoFlag::CollectionComplete);
    state_.messages.SetInfoMessage(InfoFlag::UnitCalibrated);
    return WriteResult::Verified;
}

// End Test ------------------------------------------------------------------------------------

void CalibrationWorkflow::btnNewTest_Click() {
    ClearData();
    enable({CalControl::btnGetData, CalControl::btnNewTest, CalControl::btnAlign,
            CalControl::btnClear},
           false);
    view_.setTestDisplay(false);
    view_.hideGauge();
    enable({CalControl::btnInitialize}, true);
    view_.focusControl(CalControl::btnInitialize);
    enable({CalControl::mnuDataTerminal, CalControl::mnuProperties, CalControl::mnuGetEEPROM,
            CalControl::mnuCalMode},
           true);
    state_.testState = 0;
    if (observer_ != nullptr) {
        observer_->testRunning(false);
    }

    const bool restored = settings_.RestoreSettings();
    link_.fSetChannels(true);
    if (state_.savedFormat == DataFormat::Binary) {
        try {
            link_.SendCommandText(UnitCommand::BinaryOutput);
        } catch (const RuntimeError&) {
        }
        state_.dataFormat = DataFormat::Binary;
        view_.setFormatCaption(QStringLiteral("Binary"));
    }
    if (restored) {
        state_.settingsAltered = false;
    }
    state_.messages.ClearInfoMessage(InfoFlag::CollectionComplete);
    state_.messages.ClearInfoMessage(InfoFlag::UnitCalibrated);
    state_.messages.ClearInfoMessage(InfoFlag::PointVehicle);

    progress_.OpenProcessWindow(QStringLiteral("Recalculating Checksum"));
    try {
        link_.RecalculateChecksum();
    } catch (const RuntimeError&) {
    }
    progress_.CloseProcessWindow();
}

void CalibrationWorkflow::restoreOnUnload() {
    try {
        if (state_.settingsAltered) {
            settings_.RestoreSettings();
        }
        if (state_.testState != 0) {
            link_.fWriteAccess();
            link_.fSetChannels(true);
            if (state_.savedFormat == DataFormat::Binary) {
                link_.SendCommandText(UnitCommand::BinaryOutput);
                state_.dataFormat = DataFormat::Binary;
            }
        }
    } catch (const RuntimeError&) {
        // The program is ending either way; nothing more can be done for the unit.
    }
}

}  // namespace tarquel
