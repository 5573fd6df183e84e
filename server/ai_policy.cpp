#include "server/ai_policy.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace krvo::server::ai {
namespace {

constexpr double kNever = std::numeric_limits<double>::infinity();
// How much worse a hand may get by beating a lone red's play.
constexpr double kLoneThreshold = -1.0;

bool isRun(const Move& move) {
    return move.type == kPaiStraight || move.type == kPaiDoubleStraight;
}

// A group's share of the leads a hand needs: low cards need a lead of their
// own, high ones and runs often get through on somebody else's, and a bomb
// takes a lead back.
double groupCost(const Move& group) {
    switch (group.type) {
        case kPaiRedAcePair:
            return -1.0;
        case kPaiBombFour:
            return -0.9;
        case kPaiBombThree:
            return -0.6 - 0.02 * group.top;
        case kPaiStraight:
        case kPaiDoubleStraight:
            return 0.75 - 0.045 * group.top;
        default:
            return 1.0 - 0.06 * group.top;
    }
}

int maxOutside(const Situation& at, int need, int above) {
    for (int rank = kRanks - 1; rank > above; --rank) {
        if (at.outside[static_cast<std::size_t>(rank)] >= need) return rank;
    }
    return -1;
}

bool outsideRun(const Situation& at, int need, int len, int above) {
    int run = 0;
    for (int rank = 0; rank < kRanks; ++rank) {
        run = at.outside[static_cast<std::size_t>(rank)] >= need ? run + 1 : 0;
        if (run >= len && rank > above) return true;
    }
    return false;
}

// Who leads next if everybody passes: the chair of the play on the table,
// or after it has gone out, the next chair still holding cards.
std::uint8_t trickOwner(const Situation& at) {
    for (std::uint8_t step = 0; step < kChairs; ++step) {
        const auto chair = static_cast<std::uint8_t>((at.topChair + step) % kChairs);
        if (at.left[chair] > 0) return chair;
    }
    return at.topChair;
}

// The fewest cards an active chair not known as a partner holds.
int fewestAgainst(const Situation& at, bool countUnknown) {
    int fewest = 255;
    for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
        if (chair == at.me || at.left[chair] == 0) continue;
        const Relation relation = at.relation[chair];
        if (relation == Relation::Partner) continue;
        if (relation == Relation::Unknown && !countUnknown) continue;
        fewest = std::min<int>(fewest, at.left[chair]);
    }
    return fewest;
}

// Three against one: whoever of the three goes out first wins for all, so
// every trick the one takes is a danger and no trick of theirs is wasted.
bool againstLoneOpponent(const Situation& at) {
    int opponents = 0;
    int partners = 0;
    for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
        if (chair == at.me) continue;
        opponents += at.relation[chair] == Relation::Opponent ? 1 : 0;
        partners += at.relation[chair] == Relation::Partner ? 1 : 0;
    }
    return opponents == 1 && partners == 2;
}

bool partnerAboutOut(const Situation& at) {
    for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
        if (chair != at.me && at.relation[chair] == Relation::Partner && at.left[chair] == 1) {
            return true;
        }
    }
    return false;
}

Move lowestSingle(const Hand& hand) {
    for (int rank = 0; rank < kRanks; ++rank) {
        if (hand.n[static_cast<std::size_t>(rank)] > 0) {
            return {kPaiSingle, static_cast<std::uint8_t>(rank), 1};
        }
    }
    return kPass;
}

Move highestSingle(const Hand& hand) {
    for (int rank = kRanks - 1; rank >= 0; --rank) {
        if (hand.n[static_cast<std::size_t>(rank)] > 0) {
            return {kPaiSingle, static_cast<std::uint8_t>(rank), 1};
        }
    }
    return kPass;
}

Hand without(Hand hand, const Move& move) {
    Take(hand, move);
    return hand;
}

// Which group to lead: losers before winners, runs early, low before high;
// a chair about to go out is not given the shape it may hold.
Move chooseLead(const Situation& at) {
    if (partnerAboutOut(at)) {
        const Move low = lowestSingle(at.hand);
        if (!low.isPass()) return low;
    }
    const Plan plan = PlanHand(at.hand);
    int losers = 0;
    for (const Move& group : plan.all()) losers += IsSafe(at, group) ? 0 : 1;
    const int threat = fewestAgainst(at, true);
    double bestKey = kNever;
    Move best = kPass;
    for (const Move& group : plan.all()) {
        const bool safe = IsSafe(at, group);
        double key = group.top;
        if (isRun(group)) key -= 4 + group.len;
        if (group.type == kPaiPair) key += 0.5;
        if (group.isBomb()) key += 60;
        // With one loser left, the winners go first and the loser ends the hand.
        if (safe) key += losers <= 1 ? -100 : 30;
        if (threat == 1 && group.type == kPaiSingle && !safe) key += 40 - 2.0 * group.top;
        if (threat == 2 && group.type == kPaiPair && !safe) key += 20;
        if (key < bestKey) {
            bestKey = key;
            best = group;
        }
    }
    if (best.isPass()) best = lowestSingle(at.hand);
    if (threat == 1 && best.type == kPaiSingle && !IsSafe(at, best)) best = highestSingle(at.hand);
    return best;
}

