#include <gtest/gtest.h>

#include "wire/room_protocol.h"

namespace krvo {
namespace {

TEST(RoomProtocol, LoginPacketBytes) {
    const Packet expected{130, 0, '5', '0', '0', '`', 'K', 'R', 'V', 'O', '`', '0'};
    EXPECT_EQ(BuildLoginPacket(0), expected);
    Packet allow = expected;
    allow.back() = '1';
    EXPECT_EQ(BuildLoginPacket(1), allow);
}

// The password is a fourth field only when there is one; the reader takes the
// rest of the body, separators included.
TEST(RoomProtocol, LoginCarriesATablePasswordOnlyWhenGiven) {
    EXPECT_EQ(BuildLoginPacket(1, ""), BuildLoginPacket(1));
    const struct {
        std::string password;
        std::string body;
    } cases[] = {{"", "500`KRVO`1"}, {"门`开", "500`KRVO`1`门`开"}, {"x y", "500`KRVO`1`x y"}};
    for (const auto& c : cases) {
        const Packet packet = BuildLoginPacket(1, c.password);
        EXPECT_EQ(PacketToString(packet, 2), c.body);
        const auto parsed = ParseLogin(PacketToString(packet, 2));
        ASSERT_TRUE(parsed);
        EXPECT_TRUE(parsed->allowWatch);
        EXPECT_EQ(parsed->tablePassword, c.password);
    }
}

TEST(RoomProtocol, DispatchBoundaries) {
    EXPECT_FALSE(IsRoomMessage(0));
    EXPECT_FALSE(IsRoomMessage(94));
    EXPECT_TRUE(IsRoomMessage(95));
    EXPECT_TRUE(IsRoomMessage(112));
    EXPECT_FALSE(IsRoomMessage(113));
    EXPECT_TRUE(IsRoomMessage(114));
    EXPECT_TRUE(IsRoomMessage(130));
    EXPECT_FALSE(IsRoomMessage(133));
    EXPECT_TRUE(IsRoomMessage(255));
}

}  // namespace
}  // namespace krvo
