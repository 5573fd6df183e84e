#pragma once
// Shows the table's changes at most once per display frame. The first change
// after a quiet frame is shown at once; what changes within the same frame is
// gathered and shown together when the frame is over. A burst of messages
// handled faster than the screen refreshes therefore costs one picture per
// frame instead of one per message, while every pause long enough to be seen
// (a won trick's, each frame of an animation) is still shown.

#include <QElapsedTimer>
#include <QRegion>
#include <QTimer>
#include <cstdint>
#include <functional>

namespace krvo {

class FramePacer {
public:
    // Milliseconds on a steady clock.
    using Now = std::function<std::int64_t()>;
    static constexpr int kDefaultFrameMs = 16;  // a 60 Hz screen

    // show receives the area to repaint; now defaults to the process's steady clock.
    explicit FramePacer(std::function<void(const QRegion&)> show, Now now = {});

    // The frame of the screen the table is on, from its refresh rate in Hz.
    void setRefreshRate(double hertz);
    int frameMs() const { return frameMs_; }
    // area changed: shown now if no picture was shown this frame, else when the frame ends.
    void mark(const QRect& area);
    // Shows what is waiting, now; the end of a frame calls it.
    void showPending();
    bool pending() const { return !pending_.isEmpty(); }

private:
    std::function<void(const QRegion&)> show_;
    Now now_;
    QElapsedTimer steady_;
    QTimer frameEnd_;
    QRegion pending_;
    std::int64_t lastShown_ = 0;
    bool shownBefore_ = false;
    int frameMs_ = kDefaultFrameMs;
};

}  // namespace krvo
