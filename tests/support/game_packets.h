#pragma once
// Game messages as the room server sends them, built from their fields.

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace krvo::testing {

using Bytes = std::vector<std::uint8_t>;

// Cards by rank (0 = 3 ... 11 = A) and suit.
constexpr std::uint8_t card(std::uint8_t rank, std::uint8_t suit) {
    return static_cast<std::uint8_t>(13 * suit + rank);
}

struct RoundSettings {
    std::uint8_t autoPlayLimit = 5;
    std::uint8_t decks = 1;
    std::uint8_t declareTime = 15;
    std::uint8_t playTime = 30;
    std::uint8_t curChair = 2;
    std::uint8_t state = 1;
    std::uint8_t firstChair = 2;
    std::uint8_t announceFirst = 1;
    std::uint8_t maxLeave = 2;
};

inline Bytes roundStartPacket(const RoundSettings& s) {
    return {17,
            0,
            0,
            s.autoPlayLimit,
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            s.decks,
            0,
            s.declareTime,
            s.playTime,
            s.curChair,
            s.state,
            s.firstChair,
            s.announceFirst,
            s.maxLeave};
}

inline Bytes dealPacket(const Bytes& cards) {
    Bytes packet = {19, 0};
    packet.insert(packet.end(), cards.begin(), cards.end());
    return packet;
}

inline Bytes declarePacket(std::uint8_t kind, std::uint8_t chair, std::uint8_t value,
                           std::uint8_t next, std::uint8_t state, std::uint8_t mark,
                           std::initializer_list<std::uint8_t> revealed = {255, 0, 255, 0}) {
    Bytes packet = {20, kind, chair, value, next, state, mark};
    packet.insert(packet.end(), revealed.begin(), revealed.end());
    return packet;
}

// The local hand sent again.
inline Bytes myPaiPacket(const Bytes& cards) {
    Bytes packet = {2, 0, static_cast<std::uint8_t>(cards.size())};
    packet.insert(packet.end(), cards.begin(), cards.end());
    return packet;
}

struct Play {
    std::uint8_t chair;
    Bytes cards;
    std::uint8_t next;
    std::uint8_t state;
    std::uint8_t trickFlag = 0;
    std::uint8_t place = 0;
};

inline Bytes outPaiPacket(const Play& play) {
    Bytes packet = {21,
                    0,
                    play.next,
                    play.state,
                    play.trickFlag,
                    play.place,
                    play.chair,
                    static_cast<std::uint8_t>(play.cards.size())};
    packet.insert(packet.end(), play.cards.begin(), play.cards.end());
    return packet;
}

// What the client itself sends to play these cards.
inline Bytes myPlayPacket(std::uint8_t chair, const Bytes& cards) {
    return outPaiPacket({chair, cards, 0, 0});
}

}  // namespace krvo::testing
