#include "livedata/ReceivePath.h"

#include "platform/Errors.h"

namespace tarquel {

namespace {

// Port errors after which the handling goes on with the next statement.
bool isResumable(const RuntimeError& error) {
    return error.number() == ErrorNumber::SettingsNotApplied ||
           error.number() == ErrorNumber::ReadFailed;
}

template <typename Step>
void resumeOnPortError(Step step) {
    try {
        step();
    } catch (const RuntimeError& error) {
        if (!isResumable(error)) {
            throw;
        }
    }
}

std::unique_ptr<Timer> timerOf(Clock& clock, int intervalMs) {
    std::unique_ptr<Timer> timer = clock.createTimer();
    timer->setInterval(intervalMs);
    return timer;
}

}  // namespace

ReceivePath::ReceivePath(SerialPort& MSComm1, Clock& clock, MessageFlags& flags,
                         FrameAssembler& assembler, FrameDecoder& decoder, StatusMessages& status,
                         MessageBoxes& boxes)
    : port_(MSComm1),
      flags_(flags),
      assembler_(assembler),
      decoder_(decoder),
      status_(status),
      tmrEvents_(timerOf(clock, kEventPeriodMs)),
      Timer1_(timerOf(clock, kSilenceCheckMs)),
      DataNotReceivedTimer_(timerOf(clock, kSilenceCheckMs)),
      boxes_(boxes) {}

ReceivePath::~ReceivePath() = default;

void ReceivePath::start() {
    if (started_) {
        return;
    }
    started_ = true;
    QObject::connect(&port_, &SerialPort::onComm, &connections_, [this] { MSComm1_OnComm(); });
    QObject::connect(tmrEvents_.get(), &Timer::timeout, &connections_,
                     [this] { tmrEvents_Timer(); });
    QObject::connect(Timer1_.get(), &Timer::timeout, &connections_, [this] { Timer1_Timer(); });
    QObject::connect(DataNotReceivedTimer_.get(), &Timer::timeout, &connections_,
                     [this] { DataNotReceivedTimer_Timer(); });
    for (Timer* timer : {tmrEvents_.get(), Timer1_.get(), DataNotReceivedTimer_.get()}) {
        timer->setEnabled(true);
    }
}

void ReceivePath::MSComm1_OnComm() {
    if (frameEventCount_ > kEventsPerPeriod) {
        return;
    }
    ++frameEventCount_;
    try {
        const int event = port_.commEvent();
        if (event != CommEvent::Receive) {
            if (event != CommEvent::Send) {
                status_.UpdateStatusMessages();
            }
            return;
        }
        receive();
    } catch (const RuntimeError&) {
        // The event ends silently with whatever state was reached.
    }
    if (afterEvent_) {
        afterEvent_();
    }
}

void ReceivePath::receive() {
    MessageFlags& messages = flags_;
    messages.SetSWMessage(SwFlag::Receiving);
    DataNotReceivedTimer_->setEnabled(false);

    QByteArray bytes;
    resumeOnPortError([&] { port_.setInputLen(port_.inBufferCount()); });
    resumeOnPortError([&] { bytes = port_.input(); });
    const QString text = QString::fromLatin1(bytes);

    if (terminalVisible_) {
        if (terminal_ != nullptr) {
            // The terminal's own failure is shown with its description, and the event goes on.
            try {
                terminal_->ProcessData(text);
            } catch (const RuntimeError& error) {
                boxes_.show({error.description(), QString(), MsgIcon::None, MsgButtons::OK});
            }
        }
        messages.ClearInfoMessage(InfoFlag::PressBeginTest);
        messages.SetSWMessage(SwFlag::RoutedToTerminal);
    } else {
        messages.ClearSWMessage(SwFlag::RoutedToTerminal);
        if (test_ == nullptr || !test_->testRunning()) {
            messages.SetInfoMessage(InfoFlag::PressBeginTest);
        }
        assembler_.CreateFrame(text);
    }
    status_.UpdateStatusMessages();
}

void ReceivePath::tmrEvents_Timer() {
    frameEventCount_ = 0;
}

void ReceivePath::Timer1_Timer() {
    DataNotReceivedTimer_->setEnabled(true);
}

void ReceivePath::DataNotReceivedTimer_Timer() {
    flags_.ClearSWMessage(SwFlag::Receiving);
    decoder_.ResetDataWindows();
    status_.UpdateStatusMessages();
    if (afterEvent_) {
        afterEvent_();
    }
}

}  // namespace tarquel
