#pragma once
// One round of our rules, as plain state and functions over it: the deal, the
// sides, the declaration steps, the trick play, the finishing places and the
// scores. No packets and no time here: the engine turns the outcomes into
// messages and decides when each chair acts.

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "core/cards.h"
#include "core/patterns.h"
#include "core/round_codes.h"

namespace krvo::server {

inline constexpr std::uint8_t kChairs = 4;
// Suit 0 is hearts in our deck, so the heart 3 is code 0.
inline constexpr std::uint8_t kHeartThree = 0;
// A count byte carries a hand, so a hand of 12 per deck must stay within 255.
inline constexpr std::uint8_t kMaxDecks = 21;

// The state rules the table program shares live in core/round_codes.h.
using krvo::AnswerKindOf;
using krvo::IsDeclarationState;

struct SeatRound {
    CardList hand;
    std::uint8_t redAces = 0;  // bit 1: holds a 63, bit 2: holds a 76
    bool shown = false;        // the red aces of this chair are known to all
    // What every client knows of the chair (same coding as SeatInfo).
    std::uint8_t bteLiang = kAnswerPending;
    std::uint8_t bteJiu = kAnswerPending;
    std::uint8_t bteJue = kAnswerPending;
    std::uint8_t bteZhi = kAnswerPending;
    std::uint8_t bteMingCi = 0;
    CardList bteOutPai;
    // Every card the chair played this round, as everybody at the table saw it.
    CardList played;
    std::uint8_t autoPlays = 0;
    std::uint8_t leaveRequests = 0;

    bool redSide() const { return redAces != 0; }
    bool finished() const { return hand.empty(); }
};

struct Round {
    std::array<SeatRound, kChairs> seats;
    std::uint8_t decks = 1;
    std::uint8_t bteRoundState = kRoundBetween;
    std::uint8_t bteCurChair = 0;
    std::uint8_t bteShouJiaChair = 0;
    OutPaiInfo udtMaxOutPai;
    std::uint8_t passes = 0;  // passes since the play to beat
    std::uint8_t bteRoundLiang = 0;
    std::uint8_t bteRoundJiu = 0;
    std::uint8_t bteRoundJue = 0;
    std::uint8_t bteRoundZhi = 0;
    int stakeSteps = 0;                  // accepted declarations; each doubles the stake
    std::vector<std::uint8_t> askQueue;  // chairs still to ask in this declaration step
    std::uint8_t nextPlace = 1;
    // The chair asked whether it gives up: everybody sees the question, so
    // everybody learns that this chair holds every red ace.
    std::optional<std::uint8_t> surrenderAsked;
};

std::array<CardList, kChairs> ShuffleDeal(std::mt19937& rng, std::uint8_t decks);
// True when four hands of 12 per deck hold valid codes, none more often than
// the decks allow.
bool IsValidDeal(const std::array<CardList, kChairs>& hands, std::uint8_t decks);

// Deals the hands and opens the first declaration step at the heart 3.
Round StartRound(std::array<CardList, kChairs> hands, std::uint8_t decks);

// What one declaration answer did, for the message that reports it.
struct DeclareOutcome {
    std::uint8_t kind = 0;
    std::uint8_t chair = 0;
    std::uint8_t value = 0;
    std::uint8_t roundMark = 0;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> revealed;  // (chair, red aces) by a 揪
    bool surrendered = false;
};

// Why chair may not give this answer now; nothing when it may.
std::optional<std::string> DeclarationRefusal(const Round& round, std::uint8_t chair,
                                              std::uint8_t kind, bool accept);
// Whether the chair could accept in the current step (for computer players).
bool MayAccept(const Round& round, std::uint8_t chair);
DeclareOutcome AnswerDeclaration(Round& round, std::uint8_t chair, bool accept);

// Why these cards may not be played (or passed, for the one pass marker) now.
std::optional<std::string> PlayRefusal(const Round& round, std::uint8_t chair,
                                       std::span<const std::uint8_t> cards);

struct PlayOutcome {
    bool trickFlag = false;  // a pair of red aces: the trick is won at once
    bool roundOver = false;
    std::uint8_t place = 0;
};
// Applies a play or pass already checked by PlayRefusal and moves the turn on.
PlayOutcome ApplyPlay(Round& round, std::uint8_t chair, std::span<const std::uint8_t> cards);

bool IsRoundOver(const Round& round);
std::int32_t StakeOf(const Round& round);
// Scores of a round played to its end; they sum to zero.
std::array<std::int32_t, kChairs> ScoreRound(const Round& round);
// The lone holder of the red aces gave up.
std::array<std::int32_t, kChairs> ScoreSurrender(const Round& round, std::uint8_t chair);
// A chair ran away; it pays double to each of the others.
std::array<std::int32_t, kChairs> ScoreRunaway(const Round& round, std::uint8_t chair);

}  // namespace krvo::server
