#pragma once
// Rounds played on the real room and game engine, kept as the traffic that
// went over the wire in both directions. Three people sit in chairs 0 to 2
// ("north", "west", "me") and a computer in chair 3. The people act two
// seconds into each turn, as the computers would: they show their red aces
// and decline the other declarations, lead their lowest group and follow with
// the cheapest play that beats the table. One onlooker watches from the
// start. In the first round, once cards are being played, "north" says
// something to everybody, a second onlooker arrives (and gets the table
// report), and "west" drops out and comes back (and gets the player's report).
//
// The benchmarks replay it to the client and the fuzz seeds are cut from it,
// so both start from what a real table sends. No sockets and no Qt: the room
// runs on a manual clock, and the same setup always gives the same bytes.

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/cards.h"
#include "core/clock.h"
#include "core/packet.h"
#include "core/patterns.h"
#include "core/round_codes.h"
#include "server/computer_player.h"
#include "server/game_engine.h"
#include "server/props_shop.h"
#include "server/room.h"
#include "server/rules_round.h"
#include "server/table_game.h"
#include "wire/room_protocol.h"

namespace krvo::testing {

using server::ClientId;

struct WireEvent {
    enum class Kind : std::uint8_t {
        FromClient,  // a packet the client sent
        ToClient,    // a packet the server sent
        Closed,      // the connection ended (either side)
        Advance,     // ms milliseconds passed
    };
    Kind kind = Kind::Advance;
    ClientId client = 0;
    Packet packet;
    std::int64_t ms = 0;
};

struct CapturedRounds {
    static constexpr ClientId kNorth = 1;
    static constexpr ClientId kWest = 2;
    static constexpr ClientId kMe = 3;
    static constexpr ClientId kOnlooker = 4;
    static constexpr ClientId kLateOnlooker = 5;
    static constexpr ClientId kWestAgain = 6;
    static constexpr std::uint8_t kMyChair = 2;

    std::vector<WireEvent> events;
    int roundsPlayed = 0;
    // The engine's table when the capture ended.
    server::TableView finalView;

    // Every packet the server sent to one connection, in order.
    std::vector<Packet> receivedBy(ClientId client) const {
        std::vector<Packet> packets;
        for (const WireEvent& event : events) {
            if (event.kind == WireEvent::Kind::ToClient && event.client == client) {
                packets.push_back(event.packet);
            }
        }
        return packets;
    }
};

struct CaptureSetup {
    std::uint32_t seed = 7;
    int rounds = 2;
    std::uint8_t decks = 1;
    // Time moves in these steps.
    std::int64_t stepMs = 500;
};

namespace capture_detail {

class RecordingOutput final : public server::RoomOutput {
public:
    explicit RecordingOutput(std::vector<WireEvent>& events) : events_(events) {}
    void send(ClientId client, const Packet& packet) override {
        events_.push_back({WireEvent::Kind::ToClient, client, packet, 0});
    }
    void disconnect(ClientId client) override {
        events_.push_back({WireEvent::Kind::Closed, client, {}, 0});
    }

private:
    std::vector<WireEvent>& events_;
};

inline Packet ChatLine(const std::string& from, const std::string& text) {
    const std::string fields[] = {from,   "所有人", from, "所有人", text,
                                  "宋体", "9",      "0",  "0",      "20:15:00"};
    Packet packet;
    const std::uint8_t header[] = {1};
    BuildPacket(JoinFields(fields), packet, 1, header);
    return packet;
}

// What a person at the table does, from what the table shows: the play to
// beat comes from the plays everybody sees, the rest from the engine's view
// of the person's own hand and turn.
class Person {
public:
    static constexpr std::int64_t kThinkMs = 2000;

    // Follows the plays on the table (packets as the person's client gets them).
    void see(const Packet& packet) {
        if (packet.empty()) return;
        if (packet[0] == kRoundStart) top_.reset();
        if (packet[0] != kPlay || packet.size() <= kPlayHeader ||
            packet.size() != kPlayHeader + packet[7]) {
            return;
        }
        ++plays_;
        const CardList cards(packet.begin() + kPlayHeader, packet.end());
        if (cards.front() != kPassMarker) {
            const PaiTypeResult type = GetPaiType(cards);
            top_ = OutPaiInfo{packet[6], type.btePaiType, type.bteMaxPai,
                              static_cast<std::uint8_t>(cards.size())};
        }
        // The play won the trick: the next one leads.
        if (packet[3] == kRoundLead) top_.reset();
    }

