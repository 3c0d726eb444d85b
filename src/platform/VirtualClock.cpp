#include "platform/VirtualClock.h"

#include <algorithm>

namespace tarquel {

class VirtualTimer : public Timer {
public:
    explicit VirtualTimer(VirtualClock* clock) : clock_(clock) { clock_->timers_.push_back(this); }
    ~VirtualTimer() override {
        if (clock_ != nullptr) {
            std::erase(clock_->timers_, this);
        }
    }

    void setInterval(int ms) override {
        interval_ = ms;
        if (enabled_) {
            due_ = clock_->now_ + interval_;
        }
    }
    int interval() const override { return interval_; }
    void setEnabled(bool enabled) override {
        if (enabled && !enabled_) {
            due_ = clock_->now_ + interval_;
        }
        enabled_ = enabled;
    }
    bool isEnabled() const override { return enabled_; }

    bool isDue(qint64 now) const { return enabled_ && interval_ > 0 && !firing_ && due_ <= now; }
    qint64 due() const { return due_; }

    void fire() {
        due_ = clock_->now_ + interval_;
        firing_ = true;
        emit timeout();
        firing_ = false;
    }

    void detach() { clock_ = nullptr; }

private:
    VirtualClock* clock_;
    int interval_ = 0;
    bool enabled_ = false;
    bool firing_ = false;
    qint64 due_ = 0;
};

VirtualClock::VirtualClock(qint64 startMs) : now_(startMs) {}

VirtualClock::~VirtualClock() {
    for (VirtualTimer* timer : timers_) {
        timer->detach();
    }
}

void VirtualClock::delay(int ms) {
    if (ms > 0) {
        blockedMs_ += ms;
        advanceWorld(ms);
    }
}

void VirtualClock::pollPause() {
    blockedMs_ += 1;
    advanceWorld(1);
}

std::unique_ptr<Timer> VirtualClock::createTimer() {
    return std::make_unique<VirtualTimer>(this);
}

void VirtualClock::doEvents() {
    // Sources may be added or removed by the handlers they call.
    const std::vector<VirtualEventSource*> sources = sources_;
    for (VirtualEventSource* source : sources) {
        if (std::find(sources_.begin(), sources_.end(), source) != sources_.end()) {
            source->deliverEvents();
        }
    }
    fireDueTimers();
    if (eventHook_) {
        eventHook_();
    }
}

void VirtualClock::fireDueTimers() {
    std::vector<VirtualTimer*> due;
    for (VirtualTimer* timer : timers_) {
        if (timer->isDue(now_)) {
            due.push_back(timer);
        }
    }
    std::stable_sort(due.begin(), due.end(), [](const VirtualTimer* a, const VirtualTimer* b) {
        return a->due() < b->due();
    });
    for (VirtualTimer* timer : due) {
        // A handler may have destroyed or disabled a later timer.
        if (std::find(timers_.begin(), timers_.end(), timer) != timers_.end() &&
            timer->isDue(now_)) {
            timer->fire();
        }
    }
}

void VirtualClock::runFor(qint64 ms) {
    doEvents();
    for (qint64 i = 0; i < ms; ++i) {
        advanceWorld(1);
        doEvents();
    }
}

bool VirtualClock::runUntil(const std::function<bool()>& done, qint64 maxMs) {
    doEvents();
    for (qint64 i = 0; i < maxMs && !done(); ++i) {
        advanceWorld(1);
        doEvents();
    }
    return done();
}

void VirtualClock::advanceWorld(qint64 ms) {
    for (qint64 i = 0; i < ms; ++i) {
        ++now_;
        const std::vector<VirtualWorld*> worlds = worlds_;
        for (VirtualWorld* world : worlds) {
            world->advanceTo(now_);
        }
    }
}

void VirtualClock::addWorld(VirtualWorld* world) {
    worlds_.push_back(world);
}
void VirtualClock::removeWorld(VirtualWorld* world) {
    std::erase(worlds_, world);
}
void VirtualClock::addEventSource(VirtualEventSource* source) {
    sources_.push_back(source);
}
void VirtualClock::removeEventSource(VirtualEventSource* source) {
    std::erase(sources_, source);
}

}  // namespace tarquel
