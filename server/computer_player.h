#pragma once
// What a computer player does with what it may see: its own hand, the round
// state and the play to beat. Deterministic: every chance comes from the
// engine's seeded generator.

#include <cstdint>
#include <random>

#include "core/cards.h"
#include "core/patterns.h"

namespace krvo::server {

// Whether to take up a declaration the chair is allowed to make. Computers
// decline most of them, so a table of computers mostly plays at the base stake.
bool ComputerAccepts(std::uint8_t state, std::mt19937& rng);

// The lowest group of the hand, keeping bombs while anything else is left.
CardList ComputerLead(const CardList& hand);

// The cheapest play the hint search finds against the play to beat; a bomb or
// the pair of red aces only when it empties the hand. Empty: pass.
CardList ComputerFollow(const CardList& hand, const OutPaiInfo& top);

// The automatic lead made for a player who did not act: the lowest card, the
// one the player's own program would play from a hand in our deal order.
CardList AutomaticLead(const CardList& hand);

}  // namespace krvo::server
