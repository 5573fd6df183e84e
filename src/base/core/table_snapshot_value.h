#pragma once
// What the table-state report says, once read: for an idle table who is
// ready, for a running round everything the table program shows of it. The
// room handler reads it off the wire and the table state applies it.

#include <array>
#include <cstdint>

#include "core/cards.h"
#include "core/patterns.h"

namespace krvo {

struct SeatSnapshot {
    std::uint8_t bteLiang = 0;
    std::uint8_t bteJiu = 0;
    std::uint8_t bteJue = 0;
    std::uint8_t bteZhi = 0;
    std::uint8_t bteMingCi = 0;
    std::uint8_t btePaiCount = 0;
    CardList bteOutPai;
};

struct TableSnapshot {
    bool running = false;
    // An idle table: one per chair.
    std::array<bool, 4> ready{};
    // May an onlooker see the hand. Kept as sent.
    std::uint8_t blnCanSeeMyPai = 0;
    // A running round.
    std::uint8_t bteMaxLeaveRequests = 0;
    std::uint8_t bteLeaveRequestsUsed = 0;
    std::uint8_t bteDeckCount = 1;
    std::uint8_t blnShowOtherPai = 0;
    std::uint8_t bteDeclareTime = 15;
    std::uint8_t btePlayTime = 30;
    std::uint8_t bteCurChair = 0;
    std::uint8_t bteRoundState = 0;
    OutPaiInfo udtMaxOutPai;
    std::uint8_t bteRoundLiang = 0;
    std::uint8_t bteRoundJiu = 0;
    std::uint8_t bteRoundJue = 0;
    std::uint8_t bteRoundZhi = 0;
    std::array<SeatSnapshot, 4> seats;
    CardList bteMyPai;  // the viewed chair's hand
};

}  // namespace krvo
