#include "livedata/DisplayThrottle.h"

namespace tarquel {

DisplayThrottle::DisplayThrottle(LiveDataView& window, Clock& clock)
    : window_(window),
      clock_(clock),
      timer_(clock.createTimer()),
      lastFlushMs_(clock.tickCount() - kDisplayIntervalMs) {
    frameCount_.text = QStringLiteral("0");
    frameRate_.text = window_.frameRateCaption();
    for (int slot = 0; slot < static_cast<int>(dataBoxes_.size()); ++slot) {
        dataBoxes_[static_cast<std::size_t>(slot)].text = window_.dataBoxCaption(slot);
    }
    timer_->setInterval(kDisplayIntervalMs);
    QObject::connect(timer_.get(), &Timer::timeout, &connections_, [this] { tick(); });
}

DisplayThrottle::~DisplayThrottle() = default;

void DisplayThrottle::changed() {
    dirty_ = true;
    // A change made outside a receive event is written by the timer at the latest.
    timer_->setEnabled(true);
}

void DisplayThrottle::endOfEvent() {
    if (dirty_ && clock_.tickCount() - lastFlushMs_ >= kDisplayIntervalMs) {
        flush();
    }
}

void DisplayThrottle::tick() {
    flush();
}

void DisplayThrottle::flush() {
    timer_->setEnabled(false);
    if (!dirty_) {
        return;
    }
    dirty_ = false;
    lastFlushMs_ = clock_.tickCount();
    for (int slot = 0; slot < static_cast<int>(dataBoxes_.size()); ++slot) {
        Caption& box = dataBoxes_[static_cast<std::size_t>(slot)];
        if (box.dirty) {
            box.dirty = false;
            window_.setDataBoxCaption(slot, box.text);
            ++windowWrites_;
        }
    }
    if (frameCount_.dirty) {
        frameCount_.dirty = false;
        window_.setFrameCountCaption(frameCount_.text);
        ++windowWrites_;
    }
    if (frameRate_.dirty) {
        frameRate_.dirty = false;
        window_.setFrameRateCaption(frameRate_.text);
        ++windowWrites_;
    }
}

void DisplayThrottle::setDataBoxCaption(int slot, const QString& caption) {
    Caption& box = dataBoxes_.at(static_cast<std::size_t>(slot));
    if (box.text != caption) {
        box.text = caption;
        box.dirty = true;
        changed();
    }
}

QString DisplayThrottle::dataBoxCaption(int slot) const {
    return dataBoxes_.at(static_cast<std::size_t>(slot)).text;
}

void DisplayThrottle::setFrameCountCaption(const QString& caption) {
    if (frameCount_.text != caption) {
        frameCount_.text = caption;
        frameCount_.dirty = true;
        changed();
    }
}

void DisplayThrottle::setFrameRateCaption(const QString& caption) {
    if (frameRate_.text != caption) {
        frameRate_.text = caption;
        frameRate_.dirty = true;
        changed();
    }
}

void DisplayThrottle::focusGetData() {
    // The point is stored from the captions the operator sees.
    flush();
    window_.focusGetData();
}

}  // namespace tarquel
