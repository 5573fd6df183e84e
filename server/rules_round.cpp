#include "server/rules_round.h"

#include <algorithm>
#include <map>

namespace krvo::server {
namespace {

CardList redAceCards(std::uint8_t which) {
    CardList cards;
    if (which & 1) cards.push_back(kRedAceSuit0);
    if (which & 2) cards.push_back(kRedAceSuit3);
    return cards;
}

std::uint8_t redAcesIn(std::span<const std::uint8_t> cards) {
    std::uint8_t which = 0;
    for (const std::uint8_t card : cards) {
        if (card == kRedAceSuit0) which |= 1;
        if (card == kRedAceSuit3) which |= 2;
    }
    return which;
}

bool isValidCode(std::uint8_t card) {
    if (card == kRedAceSuit0 || card == kRedAceSuit3) return true;
    return card < kSpecialCodeFloor && PaiRank(card) <= kRankAce && card != kPlainAceSuit0 &&
           card != kPlainAceSuit3;
}

std::vector<std::uint8_t> chairsFrom(std::uint8_t first) {
    std::vector<std::uint8_t> chairs;
    for (std::uint8_t i = 0; i < kChairs; ++i) chairs.push_back((first + i) % kChairs);
    return chairs;
}

bool hasHiddenRedAces(const Round& round) {
    return std::any_of(round.seats.begin(), round.seats.end(),
                       [](const SeatRound& seat) { return seat.redSide() && !seat.shown; });
}

int redSideSize(const Round& round) {
    return static_cast<int>(std::count_if(round.seats.begin(), round.seats.end(),
                                          [](const SeatRound& seat) { return seat.redSide(); }));
}

// The one chair holding every red ace of a one-against-three table, if any.
std::optional<std::uint8_t> loneHolder(const Round& round) {
    if (redSideSize(round) != 1) return std::nullopt;
    for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
        if (round.seats[chair].redAces == 3) return chair;
    }
    return std::nullopt;
}

std::uint8_t stepAfter(std::uint8_t state) {
    switch (state) {
        case kRoundShowRedAces:
        case kRoundFollowShow:
            return kRoundJiu;
        case kRoundJiu:
            return kRoundSurrender;
        case kRoundSurrender:
            return kRoundJue;
        case kRoundJue:
        case kRoundFollowJue:
            return kRoundZhi;
        default:
            return kRoundLead;
    }
}

std::vector<std::uint8_t> chairsToAsk(const Round& round, std::uint8_t state) {
    const std::vector<std::uint8_t> all = chairsFrom(round.bteShouJiaChair);
    switch (state) {
        case kRoundShowRedAces:
        case kRoundJue:
            return all;
        case kRoundJiu: {
            if (!hasHiddenRedAces(round)) return {};
            std::vector<std::uint8_t> asked;
            for (const std::uint8_t chair : all) {
                if (!round.seats[chair].shown) asked.push_back(chair);
            }
            return asked;
        }
        case kRoundSurrender: {
            const auto lone = loneHolder(round);
            if (!lone) return {};
            return {*lone};
        }
        case kRoundZhi:
            return round.bteRoundJue != 0 ? all : std::vector<std::uint8_t>{};
        default:
            return {};
    }
}

void clearTable(Round& round) {
    for (SeatRound& seat : round.seats) seat.bteOutPai.clear();
}

void openLead(Round& round, std::uint8_t leader) {
    round.bteRoundState = kRoundLead;
    round.bteCurChair = leader;
    round.udtMaxOutPai = {leader, kPaiSingle, 0, 1};
    round.passes = 0;
    round.askQueue.clear();
    clearTable(round);
}

// Opens the first step from `state` on that has somebody to ask.
void openStep(Round& round, std::uint8_t state) {
    while (IsDeclarationState(state)) {
        const std::vector<std::uint8_t> asked = chairsToAsk(round, state);
        if (!asked.empty()) {
            round.bteRoundState = state;
            round.bteCurChair = asked.front();
            if (state == kRoundSurrender) round.surrenderAsked = asked.front();
            round.askQueue.assign(asked.begin() + 1, asked.end());
            return;
        }
        state = stepAfter(state);
    }
    openLead(round, round.bteShouJiaChair);
}

std::optional<std::uint8_t> nextActive(const Round& round, std::uint8_t chair) {
    for (std::uint8_t step = 1; step <= kChairs; ++step) {
        const auto next = static_cast<std::uint8_t>((chair + step) % kChairs);
        if (!round.seats[next].finished()) return next;
    }
    return std::nullopt;
}

int activeOthers(const Round& round, std::uint8_t chair) {
    int count = 0;
    for (std::uint8_t each = 0; each < kChairs; ++each) {
        if (each != chair && !round.seats[each].finished()) ++count;
    }
    return count;
}

// A won trick goes to its winner or, once the winner is out, to the next
// chair still holding cards.
void winTrick(Round& round, std::uint8_t winner) {
    const std::uint8_t leader =
        round.seats[winner].finished() ? nextActive(round, winner).value_or(winner) : winner;
    openLead(round, leader);
}

// Playing a red ace shows it as surely as declaring it; the clients keep the
// same mark, so the report to a late-comer agrees with theirs.
void notePlayedRedAces(SeatRound& seat, std::span<const std::uint8_t> cards) {
    const std::uint8_t seen = redAcesIn(cards);
    if (seen == 0) return;
    const std::uint8_t before = seat.bteLiang;
    if (((before == 1 || before == 2) && before != seen) || seen == 3) {
        seat.bteLiang = 3;
    } else if (before == 0 || before == kAnswerPending) {
        seat.bteLiang = seen;
    }
}

bool holdsAll(const CardList& hand, std::span<const std::uint8_t> cards) {
    std::map<std::uint8_t, int> counts;
    for (const std::uint8_t card : hand) ++counts[card];
    for (const std::uint8_t card : cards) {
        if (--counts[card] < 0) return false;
    }
    return true;
}

}  // namespace

