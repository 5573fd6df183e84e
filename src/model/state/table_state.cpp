#include "state/table_state.h"

#include <utility>

namespace krvo {

namespace {

void resetSeatRound(SeatInfo& seat) {
    seat.bteLiang = kAnswerPending;
    seat.bteJiu = kAnswerPending;
    seat.bteJue = kAnswerPending;
    seat.bteZhi = kAnswerPending;
    seat.btePaiCount = 0;
    seat.bteOutPai.clear();
    seat.bteLastOutPai.clear();
    seat.bteMingCi = 0;
    seat.bteLeftPai.clear();
}

// What ResetAll and ResetRound both put back; the tool tips differ.
void resetRoundCommon(TableState& state) {
    state.blnNoGame = true;
    state.bteDeckCount = 1;
    state.blnShowOtherPai = 0;
    state.btePlayTime = 30;
    state.bteDeclareTime = 15;
    state.bteMyPai.clear();
    state.bteRoundState = kRoundBetween;
    state.bteRoundLiang = 0;
    state.bteRoundJiu = 0;
    state.bteRoundJue = 0;
    state.bteRoundZhi = 0;
    state.bteToolBut.fill(kButtonHidden);
    state.bteOutBut.fill(kButtonHidden);
    state.bteLiangBut.fill(kButtonHidden);
    state.bteLeaveRequestsUsed = 0;
    state.bteSelected.clear();
    state.blnShowWait = false;
    state.blnBombShow = false;
    state.tipList.lngTipCount = 0;
}

void loadIdleTable(TableState& state, const TableSnapshot& report, bool isOnlooker) {
    for (std::size_t chair = 0; chair < kChairCount; ++chair) {
        state.arrSeat[chair].blnReady = report.ready[chair];
    }
    state.blnCanSeeMyPai = (!isOnlooker || report.blnCanSeeMyPai != 0) ? 1 : 0;
    state.blnNoGame = true;
    state.bteRoundState = kRoundNone;
}

void loadRunningRound(TableState& state, TableSnapshot report, bool isOnlooker) {
    state.blnCanSeeMyPai = report.blnCanSeeMyPai;
    state.bteMaxLeaveRequests = report.bteMaxLeaveRequests;
    state.bteLeaveRequestsUsed = report.bteLeaveRequestsUsed;
    state.bteDeckCount = report.bteDeckCount;
    state.blnShowOtherPai = report.blnShowOtherPai;
    state.bteDeclareTime = report.bteDeclareTime;
    state.btePlayTime = report.btePlayTime;
    state.bteCurChair = report.bteCurChair;
    state.bteRoundState = report.bteRoundState;
    state.udtMaxOutPai = report.udtMaxOutPai;
    state.bteRoundLiang = report.bteRoundLiang;
    state.bteRoundJiu = report.bteRoundJiu;
    state.bteRoundJue = report.bteRoundJue;
    state.bteRoundZhi = report.bteRoundZhi;
    for (std::size_t chair = 0; chair < kChairCount; ++chair) {
        SeatInfo& seat = state.arrSeat[chair];
        SeatSnapshot& reported = report.seats[chair];
        seat.bteLiang = reported.bteLiang;
        seat.bteJiu = reported.bteJiu;
        seat.bteJue = reported.bteJue;
        seat.bteZhi = reported.bteZhi;
        seat.bteMingCi = reported.bteMingCi;
        seat.btePaiCount = reported.btePaiCount;
        seat.bteOutPai = std::move(reported.bteOutPai);
    }
    state.bteMyPai = std::move(report.bteMyPai);
    // A player always sees the own hand; only an onlooker depends on permission.
    if (!isOnlooker) state.blnCanSeeMyPai = 1;
    // The selection indexes the hand, which has just been replaced.
    state.bteSelected.assign(state.bteMyPai.size(), 0);
    state.blnNoGame = false;
}

void clearSelection(TableState& state) {
    state.bteSelected.assign(state.bteMyPai.size(), 0);
}

}  // namespace

void ResetAll(TableState& state) {
    for (SeatInfo& seat : state.arrSeat) {
        seat.strUserName.clear();
        seat.lngIconNo = -1;
        seat.blnOffline = false;
        seat.blnReady = false;
        resetSeatRound(seat);
    }
    state.blnCanSeeMyPai = 1;
    resetRoundCommon(state);
    state.strToolTip = {" 对手里的牌重新排序 ", " 查看玩家上一轮的出牌 "};
    state.lngRoundScore.fill(0);
    state.lngTotalScore.fill(0);
}

void ResetRound(TableState& state, bool clearReady) {
    state.bteAutoPlayCount = 0;
    state.bteAutoPlayLimit = 5;
    for (SeatInfo& seat : state.arrSeat) {
        if (clearReady) seat.blnReady = false;
        resetSeatRound(seat);
    }
    resetRoundCommon(state);
    state.strToolTip = {"排序", "上一轮"};
}

void ApplyTableSnapshot(TableState& state, TableSnapshot report, bool isOnlooker) {
    if (report.running) {
        loadRunningRound(state, std::move(report), isOnlooker);
    } else {
        loadIdleTable(state, report, isOnlooker);
    }
}

void collectSelection(TableState& state) {
    state.bteSelectPai.clear();
    const std::size_t marked = std::min(state.bteMyPai.size(), state.bteSelected.size());
    for (std::size_t j = 0; j < marked; ++j) {
        if (state.bteSelected[j] == 1) state.bteSelectPai.push_back(state.bteMyPai[j]);
    }
}

void applyLocalPlay(TableState& state, std::uint8_t myChair) {
    state.bteMyPaiBak = state.bteMyPai;
    CardList played = state.bteSelectPai;
    SortPaiByRank(played);
    RemovePai(state.bteMyPai, played);
    clearSelection(state);
    if (myChair < kChairCount) state.arrSeat[myChair].bteOutPai = std::move(played);
}

void confirmPlay(TableState& state, std::span<const std::uint8_t> playedCards) {
    if (!state.bteMyPaiBak.empty()) {
        state.bteMyPai = std::move(state.bteMyPaiBak);
        state.bteMyPaiBak.clear();
    }
    RemovePai(state.bteMyPai, playedCards);
    clearSelection(state);
}

void restoreAfterRejection(TableState& state, std::uint8_t myChair) {
    // Without a backup (an automatic play is sent without one) the hand as it
    // stands is the best there is; an empty copy would wipe it.
    if (!state.bteMyPaiBak.empty()) {
        state.bteMyPai = std::move(state.bteMyPaiBak);
        state.bteMyPaiBak.clear();
        clearSelection(state);
    }
    if (myChair < kChairCount) state.arrSeat[myChair].bteOutPai.clear();
}

}  // namespace krvo
