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
//
// Waits nest: a packet handled inside a wait may wait in turn. So that a burst
// of such packets cannot nest without end, packets are also held while
// kMaxNestedLoops loops are running, and released as they unwind.
//
// After a burst the client catches up: while the owner of the connection
// reports that it has fallen behind, pauses nobody would see end at once and
// notices give way (see MessageBoxRegistry) instead of each taking its time.

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
    bool pumpEvents();
    // Handles the next events, blocking at most maxMs for them. It counts as
    // a loop of its own: a loop of such steps belongs in waitUntil, or every
    // step would end a level. False when ending.
    bool waitForEvents(std::int64_t maxMs);
    // Pumps events until ms milliseconds have passed on the clock. False when
    // the program ended during the wait.
    bool waitMilliseconds(std::int64_t ms);
    // A pause of ms milliseconds that shows the table to the player; it ends
    // early, after the step it is in, once the program has fallen behind the
    // packets waiting for it. False when the program is ending.
    bool pause(std::int64_t ms);
    // Pumps events, blocking at most stepMs per step, until done() holds;
    // afterStep runs after every step. The loop of a modal box: it counts as
    // one level however many steps it takes. False when the program is ending.
    bool waitUntil(const std::function<bool()>& done, std::int64_t stepMs,
                   const std::function<void()>& afterStep = {});

    bool ending() const { return ended_; }

    // Normal play nests one or two loops (a box over a pause); a burst of
    // boxes or pauses goes no deeper than this before packets wait.
    static constexpr int kMaxNestedLoops = 4;
    // The loops running now, the outermost event loop not counted.
    int nestedLoops() const { return loops_; }

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

    bool holdingPackets() const { return holds_ > 0 || loops_ >= kMaxNestedLoops; }
    // Runs when packets stop being held: the outermost hold ends, or a loop
    // ends below the limit. It runs inside the code that held, before that
    // code goes on, so it should only schedule the delivery.
    void setPacketsReleased(std::function<void()> onRelease) {
        packetsReleased_ = std::move(onRelease);
    }
    // Whether packets have piled up behind what is on screen now.
    bool fallenBehind() const { return fallenBehind_ && fallenBehind_(); }
    void setFallenBehind(std::function<bool()> query) { fallenBehind_ = std::move(query); }
    // How long a pause blocks at most before it looks at the backlog again.
    static constexpr std::int64_t kBacklogCheckMs = 100;

private:
    // Counts one loop for its lifetime.
    class Nesting {
    public:
        explicit Nesting(Waiter& waiter);
        ~Nesting();
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Waiter& waiter_;
    };

    bool pumpFor(std::int64_t maxMs);
    void releaseIfFree();

    Clock& clock_;
    std::function<void(std::int64_t)> pump_;
    std::function<bool()> endRequested_;
    std::function<void()> endProgram_;
    std::function<void()> packetsReleased_;
    std::function<bool()> fallenBehind_;
    int holds_ = 0;
    int loops_ = 0;
    bool ended_ = false;
};

}  // namespace krvo
