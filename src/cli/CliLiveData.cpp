#include "cli/CliLiveData.h"

namespace tarquel {

int CliLiveView::OpenInfoWindow(const QString& message, const QString& title, int /*flags*/,
                                int /*countdownSeconds*/, int /*modal*/) {
    err_ << title << ": " << printableText(message) << "\n";
    err_.flush();
    return 1;
}

CliLiveData::CliLiveData(CliContext& context)
    : context_(context),
      view_(context.err),
      modes_(context.link, context.state, context.boxes, view_) {
    SerialPort& port = context.port;
    port.setRThreshold(1);
    port.setInputLen(0);
    if (context.state.dataFormat == 0) {
        context.state.dataFormat = DataFormat::Decimal;
    }
    session_ = std::make_unique<LiveDataSession>(LiveDataWiring{
        context.state, port, context.clock, context.boxes, modes_, view_, view_, view_, view_});
}

bool CliLiveData::waitForFrames(int count, int maxMs) {
    const qint32 start = frames();
    constexpr int kStepMs = 20;
    for (int waited = 0; waited < maxMs; waited += kStepMs) {
        if (frames() - start >= count) {
            return true;
        }
        context_.clock.runEvents(kStepMs);
    }
    return frames() - start >= count;
}

}  // namespace tarquel
