#pragma once

#include "livedata/FrameAssembler.h"
#include "livedata/FrameDecoder.h"
#include "livedata/LiveViews.h"
#include "livedata/MessageFlags.h"
#include "livedata/StatusMessages.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialPort.h"

#include <QObject>
#include <functional>
#include <memory>

namespace tarquel {

// The handler of MSComm1's communication event and the three timers around it.
//
// Each receive event reads every waiting byte; while the data terminal is visible the text goes
// to it, otherwise it is cut into frames. At most 301 events are handled per 100 ms (tmrEvents
// resets the count); the bytes of an ignored event are taken by the next handled one. Software
// flag 1 (receiving) is set by every receive event and cleared by DataNotReceivedTimer, which
// Timer1 re-arms every second and every receive event disarms: it fires between one and two
// seconds after the last handled receive event, and then every second while the line is silent.
// The status texts are refreshed after every handled event except a send-complete one.
//
// The port's receive threshold is the window's setting (1 raises an event for every byte).
class ReceivePath {
public:
    static constexpr int kEventsPerPeriod = 300;  // the count is tested before it is raised
    static constexpr int kEventPeriodMs = 100;
    static constexpr int kSilenceCheckMs = 1000;

    ReceivePath(SerialPort& MSComm1, Clock& clock, MessageFlags& flags, FrameAssembler& assembler,
                FrameDecoder& decoder, StatusMessages& status, MessageBoxes& boxes);
    ~ReceivePath();
    ReceivePath(const ReceivePath&) = delete;
    ReceivePath& operator=(const ReceivePath&) = delete;

    // Connects the handler to MSComm1's communication event and starts the three timers; from
    // then on received bytes are handled. Later calls change nothing.
    void start();

    // The communication event (connected to MSComm1's onComm).
    void MSComm1_OnComm();

    // While the data terminal is visible all received text goes to terminal (which may be null
    // while no terminal exists: the text is then dropped) and no frames are assembled.
    void setTerminalVisible(bool visible) { terminalVisible_ = visible; }
    bool terminalVisible() const { return terminalVisible_; }
    void setTerminalSink(TerminalSink* terminal) { terminal_ = terminal; }
    // Who knows whether a calibration test runs (none: no test runs).
    void setTestStatus(const TestStatus* test) { test_ = test; }
    // Runs at the end of every handled event and silence tick (the live display writes then).
    void setAfterEvent(std::function<void()> afterEvent) { afterEvent_ = std::move(afterEvent); }

    // Timer ticks, public so that the window or a test may run them directly.
    void tmrEvents_Timer();
    void Timer1_Timer();
    void DataNotReceivedTimer_Timer();

    Timer& tmrEvents() { return *tmrEvents_; }
    Timer& Timer1() { return *Timer1_; }
    Timer& DataNotReceivedTimer() { return *DataNotReceivedTimer_; }

private:
    void receive();

    SerialPort& port_;
    MessageFlags& flags_;
    FrameAssembler& assembler_;
    FrameDecoder& decoder_;
    StatusMessages& status_;
    std::unique_ptr<Timer> tmrEvents_;
    std::unique_ptr<Timer> Timer1_;
    std::unique_ptr<Timer> DataNotReceivedTimer_;
    TerminalSink* terminal_ = nullptr;
    const TestStatus* test_ = nullptr;
    MessageBoxes& boxes_;
    int frameEventCount_ = 0;
    bool started_ = false;
    bool terminalVisible_ = false;
    std::function<void()> afterEvent_;
    QObject connections_;  // context of the port connection, so it ends with this object
};

}  // namespace tarquel
