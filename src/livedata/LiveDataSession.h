#pragma once

#include "heading/CalGaugeDriver.h"
#include "heading/CalModeCommands.h"
#include "heading/Gauge.h"
#include "heading/HeadingCalculator.h"
#include "livedata/DisplayThrottle.h"
#include "livedata/FrameAssembler.h"
#include "livedata/FrameDecoder.h"
#include "livedata/LiveViews.h"
#include "livedata/MessageFlags.h"
#include "livedata/ReceivePath.h"
#include "livedata/StatusMessages.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "unitlink/UnitLink.h"

namespace tarquel {

// What the live data needs from the rest of the session and from the front end.
struct LiveDataWiring {
    UnitLink& link;  // its port MSComm1 delivers the bytes; its output format sets the frame rate
    Clock& clock;
    HeadingCalculator& heading;
    CalModeCommands& modes;  // the session's CalModeSelector
    Gauge& gauge;            // lgCal
    LiveDataView& view;
    StatusView& status;
    TiltPopupWindow& tiltPopups;  // the program's information window
    MessageBoxes& boxes;          // a failure of the data terminal's processing is shown here
};

// The live-data objects of one session, wired together: from MSComm1's receive events through
// frame assembly and decoding, heading and gauge, to the live display (at the display rate) and
// the status texts, with the two status flag words they raise. Nothing is received before
// start().
class LiveDataSession {
public:
    explicit LiveDataSession(const LiveDataWiring& wiring);

    // Sets MSComm1 to raise a receive event for every byte and to read every waiting byte, and
    // starts the receive handler with its timers. Later calls change nothing.
    void start();

    // Who knows whether a calibration test runs (none: no test runs).
    void setTestStatus(const TestStatus* test);

    MessageFlags& flags() { return flags_; }
    // The live display as the frames left it (the window's labels follow at the display rate).
    DisplayThrottle& display() { return display_; }
    CalGaugeDriver& gauge() { return gauge_; }
    FrameDecoder& decoder() { return decoder_; }
    FrameAssembler& assembler() { return assembler_; }
    StatusMessages& status() { return status_; }
    ReceivePath& receivePath() { return receivePath_; }

private:
    SerialPort& port_;
    MessageFlags flags_;
    DisplayThrottle display_;
    CalGaugeDriver gauge_;
    FrameDecoder decoder_;
    FrameAssembler assembler_;
    StatusMessages status_;
    ReceivePath receivePath_;
    bool started_ = false;
};

}  // namespace tarquel
