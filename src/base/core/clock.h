#pragma once
// The one source of time for the program: tick counts, timers, countdowns and
// waits all go through a Clock, so tests can drive time by hand instead of
// sleeping through it.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace krvo {

class Timer {
public:
    virtual ~Timer() = default;
    // Fires every intervalMs until stopped, or once when singleShot is set.
    // Starting an active timer restarts it.
    virtual void start(std::int64_t intervalMs, bool singleShot = false) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic milliseconds; only differences are meaningful.
    virtual std::int64_t nowMs() const = 0;
    // The callback runs on the program's one thread, from the event loop.
    virtual std::unique_ptr<Timer> createTimer(std::function<void()> onTimeout) = 0;
};

// A clock that moves only when told to. Timers fire from advance(), in order of
// their due time; a callback may start, stop or create timers.
class ManualClock final : public Clock {
public:
    ManualClock() = default;
    ~ManualClock() override;
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    std::int64_t nowMs() const override { return now_; }
    std::unique_ptr<Timer> createTimer(std::function<void()> onTimeout) override;

    // Moves time forward by ms, firing every timer that falls due on the way.
    void advance(std::int64_t ms);
    // How many timers are running now.
    std::size_t activeTimers() const { return due_.size(); }

private:
    class ManualTimer;
    friend class ManualTimer;

    void schedule(ManualTimer* timer, std::int64_t dueMs);
    void unschedule(ManualTimer* timer);

    std::int64_t now_ = 0;
    std::uint64_t sequence_ = 0;
    // (due time, start sequence) -> timer; the sequence keeps equal due times in start order.
    std::map<std::pair<std::int64_t, std::uint64_t>, ManualTimer*> due_;
};

}  // namespace krvo
