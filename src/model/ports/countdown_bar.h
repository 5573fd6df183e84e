#pragma once
// The turn's countdown bar (the main window's time bar). It counts whole
// seconds down from the number it was started with and reports each second,
// the moment the time is nearly out and the moment it is out.

#include <functional>

namespace krvo {

class CountdownBar {
public:
    // What the bar reports to; an empty function hears nothing.
    struct Events {
        std::function<void()> ticked;
        std::function<void()> warned;
        std::function<void()> timedOut;
    };

    virtual ~CountdownBar() = default;
    // Counts totalSeconds down, one tick a second; the warning comes on the
    // tick that leaves warningSeconds or fewer, the time-out on the tick that
    // leaves none. Starting a running countdown starts it afresh.
    virtual void start(int warningSeconds, int totalSeconds) = 0;
    virtual void stop() = 0;
    virtual void setEvents(Events events) = 0;
};

}  // namespace krvo
