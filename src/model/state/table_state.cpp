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

// Reads a report front to back; every read checks the length first.
class ReportReader {
public:
    ReportReader(std::span<const std::uint8_t> packet, std::size_t position)
        : packet_(packet), position_(position) {}

    bool read(std::uint8_t& out) {
        if (position_ >= packet_.size()) return false;
        out = packet_[position_++];
        return true;
    }

    bool readCards(CardList& out) {
        std::uint8_t count = 0;
        if (!read(count) || packet_.size() - position_ < count) return false;
        const auto begin = packet_.begin() + static_cast<std::ptrdiff_t>(position_);
        out.assign(begin, begin + count);
        position_ += count;
        return true;
    }

    template <typename... Bytes>
    bool readAll(Bytes&... out) {
        return (read(out) && ...);
    }

private:
    std::span<const std::uint8_t> packet_;
    std::size_t position_;
};

constexpr std::size_t kIdleReportSize = 9;

bool loadIdleTable(TableState& state, std::span<const std::uint8_t> packet, bool isOnlooker) {
    if (packet.size() < kIdleReportSize) return false;
    for (std::size_t chair = 0; chair < kChairCount; ++chair) {
        state.arrSeat[chair].blnReady = packet[4 + chair] != 0;
    }
    state.blnCanSeeMyPai = (!isOnlooker || packet[8] != 0) ? 1 : 0;
    state.blnNoGame = true;
    state.bteRoundState = kRoundNone;
    return true;
}

template <typename Field>
bool readPerChair(ReportReader& reader, TableState& state, Field field) {
    for (SeatInfo& seat : state.arrSeat) {
        if (!reader.read(seat.*field)) return false;
    }
    return true;
}

bool loadRunningRound(TableState& state, std::span<const std::uint8_t> packet, bool isOnlooker) {
    ReportReader reader(packet, 4);
    OutPaiInfo& top = state.udtMaxOutPai;
    // The play record comes as chair, card, type, count on the wire.
    if (!reader.readAll(state.blnCanSeeMyPai, state.bteMaxLeaveRequests, state.bteLeaveRequestsUsed,
                        state.bteDeckCount, state.blnShowOtherPai, state.bteDeclareTime,
                        state.btePlayTime, state.bteCurChair, state.bteRoundState, top.bteChair,
                        top.bteMaxPai, top.btePaiType, top.btePaiCount, state.bteRoundLiang,
                        state.bteRoundJiu, state.bteRoundJue, state.bteRoundZhi)) {
        return false;
    }
    for (auto field : {&SeatInfo::bteLiang, &SeatInfo::bteJiu, &SeatInfo::bteJue, &SeatInfo::bteZhi,
                       &SeatInfo::bteMingCi, &SeatInfo::btePaiCount}) {
        if (!readPerChair(reader, state, field)) return false;
    }
    for (SeatInfo& seat : state.arrSeat) {
        if (!reader.readCards(seat.bteOutPai)) return false;
    }
    if (!reader.readCards(state.bteMyPai)) return false;
    // A player always sees the own hand; only an onlooker depends on permission.
    if (!isOnlooker) state.blnCanSeeMyPai = 1;
    // The selection indexes the hand, which has just been replaced.
    state.bteSelected.assign(state.bteMyPai.size(), 0);
    state.blnNoGame = false;
    return true;
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

bool LoadTableState(TableState& state, std::span<const std::uint8_t> packet, bool isOnlooker) {
    if (packet.size() < 3) return false;
    TableState next = state;
    const bool loaded = packet[2] == 0 ? loadIdleTable(next, packet, isOnlooker)
                                       : loadRunningRound(next, packet, isOnlooker);
    if (!loaded) return false;
    state = std::move(next);
    return true;
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
