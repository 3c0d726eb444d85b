#pragma once

#include "heading/CalGaugeDriver.h"
#include "heading/CalModeCommands.h"
#include "heading/HeadingCalculator.h"
#include "heading/SteadyReading.h"
#include "livedata/LiveViews.h"
#include "livedata/MessageFlags.h"
#include "unitlink/UnitLink.h"

#include <QString>
#include <QStringView>
#include <vector>

namespace tarquel {

// Takes one frame at a time (the text between two carriage returns).
class FrameProcessor {
public:
    virtual ~FrameProcessor() = default;
    virtual void ProcessData(QString& frame) = 0;
};

// Told about every accepted frame's seven display values after they were shown (the calibration
// plot follows the field with them).
class FrameObserver {
public:
    virtual ~FrameObserver() = default;
    virtual void frameShown(const std::vector<double>& values) = 0;
};

// The number of occurrences of search in text, each search starting one character after the
// start of the previous match (overlapping matches count). compare 0: exact; 1: ignoring case.
// An empty search text occurs 0 times.
int fCharsInString(QStringView text, QStringView search, int compare);

// The value of one frame field. Accepted: an optional sign, then digits with an optional decimal
// point ("12", "-3.5", "+.5", "7."); at least one digit. Anything else (an empty field, letters,
// an exponent, a comma, white space) throws TypeMismatchError; a number beyond the range of a
// double throws OverflowError.
double ParseFieldValue(QStringView field);

// Decodes the unit's decimal frames and runs the per-frame pipeline: smoothing and heading, the
// cardinal gauge while a test runs, the seven live values, the frame count and the frame rate.
//
// Frame: "I " (either case) anywhere, then the fields separated by single spaces. The number of
// spaces from the header on is the field count: 7 in accelerometer mode, 6 in pendulum mode.
// A frame without a header raises information flag 32, one with the wrong count flag 16; both
// blank the live values. The 51st frame with exactly four fields in a run switches the
// calibration mode to the other one, once per run.
//
// A field that is not a number or an arithmetic failure throws a RuntimeError out of ProcessData;
// nothing of that frame is shown.
class FrameDecoder : public FrameProcessor {
public:
    static constexpr int kFrameCountWrap = 100000000;

    FrameDecoder(MessageFlags& flags, const UnitLink& link, HeadingCalculator& heading,
                 CalGaugeDriver& gauge, CalModeCommands& modes, LiveDataView& view);

    // Who knows whether a calibration test runs (none: no test runs).
    void setTestStatus(const TestStatus* test) { test_ = test; }

    // Replaces frame by its part from the header on.
    void ProcessData(QString& frame) override;

    // reset true: forget the mismatches; false: count one, and switch the mode on the 51st.
    void ChangeCalMode(bool reset);

    // DataBox captions from the seven display values.
    void ShowChannelValues(const std::vector<double>& values);
    // Rewrites FrameRate when the rounded rate changed. length: characters from the header to
    // the end of the frame; incremented by the carriage return in decimal or binary format.
    void ShowFrameRate(int& length, DataFormat format);
    // Blanks the seven live values.
    void ResetDataWindows();

    void setFrameObserver(FrameObserver* observer) { observer_ = observer; }
    // Whether the values shown have settled after the last movement.
    const SteadyReading& steadyReading() const { return steady_; }

    qint32 frameCount() const { return frameCount_; }
    // Only for tests and the window's start-up: continue counting from count.
    void setFrameCount(qint32 count) { frameCount_ = count; }
    int calModeMismatchCount() const { return calModeMismatchCount_; }
    bool calModeSwitched() const { return calModeSwitched_; }

private:
    MessageFlags& flags_;
    const UnitLink& link_;
    const TestStatus* test_ = nullptr;
    HeadingCalculator& heading_;
    CalGaugeDriver& gauge_;
    CalModeCommands& modes_;
    LiveDataView& view_;
    FrameObserver* observer_ = nullptr;
    SteadyReading steady_;
    qint32 frameCount_ = 0;
    int calModeMismatchCount_ = 0;
    bool calModeSwitched_ = false;
};

}  // namespace tarquel
