// Seeds written for the script-driven fuzz targets read back, through the
// targets' own PacketScript, as the packets they were written from.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "packet_script.h"
#include "seed_scripts.h"

namespace krvo::fuzz {
namespace {

constexpr std::uint8_t kIds[] = {130, 108, 21, 1};

Bytes Long(std::size_t size) {
    Bytes packet(size, 0x41);
    packet[0] = 21;
    return packet;
}

TEST(SeedScripts, APacketReadsBackAsWrittenOrIsLeftOut) {
    const struct {
        Bytes packet;
        bool carried;
        Bytes readBack;
    } cases[] = {
        {{130, 3, 0x6D, 0x65}, true, {130, 3, 0x6D, 0x65}},  // a known id, by its position
        {{1}, true, {1}},                                    // the id alone
        {{0xC7, 9}, true, {0xC7, 9}},                        // kept as it is
        {{0xFF}, true, {0xFF}},
        {Long(300), true, Long(255)},  // cut to what one length byte carries
        {Long(255), true, Long(255)},
        {{17, 0}, false, {}},  // an id the target does not know
        {{}, false, {}},
    };
    for (const auto& c : cases) {
        Bytes script;
        EXPECT_EQ(AppendScriptPacket(script, c.packet, kIds), c.carried);
        if (!c.carried) {
            EXPECT_TRUE(script.empty());
            continue;
        }
        PacketScript reader(script, kIds);
        EXPECT_EQ(reader.packet(), c.readBack);
        EXPECT_TRUE(reader.done());
    }
}

TEST(SeedScripts, PacketsFollowEachOtherInOrder) {
    const std::vector<Bytes> packets = {{130, 2, 7}, {21, 0, 1}, {0xD0}, {108, 6}};
    Bytes script;
    for (const Bytes& packet : packets) ASSERT_TRUE(AppendScriptPacket(script, packet, kIds));
    PacketScript reader(script, kIds);
    for (const Bytes& packet : packets) EXPECT_EQ(reader.packet(), packet);
    EXPECT_TRUE(reader.done());
}

// Time passes in steps of at most 25.5 s, each a step byte and tenths of a
// second; what the steps add up to is the time asked for, to 100 ms.
TEST(SeedScripts, TimePassesInStepsOfAtMostTwentyFiveAndAHalfSeconds) {
    const struct {
        std::int64_t ms;
        std::size_t steps;
        std::int64_t carried;
    } cases[] = {{0, 0, 0},         {99, 0, 0},        {100, 1, 100},    {1050, 1, 1000},
                 {25500, 1, 25500}, {25600, 2, 25600}, {60000, 3, 60000}};
    for (const auto& c : cases) {
        Bytes script;
        AppendAdvance(script, 5, c.ms);
        ASSERT_EQ(script.size(), 2 * c.steps) << c.ms;
        std::int64_t total = 0;
        for (std::size_t i = 0; i < script.size(); i += 2) {
            EXPECT_EQ(script[i], 5);
            EXPECT_GT(script[i + 1], 0);
            total += 100 * script[i + 1];
        }
        EXPECT_EQ(total, c.carried) << c.ms;
    }
}

}  // namespace
}  // namespace krvo::fuzz
