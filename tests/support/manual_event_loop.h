#pragma once
// A Waiter over a ManualClock: each step of a nested loop moves the clock on
// by min(maxMs, stepMs), lets Qt handle its events and then runs onStep, where
// a test plays "another handler" inside the loop. Nothing sleeps.

#include <QCoreApplication>
#include <algorithm>
#include <cstdint>
#include <functional>

#include "core/clock.h"
#include "core/waits.h"

namespace krvo::testing {

class ManualEventLoop {
public:
    explicit ManualEventLoop(std::int64_t stepMs = 100)
        : stepMs_(stepMs),
          waiter_(
              clock_, [this](std::int64_t maxMs) { step(maxMs); }, [this] { return endRequested; },
              [this] { ++endings; }) {}

    ManualClock& clock() { return clock_; }
    Waiter& waiter() { return waiter_; }

    // Runs after every step, with the clock already moved on.
    std::function<void()> onStep;
    bool endRequested = false;
    int endings = 0;
    int steps = 0;

private:
    void step(std::int64_t maxMs) {
        ++steps;
        clock_.advance(std::min(maxMs, stepMs_));
        QCoreApplication::processEvents();
        // Copied: the hook may replace itself.
        if (auto hook = onStep) hook();
    }

    std::int64_t stepMs_;
    ManualClock clock_;
    Waiter waiter_;
};

}  // namespace krvo::testing
