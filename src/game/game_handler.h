#pragma once
// Game messages: the round as the server runs it, chat lines among them.

#include <cstdint>
#include <span>

namespace krvo {

class ChatControl;

class GameHandler {
public:
    explicit GameHandler(ChatControl& VexChat) : VexChat_(VexChat) {}

    // Messages this table does not follow yet are ignored.
    void HandleGameMsg(std::span<const std::uint8_t> packet);

private:
    ChatControl& VexChat_;
};

}  // namespace krvo
