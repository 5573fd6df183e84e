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

namespace krvo {
namespace {

constexpr std::size_t kRoundStartSize = 20;
constexpr std::size_t kHandUpSize = 2;
constexpr std::size_t kDeclareSize = 11;
constexpr std::size_t kSeePaiSize = 3;

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

void GameHandler::HandleGameMsg(std::span<const std::uint8_t> packet) {
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
            parts().notices.Handle(packet);
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
    if (packet.size() < 3) return;
    const std::size_t count = packet[2];
    if (packet.size() - 3 < count) return;
    TableState& table = links().table;
    table.bteMyPai.assign(packet.begin() + 3, packet.begin() + 3 + count);
    table.bteSelected.assign(count, 0);
    const std::uint8_t myChair = links().pub.bteMyChair;
    if (myChair < kChairCount) table.arrSeat[myChair].btePaiCount = packet[2];
    links().scene.paintOwnHand();
    parts().flow.RefreshAction();
}

void GameHandler::onRoundStart(std::span<const std::uint8_t> packet) {
    TableState& table = links().table;
    PublicState& pub = links().pub;
    table.bteMyPaiBak.clear();
    if (pub.blnCanStart) parts().start.TakeDown();
    if (pub.bteGameState == 0) {
        pub.bteGameState = 1;
        const Packet gameOn = {130, 1};
        links().sender.SendPacket(gameOn);
    }
    parts().clock.StopClock();
    ResetRound(table, true);
    pub.bteGameState = 1;
    table.blnNoGame = false;
    // Another size still starts the round, with the default settings.
    if (packet.size() != kRoundStartSize) return;
    table.bteAutoPlayLimit = packet[3];
    table.bteDeckCount = packet[11];
    table.blnShowOtherPai = packet[12];
    table.bteDeclareTime = packet[13];
    table.btePlayTime = packet[14];
    table.bteCurChair = packet[15];
    table.bteRoundState = packet[16];
    table.bteShouJiaChair = packet[17];
    table.blnShouJia = packet[18];
    table.bteMaxLeaveRequests = packet[19];
    links().scene.layoutTable();
    links().scene.paintTable();
    if (pub.blnIsOnlooker) return;
    const Packet ack = {19, pub.bteMyChair};
    links().sender.SendPacket(ack);
}

void GameHandler::onHandUp(std::span<const std::uint8_t> packet) {
    if (packet.size() != kHandUpSize) return;
    const std::uint8_t chair = packet[1];
    if (chair >= kChairCount) return;
    links().table.arrSeat[chair].blnReady = true;
    links().scene.paintReadyMark(chair);
}

void GameHandler::onDeal(std::span<const std::uint8_t> packet) {
    TableState& table = links().table;
    const std::size_t count = kCardsPerDeckAndPlayer * table.bteDeckCount;
    if (packet.size() != count + 2) return;
    table.bteMyPai.assign(packet.begin() + 2, packet.end());
    table.bteSelected.assign(count, 0);
    // A count byte cannot hold the hand of more than 21 decks; it stays full.
    const auto shownCount = static_cast<std::uint8_t>(std::min<std::size_t>(count, 255));
    for (std::uint8_t chair = 0; chair < kChairCount; ++chair) {
        table.arrSeat[chair].btePaiCount = shownCount;
        links().scene.paintSeatHand(chair);
    }
    const std::uint8_t first = table.bteShouJiaChair;
    if (table.blnShouJia != 0 && first < kChairCount) {
        links().chat.ShowSystemLine(table.arrSeat[first].strUserName + " 有红桃3，先出牌！");
        parts().actions.StartFirstPlayerMark();
    }
    parts().flow.RefreshAction();
    links().sounds.play(kSoundDeal);
}

void GameHandler::showRedAces(std::uint8_t chair, std::uint8_t which) {
    if (chair >= kChairCount) return;
    SeatInfo& seat = links().table.arrSeat[chair];
    if (which >= 1 && which <= 3) seat.bteOutPai = redAcesOf(which);
    links().scene.paintSeatPlay(chair);
}

// A 揪 makes the red aces known: (chair, which) pairs from byte 7 on, up to
// the first byte that names no chair. The size check keeps every pair inside
// the packet.
void GameHandler::revealRedAces(std::span<const std::uint8_t> packet) {
    const std::size_t last = packet.size() - 1;
    for (std::size_t i = 7; i < last && packet[i] < kChairCount; i += 2) {
        const std::uint8_t chair = packet[i];
        const std::uint8_t which = packet[i + 1];
        if (which < 1 || which > 3) continue;
        links().table.arrSeat[chair].bteLiang = which;
        showRedAces(chair, which);
    }
}

void GameHandler::onDeclare(std::span<const std::uint8_t> packet) {
    if (packet.size() != kDeclareSize) return;
    TableState& table = links().table;
    const std::uint8_t kind = packet[1];
    const std::uint8_t chair = packet[2];
    const std::uint8_t value = packet[3];
    SeatInfo* seat = chair < kChairCount ? &table.arrSeat[chair] : nullptr;
    const auto answer = [&](std::uint8_t SeatInfo::*field, std::uint8_t& roundMark,
                            GameSound sound) {
        if (seat) seat->*field = value;
        roundMark = packet[6];
        links().sounds.play(value == 0 ? kSoundDeclined : sound);
    };
    switch (kind) {
        case kAnswerLiang:
            answer(&SeatInfo::bteLiang, table.bteRoundLiang, kSoundShowRedAces);
            if (value != 0) showRedAces(chair, value);
            break;
        case kAnswerJiu:
            answer(&SeatInfo::bteJiu, table.bteRoundJiu, kSoundJiu);
            if (value != 0) revealRedAces(packet);
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
    table.bteCurChair = packet[4];
    table.bteRoundState = packet[5];
    if (table.bteRoundState == kRoundLead) {
        // The declarations are over: the shown red aces leave the centre.
        table.blnShowWait = false;
        for (SeatInfo& each : table.arrSeat) each.bteOutPai.clear();
        links().scene.paintTableCentre(TrickView::Current);
    }
    for (std::uint8_t each = 0; each < kChairCount; ++each) {
        links().scene.paintDeclarationMarks(each);
    }
    links().scene.paintDeclarationPanel();
    parts().flow.RefreshAction();
}

void GameHandler::onOutReject(std::span<const std::uint8_t> packet) {
    parts().clock.StopClock();
    if (!links().notice.show(PacketToString(packet, 1), links().launch.strGameTitle)) return;
    TableState& table = links().table;
    const bool playTurn = table.bteRoundState == kRoundLead || table.bteRoundState == kRoundFollow;
    if (playTurn && !table.bteMyPaiBak.empty()) {
        restoreAfterRejection(table, links().pub.bteMyChair);
        links().scene.paintTableCentre(TrickView::Current);
        links().scene.paintOwnHand();
    }
    parts().flow.RefreshAction();
}

void GameHandler::onSeePai(std::span<const std::uint8_t> packet) {
    if (packet.size() != kSeePaiSize) return;
    if (links().pub.bteGameState == 0 || !links().pub.blnIsOnlooker) return;
    links().table.blnCanSeeMyPai = packet[2] != 0 ? 1 : 0;
    if (!links().table.blnNoGame) links().scene.paintOwnHand();
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
