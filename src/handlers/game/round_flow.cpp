#include "game/round_flow.h"

#include "core/packet.h"
#include "game/start_button.h"
#include "game/turn_clock.h"
#include "ports/table_scene.h"
#include "state/public_state.h"
#include "state/table_state.h"

namespace krvo {

void ShowPlayButtons(const GameLinks& links) {
    TableState& table = links.table;
    table.bteOutBut.fill(kButtonHidden);
    if (table.bteRoundState == kRoundLead) {
        table.bteOutBut[0] = kButtonShown;
    } else if (table.bteRoundState == kRoundFollow) {
        table.bteOutBut.fill(kButtonShown);
    }
    links.scene.paintPlayButtons();
}

void HidePlayButtons(const GameLinks& links) {
    links.table.bteOutBut.fill(kButtonHidden);
    links.scene.erasePlayButtons();
}

void ShowDecisionButtons(const GameLinks& links) {
    links.table.bteLiangBut.fill(kButtonShown);
    links.scene.paintDecisionButtons();
}

void HideDecisionButtons(const GameLinks& links) {
    links.table.bteLiangBut.fill(kButtonHidden);
    links.scene.eraseDecisionButtons();
}

RoundFlow::RoundFlow(GameLinks links, TurnClock& clock, StartButton& start)
    : links_(std::move(links)), clock_(clock), start_(start) {}

void RoundFlow::RefreshAction() {
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
    links_.scene.paintToolButtons();
    // Every client runs the clock of a play turn, whoever's turn it is.
    clock_.StartClock(table.bteCurChair);
    if (!IsMyTurn(links_)) return;
    if (table.bteMyPai.empty()) {
        const Packet askForHand = {2, 0, links_.pub.bteMyChair};
        SendGamePacket(links_, askForHand);
        return;
    }
    ShowPlayButtons(links_);
}

void RoundFlow::refreshIdleTable() {
    start_.TakeDown();
    if (!IsPlayer(links_)) return;
    if (!links_.table.arrSeat[links_.pub.bteMyChair].blnReady) start_.PutUp();
}

void RoundFlow::refreshDeclaration() {
    if (!IsMyTurn(links_)) return showWaitingNotice();
    links_.table.blnShowWait = false;
    links_.scene.paintTableCentre(TrickView::Current);
    clock_.StartClock(links_.pub.bteMyChair);
    ShowDecisionButtons(links_);
}

void RoundFlow::showWaitingNotice() {
    links_.table.blnShowWait = true;
    links_.scene.paintWaitingNotice();
}

}  // namespace krvo
