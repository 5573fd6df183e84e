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
