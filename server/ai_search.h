#pragma once
// The search of the strongest computer: deal the cards it cannot see at
// random, but only in ways that agree with everything the table has shown
// (how many cards each chair holds, the cards played, the red aces shown,
// revealed or played, the answers given), play each candidate out to the end
// of the round with the heuristic in every chair, and keep the candidate that
// scores best over all deals.

#include <array>
#include <cstdint>
#include <random>

#include "server/ai_policy.h"
#include "server/seat_view.h"

namespace krvo::server::ai {

// The heuristic's picture of the table from one chair's view.
Situation SituationOf(const SeatView& view);

// A whole table with every hand known: one sampled deal, played out fast.
struct World {
    std::array<Hand, kChairs> hands;
    std::array<bool, kChairs> red{};  // the side each chair is on
    std::array<std::uint8_t, kChairs> place{};
    std::array<std::uint8_t, kRanks> remaining{};  // cards of each rank in all hands
    std::uint8_t nextPlace = 1;
    std::uint8_t cur = 0;
    bool lead = true;
    Move top;
    std::uint8_t topChair = 0;
    std::uint8_t passes = 0;
    bool over = false;
};

// The hidden cards dealt at random in agreement with the view; the trick
// in progress as the view shows it.
World SampleWorld(const SeatView& view, std::mt19937& rng);
// Applies a move of the chair whose turn it is, as the server's rules do.
void Apply(World& world, const Move& move);
// Plays the round out with the heuristic; the score of `chair` in stakes.
double PlayOut(World world, std::uint8_t chair);
// What the round ended in for the chair, in stakes (sweeps doubled).
double ScoreOf(const World& world, std::uint8_t chair);

// For one deck; with more, the rounds played out are cut by the deck count,
// since each takes about as many times longer.
struct SearchBudget {
    int samples = 120;             // sampled deals per play
    int playouts = 1000;           // rounds played out per play, over all candidates
    int declarationSamples = 160;  // rounds played out per declaration
};

// The search's choice in trick play.
Move SearchMove(const SeatView& view, std::mt19937& rng, const SearchBudget& budget);
// The mean score in stakes of the chair's side, played from the first lead,
// over sampled deals: what a declaration that doubles the stake doubles.
double ExpectedScore(const SeatView& view, std::mt19937& rng, int samples);

}  // namespace krvo::server::ai
