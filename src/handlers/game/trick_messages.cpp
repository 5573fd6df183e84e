// The messages of the trick play and the round's end.

#include <algorithm>
#include <limits>
#include <string>

#include "core/packet.h"
#include "core/waits.h"
#include "game/game_handler.h"
#include "game/round_flow.h"
#include "game/start_button.h"
#include "game/turn_clock.h"
#include "ports/packet_sender.h"
#include "ports/room_controls.h"
#include "ports/table_scene.h"
#include "state/command_line.h"
#include "state/public_state.h"
#include "state/table_state.h"

namespace krvo {
namespace {

constexpr std::int64_t kTrickWonPauseMs = 2000;
constexpr std::int64_t kOnlookerResultMs = 5000;
constexpr std::uint8_t kBombKindBlast = 1;
constexpr std::uint8_t kBombKindRedAces = 2;

std::int32_t addSaturated(std::int32_t total, std::int32_t score) {
    const std::int64_t sum = static_cast<std::int64_t>(total) + score;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        sum, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

// A play whose card count disagrees with its length is ignored whole: taking
// its trick flag alone would leave a play to beat the server never meant.
void GameHandler::onOutPai(std::span<const std::uint8_t> packet) {
    TableState& table = links().table;
    parts().clock.stopClock();
    if (table.bteOutBut[0] != kButtonHidden) HidePlayButtons(links().table, links().scene);
    const std::optional<OutPai> play = ParseOutPai(packet);
    if (!play) return;
    const PlayReport report = play->report;
    const bool trickFlag = report.trickFlag != 0;
    if (trickFlag) {
        table.udtMaxOutPai.btePaiType = kPaiSingle;
        table.udtMaxOutPai.bteMaxPai = 0;
        table.udtMaxOutPai.btePaiCount = 1;
    }
    table.bteCurChair = report.nextChair;
    table.bteRoundState = report.nextState;
    const std::uint8_t player = report.chair;
    const CardList cards(play->cards.begin(), play->cards.end());
    if (player < kChairCount) {
        table.arrSeat[player].bteMingCi = report.place;
        table.arrSeat[player].bteOutPai = cards;
        noteRedAcesPlayed(player, cards);
    }
    std::uint8_t bomb = 0;
    if (cards.front() == kPassMarker) {
        links().sounds.play(kSoundPass);
    } else {
        bomb = recordPlay(player, cards);
    }
    if (player < kChairCount) links().scene.invalidateSeatPlay(player);
    if (bomb != 0 && !playBomb(player, bomb)) return;
    if (!moveTrickOn(report.nextState == kRoundLead)) return;
    if (player < kChairCount && table.arrSeat[player].bteMingCi != 0) {
        links().scene.invalidatePlaceMark(player);
    }
    if (trickFlag && !showTrickFlag()) return;
    parts().flow.refreshAction();
}

// Playing a red ace shows it as surely as declaring it. Several decks may hold
// a red ace twice; it still counts once.
void GameHandler::noteRedAcesPlayed(std::uint8_t chair, std::span<const std::uint8_t> cards) {
    std::uint8_t seen = 0;
    for (const std::uint8_t card : cards) {
        if (card == kRedAceSuit0) seen |= 1;
        if (card == kRedAceSuit3) seen |= 2;
    }
    if (seen == 0) return;
    std::uint8_t& liang = links().table.arrSeat[chair].bteLiang;
    const std::uint8_t before = liang;
    if (((before == 1 || before == 2) && before != seen) || seen == 3) {
        liang = 3;
    } else if (before == 0 || before == kAnswerPending) {
        liang = seen;
    }
    if (liang != before) links().scene.invalidateDeclarationMarks(chair);
}

std::uint8_t GameHandler::recordPlay(std::uint8_t chair, std::span<const std::uint8_t> cards) {
    TableState& table = links().table;
    const PaiTypeResult type = GetPaiType(cards);
    if (type.btePaiType > kPaiRedAcePair) {
        if (chair < kChairCount) table.arrSeat[chair].bteOutPai.clear();
        parts().flow.refreshAction();
    }
    table.udtMaxOutPai = {chair, type.btePaiType, type.bteMaxPai,
                          static_cast<std::uint8_t>(cards.size())};
    std::uint8_t bomb = 0;
    if (type.btePaiType <= kPaiDoubleStraight) {
        links().sounds.play(kSoundPlay);
    } else if (type.btePaiType <= kPaiBombFour) {
        bomb = kBombKindBlast;
        links().sounds.play(kSoundBomb);
    } else if (type.btePaiType == kPaiRedAcePair) {
        bomb = kBombKindRedAces;
        links().sounds.play(kSoundRedAcePair);
    }
    if (chair >= kChairCount) return bomb;
    SeatInfo& seat = table.arrSeat[chair];
    seat.btePaiCount = static_cast<std::uint8_t>(
        seat.btePaiCount - std::min<std::size_t>(seat.btePaiCount, cards.size()));
    if (chair == links().pub.bteMyChair) confirmPlay(table, cards);
    links().scene.invalidateSeatHand(chair);
    return bomb;
}

bool GameHandler::moveTrickOn(bool trickWon) {
    TableState& table = links().table;
    if (trickWon) {
        // The next lead often arrives during the pause; handled inside it, it
        // would be swept off the table with the trick.
        const Waiter::PacketHold hold(links().waiter);
        if (!links().waiter.pause(kTrickWonPauseMs)) return false;
        for (SeatInfo& seat : table.arrSeat) {
            seat.bteLastOutPai = std::move(seat.bteOutPai);
            seat.bteOutPai.clear();
        }
        links().scene.invalidateTableCentre(TrickView::Current);
        return true;
    }
    const std::uint8_t next = table.bteCurChair;
    if (next >= kChairCount) return true;
    links().scene.eraseSeatPlay(next);
    SeatInfo& seat = table.arrSeat[next];
    seat.bteLastOutPai = std::move(seat.bteOutPai);
    seat.bteOutPai.clear();
    return true;
}

// The chair holding the play to beat keeps only its representative card.
bool GameHandler::showTrickFlag() {
    TableState& table = links().table;
    const std::uint8_t chair = table.udtMaxOutPai.bteChair;
    if (chair >= kChairCount) return true;
    if (!playBomb(chair, kBombKindRedAces)) return false;
    links().scene.eraseSeatPlay(chair);
    table.arrSeat[chair].bteOutPai = {table.udtMaxOutPai.bteMaxPai};
    links().scene.invalidateSeatPlay(chair);
    return true;
}

void GameHandler::onRoundEnd(std::span<const std::uint8_t> packet) {
    const bool onlooker = links().pub.blnIsOnlooker;
    parts().clock.stopClock();
    std::array<std::int32_t, kChairCount> scores{};
    if (readRoundResult(packet, scores)) {
        TableState& table = links().table;
        parts().start.takeDown();
        parts().clock.stopClock();
        table.blnShowOtherPai = 1;
        links().scene.layoutTable();
        HidePlayButtons(links().table, links().scene);
        links().scene.invalidateTable();
        links().sounds.play(kSoundRoundEnd);
        links().scene.invalidateRoundResult(scores);
        if (onlooker) {
            // The onlooker's table is cleared after the pause; the next round's
            // start, should it arrive meanwhile, must come after the clearing.
            const Waiter::PacketHold hold(links().waiter);
            if (!links().waiter.pause(kOnlookerResultMs)) return;
        }
    } else if (!links().notice.show("本局游戏结束!", links().launch.strGameTitle)) {
        return;
    }
    if (onlooker) ResetRound(links().table, true);
    parts().start.takeDown();
    parts().clock.stopClock();
    if (onlooker) {
        links().scene.invalidateTable();
        return;
    }
    parts().start.putUp();
}

// The scores come whole or not at all: a part of them would put wrong totals
// on the panel for the rest of the session, so a cut score block makes the
// message the short form. The revealed hands are cosmetic: each comes whole,
// and reading stops at the first one cut short.
bool GameHandler::readRoundResult(std::span<const std::uint8_t> packet,
                                  std::array<std::int32_t, kChairCount>& scores) {
    const std::optional<RoundEndReport> report = ParseRoundEnd(packet);
    if (!report) return false;
    if (report->withScores) {
        std::copy(report->scores.begin(), report->scores.end(), scores.begin());
        applyScores(scores);
    }
    TableState& table = links().table;
    for (std::uint8_t chair = 0; chair < report->hands.size(); ++chair) {
        if (chair == links().pub.bteMyChair) continue;
        const CardSpan hand = report->hands[chair];
        table.arrSeat[chair].bteLeftPai.assign(hand.begin(), hand.end());
    }
    return true;
}

void GameHandler::applyScores(const std::array<std::int32_t, kChairCount>& scores) {
    TableState& table = links().table;
    for (std::size_t chair = 0; chair < kChairCount; ++chair) {
        table.lngRoundScore[chair] = scores[chair];
        table.lngTotalScore[chair] = addSaturated(table.lngTotalScore[chair], scores[chair]);
    }
    links().scene.invalidateScorePanel();
    for (std::size_t chair = 0; chair < kChairCount; ++chair) {
        links().chat.showSystemLine(table.arrSeat[chair].strUserName + "：" +
                                    std::to_string(scores[chair]));
    }
}

}  // namespace krvo
