#pragma once
// The action area: after every change of the round state it decides what the
// local player may do next (play buttons, decision buttons, the waiting
// notice, the start button) and whose clock runs.

#include "game/game_links.h"

namespace krvo {

class StartButton;
class TurnClock;

// The play buttons for the round state: the play button alone to lead, play,
// pass and hint to follow.
void ShowPlayButtons(TableState& table, TableScene& scene);
void HidePlayButtons(TableState& table, TableScene& scene);
void ShowDecisionButtons(TableState& table, TableScene& scene);
void HideDecisionButtons(TableState& table, TableScene& scene);

class RoundFlow {
public:
    struct Links {
        const PublicState& pub;
        TableState& table;
        TableScene& scene;
        PacketSender& sender;
    };

    RoundFlow(Links links, TurnClock& clock, StartButton& start);

    void refreshAction();

private:
    void refreshPlayTurn();
    void refreshIdleTable();
    void refreshDeclaration();
    void showWaitingNotice();

    Links links_;
    TurnClock& clock_;
    StartButton& start_;
};

}  // namespace krvo
