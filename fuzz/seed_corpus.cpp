// Writes the seed corpora of the fuzz targets, one directory per target below
// the directory it is given (`make fuzz-seeds` writes fuzz/corpus/), from
// rounds played on the real room server and game engine. Seeds are small
// files named after what they hold; every one is read back the way its target
// reads it before it is written, so a seed never says less than it claims.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "core/cards.h"
#include "core/framing.h"
#include "core/patterns.h"
#include "core/round_codes.h"
#include "packet_script.h"
#include "seed_scripts.h"
#include "support/captured_rounds.h"
#include "target_ids.h"

namespace {

namespace fs = std::filesystem;
using krvo::Packet;
using krvo::fuzz::Bytes;
using krvo::testing::CapturedRounds;
using krvo::testing::WireEvent;

// The handler targets read inputs up to this size (FUZZ_FLAGS in the Makefile).
constexpr std::size_t kMaxSeed = 4096;
constexpr std::uint8_t kGameMsgRoundStart = 17;
constexpr std::uint8_t kGameMsgDeal = 19;
constexpr std::uint8_t kGameMsgOutPai = 21;
constexpr std::uint8_t kRoomMsgReport = 109;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "seed_corpus: %s\n", what.c_str());
    std::exit(1);
}

void require(bool holds, const std::string& what) {
    if (!holds) fail("a seed does not read back as written: " + what);
}

class SeedWriter {
public:
    explicit SeedWriter(fs::path root) : root_(std::move(root)) {}

    void write(const std::string& target, const std::string& name, const Bytes& seed) {
        if (seed.empty() || seed.size() > kMaxSeed) {
            fail(target + "/" + name + " has " + std::to_string(seed.size()) + " bytes");
        }
        const fs::path directory = root_ / target;
        fs::create_directories(directory);
        std::ofstream file(directory / name, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(seed.data()),
                   static_cast<std::streamsize>(seed.size()));
        if (!file) fail("cannot write " + (directory / name).string());
        ++written_;
    }
    int written() const { return written_; }

private:
    fs::path root_;
    int written_ = 0;
};

bool isRoomId(std::uint8_t id) {
    for (const std::uint8_t known : krvo::fuzz::kRoomHandlerIds) {
        if (known == id) return true;
    }
    return false;
}

// What PacketScript gives back for a packet the seed carries.
Packet asScripted(const Packet& packet) {
    return Packet(packet.begin(),
                  packet.begin() + static_cast<std::ptrdiff_t>(
                                       std::min(packet.size(), krvo::fuzz::kMaxScriptPacket)));
}

// The game handler's script: the flags, then per packet a step byte below
// 0xE0 and the packet. Cut into parts that fit the target's input size, each
// part starting afresh with the flags.
void writeGameScripts(SeedWriter& seeds, const std::string& name, std::uint8_t flags,
                      const std::vector<Packet>& packets) {
    std::vector<Packet> carried;
    Bytes script{flags};
    int part = 0;
    const auto flush = [&] {
        if (carried.empty()) return;
        krvo::fuzz::PacketScript reader({script.data(), script.size()},
                                        krvo::fuzz::kGameHandlerIds);
        require(reader.byte() == flags, name + " flags");
        for (const Packet& packet : carried) {
            require(reader.byte() < 0xE0, name + " step");
            require(reader.packet() == asScripted(packet), name + " packet");
        }
        require(reader.done(), name + " end");
        seeds.write("fuzz_game_handler", name + "-" + std::to_string(++part), script);
        carried.clear();
        script = {flags};
    };
    for (const Packet& packet : packets) {
        Bytes step{0};
        if (!krvo::fuzz::AppendScriptPacket(step, packet, krvo::fuzz::kGameHandlerIds)) continue;
        if (script.size() + step.size() > kMaxSeed) flush();
        script.insert(script.end(), step.begin(), step.end());
        carried.push_back(packet);
    }
    flush();
}