    // The person's packet once the turn has lasted long enough; each turn
    // gets one answer, so a refused one is left to the engine's time-out.
    std::optional<Packet> act(const server::TableView& view, std::int64_t now) {
        const std::uint8_t chair = view.bteCurChair;
        const std::array<std::int64_t, 3> turn = {chair, view.bteRoundState, plays_};
        if (turn != turn_) {
            turn_ = turn;
            turnStarted_ = now;
            answered_ = false;
        }
        if (!view.running || answered_ || now - turnStarted_ < kThinkMs) return std::nullopt;
        answered_ = true;
        const std::uint8_t state = view.bteRoundState;
        if (server::IsDeclarationState(state)) {
            const std::uint8_t kind = server::AnswerKindOf(state);
            const bool accept = kind == kAnswerLiang && view.redAces[chair] != 0;
            return Packet{20, kind, chair, accept ? std::uint8_t{1} : std::uint8_t{0}, 0, 0, 0, 0,
                          0,  0,    0};
        }
        if (state != kRoundLead && state != kRoundFollow) return std::nullopt;
        const CardList& hand = view.hands[chair];
        CardList cards = state == kRoundLead || !top_ ? server::ComputerLead(hand)
                                                      : server::ComputerFollow(hand, *top_);
        if (cards.empty()) cards = {kPassMarker};
        Packet play = {kPlay, 0, 0, 0, 0, 0, chair, static_cast<std::uint8_t>(cards.size())};
        play.insert(play.end(), cards.begin(), cards.end());
        return play;
    }

    int plays() const { return plays_; }

private:
    static constexpr std::uint8_t kRoundStart = 17;
    static constexpr std::uint8_t kPlay = 21;
    static constexpr std::size_t kPlayHeader = 8;

    std::optional<OutPaiInfo> top_;
    int plays_ = 0;
    std::array<std::int64_t, 3> turn_{-1, -1, -1};
    std::int64_t turnStarted_ = 0;
    bool answered_ = false;
};

}  // namespace capture_detail

inline CapturedRounds CaptureRounds(const CaptureSetup& setup = {}) {
    using Kind = WireEvent::Kind;
    CapturedRounds captured;
    std::vector<WireEvent>& events = captured.events;

    ManualClock clock;
    server::EngineSettings engineSettings;
    engineSettings.seed = setup.seed;
    engineSettings.decks = setup.decks;
    // A refused answer leaves a person to the engine's time-out; nobody is
    // sent away for a few of those.
    engineSettings.autoPlayLimit = 255;
    server::EngineTableGame game(engineSettings);
    int ended = 0;
    game.setEventObserver([&](const server::EngineEvent& event) {
        if (event.kind == server::EngineEventKind::RoundEnded) ++ended;
    });
    server::PropsShop shop(setup.seed,
                           [] { return std::chrono::sys_seconds(std::chrono::hours(490000)); });
    capture_detail::RecordingOutput output(events);
    server::RoomSettings roomSettings;
    roomSettings.humans = 3;
    roomSettings.names = {"north", "west", "me"};
    roomSettings.seed = setup.seed;
    server::Room room(roomSettings, game, shop, clock, output);

    const auto arrive = [&](ClientId client, const Packet& packet) {
        events.push_back({Kind::FromClient, client, packet, 0});
        room.packetArrived(client, packet);
    };
    const auto close = [&](ClientId client) {
        events.push_back({Kind::Closed, client, {}, 0});
        room.clientClosed(client);
    };
    const Packet login = BuildLoginPacket(1);
    for (const ClientId client : {CapturedRounds::kNorth, CapturedRounds::kWest,
                                  CapturedRounds::kMe, CapturedRounds::kOnlooker}) {
        arrive(client, login);
    }

    ClientId westClient = CapturedRounds::kWest;
    capture_detail::Person people;
    // The visitors come once the first round's trick play is under way.
    constexpr int kPlaysBeforeVisitors = 20;
    std::size_t eventsSeen = 0;
    bool visitorsCame = false;
    // A round takes a few hundred steps; far more means the table is stuck.
    for (int step = 0; ended < setup.rounds; ++step) {
        if (step > 100000) throw std::runtime_error("the captured table never finished its rounds");
        for (; eventsSeen < events.size(); ++eventsSeen) {
            const WireEvent& event = events[eventsSeen];
            if (event.kind == Kind::ToClient && event.client == CapturedRounds::kMe) {
                people.see(event.packet);
            }
        }
        const ClientId seated[] = {CapturedRounds::kNorth, westClient, CapturedRounds::kMe};
        const server::TableView view = game.engine().view();
        if (!game.roundRunning()) {
            for (std::uint8_t chair = 0; chair < 3; ++chair) {
                if (!game.isReady(chair)) arrive(seated[chair], Packet{18, chair});
            }
        } else if (people.plays() >= kPlaysBeforeVisitors && !visitorsCame) {
            visitorsCame = true;
            arrive(CapturedRounds::kNorth, capture_detail::ChatLine("north", "大家好，一起加油！"));
            arrive(CapturedRounds::kLateOnlooker, login);
            close(CapturedRounds::kWest);
            westClient = CapturedRounds::kWestAgain;
            arrive(westClient, login);
        } else if (view.bteCurChair < 3) {
            if (const std::optional<Packet> answer = people.act(view, clock.nowMs())) {
                arrive(seated[view.bteCurChair], *answer);
            }
        }
        events.push_back({Kind::Advance, 0, {}, setup.stepMs});
        clock.advance(setup.stepMs);
    }
    captured.roundsPlayed = ended;
    captured.finalView = game.engine().view();
    return captured;
}

}  // namespace krvo::testing
