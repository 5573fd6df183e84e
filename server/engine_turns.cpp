// What players send and what the engine does on their behalf: declaration
// answers, plays and passes, the computers' moves and the automatic play for
// players who do not act in time.

#include <algorithm>
#include <climits>

#include "server/computer_player.h"
#include "server/engine_state.h"

namespace krvo::server {
namespace {

constexpr std::uint8_t kPassCard[] = {kPassMarker};

}  // namespace

void GameEngine::State::handlePacket(std::uint8_t chair, std::span<const std::uint8_t> packet) {
    switch (packet[0]) {
        case GMSG_HAND_UP:
            if (packet.size() >= 2 && packet[1] == chair) markReady(chair);
            return;
        case GMSG_MY_PAI:
            if (running) send(Audience::Player, chair, MyPaiPacket(round.seats[chair].hand));
            return;
        case GMSG_DECLARE:
            return handleAnswer(chair, packet);
        case GMSG_OUT_PAI:
            return handlePlay(chair, packet);
        case GMSG_LEAVE:
            return handleLeave(chair, packet);
        default:
            // The acknowledgement of a deal (19) and anything unknown need no answer.
            return;
    }
}

void GameEngine::State::handleAnswer(std::uint8_t chair, std::span<const std::uint8_t> packet) {
    if (!running) return;
    const std::optional<DeclareAnswer> answer = ParseDeclareAnswer(packet);
    if (!answer) return reject(chair, "表态数据不完整！");
    if (answer->chair != chair) return reject(chair, "座位号不对！");
    const bool accept = answer->answer != 0;
    if (const auto refusal = DeclarationRefusal(round, chair, answer->kind, accept)) {
        return reject(chair, *refusal);
    }
    doAnswer(chair, accept);
}

void GameEngine::State::handlePlay(std::uint8_t chair, std::span<const std::uint8_t> packet) {
    if (!running) return reject(chair, "现在不是出牌的时候！");
    const std::optional<OutPai> play = ParseOutPai(packet);
    if (!play) return reject(chair, "出牌数据不完整！");
    if (play->report.chair != chair) return reject(chair, "座位号不对！");
    const CardSpan cards = play->cards;
    if (const auto refusal = PlayRefusal(round, chair, cards)) return reject(chair, *refusal);
    doPlay(chair, cards);
}

void GameEngine::State::doAnswer(std::uint8_t chair, bool accept) {
    const DeclareOutcome outcome = AnswerDeclaration(round, chair, accept);
    sendAll(DeclarePacket(DeclareReportOf(outcome, round)));
    if (outcome.surrendered) return endRound(ScoreSurrender(round, chair));
    scheduleTurn(0);
}

void GameEngine::State::doPlay(std::uint8_t chair, std::span<const std::uint8_t> cards) {
    const PlayOutcome outcome = ApplyPlay(round, chair, cards);
    sendAll(OutPaiPacket(PlayReportOf(chair, outcome, round), cards));
    if (outcome.roundOver) return endRound(ScoreRound(round));
    scheduleTurn(
        round.bteRoundState == kRoundLead ? std::max<std::int64_t>(0, settings.trickPauseMs) : 0);
}

void GameEngine::State::actForTurn() {
    turnDue.reset();
    if (!running) return;
    const std::uint8_t chair = round.bteCurChair;
    if (chairs[chair].computer) return computerAct(chair);
    automaticAct(chair);
}

void GameEngine::State::computerAct(std::uint8_t chair) {
    if (brains[chair].level() != ComputerLevel::Easy) return brainAct(chair);
    const std::uint8_t state = round.bteRoundState;
    if (IsDeclarationState(state)) {
        // Only answers the rules allow are ever considered, so a computer is
        // never refused.
        const bool accept = MayAccept(round, chair) && ComputerAccepts(state, rng);
        return doAnswer(chair, accept);
    }
    const CardList& hand = round.seats[chair].hand;
    CardList cards =
        state == kRoundLead ? ComputerLead(hand) : ComputerFollow(hand, round.udtMaxOutPai);
    if (cards.empty()) cards.assign(std::begin(kPassCard), std::end(kPassCard));
    if (PlayRefusal(round, chair, cards)) {
        cards = state == kRoundLead ? AutomaticLead(hand) : CardList{kPassMarker};
    }
    doPlay(chair, cards);
}

// The computers above easy see only their seat's view. A choice the rules
// refuse is reported and replaced by the automatic one, so that a fault in a
// player shows up in the arena instead of stopping the table.
void GameEngine::State::brainAct(std::uint8_t chair) {
    ComputerBrain& brain = brains[chair];
    const SeatView view = SeatViewOf(round, chair);
    if (IsDeclarationState(round.bteRoundState)) {
        const bool accept = MayAccept(round, chair) && brain.answer(view);
        return doAnswer(chair, accept);
    }
    CardList cards = brain.play(view);
    if (cards.empty()) cards.assign(std::begin(kPassCard), std::end(kPassCard));
    if (PlayRefusal(round, chair, cards)) {
        events.push_back({EngineEventKind::ComputerFault, chair});
        cards = round.bteRoundState == kRoundLead ? AutomaticLead(round.seats[chair].hand)
                                                  : CardList{kPassMarker};
    }
    doPlay(chair, cards);
}

// Like the player's own program on a time-out: decline a declaration, lead
// the lowest card, pass a follow; plays (not answers) count toward running away.
void GameEngine::State::automaticAct(std::uint8_t chair) {
    const std::uint8_t state = round.bteRoundState;
    if (IsDeclarationState(state)) return doAnswer(chair, false);
    const CardList cards =
        state == kRoundLead ? AutomaticLead(round.seats[chair].hand) : CardList{kPassMarker};
    SeatRound& seat = round.seats[chair];
    seat.autoPlays = static_cast<std::uint8_t>(std::min(seat.autoPlays + 1, 255));
    const std::uint8_t count = seat.autoPlays;
    doPlay(chair, cards);
    if (running && count >= settings.autoPlayLimit) {
        runAway(chair, "系统代为出牌的次数已达上限，算作逃跑");
    }
}

void GameEngine::State::endRound(const std::array<std::int32_t, kChairs>& scores) {
    sendAll(RoundEndPacket(scores, HandsOf(round)));
    lastScores = scores;
    for (std::size_t chair = 0; chair < kChairs; ++chair) {
        const std::int64_t total = std::int64_t{totalScores[chair]} + scores[chair];
        totalScores[chair] =
            static_cast<std::int32_t>(std::clamp<std::int64_t>(total, INT32_MIN, INT32_MAX));
    }
    running = false;
    round.bteRoundState = kRoundBetween;
    round.askQueue.clear();
    turnDue.reset();
    vote.reset();
    for (ChairPerson& person : chairs) {
        person.ready = false;
        person.voteDue.reset();
    }
    events.push_back({EngineEventKind::RoundEnded, 0});
    scheduleComputerReady();
}

void GameEngine::State::runAway(std::uint8_t chair, std::string_view reason) {
    sendAll(CannotGoOnPacket(chair, reason));
    events.push_back({EngineEventKind::PlayerRanAway, chair});
    endRound(ScoreRunaway(round, chair));
}

}  // namespace krvo::server