// The room handler's script: the flags, then the packets one after another.
void writeRoomScript(SeedWriter& seeds, const std::string& name,
                     const std::vector<Packet>& packets) {
    Bytes script{0};
    std::vector<Packet> carried;
    for (const Packet& packet : packets) {
        if (packet.empty() || !isRoomId(packet[0])) continue;
        Bytes step;
        krvo::fuzz::AppendScriptPacket(step, packet, krvo::fuzz::kRoomHandlerIds);
        if (script.size() + step.size() > kMaxSeed) break;
        script.insert(script.end(), step.begin(), step.end());
        carried.push_back(packet);
    }
    krvo::fuzz::PacketScript reader({script.data(), script.size()}, krvo::fuzz::kRoomHandlerIds);
    reader.byte();
    for (const Packet& packet : carried) require(reader.packet() == asScripted(packet), name);
    require(reader.done(), name + " end");
    seeds.write("fuzz_room_handler", name, script);
}

void writeReports(SeedWriter& seeds, const CapturedRounds& captured) {
    const struct {
        krvo::server::ClientId client;
        std::uint8_t onlooker;
        const char* name;
    } readers[] = {{CapturedRounds::kLateOnlooker, 1, "onlooker-arriving"},
                   {CapturedRounds::kWestAgain, 0, "player-returning"}};
    for (const auto& reader : readers) {
        for (const Packet& packet : captured.receivedBy(reader.client)) {
            if (packet.empty() || packet[0] != kRoomMsgReport) continue;
            Bytes seed{reader.onlooker};
            seed.insert(seed.end(), packet.begin(), packet.end());
            seeds.write("fuzz_table_state", reader.name, seed);
        }
    }
}

// The frame decoder's input: steering bytes, the stream, and last the count of
// steering bytes (FuzzedDataProvider takes numbers from the end).
void writeFrames(SeedWriter& seeds, const std::vector<Packet>& packets) {
    const Bytes steering = {3, 40, 7, 200, 31, 64, 5, 128, 250, 17};
    for (std::size_t first = 0, part = 1; first < packets.size() && part <= 3; ++part) {
        Bytes stream;
        std::size_t next = first;
        for (; next < packets.size(); ++next) {
            const Bytes frame = krvo::EncodeFrame(packets[next]);
            if (stream.size() + frame.size() + 4 + steering.size() + 1 > 2048) break;
            stream.insert(stream.end(), frame.begin(), frame.end());
            // A keep-alive now and then, as an idle connection sends them.
            if (next % 16 == 15) stream.insert(stream.end(), 4, 0);
        }
        if (next == first) break;
        first = next;
        Bytes seed = steering;
        seed.insert(seed.end(), stream.begin(), stream.end());
        seed.push_back(static_cast<std::uint8_t>(steering.size()));
        FuzzedDataProvider input(seed.data(), seed.size());
        require(input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 64)) == steering,
                "frames steering");
        require(input.ConsumeRemainingBytes<std::uint8_t>() == stream, "frames stream");
        seeds.write("fuzz_framing", "stream-" + std::to_string(part), seed);
    }
}

// Text bodies: the bytes after the ids, and last a byte whose low bit picks
// the field separator "`".
void writeTexts(SeedWriter& seeds, const std::vector<Packet>& packets) {
    const struct {
        std::uint8_t main;
        std::uint8_t sub;
        std::size_t bodyAt;
        const char* name;
    } kinds[] = {{130, 2, 2, "user-list"},
                 {130, 3, 2, "identity"},
                 {1, 0, 1, "chat-line"},
                 {133, 0, 2, "props-catalogue"},
                 {105, 0, 2, "chat-text"}};
    for (const auto& kind : kinds) {
        for (const Packet& packet : packets) {
            if (packet.size() <= kind.bodyAt || packet[0] != kind.main) continue;
            if (kind.bodyAt == 2 && packet[1] != kind.sub) continue;
            Bytes seed(packet.begin() + static_cast<std::ptrdiff_t>(kind.bodyAt), packet.end());
            const Bytes body = seed;
            seed.push_back(1);
            FuzzedDataProvider input(seed.data(), seed.size());
            require(input.ConsumeBool(), std::string(kind.name) + " separator");
            require(input.ConsumeRemainingBytes<std::uint8_t>() == body, kind.name);
            seeds.write("fuzz_packet_text", kind.name, seed);
            break;
        }
    }
}

