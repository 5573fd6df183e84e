#include "server/engine_packets.h"

#include <algorithm>

namespace krvo::server {

RoundStartInfo RoundStartOf(const Round& round, const RoundSettingsBytes& settings) {
    RoundStartInfo info;
    info.bteAutoPlayLimit = settings.autoPlayLimit;
    info.bteDeckCount = settings.decks;
    info.blnShowOtherPai = 1;  // the other hands show as card backs while the round runs
    info.bteDeclareTime = settings.declareTime;
    info.btePlayTime = settings.playTime;
    info.bteCurChair = round.bteCurChair;
    info.bteRoundState = round.bteRoundState;
    info.bteShouJiaChair = round.bteShouJiaChair;
    info.blnShouJia = 1;  // announce who holds the heart 3
    info.bteMaxLeaveRequests = settings.maxLeaveRequests;
    return info;
}

DeclareReport DeclareReportOf(const DeclareOutcome& outcome, const Round& round) {
    return {outcome.kind,        outcome.chair,     outcome.value,   round.bteCurChair,
            round.bteRoundState, outcome.roundMark, outcome.revealed};
}

PlayReport PlayReportOf(std::uint8_t chair, const PlayOutcome& outcome, const Round& round) {
    return {round.bteCurChair, round.bteRoundState,
            static_cast<std::uint8_t>(outcome.trickFlag ? 1 : 0), outcome.place, chair};
}

std::array<CardSpan, kChairs> HandsOf(const Round& round) {
    std::array<CardSpan, kChairs> hands;
    for (std::size_t chair = 0; chair < kChairs; ++chair) hands[chair] = round.seats[chair].hand;
    return hands;
}

TableSnapshot RunningSnapshotOf(const Round& round, const RoundSettingsBytes& settings,
                                const SnapshotView& view) {
    TableSnapshot snapshot;
    snapshot.running = true;
    snapshot.blnCanSeeMyPai = view.canSee ? 1 : 0;
    snapshot.bteMaxLeaveRequests = settings.maxLeaveRequests;
    snapshot.bteLeaveRequestsUsed = view.leaveRequestsUsed;
    snapshot.bteDeckCount = settings.decks;
    snapshot.blnShowOtherPai = 1;  // as at the round start
    snapshot.bteDeclareTime = settings.declareTime;
    snapshot.btePlayTime = settings.playTime;
    snapshot.bteCurChair = round.bteCurChair;
    snapshot.bteRoundState = round.bteRoundState;
    snapshot.udtMaxOutPai = round.udtMaxOutPai;
    snapshot.bteRoundLiang = round.bteRoundLiang;
    snapshot.bteRoundJiu = round.bteRoundJiu;
    snapshot.bteRoundJue = round.bteRoundJue;
    snapshot.bteRoundZhi = round.bteRoundZhi;
    for (std::size_t chair = 0; chair < kChairs; ++chair) {
        const SeatRound& seat = round.seats[chair];
        SeatSnapshot& shown = snapshot.seats[chair];
        shown.bteLiang = seat.bteLiang;
        shown.bteJiu = seat.bteJiu;
        shown.bteJue = seat.bteJue;
        shown.bteZhi = seat.bteZhi;
        shown.bteMingCi = seat.bteMingCi;
        shown.btePaiCount = static_cast<std::uint8_t>(std::min<std::size_t>(seat.hand.size(), 255));
        shown.bteOutPai = seat.bteOutPai;
    }
    snapshot.bteMyPai = round.seats[view.viewedChair % kChairs].hand;
    return snapshot;
}

TableSnapshot IdleSnapshotOf(const std::array<bool, kChairs>& ready, bool canSee) {
    TableSnapshot snapshot;
    snapshot.ready = ready;
    snapshot.blnCanSeeMyPai = canSee ? 1 : 0;
    return snapshot;
}

}  // namespace krvo::server
