#pragma once
// The computer players' picture of cards: a hand as a count per rank (suits
// never decide a play, only the two red aces are special), plays as shape,
// top rank and length, and a plan that splits a hand into the plays it will
// be got rid of with. Small and copyable, so a search can play thousands of
// rounds a second with it.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "core/cards.h"
#include "core/patterns.h"

namespace krvo::server::ai {

inline constexpr int kRanks = 12;  // 3 to A

struct Hand {
    std::array<std::uint8_t, kRanks>
        n{};                    // cards of each rank; red aces of a held pair not counted
    std::uint8_t redPairs = 0;  // pairs of red aces kept together
    std::uint8_t size = 0;      // every card, the red-ace pairs included

    friend bool operator==(const Hand&, const Hand&) = default;
};

// A play by shape: the play type code, the rank it compares by, and for the
// runs the number of ranks. A pass has type kPaiNone.
struct Move {
    std::uint8_t type = kPaiNone;
    std::uint8_t top = 0;
    std::uint8_t len = 1;

    bool isPass() const { return type == kPaiNone; }
    bool isBomb() const {
        return type == kPaiBombThree || type == kPaiBombFour || type == kPaiRedAcePair;
    }
    int cards() const;
    friend bool operator==(const Move&, const Move&) = default;
};

inline constexpr Move kPass{};

Hand HandOf(std::span<const std::uint8_t> cards);
// The play on the table as a move (the count decides a run's length).
Move MoveOf(const OutPaiInfo& top);
// The server's comparison (CheckFollowPai) on shapes.
bool Beats(const Move& mine, const Move& top);
bool Holds(const Hand& hand, const Move& move);
void Take(Hand& hand, const Move& move);
// The whole hand as one play, when it is one.
bool IsOnePlay(const Hand& hand, Move& play);

// Every play the hand can make: any on a lead (top null), else those that beat top.
void LegalMoves(const Hand& hand, const Move* top, std::vector<Move>& out);

// The cards of a real hand that make the move: plain aces go before red
// ones, and the red aces of a held pair are only played together.
CardList CardsFor(std::span<const std::uint8_t> hand, const Move& move);

// A hand split into plays: bombs and red-ace pairs kept whole, then double
// straights, straights, pairs and singles. Groups run from the lowest rank.
struct Plan {
    std::array<Move, 48> groups{};
    std::uint8_t count = 0;
    std::span<const Move> all() const { return std::span(groups).first(count); }
    int bombs() const;
};
Plan PlanHand(const Hand& hand);

}  // namespace krvo::server::ai
