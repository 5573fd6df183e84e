#pragma once
// The table-state report (room message 109) that someone entering a table
// gets: for an idle table who is ready, for a running round everything the
// table program shows of it. Byte positions are absolute; the play to beat
// travels as chair, card, type, count.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "core/cards.h"
#include "core/packet.h"
#include "core/patterns.h"

namespace krvo {

inline constexpr std::size_t kIdleSnapshotSize = 9;

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
    bool running = false;  // byte 2
    // An idle table: bytes 4-7, one per chair.
    std::array<bool, 4> ready{};
    // Byte 8 of an idle table, byte 4 of a running round: may an onlooker see
    // the hand. Kept as sent.
    std::uint8_t blnCanSeeMyPai = 0;
    // A running round, from byte 5 on.
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
    // Four bytes per field, chair 0 first, in the order of SeatSnapshot; then
    // each chair's count and played cards.
    std::array<SeatSnapshot, 4> seats;
    CardList bteMyPai;  // the viewed chair's hand, last
};

// The idle form when snapshot.running is false; a count byte holds at most
// 255 cards and no more are sent.
Packet TableSnapshotPacket(const TableSnapshot& snapshot);
// Nothing when the report does not hold what it announces.
std::optional<TableSnapshot> ParseTableSnapshot(std::span<const std::uint8_t> packet);

}  // namespace krvo
