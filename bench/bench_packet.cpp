// Packet building and reading on a 100-field Chinese body, beside a plain copy
// of the same bytes measured in the same run.

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "core/packet.h"

namespace {

std::string chineseBody() {
    std::string body;
    for (int i = 0; i < 100; ++i) {
        if (i > 0) body.push_back('`');
        body += "玩家" + std::to_string(i) + "号进来了";
    }
    return body;
}

const std::string& body() {
    static const std::string text = chineseBody();
    return text;
}

krvo::Packet builtPacket() {
    const std::uint8_t header[] = {105, 0, 0};
    krvo::Packet packet;
    krvo::BuildPacket(body(), packet, 3, header);
    return packet;
}

void BM_CopyBodyBaseline(benchmark::State& state) {
    const krvo::Packet source = builtPacket();
    krvo::Packet target(source.size());
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), source.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * source.size()));
}
BENCHMARK(BM_CopyBodyBaseline);

void BM_BuildPacket(benchmark::State& state) {
    const std::uint8_t header[] = {105, 0, 0};
    krvo::Packet packet;
    for (auto _ : state) {
        krvo::BuildPacket(body(), packet, 3, header);
        benchmark::DoNotOptimize(packet.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * packet.size()));
}
BENCHMARK(BM_BuildPacket);

void BM_PacketToString(benchmark::State& state) {
    const krvo::Packet packet = builtPacket();
    for (auto _ : state) {
        std::string text = krvo::PacketToString(packet, 3);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * packet.size()));
}
BENCHMARK(BM_PacketToString);

void BM_SplitFields(benchmark::State& state) {
    for (auto _ : state) {
        auto fields = krvo::SplitFields(body());
        benchmark::DoNotOptimize(fields.data());
    }
}
BENCHMARK(BM_SplitFields);

}  // namespace

#include "baseline_reporter.h"
KRVO_BENCHMARK_MAIN()
