#pragma once
// Message ids shared by the room connection and its handlers.

#include <cstdint>

#include "core/packet.h"

namespace krvo {

namespace RoomMsg {
inline constexpr std::uint8_t kFirstRoomId = 95;
inline constexpr std::uint8_t kLogin = 130;
inline constexpr std::uint8_t kLoginSub = 0;
inline constexpr std::uint8_t kPreferences = 113;  // travels to the game handler
inline constexpr std::uint8_t kProps = 133;        // likewise
}  // namespace RoomMsg

inline constexpr const char* kGameCode = "KRVO";

// Ids from 95 up belong to the room, except the two the game handles itself.
constexpr bool IsRoomMessage(std::uint8_t mainId) {
    return mainId >= RoomMsg::kFirstRoomId && mainId != RoomMsg::kPreferences &&
           mainId != RoomMsg::kProps;
}

// 130/0 with "500`KRVO`<allow watching cards>".
Packet BuildLoginPacket(std::uint8_t bteAllowWatchCards);

}  // namespace krvo
