#pragma once
// What a person in one chair can know of a running round: the own hand, the
// answers and plays everybody saw, and how many cards each chair has left.
// Computer players decide from this alone; it holds no other hand, so they
// cannot read one.

#include <array>
#include <cstdint>
#include <optional>

#include "core/cards.h"
#include "core/patterns.h"
#include "server/rules_round.h"

namespace krvo::server {

struct ChairView {
    std::uint8_t cardsLeft = 0;
    CardList played;  // every card it played this round
    // The public answers (SeatInfo coding: kAnswerPending, 0 no, else yes).
    std::uint8_t bteLiang = kAnswerPending;
    std::uint8_t bteJiu = kAnswerPending;
    std::uint8_t bteJue = kAnswerPending;
    std::uint8_t bteZhi = kAnswerPending;
    // The red aces a show or a 揪 laid open (bit 1: a 63, bit 2: a 76); a
    // show lays open every red ace the chair holds.
    std::uint8_t redShown = 0;
    std::uint8_t bteMingCi = 0;

    friend bool operator==(const ChairView&, const ChairView&) = default;
};

struct SeatView {
    std::uint8_t me = 0;
    std::uint8_t decks = 1;
    std::uint8_t bteRoundState = 0;
    std::uint8_t bteCurChair = 0;
    std::uint8_t bteShouJiaChair = 0;
    std::int32_t stake = 1;
    CardList hand;            // the own cards
    OutPaiInfo udtMaxOutPai;  // the play to beat while a trick runs
    std::uint8_t passes = 0;  // passes since that play
    // The chair that was asked whether it gives up: it holds every red ace.
    std::optional<std::uint8_t> surrenderAsked;
    std::array<ChairView, kChairs> chairs;

    // The declarations are past the surrender question, asked or not.
    bool pastSurrenderStep() const;
    friend bool operator==(const SeatView&, const SeatView&) = default;
};

SeatView SeatViewOf(const Round& round, std::uint8_t chair);

// The red aces of every deck on the table.
inline int RedAceCount(std::uint8_t decks) {
    return 2 * decks;
}
inline bool IsRedAce(std::uint8_t card) {
    return card == kRedAceSuit0 || card == kRedAceSuit3;
}

// The sides as one chair can tell them: for every chair, whether it is known
// to be on the red side, known to be on the black side, or not known yet.
enum class SideKnown : std::uint8_t { Unknown, Red, Black };
std::array<SideKnown, kChairs> KnownSides(const SeatView& view);

}  // namespace krvo::server
