#pragma once
// Event-pumping waits. The program has one thread: a wait keeps socket events,
// timers and clicks flowing, so other handlers run inside it. When the program
// has been asked to end, a wait ends it and returns false at once; the code
// that waited must then return without touching the table any further.
//
// Some pauses must not let the server's packets in: a packet handled inside
// them would be undone by the work that follows the pause. Such a pause holds
// packets; the owner of the connection keeps what arrives meanwhile and, told
// when the last hold ends, delivers it in order. Everything else flows on.

#include <cstdint>
#include <functional>
#include <utility>

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

    // Holds packets for its lifetime; holds nest.
    class PacketHold {
    public:
        explicit PacketHold(Waiter& waiter);
        ~PacketHold();
        PacketHold(const PacketHold&) = delete;
        PacketHold& operator=(const PacketHold&) = delete;

    private:
        Waiter& waiter_;
    };

    bool holdingPackets() const { return holds_ > 0; }
    // Runs when the outermost hold ends. It runs inside the code that held,
    // before that code goes on, so it should only schedule the delivery.
    void setPacketsReleased(std::function<void()> onRelease) {
        packetsReleased_ = std::move(onRelease);
    }

private:
    bool pumpFor(std::int64_t maxMs);

    Clock& clock_;
    std::function<void(std::int64_t)> pump_;
    std::function<bool()> endRequested_;
    std::function<void()> endProgram_;
    std::function<void()> packetsReleased_;
    int holds_ = 0;
    bool ended_ = false;
};

}  // namespace krvo
