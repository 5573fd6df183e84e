#include "core/framing.h"

#include <algorithm>

namespace krvo {

namespace {

std::uint32_t readLength(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

}  // namespace

std::vector<std::uint8_t> EncodeFrame(std::span<const std::uint8_t> packet) {
    if (packet.size() > kMaxPacketLength) return {};
    const auto length = static_cast<std::uint32_t>(packet.size());
    std::vector<std::uint8_t> frame;
    frame.reserve(kFrameHeaderLength + packet.size());
    frame.push_back(static_cast<std::uint8_t>(length >> 24));
    frame.push_back(static_cast<std::uint8_t>(length >> 16));
    frame.push_back(static_cast<std::uint8_t>(length >> 8));
    frame.push_back(static_cast<std::uint8_t>(length));
    frame.insert(frame.end(), packet.begin(), packet.end());
    return frame;
}

void FrameDecoder::feed(std::span<const std::uint8_t> chunk) {
    if (failed_ || chunk.empty()) return;
    compact();
    buffer_.insert(buffer_.end(), chunk.begin(), chunk.end());
}

std::optional<std::span<const std::uint8_t>> FrameDecoder::next() {
    while (!failed_ && bufferedBytes() >= kFrameHeaderLength) {
        const std::uint32_t length = readLength(buffer_.data() + offset_);
        if (length > kMaxPacketLength) {
            failed_ = true;
            buffer_ = {};
            offset_ = 0;
            return std::nullopt;
        }
        if (bufferedBytes() - kFrameHeaderLength < length) return std::nullopt;
        const std::size_t start = offset_ + kFrameHeaderLength;
        offset_ = start + length;
        if (length == 0) continue;
        return std::span<const std::uint8_t>(buffer_.data() + start, length);
    }
    return std::nullopt;
}

void FrameDecoder::compact() {
    if (offset_ == 0) return;
    if (offset_ == buffer_.size()) {
        buffer_.clear();
        offset_ = 0;
        return;
    }
    // Moving the tail only once it is no longer than the consumed part keeps the
    // total cost of moves within the number of bytes fed.
    if (offset_ < buffer_.size() - offset_) return;
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(offset_));
    offset_ = 0;
}

}  // namespace krvo
