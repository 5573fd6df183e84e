#include "core/waits.h"

#include <algorithm>
#include <utility>

namespace krvo {

Waiter::Waiter(Clock& clock, std::function<void(std::int64_t)> pump,
               std::function<bool()> endRequested, std::function<void()> endProgram)
    : clock_(clock),
      pump_(std::move(pump)),
      endRequested_(std::move(endRequested)),
      endProgram_(std::move(endProgram)) {}

bool Waiter::pumpFor(std::int64_t maxMs) {
    if (!ended_ && pump_) pump_(maxMs);
    if (!ended_ && endRequested_ && endRequested_()) {
        ended_ = true;
        if (endProgram_) endProgram_();
    }
    return !ended_;
}

bool Waiter::pumpEvents() {
    const Nesting loop(*this);
    return pumpFor(0);
}

bool Waiter::waitForEvents(std::int64_t maxMs) {
    const Nesting loop(*this);
    return pumpFor(maxMs > 0 ? maxMs : 0);
}

bool Waiter::waitUntil(const std::function<bool()>& done, std::int64_t stepMs,
                       const std::function<void()>& afterStep) {
    const Nesting loop(*this);
    while (!done()) {
        if (!pumpFor(stepMs > 0 ? stepMs : 0)) return false;
        if (afterStep) afterStep();
    }
    return !ended_;
}

bool Waiter::waitMilliseconds(std::int64_t ms) {
    const Nesting loop(*this);
    const std::int64_t start = clock_.nowMs();
    while (true) {
        const std::int64_t elapsed = clock_.nowMs() - start;
        if (elapsed >= ms) return !ended_;
        if (!pumpFor(ms - elapsed)) return false;
    }
}

bool Waiter::pause(std::int64_t ms) {
    const Nesting loop(*this);
    const std::int64_t start = clock_.nowMs();
    while (true) {
        const std::int64_t elapsed = clock_.nowMs() - start;
        if (elapsed >= ms || fallenBehind()) return !ended_;
        // Without a backlog query nothing can end the pause early, so it may
        // block for the rest of it.
        const std::int64_t step = fallenBehind_ ? kBacklogCheckMs : ms - elapsed;
        if (!pumpFor(std::min(step, ms - elapsed))) return false;
    }
}

Waiter::PacketHold::PacketHold(Waiter& waiter) : waiter_(waiter) {
    ++waiter_.holds_;
}

Waiter::PacketHold::~PacketHold() {
    if (--waiter_.holds_ == 0) waiter_.releaseIfFree();
}

Waiter::Nesting::Nesting(Waiter& waiter) : waiter_(waiter) {
    ++waiter_.loops_;
}

Waiter::Nesting::~Nesting() {
    if (--waiter_.loops_ == kMaxNestedLoops - 1) waiter_.releaseIfFree();
}

void Waiter::releaseIfFree() {
    if (!holdingPackets() && packetsReleased_) packetsReleased_();
}

}  // namespace krvo
