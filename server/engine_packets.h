#pragma once
// The engine's round as the wire reports it; the byte layouts live in wire/.

#include <array>
#include <cstdint>

#include "server/rules_round.h"
#include "wire/game_protocol.h"
#include "wire/table_snapshot.h"

namespace krvo::server {

struct RoundSettingsBytes {
    std::uint8_t autoPlayLimit = 5;
    std::uint8_t decks = 1;
    std::uint8_t declareTime = 15;
    std::uint8_t playTime = 30;
    std::uint8_t maxLeaveRequests = 2;
};

RoundStartInfo RoundStartOf(const Round& round, const RoundSettingsBytes& settings);
// The answer and the turn that follows it, as the round now stands.
DeclareReport DeclareReportOf(const DeclareOutcome& outcome, const Round& round);
PlayReport PlayReportOf(std::uint8_t chair, const PlayOutcome& outcome, const Round& round);
std::array<CardSpan, kChairs> HandsOf(const Round& round);

struct SnapshotView {
    bool canSee = true;
    std::uint8_t leaveRequestsUsed = 0;
    std::uint8_t viewedChair = 0;
};
TableSnapshot RunningSnapshotOf(const Round& round, const RoundSettingsBytes& settings,
                                const SnapshotView& view);
TableSnapshot IdleSnapshotOf(const std::array<bool, kChairs>& ready, bool canSee);

}  // namespace krvo::server
