#pragma once
// Event-pumping waits. The program has one thread: a wait keeps socket events,
// timers and clicks flowing, so other handlers run inside it. When the program
// has been asked to end, a wait ends it and returns false at once; the code
// that waited must then return without touching the table any further.

#include <cstdint>
#include <functional>

#include "core/clock.h"

namespace krvo {

class Waiter {
public:
    // pump(maxMs) handles pending events, blocking at most maxMs for new ones
    // (0: do not block). endRequested reports the main window's close request;
    // endProgram performs the ending (called once).
    Waiter(Clock& clock, std::function<void(std::int64_t maxMs)> pump,
           std::function<bool()> endRequested, std::function<void()> endProgram);

    // Handles pending events once. False when the program is ending.
    bool PumpEvents();
    // Handles the next events, blocking at most maxMs for them: the step of a
    // nested loop (a modal box) that waits for an answer. False when ending.
    bool WaitForEvents(std::int64_t maxMs);
    // Pumps events until ms milliseconds have passed on the clock. False when
    // the program ended during the wait.
    bool WaitMilliseconds(std::int64_t ms);

    bool ending() const { return ended_; }

private:
    bool pumpFor(std::int64_t maxMs);

    Clock& clock_;
    std::function<void(std::int64_t)> pump_;
    std::function<bool()> endRequested_;
    std::function<void()> endProgram_;
    bool ended_ = false;
};

}  // namespace krvo
