#pragma once
// A PacketSender that keeps every packet, in order, for tests to inspect.

#include <cstdint>
#include <span>
#include <vector>

#include "ports/packet_sender.h"

namespace krvo::testing {

class RecordingSender final : public PacketSender {
public:
    void sendPacket(std::span<const std::uint8_t> packet) override {
        packets.emplace_back(packet.begin(), packet.end());
    }

    std::vector<std::vector<std::uint8_t>> packets;
};

}  // namespace krvo::testing
