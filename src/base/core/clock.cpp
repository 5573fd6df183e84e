#include "core/clock.h"

#include <algorithm>

namespace krvo {

class ManualClock::ManualTimer final : public Timer {
public:
    ManualTimer(ManualClock* clock, std::function<void()> onTimeout)
        : clock_(clock), onTimeout_(std::move(onTimeout)) {}
    ~ManualTimer() override { stop(); }

    void start(std::int64_t intervalMs, bool singleShot) override {
        stop();
        if (clock_ == nullptr) return;
        interval_ = intervalMs < 0 ? 0 : intervalMs;
        singleShot_ = singleShot;
        active_ = true;
        clock_->schedule(this, clock_->now_ + interval_);
    }
    void stop() override {
        if (!active_) return;
        active_ = false;
        if (clock_ != nullptr) clock_->unschedule(this);
    }
    bool isActive() const override { return active_; }

    // Called by the clock after it has taken the timer off its schedule.
    void fire() {
        active_ = false;
        if (!singleShot_ && clock_ != nullptr) {
            active_ = true;
            // A zero interval would fire forever within one advance; one ms apart instead.
            clock_->schedule(this, clock_->now_ + (interval_ > 0 ? interval_ : 1));
        }
        // Copied: the callback may destroy this timer.
        if (auto callback = onTimeout_) callback();
    }
    void detach() {
        active_ = false;
        clock_ = nullptr;
    }

    std::pair<std::int64_t, std::uint64_t> key{};

private:
    ManualClock* clock_;
    std::function<void()> onTimeout_;
    std::int64_t interval_ = 0;
    bool singleShot_ = false;
    bool active_ = false;
};

ManualClock::~ManualClock() {
    for (auto& [key, timer] : due_) timer->detach();
}

std::unique_ptr<Timer> ManualClock::createTimer(std::function<void()> onTimeout) {
    return std::make_unique<ManualTimer>(this, std::move(onTimeout));
}

void ManualClock::schedule(ManualTimer* timer, std::int64_t dueMs) {
    timer->key = {dueMs, sequence_++};
    due_[timer->key] = timer;
}

void ManualClock::unschedule(ManualTimer* timer) {
    due_.erase(timer->key);
}

void ManualClock::advance(std::int64_t ms) {
    const std::int64_t target = now_ + (ms > 0 ? ms : 0);
    while (!due_.empty() && due_.begin()->first.first <= target) {
        auto it = due_.begin();
        ManualTimer* timer = it->second;
        // A callback may advance the clock itself (a nested wait); time
        // never runs backwards because of that.
        now_ = std::max(now_, it->first.first);
        due_.erase(it);
        timer->fire();
    }
    now_ = std::max(now_, target);
}

}  // namespace krvo
