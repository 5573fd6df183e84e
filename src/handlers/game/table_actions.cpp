#include "game/table_actions.h"

#include "core/packet.h"
#include "game/round_flow.h"
#include "game/turn_clock.h"
#include "ports/packet_sender.h"
#include "ports/table_scene.h"
#include "state/command_line.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "wire/game_protocol.h"

namespace krvo {
namespace {

constexpr std::int64_t kSecondMs = 1000;

}  // namespace

TableActions::TableActions(Links links, TurnClock& clock)
    : links_(std::move(links)),
      clock_(clock),
      previousTrickTimer_(links_.clock.createTimer([this] { previousTrickTick(); })),
      firstPlayerMarkTimer_(links_.clock.createTimer([this] { firstPlayerMarkTick(); })) {}

bool TableActions::toggleCard(std::size_t index) {
    if (links_.pub.blnIsOnlooker) return false;
    TableState& table = links_.table;
    if (index < 1 || index > table.bteMyPai.size()) return true;
    table.bteSelected.resize(table.bteMyPai.size(), 0);
    std::uint8_t& selected = table.bteSelected[index - 1];
    selected = selected == 0 ? 1 : 0;
    links_.scene.invalidateToggledCard(index);
    return true;
}

void TableActions::lowerAllCards() {
    TableState& table = links_.table;
    table.bteSelected.assign(table.bteMyPai.size(), 0);
    links_.scene.invalidateOwnHand();
}

void TableActions::sortHand() {
    TableState& table = links_.table;
    if (table.bteMyPai.empty()) return;
    if (table.blnSortFlag) {
        SortPaiByRank(table.bteMyPai);
    } else {
        SortPaiByGroup(table.bteMyPai);
    }
    table.blnSortFlag = !table.blnSortFlag;
    links_.scene.invalidateOwnHand();
}

void TableActions::showPreviousTrick() {
    previousTrickTicksLeft_ = kPreviousTrickTicks;
    links_.scene.invalidateTableCentre(TrickView::Previous);
    previousTrickTimer_->start(kSecondMs);
}

void TableActions::previousTrickTick() {
    --previousTrickTicksLeft_;
    if (previousTrickTicksLeft_ >= 1) return;
    previousTrickTimer_->stop();
    links_.scene.invalidateTableCentre(TrickView::Current);
    links_.scene.invalidatePlayButtons();
}

void TableActions::sendAnswer(std::uint8_t answer) {
    if (links_.pub.blnIsOnlooker) return;
    clock_.stopClock();
    HideDecisionButtons(links_.table, links_.scene);
    const std::uint8_t state = links_.table.bteRoundState;
    if (!IsDeclarationState(state)) return;
    links_.sender.sendPacket(
        DeclareAnswerPacket(AnswerKindOf(state), links_.pub.bteMyChair, answer));
}

void TableActions::playAction(int index) {
    if (!IsMyTurn(links_.pub, links_.table)) return;
    const std::uint8_t state = links_.table.bteRoundState;
    if (state == kRoundLead || (state == kRoundFollow && index == kPlaySelection)) {
        return playSelection();
    }
    if (state != kRoundFollow) return;
    if (index == kPlayPass) return pass();
    if (index == kPlayHint) hint();
}

bool TableActions::canPlayNow() const {
    const TableState& table = links_.table;
    const bool turnState = table.bteRoundState == kRoundLead || table.bteRoundState == kRoundFollow;
    return IsMyTurn(links_.pub, links_.table) && turnState && table.bteOutBut[0] != kButtonHidden &&
           !table.blnBombShow;
}

void TableActions::clickPlayButton(int index) {
    if (!canPlayNow()) return;
    const std::size_t button = static_cast<std::size_t>(index);
    if (button >= links_.table.bteOutBut.size()) return;
    // The mouse-move hit test lights the button under the pointer; a shown
    // button that is not lit was not under it when the click came.
    if (links_.table.bteOutBut[button] != kButtonHover) return;
    playAction(index);
}

void TableActions::rightClick() {
    if (canPlayNow()) playAction(kPlaySelection);
}

void TableActions::playSelection() {
    TableState& table = links_.table;
    table.tipList.lngTipCount = 0;
    collectSelection(table);
    if (table.bteSelectPai.empty()) return;
    const PlayCheck check = table.bteRoundState == kRoundLead
                                ? CheckLeadPai(table.bteSelectPai)
                                : CheckFollowPai(table.bteSelectPai, table.udtMaxOutPai);
    if (!check.ok) {
        // The cards stay raised so the player can correct the choice.
        table.bteSelectPai.clear();
        links_.notice.show(check.message, links_.launch.strGameTitle);
        return;
    }
    clock_.stopClock();
    HidePlayButtons(links_.table, links_.scene);
    const std::uint8_t myChair = links_.pub.bteMyChair;
    applyLocalPlay(table, myChair);
    links_.scene.invalidateOwnHand();
    links_.scene.invalidateSeatPlay(myChair);
    links_.sender.sendPacket(PlayPacket(myChair, table.bteSelectPai));
}

void TableActions::pass() {
    links_.table.tipList.lngTipCount = 0;
    links_.sender.sendPacket(PassPacket(links_.pub.bteMyChair));
    clock_.stopClock();
    HidePlayButtons(links_.table, links_.scene);
}

void TableActions::hint() {
    TableState& table = links_.table;
    if (table.bteMyPai.empty()) return;
    if (table.tipList.lngTipCount == 0) {
        const OutPaiInfo& top = table.udtMaxOutPai;
        if (!FindTipPai(table.tipList, table.bteMyPai, top.btePaiType, top.btePaiCount,
                        top.bteMaxPai)) {
            return pass();
        }
    }
    showTip();
}

void TableActions::showTip() {
    TableState& table = links_.table;
    TipList& tips = table.tipList;
    if (tips.lngTipIndex < 1 || tips.lngTipIndex > tips.lngTipCount) {
        tips.lngTipIndex = tips.lngTipCount;
    }
    if (tips.lngTipIndex < 1) return;
    const TipPai& tip = tips.udtTipPai[static_cast<std::size_t>(tips.lngTipIndex - 1)];
    table.bteSelectPai.assign(tip.cards().begin(), tip.cards().end());
    table.bteSelected.assign(table.bteMyPai.size(), 0);
    // Equal codes (several decks) raise one hand position each.
    for (const std::uint8_t card : tip.cards()) {
        for (std::size_t j = 0; j < table.bteMyPai.size(); ++j) {
            if (table.bteMyPai[j] == card && table.bteSelected[j] == 0) {
                table.bteSelected[j] = 1;
                break;
            }
        }
    }
    links_.scene.invalidateOwnHand();
    --tips.lngTipIndex;
    if (tips.lngTipIndex < 1) tips.lngTipIndex = tips.lngTipCount;
}

void TableActions::startFirstPlayerMark() {
    firstPlayerMarkTimer_->start(kSecondMs);
}

void TableActions::firstPlayerMarkTick() {
    ++firstPlayerMarkTicks_;
    const std::uint8_t chair = links_.table.bteShouJiaChair;
    if (chair < kChairCount) links_.scene.invalidateFirstPlayerMark(chair);
    if (firstPlayerMarkTicks_ <= kFirstPlayerMarkTicks) return;
    firstPlayerMarkTicks_ = 0;
    firstPlayerMarkTimer_->stop();
    links_.scene.invalidateTable();
}

}  // namespace krvo
