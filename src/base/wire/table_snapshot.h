#pragma once
// The table-state report (room message 109) that someone entering a table
// gets: for an idle table who is ready, for a running round everything the
// table program shows of it. Byte positions are absolute; the play to beat
// travels as chair, card, type, count. Each seat field takes four bytes,
// chair 0 first, in the order of SeatSnapshot; then each chair's count and
// played cards, and the viewed hand last. An idle table sends the ready marks
// in bytes 4-7 and the onlookers' permission in byte 8; a running round sends
// the permission in byte 4 and the rest from byte 5 on.

#include <cstdint>
#include <optional>
#include <span>

#include "core/packet.h"
#include "core/table_snapshot_value.h"

namespace krvo {

inline constexpr std::size_t kIdleSnapshotSize = 9;

// The idle form when snapshot.running is false; a count byte holds at most
// 255 cards and no more are sent.
Packet TableSnapshotPacket(const TableSnapshot& snapshot);
// Nothing when the report does not hold what it announces.
std::optional<TableSnapshot> ParseTableSnapshot(std::span<const std::uint8_t> packet);

}  // namespace krvo
