#include "wire/wire_bytes.h"

#include <algorithm>

#include "core/gbk.h"

namespace krvo {

Packet HeaderAndText(std::initializer_list<std::uint8_t> header, std::string_view text) {
    Packet packet(header);
    AppendGbk(text, packet);
    return packet;
}

void AppendCountedCards(Packet& packet, std::span<const std::uint8_t> cards) {
    const auto count = static_cast<std::uint8_t>(std::min<std::size_t>(cards.size(), 255));
    packet.push_back(count);
    packet.insert(packet.end(), cards.begin(), cards.begin() + count);
}

void AppendLongBE(Packet& packet, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 24; shift >= 0; shift -= 8) {
        packet.push_back(static_cast<std::uint8_t>(bits >> shift));
    }
}

}  // namespace krvo
