// The computer players in the arena: a short run of fixed deals for each
// pairing, the tested player in every seat and, as its control, the
// opponents' player in the same seat on the same cards. The figures are the
// counters (and the arena's own table, printed before each row); the time,
// what the thinking costs, is compared with the same number of rounds of four
// easy computers.

#include <benchmark/benchmark.h>

#include <cstdio>

#include "server/arena.h"

namespace {

using krvo::server::ArenaOptions;
using krvo::server::ArenaReport;
using krvo::server::ArenaRole;
using krvo::server::ComputerLevel;

constexpr int kDeals = 300;

void runArena(benchmark::State& state, ComputerLevel tested, ComputerLevel opponent) {
    ArenaOptions options;
    options.deals = kDeals;
    options.tested = tested;
    options.opponent = opponent;
    ArenaReport report;
    for (auto _ : state) report = krvo::server::RunArena(options);
    std::printf("\n%s\n", krvo::server::FormatArenaReport(report, options).c_str());
    std::fflush(stdout);
    if (!report.faults.empty()) state.SkipWithError("the referee found a rules fault");
    // The baseline is a time only: a ratio of win rates or scores says nothing.
    if (tested == opponent) return;
    const auto lone = static_cast<std::size_t>(ArenaRole::LoneRed);
    state.counters["win_rate"] = report.winRate.tested;
    state.counters["control_win_rate"] = report.winRate.control;
    state.counters["win_diff_low"] = report.winRate.low;
    state.counters["win_diff_high"] = report.winRate.high;
    state.counters["score"] = report.score.tested;
    state.counters["control_score"] = report.score.control;
    state.counters["score_diff_low"] = report.score.low;
    state.counters["score_diff_high"] = report.score.high;
    state.counters["lone_red_win_rate"] = report.roles[lone].winRate.tested;
    state.counters["slowest_move_ms"] = report.slowest.ms;
}

BENCHMARK_CAPTURE(runArena, Baseline_easy_vs_easy, ComputerLevel::Easy, ComputerLevel::Easy)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(runArena, normal_vs_easy, ComputerLevel::Normal, ComputerLevel::Easy)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(runArena, hard_vs_easy, ComputerLevel::Hard, ComputerLevel::Easy)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(runArena, hard_vs_normal, ComputerLevel::Hard, ComputerLevel::Normal)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace

#include "baseline_reporter.h"
KRVO_BENCHMARK_MAIN()
