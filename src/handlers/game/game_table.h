#pragma once
// The game side of the table in one piece: the turn clock, the start button,
// the player's actions, the action area, automatic play and the game-message
// handler, wired to each other. It is also how the room handling reaches the
// round flow.

#include <span>

#include "game/game_handler.h"
#include "game/game_links.h"
#include "game/round_flow.h"
#include "game/start_button.h"
#include "game/table_actions.h"
#include "game/turn_clock.h"
#include "ports/table_flow.h"

namespace krvo {

class CountdownBar;
class TableButton;
class TableNotices;

class GameTable final : public TableFlow {
public:
    struct Controls {
        CountdownBar& countdownBar;  // the main window's time bar
        TableButton& startButton;    // on the table surface
        TableNotices& notices;       // leave votes, "cannot go on", props
    };

    GameTable(GameLinks links, Controls controls);

    void handleGameMessage(std::span<const std::uint8_t> packet) {
        handler_.handleGameMessage(packet);
    }

    void stopClock() override { clock_.stopClock(); }
    void refreshStartButton() override { start_.showStartButton(); }
    void refreshAction() override { flow_.refreshAction(); }

    TurnClock& clock() { return clock_; }
    StartButton& startButton() { return start_; }
    TableActions& actions() { return actions_; }
    AutoPlay& autoPlay() { return autoPlay_; }
    GameHandler& handler() { return handler_; }

private:
    TurnClock clock_;
    StartButton start_;
    TableActions actions_;
    RoundFlow flow_;
    AutoPlay autoPlay_;
    GameHandler handler_;
};

}  // namespace krvo
