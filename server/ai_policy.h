#pragma once
// The heuristic player: what it knows at one decision, how it values a
// hand, and the move it picks. The same code plays a whole round in a blink,
// so the search (ai_search.h) uses it to play its sampled rounds out.

#include <array>
#include <cstdint>
#include <vector>

#include "server/ai_hand.h"
#include "server/rules_round.h"

namespace krvo::server::ai {

enum class Relation : std::int8_t { Opponent = -1, Unknown = 0, Partner = 1 };

// One decision in trick play, as the deciding chair sees it.
struct Situation {
    std::uint8_t me = 0;
    Hand hand;
    std::array<std::uint8_t, kChairs> left{};  // cards each chair holds
    std::array<Relation, kChairs> relation{};  // me counts as a partner
    bool lead = true;
    Move top;
    std::uint8_t topChair = 0;
    // Cards of each rank that only the others can hold (card counting).
    std::array<std::uint8_t, kRanks> outside{};
    bool outsideRedPair = false;  // another chair may hold both red aces
};

// What a hand is worth still to play: roughly the leads it needs, less the
// tricks its bombs and top cards can take. Lower is better.
double PlanCost(const Hand& hand);

// True when nothing the others can hold beats the move.
bool IsSafe(const Situation& at, const Move& move);

Move ChooseMove(const Situation& at);

// The moves worth a closer look by the search, the heuristic's own first.
void CandidateMoves(const Situation& at, std::vector<Move>& out, std::size_t limit);

// How likely the deciding chair's side wins from the cards alone, for the
// declarations: lone red (holds every red ace), one of two reds, black
// against a known lone red, or black of two against two.
enum class Role : std::uint8_t { LoneRed, RedPair, BlackAgainstLone, BlackPair };
double WinChanceGuess(const Hand& hand, Role role);

}  // namespace krvo::server::ai
