#pragma once
// KoClock: the turn's countdown bar, shrinking its bar as the seconds go. It
// reports through its signals and through CountdownBar's events. The seconds
// come from an injected Clock, so tests drive them by hand.

#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "core/clock.h"
#include "ports/countdown_bar.h"

namespace krvo {

class KoClock : public QWidget, public CountdownBar {
    Q_OBJECT
public:
    explicit KoClock(Clock& clock, QWidget* parent = nullptr);
    ~KoClock() override;

    void start(int warningSeconds, int totalSeconds) override;
    void stop() override;
    void setEvents(Events events) override { events_ = std::move(events); }
    bool running() const;
    int secondsLeft() const { return secondsLeft_; }
    int totalSeconds() const { return totalSeconds_; }

    QSize sizeHint() const override { return {180, 12}; }

signals:
    void ticked();
    void warned();
    void timedOut();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void onSecond();
    // Emits the signal, then tells the listener unless the signal stopped the count.
    void report(void (KoClock::*signal)(), const std::function<void()>& event);

    std::unique_ptr<Timer> timer_;
    Events events_;
    int warningSeconds_ = 0;
    int totalSeconds_ = 0;
    int secondsLeft_ = 0;
    bool warned_ = false;
    std::uint64_t run_ = 0;  // one per start or stop
};

}  // namespace krvo
