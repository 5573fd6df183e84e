#pragma once
// What the stress schedules send the client: the traffic of two rounds played
// on the real room and engine (as "me" in chair 2, and as the visitors who get
// the table reports), the packets that open each wait and box, and damaged
// copies of all of them.

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/packet.h"

namespace krvo::stress {

using Random = std::mt19937;

// The waits and boxes a schedule opens first, one kind per schedule in turn.
enum class Opening : std::uint8_t {
    TrickPause,
    BombAnimation,
    RefusalBox,
    LeaveQuestion,
    Notice,
    SettingsDialog,
    ReasonBox,
    Preferences,
};
inline constexpr int kOpeningCount = 8;

std::string_view OpeningName(Opening opening);

class PacketPool {
public:
    PacketPool();

    // The captured traffic to "me" up to its first deal: seats, round start, hand.
    const std::vector<Packet>& setup() const { return setup_; }
    // Of the setup only the own name, the user list, the round start and the hand.
    const std::vector<Packet>& reseat() const { return reseat_; }
    // The captured traffic to "me" after the setup, in order.
    const std::vector<Packet>& round() const { return round_; }
    // A packet that opens the wait or box (none for the two the user opens).
    Packet opening(Opening opening, Random& random) const;
    // A valid packet of any kind the client handles.
    Packet valid(Random& random) const;
    // A valid packet damaged: bytes changed, cut, lengthened, or noise.
    Packet mutated(Random& random) const;

private:
    std::vector<Packet> setup_;
    std::vector<Packet> reseat_;
    std::vector<Packet> round_;
    std::vector<Packet> valid_;
};

}  // namespace krvo::stress
