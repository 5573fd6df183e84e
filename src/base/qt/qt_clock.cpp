#include "qt/qt_clock.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace krvo {
namespace {

class QtTimer final : public Timer {
public:
    explicit QtTimer(std::function<void()> onTimeout) : onTimeout_(std::move(onTimeout)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            // Copied: the callback may destroy this timer.
            if (auto callback = onTimeout_) callback();
        });
    }
    void start(std::int64_t intervalMs, bool singleShot) override {
        timer_.setSingleShot(singleShot);
        const std::int64_t clamped =
            std::clamp<std::int64_t>(intervalMs, 0, std::numeric_limits<int>::max());
        timer_.start(static_cast<int>(clamped));
    }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
    std::function<void()> onTimeout_;
};

}  // namespace

QtClock::QtClock() {
    elapsed_.start();
}

std::int64_t QtClock::nowMs() const {
    return elapsed_.elapsed();
}

std::unique_ptr<Timer> QtClock::createTimer(std::function<void()> onTimeout) {
    return std::make_unique<QtTimer>(std::move(onTimeout));
}

void PumpQtEvents(std::int64_t maxMs) {
    if (maxMs <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // A wake-up timer bounds the block: WaitForMoreEvents returns after the
    // first batch of events, at the latest when this timer fires.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(static_cast<int>(std::min<std::int64_t>(maxMs, std::numeric_limits<int>::max())));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

}  // namespace krvo
