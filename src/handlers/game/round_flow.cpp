#include "game/round_flow.h"

#include "core/packet.h"
#include "game/start_button.h"
#include "game/turn_clock.h"
#include "ports/packet_sender.h"
#include "ports/table_scene.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "wire/game_protocol.h"

namespace krvo {

void ShowPlayButtons(TableState& table, TableScene& scene) {
    table.bteOutBut.fill(kButtonHidden);
    if (table.bteRoundState == kRoundLead) {
        table.bteOutBut[0] = kButtonShown;
    } else if (table.bteRoundState == kRoundFollow) {
        table.bteOutBut.fill(kButtonShown);
    }
    scene.invalidatePlayButtons();
}

void HidePlayButtons(TableState& table, TableScene& scene) {
    table.bteOutBut.fill(kButtonHidden);
    scene.erasePlayButtons();
}

void ShowDecisionButtons(TableState& table, TableScene& scene) {
    table.bteLiangBut.fill(kButtonShown);
    scene.invalidateDecisionButtons();
}

void HideDecisionButtons(TableState& table, TableScene& scene) {
    table.bteLiangBut.fill(kButtonHidden);
    scene.eraseDecisionButtons();
}

RoundFlow::RoundFlow(Links links, TurnClock& clock, StartButton& start)
    : links_(std::move(links)), clock_(clock), start_(start) {}

void RoundFlow::refreshAction() {
    switch (links_.table.bteRoundState) {
        case kRoundBetween:
            return;
        case kRoundLead:
        case kRoundFollow:
            return refreshPlayTurn();
        case kRoundNone:
            return refreshIdleTable();
        default:
            return refreshDeclaration();
    }
}

void RoundFlow::refreshPlayTurn() {
    TableState& table = links_.table;
    table.bteToolBut.fill(kButtonShown);
    links_.scene.invalidateToolButtons();
    // Every client runs the clock of a play turn, whoever's turn it is.
    clock_.startClock(table.bteCurChair);
    if (!IsMyTurn(links_.pub, links_.table)) return;
    if (table.bteMyPai.empty()) {
        links_.sender.sendPacket(AskForHandPacket(links_.pub.bteMyChair));
        return;
    }
    ShowPlayButtons(links_.table, links_.scene);
}

void RoundFlow::refreshIdleTable() {
    start_.takeDown();
    if (!IsPlayer(links_.pub)) return;
    if (!links_.table.arrSeat[links_.pub.bteMyChair].blnReady) start_.putUp();
}

void RoundFlow::refreshDeclaration() {
    if (!IsMyTurn(links_.pub, links_.table)) return showWaitingNotice();
    links_.table.blnShowWait = false;
    links_.scene.invalidateTableCentre(TrickView::Current);
    clock_.startClock(links_.pub.bteMyChair);
    ShowDecisionButtons(links_.table, links_.scene);
}

void RoundFlow::showWaitingNotice() {
    links_.table.blnShowWait = true;
    links_.scene.invalidateWaitingNotice();
}

}  // namespace krvo
