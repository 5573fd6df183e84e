#pragma once
// Fixed deals for tests (--deals FILE). The text format: one line per hand,
// the card codes in decimal separated by blanks or commas; four hand lines in
// a row make one round (chairs 0-3), used round by round. Blank lines and
// text after '#' are ignored. Every round must be a proper deal for the
// table's number of decks.
//
//   # round 1
//   0 1 2 3 4 5 6 7 8 9 10 63
//   13 14 15 16 17 18 19 20 21 22 23 24
//   ...

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/cards.h"

namespace krvo::server {

using FixedDeal = std::array<CardList, 4>;

// On failure error names the line and nothing is added to deals.
bool ParseDeals(std::string_view text, std::uint8_t decks, std::vector<FixedDeal>& deals,
                std::string& error);
bool LoadDealsFile(const std::string& path, std::uint8_t decks, std::vector<FixedDeal>& deals,
                   std::string& error);

}  // namespace krvo::server
