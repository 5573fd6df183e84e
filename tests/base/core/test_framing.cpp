#include "core/framing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace krvo {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes packetOf(std::size_t size, std::uint8_t seed) {
    Bytes packet(size);
    for (std::size_t i = 0; i < size; ++i) packet[i] = static_cast<std::uint8_t>(seed + i * 7);
    return packet;
}

void append(Bytes& stream, const Bytes& bytes) {
    stream.insert(stream.end(), bytes.begin(), bytes.end());
}

Bytes header(std::uint32_t length) {
    return {static_cast<std::uint8_t>(length >> 24), static_cast<std::uint8_t>(length >> 16),
            static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)};
}

std::vector<Bytes> drain(FrameDecoder& decoder) {
    std::vector<Bytes> packets;
    while (auto packet = decoder.next()) packets.emplace_back(packet->begin(), packet->end());
    return packets;
}

// Feeds the stream cut at the given positions, taking packets after every chunk.
std::vector<Bytes> decodeInPieces(const Bytes& stream, std::vector<std::size_t> cuts) {
    FrameDecoder decoder;
    std::vector<Bytes> packets;
    cuts.push_back(stream.size());
    std::size_t from = 0;
    for (std::size_t cut : cuts) {
        decoder.feed(std::span(stream).subspan(from, cut - from));
        for (auto& packet : drain(decoder)) packets.push_back(std::move(packet));
        from = cut;
    }
    return packets;
}

TEST(EncodeFrame, PrefixesBigEndianLength) {
    const Bytes frame = EncodeFrame(packetOf(0x0102, 1));
    ASSERT_EQ(frame.size(), 4u + 0x0102);
    EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 4), header(0x0102));
    EXPECT_EQ(Bytes(frame.begin() + 4, frame.end()), packetOf(0x0102, 1));

    EXPECT_EQ(EncodeFrame({}), header(0));
    const Bytes largest = EncodeFrame(packetOf(65536, 0));
    ASSERT_EQ(largest.size(), 4u + 65536);
    EXPECT_EQ(Bytes(largest.begin(), largest.begin() + 4), header(65536));
    EXPECT_TRUE(EncodeFrame(packetOf(65537, 0)).empty());
}

class FrameStream : public ::testing::Test {
protected:
    // Packets of 1, 3 and 300 bytes with keep-alives before, between and after.
    FrameStream() {
        packets_ = {packetOf(1, 10), packetOf(3, 20), packetOf(300, 30)};
        append(stream_, header(0));
        for (const Bytes& packet : packets_) {
            append(stream_, EncodeFrame(packet));
            append(stream_, header(0));
        }
    }
    std::vector<Bytes> packets_;
    Bytes stream_;
};

TEST_F(FrameStream, EverySplitPointYieldsTheSamePackets) {
    EXPECT_EQ(decodeInPieces(stream_, {}), packets_);
    for (std::size_t cut = 0; cut <= stream_.size(); ++cut) {
        ASSERT_EQ(decodeInPieces(stream_, {cut}), packets_) << "cut at " << cut;
    }
    // Two cuts inside the short frames at the front cover header splits meeting body splits.
    for (std::size_t first = 0; first <= 24; ++first) {
        for (std::size_t second = first; second <= 24; ++second) {
            ASSERT_EQ(decodeInPieces(stream_, {first, second}), packets_) << first << "," << second;
        }
    }
}

TEST_F(FrameStream, ByteByByteAndRandomChunksWithManyFrames) {
    std::vector<std::size_t> everyByte;
    for (std::size_t i = 1; i < stream_.size(); ++i) everyByte.push_back(i);
    EXPECT_EQ(decodeInPieces(stream_, everyByte), packets_);

    // A long stream in random chunks exercises the buffer compaction.
    std::mt19937 random(7);
    Bytes longStream;
    std::vector<Bytes> expected;
    for (int i = 0; i < 2000; ++i) {
        expected.push_back(packetOf(1 + random() % 700, static_cast<std::uint8_t>(i)));
        append(longStream, EncodeFrame(expected.back()));
        if (i % 5 == 0) append(longStream, header(0));
    }
    std::vector<std::size_t> cuts;
    for (std::size_t at = random() % 3000; at < longStream.size(); at += 1 + random() % 3000) {
        cuts.push_back(at);
    }
    EXPECT_EQ(decodeInPieces(longStream, cuts), expected);
}

TEST(FrameDecoder, AcceptsLargestFrameAcrossChunks) {
    Bytes stream = EncodeFrame(packetOf(65536, 5));
    append(stream, EncodeFrame(packetOf(2, 9)));
    const std::vector<Bytes> expected = {packetOf(65536, 5), packetOf(2, 9)};
    EXPECT_EQ(decodeInPieces(stream, {1460, 2920, 65539}), expected);
    EXPECT_EQ(decodeInPieces(stream, {65540}), expected);
}

TEST(FrameDecoder, OversizedLengthStopsTheStream) {
    FrameDecoder decoder;
    Bytes stream = EncodeFrame(packetOf(4, 1));
    append(stream, header(65537));
    decoder.feed(std::span(stream).first(stream.size() - 2));
    // The packet before the violation still counts; half a header is kept for later.
    ASSERT_EQ(drain(decoder), std::vector<Bytes>{packetOf(4, 1)});
    EXPECT_FALSE(decoder.failed());
    EXPECT_EQ(decoder.bufferedBytes(), 2u);
    // The header alone is enough to fail, without waiting for the body.
    decoder.feed(std::span(stream).last(2));
    EXPECT_FALSE(decoder.next().has_value());
    EXPECT_TRUE(decoder.failed());

    decoder.feed(EncodeFrame(packetOf(4, 2)));
    EXPECT_TRUE(drain(decoder).empty());
    EXPECT_EQ(decoder.bufferedBytes(), 0u);

    // The largest length must not be trusted for an allocation either.
    FrameDecoder huge;
    huge.feed(header(0xFFFFFFFF));
    EXPECT_FALSE(huge.next().has_value());
    EXPECT_TRUE(huge.failed());
}

}  // namespace
}  // namespace krvo
