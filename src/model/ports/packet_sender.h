#pragma once

#include <cstdint>
#include <span>

namespace krvo {

// Where every packet the table sends goes: the socket in production, a
// recorder in tests. One call is one packet at the server.
class PacketSender {
public:
    virtual ~PacketSender() = default;
    virtual void sendPacket(std::span<const std::uint8_t> packet) = 0;
};

}  // namespace krvo
