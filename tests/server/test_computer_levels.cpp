// The computers above easy: positions with one right move, that they decide
// from their own seat's view only, that a seed fixes what they do, and a
// short arena in which hard must beat easy.

#include <gtest/gtest.h>

#include "server/arena.h"
#include "server/computer_brain.h"
#include "server/game_engine.h"
#include "server/rules_round.h"
#include "server/seat_view.h"
#include "tests/server/engine_checks.h"

namespace krvo::server {
namespace {

using testing::Card;
using testing::DealWith;
using testing::FullDeck;
using testing::Sorted;

constexpr std::uint8_t kRedA = kRedAceSuit0;
constexpr std::uint8_t kRedB = kRedAceSuit3;

// Small enough for the sanitizer build, large enough for hard to be hard.
const ai::SearchBudget kTestBudget{16, 96, 32};

// A round in trick play: the hands as given, each chair's other cards (up to
// 12) already played, so that every card of the deck is somewhere.
Round InTrickPlay(std::array<CardList, 4> hands, std::array<CardList, 4> played) {
    CardList rest = FullDeck();
    for (std::size_t chair = 0; chair < 4; ++chair) {
        RemovePai(rest, hands[chair]);
        RemovePai(rest, played[chair]);
    }
    Round round;
    for (std::uint8_t chair = 0; chair < 4; ++chair) {
        SeatRound& seat = round.seats[chair];
        while (hands[chair].size() + played[chair].size() < 12 && !rest.empty()) {
            played[chair].push_back(rest.front());
            rest.erase(rest.begin());
        }
        seat.hand = hands[chair];
        seat.played = played[chair];
        CardList dealt = hands[chair];
        dealt.insert(dealt.end(), played[chair].begin(), played[chair].end());
        for (const std::uint8_t card : dealt) {
            if (card == kRedA) seat.redAces |= 1;
            if (card == kRedB) seat.redAces |= 2;
        }
        if (seat.hand.empty()) seat.bteMingCi = round.nextPlace++;
    }
    EXPECT_TRUE(rest.empty()) << "every card placed";
    round.bteRoundState = kRoundFollow;
    return round;
}

// Everybody declines every declaration.
void DeclineUntil(Round& round, std::uint8_t state) {
    for (int guard = 0; guard < 32 && round.bteRoundState != state; ++guard) {
        AnswerDeclaration(round, round.bteCurChair, false);
    }
}

struct Position {
    const char* name;
    Round round;
    CardList expected;  // empty: pass
};

// Chair 1 follows its known partner, chair 0, who has just led its last
// card, an ace that none of the cards left can beat but a bomb: passing hands
// chair 1 the lead with its three 6s still in hand.
Position PartnersLastCard() {
    const std::uint8_t ace = Card(1, kRankAce);
    Round round =
        InTrickPlay({CardList{},
                     {kRedA, Card(1, 3), Card(2, 3), Card(3, 3), Card(1, 5)},
                     {Card(0, 7), Card(1, 7), Card(2, 9), Card(3, 10), Card(0, 2), Card(1, 8)},
                     {Card(2, 8), Card(3, 6), Card(0, 9), Card(1, 10), Card(2, 2), Card(3, 4)}},
                    {CardList{kRedB, ace}, {}, {}, {}});
    round.seats[0].shown = true;
    round.seats[0].bteLiang = 2;
    round.bteCurChair = 1;
    round.udtMaxOutPai = {0, kPaiSingle, ace, 1};
    return {"a partner's last card is not overtaken", round, {}};
}

// The lone red (chair 0, known from the surrender question) leads a pair of
// kings and keeps one card. Nothing the others may hold beats the kings;
// chair 1 can, with three 6s, and then leads pairs the last card cannot follow.
Position LoneRedAboutOut() {
    Round round = InTrickPlay(
        {CardList{Card(0, 4)},
         {Card(1, 3), Card(2, 3), Card(3, 3), Card(0, 1), Card(1, 1), Card(0, 5), Card(1, 5)},
         {Card(2, 0), Card(3, 2), Card(0, 9)},
         {Card(3, 0), Card(2, 2), Card(1, 9)}},
        {CardList{kRedA, kRedB, Card(1, 10), Card(2, 10)}, {}, {}, {}});
    round.surrenderAsked = 0;
    round.bteCurChair = 1;
    round.udtMaxOutPai = {0, kPaiPair, Card(1, 10), 2};
    return {"a lone red with one card left is bombed", round,
            Sorted({Card(1, 3), Card(2, 3), Card(3, 3)})};
}

// Chair 1 leads; its known partner, chair 2, next in turn, has one card left.
Position PartnerAboutOut() {
    Round round = InTrickPlay({CardList{Card(0, 8), Card(1, 8), Card(2, 9), Card(3, 9)},
                               {kRedA, Card(1, 0), Card(2, 4), Card(0, 6), Card(1, 6), Card(3, 10)},
                               {Card(2, 10)},
                               {Card(0, 7), Card(1, 7), Card(3, 8), Card(2, 8), Card(0, 5)}},
                              {CardList{}, {}, {kRedB}, {}});
    round.bteRoundState = kRoundLead;
    round.bteCurChair = 1;
    round.udtMaxOutPai = {1, kPaiSingle, 0, 1};
    return {"the lead is low for a partner about to go out", round, {Card(1, 0)}};
}

TEST(ComputerLevels, PositionsWithOneRightMove) {
    for (const Position& position : {PartnersLastCard(), LoneRedAboutOut(), PartnerAboutOut()}) {
        for (const ComputerLevel level : {ComputerLevel::Normal, ComputerLevel::Hard}) {
            SCOPED_TRACE(std::string(position.name) + ", " + std::string(ComputerLevelName(level)));
            ComputerBrain brain(level, 3, kTestBudget);
            const SeatView view = SeatViewOf(position.round, position.round.bteCurChair);
            const CardList cards = brain.play(view);
            EXPECT_EQ(Sorted(cards), Sorted(position.expected));
            EXPECT_FALSE(PlayRefusal(position.round, view.me,
                                     cards.empty() ? CardList{kPassMarker} : cards));
        }
    }
}

TEST(ComputerLevels, NoSurrenderWithBothRedAcesAndAGoodHand) {
    // Both red aces, four 10s, a run from 3 to 7: the lone holder plays on.
    Round round = StartRound(
        DealWith({CardList{kRedA, kRedB, Card(0, 7), Card(1, 7), Card(2, 7), Card(3, 7), Card(0, 0),
                           Card(1, 1), Card(2, 2), Card(3, 3), Card(1, 4), Card(2, 10)},
                  {},
                  {},
                  {}}),
        1);
    DeclineUntil(round, kRoundSurrender);
    ASSERT_EQ(round.bteRoundState, kRoundSurrender);
    for (const ComputerLevel level : {ComputerLevel::Normal, ComputerLevel::Hard}) {
        ComputerBrain brain(level, 5, kTestBudget);
        EXPECT_FALSE(brain.answer(SeatViewOf(round, 0))) << ComputerLevelName(level);
    }
}

TEST(ComputerLevels, DecideFromTheirOwnSeatOnly) {
    // Two deals alike in everything chair 0 can see (its hand, who holds the
    // heart 3, where the red aces are); chairs 2 and 3 hold different cards.
    const std::array<CardList, 4> one =
        DealWith({CardList{Card(0, 0), kRedA}, CardList{kRedB}, CardList{}, CardList{}});
    std::array<CardList, 4> other = one;
    std::swap(other[2][3], other[3][5]);
    std::swap(other[2][7], other[3][1]);
    ASSERT_NE(Sorted(one[2]), Sorted(other[2]));
    Round a = StartRound(one, 1);
    Round b = StartRound(other, 1);
    std::vector<bool> answers[2];
    std::vector<CardList> plays[2];
    for (int side = 0; side < 2; ++side) {
        Round& round = side == 0 ? a : b;
        ASSERT_EQ(round.bteCurChair, 0);
        for (std::uint32_t seed = 1; seed <= 4; ++seed) {
            ComputerBrain brain(ComputerLevel::Hard, seed, kTestBudget);
            answers[side].push_back(brain.answer(SeatViewOf(round, 0)));
        }
        DeclineUntil(round, kRoundLead);
        for (std::uint32_t seed = 1; seed <= 4; ++seed) {
            ComputerBrain brain(ComputerLevel::Hard, seed, kTestBudget);
            plays[side].push_back(brain.play(SeatViewOf(round, 0)));
        }
    }
    EXPECT_EQ(SeatViewOf(a, 0), SeatViewOf(b, 0));
    EXPECT_EQ(answers[0], answers[1]);
    EXPECT_EQ(plays[0], plays[1]);
}

// Every packet of one round of two hard, a normal and an easy computer.
std::vector<Packet> PlayOneRound(std::uint32_t seed) {
    EngineSettings settings;
    settings.seed = seed;
    settings.levels = {ComputerLevel::Hard, ComputerLevel::Normal, ComputerLevel::Easy,
                       ComputerLevel::Hard};
    settings.searchBudget = kTestBudget;
    GameEngine engine(settings);
    for (std::uint8_t chair = 0; chair < 4; ++chair) engine.setSeat(chair, "电脑", true);
    testing::Referee referee;
    std::vector<Packet> packets;
    for (int step = 0; step < 10000 && referee.scores.empty(); ++step) {
        const std::optional<std::int64_t> due = engine.nextDeadline();
        if (!due) break;
        engine.advanceTo(*due);
        for (const Delivery& delivery : engine.takeDeliveries()) {
            referee.see(delivery);
            packets.push_back(delivery.packet);
        }
        for (const EngineEvent& event : engine.takeEvents()) {
            EXPECT_NE(event.kind, EngineEventKind::ComputerFault);
        }
    }
    EXPECT_EQ(referee.scores.size(), 1u);
    return packets;
}

TEST(ComputerLevels, ASeedFixesWhatTheyDo) {
    EXPECT_EQ(PlayOneRound(21), PlayOneRound(21));
    EXPECT_NE(PlayOneRound(21), PlayOneRound(22));
}

TEST(Arena, HardBeatsEasyAndKeepsToTheRules) {
    // 200 deals with a search a twentieth of the real one: about half a
    // minute in the sanitizer build, and hard is still far ahead.
    ArenaOptions options;
    options.deals = 200;
    options.seed = 3;
    options.budget = {6, 24, 8};
    const ArenaReport report = RunArena(options);
    EXPECT_TRUE(report.faults.empty()) << report.faults.front();
    EXPECT_GT(report.winRate.low, 0) << FormatArenaReport(report, options);
    EXPECT_GT(report.score.low, 0) << FormatArenaReport(report, options);
}

}  // namespace
}  // namespace krvo::server
