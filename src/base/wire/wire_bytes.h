#pragma once
// The few ways a packet is put together: header bytes and a GBK text, a count
// byte and the cards, a big-endian number.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

#include "core/packet.h"

namespace krvo {

// The header bytes, then the GBK bytes of text; only the header for an empty text.
Packet HeaderAndText(std::initializer_list<std::uint8_t> header, std::string_view text);
// A count byte and the cards; a count byte holds at most 255, and no more are sent.
void AppendCountedCards(Packet& packet, std::span<const std::uint8_t> cards);
void AppendLongBE(Packet& packet, std::int32_t value);

}  // namespace krvo
