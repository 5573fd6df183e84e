#pragma once
// A countdown bar without a widget, for code that runs without Qt (the fuzz
// targets): it keeps the port's contract on any Clock, as the real bar does.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>

#include "core/clock.h"
#include "ports/countdown_bar.h"

namespace krvo::testing {

// The time bar as the port describes it: one tick a second, the warning on the
// tick that leaves warningSeconds or fewer, the time-out on the tick that
// leaves none. A listener that stops or restarts it ends what the current
// second reports, as with the real bar.
class ManualCountdown final : public CountdownBar {
public:
    explicit ManualCountdown(Clock& clock) : timer_(clock.createTimer([this] { onSecond(); })) {}

    void start(int warningSeconds, int totalSeconds) override {
        warning_ = warningSeconds;
        left_ = std::max(totalSeconds, 0);
        warned_ = false;
        ++run_;
        timer_->start(1000);
    }
    void stop() override {
        timer_->stop();
        ++run_;
        left_ = 0;
    }
    void setEvents(Events events) override { events_ = std::move(events); }

private:
    void onSecond() {
        left_ = std::max(left_ - 1, 0);
        const bool out = left_ == 0;
        if (out) timer_->stop();
        const std::uint64_t run = run_;
        if (!report(events_.ticked, run)) return;
        if (!warned_ && !out && left_ <= warning_) {
            warned_ = true;
            if (!report(events_.warned, run)) return;
        }
        if (out) report(events_.timedOut, run);
    }
    // False when the listener stopped or restarted the bar.
    bool report(const std::function<void()>& event, std::uint64_t run) {
        if (event) {
            const std::function<void()> listener = event;
            listener();
        }
        return run == run_;
    }

    std::unique_ptr<Timer> timer_;
    Events events_;
    int warning_ = 0;
    int left_ = 0;
    bool warned_ = false;
    std::uint64_t run_ = 0;
};

}  // namespace krvo::testing