// Follows of the local player: the hand held, the play made and the play it
// had to beat. Numbers come from the end: chair, type, deciding card, count,
// "raw codes", the hand's length; the hand and the play from the front.
void writeFollows(SeedWriter& seeds, const std::vector<Packet>& packets) {
    krvo::CardList hand;
    std::optional<krvo::CardList> top;
    int written = 0;
    for (const Packet& packet : packets) {
        if (packet.size() < 2) continue;
        if (packet[0] == kGameMsgRoundStart) top.reset();
        if (packet[0] == kGameMsgDeal) hand.assign(packet.begin() + 2, packet.end());
        if (packet[0] != kGameMsgOutPai || packet.size() <= 8 || packet.size() != 8u + packet[7]) {
            continue;
        }
        const krvo::CardList cards(packet.begin() + 8, packet.end());
        const bool pass = cards.front() == krvo::kPassMarker;
        if (packet[6] == CapturedRounds::kMyChair && !pass && top && written < 6 &&
            hand.size() <= 96) {
            const krvo::PaiTypeResult type = krvo::GetPaiType(*top);
            Bytes seed = hand;
            seed.insert(seed.end(), cards.begin(), cards.end());
            const Bytes tail = {static_cast<std::uint8_t>(hand.size()),
                                1,
                                static_cast<std::uint8_t>(top->size()),
                                type.bteMaxPai,
                                type.btePaiType,
                                CapturedRounds::kMyChair};
            seed.insert(seed.end(), tail.begin(), tail.end());
            FuzzedDataProvider input(seed.data(), seed.size());
            require(input.ConsumeIntegral<std::uint8_t>() == CapturedRounds::kMyChair, "chair");
            require(input.ConsumeIntegral<std::uint8_t>() == type.btePaiType, "type");
            require(input.ConsumeIntegral<std::uint8_t>() == type.bteMaxPai, "deciding card");
            require(input.ConsumeIntegral<std::uint8_t>() == top->size(), "count");
            require(input.ConsumeBool(), "raw codes");
            const auto length = input.ConsumeIntegralInRange<std::size_t>(0, 12 * 8);
            require(input.ConsumeBytes<std::uint8_t>(length) == hand, "hand");
            require(input.ConsumeRemainingBytes<std::uint8_t>() == cards, "play");
            seeds.write("fuzz_rules", "follow-" + std::to_string(++written), seed);
        }
        if (packet[6] == CapturedRounds::kMyChair && !pass) krvo::RemovePai(hand, cards);
        if (!pass) top = cards;
        // The next play leads a new trick.
        if (packet[3] == krvo::kRoundLead) top.reset();
    }
}

// The server room's script: flags (three people, no settings round), seed,
// then steps whose low three bits say what happens and whose next three bits
// name the connection: 0 login (bit 6: allows watching), 1 a packet, 4 the
// connection closes, 5 time passes.
void writeServerRoom(SeedWriter& seeds, const CapturedRounds& captured, std::uint8_t seed) {
    Bytes script{3, seed};
    std::int64_t pendingMs = 0;
    for (const WireEvent& event : captured.events) {
        if (event.kind == WireEvent::Kind::Advance) {
            pendingMs += event.ms;
            continue;
        }
        if (event.kind == WireEvent::Kind::ToClient) continue;
        krvo::fuzz::AppendAdvance(script, 5, pendingMs);
        pendingMs = 0;
        const auto connection = static_cast<std::uint8_t>((event.client - 1) % 8 << 3);
        if (event.kind == WireEvent::Kind::Closed) {
            script.push_back(connection | 4);
        } else if (event.packet.size() >= 2 && event.packet[0] == 130 && event.packet[1] == 0) {
            script.push_back(connection | 0x40);
        } else {
            script.push_back(connection | 1);
            if (!krvo::fuzz::AppendScriptPacket(script, event.packet, krvo::fuzz::kServerRoomIds)) {
                script.pop_back();
            }
        }
    }
    krvo::fuzz::AppendAdvance(script, 5, pendingMs);
    seeds.write("fuzz_server_room",
                "three-people-" + std::to_string(captured.roundsPlayed) + "-rounds-seed-" +
                    std::to_string(seed),
                script);
}

