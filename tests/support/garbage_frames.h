#pragma once
// Garbage a broken or hostile room server could send on the game's ids, none
// of which asks the player anything: refusals, prop notices, trick-winning
// plays, short round ends (a notice), table resets and random bodies. Shared
// by the catch-up test and benchmark.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <random>

#include "core/packet.h"

namespace krvo::testing {

inline Packet GarbageGameFrame(std::mt19937& random) {
    const Packet kinds[] = {{22, 'n', 'o'},
                            {133, 2, 'p', 'r', 'o', 'p'},
                            {21, 0, 2, 9, 1, 0, 0, 1, 5},
                            {23, 0},
                            {130, 1}};
    const std::uint8_t ids[] = {18, 19, 20, 21, 22, 23, 113, 133};
    const auto pick = [&random](std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
    };
    const std::size_t kind = pick(std::size(kinds) + 1);
    if (kind < std::size(kinds)) return kinds[kind];
    Packet packet(1 + pick(24));
    packet[0] = ids[pick(std::size(ids))];
    for (std::size_t n = 1; n < packet.size(); ++n) {
        packet[n] = static_cast<std::uint8_t>(pick(256));
    }
    return packet;
}

}  // namespace krvo::testing
