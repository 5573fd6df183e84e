// Who wins a round and what it is worth: the sides, the end of the round and
// scores that always sum to zero.

#include <algorithm>

#include "server/rules_round.h"

namespace krvo::server {
namespace {

int redSideSize(const Round& round) {
    return static_cast<int>(std::count_if(round.seats.begin(), round.seats.end(),
                                          [](const SeatRound& seat) { return seat.redSide(); }));
}

// Each loser pays the stake to each winner.
std::array<std::int32_t, kChairs> sideScores(const std::array<bool, kChairs>& winners,
                                             std::int32_t stake) {
    const auto winnerCount =
        static_cast<std::int32_t>(std::count(winners.begin(), winners.end(), true));
    const std::int32_t loserCount = kChairs - winnerCount;
    std::array<std::int32_t, kChairs> scores{};
    if (winnerCount == 0 || loserCount == 0) return scores;
    for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
        scores[chair] = winners[chair] ? stake * loserCount : -stake * winnerCount;
    }
    return scores;
}

std::array<bool, kChairs> everyoneBut(std::uint8_t chair) {
    std::array<bool, kChairs> winners{};
    for (std::uint8_t each = 0; each < kChairs; ++each) winners[each] = each != chair;
    return winners;
}

}  // namespace

bool IsRoundOver(const Round& round) {
    const int red = redSideSize(round);
    const int black = kChairs - red;
    int redDone = 0;
    int blackDone = 0;
    for (const SeatRound& seat : round.seats) {
        if (!seat.finished()) continue;
        (seat.redSide() ? redDone : blackDone) += 1;
    }
    // A lone side (or nobody against everybody) is decided by the first finisher.
    if (red <= 1 || black <= 1) return redDone + blackDone > 0;
    return redDone == red || blackDone == black;
}

std::int32_t StakeOf(const Round& round) {
    return std::int32_t{1} << std::clamp(round.stakeSteps, 0, 20);
}

std::array<std::int32_t, kChairs> ScoreRound(const Round& round) {
    const int red = redSideSize(round);
    std::array<bool, kChairs> winners{};
    bool redWins = false;
    if (red == 1 || red == kChairs - 1) {
        for (const SeatRound& seat : round.seats) {
            if (seat.bteMingCi == 1) redWins = seat.redSide();
        }
    } else {
        redWins = std::all_of(round.seats.begin(), round.seats.end(), [](const SeatRound& seat) {
            return !seat.redSide() || seat.finished();
        });
    }
    bool sweep = red == 2;
    for (std::uint8_t chair = 0; chair < kChairs; ++chair) {
        const SeatRound& seat = round.seats[chair];
        winners[chair] = seat.redSide() == redWins;
        if (winners[chair] && (seat.bteMingCi == 0 || seat.bteMingCi > 2)) sweep = false;
    }
    return sideScores(winners, StakeOf(round) * (sweep ? 2 : 1));
}

std::array<std::int32_t, kChairs> ScoreSurrender(const Round& round, std::uint8_t chair) {
    return sideScores(everyoneBut(chair), StakeOf(round));
}

std::array<std::int32_t, kChairs> ScoreRunaway(const Round& round, std::uint8_t chair) {
    return sideScores(everyoneBut(chair), 2 * StakeOf(round));
}

}  // namespace krvo::server
