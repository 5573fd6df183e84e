#pragma once
// Card codes, the two orders a hand is sorted in, grouping by rank, and
// removing cards from a hand. Pure logic: no screen, no network.
//
// A card is one byte: 13 * suit + rank, rank 0-11 for 3 to A (no 2s are dealt).
// The two red aces are never dealt under their ordinary codes (11 and 50);
// they carry the codes 63 and 76 instead. Any code of 52 or more is "special":
// specials outrank every ordinary card and are equal among themselves.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace krvo {

inline constexpr std::uint8_t kRanksPerSuit = 13;
inline constexpr std::uint8_t kRankAce = 11;
inline constexpr std::uint8_t kSpecialCodeFloor = 52;
inline constexpr std::uint8_t kRedAceSuit0 = 63;    // drawn with the face of code 11
inline constexpr std::uint8_t kRedAceSuit3 = 76;    // drawn with the face of code 50
inline constexpr std::uint8_t kPlainAceSuit0 = 11;  // what 63 counts as where an ace is needed
inline constexpr std::uint8_t kPlainAceSuit3 = 50;  // what 76 counts as where an ace is needed
inline constexpr std::uint8_t kPassMarker = 254;    // the one-card play of a chair that passes
inline constexpr std::size_t kCardsPerDeckAndPlayer = 12;

// A list of card codes. The wire and the game's rules count positions from 1;
// in memory the list is 0-based, so position j is element j - 1 and the card
// count is size().
using CardList = std::vector<std::uint8_t>;

inline bool IsSpecialPai(std::uint8_t card) {
    return card >= kSpecialCodeFloor;
}
inline std::uint8_t PaiRank(std::uint8_t card) {
    return card % kRanksPerSuit;
}

// True when a ranks strictly below b; suits never decide.
bool IsPaiSmaller(std::uint8_t a, std::uint8_t b);
bool IsPaiSameRank(std::uint8_t a, std::uint8_t b);

// Strongest first, specials in front. The exchange order is part of the game's
// look: equal ranks end up in whatever order these swaps leave (not stable).
void SortPaiByRank(std::span<std::uint8_t> cards);

// One rank of a sorted hand. The cards live in a growable list so that a
// group of a many-deck table (up to 255 decks) can neither overflow nor lose
// cards; the count is the list's size.
struct PaiGroup {
    CardList btePai;
    std::size_t bteCount() const { return btePai.size(); }
    std::uint8_t first() const { return btePai.front(); }
};

// Groups a list already sorted by rank; both specials form one group.
std::vector<PaiGroup> GroupPai(std::span<const std::uint8_t> sortedCards);

// Hand order by groups: the red aces held stay in front, then larger groups
// first, each size by falling rank.
void SortPaiByGroup(std::span<std::uint8_t> cards);

// Removes one card per entry of toRemove (its first occurrence); cards not held
// are skipped.
void RemovePai(CardList& cards, std::span<const std::uint8_t> toRemove);

}  // namespace krvo