std::array<CardList, kChairs> ShuffleDeal(std::mt19937& rng, std::uint8_t decks) {
    CardList deck;
    for (std::uint8_t d = 0; d < decks; ++d) {
        for (std::uint8_t suit = 0; suit < 4; ++suit) {
            for (std::uint8_t rank = 0; rank <= kRankAce; ++rank) {
                const auto code = static_cast<std::uint8_t>(kRanksPerSuit * suit + rank);
                if (code == kPlainAceSuit0) {
                    deck.push_back(kRedAceSuit0);
                } else if (code == kPlainAceSuit3) {
                    deck.push_back(kRedAceSuit3);
                } else {
                    deck.push_back(code);
                }
            }
        }
    }
    for (std::size_t i = deck.size(); i > 1; --i) {
        std::swap(deck[i - 1], deck[rng() % i]);
    }
    std::array<CardList, kChairs> hands;
    const std::size_t handSize = deck.size() / kChairs;
    for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
        hands[chair].assign(deck.begin() + static_cast<std::ptrdiff_t>(chair * handSize),
                            deck.begin() + static_cast<std::ptrdiff_t>((chair + 1) * handSize));
    }
    return hands;
}

bool IsValidDeal(const std::array<CardList, kChairs>& hands, std::uint8_t decks) {
    if (decks < 1 || decks > kMaxDecks) return false;
    std::map<std::uint8_t, int> counts;
    for (const CardList& hand : hands) {
        if (hand.size() != kCardsPerDeckAndPlayer * decks) return false;
        for (const std::uint8_t card : hand) {
            if (!isValidCode(card) || ++counts[card] > decks) return false;
        }
    }
    return true;
}

Round StartRound(std::array<CardList, kChairs> hands, std::uint8_t decks) {
    Round round;
    round.decks = decks;
    std::optional<std::uint8_t> first;
    for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
        SeatRound& seat = round.seats[chair];
        seat.hand = std::move(hands[chair]);
        SortPaiByRank(seat.hand);
        seat.redAces = redAcesIn(seat.hand);
        const bool heartThree =
            std::find(seat.hand.begin(), seat.hand.end(), kHeartThree) != seat.hand.end();
        if (heartThree && !first) first = chair;
    }
    round.bteShouJiaChair = first.value_or(0);
    openStep(round, kRoundShowRedAces);
    return round;
}

std::optional<std::string> DeclarationRefusal(const Round& round, std::uint8_t chair,
                                              std::uint8_t kind, bool accept) {
    if (!IsDeclarationState(round.bteRoundState)) return "现在不是表态的时候！";
    if (chair != round.bteCurChair) return "还没有轮到你表态！";
    if (kind != AnswerKindOf(round.bteRoundState)) return "表态的种类不对！";
    if (!accept) return std::nullopt;
    const bool red = round.seats[chair].redSide();
    switch (kind) {
        case kAnswerLiang:
            if (!red) return "你没有红A，不能亮！";
            break;
        case kAnswerJiu:
            if (red) return "有红A的玩家不能揪！";
            break;
        case kAnswerJue:
            if (red) return "有红A的一方不能撅！";
            break;
        case kAnswerZhi:
            if (!red) return "没有红A的一方不能直！";
            break;
        default:
            break;
    }
    return std::nullopt;
}

bool MayAccept(const Round& round, std::uint8_t chair) {
    return !DeclarationRefusal(round, chair, AnswerKindOf(round.bteRoundState), true);
}

