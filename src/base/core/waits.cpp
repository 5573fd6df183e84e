#include "core/waits.h"

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

bool Waiter::PumpEvents() {
    return pumpFor(0);
}

bool Waiter::WaitForEvents(std::int64_t maxMs) {
    return pumpFor(maxMs > 0 ? maxMs : 0);
}

bool Waiter::WaitMilliseconds(std::int64_t ms) {
    const std::int64_t start = clock_.nowMs();
    while (true) {
        const std::int64_t elapsed = clock_.nowMs() - start;
        if (elapsed >= ms) return !ended_;
        if (!pumpFor(ms - elapsed)) return false;
    }
}

Waiter::PacketHold::PacketHold(Waiter& waiter) : waiter_(waiter) {
    ++waiter_.holds_;
}

Waiter::PacketHold::~PacketHold() {
    if (--waiter_.holds_ == 0 && waiter_.packetsReleased_) waiter_.packetsReleased_();
}

}  // namespace krvo
