// Messages decoded and applied through the client's real room and game
// handlers, dispatched as the table program dispatches them, with a scene that
// draws nothing, no sound and no network: two captured rounds of a player at
// the local room server, replayed again and again; beside a copy of the same
// bytes measured in the same run.
//
// Figures (items_per_second is messages per second):
//   BM_HandleRounds  against BM_CopyRoundsBaseline (goal: at least 1 M
//                    messages/s).
//
// Before measuring, the program checks that the replay is a real one: after
// the two rounds the client's total scores are the engine's, and after a
// second replay twice that.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "baseline_reporter.h"
#include "support/captured_rounds.h"
#include "support/quiet_table.h"

namespace {

using krvo::Packet;
using krvo::testing::CapturedRounds;
using krvo::testing::QuietTable;

constexpr std::uint8_t kRoundStart = 17;

struct Replay {
    Replay() {
        const CapturedRounds captured = krvo::testing::CaptureRounds({.seed = 7, .rounds = 2});
        bool inRounds = false;
        for (Packet& packet : captured.receivedBy(CapturedRounds::kMe)) {
            inRounds = inRounds || packet[0] == kRoundStart;
            (inRounds ? rounds : login).push_back(std::move(packet));
        }
        totals = captured.finalView.totalScores;
    }

    std::vector<Packet> login;
    std::vector<Packet> rounds;
    std::array<std::int32_t, 4> totals{};
};

const Replay& replay() {
    static const Replay captured;
    return captured;
}

std::unique_ptr<QuietTable> loggedInTable() {
    auto table = std::make_unique<QuietTable>("me");
    for (const Packet& packet : replay().login) table->handle(packet);
    return table;
}

// Twice, as the measurement replays the rounds again and again: each replay
// adds the engine's totals once more.
void checkReplayAgreesWithEngine() {
    const std::unique_ptr<QuietTable> table = loggedInTable();
    for (int replays = 1; replays <= 2; ++replays) {
        for (const Packet& packet : replay().rounds) table->handle(packet);
        const auto& got = table->table.lngTotalScore;
        std::array<std::int32_t, 4> want = replay().totals;
        for (std::int32_t& total : want) total *= replays;
        if (table->pub.bteMyChair == CapturedRounds::kMyChair && got == want) continue;
        std::fprintf(stderr,
                     "bench_table_messages: replay %d ends at chair %d with totals %d %d %d %d, "
                     "not at chair %d with %d %d %d %d; the figures would measure ignored "
                     "messages\n",
                     replays, table->pub.bteMyChair, got[0], got[1], got[2], got[3],
                     CapturedRounds::kMyChair, want[0], want[1], want[2], want[3]);
        std::exit(1);
    }
}

void BM_CopyRoundsBaseline(benchmark::State& state) {
    std::size_t largest = 0;
    for (const Packet& packet : replay().rounds) largest = std::max(largest, packet.size());
    std::vector<std::uint8_t> target(largest);
    for (auto _ : state) {
        for (const Packet& packet : replay().rounds) {
            std::memcpy(target.data(), packet.data(), packet.size());
            benchmark::DoNotOptimize(target.data());
            benchmark::ClobberMemory();
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(replay().rounds.size()));
}
BENCHMARK(BM_CopyRoundsBaseline);

void BM_HandleRounds(benchmark::State& state) {
    const std::unique_ptr<QuietTable> table = loggedInTable();
    for (auto _ : state) {
        for (const Packet& packet : replay().rounds) table->handle(packet);
        benchmark::DoNotOptimize(table->table.lngTotalScore);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(replay().rounds.size()));
    state.SetLabel(std::to_string(replay().rounds.size()) + " messages a replay");
}
BENCHMARK(BM_HandleRounds);

}  // namespace

int main(int argc, char** argv) {
    checkReplayAgreesWithEngine();
    return krvo::bench::RunWithBaselines(argc, argv);
}