DeclareOutcome AnswerDeclaration(Round& round, std::uint8_t chair, bool accept) {
    const std::uint8_t state = round.bteRoundState;
    SeatRound& seat = round.seats[chair];
    DeclareOutcome outcome;
    outcome.kind = AnswerKindOf(state);
    outcome.chair = chair;
    outcome.value = accept ? 1 : 0;
    std::uint8_t followState = state;
    bool stepEnds = false;
    // Giving up ends the round at the stake reached; every other step raises it.
    if (accept && outcome.kind != kAnswerSurrender) ++round.stakeSteps;
    switch (outcome.kind) {
        case kAnswerLiang:
            if (accept) {
                outcome.value = seat.redAces;
                seat.shown = true;
                seat.bteOutPai = redAceCards(seat.redAces);
                round.bteRoundLiang = 1;
                followState = kRoundFollowShow;
            }
            seat.bteLiang = outcome.value;
            outcome.roundMark = round.bteRoundLiang;
            break;
        case kAnswerJiu:
            seat.bteJiu = outcome.value;
            if (accept) {
                round.bteRoundJiu = 1;
                stepEnds = true;
                for (const std::uint8_t each : chairsFrom(round.bteShouJiaChair)) {
                    SeatRound& holder = round.seats[each];
                    if (!holder.redSide() || holder.shown) continue;
                    holder.shown = true;
                    holder.bteLiang = holder.redAces;
                    holder.bteOutPai = redAceCards(holder.redAces);
                    outcome.revealed.emplace_back(each, holder.redAces);
                }
            }
            outcome.roundMark = round.bteRoundJiu;
            break;
        case kAnswerSurrender:
            if (accept) {
                outcome.surrendered = true;
                round.bteRoundState = kRoundBetween;
                round.askQueue.clear();
                return outcome;
            }
            break;
        case kAnswerJue:
            seat.bteJue = outcome.value;
            if (accept) round.bteRoundJue = 1, followState = kRoundFollowJue;
            outcome.roundMark = round.bteRoundJue;
            break;
        default:
            seat.bteZhi = outcome.value;
            if (accept) round.bteRoundZhi = 1, followState = kRoundFollowZhi;
            outcome.roundMark = round.bteRoundZhi;
            break;
    }
    if (stepEnds || round.askQueue.empty()) {
        openStep(round, stepAfter(state));
        return outcome;
    }
    round.bteRoundState = followState;
    round.bteCurChair = round.askQueue.front();
    round.askQueue.erase(round.askQueue.begin());
    return outcome;
}

std::optional<std::string> PlayRefusal(const Round& round, std::uint8_t chair,
                                       std::span<const std::uint8_t> cards) {
    const std::uint8_t state = round.bteRoundState;
    if (state != kRoundLead && state != kRoundFollow) return "现在不是出牌的时候！";
    if (chair != round.bteCurChair) return "还没有轮到你出牌！";
    if (cards.empty()) return "出牌数据不完整！";
    if (cards.size() == 1 && cards[0] == kPassMarker) {
        if (state == kRoundLead) return "你是首家，必须出牌！";
        return std::nullopt;
    }
    if (!holdsAll(round.seats[chair].hand, cards)) return "你手里没有这些牌！";
    const PlayCheck check =
        state == kRoundLead ? CheckLeadPai(cards) : CheckFollowPai(cards, round.udtMaxOutPai);
    if (!check.ok) return check.message;
    return std::nullopt;
}

PlayOutcome ApplyPlay(Round& round, std::uint8_t chair, std::span<const std::uint8_t> cards) {
    SeatRound& seat = round.seats[chair];
    PlayOutcome outcome;
    seat.bteOutPai.assign(cards.begin(), cards.end());
    const bool pass = cards.size() == 1 && cards[0] == kPassMarker;
    if (pass) {
        ++round.passes;
    } else {
        RemovePai(seat.hand, cards);
        seat.played.insert(seat.played.end(), cards.begin(), cards.end());
        const PaiTypeResult type = GetPaiType(cards);
        round.udtMaxOutPai = {chair, type.btePaiType, type.bteMaxPai,
                              static_cast<std::uint8_t>(cards.size())};
        round.passes = 0;
        notePlayedRedAces(seat, cards);
        if (seat.finished()) seat.bteMingCi = round.nextPlace++;
        outcome.trickFlag = type.btePaiType == kPaiRedAcePair;
    }
    outcome.place = seat.bteMingCi;
    if (IsRoundOver(round)) {
        outcome.roundOver = true;
        round.bteRoundState = kRoundBetween;
        round.bteCurChair = chair;
        return outcome;
    }
    const std::uint8_t topChair = round.udtMaxOutPai.bteChair;
    if (outcome.trickFlag || round.passes >= activeOthers(round, topChair)) {
        winTrick(round, outcome.trickFlag ? chair : topChair);
        return outcome;
    }
    const std::uint8_t next = nextActive(round, chair).value_or(chair);
    round.bteRoundState = kRoundFollow;
    round.bteCurChair = next;
    // A chair's play of the last lap leaves the table when its turn comes.
    round.seats[next].bteOutPai.clear();
    return outcome;
}

}  // namespace krvo::server
