#include "services/frame_pacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace krvo {

FramePacer::FramePacer(QWidget* window, Now now)
    : QObject(window), window_(window), now_(std::move(now)) {
    if (!now_) {
        steady_.start();
        now_ = [this] { return steady_.elapsed(); };
    }
    frameEnd_.setSingleShot(true);
    frameEnd_.setTimerType(Qt::PreciseTimer);
    frameEnd_.callOnTimeout(this, [this] { endFrame(); });
    if (window_) window_->installEventFilter(this);
}

void FramePacer::setRefreshRate(double hertz) {
    // A screen that reports nothing sensible is taken for an ordinary one.
    if (!std::isfinite(hertz) || hertz < 24 || hertz > 500) {
        frameMs_ = kDefaultFrameMs;
        return;
    }
    frameMs_ = std::max(1, static_cast<int>(1000.0 / hertz));
}

void FramePacer::endFrame() {
    frameEnd_.stop();
    if (!pending_ || !window_) return;
    pending_ = false;
    // Qt asks for no second repaint while its first request is unanswered,
    // so the one held back is asked for again, and let through.
    released_ = true;
    QCoreApplication::postEvent(window_, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}

bool FramePacer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_ || event->type() != QEvent::UpdateRequest) return false;
    const std::int64_t now = now_();
    const std::int64_t since = now - lastPainted_;
    if (std::exchange(released_, false) || !paintedBefore_ || since >= frameMs_ || since < 0) {
        lastPainted_ = now;
        paintedBefore_ = true;
        pending_ = false;
        frameEnd_.stop();
        return false;
    }
    pending_ = true;
    if (!frameEnd_.isActive()) frameEnd_.start(static_cast<int>(frameMs_ - since));
    return true;
}

}  // namespace krvo
