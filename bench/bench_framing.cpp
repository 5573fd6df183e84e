// Frame reassembly over a stream of mixed frames fed in TCP-segment-sized chunks,
// beside a plain chunked copy of the same bytes measured in the same run.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "baseline_reporter.h"
#include "core/framing.h"

namespace {

constexpr std::size_t kChunk = 1460;  // one Ethernet TCP segment's payload

// Mostly short room and game messages, some keep-alives, now and then a large body.
const std::vector<std::uint8_t>& mixedStream() {
    static const std::vector<std::uint8_t> stream = [] {
        std::mt19937 random(42);
        std::vector<std::uint8_t> bytes;
        for (int i = 0; i < 20000; ++i) {
            std::size_t size = 3 + random() % 60;
            if (i % 50 == 0) size = 0;
            if (i % 500 == 1) size = 4000 + random() % 60000;
            const std::vector<std::uint8_t> packet(size, static_cast<std::uint8_t>(i));
            const std::vector<std::uint8_t> frame = krvo::EncodeFrame(packet);
            bytes.insert(bytes.end(), frame.begin(), frame.end());
        }
        return bytes;
    }();
    return stream;
}

std::span<const std::uint8_t> chunkAt(std::span<const std::uint8_t> all, std::size_t at) {
    return all.subspan(at, std::min(kChunk, all.size() - at));
}

void BM_ChunkedCopyBaseline(benchmark::State& state) {
    const std::span<const std::uint8_t> all(mixedStream());
    std::vector<std::uint8_t> copy(all.size());
    for (auto _ : state) {
        for (std::size_t at = 0; at < all.size(); at += kChunk) {
            const auto chunk = chunkAt(all, at);
            std::copy(chunk.begin(), chunk.end(), copy.begin() + static_cast<std::ptrdiff_t>(at));
        }
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * all.size()));
}
BENCHMARK(BM_ChunkedCopyBaseline)->Unit(benchmark::kMillisecond);

void BM_FrameReassembly(benchmark::State& state) {
    const std::span<const std::uint8_t> all(mixedStream());
    for (auto _ : state) {
        krvo::FrameDecoder decoder;
        std::size_t packets = 0;
        for (std::size_t at = 0; at < all.size(); at += kChunk) {
            decoder.feed(chunkAt(all, at));
            while (const auto packet = decoder.next()) {
                benchmark::DoNotOptimize(packet->data());
                ++packets;
            }
        }
        benchmark::DoNotOptimize(packets);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * all.size()));
}
BENCHMARK(BM_FrameReassembly)->Unit(benchmark::kMillisecond);

}  // namespace

KRVO_BENCHMARK_MAIN()
