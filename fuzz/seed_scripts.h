#pragma once
// Writes captured traffic in the input formats of the script-driven fuzz
// targets (packet_script.h), so that a seed replays what a real table sent and
// the fuzzer starts its mutations deep inside a round.

#include <algorithm>
#include <cstdint>
#include <span>

#include "packet_script.h"

namespace krvo::fuzz {

// PacketScript keeps a first byte from 0xC0 up and maps any other onto the
// ids the target knows; a seed therefore writes an id as its position there.
inline constexpr std::uint8_t kKeptIdsFrom = 0xC0;
// One length byte per packet.
inline constexpr std::size_t kMaxScriptPacket = 255;

// Appends a packet as PacketScript::packet() reads it back: a length byte and
// the bytes, cut to 255. False (and nothing written) for an empty packet or an
// id the target does not know.
inline bool AppendScriptPacket(Bytes& script, std::span<const std::uint8_t> packet,
                               std::span<const std::uint8_t> knownIds) {
    if (packet.empty()) return false;
    std::uint8_t first = packet[0];
    if (first < kKeptIdsFrom) {
        const auto known = std::find(knownIds.begin(), knownIds.end(), first);
        if (known == knownIds.end()) return false;
        first = static_cast<std::uint8_t>(known - knownIds.begin());
    }
    const std::size_t length = std::min(packet.size(), kMaxScriptPacket);
    script.push_back(static_cast<std::uint8_t>(length));
    script.push_back(first);
    script.insert(script.end(), packet.begin() + 1,
                  packet.begin() + static_cast<std::ptrdiff_t>(length));
    return true;
}

// The longest time step one script byte carries: 255 tenths of a second.
inline constexpr std::int64_t kMaxStepMs = 255 * 100;

// Time passing as steps of up to 25.5 s: `step` is the step byte that means
// "advance", followed by tenths of a second. Rounds down to 100 ms.
inline void AppendAdvance(Bytes& script, std::uint8_t step, std::int64_t ms) {
    for (; ms >= 100; ms -= kMaxStepMs) {
        const std::int64_t part = std::min(ms, kMaxStepMs);
        script.push_back(step);
        script.push_back(static_cast<std::uint8_t>(part / 100));
    }
}

}  // namespace krvo::fuzz
