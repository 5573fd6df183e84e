#pragma once
// Game messages: the round as the server runs it.

#include <cstdint>
#include <span>

namespace krvo {

class GameHandler {
public:
    // Messages this table does not follow yet are ignored.
    void HandleGameMsg(std::span<const std::uint8_t> packet);
};

}  // namespace krvo
