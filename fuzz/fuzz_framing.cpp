// The frame decoder fed the same byte stream in random chunks, with next()
// called at random points, must give exactly the packets a one-pass reading of
// the whole stream gives, and stop for good at the first oversized frame.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

#include "core/framing.h"
#include "fuzz_check.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Reading {
    std::vector<Bytes> packets;
    bool failed = false;
};

Reading ReadWhole(const Bytes& stream) {
    Reading reading;
    std::size_t at = 0;
    while (stream.size() - at >= krvo::kFrameHeaderLength) {
        const std::size_t length = (std::size_t{stream[at]} << 24) |
                                   (std::size_t{stream[at + 1]} << 16) |
                                   (std::size_t{stream[at + 2]} << 8) | stream[at + 3];
        if (length > krvo::kMaxPacketLength) {
            reading.failed = true;
            break;
        }
        if (stream.size() - at - krvo::kFrameHeaderLength < length) break;
        const auto begin = stream.begin() + static_cast<std::ptrdiff_t>(at + 4);
        if (length > 0)
            reading.packets.emplace_back(begin, begin + static_cast<std::ptrdiff_t>(length));
        at += 4 + length;
    }
    return reading;
}

void Take(krvo::FrameDecoder& decoder, std::vector<Bytes>& got, std::size_t most) {
    for (std::size_t i = 0; i < most; ++i) {
        const auto packet = decoder.next();
        if (!packet) return;
        krvo::fuzz::Require(!packet->empty(), "keep-alives are skipped");
        krvo::fuzz::Require(packet->size() <= krvo::kMaxPacketLength, "packet within the limit");
        got.emplace_back(packet->begin(), packet->end());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    // The first part steers the chunking, the rest is the stream itself.
    const Bytes steering = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 64));
    const Bytes stream = input.ConsumeRemainingBytes<std::uint8_t>();

    krvo::FrameDecoder decoder;
    std::vector<Bytes> got;
    std::size_t at = 0;
    std::size_t step = 0;
    while (at < stream.size()) {
        const std::uint8_t steer = steering.empty() ? 7 : steering[step++ % steering.size()];
        const std::size_t chunk = std::min<std::size_t>(stream.size() - at, 1 + steer % 32);
        decoder.feed(std::span(stream).subspan(at, chunk));
        at += chunk;
        Take(decoder, got, steer / 32);  // 0-7 packets between chunks
    }
    Take(decoder, got, stream.size() + 1);

    const Reading whole = ReadWhole(stream);
    krvo::fuzz::Require(got == whole.packets, "chunked reading equals whole reading");
    krvo::fuzz::Require(decoder.failed() == whole.failed, "failure seen exactly when oversized");
    if (decoder.failed()) krvo::fuzz::Require(!decoder.next(), "nothing after failure");
    for (const Bytes& packet : got) {
        const Bytes frame = krvo::EncodeFrame(packet);
        krvo::fuzz::Require(frame.size() == packet.size() + 4, "a decoded packet encodes again");
    }
    return 0;
}
