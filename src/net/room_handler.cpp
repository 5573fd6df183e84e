#include "net/room_handler.h"

namespace krvo {

void RoomHandler::OnRoomMessage(std::span<const std::uint8_t> packet) {
    (void)packet;
}

}  // namespace krvo
