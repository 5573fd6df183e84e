#pragma once
// The client's copy of the table and the round: what the server last reported,
// plus what belongs to the local player alone (the hand, the selection and a
// backup of the hand while a play awaits the server). Plain data and plain
// functions; painting is the caller's business. No Qt here.
//
// Chairs are the server's numbers 0-3. Values copied from server bytes
// (bteCurChair, udtMaxOutPai.bteChair, ...) are not checked on arrival: check
// them before using them as an index.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "core/cards.h"
#include "core/hint.h"
#include "core/patterns.h"
#include "core/round_codes.h"
#include "core/table_snapshot_value.h"

namespace krvo {

inline constexpr std::size_t kChairCount = 4;
// Button state bytes: not shown, shown, shown under the mouse.
enum ButtonStateCode : std::uint8_t { kButtonHidden = 0, kButtonShown = 1, kButtonHover = 2 };

struct SeatInfo {
    std::string strUserName;  // empty when the chair is empty
    std::int32_t lngIconNo = -1;
    bool blnOffline = false;
    bool blnReady = false;
    // Red aces known: pending, 0 declined, 1 = 63, 2 = 76, 3 = both.
    std::uint8_t bteLiang = kAnswerPending;
    std::uint8_t bteJiu = kAnswerPending;  // pending, 0 declined, else as the server sent
    std::uint8_t bteJue = kAnswerPending;
    std::uint8_t bteZhi = kAnswerPending;
    std::uint8_t btePaiCount = 0;
    CardList bteOutPai;          // this trick's play, the pass marker, or the red aces shown
    CardList bteLastOutPai;      // the previous trick
    std::uint8_t bteMingCi = 0;  // finishing place; 0 while cards remain
    CardList bteLeftPai;         // cards revealed at the end of the round

    friend bool operator==(const SeatInfo&, const SeatInfo&) = default;
};

struct TableState {
    std::array<SeatInfo, kChairCount> arrSeat{};

    // The local player. bteSelected has one entry (0 or 1) per card of bteMyPai.
    std::uint8_t blnCanSeeMyPai = 1;
    CardList bteMyPai;
    CardList bteSelected;
    CardList bteSelectPai;
    CardList bteMyPaiBak;  // empty unless a local play awaits the server
    bool blnSortFlag = false;

    // Round settings.
    std::uint8_t bteDeckCount = 1;
    std::uint8_t btePlayTime = 30;
    std::uint8_t bteDeclareTime = 15;
    std::uint8_t bteAutoPlayLimit = 5;
    std::uint8_t bteMaxLeaveRequests = 0;
    std::uint8_t blnShowOtherPai = 0;

    // Round progress.
    bool blnNoGame = true;
    std::uint8_t bteRoundState = kRoundBetween;
    std::uint8_t bteCurChair = 0;
    OutPaiInfo udtMaxOutPai{};
    std::uint8_t bteRoundLiang = 0;
    std::uint8_t bteRoundJiu = 0;
    std::uint8_t bteRoundJue = 0;
    std::uint8_t bteRoundZhi = 0;
    std::uint8_t bteShouJiaChair = 0;
    std::uint8_t blnShouJia = 0;
    std::uint8_t bteAutoPlayCount = 0;
    std::uint8_t bteLeaveRequestsUsed = 0;
    std::array<std::int32_t, kChairCount> lngRoundScore{};
    std::array<std::int32_t, kChairCount> lngTotalScore{};

    // Table surface controls.
    std::array<std::uint8_t, 2> bteToolBut{};  // sort the hand, show the previous trick
    std::array<std::string, 2> strToolTip{" 对手里的牌重新排序 ", " 查看玩家上一轮的出牌 "};
    std::array<std::uint8_t, 3> bteOutBut{};    // play, pass, hint
    std::array<std::uint8_t, 2> bteLiangBut{};  // yes, no
    bool blnShowWait = false;
    bool blnBombShow = false;  // plays are ignored while a bomb animation runs

    TipList tipList;

    friend bool operator==(const TableState&, const TableState&) = default;
};

// At start-up, on unload and when the table starts afresh. Leaves the
// automatic-play count and limit, the leave allowance, the current chair, the
// play to beat and the local backup alone.
void ResetAll(TableState& state);
// At a round start, on pressing start, and before a table-state report.
// Names, icons, offline flags, the leave allowance and the scores survive.
void ResetRound(TableState& state, bool clearReady);
// Applies the room's table-state report, already read off the wire: the ready
// marks of an idle table, or the whole of a running round.
void ApplyTableSnapshot(TableState& state, TableSnapshot report, bool isOnlooker);

// The local hand during a play. Painting what changed is the caller's job.
// bteSelectPai = the selected cards of bteMyPai, in hand order.
void collectSelection(TableState& state);
// Before the server confirms: back up the hand, put the selection in front of
// myChair (sorted by rank) and take it out of the hand.
void applyLocalPlay(TableState& state, std::uint8_t myChair);
// The server reported the local chair's play: its card list decides the hand,
// also for a play sent automatically without being applied locally.
void confirmPlay(TableState& state, std::span<const std::uint8_t> playedCards);
// The server refused the play: the backed-up hand comes back.
void restoreAfterRejection(TableState& state, std::uint8_t myChair);

}  // namespace krvo
