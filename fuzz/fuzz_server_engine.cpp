// The server's game engine driven by a script of (chair, packet) inputs, plays
// made of cards the chair holds, answers to the declarations, time passing,
// chairs going offline, leaving and coming back. Every packet the engine
// produces must be deliverable, and every table report it writes must be one
// the client applies.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "core/framing.h"
#include "fuzz_check.h"
#include "packet_script.h"
#include "server/game_engine.h"
#include "state/table_state.h"
#include "target_ids.h"
#include "wire/table_snapshot.h"

namespace {

using krvo::fuzz::Bytes;
using krvo::fuzz::PacketScript;
using krvo::fuzz::Require;
using krvo::server::GameEngine;

constexpr auto& kGameIds = krvo::fuzz::kServerEngineIds;

void CheckOutput(GameEngine& engine) {
    for (const krvo::server::Delivery& delivery : engine.takeDeliveries()) {
        Require(!delivery.packet.empty(), "no empty packet");
        Require(delivery.packet.size() <= krvo::kMaxPacketLength, "a packet fits a frame");
        Require(delivery.audience == krvo::server::Audience::Everyone || delivery.chair < 4,
                "addressed to a chair");
    }
    engine.takeEvents();
}

void CheckSnapshots(const GameEngine& engine, std::uint8_t chair) {
    for (const bool onlooker : {false, true}) {
        const krvo::Packet report = engine.snapshot(chair % 4, onlooker, (chair & 4) != 0);
        std::optional<krvo::TableSnapshot> read = krvo::ParseTableSnapshot(report);
        Require(read.has_value(), "the client reads the report");
        krvo::TableState state;
        krvo::ResetAll(state);
        krvo::ApplyTableSnapshot(state, std::move(*read), onlooker);
    }
}

Bytes PlayFromHand(const GameEngine& engine, PacketScript& script) {
    const std::uint8_t chair = script.byte() % 4;
    const krvo::CardList hand = engine.view().hands[chair];
    Bytes packet = {21, 0, 0, 0, 0, 0, chair, 0};
    const std::uint8_t count = script.byte() % 9;
    for (std::uint8_t i = 0; i < count && !hand.empty(); ++i) {
        packet.push_back(hand[script.byte() % hand.size()]);
    }
    if (count == 0) packet.push_back(krvo::kPassMarker);
    packet[7] = static_cast<std::uint8_t>(packet.size() - 8);
    return packet;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PacketScript script({data, size}, kGameIds);
    krvo::server::EngineSettings settings;
    settings.seed = script.byte();
    settings.decks = 1 + script.byte() % 2;
    const std::uint8_t computers = script.byte();
    GameEngine engine(std::move(settings));
    for (std::uint8_t chair = 0; chair < 4; ++chair) {
        engine.setSeat(chair, "chair" + std::to_string(chair), (computers >> chair) & 1);
        engine.setReady(chair);
    }
    std::int64_t now = 0;
    engine.advanceTo(now);
    while (!script.done()) {
        const std::uint8_t step = script.byte();
        const std::uint8_t chair = static_cast<std::uint8_t>(step >> 5);  // 4-7: no chair
        switch (step % 8) {
            case 0:
            case 1:
                engine.handlePlayerPacket(chair, script.packet());
                break;
            case 2:
            case 3: {
                const Bytes play = PlayFromHand(engine, script);
                engine.handlePlayerPacket(play[6], play);
                break;
            }
            case 4: {
                const std::uint8_t kind = script.byte() % 8;
                engine.handlePlayerPacket(
                    chair, Bytes{20, kind, chair, script.byte(), 0, 0, 0, 0, 0, 0, 0});
                break;
            }
            case 5:
                engine.advanceTo(now += 100 * script.byte());
                break;
            case 6:
                if (chair < 4) engine.setOffline(chair, (script.byte() & 1) != 0);
                if (chair < 4) engine.setReady(chair);
                break;
            default:
                if (chair >= 4) break;
                engine.clearSeat(chair);
                engine.setSeat(chair, "back" + std::to_string(chair), (step & 8) != 0);
                break;
        }
        CheckOutput(engine);
        CheckSnapshots(engine, step);
    }
    return 0;
}
