// The server's room with the real game behind it, driven without sockets:
// logins, arbitrary packets from a handful of connections, connections
// closing, and time passing. Every packet it sends must fit a frame and go to
// a connection that is still open.

#include <chrono>
#include <cstdint>
#include <set>
#include <string>

#include "core/clock.h"
#include "core/framing.h"
#include "core/packet.h"
#include "fuzz_check.h"
#include "packet_script.h"
#include "target_ids.h"
#include "server/props_shop.h"
#include "server/room.h"
#include "server/table_game.h"

namespace {

using krvo::fuzz::Require;
using krvo::server::ClientId;

constexpr auto& kRoomIds = krvo::fuzz::kServerRoomIds;

class CheckingOutput final : public krvo::server::RoomOutput {
public:
    void send(ClientId client, const krvo::Packet& packet) override {
        Require(!packet.empty() && packet.size() <= krvo::kMaxPacketLength,
                "a packet fits a frame");
        Require(!closed.contains(client), "nothing sent to a closed connection");
    }
    void disconnect(ClientId client) override { closed.insert(client); }

    std::set<ClientId> closed;
};

std::chrono::sys_seconds FixedNow() {
    using namespace std::chrono;
    return sys_days{year{2024} / 12 / 31} + hours{18};
}

krvo::Packet Login(std::uint8_t watch) {
    krvo::Packet packet;
    const std::uint8_t header[] = {130, 0};
    krvo::BuildPacket("500`KRVO`" + std::to_string(watch % 2), packet, 2, header);
    return packet;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    krvo::fuzz::PacketScript script({data, size}, kRoomIds);
    const std::uint8_t flags = script.byte();
    krvo::server::RoomSettings settings;
    settings.humans = flags % 5;
    settings.settingsRound = (flags & 8) != 0;
    settings.seed = script.byte();
    if (flags & 16) settings.names = {"甲", "乙"};

    krvo::ManualClock clock;
    krvo::server::PropsShop shop{settings.seed, &FixedNow};
    krvo::server::EngineTableGame game{krvo::server::EngineSettings{.seed = settings.seed}};
    CheckingOutput output;
    krvo::server::Room room(std::move(settings), game, shop, clock, output);

    std::set<ClientId> open;
    while (!script.done()) {
        const std::uint8_t step = script.byte();
        const ClientId client = 1 + (step >> 3) % 8;
        switch (step % 8) {
            case 0:
                if (open.contains(client) || output.closed.contains(client)) break;
                open.insert(client);
                room.packetArrived(client, Login(step >> 6));
                break;
            case 1:
            case 2:
            case 3:
                if (!open.contains(client) || output.closed.contains(client)) break;
                room.packetArrived(client, script.packet());
                break;
            case 4:
                if (!open.contains(client) || output.closed.contains(client)) break;
                room.clientClosed(client);
                output.closed.insert(client);
                break;
            default:
                clock.advance(100 * script.byte());
                break;
        }
    }
    return 0;
}
