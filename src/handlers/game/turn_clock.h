#pragma once
// The turn clock and what happens when a turn runs out: a declaration is
// declined, a follow passes, a lead plays its last card, and every automatic
// play counts against the player, who is warned once and taken off the table
// at the limit.

#include <array>
#include <cstdint>
#include <functional>

#include "game/game_links.h"

namespace krvo {

class CountdownBar;
class TableActions;

inline constexpr std::uint8_t kNoClockChair = 100;

class TurnClock {
public:
    struct Links {
        TableState& table;
        TableScene& scene;
        GameSounds sounds;
    };

    TurnClock(Links links, CountdownBar& bar);
    ~TurnClock();
    TurnClock(const TurnClock&) = delete;
    TurnClock& operator=(const TurnClock&) = delete;

    // Starts the countdown of a turn for the chair; a chair above 3 is ignored.
    void startClock(std::uint8_t chair);
    void stopClock();

    // The chair whose clock runs, kNoClockChair when none.
    int clockChair() const { return clockChair_; }
    std::int32_t lngClockTicks() const { return lngClockTicks_; }

    // What the time-out does once the clock is stopped; gets the chair it ran for.
    std::function<void(int chair)> onTimeOut;

private:
    void secondPassed();
    void soundWarning();
    void turnRanOut();

    Links links_;
    CountdownBar& KoClock_;
    int clockChair_ = kNoClockChair;
    std::int32_t lngClockTicks_ = 0;
};

class AutoPlay {
public:
    struct Links {
        const PublicState& pub;
        TableState& table;
        TableScene& scene;
        PacketSender& sender;
        NoticeBox notice;
        // Ends the program: the player ran out of automatic plays.
        std::function<void(ExitReason)> closeMainWindow;
    };

    AutoPlay(Links links, TurnClock& clock, TableActions& actions);

    // A turn ran out for this chair (already stopped).
    void actForTimedOutTurn(int chair);
    // Counts one automatic play: a warning one short of the limit, and at the
    // limit the player is taken off the table.
    void countAutoPlay();

private:
    void leadLastCard();

    Links links_;
    TableActions& actions_;
};

}  // namespace krvo
