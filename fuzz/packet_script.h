#pragma once
// Turns fuzz data into a sequence of packets for the message handlers. Each
// packet is a length byte and that many bytes; the first byte is mostly mapped
// onto the message ids the handler knows, so the fuzzer spends its time past
// the dispatch, and sometimes kept as it is.

#include <cstdint>
#include <span>
#include <vector>

namespace krvo::fuzz {

using Bytes = std::vector<std::uint8_t>;

class PacketScript {
public:
    PacketScript(std::span<const std::uint8_t> data, std::span<const std::uint8_t> knownIds)
        : data_(data), knownIds_(knownIds) {}

    bool done() const { return at_ >= data_.size(); }

    // A byte of the script for the caller's own choices (0 once it is used up).
    std::uint8_t byte() { return done() ? 0 : data_[at_++]; }

    Bytes packet() {
        const std::size_t length = std::min<std::size_t>(byte(), data_.size() - at_);
        Bytes packet(data_.begin() + static_cast<std::ptrdiff_t>(at_),
                     data_.begin() + static_cast<std::ptrdiff_t>(at_ + length));
        at_ += length;
        if (!packet.empty() && packet[0] < 0xC0 && !knownIds_.empty()) {
            packet[0] = knownIds_[packet[0] % knownIds_.size()];
        }
        return packet;
    }

private:
    std::span<const std::uint8_t> data_;
    std::span<const std::uint8_t> knownIds_;
    std::size_t at_ = 0;
};

}  // namespace krvo::fuzz
