#include <gtest/gtest.h>

#include <vector>

#include "state/table_state.h"
#include "wire/table_snapshot.h"

namespace krvo {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The room handler's order: read the report, then apply it whole.
bool LoadTableState(TableState& state, const Bytes& packet, bool isOnlooker) {
    std::optional<TableSnapshot> report = ParseTableSnapshot(packet);
    if (!report) return false;
    ApplyTableSnapshot(state, std::move(*report), isOnlooker);
    return true;
}

// A table in the middle of a round, with something in every field a reset or
// a report may touch.
TableState busyTable() {
    TableState state;
    for (SeatInfo& seat : state.arrSeat) {
        seat = SeatInfo{"p", 7, true, true, 1, 0, 1, 0, 9, {5}, {6}, 2, {7}};
    }
    state.bteMyPai = {1, 2, 3};
    state.bteSelected = {0, 1, 0};
    state.bteMaxLeaveRequests = 3;
    state.bteAutoPlayCount = 2;
    state.bteAutoPlayLimit = 9;
    state.blnNoGame = false;
    state.bteRoundState = kRoundFollow;
    state.bteOutBut = {1, 1, 2};
    state.lngTotalScore = {5, 6, 7, 8};
    state.tipList.lngTipCount = 4;
    return state;
}

TEST(TableState, ResetRoundKeepsPlayersAndScores) {
    for (const bool clearReady : {false, true}) {
        TableState state = busyTable();
        ResetRound(state, clearReady);
        for (const SeatInfo& seat : state.arrSeat) {
            EXPECT_EQ(seat, (SeatInfo{"p", 7, true, !clearReady, 4, 4, 4, 4, 0, {}, {}, 0, {}}));
        }
        EXPECT_EQ(state.bteMaxLeaveRequests, 3);
        EXPECT_EQ(state.lngTotalScore[3], 8);
        EXPECT_EQ(state.bteAutoPlayCount, 0);
        EXPECT_EQ(state.bteAutoPlayLimit, 5);
        EXPECT_TRUE(state.blnNoGame && state.bteMyPai.empty());
        EXPECT_EQ(state.bteOutBut[2], kButtonHidden);
        EXPECT_EQ(state.strToolTip[1], "上一轮");
        EXPECT_EQ(state.tipList.lngTipCount, 0);
    }
}

TEST(TableState, ResetAllEmptiesChairsButKeepsTheAutoPlayCount) {
    TableState state = busyTable();
    ResetAll(state);
    TableState fresh;
    fresh.bteMaxLeaveRequests = 3;
    fresh.bteAutoPlayCount = 2;
    fresh.bteAutoPlayLimit = 9;
    EXPECT_EQ(state, fresh);
    EXPECT_EQ(state.arrSeat[0].lngIconNo, -1);
    EXPECT_EQ(state.strToolTip[0], " 对手里的牌重新排序 ");
}

Bytes runningReport() {
    Bytes report = {109,          0, 1,  0,        0, 2, 1, 2, 1, 15, 30, 3,
                    kRoundFollow, 2, 40, kPaiPair, 2, 1, 0, 1, 0};
    for (std::uint8_t field = 0; field < 6; ++field) {
        for (std::uint8_t chair = 0; chair < 4; ++chair) report.push_back(field * 10 + chair);
    }
    report.insert(report.end(), {0, 1, kPassMarker, 2, 40, 27, 0});  // the four played lists
    report.insert(report.end(), {3, 8, 9, 10});                      // the hand
    return report;
}

TEST(TableState, RunningReportFillsTheRound) {
    TableState state = busyTable();
    ResetRound(state, true);
    ASSERT_TRUE(LoadTableState(state, runningReport(), true));
    EXPECT_EQ(state.blnCanSeeMyPai, 0);
    EXPECT_EQ(state.bteLeaveRequestsUsed, 1);
    EXPECT_EQ(state.bteCurChair, 3);
    EXPECT_EQ(state.udtMaxOutPai, (OutPaiInfo{2, kPaiPair, 40, 2}));
    EXPECT_EQ(state.bteRoundJue, 1);
    EXPECT_EQ(state.arrSeat[2].bteJiu, 12);
    EXPECT_EQ(state.arrSeat[3].bteMingCi, 43);
    EXPECT_EQ(state.arrSeat[1].btePaiCount, 51);
    EXPECT_EQ(state.arrSeat[1].bteOutPai, (CardList{kPassMarker}));
    EXPECT_EQ(state.arrSeat[2].bteOutPai, (CardList{40, 27}));
    EXPECT_TRUE(state.arrSeat[2].bteLastOutPai.empty());
    EXPECT_EQ(state.bteMyPai, (CardList{8, 9, 10}));
    EXPECT_EQ(state.bteSelected, (CardList{0, 0, 0}));
    EXPECT_FALSE(state.blnNoGame);
    ASSERT_TRUE(LoadTableState(state, runningReport(), false));
    EXPECT_EQ(state.blnCanSeeMyPai, 1);
}

TEST(TableState, IdleReportSetsReadyAndPermission) {
    for (const bool onlooker : {false, true}) {
        TableState state = busyTable();
        ASSERT_TRUE(LoadTableState(state, Bytes{109, 0, 0, 0, 1, 0, 0, 5, 0}, onlooker));
        EXPECT_TRUE(state.arrSeat[0].blnReady && state.arrSeat[3].blnReady);
        EXPECT_FALSE(state.arrSeat[1].blnReady || state.arrSeat[2].blnReady);
        EXPECT_EQ(state.blnCanSeeMyPai, onlooker ? 0 : 1);
        EXPECT_TRUE(state.blnNoGame);
        EXPECT_EQ(state.bteRoundState, kRoundNone);
        EXPECT_EQ(state.bteMyPai, busyTable().bteMyPai);
    }
}

TEST(TableState, ShortReportChangesNothing) {
    Bytes overlong = runningReport();  // the hand's count runs past the end
    overlong[overlong.size() - 4] = 200;
    std::vector<Bytes> reports = {overlong};
    for (const Bytes& whole : {Bytes{109, 0, 0, 0, 1, 0, 0, 5, 1}, runningReport()}) {
        for (std::size_t length = 0; length < whole.size(); ++length) {
            reports.emplace_back(whole.begin(), whole.begin() + length);
        }
    }
    for (const Bytes& report : reports) {
        TableState state = busyTable();
        EXPECT_FALSE(LoadTableState(state, report, true)) << report.size();
        EXPECT_EQ(state, busyTable()) << report.size();
    }
}

TEST(TableState, LocalPlayIsConfirmedOrRestored) {
    TableState state;
    state.bteMyPai = {30, 20, 10, 20};
    state.bteSelected = {0, 1, 1, 0};
    collectSelection(state);
    EXPECT_EQ(state.bteSelectPai, (CardList{20, 10}));
    applyLocalPlay(state, 2);
    EXPECT_EQ(state.bteMyPai, (CardList{30, 20}));
    EXPECT_EQ(state.bteMyPaiBak, (CardList{30, 20, 10, 20}));
    EXPECT_EQ(state.arrSeat[2].bteOutPai, (CardList{10, 20}));
    EXPECT_EQ(state.bteSelected, (CardList{0, 0}));

    TableState rejected = state;
    restoreAfterRejection(rejected, 2);
    EXPECT_EQ(rejected.bteMyPai, (CardList{30, 20, 10, 20}));
    EXPECT_TRUE(rejected.bteMyPaiBak.empty() && rejected.arrSeat[2].bteOutPai.empty());

    // The server's list decides: it played 30 and one 20, not what was applied.
    confirmPlay(state, Bytes{30, 20});
    EXPECT_EQ(state.bteMyPai, (CardList{10, 20}));
    EXPECT_TRUE(state.bteMyPaiBak.empty());
    // An automatic play has no backup: confirming removes, a rejection keeps the hand.
    confirmPlay(state, Bytes{20});
    restoreAfterRejection(state, 9);
    EXPECT_EQ(state.bteMyPai, (CardList{10}));
}

}  // namespace
}  // namespace krvo
