#include "wire/props_protocol.h"

#include <string>

#include "wire/wire_bytes.h"

namespace krvo {

Packet BuyPropPacket(std::int32_t lngID) {
    return HeaderAndText({GMSG_DAOJU, DaoJuSub::kBuy}, std::to_string(lngID));
}

Packet PropCataloguePacket(std::string_view body) {
    return HeaderAndText({GMSG_DAOJU, DaoJuSub::kCatalogue}, body);
}

Packet OwnedPropsPacket(std::string_view body) {
    return HeaderAndText({GMSG_DAOJU, DaoJuSub::kOwned}, body);
}

Packet PropsNoticePacket(std::string_view text) {
    return HeaderAndText({GMSG_DAOJU, DaoJuSub::kNotice}, text);
}

Packet PropUsedPacket(const PropUsed& used) {
    Packet packet = {GMSG_DAOJU, DaoJuSub::kUsed, used.fromUser, used.toUser};
    AppendLongBE(packet, used.propId);
    return packet;
}

std::optional<PropUsed> ParsePropUsed(std::span<const std::uint8_t> packet) {
    PropUsed used;
    if (!ReadLongBE(used.propId, packet, 4)) return std::nullopt;
    used.fromUser = packet[2];
    used.toUser = packet[3];
    return used;
}

}  // namespace krvo
