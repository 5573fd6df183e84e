#pragma once
// Props (game message 133): the buy request the table program sends, the
// catalogue, owned list, notices and prop demonstrations the server sends.
// The catalogue and owned-list bodies are read by the props data; only the
// fixed layout of a demonstration is parsed here.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/packet.h"
#include "wire/message_ids.h"

namespace krvo {

// 133/0 with the prop's ID in decimal.
Packet BuyPropPacket(std::int32_t lngID);
Packet PropCataloguePacket(std::string_view body);  // 133/0
Packet OwnedPropsPacket(std::string_view body);     // 133/1
Packet PropsNoticePacket(std::string_view text);    // 133/2

// 133/3: user number, user number, prop number (four bytes, big-endian).
struct PropUsed {
    std::uint8_t fromUser = 0;
    std::uint8_t toUser = 0;
    std::int32_t propId = 0;
};
Packet PropUsedPacket(const PropUsed& used);
// The whole prop number must be there.
std::optional<PropUsed> ParsePropUsed(std::span<const std::uint8_t> packet);

}  // namespace krvo
