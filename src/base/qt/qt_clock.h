#pragma once
// The production clock: a monotonic tick count and QTimer-backed timers.

#include <QElapsedTimer>

#include "core/clock.h"

namespace krvo {

class QtClock final : public Clock {
public:
    QtClock();
    std::int64_t nowMs() const override;
    std::unique_ptr<Timer> createTimer(std::function<void()> onTimeout) override;

private:
    QElapsedTimer elapsed_;
};

// Handles pending Qt events, blocking up to maxMs for the next one; the pump
// that production waits use.
void PumpQtEvents(std::int64_t maxMs);

}  // namespace krvo
