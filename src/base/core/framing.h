#pragma once
// Packets travel over TCP as frames: a 4-byte big-endian length, then that many
// bytes. Length 0 is a keep-alive. Shared by the client and the local server.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace krvo {

inline constexpr std::size_t kFrameHeaderLength = 4;
// A longer frame breaks the protocol and ends the connection.
inline constexpr std::size_t kMaxPacketLength = 65536;

// The frame carrying one packet; an empty packet gives a keep-alive. A packet above
// kMaxPacketLength gives no bytes at all, since no receiver would accept it.
std::vector<std::uint8_t> EncodeFrame(std::span<const std::uint8_t> packet);

// Turns a byte stream cut into arbitrary chunks back into packets, in order.
class FrameDecoder {
public:
    // Appends received bytes. Ignored once the stream has failed.
    void feed(std::span<const std::uint8_t> chunk);

    // The next complete packet, skipping keep-alives. The view stays valid until the
    // next feed(). Nothing once a frame longer than kMaxPacketLength has been seen.
    std::optional<std::span<const std::uint8_t>> next();

    bool failed() const { return failed_; }
    // Bytes received but not yet returned as packets (part of a frame, or whole
    // frames that next() has not taken yet).
    std::size_t bufferedBytes() const { return buffer_.size() - offset_; }

private:
    void compact();

    std::vector<std::uint8_t> buffer_;
    // Start of the unconsumed bytes; consumed bytes are dropped in bulk by compact(),
    // so a chunk holding many frames costs linear time, not quadratic.
    std::size_t offset_ = 0;
    bool failed_ = false;
};

}  // namespace krvo
