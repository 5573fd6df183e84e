#include "stress/stress_packets.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <iterator>

#include "core/cards.h"
#include "core/round_codes.h"
#include "support/captured_rounds.h"

namespace krvo::stress {
namespace {

using testing::CapturedRounds;

constexpr std::uint8_t kMyChair = CapturedRounds::kMyChair;
constexpr std::array<std::uint8_t, 3> kOtherChairs = {0, 1, 3};

Packet withText(std::initializer_list<std::uint8_t> header, std::string_view body) {
    Packet packet(header);
    const std::vector<std::uint8_t> bytes(header);
    BuildPacket(body, packet, static_cast<std::uint8_t>(bytes.size()), bytes);
    return packet;
}

template <typename T>
const T& pick(const std::vector<T>& from, Random& random) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
}

std::uint8_t otherChair(Random& random) {
    return kOtherChairs[std::uniform_int_distribution<std::size_t>(0, 2)(random)];
}

// A play of another chair: (21, 0, next, state, trick flag, place, chair, count, cards).
Packet play(std::uint8_t chair, std::uint8_t state, std::uint8_t trickFlag, const CardList& cards) {
    Packet packet = {21, 0,     static_cast<std::uint8_t>((chair + 1) % 4), state, trickFlag,
                     0,  chair, static_cast<std::uint8_t>(cards.size())};
    packet.insert(packet.end(), cards.begin(), cards.end());
    return packet;
}

// Four of a kind (a bomb) or the two red aces: each plays an animation.
CardList bombCards(Random& random) {
    if (random() % 3 == 0) return {kRedAceSuit0, kRedAceSuit3};
    const auto rank = static_cast<std::uint8_t>(random() % 11);
    return {rank, static_cast<std::uint8_t>(13 + rank), static_cast<std::uint8_t>(26 + rank),
            static_cast<std::uint8_t>(39 + rank)};
}

// Settings announcements (111): owner, agree now, wait for the owner, the
// start button; the six settings follow the first seven fields.
constexpr std::array<std::string_view, 4> kAnnouncements = {"me`2`0`1`0`1`1`10`100`5`20`50`1",
                                                            "north`0`0`0`0`1`1`10`100`5`20`50`1",
                                                            "north`0`0`0`0`1`0", "me`2`0`0`0`0"};

std::vector<Packet> synthesized() {
    Random random(1);
    std::vector<Packet> packets;
    for (const std::uint8_t chair : kOtherChairs) {
        packets.push_back(play(chair, kRoundLead, 1, {static_cast<std::uint8_t>(chair + 20)}));
        packets.push_back(play(chair, kRoundFollow, 0, bombCards(random)));
        packets.push_back(play(chair, kRoundLead, 0, {kPassMarker}));
        packets.push_back(withText({24, 0, chair}, "null"));
        packets.push_back(withText({24, 0, chair}, "家里有事"));
        packets.push_back({24, 1, chair, kMyChair});
        packets.push_back({24, 3, chair, 0});
        packets.push_back(withText({5, 0, chair}, "掉线太久"));
    }
    packets.push_back({24, 3, kMyChair, 0});
    packets.push_back(withText({22, 0}, "出牌不符合规则"));
    packets.push_back(withText({133, 2}, "道具已送到"));
    packets.push_back({23, 0, 0, 0});
    for (const std::string_view body : kAnnouncements) packets.push_back(withText({111, 0}, body));
    packets.push_back(withText({112, 0}, "north`a`b`c`d`e`f"));
    packets.push_back(withText({112, 1}, "west"));
    packets.push_back(withText({112, 2}, "me"));
    packets.push_back({130, 1});
    packets.push_back({130, 5, 1});
    packets.push_back({130, 5, 0});
    packets.push_back({113, 0, 1});
    return packets;
}

}  // namespace

