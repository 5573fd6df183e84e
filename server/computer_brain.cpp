#include "server/computer_brain.h"

#include <algorithm>
#include <array>

#include "server/ai_policy.h"

namespace krvo::server {
namespace {

constexpr std::array<std::string_view, 3> kLevelNames = {"easy", "normal", "hard"};

// Take up a declaration from this chance of winning; give up below the other.
constexpr double kAcceptFrom = 0.55;
constexpr double kSurrenderBelow = 0.1;
// With one deck and no red ace of its own, a chair sees both red aces in one
// hand this often: 3 hands × C(12, 2) of the C(36, 2) places they may take.
constexpr double kLoneRedPrior = 3.0 * 66.0 / 630.0;

int redAcesHeld(const CardList& hand) {
    return static_cast<int>(std::count_if(hand.begin(), hand.end(), IsRedAce));
}

bool holdsEveryRedAce(const SeatView& view) {
    int played = 0;
    for (const std::uint8_t card : view.chairs[view.me].played) played += IsRedAce(card) ? 1 : 0;
    return redAcesHeld(view.hand) + played >= RedAceCount(view.decks);
}

// Whether the chair without red aces faces one chair holding them all: the
// surrender question, a show of every red ace, or only a guess so far.
double loneRedChance(const SeatView& view) {
    if (view.surrenderAsked) return 1;
    if (view.decks == 1 && view.pastSurrenderStep()) return 0;
    for (const ChairView& chair : view.chairs) {
        if (chair.redShown == 3) return view.decks == 1 ? 1 : kLoneRedPrior;
        if (chair.redShown != 0 && view.decks == 1) return 0;
    }
    return kLoneRedPrior;
}

}  // namespace

std::optional<ComputerLevel> ParseComputerLevel(std::string_view text) {
    for (std::size_t i = 0; i < kLevelNames.size(); ++i) {
        if (text == kLevelNames[i]) return static_cast<ComputerLevel>(i);
    }
    return std::nullopt;
}

std::string_view ComputerLevelName(ComputerLevel level) {
    return kLevelNames[static_cast<std::size_t>(level) % kLevelNames.size()];
}

ComputerBrain::ComputerBrain(ComputerLevel level, std::uint32_t seed, ai::SearchBudget budget)
    : level_(level), rng_(seed), budget_(budget) {}

double ComputerBrain::winChance(const SeatView& view) {
    const bool red = redAcesHeld(view.hand) > 0;
    if (level_ == ComputerLevel::Hard) {
        // Scores in stakes: a lone red wins or loses 3, a black against it 1,
        // two against two 2 (4 for a sweep); as a chance of winning, 0 to 1.
        const int samples = budget_.declarationSamples / std::max<int>(1, view.decks);
        const double score = ai::ExpectedScore(view, rng_, samples);
        const bool lone = red && holdsEveryRedAce(view);
        const double unit = lone ? 3.0 : (!red && view.surrenderAsked ? 1.0 : 2.0);
        return std::clamp(0.5 + score / (2 * unit), 0.0, 1.0);
    }
    const ai::Hand hand = ai::HandOf(view.hand);
    if (red) {
        return ai::WinChanceGuess(hand,
                                  holdsEveryRedAce(view) ? ai::Role::LoneRed : ai::Role::RedPair);
    }
    const double lone = loneRedChance(view);
    return lone * ai::WinChanceGuess(hand, ai::Role::BlackAgainstLone) +
           (1 - lone) * ai::WinChanceGuess(hand, ai::Role::BlackPair);
}

bool ComputerBrain::answer(const SeatView& view) {
    const double chance = winChance(view);
    if (view.bteRoundState == kRoundSurrender) return chance < kSurrenderBelow;
    return chance >= kAcceptFrom;
}

CardList ComputerBrain::play(const SeatView& view) {
    const ai::Move move = level_ == ComputerLevel::Hard ? ai::SearchMove(view, rng_, budget_)
                                                        : ai::ChooseMove(ai::SituationOf(view));
    return ai::CardsFor(view.hand, move);
}

}  // namespace krvo::server