// Whether a bomb now is worth it: the trick would let a chair out that is
// not known as a partner, or the bomb's lead lets this hand out.
bool bombPays(const Situation& at, const Move& bomb) {
    const std::uint8_t leader = trickOwner(at);
    const Relation owner = at.relation[leader];
    const int topLeft = at.left[leader];
    if (owner == Relation::Opponent && (topLeft <= 3 || fewestAgainst(at, false) <= 2)) return true;
    if (owner == Relation::Opponent && againstLoneOpponent(at)) return true;
    if (owner == Relation::Unknown && topLeft <= 2) return true;
    const Hand rest = without(at.hand, bomb);
    Move last;
    if (IsOnePlay(rest, last)) return true;
    const Plan plan = PlanHand(rest);
    int losers = 0;
    for (const Move& group : plan.all()) losers += IsSafe(at, group) ? 0 : 1;
    return losers <= 1 && owner != Relation::Partner;
}

Move chooseFollow(const Situation& at) {
    thread_local std::vector<Move> moves;
    LegalMoves(at.hand, &at.top, moves);
    if (moves.empty()) return kPass;
    for (const Move& move : moves) {
        if (move.cards() == at.hand.size) return move;
    }
    // The lead falling to a partner, or to this chair itself, is not fought for.
    const std::uint8_t leader = trickOwner(at);
    const Relation owner = at.relation[leader];
    if (owner == Relation::Partner) return kPass;
    const int topLeft = at.left[leader];
    const bool urgent =
        (owner == Relation::Opponent && (topLeft <= 2 || fewestAgainst(at, false) <= 1)) ||
        (owner == Relation::Unknown && topLeft <= 1);
    const double before = PlanCost(at.hand);
    double bestGain = -kNever;
    Move best = kPass;
    Move bomb = kPass;
    for (const Move& move : moves) {
        if (move.isBomb()) {
            // The cheapest bomb; the red-ace pair only when nothing else does.
            if (bomb.isPass() || bomb.type == kPaiRedAcePair ||
                (move.type != kPaiRedAcePair && move.type < bomb.type)) {
                bomb = move;
            }
            continue;
        }
        const double gain = before - PlanCost(without(at.hand, move)) - 0.01 * move.top;
        if (gain > bestGain) {
            bestGain = gain;
            best = move;
        }
    }
    double threshold = owner == Relation::Unknown ? 0.3 : 0.12;
    if (owner == Relation::Opponent && againstLoneOpponent(at)) threshold = kLoneThreshold;
    if (urgent) threshold = -kNever;
    if (!best.isPass() && bestGain >= threshold) return best;
    if (!bomb.isPass() && bombPays(at, bomb)) return bomb;
    return kPass;
}

}  // namespace

double PlanCost(const Hand& hand) {
    const Plan plan = PlanHand(hand);
    double cost = 0;
    for (const Move& group : plan.all()) cost += groupCost(group);
    return cost;
}

bool IsSafe(const Situation& at, const Move& move) {
    if (move.type == kPaiRedAcePair) return true;
    if (at.outsideRedPair) return false;
    const int fours = maxOutside(at, 4, -1);
    switch (move.type) {
        case kPaiBombFour:
            return maxOutside(at, 4, move.top) < 0;
        case kPaiBombThree:
            return fours < 0 && maxOutside(at, 3, move.top) < 0;
        case kPaiDoubleStraight:
            return fours < 0 && !outsideRun(at, 2, move.len, move.top);
        default:
            break;
    }
    if (fours >= 0 || maxOutside(at, 3, -1) >= 0) return false;
    switch (move.type) {
        case kPaiSingle:
            return maxOutside(at, 1, move.top) < 0;
        case kPaiPair:
            return maxOutside(at, 2, move.top) < 0;
        case kPaiStraight:
            return !outsideRun(at, 1, move.len, move.top);
        default:
            return false;
    }
}

Move ChooseMove(const Situation& at) {
    if (at.hand.size == 0) return kPass;
    if (!at.lead) return chooseFollow(at);
    Move whole;
    if (IsOnePlay(at.hand, whole)) return whole;
    return chooseLead(at);
}

void CandidateMoves(const Situation& at, std::vector<Move>& out, std::size_t limit) {
    out.clear();
    const auto offer = [&](const Move& move) {
        if (out.size() >= limit) return;
        if (at.lead && move.isPass()) return;
        if (std::find(out.begin(), out.end(), move) == out.end()) out.push_back(move);
    };
    offer(ChooseMove(at));
    thread_local std::vector<Move> moves;
    if (at.lead) {
        const Plan plan = PlanHand(at.hand);
        for (const Move& group : plan.all()) offer(group);
        offer(lowestSingle(at.hand));
        offer(highestSingle(at.hand));
        return;
    }
    offer(kPass);
    LegalMoves(at.hand, &at.top, moves);
    // Cheapest first within a shape, so the limit keeps the sensible ones.
    std::stable_sort(moves.begin(), moves.end(), [](const Move& a, const Move& b) {
        if (a.isBomb() != b.isBomb()) return !a.isBomb();
        return a.top < b.top;
    });
    const double before = PlanCost(at.hand);
    for (const Move& move : moves) {
        if (!move.isBomb() && before - PlanCost(without(at.hand, move)) > 0) offer(move);
    }
    for (const Move& move : moves) offer(move);
}

double WinChanceGuess(const Hand& hand, Role role) {
    // Fitted on 20,000 deals played by four normal players (a logistic fit of
    // each role's wins on the cost of the hand dealt): the cost at which a
    // hand of that role wins half of its rounds, and how fast the chance
    // falls off around it.
    static constexpr double kEven[] = {2.4, 4.0, 2.15, 2.0};
    static constexpr double kSlope[] = {0.54, 0.35, 0.24, 0.34};
    const auto index = static_cast<std::size_t>(role);
    const double even = kEven[index];
    const double slope = kSlope[index];
    return 1.0 / (1.0 + std::exp(slope * (PlanCost(hand) - even)));
}

}  // namespace krvo::server::ai
