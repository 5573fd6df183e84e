// The game engine with fixed deals: declarations, surrender, bombs and the
// pair of red aces, refusals, leave votes, offline players, the table report,
// and the deals file. Every packet goes through the referee's checks.

#include <gtest/gtest.h>

#include <random>

#include "core/gbk.h"
#include "server/deals.h"
#include "server/engine_packets.h"
#include "server/engine_state.h"
#include "server/rules_round.h"
#include "tests/server/engine_checks.h"

namespace krvo::server {
namespace {

using testing::Card;
using testing::DealWith;
using testing::Referee;
using testing::Sorted;

constexpr std::uint8_t kRedA = kRedAceSuit0;
constexpr std::uint8_t kRedB = kRedAceSuit3;

Packet Answer(std::uint8_t kind, std::uint8_t chair, std::uint8_t answer) {
    return {20, kind, chair, answer, 0, 0, 0, 0, 0, 0, 0};
}

Packet Play(std::uint8_t chair, CardList cards) {
    Packet packet = {21, 0, 0, 0, 0, 0, chair, static_cast<std::uint8_t>(cards.size())};
    packet.insert(packet.end(), cards.begin(), cards.end());
    return packet;
}

Packet Pass(std::uint8_t chair) {
    return Play(chair, {kPassMarker});
}

std::string TextFrom(const Packet& packet, std::size_t start) {
    return PacketToString(packet, start);
}

// One table: four chairs (humans unless told), the referee and a clock.
class Table {
public:
    explicit Table(std::array<CardList, 4> deal, std::array<bool, 4> computers = {},
                   EngineSettings settings = {})
        : engine_(withDeal(std::move(settings), std::move(deal))) {
        for (std::uint8_t chair = 0; chair < 4; ++chair) {
            engine_.setSeat(chair, "玩家" + std::to_string(chair), computers[chair]);
        }
        for (std::uint8_t chair = 0; chair < 4; ++chair) {
            if (!computers[chair]) engine_.setReady(chair);
        }
        take();
        if (!engine_.roundRunning()) runFor(1000);  // computers raise their hands
    }

    // Everything produced since the last look.
    std::vector<Delivery> take() {
        std::vector<Delivery> taken = engine_.takeDeliveries();
        referee.seeAll(taken);
        log.insert(log.end(), taken.begin(), taken.end());
        return taken;
    }
    std::vector<Delivery> send(std::uint8_t chair, const Packet& packet) {
        engine_.handlePlayerPacket(chair, packet);
        return take();
    }
    std::vector<Delivery> runFor(std::int64_t ms) {
        const std::int64_t end = now_ + ms;
        std::vector<Delivery> all;
        while (true) {
            const auto due = engine_.nextDeadline();
            if (!due || *due > end) break;
            now_ = std::max(now_, *due);
            engine_.advanceTo(now_);
            const auto taken = take();
            all.insert(all.end(), taken.begin(), taken.end());
        }
        now_ = end;
        engine_.advanceTo(now_);
        const auto taken = take();
        all.insert(all.end(), taken.begin(), taken.end());
        return all;
    }
    // Every chair declines every declaration until the first lead.
    void declineAll() {
        for (int guard = 0; guard < 32 && IsDeclarationState(view().bteRoundState); ++guard) {
            const std::uint8_t chair = view().bteCurChair;
            send(chair, Answer(AnswerKindOf(view().bteRoundState), chair, 0));
        }
        ASSERT_EQ(view().bteRoundState, kRoundLead);
    }

    TableView view() const { return engine_.view(); }
    GameEngine& engine() { return engine_; }

    Referee referee;
    std::vector<Delivery> log;

private:
    static EngineSettings withDeal(EngineSettings settings, std::array<CardList, 4> deal) {
        if (!deal[0].empty()) settings.deals.push_back(std::move(deal));
        return settings;
    }

