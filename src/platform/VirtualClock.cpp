#include "platform/VirtualClock.h"

#include <algorithm>
#include <array>

namespace tarquel {
namespace {

// Calls f on each entry of a list that f's handlers may change meanwhile (an entry removed
// meanwhile is skipped). The snapshot lives on the stack for the usual handful of entries: these
// walks run every virtual millisecond.
template <typename T, typename F>
void forEachOfSnapshot(const std::vector<T*>& list, F f) {
    constexpr std::size_t kOnStack = 8;
    std::array<T*, kOnStack> small{};
    std::vector<T*> large;
    T* const* begin = nullptr;
    const std::size_t n = list.size();
    if (n <= kOnStack) {
        std::copy(list.begin(), list.end(), small.begin());
        begin = small.data();
    } else {
        large = list;
        begin = large.data();
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (std::find(list.begin(), list.end(), begin[i]) != list.end()) {
            f(begin[i]);
        }
    }
}

}  // namespace

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

    bool isDue(qint64 now) const { return runs() && due_ <= now; }
    bool runs() const { return enabled_ && interval_ > 0 && !firing_; }
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
    forEachOfSnapshot(sources_, [](VirtualEventSource* source) { source->deliverEvents(); });
    fireDueTimers();
    if (eventHook_) {
        eventHook_();
    }
}

void VirtualClock::fireDueTimers() {
    if (std::none_of(timers_.begin(), timers_.end(),
                     [this](const VirtualTimer* timer) { return timer->isDue(now_); })) {
        return;
    }
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
    const qint64 end = now_ + ms;
    while (now_ < end) {
        // The skipped steps would each have found nothing to advance, deliver or fire.
        now_ = quietUntil(end);
        if (now_ == end) {
            break;
        }
        advanceWorld(1);
        doEvents();
    }
}

qint64 VirtualClock::quietUntil(qint64 endMs) const {
    if (eventHook_ || std::any_of(sources_.begin(), sources_.end(),
                                  [](const auto* source) { return source->hasEvents(); })) {
        return now_;
    }
    qint64 next = nextWorldActivity();
    for (const VirtualTimer* timer : timers_) {
        if (timer->runs()) {
            next = std::min(next, std::max(timer->due(), now_ + 1));
        }
    }
    return next > endMs ? endMs : next - 1;
}

qint64 VirtualClock::nextWorldActivity() const {
    qint64 next = VirtualWorld::kNever;
    for (const VirtualWorld* world : worlds_) {
        next = std::min(next, std::max(world->nextActivityMs(now_), now_ + 1));
    }
    return next;
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
    const qint64 end = now_ + ms;
    while (now_ < end) {
        // Straight to the next millisecond in which a world acts: the ones before it are quiet.
        const qint64 next = nextWorldActivity();
        if (next > end) {
            now_ = end;
            break;
        }
        now_ = next;
        forEachOfSnapshot(worlds_, [this](VirtualWorld* world) { world->advanceTo(now_); });
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