std::string_view OpeningName(Opening opening) {
    static constexpr std::array<std::string_view, kOpeningCount> kNames = {
        "trick pause", "bomb animation",  "refusal box", "leave question",
        "notice",      "settings dialog", "reason box",  "preferences dialog"};
    return kNames[static_cast<std::size_t>(opening)];
}

PacketPool::PacketPool() {
    const CapturedRounds captured = testing::CaptureRounds();
    const std::vector<Packet> mine = captured.receivedBy(CapturedRounds::kMe);
    const auto deal = std::find_if(mine.begin(), mine.end(),
                                   [](const Packet& p) { return !p.empty() && p[0] == 19; });
    const auto afterDeal = deal == mine.end() ? deal : deal + 1;
    setup_.assign(mine.begin(), afterDeal);
    std::copy_if(setup_.begin(), setup_.end(), std::back_inserter(reseat_), [](const Packet& p) {
        const bool names = p.size() > 1 && p[0] == 130 && (p[1] == 2 || p[1] == 3);
        return names || (!p.empty() && (p[0] == 17 || p[0] == 19));
    });
    round_.assign(afterDeal, mine.end());
    valid_ = mine;
    for (const auto visitor : {CapturedRounds::kLateOnlooker, CapturedRounds::kWestAgain}) {
        const std::vector<Packet> theirs = captured.receivedBy(visitor);
        valid_.insert(valid_.end(), theirs.begin(), theirs.end());
    }
    const std::vector<Packet> made = synthesized();
    valid_.insert(valid_.end(), made.begin(), made.end());
    std::erase_if(valid_, [](const Packet& p) { return p.empty(); });
}

Packet PacketPool::opening(Opening opening, Random& random) const {
    switch (opening) {
        case Opening::TrickPause:
            return play(otherChair(random), kRoundLead, 1,
                        {static_cast<std::uint8_t>(random() % 50)});
        case Opening::BombAnimation:
            return play(otherChair(random), kRoundFollow, 0, bombCards(random));
        case Opening::RefusalBox:
            return withText({22, 0}, "出牌不符合规则");
        case Opening::LeaveQuestion:
            return withText({24, 0, otherChair(random)}, random() % 2 ? "null" : "有事");
        case Opening::Notice: {
            const std::array<Packet, 4> notices = {
                withText({5, 0, otherChair(random)}, "掉线"), withText({133, 2}, "道具已送到"),
                Packet{24, 3, otherChair(random), 0}, Packet{23, 0, 0, 0}};
            return notices[random() % notices.size()];
        }
        case Opening::SettingsDialog:
            return withText({111, 0}, kAnnouncements[random() % 2]);
        case Opening::ReasonBox:
        case Opening::Preferences:
            break;
    }
    return {};
}

Packet PacketPool::valid(Random& random) const {
    return pick(valid_, random);
}

Packet PacketPool::mutated(Random& random) const {
    Packet packet = valid(random);
    const auto byte = [&random] { return static_cast<std::uint8_t>(random()); };
    const auto index = [&random, &packet] {
        return std::uniform_int_distribution<std::size_t>(0, packet.size() - 1)(random);
    };
    switch (random() % 5) {
        case 0:  // a few bytes changed
            for (unsigned n = 1 + random() % 3; n > 0; --n) packet[index()] = byte();
            break;
        case 1:  // cut short (the main id stays)
            packet.resize(1 + index());
            break;
        case 2:  // lengthened
            for (unsigned n = 1 + random() % 40; n > 0; --n) packet.push_back(byte());
            break;
        case 3:  // another sub id, or a count byte made large
            packet[std::min<std::size_t>(1, packet.size() - 1)] = byte();
            packet[index()] = 255;
            break;
        default:  // noise behind a real main id
            packet.resize(1 + random() % 24);
            for (std::size_t i = 1; i < packet.size(); ++i) packet[i] = byte();
            break;
    }
    return packet;
}

}  // namespace krvo::stress
