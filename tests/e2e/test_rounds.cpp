// Whole rounds between the table client and the room server with three
// computer players: both sides must agree on every hand, every turn and the
// scores, through declarations, bombs, the pair of red aces and a refused play.

#include "e2e/e2e_table.h"

namespace krvo::e2e {
namespace {

using server::EngineEventKind;

// Chair 0 holds the heart 3 and one red ace, chair 2 the other: two against two.
server::FixedDeal TwoAgainstTwo() {
    return DealWith({CardList{Card(0, 0), kRedAceSuit0}, {}, {kRedAceSuit3}, {}});
}

// Chair 0 holds the heart 3, both red aces and four 7s; nobody else can hold a
// bomb of four, as the rest goes round the table by code.
server::FixedDeal LoneRedSideWithBomb() {
    return DealWith({CardList{Card(0, 0), kRedAceSuit0, kRedAceSuit3, Card(0, 4), Card(1, 4),
                              Card(2, 4), Card(3, 4)},
                     {},
                     {},
                     {}});
}

class RoundTest : public EndToEndTest {
protected:
    TableApp& seatAndStart(const server::FixedDeal& deal) {
        ServerSetup setup;
        setup.deals = {deal};
        startServer(setup);
        TableApp& app = connectClient();
        EXPECT_TRUE(runUntil([&app] { return app.pub().blnCanStart; }));
        app.game().startButton().pressStart();
        return app;
    }
};

TEST_F(RoundTest, AWholeRoundAgreesOnEveryHandTurnAndScore) {
    TableApp& app = seatAndStart(TwoAgainstTwo());
    PlayerPolicy policy;
    // Show the red ace when asked first; decline everything after.
    policy.answer = [](TableApp& a) {
        return static_cast<std::uint8_t>(a.table().bteRoundState == kRoundShowRedAces ? 1 : 0);
    };
    drive(app, policy);
    ASSERT_TRUE(runUntilRoundEnds(app));

    const TableView end = view();
    EXPECT_FALSE(end.running);
    EXPECT_GE(turnsChecked, 4);
    EXPECT_EQ(app.table().arrSeat[0].bteLiang, 1);
    EXPECT_GE(end.stake, 2);  // the shown red ace doubled it at least once
    ExpectSameResult(app, end);
    EXPECT_EQ(app.table().lngRoundScore[0], app.table().lngRoundScore[2]);
    EXPECT_EQ(app.table().lngRoundScore[1], app.table().lngRoundScore[3]);
    // The room keeps the same result for the user row.
    const server::Member* me = server->room.findMember(app.launch().strMyUserName);
    ASSERT_NE(me, nullptr);
    EXPECT_EQ(server->room.stats(me->name).score, end.totalScores[0]);
    EXPECT_EQ(server->room.stats(me->name).games, 1);
}

TEST_F(RoundTest, ARefusedPlayBringsTheHandBackAndTheRoundGoesOn) {
    TableApp& app = seatAndStart(TwoAgainstTwo());
    ASSERT_TRUE(declineUntilPlay(app));
    ASSERT_EQ(app.table().bteRoundState, kRoundLead);

    // A hand gone stale: the lowest card is swapped for one chair 1 holds. The
    // client cannot know; the server must.
    TableState& table = app.table();
    const CardList truth = table.bteMyPai;
    const std::uint8_t foreign = view().hands[1].front();
    table.bteMyPai.back() = foreign;
    const CardList stale = table.bteMyPai;
    SelectCards(app, {foreign});
    app.game().actions().playAction(kPlaySelection);
    EXPECT_FALSE(table.bteMyPaiBak.empty());  // the play awaits the server
    EXPECT_EQ(table.bteMyPai.size(), stale.size() - 1);

    // The refusal's notice runs out by itself; the hand is back as it was.
    ASSERT_TRUE(runUntil([&] { return table.bteMyPaiBak.empty(); }, 60000));
    EXPECT_EQ(table.bteMyPai, stale);
    EXPECT_EQ(Sorted(view().hands[0]), Sorted(truth));
    EXPECT_EQ(view().bteCurChair, 0);
    EXPECT_EQ(view().bteRoundState, kRoundLead);

    table.bteMyPai = truth;
    drive(app);
    ASSERT_TRUE(runUntilRoundEnds(app));
    ExpectSameResult(app, view());
}

TEST_F(RoundTest, ABombAndThePairOfRedAcesWinTheirTricks) {
    TableApp& app = seatAndStart(LoneRedSideWithBomb());
    ASSERT_TRUE(declineUntilPlay(app));
    EXPECT_EQ(view().redAces[0], 3);
    ExpectAgreement(app, view());

    const CardList bomb = {Card(0, 4), Card(1, 4), Card(2, 4), Card(3, 4)};
    SelectCards(app, bomb);
    app.game().actions().playAction(kPlaySelection);
    ASSERT_TRUE(runUntil([&app] { return AwaitsPlay(app); }));
    // Nobody could beat it: the trick is ours and we lead again.
    EXPECT_EQ(view().bteCurChair, 0);
    EXPECT_EQ(view().bteRoundState, kRoundLead);
    EXPECT_EQ(app.table().arrSeat[0].bteLastOutPai.size(), 4u);
    ExpectAgreement(app, view());

    SelectCards(app, {kRedAceSuit0, kRedAceSuit3});
    app.game().actions().playAction(kPlaySelection);
    ASSERT_TRUE(runUntil([&app] { return AwaitsPlay(app); }));
    // The pair wins at once: nobody else played.
    const TableView after = view();
    EXPECT_EQ(after.bteCurChair, 0);
    EXPECT_EQ(after.bteRoundState, kRoundLead);
    EXPECT_EQ(app.table().arrSeat[0].bteLiang, 3);
    EXPECT_EQ(after.hands[0].size(), 6u);
    for (std::uint8_t chair = 1; chair < 4; ++chair) EXPECT_EQ(after.hands[chair].size(), 12u);
    ExpectAgreement(app, after);

    drive(app);
    ASSERT_TRUE(runUntilRoundEnds(app));
    const TableView end = view();
    ExpectSameResult(app, end);
    // One against three: the lone player wins or loses three stakes.
    EXPECT_EQ(std::abs(end.lastScores[0]), 3 * end.stake);
    for (std::uint8_t chair = 1; chair < 4; ++chair) {
        EXPECT_EQ(end.lastScores[chair], -end.lastScores[0] / 3);
    }
    EXPECT_EQ(server->game.count(EngineEventKind::RoundEnded), 1);
}

}  // namespace
}  // namespace krvo::e2e