    GameEngine engine_;
    std::int64_t now_ = 0;
};

const Delivery* Find(const std::vector<Delivery>& deliveries, std::uint8_t code) {
    for (const Delivery& each : deliveries) {
        if (!each.packet.empty() && each.packet[0] == code) return &each;
    }
    return nullptr;
}

std::string RejectionTo(const std::vector<Delivery>& deliveries, std::uint8_t chair) {
    const Delivery* reject = Find(deliveries, 22);
    if (!reject) return {};
    EXPECT_EQ(reject->audience, Audience::Player);
    EXPECT_EQ(reject->chair, chair);
    return TextFrom(reject->packet, 1);
}

// Chair 0 has the heart 3; chair 1 a red ace of suit 0, chair 3 the other.
std::array<CardList, 4> TwoAgainstTwo() {
    return DealWith({CardList{Card(0, 0), Card(1, 0), Card(2, 1)},
                     CardList{kRedA, Card(1, 4), Card(2, 4), Card(3, 4)},
                     CardList{Card(2, 0), Card(0, 6), Card(1, 7), Card(2, 8)},
                     CardList{kRedB, Card(3, 0)}});
}

TEST(RoundStart, HeartThreeOpensTheDeclarationsAndEachChairGetsItsHand) {
    Table table(DealWith({CardList{}, CardList{}, CardList{Card(0, 0)}, CardList{}}));
    const Delivery* start = Find(table.log, 17);
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->packet[15], 2);  // the heart 3 holder is asked first
    EXPECT_EQ(start->packet[16], kRoundShowRedAces);
    EXPECT_EQ(start->packet[17], 2);
    int deals = 0;
    for (const Delivery& each : table.log) {
        if (each.packet[0] != 19) continue;
        ++deals;
        EXPECT_EQ(each.audience, Audience::PlayerAndViewers);
        EXPECT_EQ(each.chair, each.packet[1]);
        EXPECT_EQ(CardList(each.packet.begin() + 2, each.packet.end()),
                  table.view().hands[each.chair]);
    }
    EXPECT_EQ(deals, 4);
    EXPECT_FALSE(table.engine().isReady(0)) << "the round start takes the hands down";
}

TEST(Declarations, EveryStepRaisesTheStakeAndRevealsTheRedAces) {
    Table table(TwoAgainstTwo());
    EXPECT_EQ(RejectionTo(table.send(0, Answer(0, 0, 1)), 0), "你没有红A，不能亮！");
    EXPECT_EQ(RejectionTo(table.send(2, Answer(0, 2, 0)), 2), "还没有轮到你表态！");
    EXPECT_EQ(RejectionTo(table.send(0, Answer(1, 0, 0)), 0), "表态的种类不对！");
    table.send(0, Answer(0, 0, 0));
    const auto shown = table.send(1, Answer(0, 1, 1));
    ASSERT_NE(Find(shown, 20), nullptr);
    EXPECT_EQ(Find(shown, 20)->packet,
              (Packet{20, 0, 1, 1, 2, kRoundFollowShow, 1, 255, 0, 255, 0}));
    table.send(2, Answer(0, 2, 0));
    table.send(3, Answer(0, 3, 0));  // keeps its red ace hidden: the 揪 step follows
    ASSERT_EQ(table.view().bteRoundState, kRoundJiu);
    EXPECT_EQ(RejectionTo(table.send(3, Answer(1, 3, 1)), 3), "还没有轮到你表态！");
    const auto jiu = table.send(0, Answer(1, 0, 1));
    ASSERT_NE(Find(jiu, 20), nullptr);
    const Packet& revealed = Find(jiu, 20)->packet;
    EXPECT_EQ(revealed[3], 1);
    EXPECT_EQ(revealed[7], 3) << "the hidden holder is named";
    EXPECT_EQ(revealed[8], 2) << "with the red ace of suit 3";
    EXPECT_EQ(revealed[5], kRoundJue) << "no lone holder, so no surrender step";
    table.send(0, Answer(2, 0, 0));
    EXPECT_EQ(RejectionTo(table.send(1, Answer(2, 1, 1)), 1), "有红A的一方不能撅！");
    table.send(1, Answer(2, 1, 0));
    table.send(2, Answer(2, 2, 1));
    EXPECT_EQ(table.view().bteRoundState, kRoundFollowJue);
    table.send(3, Answer(2, 3, 0));
    ASSERT_EQ(table.view().bteRoundState, kRoundZhi);
    EXPECT_EQ(RejectionTo(table.send(0, Answer(3, 0, 1)), 0), "没有红A的一方不能直！");
    table.send(0, Answer(3, 0, 0));
    table.send(1, Answer(3, 1, 1));
    EXPECT_EQ(table.view().bteRoundState, kRoundFollowZhi);
    table.send(2, Answer(3, 2, 0));
    table.send(3, Answer(3, 3, 0));
    EXPECT_EQ(table.view().bteRoundState, kRoundLead);
    EXPECT_EQ(table.view().bteCurChair, 0);
    EXPECT_EQ(table.view().stake, 16) << "亮, 揪, 撅 and 直 each double";
    for (std::uint8_t chair = 0; chair < 4; ++chair) table.engine().setSeat(chair, "电脑", true);
    table.runFor(600'000);
    ASSERT_GE(table.referee.scores.size(), 1u);
    for (const std::int32_t score : table.referee.scores[0]) {
        EXPECT_TRUE(score == 32 || score == -32 || score == 64 || score == -64) << score;
    }
    for (int state = 1; state <= 10; ++state) {
        if (state == kRoundSurrender) continue;
        EXPECT_TRUE(table.referee.states.count(state)) << state;
    }
}

TEST(Declarations, TheLoneHolderMaySurrender) {
    Table table(DealWith({CardList{Card(0, 0)}, CardList{}, CardList{kRedA, kRedB}, CardList{}}));
    for (std::uint8_t chair = 0; chair < 4; ++chair) table.send(chair, Answer(0, chair, 0));
    ASSERT_EQ(table.view().bteRoundState, kRoundJiu);
    for (std::uint8_t chair = 0; chair < 4; ++chair) table.send(chair, Answer(1, chair, 0));
    ASSERT_EQ(table.view().bteRoundState, kRoundSurrender);
    EXPECT_EQ(table.view().bteCurChair, 2);
    const auto given = table.send(2, Answer(4, 2, 1));
    ASSERT_NE(Find(given, 23), nullptr);
    EXPECT_EQ(table.referee.scores.back(), (std::array<std::int32_t, 4>{1, 1, -3, 1}));
    EXPECT_FALSE(table.engine().roundRunning());
}

TEST(Plays, RefusalsGoToThePlayerAndChangeNothing) {
    Table table(DealWith({CardList{Card(0, 0), Card(1, 0), Card(0, 1), Card(1, 1), Card(0, 2)},
                          CardList{Card(2, 1), Card(1, 9)}, CardList{}, CardList{}}));
    table.declineAll();
    const std::uint8_t notHeld = table.view().hands[1][0];
    EXPECT_EQ(RejectionTo(table.send(1, Play(1, {notHeld})), 1), "还没有轮到你出牌！");
    EXPECT_EQ(RejectionTo(table.send(0, Pass(0)), 0), "你是首家，必须出牌！");
    EXPECT_EQ(RejectionTo(table.send(0, Play(0, {notHeld})), 0), "你手里没有这些牌！");
    EXPECT_EQ(RejectionTo(table.send(0, Play(0, {Card(0, 0), Card(0, 0)})), 0),
              "你手里没有这些牌！")
        << "one card held does not make two";
    EXPECT_EQ(RejectionTo(table.send(1, Play(0, {Card(0, 2)})), 1), "座位号不对！");
    Packet cut = Play(0, {Card(0, 2)});
    cut[7] = 2;
    EXPECT_EQ(RejectionTo(table.send(0, cut), 0), "出牌数据不完整！");
    EXPECT_EQ(RejectionTo(table.send(0, Packet{21, 0, 0}), 0), "出牌数据不完整！");
    EXPECT_EQ(
        RejectionTo(table.send(0, Play(0, {Card(0, 0), Card(1, 0), Card(0, 1), Card(1, 1)})), 0),
        "出牌错误：牌型不对！");
    EXPECT_EQ(table.view().bteRoundState, kRoundLead);
    EXPECT_EQ(table.view().hands[0].size(), 12u);
    EXPECT_EQ(Find(table.send(0, Play(0, {Card(0, 2)})), 21)->packet[3], kRoundFollow);
    EXPECT_EQ(RejectionTo(table.send(1, Play(1, {Card(2, 1)})), 1),
              "出牌错误：你出牌必须比上一家出牌还要大！");
    EXPECT_TRUE(Find(table.send(1, Play(1, {Card(1, 9)})), 21));
}

TEST(Plays, GarbageFromPlayersNeverBreaksTheTable) {
    Table table(TwoAgainstTwo(), {false, true, true, true});
    std::mt19937 rng(5);
    for (int i = 0; i < 3000; ++i) {
        Packet packet(rng() % 24);
        for (std::uint8_t& byte : packet)
            byte = static_cast<std::uint8_t>(rng() % 8 == 0 ? rng() : rng() % 30);
        if (!packet.empty() && rng() % 2) packet[0] = static_cast<std::uint8_t>(18 + rng() % 7);
        table.send(static_cast<std::uint8_t>(rng() % 5), packet);
        if (i % 50 == 0) table.runFor(700);
        if (HasFatalFailure()) return;
    }
    table.runFor(3'600'000);
    EXPECT_GE(table.referee.scores.size(), 1u);
}

TEST(Plays, BombsBeatStraightsAndTheRedPairWinsTheTrickAtOnce) {
    Table table(DealWith({CardList{Card(0, 0), Card(0, 1), Card(0, 2)},
                          CardList{Card(1, 5), Card(2, 5), Card(3, 5), kRedA, kRedB}, CardList{},
                          CardList{}}));
    table.declineAll();
    table.send(0, Play(0, {Card(0, 0), Card(0, 1), Card(0, 2)}));
    const auto bomb = table.send(1, Play(1, {Card(1, 5), Card(2, 5), Card(3, 5)}));
    ASSERT_NE(Find(bomb, 21), nullptr);
    table.send(2, Pass(2));
    table.send(3, Pass(3));
    const auto won = table.send(0, Pass(0));
    EXPECT_EQ(Find(won, 21)->packet[3], kRoundLead);
    EXPECT_EQ(Find(won, 21)->packet[2], 1) << "the bomb took the trick";
    const std::uint8_t low = table.view().hands[1].back();
    table.send(1, Play(1, {low}));
    ASSERT_EQ(table.view().bteCurChair, 2);
    // Chair 2 holds no red ace: the pair is refused, chair 1 may not play out of turn.
    EXPECT_FALSE(RejectionTo(table.send(2, Play(2, {kRedA, kRedB})), 2).empty());
    table.send(2, Pass(2));
    table.send(3, Pass(3));
    table.send(0, Pass(0));
    table.send(1, Play(1, {table.view().hands[1].back()}));
    table.send(2, Pass(2));
    table.send(3, Pass(3));
    table.send(0, Play(0, {table.view().hands[0].front()}));
    const auto pair = table.send(1, Play(1, {kRedA, kRedB}));
    const Packet& report = Find(pair, 21)->packet;
    EXPECT_EQ(report[4], 1) << "the trick flag";
    EXPECT_EQ(report[3], kRoundLead);
    EXPECT_EQ(report[2], 1) << "the pair's player leads again";
}

TEST(Rules, TheRoundEndsWhenASideIsOutAndScoresSumToZero) {
    Round round = StartRound(TwoAgainstTwo(), 1);
    for (SeatRound& seat : round.seats) seat.hand.resize(2);
    round.seats[1].hand = {Card(1, 4)};
    round.seats[3].hand = {Card(3, 9), Card(3, 10)};
    round.bteRoundState = kRoundLead;
    round.bteCurChair = 1;
    PlayOutcome out = ApplyPlay(round, 1, round.seats[1].hand);
    EXPECT_EQ(out.place, 1);
    EXPECT_FALSE(out.roundOver);
    for (std::uint8_t chair : {2, 3, 0})
        ApplyPlay(round, chair, std::vector<std::uint8_t>{kPassMarker});
    EXPECT_EQ(round.bteRoundState, kRoundLead);
    EXPECT_EQ(round.bteCurChair, 2) << "the lead of a finished winner passes on";
    ApplyPlay(round, 2, CardList{round.seats[2].hand.back()});
    ApplyPlay(round, 3, std::vector<std::uint8_t>{Card(3, 10)});
    ApplyPlay(round, 0, std::vector<std::uint8_t>{kPassMarker});
    ApplyPlay(round, 2, std::vector<std::uint8_t>{kPassMarker});
    out = ApplyPlay(round, 3, std::vector<std::uint8_t>{Card(3, 9)});
    EXPECT_TRUE(out.roundOver);
    EXPECT_EQ(out.place, 2);
    // The red side took places 1 and 2: a sweep doubles the stake.
    EXPECT_EQ(ScoreRound(round), (std::array<std::int32_t, 4>{-4, 4, -4, 4}));
    EXPECT_EQ(ScoreRunaway(round, 2), (std::array<std::int32_t, 4>{2, 2, -6, 2}));
}

TEST(Rules, AgainstALoneHolderTheFirstOutDecides) {
    Round round = StartRound(
        DealWith({CardList{Card(0, 0)}, CardList{}, CardList{kRedA, kRedB}, CardList{}}), 1);
    round.seats[0].hand = {Card(0, 0)};
    round.bteRoundState = kRoundLead;
    round.bteCurChair = 0;
    EXPECT_TRUE(ApplyPlay(round, 0, std::vector<std::uint8_t>{Card(0, 0)}).roundOver);
    EXPECT_EQ(ScoreRound(round), (std::array<std::int32_t, 4>{1, 1, -3, 1}));
}

TEST(LeaveVotes, ComputersAgreeAndTheTableIsDissolved) {
    Table table(TwoAgainstTwo(), {false, true, true, true});
    Packet request = {24, 0, 0};
    AppendGbk("家里有事", request);
    const auto relayed = table.send(0, request);
    ASSERT_NE(Find(relayed, 24), nullptr);
    EXPECT_EQ(TextFrom(Find(relayed, 24)->packet, 3), "家里有事");
    const auto votes = table.runFor(1000);
    std::vector<Packet> leave;
    for (const Delivery& each : votes) {
        if (each.packet[0] == 24) leave.push_back(each.packet);
    }
    ASSERT_EQ(leave.size(), 4u);
    EXPECT_EQ(leave.back(), (Packet{24, 3, 0, 0}));
    ASSERT_NE(Find(votes, 23), nullptr);
    EXPECT_LE(Find(votes, 23)->packet.size(), 5u) << "the short round end";
    EXPECT_FALSE(table.engine().roundRunning());
    EXPECT_EQ(table.engine().takeEvents().back(),
              (EngineEvent{EngineEventKind::TableDissolved, 0}));
}

TEST(LeaveVotes, ARefusalEndsTheRequestAndRequestsAreLimited) {
    EngineSettings settings;
    settings.maxLeaveRequests = 2;
    Table table(TwoAgainstTwo(), {}, settings);
    table.send(0, Packet{24, 0, 0});
    EXPECT_TRUE(table.send(0, Packet{24, 0, 0}).empty()) << "one request at a time";
    EXPECT_TRUE(table.send(1, Packet{24, 1, 2, 0}).empty()) << "a vote for another chair";
    EXPECT_EQ(Find(table.send(1, Packet{24, 2, 1, 0}), 24)->packet, (Packet{24, 2, 1, 0}));
    EXPECT_TRUE(table.send(2, Packet{24, 1, 2, 0}).empty()) << "the request is over";
    EXPECT_NE(Find(table.send(0, Packet{24, 0, 0}), 24), nullptr);
    table.send(1, Packet{24, 2, 1, 0});
    EXPECT_TRUE(table.send(0, Packet{24, 0, 0}).empty()) << "the third request of a round";
    EXPECT_TRUE(table.engine().roundRunning());
}

TEST(LeaveVotes, OfflineChairsAreAnsweredForAndSilenceAgrees) {
    Table table(TwoAgainstTwo());
    table.engine().setOffline(3, true);
    table.send(0, Packet{24, 0, 0});
    EXPECT_TRUE(table.send(0, Packet{24, 3, 2, 0}).empty()) << "chair 2 is online";
    EXPECT_EQ(Find(table.send(0, Packet{24, 3, 3, 0}), 24)->packet, (Packet{24, 1, 3, 0}));
    table.send(1, Packet{24, 1, 1, 0});
    const auto rest = table.runFor(kVoteWaitMs);
    EXPECT_NE(Find(rest, 23), nullptr) << "chair 2 never answered, which agrees";
    EXPECT_FALSE(table.engine().roundRunning());
}

TEST(Offline, TimeOutsPlayForThePlayerAndTooManyCountAsRunningAway) {
    EngineSettings settings;
    settings.autoPlayLimit = 2;
    Table table(TwoAgainstTwo(), {}, settings);
    for (std::uint8_t chair = 0; chair < 4; ++chair) table.engine().setOffline(chair, true);
    EXPECT_TRUE(table.runFor(14'999).empty());
    const auto declined = table.runFor(1);
    ASSERT_NE(Find(declined, 20), nullptr);
    EXPECT_EQ(Find(declined, 20)->packet[3], 0);
    for (int i = 0; i < 20 && IsDeclarationState(table.view().bteRoundState); ++i) {
        table.runFor(15'000);
    }
    ASSERT_EQ(table.view().bteRoundState, kRoundLead);
    const auto lead = table.runFor(30'000);
    ASSERT_NE(Find(lead, 21), nullptr);
    EXPECT_EQ(PaiRank(Find(lead, 21)->packet[8]), 0) << "the lowest card, the heart 3's rank";
    const auto rest = table.runFor(30'000 * 8);
    const Delivery* gone = Find(rest, 5);
    ASSERT_NE(gone, nullptr);
    // Chair 0 led, the others passed, chair 0 led again: its second play.
    EXPECT_EQ(gone->packet[2], 0);
    EXPECT_EQ(table.referee.scores.back(), (std::array<std::int32_t, 4>{-6, 2, 2, 2}));
}

TEST(Offline, AnOnlinePlayerGetsTimeOfItsOwnFirst) {
    Table table(TwoAgainstTwo());
    EXPECT_TRUE(table.runFor(15'000 + kOnlineGraceMs - 1).empty());
    EXPECT_NE(Find(table.runFor(1), 20), nullptr);
    EXPECT_EQ(Find(table.runFor(15'000), 20), nullptr) << "chair 1 is online: grace";
    table.engine().setOffline(1, true);
    EXPECT_NE(Find(table.runFor(1), 20), nullptr) << "offline, its time ran out already";
    table.engine().setOffline(1, false);
    const auto back = table.take();
    ASSERT_NE(Find(back, 2), nullptr);
    EXPECT_EQ(Find(back, 2)->audience, Audience::Player);
    EXPECT_EQ(CardList(Find(back, 2)->packet.begin() + 3, Find(back, 2)->packet.end()),
              table.view().hands[1]);
    EXPECT_NE(Find(table.send(3, Packet{2, 0, 3}), 2), nullptr);
}

TEST(Offline, LeavingARunningRoundIsRunningAway) {
    Table table(TwoAgainstTwo());
    table.engine().clearSeat(2);
    const auto gone = table.take();
    ASSERT_NE(Find(gone, 5), nullptr);
    EXPECT_EQ(table.referee.scores.back(), (std::array<std::int32_t, 4>{2, 2, -6, 2}));
    EXPECT_FALSE(table.engine().roundRunning());
}

TEST(Computers, WaitTheirThinkTimeAndTheTrickPause) {
    EngineSettings settings;
    settings.thinkMinMs = 1000;
    settings.thinkSpreadMs = 0;
    settings.trickPauseMs = 5000;
    Table table(TwoAgainstTwo(), {true, true, true, true}, settings);
    // The hands went up at 1000 ms and started the round; the first answer
    // comes a think time later.
    EXPECT_EQ(Find(table.runFor(999), 20), nullptr);
    EXPECT_NE(Find(table.runFor(1), 20), nullptr);
    std::int64_t now = 2000;
    bool trickWon = false;
    int tricks = 0;
    while (const auto due = table.engine().nextDeadline()) {
        if (!table.engine().roundRunning()) break;
        EXPECT_EQ(*due - now, trickWon ? 6000 : 1000);
        const auto moved = table.runFor(*due - now);
        now = *due;
        const Delivery* play = Find(moved, 21);
        trickWon = play != nullptr && play->packet[3] == kRoundLead;
        tricks += trickWon ? 1 : 0;
    }
    EXPECT_GT(tricks, 0);
    EXPECT_EQ(table.referee.scores.size(), 1u);
}

TEST(Snapshot, IdleAndRunningReportsHoldWhatTheyAnnounce) {
    EngineSettings settings;
    GameEngine idle(settings);
    idle.setSeat(1, "a", false);
    idle.setReady(1);
    EXPECT_EQ(idle.snapshot(0, true, false), (Packet{109, 0, 0, 0, 0, 1, 0, 0, 0}));

    Table table(TwoAgainstTwo());
    table.send(0, Answer(0, 0, 0));
    table.send(1, Answer(0, 1, 1));
    const Packet report = table.engine().snapshot(1, true, false);
    ASSERT_GE(report.size(), 45u);
    EXPECT_EQ(report[2], 1);
    EXPECT_EQ(report[4], 0) << "the onlooker may not see";
    EXPECT_EQ(report[11], 2);
    EXPECT_EQ(report[12], kRoundFollowShow);
    EXPECT_EQ(report[17], 1) << "the round has a 亮";
    EXPECT_EQ(report[22], 1) << "chair 1 showed the red ace of suit 0";
    std::size_t q = 45;
    for (int chair = 0; chair < 4; ++chair) {
        EXPECT_EQ(report[41 + chair], 12);
        q += 1 + report[q];
    }
    ASSERT_LT(q, report.size());
    EXPECT_EQ(CardList(report.begin() + q + 1, report.end()), table.view().hands[1]);
    EXPECT_EQ(report.size(), q + 1 + report[q]);
    EXPECT_EQ(table.engine().snapshot(1, false, false)[4], 1) << "a player always sees";
}

TEST(Coverage, OverAFewGamesEveryStateAndMessageOccurs) {
    std::set<int> states;
    std::set<int> messages;
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        EngineSettings settings;
        settings.seed = seed;
        settings.autoPlayLimit = 3;
        Table table({}, {false, true, true, true}, settings);
        if (seed == 1) {
            // A leave request the computers agree to, then a fresh round.
            table.send(0, Packet{24, 0, 0});
            table.runFor(2000);
            EXPECT_FALSE(table.engine().roundRunning());
            table.engine().setReady(0);
            table.runFor(2000);
        }
        table.send(0, Pass(0));  // refused: chair 0 is not asked to play now
        table.send(0, Packet{2, 0, 0});
        // Gone: the engine plays for chair 0 until that counts as running away;
        // then a computer takes the chair for a few more rounds.
        table.engine().setOffline(0, true);
        while (table.engine().roundRunning()) table.runFor(10'000);
        table.engine().setSeat(0, "电脑", true);
        for (int i = 0; i < 400 && table.referee.scores.size() < 4; ++i) table.runFor(10'000);
        states.insert(table.referee.states.begin(), table.referee.states.end());
        messages.insert(table.referee.messages.begin(), table.referee.messages.end());
    }
    for (int state = 1; state <= 10; ++state) EXPECT_TRUE(states.count(state)) << state;
    for (int code : {2, 5, 17, 18, 19, 20, 21, 22, 23, 24}) {
        EXPECT_TRUE(messages.count(code)) << code;
    }
}

TEST(Deals, TheTextFormatReadsRoundsAndRefusesBadOnes) {
    std::string text = "# two rounds\n";
    for (int round = 0; round < 2; ++round) {
        const auto deal = TwoAgainstTwo();
        for (const CardList& hand : deal) {
            for (const std::uint8_t card : hand) text += std::to_string(card) + ", ";
            text += "  # a hand\n\n";
        }
    }
    std::vector<FixedDeal> deals;
    std::string error;
    ASSERT_TRUE(ParseDeals(text, 1, deals, error)) << error;
    ASSERT_EQ(deals.size(), 2u);
    EXPECT_EQ(deals[1], TwoAgainstTwo());
    std::vector<FixedDeal> none;
    EXPECT_FALSE(ParseDeals(text, 2, none, error)) << "twelve cards a hand are one deck";
    std::string plainAce = text;
    plainAce.replace(plainAce.find("63"), 2, "11");
    EXPECT_FALSE(ParseDeals(plainAce, 1, none, error)) << "the red ace has its own code";
    EXPECT_NE(error.find("line"), std::string::npos);
    EXPECT_FALSE(ParseDeals("1 2 x\n", 1, none, error));
    const std::size_t lastHand = text.rfind('\n', text.rfind("# a hand"));
    EXPECT_FALSE(ParseDeals(text.substr(0, lastHand), 1, none, error)) << "three hands";
    EXPECT_TRUE(none.empty());
    EXPECT_FALSE(LoadDealsFile("/nonexistent/deals.txt", 1, none, error));
}

}  // namespace
}  // namespace krvo::server
