#include "game/game_handler.h"

#include "core/packet.h"
#include "core/waits.h"
#include "game/round_flow.h"
#include "game/start_button.h"
#include "game/table_actions.h"
#include "game/table_notices.h"
#include "game/turn_clock.h"
#include "ports/packet_sender.h"
#include "ports/room_controls.h"
#include "ports/table_scene.h"
#include "room/players.h"
#include "state/command_line.h"
#include "state/public_state.h"
#include "state/table_state.h"
#include "wire/room_protocol.h"

namespace krvo {
namespace {

// The red aces a bteLiang value of 1, 2 or 3 stands for.
CardList redAcesOf(std::uint8_t which) {
    switch (which) {
        case 1:
            return {kRedAceSuit0};
        case 2:
            return {kRedAceSuit3};
        case 3:
            return {kRedAceSuit0, kRedAceSuit3};
        default:
            return {};
    }
}

}  // namespace

void GameHandler::handleGameMessage(std::span<const std::uint8_t> packet) {
    if (packet.empty()) return;
    if (packet[0] == GMSG_CHAT) {
        HandleChatMessage(packet, links_.chat);
        return;
    }
    switch (packet[0]) {
        case GMSG_MY_PAI:
            return onMyPai(packet);
        case GMSG_CANNOT_GO_ON:
        case GMSG_LEAVE:
        case GMSG_DAOJU:
            parts().notices.handleMessage(packet);
            return;
        case GMSG_ROUND_START:
            return onRoundStart(packet);
        case GMSG_HAND_UP:
            return onHandUp(packet);
        case GMSG_DEAL:
            return onDeal(packet);
        case GMSG_DECLARE:
            return onDeclare(packet);
        case GMSG_OUT_PAI:
            return onOutPai(packet);
        case GMSG_OUT_REJECT:
            return onOutReject(packet);
        case GMSG_ROUND_END:
            return onRoundEnd(packet);
        case GMSG_SEE_PAI:
            return onSeePai(packet);
        default:
            return;
    }
}

// A hand cut short would leave the count and the cards disagreeing: such a
// message is ignored whole.
void GameHandler::onMyPai(std::span<const std::uint8_t> packet) {
    const std::optional<CardSpan> hand = ParseMyPai(packet);
    if (!hand) return;
    TableState& table = links().table;
    table.bteMyPai.assign(hand->begin(), hand->end());
    table.bteSelected.assign(hand->size(), 0);
    const std::uint8_t myChair = links().pub.bteMyChair;
    if (myChair < kChairCount) {
        table.arrSeat[myChair].btePaiCount = static_cast<std::uint8_t>(hand->size());
    }
    links().scene.invalidateOwnHand();
    parts().flow.refreshAction();
}

void GameHandler::onRoundStart(std::span<const std::uint8_t> packet) {
    TableState& table = links().table;
    PublicState& pub = links().pub;
    table.bteMyPaiBak.clear();
    if (pub.blnCanStart) parts().start.takeDown();
    if (pub.bteGameState == 0) {
        pub.bteGameState = 1;
        links().sender.sendPacket(GameOnPacket());
    }
    parts().clock.stopClock();
    ResetRound(table, true);
    pub.bteGameState = 1;
    table.blnNoGame = false;
    // Another size still starts the round, with the default settings.
    const std::optional<RoundStartInfo> info = ParseRoundStart(packet);
    if (!info) return;
    table.bteAutoPlayLimit = info->bteAutoPlayLimit;
    table.bteDeckCount = info->bteDeckCount;
    table.blnShowOtherPai = info->blnShowOtherPai;
    table.bteDeclareTime = info->bteDeclareTime;
    table.btePlayTime = info->btePlayTime;
    table.bteCurChair = info->bteCurChair;
    table.bteRoundState = info->bteRoundState;
    table.bteShouJiaChair = info->bteShouJiaChair;
    table.blnShouJia = info->blnShouJia;
    table.bteMaxLeaveRequests = info->bteMaxLeaveRequests;
    links().scene.layoutTable();
    links().scene.invalidateTable();
    if (pub.blnIsOnlooker) return;
    links().sender.sendPacket(DealAckPacket(pub.bteMyChair));
}

void GameHandler::onHandUp(std::span<const std::uint8_t> packet) {
    const std::optional<std::uint8_t> chair = ParseHandUp(packet);
    if (!chair || *chair >= kChairCount) return;
    links().table.arrSeat[*chair].blnReady = true;
    links().scene.invalidateReadyMark(*chair);
}

void GameHandler::onDeal(std::span<const std::uint8_t> packet) {
    TableState& table = links().table;
    const std::size_t count = kCardsPerDeckAndPlayer * table.bteDeckCount;
    const std::optional<CardSpan> hand = ParseDeal(packet, count);
    if (!hand) return;
    table.bteMyPai.assign(hand->begin(), hand->end());
    table.bteSelected.assign(count, 0);
    // A count byte cannot hold the hand of more than 21 decks; it stays full.
    const auto shownCount = static_cast<std::uint8_t>(std::min<std::size_t>(count, 255));
    for (std::uint8_t chair = 0; chair < kChairCount; ++chair) {
        table.arrSeat[chair].btePaiCount = shownCount;
        links().scene.invalidateSeatHand(chair);
    }
    const std::uint8_t first = table.bteShouJiaChair;
    if (table.blnShouJia != 0 && first < kChairCount) {
        links().chat.showSystemLine(table.arrSeat[first].strUserName + " 有红桃3，先出牌！");
        parts().actions.startFirstPlayerMark();
    }
    parts().flow.refreshAction();
    links().sounds.play(kSoundDeal);
}

void GameHandler::showRedAces(std::uint8_t chair, std::uint8_t which) {
    if (chair >= kChairCount) return;
    SeatInfo& seat = links().table.arrSeat[chair];
    if (which >= 1 && which <= 3) seat.bteOutPai = redAcesOf(which);
    links().scene.invalidateSeatPlay(chair);
}

// A 揪 makes the red aces known, chair by chair.
void GameHandler::revealRedAces(const DeclareReport& report) {
    for (const auto& [chair, which] : report.revealed) {
        if (which < 1 || which > 3) continue;
        links().table.arrSeat[chair].bteLiang = which;
        showRedAces(chair, which);
    }
}

void GameHandler::onDeclare(std::span<const std::uint8_t> packet) {
    const std::optional<DeclareReport> report = ParseDeclare(packet);
    if (!report) return;
    TableState& table = links().table;
    const std::uint8_t kind = report->kind;
    const std::uint8_t chair = report->chair;
    const std::uint8_t value = report->value;
    SeatInfo* seat = chair < kChairCount ? &table.arrSeat[chair] : nullptr;
    const auto answer = [&](std::uint8_t SeatInfo::*field, std::uint8_t& roundMark,
                            GameSound sound) {
        if (seat) seat->*field = value;
        roundMark = report->roundMark;
        links().sounds.play(value == 0 ? kSoundDeclined : sound);
    };
    switch (kind) {
        case kAnswerLiang:
            answer(&SeatInfo::bteLiang, table.bteRoundLiang, kSoundShowRedAces);
            if (value != 0) showRedAces(chair, value);
            break;
        case kAnswerJiu:
            answer(&SeatInfo::bteJiu, table.bteRoundJiu, kSoundJiu);
            if (value != 0) revealRedAces(*report);
            break;
        case kAnswerJue:
            answer(&SeatInfo::bteJue, table.bteRoundJue, kSoundJue);
            break;
        case kAnswerZhi:
            answer(&SeatInfo::bteZhi, table.bteRoundZhi, kSoundZhi);
            break;
        case kAnswerSurrender:
            links().sounds.play(kSoundSurrender);
            break;
        default:
            break;
    }
    table.bteCurChair = report->nextChair;
    table.bteRoundState = report->nextState;
    if (table.bteRoundState == kRoundLead) {
        // The declarations are over: the shown red aces leave the centre.
        table.blnShowWait = false;
        for (SeatInfo& each : table.arrSeat) each.bteOutPai.clear();
        links().scene.invalidateTableCentre(TrickView::Current);
    }
    for (std::uint8_t each = 0; each < kChairCount; ++each) {
        links().scene.invalidateDeclarationMarks(each);
    }
    links().scene.invalidateDeclarationPanel();
    parts().flow.refreshAction();
}

void GameHandler::onOutReject(std::span<const std::uint8_t> packet) {
    parts().clock.stopClock();
    if (!links().notice.show(PacketToString(packet, 1), links().launch.strGameTitle)) return;
    TableState& table = links().table;
    const bool playTurn = table.bteRoundState == kRoundLead || table.bteRoundState == kRoundFollow;
    if (playTurn && !table.bteMyPaiBak.empty()) {
        restoreAfterRejection(table, links().pub.bteMyChair);
        links().scene.invalidateTableCentre(TrickView::Current);
        links().scene.invalidateOwnHand();
    }
    parts().flow.refreshAction();
}

void GameHandler::onSeePai(std::span<const std::uint8_t> packet) {
    const std::optional<bool> canSee = ParseSeePai(packet);
    if (!canSee) return;
    if (links().pub.bteGameState == 0 || !links().pub.blnIsOnlooker) return;
    links().table.blnCanSeeMyPai = *canSee ? 1 : 0;
    if (!links().table.blnNoGame) links().scene.invalidateOwnHand();
}

bool GameHandler::playBomb(std::uint8_t chair, std::uint8_t kind) {
    if (chair >= kChairCount) return true;
    TableState& table = links().table;
    // What follows the animation works on the table as this play left it
    // (the next chair, the trick flag): packets wait until it is done.
    const Waiter::PacketHold hold(links().waiter);
    // An animation may run inside another one's waits; the outer keeps the lock.
    const bool outer = table.blnBombShow;
    table.blnBombShow = true;
    links().scene.playBombAnimation(chair, kind);
    table.blnBombShow = outer;
    return !links().waiter.ending();
}

}  // namespace krvo
