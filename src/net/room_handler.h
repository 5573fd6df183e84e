#pragma once
// Room messages: who sits and watches, offline marks, the settings round,
// chat text and round snapshots.

#include <cstdint>
#include <span>

namespace krvo {

class RoomHandler {
public:
    // Messages this table does not follow yet are ignored.
    void OnRoomMessage(std::span<const std::uint8_t> packet);
};

}  // namespace krvo
