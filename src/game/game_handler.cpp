#include "game/game_handler.h"

namespace krvo {

void GameHandler::HandleGameMsg(std::span<const std::uint8_t> packet) {
    (void)packet;
}

}  // namespace krvo
