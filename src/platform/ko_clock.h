#pragma once
// KoClock: the turn's countdown bar. It counts whole seconds down from the
// number it was started with, shrinking its bar as it goes, and reports each
// second, the moment the time is nearly out and the moment it is out. The
// seconds come from an injected Clock, so tests drive them by hand.

#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "core/clock.h"

namespace krvo {

class KoClock : public QWidget {
    Q_OBJECT
public:
    explicit KoClock(Clock& clock, QWidget* parent = nullptr);
    ~KoClock() override;

    // Counts totalSeconds down, one tick a second; the warning comes on the
    // tick that leaves warningSeconds or fewer, the time-out on the tick that
    // leaves none. Starting a running countdown starts it afresh.
    void start(int warningSeconds, int totalSeconds);
    void stop();
    bool running() const;
    int secondsLeft() const { return secondsLeft_; }
    int totalSeconds() const { return totalSeconds_; }

    // Free text the owner keeps with the clock: the chair whose turn is timed.
    QString Tag = QStringLiteral("100");

    QSize sizeHint() const override { return {180, 12}; }

signals:
    void ticked();
    void warned();
    void timedOut();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void onSecond();

    std::unique_ptr<Timer> timer_;
    int warningSeconds_ = 0;
    int totalSeconds_ = 0;
    int secondsLeft_ = 0;
    bool warned_ = false;
    std::uint64_t run_ = 0;  // one per start or stop
};

}  // namespace krvo
