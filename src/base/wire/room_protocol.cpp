#include "wire/room_protocol.h"

#include <string>

namespace krvo {

Packet BuildLoginPacket(std::uint8_t bteAllowWatchCards) {
    const std::string body = std::string("500") + kFieldSeparator + kGameCode + kFieldSeparator +
                             std::to_string(bteAllowWatchCards);
    const std::uint8_t header[] = {RoomMsg::kLogin, RoomMsg::kLoginSub};
    Packet packet;
    BuildPacket(body, packet, 2, header);
    return packet;
}

}  // namespace krvo