// The engine's script: seed, decks (0: one), which chairs are computers (a
// bit per chair), then steps: the people's packets (the chair in the top three
// bits, low bits 0) and time passing (5 and tenths of a second). The engine
// deals from its seed as the captured table did.
void writeServerEngine(SeedWriter& seeds, const CapturedRounds& captured, std::uint8_t seed,
                       std::uint8_t decks) {
    const auto chairOf = [](krvo::server::ClientId client) -> std::optional<std::uint8_t> {
        switch (client) {
            case CapturedRounds::kNorth:
                return 0;
            case CapturedRounds::kWest:
            case CapturedRounds::kWestAgain:
                return 1;
            case CapturedRounds::kMe:
                return 2;
            default:
                return std::nullopt;
        }
    };
    Bytes script{seed, static_cast<std::uint8_t>(decks - 1), 0x08};
    std::vector<Packet> carried;
    std::int64_t pendingMs = 0;
    for (const WireEvent& event : captured.events) {
        if (event.kind == WireEvent::Kind::Advance) pendingMs += event.ms;
        if (event.kind != WireEvent::Kind::FromClient) continue;
        const std::optional<std::uint8_t> chair = chairOf(event.client);
        if (!chair || event.packet.empty() || isRoomId(event.packet[0])) continue;
        Bytes step{static_cast<std::uint8_t>(*chair << 5)};
        if (!krvo::fuzz::AppendScriptPacket(step, event.packet, krvo::fuzz::kServerEngineIds)) {
            continue;
        }
        krvo::fuzz::AppendAdvance(script, 5, pendingMs);
        pendingMs = 0;
        script.insert(script.end(), step.begin(), step.end());
        carried.push_back(event.packet);
    }
    krvo::fuzz::AppendAdvance(script, 5, pendingMs);
    krvo::fuzz::PacketScript reader({script.data(), script.size()}, krvo::fuzz::kServerEngineIds);
    for (int i = 0; i < 3; ++i) reader.byte();
    std::size_t next = 0;
    while (!reader.done()) {
        const std::uint8_t step = reader.byte();
        if (step % 8 == 5) {
            reader.byte();
            continue;
        }
        require(step % 8 == 0 && next < carried.size(), "engine step");
        require(reader.packet() == asScripted(carried[next++]), "engine packet");
    }
    require(next == carried.size(), "engine packets");
    seeds.write("fuzz_server_engine",
                "people-" + std::to_string(captured.roundsPlayed) + "-rounds-" +
                    std::to_string(decks) + "-decks-seed-" + std::to_string(seed),
                script);
}

std::vector<Packet> gamePackets(const std::vector<Packet>& packets) {
    std::vector<Packet> game;
    for (const Packet& packet : packets) {
        if (!packet.empty() && !isRoomId(packet[0])) game.push_back(packet);
    }
    return game;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
        return 2;
    }
    const CapturedRounds captured = krvo::testing::CaptureRounds({.seed = 7, .rounds = 2});
    SeedWriter seeds(argv[1]);
    const std::vector<Packet> mine = captured.receivedBy(CapturedRounds::kMe);
    writeGameScripts(seeds, "player", 0, gamePackets(mine));
    writeGameScripts(seeds, "onlooker", 1,
                     gamePackets(captured.receivedBy(CapturedRounds::kOnlooker)));
    writeRoomScript(seeds, "player", mine);
    writeRoomScript(seeds, "onlooker-arriving", captured.receivedBy(CapturedRounds::kLateOnlooker));
    writeRoomScript(seeds, "player-returning", captured.receivedBy(CapturedRounds::kWestAgain));
    writeReports(seeds, captured);
    writeFrames(seeds, mine);
    writeTexts(seeds, mine);
    writeFollows(seeds, mine);
    writeServerRoom(seeds, captured, 7);
    writeServerEngine(seeds, captured, 7, 1);
    writeServerEngine(seeds, krvo::testing::CaptureRounds({.seed = 3, .rounds = 1, .decks = 2}), 3,
                      2);
    std::printf("%d seeds written below %s\n", seeds.written(), argv[1]);
    return 0;
}
