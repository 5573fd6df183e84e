#include "game/game_handler.h"

#include "room/players.h"

namespace krvo {

void GameHandler::HandleGameMsg(std::span<const std::uint8_t> packet) {
    if (packet.empty()) return;
    if (packet[0] == kChatMessageId) HandleChatMessage(packet, VexChat_);
}

}  // namespace krvo
