#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "core/gbk.h"
#include "core/packet.h"

namespace krvo {
namespace {

Packet bytes(std::initializer_list<int> values) {
    Packet p;
    for (int v : values) p.push_back(static_cast<std::uint8_t>(v));
    return p;
}

TEST(BuildPacket, LoginBodyAfterTwoHeaderBytes) {
    const std::uint8_t header[] = {130, 0};
    Packet packet;
    ASSERT_TRUE(BuildPacket("500`KRVO`0", packet, 2, header));
    EXPECT_EQ(packet, bytes({130, 0, '5', '0', '0', '`', 'K', 'R', 'V', 'O', '`', '0'}));
}

TEST(BuildPacket, RefusesEmptyBodyAndShortHeaderLeavingOutputAlone) {
    const std::uint8_t header[] = {1, 2, 3};
    Packet packet = bytes({9, 9});
    EXPECT_FALSE(BuildPacket("", packet, 2, header));
    EXPECT_FALSE(BuildPacket("x", packet, 4, header));
    EXPECT_EQ(packet, bytes({9, 9}));
    ASSERT_TRUE(BuildPacket("x", packet, 0, header));
    EXPECT_EQ(packet, bytes({'x'}));
    ASSERT_TRUE(BuildPacket("x", packet, 3, header));
    EXPECT_EQ(packet, bytes({1, 2, 3, 'x'}));
}

TEST(Gbk, ChineseRoundTripAndByteOrder) {
    // 啊 is GBK B0 A1: lead byte first.
    const std::uint8_t header[] = {105, 0, 7};
    Packet packet;
    ASSERT_TRUE(BuildPacket("啊a", packet, 3, header));
    EXPECT_EQ(packet, bytes({105, 0, 7, 0xB0, 0xA1, 'a'}));
    EXPECT_EQ(PacketToString(packet, 3), "啊a");
    EXPECT_EQ(PacketToString(packet, 5), "a");
}

TEST(Gbk, UnrepresentableAndMalformedBecomeQuestionMarks) {
    Packet out;
    AppendGbk("a😀b\xE4\xB8", out);  // emoji outside GBK, then a cut-off UTF-8 sequence
    EXPECT_EQ(out, bytes({'a', '?', 'b', '?'}));
    out.clear();
    AppendGbk("é€中", out);  // é is in GBK (A8 A6); € is not in GBK
    EXPECT_EQ(out, bytes({0xA8, 0xA6, '?', 0xD6, 0xD0}));
}

TEST(PacketToString, DanglingLeadByteEmptiesTheText) {
    EXPECT_EQ(PacketToString(bytes({0x41, 0xB0}), 0), "");
    EXPECT_EQ(PacketToString(bytes({0x41}), 0), "A");
    EXPECT_EQ(PacketToString(bytes({0x41}), 1), "");
    EXPECT_EQ(PacketToString(bytes({0x41}), 200), "");
    EXPECT_EQ(PacketToString({}, 0), "");
}

TEST(PacketToString, UndefinedPairsKeepTheRestAligned) {
    // 0x80 and 0xFF are never lead bytes in GBK; each still swallows one byte.
    EXPECT_EQ(PacketToString(bytes({0x80, 0x41, 0x42, 0xFF, 0xFF, 0xB0, 0xA1}), 0), "?B?啊");
    // NUL is an ordinary character of the body.
    EXPECT_EQ(PacketToString(bytes({'a', 0, 'b'}), 0), std::string("a\0b", 3));
}

TEST(ReadLongBE, SignedBigEndianAndShortPackets) {
    std::int32_t value = 7;
    EXPECT_TRUE(ReadLongBE(value, bytes({0xFF, 0xFF, 0xFF, 0xFE}), 0));
    EXPECT_EQ(value, -2);
    EXPECT_TRUE(ReadLongBE(value, bytes({9, 0x00, 0x00, 0x01, 0x00}), 1));
    EXPECT_EQ(value, 256);
    EXPECT_TRUE(ReadLongBE(value, bytes({0x80, 0, 0, 0}), 0));
    EXPECT_EQ(value, -2147483647 - 1);
    value = 7;
    EXPECT_FALSE(ReadLongBE(value, bytes({1, 2, 3, 4}), 1));
    EXPECT_FALSE(ReadLongBE(value, bytes({1, 2, 3}), 0));
    EXPECT_FALSE(ReadLongBE(value, bytes({1, 2, 3, 4}), static_cast<std::size_t>(-1)));
    EXPECT_EQ(value, 7);
}

TEST(Fields, SplitKeepsEmptyFieldsAndJoinsBack) {
    EXPECT_EQ(SplitFields("```"), (std::vector<std::string>{"", "", "", ""}));
    EXPECT_EQ(SplitFields("a``b"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitFields("a"), (std::vector<std::string>{"a"}));
    EXPECT_TRUE(SplitFields("").empty());
    const std::vector<std::string> fields{"x", "", "y", "z"};
    EXPECT_EQ(JoinFields(fields), "x``y`z");
    EXPECT_EQ(JoinFieldsFrom(fields, 2), "y`z");
    EXPECT_EQ(JoinFieldsFrom(fields, 9), "");
}

TEST(LeadingNumber, ParsesThePrefixAndCountsOtherTextAsZero) {
    EXPECT_EQ(LeadingNumber("12abc"), 12);
    EXPECT_EQ(LeadingNumber("  -7`"), -7);
    EXPECT_EQ(LeadingNumber("+3.5x"), 3.5);
    EXPECT_EQ(LeadingNumber("1e3"), 1000);
    EXPECT_EQ(LeadingNumber("2e"), 2);
    EXPECT_EQ(LeadingNumber(".5"), 0.5);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("-"), 0);
    EXPECT_EQ(LeadingNumber("inf"), 0);
    EXPECT_EQ(LeadingNumber("0x1F"), 0);
}

TEST(LeadingNumber, IntegerFormsRoundAndClamp) {
    EXPECT_EQ(LeadingInt32("2.5"), 2);  // ties to even
    EXPECT_EQ(LeadingInt32("3.5"), 4);
    EXPECT_EQ(LeadingInt32("99999999999"), 2147483647);
    EXPECT_EQ(LeadingInt32("-1e300"), -2147483647 - 1);
    EXPECT_EQ(LeadingInt32("1e999"), 2147483647);
    // Beyond the double range the magnitude decides, however it is written.
    const std::string zeros(400, '0');
    EXPECT_EQ(LeadingNumber("0." + zeros + "1"), 0);
    EXPECT_EQ(LeadingNumber("-0." + zeros + "7e2"), 0);
    EXPECT_EQ(LeadingNumber("1" + zeros + "e-500"), 1e-100);
    EXPECT_EQ(LeadingNumber("0." + zeros + "1e999"), std::numeric_limits<double>::max());
    EXPECT_EQ(LeadingInt32("0." + zeros + "1"), 0);
    EXPECT_EQ(LeadingByte("300"), 255);
    EXPECT_EQ(LeadingByte("-4"), 0);
    EXPECT_EQ(LeadingByte("17"), 17);
}

}  // namespace
}  // namespace krvo
