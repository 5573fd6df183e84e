// Computer players: their choices on their own, and whole rounds played by
// four of them for many seeds, followed by the referee.

#include <gtest/gtest.h>

#include "server/computer_player.h"
#include "server/rules_round.h"
#include "tests/server/engine_checks.h"

namespace krvo::server {
namespace {

using testing::Card;
using testing::Referee;
using testing::Sorted;

TEST(ComputerLead, LeadsTheLowestGroupAndKeepsBombs) {
    // Three 4s (a bomb), a pair of 6s, a single 9: the 6s go first.
    const CardList hand = {Card(0, 1), Card(1, 1), Card(2, 1), Card(0, 3), Card(1, 3), Card(2, 6)};
    EXPECT_EQ(Sorted(ComputerLead(hand)), Sorted({Card(0, 3), Card(1, 3)}));
    // Only bombs left: the lowest one is led whole.
    const CardList bombs = {Card(0, 1), Card(1, 1), Card(2, 1), Card(0, 5), Card(1, 5), Card(2, 5)};
    EXPECT_EQ(Sorted(ComputerLead(bombs)), Sorted({Card(0, 1), Card(1, 1), Card(2, 1)}));
    EXPECT_EQ(ComputerLead({kRedAceSuit0, kRedAceSuit3}), (CardList{kRedAceSuit0, kRedAceSuit3}));
    EXPECT_TRUE(ComputerLead({}).empty());
}

TEST(ComputerFollow, TakesTheCheapestPlayAndSavesBombs) {
    const OutPaiInfo singleFive{1, kPaiSingle, Card(1, 2), 1};
    // K, K, 9, 6 against a 5: the 6.
    const CardList hand = {Card(0, 10), Card(1, 10), Card(2, 6), Card(3, 3)};
    EXPECT_EQ(ComputerFollow(hand, singleFive), (CardList{Card(3, 3)}));
    // Only a bomb beats the straight: kept, so the computer passes...
    const OutPaiInfo straight{1, kPaiStraight, Card(1, 6), 3};
    const CardList bombAndMore = {Card(0, 2), Card(1, 2), Card(2, 2), Card(0, 0)};
    EXPECT_TRUE(ComputerFollow(bombAndMore, straight).empty());
    // ...unless it is the last of the hand.
    const CardList bombOnly = {Card(0, 2), Card(1, 2), Card(2, 2)};
    EXPECT_EQ(Sorted(ComputerFollow(bombOnly, straight)), Sorted(bombOnly));
    // Nothing follows the pair of red aces.
    const OutPaiInfo redPair{1, kPaiRedAcePair, kRedAceSuit0, 2};
    EXPECT_TRUE(ComputerFollow({kRedAceSuit0, Card(1, 11)}, redPair).empty());
}

TEST(AutomaticLead, PlaysTheLowestCard) {
    EXPECT_EQ(AutomaticLead({Card(2, 9), kRedAceSuit3, Card(1, 4), Card(3, 4)}).size(), 1u);
    EXPECT_EQ(PaiRank(AutomaticLead({Card(2, 9), kRedAceSuit3, Card(1, 4)})[0]), 4);
}

TEST(ComputerAccepts, DeclinesMostDeclarations) {
    std::mt19937 rng(7);
    int accepted = 0;
    for (int i = 0; i < 1000; ++i) accepted += ComputerAccepts(kRoundJue, rng) ? 1 : 0;
    EXPECT_GT(accepted, 50);
    EXPECT_LT(accepted, 400);
}

struct TableRun {
    Referee referee;
    std::vector<Packet> packets;
    std::vector<EngineEvent> events;
};

TableRun playComputers(std::uint32_t seed, int rounds, std::uint8_t decks = 1) {
    EngineSettings settings;
    settings.seed = seed;
    settings.decks = decks;
    GameEngine engine(settings);
    for (std::uint8_t chair = 0; chair < 4; ++chair) {
        engine.setSeat(chair, "电脑" + std::to_string(chair), true);
    }
    TableRun run;
    std::int64_t now = 0;
    while (run.referee.scores.size() < static_cast<std::size_t>(rounds)) {
        const auto due = engine.nextDeadline();
        if (!due || *due > 3'600'000) break;
        now = std::max(now, *due);
        engine.advanceTo(now);
        for (const Delivery& delivery : engine.takeDeliveries()) {
            run.referee.see(delivery);
            run.packets.push_back(delivery.packet);
        }
        for (const EngineEvent& event : engine.takeEvents()) run.events.push_back(event);
    }
    const TableView view = engine.view();
    std::int64_t total = 0;
    for (const std::int32_t score : view.totalScores) total += score;
    EXPECT_EQ(total, 0);
    return run;
}

TEST(ComputerTable, WholeRoundsForManySeedsFollowTheRules) {
    std::set<int> states;
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        TableRun run = playComputers(seed, 3);
        ASSERT_EQ(run.referee.scores.size(), 3u) << "rounds must end";
        EXPECT_GT(run.referee.plays, 0);
        states.insert(run.referee.states.begin(), run.referee.states.end());
        if (HasFatalFailure()) return;
    }
    // A table of computers now and then takes up every declaration step.
    for (int state = 1; state <= 10; ++state) EXPECT_TRUE(states.count(state)) << state;
}

TEST(ComputerTable, TwoDecksAlsoPlayThrough) {
    for (std::uint32_t seed = 1; seed <= 5; ++seed) {
        TableRun run = playComputers(seed, 2, 2);
        EXPECT_EQ(run.referee.scores.size(), 2u) << seed;
    }
}

TEST(ComputerTable, ASeedGivesTheSameGame) {
    EXPECT_EQ(playComputers(11, 2).packets, playComputers(11, 2).packets);
    EXPECT_NE(playComputers(11, 1).packets, playComputers(12, 1).packets);
}

}  // namespace
}  // namespace krvo::server
