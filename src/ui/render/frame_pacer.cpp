#include "render/frame_pacer.h"

#include <algorithm>
#include <cmath>

namespace krvo {

FramePacer::FramePacer(std::function<void(const QRegion&)> show, Now now)
    : show_(std::move(show)), now_(std::move(now)) {
    if (!now_) {
        steady_.start();
        now_ = [this] { return steady_.elapsed(); };
    }
    frameEnd_.setSingleShot(true);
    frameEnd_.setTimerType(Qt::PreciseTimer);
    frameEnd_.callOnTimeout([this] { showPending(); });
}

void FramePacer::setRefreshRate(double hertz) {
    // A screen that reports nothing sensible is taken for an ordinary one.
    if (!std::isfinite(hertz) || hertz < 24 || hertz > 500) {
        frameMs_ = kDefaultFrameMs;
        return;
    }
    frameMs_ = std::max(1, static_cast<int>(1000.0 / hertz));
}

void FramePacer::mark(const QRect& area) {
    if (area.isEmpty()) return;
    pending_ += area;
    if (frameEnd_.isActive()) return;
    const std::int64_t since = now_() - lastShown_;
    if (!shownBefore_ || since >= frameMs_ || since < 0) {
        showPending();
        return;
    }
    frameEnd_.start(static_cast<int>(frameMs_ - since));
}

void FramePacer::showPending() {
    frameEnd_.stop();
    if (pending_.isEmpty()) return;
    lastShown_ = now_();
    shownBefore_ = true;
    const QRegion area = std::exchange(pending_, QRegion());
    if (show_) show_(area);
}

}  // namespace krvo
