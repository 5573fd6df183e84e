#pragma once
// Paints a window at most once per display frame. Qt repaints a window's
// changed widgets whenever its event loop comes round; the table's waits turn
// the loop many times in a burst of messages, so without a limit the window
// would be painted and sent to the screen once per message, far more often
// than any screen shows. The first change after a quiet frame is painted at
// once; what changes within the same frame is painted together when the
// frame is over. Every pause long enough to be seen (a won trick's, each
// frame of an animation) is still shown.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <functional>

class QWidget;

namespace krvo {

class FramePacer final : public QObject {
public:
    // Milliseconds on a steady clock.
    using Now = std::function<std::int64_t()>;
    static constexpr int kDefaultFrameMs = 16;  // a 60 Hz screen

    // Paces window, a top-level widget; now defaults to the process's steady clock.
    explicit FramePacer(QWidget* window, Now now = {});

    // The frame of the screen the window is on, from its refresh rate in Hz.
    void setRefreshRate(double hertz);
    int frameMs() const { return frameMs_; }
    // A repaint held back to the end of the frame is waiting.
    bool pending() const { return pending_; }
    // Ends the frame: what waits is painted at the next turn of the loop.
    void endFrame();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    Now now_;
    QElapsedTimer steady_;
    QTimer frameEnd_;
    std::int64_t lastPainted_ = 0;
    bool paintedBefore_ = false;
    bool pending_ = false;
    bool released_ = false;
    int frameMs_ = kDefaultFrameMs;
};

}  // namespace krvo
