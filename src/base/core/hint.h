#pragma once
// The hint search: every play in a hand that beats the play on the table, from
// the strongest means (red aces, then bombs) down to the cheapest play.

#include <array>
#include <cstdint>
#include <span>

namespace krvo {

inline constexpr std::size_t kMaxTipPai = 16;       // candidates in the list
inline constexpr std::size_t kMaxTipPaiCards = 16;  // cards in one candidate

// One candidate play; its cards are btePai[0 .. lngCount - 1].
struct TipPai {
    std::array<std::uint8_t, kMaxTipPaiCards> btePai{};
    std::int32_t lngCount = 0;
    friend bool operator==(const TipPai&, const TipPai&) = default;
    std::span<const std::uint8_t> cards() const {
        return std::span(btePai).first(static_cast<std::size_t>(lngCount));
    }
};

struct TipList {
    std::array<TipPai, kMaxTipPai> udtTipPai{};
    std::int32_t lngTipCount = 0;
    // 1-based: the candidate the hint button shows next (udtTipPai[lngTipIndex - 1]).
    std::int32_t lngTipIndex = 0;

    friend bool operator==(const TipList&, const TipList&) = default;
};

// Fills tips with the plays in hand that beat a play of the given type, card
// count and representative card. The list never grows beyond 16 candidates of
// 16 cards: a candidate too long to hold is left out whole, and the search
// ends once the list is full. Afterwards lngTipIndex = lngTipCount, so the
// first hint shows the cheapest play. True when at least one was found.
bool FindTipPai(TipList& tips, std::span<const std::uint8_t> hand, std::uint8_t topType,
                std::uint8_t topCount, std::uint8_t topCard);

}  // namespace krvo
