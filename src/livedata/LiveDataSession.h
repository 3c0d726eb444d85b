#pragma once

#include "calibration/CalGaugeDriver.h"
#include "calibration/CalModeCommands.h"
#include "calibration/Gauge.h"
#include "calibration/HeadingCalculator.h"
#include "livedata/DisplayThrottle.h"
#include "livedata/FrameAssembler.h"
#include "livedata/FrameDecoder.h"
#include "livedata/LiveViews.h"
#include "livedata/ReceivePath.h"
#include "livedata/StatusMessages.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialPort.h"
#include "unitlink/SharedState.h"

namespace tarquel {

// What the live data needs from the main window and the rest of the program.
struct LiveDataWiring {
    SharedState& state;
    SerialPort& MSComm1;
    Clock& clock;
    MessageBoxes& boxes;
    CalModeCommands& modes;  // the window's CalModeSelector
    Gauge& gauge;            // lgCal
    LiveDataView& view;
    StatusView& status;
    TiltPopupWindow& tiltPopups;  // forwards to the information window
};

// The live-data objects of the main window, wired together: from MSComm1's receive events through
// frame assembly and decoding, heading and gauge, to the live display (at the display rate) and
// the status texts. The receive handler and the three timers run from construction on.
class LiveDataSession {
public:
    explicit LiveDataSession(const LiveDataWiring& wiring);

    HeadingCalculator& heading() { return heading_; }
    // The live display as the frames left it (the window's labels follow at the display rate).
    DisplayThrottle& display() { return display_; }
    CalGaugeDriver& gauge() { return gauge_; }
    FrameDecoder& decoder() { return decoder_; }
    FrameAssembler& assembler() { return assembler_; }
    StatusMessages& status() { return status_; }
    ReceivePath& receivePath() { return receivePath_; }

private:
    DisplayThrottle display_;
    HeadingCalculator heading_;
    CalGaugeDriver gauge_;
    FrameDecoder decoder_;
    FrameAssembler assembler_;
    StatusMessages status_;
    ReceivePath receivePath_;
};

}  // namespace tarquel
