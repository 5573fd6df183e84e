#pragma once
// The computer players above today's: how strong each chair plays, and the
// player itself, which decides from its seat's view (seat_view.h) alone.
//
//   easy    today's computer (computer_player.h): random answers, lowest
//           group, cheapest follow; the engine plays it itself, unchanged.
//   normal  heuristics: answers from hand strength and the known sides,
//           hand planning, card counting, partners spared, bombs kept for
//           taking a lead back or stopping a chair about to go out.
//   hard    normal's heuristics played out over sampled deals of the unseen
//           cards (ai_search.h) for every answer and every play.

#include <cstdint>
#include <optional>
#include <random>
#include <string_view>

#include "core/cards.h"
#include "server/ai_search.h"
#include "server/seat_view.h"

namespace krvo::server {

enum class ComputerLevel : std::uint8_t { Easy, Normal, Hard };

std::optional<ComputerLevel> ParseComputerLevel(std::string_view text);
std::string_view ComputerLevelName(ComputerLevel level);

class ComputerBrain {
public:
    ComputerBrain(ComputerLevel level, std::uint32_t seed, ai::SearchBudget budget = {});

    ComputerLevel level() const { return level_; }
    // Whether to take up the declaration of the view's state; only asked
    // when the rules let this chair accept.
    bool answer(const SeatView& view);
    // The cards to play in trick play; empty to pass.
    CardList play(const SeatView& view);

private:
    double winChance(const SeatView& view);

    ComputerLevel level_;
    std::mt19937 rng_;
    ai::SearchBudget budget_;
};

}  // namespace krvo::server
