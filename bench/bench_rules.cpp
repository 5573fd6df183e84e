// Card rules on 12-, 24- and 48-card hands, each compared at the end with
// copying and sorting the same bytes with std::sort in the same run.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

#include "core/cards.h"
#include "core/hint.h"
#include "core/patterns.h"

namespace {

using krvo::CardList;

// n cards dealt from four shuffled decks, with a fixed seed.
CardList dealHand(std::size_t n) {
    CardList shoe;
    for (int deck = 0; deck < 4; ++deck) {
        for (int suit = 0; suit < 4; ++suit) {
            for (int rank = 0; rank < 12; ++rank) {
                auto code = static_cast<std::uint8_t>(suit * 13 + rank);
                if (code == krvo::kPlainAceSuit0) code = krvo::kRedAceSuit0;
                if (code == krvo::kPlainAceSuit3) code = krvo::kRedAceSuit3;
                shoe.push_back(code);
            }
        }
    }
    std::mt19937 random(12345);
    std::shuffle(shoe.begin(), shoe.end(), random);
    shoe.resize(n);
    return shoe;
}

void BM_SortBaseline(benchmark::State& state) {
    const CardList hand = dealHand(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        CardList copy = hand;
        std::sort(copy.begin(), copy.end(), std::greater<>());
        benchmark::DoNotOptimize(copy.data());
    }
}

void BM_GetPaiType(benchmark::State& state) {
    const CardList hand = dealHand(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(krvo::GetPaiType(hand));
}

void BM_CheckFollowPai(benchmark::State& state) {
    const CardList hand = dealHand(static_cast<std::size_t>(state.range(0)));
    const krvo::OutPaiInfo top{0, krvo::kPaiDoubleStraight, 2, 6};
    for (auto _ : state) benchmark::DoNotOptimize(krvo::CheckFollowPai(hand, top));
}

void findTips(benchmark::State& state, std::uint8_t type, std::uint8_t count) {
    const CardList hand = dealHand(static_cast<std::size_t>(state.range(0)));
    krvo::TipList tips;
    for (auto _ : state) {
        benchmark::DoNotOptimize(krvo::FindTipPai(tips, hand, type, count, 2));
        benchmark::ClobberMemory();
    }
}

void BM_FindTipPai_Single(benchmark::State& state) {
    findTips(state, krvo::kPaiSingle, 1);
}
void BM_FindTipPai_Straight(benchmark::State& state) {
    findTips(state, krvo::kPaiStraight, 5);
}
void BM_FindTipPai_DoubleStraight(benchmark::State& state) {
    findTips(state, krvo::kPaiDoubleStraight, 6);
}

BENCHMARK(BM_SortBaseline)->Arg(12)->Arg(24)->Arg(48);
BENCHMARK(BM_GetPaiType)->Arg(12)->Arg(24)->Arg(48);
BENCHMARK(BM_CheckFollowPai)->Arg(12)->Arg(24)->Arg(48);
BENCHMARK(BM_FindTipPai_Single)->Arg(12)->Arg(24)->Arg(48);
BENCHMARK(BM_FindTipPai_Straight)->Arg(12)->Arg(24)->Arg(48);
BENCHMARK(BM_FindTipPai_DoubleStraight)->Arg(12)->Arg(24)->Arg(48);

}  // namespace

#include "baseline_reporter.h"
KRVO_BENCHMARK_MAIN()
