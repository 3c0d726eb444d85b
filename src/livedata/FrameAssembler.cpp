#include "livedata/FrameAssembler.h"

#include "platform/Errors.h"

namespace tarquel {

namespace {
constexpr char16_t kCarriageReturn = u'\r';
constexpr qsizetype kShortestFrame = 4;
}  // namespace

FrameAssembler::FrameAssembler(FrameProcessor& processor) : processor_(processor) {}

void FrameAssembler::CreateFrame(QStringView text) {
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype cr = text.indexOf(kCarriageReturn, start);
        if (cr < 0) {
            frameBuffer_ += text.sliced(start);
            return;
        }
        frameBuffer_ += text.sliced(start, cr - start);
        if (frameBuffer_.size() >= kShortestFrame) {
            emitFrame();
        }
        start = cr + 1;
    }
}

void FrameAssembler::emitFrame() {
    // The buffer is emptied before the frame is processed: processing may let events run (the
    // mode commands talk to the unit), and bytes they deliver belong to the next frame.
    QString frame;
    frame.swap(frameBuffer_);
    frameBuffer_.reserve(frame.capacity());
    try {
        processor_.ProcessData(frame);
    } catch (const RuntimeError&) {
        ++failedFrames_;
    }
}

}  // namespace tarquel
