#include "calibration/CalibrationWorkflow.h"

#include "livedata/DisplayFormat.h"
#include "platform/Errors.h"
#include "unitlink/EEPROMChanges.h"
#include "unitlink/HexText.h"
#include "unitlink/UnitCommands.h"

namespace tarquel {

namespace {

MsgBox writeErrorBox() {
    return okBox({QStringLiteral("An error has occurred while writing to the EEPROM."),
                  QStringLiteral("An unexpected change has been detected. Please exit or try "
                                 "again.")},
                 QStringLiteral("Write Error!"), MsgIcon::Critical);
}

}  // namespace

CalibrationWorkflow::CalibrationWorkflow(UnitLink& link, const CalModeCommands& modes,
                                         LiveDataSession& live, MessageBoxes& boxes,
                                         ProgressWindow& progress, CalibrationView& view)
    : link_(link),
      modes_(modes),
      display_(live.display()),
      steady_(live.decoder().steadyReading()),
      flags_(live.flags()),
      boxes_(boxes),
      progress_(progress),
      view_(view),
      settings_(link, boxes, progress) {}

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

void CalibrationWorkflow::beginTest() {
    progress_.OpenProcessWindow(QStringLiteral("Initializing Unit"));
    bool begun = false;
    try {
        begun = begin();
    } catch (const RuntimeError&) {
        begun = false;
    }
    if (!begun) {
        showBeginFailed();
    }
}

bool CalibrationWorkflow::begin() {
    if (!link_.fInit(true) || !link_.recordChannels()) {
        return false;
    }
    link_.fWriteAccess();

    const UnitAddresses& addresses = link_.unitAddresses();
    // While an earlier test's changes are still in the unit, the words saved then are the unit's
    // own; reading them again would save the calibration configuration instead.
    if (!settings_.settingsAltered()) {
        const QString setting1 = link_.fReadFromUnit(addresses.settingsWordA);
        const QString setting2 = link_.fReadFromUnit(addresses.settingsWordB);
        if (setting1 == kReadError || setting2 == kReadError) {
            progress_.CloseProcessWindow();
            boxes_.show(okBox({QStringLiteral("The EEPROM settings of the Corvane unit could not "
                                              "be read."),
                               QStringLiteral("Nothing has been changed. Please check the "
                                              "connections and try again.")},
                              QStringLiteral("Begin Test Failed!"), MsgIcon::Critical));
            return false;
        }
        settings_.saveSettings(setting1, setting2);
    }
    bool aAcceptable = false;
    bool bAcceptable = false;
    settings_.fCheckEEPROMValues(settings_.savedSetting1(), aAcceptable, settings_.savedSetting2(),
                                 bAcceptable, true);

    if (!link_.beforeChange(QStringLiteral("begin-test"), QStringLiteral("Initializing Unit"))) {
        return false;
    }
    if (!link_.fWriteToUnit(addresses.settingsWordA, QStringLiteral("1414"))) {
        return false;
    }
    settings_.setSettingsAltered(true);
    if (!link_.fWriteToUnit(addresses.settingsWordB,
                            QStringLiteral("FF") + settings_.savedSetting2().mid(2, 2)) ||
        !link_.fSetChannels(calibrationChannelsFor(modes_.calMode()))) {
        putBackAfterFailedBegin();
        return false;
    }

    link_.SendCommandText(UnitCommand::DecimalOutput);
    view_.setFormatCaption(QStringLiteral("Decimal"));
    flags_.SetInfoMessage(InfoFlag::PointVehicle);
    enable({CalControl::mnuProperties, CalControl::mnuDataTerminal, CalControl::mnuGetEEPROM,
            CalControl::mnuCalMode, CalControl::btnInitialize},
           false);
    view_.setTestDisplay(true);
    enable({CalControl::btnAlign, CalControl::btnNewTest, CalControl::btnGetData}, true);
    testState_ = TestState::Running;
    // Cleared only now: receive events handled in the boxes and waits above, while no test ran
    // yet, set the prompt again.
    flags_.ClearInfoMessage(InfoFlag::PressBeginTest);
    lastWrite_ = WriteResult::None;
    progress_.CloseProcessWindow();
    if (observer_ != nullptr) {
        observer_->testRunning(true);
    }
    return true;
}

void CalibrationWorkflow::putBackAfterFailedBegin() {
    const bool restored = settings_.RestoreSettings();
    const bool channelsBack = link_.restoreChannels();
    closeIfVisible(progress_);
    boxes_.show(okBox(
        {QStringLiteral("Begin Test could not put the Corvane unit into its calibration "
                        "configuration."),
         restored && channelsBack
             ? QStringLiteral("The unit's settings and output channels have been put back.")
             : QStringLiteral("The unit's settings could not all be put back. Please check the "
                              "connections and press Begin Test again, or close the program to "
                              "restore them.")},
        QStringLiteral("Begin Test Failed!"), MsgIcon::Critical));
}

void CalibrationWorkflow::showBeginFailed() {
    enable({CalControl::mnuProperties, CalControl::mnuDataTerminal, CalControl::mnuGetEEPROM,
            CalControl::btnInitialize},
           true);
    enable({CalControl::btnNewTest, CalControl::btnAlign, CalControl::btnGetData}, false);
    view_.focusControl(CalControl::btnInitialize);
    testState_ = TestState::Idle;
    progress_.CloseProcessWindow();
}

// Enter Data and the solution -----------------------------------------------------------------

void CalibrationWorkflow::storePoint() {
    // The displayed, rounded values: whole field units, angles to 0.1 degree.
    const auto shown = [this](int slot) { return LeadingNumber(display_.dataBoxCaption(slot)); };
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
    flags_.ClearInfoMessage(InfoFlag::PointVehicle);
    flags_.SetInfoMessage(InfoFlag::CollectionComplete);
    if (observer_ != nullptr) {
        observer_->solved(outcome.result);
    }
}

// Clear Data ----------------------------------------------------------------------------------

void CalibrationWorkflow::clearPoints() {
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
    flags_.SetInfoMessage(InfoFlag::PointVehicle);
    flags_.ClearInfoMessage(InfoFlag::CollectionComplete);
    mask_ = 0;
    solution_.reset();
    wordsBeforeAdd_.reset();
    if (observer_ != nullptr) {
        observer_->pointsCleared();
    }
}

// EEPROM --------------------------------------------------------------------------------------

void CalibrationWorkflow::writeCalibration() {
    if (!solution_) {
        return;
    }
    const MsgAnswer answer = boxes_.show(
        eepromQuestion(QStringLiteral("Are you sure you want to write these values to EEPROM?"),
                       QStringLiteral("Write to EEPROM?"), MsgIcon::Exclamation));
    if (answer != MsgAnswer::Yes) {
        lastWrite_ = WriteResult::Declined;
        return;
    }
    progress_.OpenProcessWindow(QStringLiteral("Retrieving current values"));
    const int writesBefore = writes_;
    try {
        lastWrite_ = addCorrections();
    } catch (const RuntimeError&) {
        lastWrite_ = WriteResult::NoAnswer;
    }
    closeIfVisible(progress_);
    if (writes_ != writesBefore) {
        recordWrite(lastWrite_);
    }
}

CalibrationWorkflow::WriteResult CalibrationWorkflow::addCorrections() {
    if (!link_.fWriteAccess() || !link_.fInit(false)) {
        return WriteResult::NoAnswer;
    }
    const UnitAddresses& addresses = link_.unitAddresses();
    const CalibrationResult& result = *solution_;
    const std::array<QString, 4> words = {addresses.xBiasWord, addresses.yBiasWord,
                                          addresses.xGainWord, addresses.yGainWord};
    const std::array<QString, 4> corrections = {result.xBiasWord, result.yBiasWord,
                                                result.xGainWord, result.yGainWord};

    // The words as they are now; a word that cannot be read stops before anything is added.
    std::array<int, 4> now{};
    for (std::size_t i = 0; i < words.size(); ++i) {
        const QString text = link_.fReadFromUnit(words[i]);
        if (text == kReadError) {
            boxes_.show(writeErrorBox());
            return WriteResult::NoAnswer;
        }
        now[i] = WordValue(text);
    }
    // The value each word must end with: its value before the first add of this solution plus
    // its correction, modulo 65536 as the unit adds. After a write that did not verify, each
    // word gets only what it still lacks.
    const std::array<int, 4> before = wordsBeforeAdd_.value_or(now);
    std::array<int, 4> target{};
    for (std::size_t i = 0; i < words.size(); ++i) {
        target[i] = (before[i] + WordValue(corrections[i])) & 0xFFFF;
    }
    if (!link_.beforeChange(QStringLiteral("calibration"),
                            QStringLiteral("Retrieving current values"))) {
        return WriteResult::NoBackup;
    }
    const bool firstAdd = !wordsBeforeAdd_.has_value();
    wordsBeforeAdd_ = before;
    written_ =
        CalibrationWrite{points_, result, words, {}, {}, false, QDateTime::currentDateTimeUtc()};
    ++writes_;
    for (std::size_t i = 0; i < words.size(); ++i) {
        written_->before[i] = HexWord(static_cast<float>(static_cast<qint16>(before[i])));
    }

    progress_.ChangeProcessText(QStringLiteral("Calibrating Unit"));
    for (std::size_t i = 0; i < words.size(); ++i) {
        const int lacking = (target[i] - (now[i] & 0xFFFF)) & 0xFFFF;
        if (!firstAdd && lacking == 0) {
            continue;
        }
        const QString shortAddress = addresses.isB600Family ? words[i].mid(2) : words[i].mid(1);
        link_.SendCommandText(UnitCommand::AddToWord + shortAddress +
                              (firstAdd
                                   ? corrections[i]
                                   : HexWord(static_cast<float>(static_cast<qint16>(lacking)))));
    }

    progress_.ChangeProcessText(QStringLiteral("Checking Calibration"));
    for (std::size_t i = 0; i < words.size(); ++i) {
        written_->after[i] = link_.fReadFromUnit(words[i]);
    }
    for (std::size_t i = 0; i < words.size(); ++i) {
        const QString& after = written_->after[i];
        if (after == kReadError || (WordValue(after) & 0xFFFF) != target[i]) {
            boxes_.show(writeErrorBox());
            return WriteResult::NotVerified;
        }
    }
    written_->verified = true;

    enable({CalControl::btnEEPROM, CalControl::btnClear}, false);
    enable({CalControl::btnNewTest}, true);
    view_.focusControl(CalControl::btnNewTest);
    flags_.ClearInfoMessage(InfoFlag::CollectionComplete);
    flags_.SetInfoMessage(InfoFlag::UnitCalibrated);
    return WriteResult::Verified;
}

void CalibrationWorkflow::recordWrite(WriteResult result) {
    if (!written_ || result == WriteResult::NoBackup) {
        return;
    }
    link_.changeDone({QStringLiteral("calibration"),
                      result == WriteResult::Verified      ? QStringLiteral("done")
                      : result == WriteResult::NotVerified ? QStringLiteral("not-verified")
                                                           : QStringLiteral("failed"),
                      calibrationChanges(*written_)});
}

// End Test ------------------------------------------------------------------------------------

void CalibrationWorkflow::endTest() {
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
    testState_ = TestState::Idle;
    if (observer_ != nullptr) {
        observer_->testRunning(false);
    }

    settings_.RestoreSettings();
    link_.restoreChannels();
    if (link_.recordedFormat() == DataFormat::Binary) {
        try {
            link_.SendCommandText(UnitCommand::BinaryOutput);
        } catch (const RuntimeError&) {
        }
        link_.setDataFormat(DataFormat::Binary);
        view_.setFormatCaption(QStringLiteral("Binary"));
    }
    flags_.ClearInfoMessage(InfoFlag::CollectionComplete);
    flags_.ClearInfoMessage(InfoFlag::UnitCalibrated);
    flags_.ClearInfoMessage(InfoFlag::PointVehicle);

    recalculateChecksumRegardless(link_, progress_);
    progress_.CloseProcessWindow();
}

void CalibrationWorkflow::restoreUnit() {
    try {
        if (settings_.settingsAltered()) {
            settings_.RestoreSettings();
        }
        if (testRunning()) {
            link_.fWriteAccess();
            link_.restoreChannels();
            if (link_.recordedFormat() == DataFormat::Binary) {
                link_.SendCommandText(UnitCommand::BinaryOutput);
                link_.setDataFormat(DataFormat::Binary);
            }
        }
    } catch (const RuntimeError&) {
        // The session is ending either way; nothing more can be done for the unit.
    }
}

}  // namespace tarquel
