#include "controls/ko_clock.h"

#include <QPainter>
#include <algorithm>

namespace krvo {
namespace {

constexpr std::int64_t kSecondMs = 1000;
const QColor kTrackColour(40, 40, 40);
const QColor kBarColour(60, 200, 90);
const QColor kWarningColour(230, 60, 40);

}  // namespace

KoClock::KoClock(Clock& clock, QWidget* parent)
    : QWidget(parent), timer_(clock.createTimer([this] { onSecond(); })) {
    setAccessibleName(QStringLiteral("出牌时间"));
}

KoClock::~KoClock() = default;

void KoClock::start(int warningSeconds, int totalSeconds) {
    warningSeconds_ = warningSeconds;
    totalSeconds_ = std::max(totalSeconds, 0);
    secondsLeft_ = totalSeconds_;
    warned_ = false;
    ++run_;
    timer_->start(kSecondMs);
    update();
}

void KoClock::stop() {
    timer_->stop();
    ++run_;
    secondsLeft_ = 0;
    update();
}

bool KoClock::running() const {
    return timer_->isActive();
}

void KoClock::onSecond() {
    secondsLeft_ = std::max(secondsLeft_ - 1, 0);
    const bool out = secondsLeft_ == 0;
    if (out) timer_->stop();
    update();
    // A handler may stop or restart the clock; this second then belongs to a
    // countdown that is over and reports nothing more.
    const std::uint64_t run = run_;
    report(&KoClock::ticked, events_.ticked);
    if (run != run_) return;
    if (!warned_ && !out && secondsLeft_ <= warningSeconds_) {
        warned_ = true;
        report(&KoClock::warned, events_.warned);
        if (run != run_) return;
    }
    if (out) report(&KoClock::timedOut, events_.timedOut);
}

void KoClock::report(void (KoClock::*signal)(), const std::function<void()>& event) {
    const std::uint64_t run = run_;
    emit(this->*signal)();
    if (run != run_ || !event) return;
    // A copy: the listener may replace the events while it runs.
    const std::function<void()> listener = event;
    listener();
}

void KoClock::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kTrackColour);
    if (totalSeconds_ <= 0 || secondsLeft_ <= 0) return;
    const int width =
        static_cast<int>(static_cast<std::int64_t>(this->width()) * secondsLeft_ / totalSeconds_);
    const QColor& colour = secondsLeft_ <= warningSeconds_ ? kWarningColour : kBarColour;
    painter.fillRect(QRect(0, 0, width, height()), colour);
}

}  // namespace krvo
