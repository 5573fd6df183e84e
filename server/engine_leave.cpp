// Leave requests during a running round: relayed to the table, voted on by the
// other three (computers and offline players agree), and the table dissolved
// when all agree.

#include <algorithm>

#include "server/engine_state.h"

namespace krvo::server {

void GameEngine::State::handleLeave(std::uint8_t chair, std::span<const std::uint8_t> packet) {
    if (!running) return;
    const std::optional<LeaveMessage> leave = ParsePlayerLeave(packet);
    if (!leave) return;
    if (leave->step == LeaveSub::kAsk) {
        SeatRound& seat = round.seats[chair];
        if (leave->chair != chair || vote || seat.leaveRequests >= settings.maxLeaveRequests)
            return;
        ++seat.leaveRequests;
        vote = LeaveVote{chair, {}, now + kVoteWaitMs};
        sendAll(LeaveRequestPacket(chair, leave->reason));
        for (std::uint8_t each = 0; each < kChairs; ++each) {
            const ChairPerson& person = chairs[each];
            if (each != chair && (person.computer || person.offline)) {
                chairs[each].voteDue = now + computerDelay();
            }
        }
        return;
    }
    const std::uint8_t step = leave->step;
    if (step < LeaveSub::kAgree || step > LeaveSub::kAgreeForOffline) return;
    const std::uint8_t voter = leave->chair;
    if (!vote || leave->requester != vote->requester || voter >= kChairs ||
        voter == vote->requester) {
        return;
    }
    // A player may agree for an offline chair; any other answer must come
    // from the voter itself.
    const bool allowed =
        step == LeaveSub::kAgreeForOffline ? chairs[voter].offline : voter == chair;
    if (!allowed || vote->answers[voter] != 0) return;
    chairs[voter].voteDue.reset();
    recordVote(voter, step != LeaveSub::kRefuse);
}

void GameEngine::State::recordVote(std::uint8_t voter, bool agree) {
    if (!vote || vote->answers[voter] != 0 || voter == vote->requester) return;
    const std::uint8_t requester = vote->requester;
    vote->answers[voter] = agree ? 1 : 2;
    sendAll(LeaveVotePacket(agree ? LeaveSub::kAgree : LeaveSub::kRefuse, voter, requester));
    if (!agree) {
        vote.reset();
        for (ChairPerson& person : chairs) person.voteDue.reset();
        return;
    }
    int agreed = 0;
    for (const std::uint8_t answer : vote->answers) agreed += answer == 1 ? 1 : 0;
    if (agreed == kChairs - 1) dissolve(requester);
}

// The players' own questions agree when nobody answers them.
void GameEngine::State::expireVote() {
    if (!vote) return;
    const std::uint8_t requester = vote->requester;
    for (std::uint8_t each = 0; each < kChairs && vote; ++each) {
        if (each != requester && vote->answers[each] == 0) recordVote(each, true);
    }
    vote.reset();
}

void GameEngine::State::dissolve(std::uint8_t requester) {
    sendAll(LeaveGrantedPacket(requester));
    sendAll(RoundEndShortPacket());
    running = false;
    round.bteRoundState = kRoundBetween;
    turnDue.reset();
    vote.reset();
    for (ChairPerson& person : chairs) {
        person.ready = false;
        person.voteDue.reset();
    }
    events.push_back({EngineEventKind::TableDissolved, requester});
    scheduleComputerReady();
}

}  // namespace krvo::server
