#include <gtest/gtest.h>

#include "handlers/game/game_table_fixture.h"

namespace krvo::testing {
namespace {

// 3♠; four 4s; 8, 9, 9; Q, K, A; the red ace 63.
const Bytes kMyHand = {card(0, 0), card(1, 0), card(1, 1), card(1, 2),  card(1, 3),  card(5, 0),
                       card(6, 0), card(6, 1), card(9, 0), card(10, 0), card(11, 1), 63};

class GameHandlerTest : public GameTableTest {
protected:
    // Feeds `packet`, whose pause must hold the network; `arriving` came in
    // during it and is handled afterwards, as the table program delivers it.
    void feedHoldingArrivals(const Bytes& packet, const std::vector<Bytes>& arriving) {
        bool held = false;
        loop.onStep = [&] { held = loop.waiter().holdingPackets(); };
        feed(packet);
        loop.onStep = nullptr;
        EXPECT_TRUE(held);
        for (const Bytes& each : arriving) feed(each);
    }
};

TEST_F(GameHandlerTest, WholeRoundFromStartToEnd) {
    table.arrSeat[0].blnReady = true;
    pub.blnCanStart = true;
    game.startButton().showStartButton();

    // The round starts: ready flags go, the settings arrive, the start is acknowledged.
    feed(roundStartPacket({.autoPlayLimit = 4, .declareTime = 12, .playTime = 25, .maxLeave = 2}));
    EXPECT_EQ(sender.packets, (std::vector<Bytes>{{19, kMe}}));
    EXPECT_FALSE(table.arrSeat[0].blnReady);
    EXPECT_FALSE(table.blnNoGame);
    EXPECT_FALSE(pub.blnCanStart);
    EXPECT_FALSE(startButton.widget()->isVisibleTo(&surface));
    EXPECT_EQ(table.bteAutoPlayLimit, 4);
    EXPECT_EQ(table.btePlayTime, 25);
    EXPECT_EQ(table.bteMaxLeaveRequests, 2);
    EXPECT_EQ(table.bteRoundState, kRoundShowRedAces);

    // The deal: the first player is announced and the local player is asked first.
    feed(dealPacket(kMyHand));
    EXPECT_EQ(table.bteMyPai, kMyHand);
    for (const SeatInfo& seat : table.arrSeat) EXPECT_EQ(seat.btePaiCount, 12);
    EXPECT_TRUE(logged("chat.system me 有红桃3，先出牌！"));
    EXPECT_TRUE(logged("sound 0"));
    EXPECT_EQ(table.bteLiangBut, (std::array<std::uint8_t, 2>{1, 1}));
    EXPECT_EQ(game.clock().clockChair(), 2);
    EXPECT_EQ(koClock.secondsLeft(), 12);

    // The local player shows the red ace.
    sender.packets.clear();
    game.actions().sendAnswer(1);
    EXPECT_EQ(sender.packets, (std::vector<Bytes>{{20, 0, kMe, 1, 0, 0, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(table.bteLiangBut, (std::array<std::uint8_t, 2>{0, 0}));
    EXPECT_EQ(game.clock().clockChair(), 100);

    feed(declarePacket(0, kMe, 1, 0, kRoundJiu, 1));
    EXPECT_EQ(table.arrSeat[kMe].bteLiang, 1);
    EXPECT_EQ(table.arrSeat[kMe].bteOutPai, (Bytes{63}));
    EXPECT_EQ(table.bteRoundLiang, 1);
    EXPECT_TRUE(logged("sound 1"));
    EXPECT_TRUE(table.blnShowWait);  // chair 0 decides now

    // Chair 0 declares 揪; the server reveals that chair 3 holds the other red ace.
    feed(declarePacket(1, 0, 1, kMe, kRoundLead, 1, {3, 2, 7, 1}));
    EXPECT_EQ(table.arrSeat[0].bteJiu, 1);
    EXPECT_EQ(table.arrSeat[3].bteLiang, 2);
    EXPECT_EQ(table.arrSeat[1].bteLiang, kAnswerPending);  // after the stop byte
    EXPECT_TRUE(logged("sound 10"));
    EXPECT_TRUE(logged("paint.play 3"));
    // Play begins: the shown aces leave the centre and the local player leads.
    EXPECT_FALSE(table.blnShowWait);
    for (const SeatInfo& seat : table.arrSeat) EXPECT_TRUE(seat.bteOutPai.empty());
    EXPECT_EQ(table.bteOutBut, (std::array<std::uint8_t, 3>{1, 0, 0}));
    EXPECT_EQ(table.bteToolBut, (std::array<std::uint8_t, 2>{1, 1}));
    EXPECT_EQ(koClock.secondsLeft(), 25);

    // Lead the 3♠.
    sender.packets.clear();
    select({1});
    game.actions().playAction(kPlaySelection);
    EXPECT_EQ(sender.packets, (std::vector<Bytes>{myPlayPacket(kMe, {card(0, 0)})}));
    EXPECT_EQ(table.bteMyPaiBak, kMyHand);
    EXPECT_EQ(table.bteMyPai.size(), 11u);

    feed(outPaiPacket({kMe, {card(0, 0)}, 3, kRoundFollow}));
    EXPECT_TRUE(table.bteMyPaiBak.empty());
    EXPECT_EQ(table.bteMyPai, Bytes(kMyHand.begin() + 1, kMyHand.end()));
    EXPECT_EQ(table.arrSeat[kMe].btePaiCount, 11);
    EXPECT_EQ(table.udtMaxOutPai, (OutPaiInfo{kMe, kPaiSingle, card(0, 0), 1}));
    EXPECT_TRUE(logged("erase.play 3"));
    EXPECT_EQ(game.clock().clockChair(), 3);  // every client times every play turn

    // East passes; the play to beat stays.
    feed(outPaiPacket({3, {kPassMarker}, 0, kRoundFollow}));
    EXPECT_TRUE(logged("sound 3"));
    EXPECT_EQ(table.udtMaxOutPai.bteChair, kMe);
    EXPECT_EQ(table.arrSeat[3].btePaiCount, 12);

    // North plays the other red ace alone: it is seen, then a three-of-a-kind bomb by west.
    feed(outPaiPacket({0, {76}, 1, kRoundFollow}));
    EXPECT_EQ(table.arrSeat[0].bteLiang, 2);
    log.clear();
    bool lockedDuringBomb = false;
    scene.onBomb = [&](std::uint8_t, std::uint8_t) {
        lockedDuringBomb = table.blnBombShow && loop.waiter().holdingPackets();
    };
    feed(outPaiPacket({1, {card(2, 0), card(2, 1), card(2, 2)}, kMe, kRoundFollow}));
    EXPECT_TRUE(lockedDuringBomb);
    EXPECT_FALSE(table.blnBombShow);
    EXPECT_LT(indexOf("paint.play 1"), indexOf("bomb 1 1"));
    EXPECT_TRUE(logged("sound 5"));
    EXPECT_EQ(table.arrSeat[1].btePaiCount, 9);
    EXPECT_EQ(table.bteOutBut, (std::array<std::uint8_t, 3>{1, 1, 1}));

    // The local player answers with four 4s; the server says the trick is won,
    // with the trick flag.
    sender.packets.clear();
    select({1, 2, 3, 4});
    game.actions().playAction(kPlaySelection);
    const Bytes fours = {card(1, 0), card(1, 1), card(1, 2), card(1, 3)};
    ASSERT_EQ(sender.packets, (std::vector<Bytes>{myPlayPacket(kMe, fours)}));
    const std::int64_t before = loop.clock().nowMs();
    bool centreKeptDuringPause = true;
    loop.onStep = [&] { centreKeptDuringPause &= table.arrSeat[1].bteOutPai.size() == 3; };
    log.clear();
    feed(outPaiPacket({kMe, fours, kMe, kRoundLead, 1}));
    loop.onStep = nullptr;
    EXPECT_GE(loop.clock().nowMs() - before, 2000);
    EXPECT_TRUE(centreKeptDuringPause);
    EXPECT_EQ(table.arrSeat[1].bteLastOutPai, (Bytes{card(2, 0), card(2, 1), card(2, 2)}));
    EXPECT_TRUE(table.arrSeat[1].bteOutPai.empty());
    EXPECT_EQ(table.arrSeat[kMe].bteLastOutPai, fours);
    // After the flag's animation the winner keeps only the representative card.
    EXPECT_EQ(table.arrSeat[kMe].bteOutPai, (Bytes{card(1, 0)}));
    EXPECT_LT(indexOf("bomb 2 1"), indexOf("paint.centre"));
    EXPECT_LT(indexOf("paint.centre"), indexOf("bomb 2 2"));
    EXPECT_EQ(table.bteMyPai.size(), 7u);

    // A lead that is no play is refused locally, without a packet.
    sender.packets.clear();
    select({1, 2});  // 8 and 9
    game.actions().playAction(kPlaySelection);
    EXPECT_TRUE(sender.packets.empty());
    EXPECT_TRUE(logged("box.1 g0 krvo 10 出牌错误：牌型不对！"));
    EXPECT_EQ(table.bteSelected, (Bytes{1, 1, 0, 0, 0, 0, 0}));

    // Q-K-A goes out and the server refuses it: the hand comes back.
    const Bytes handBefore = table.bteMyPai;
    select({4, 5, 6});
    game.actions().playAction(kPlaySelection);
    ASSERT_EQ(sender.packets.size(), 1u);
    EXPECT_EQ(table.bteMyPai.size(), 4u);
    feed(Bytes{22, 'n', 'o'});
    EXPECT_TRUE(logged("box.1 g0 krvo 10 no"));
    EXPECT_EQ(table.bteMyPai, handBefore);
    EXPECT_TRUE(table.bteMyPaiBak.empty());
    EXPECT_TRUE(table.arrSeat[kMe].bteOutPai.empty());
    EXPECT_EQ(table.bteOutBut, (std::array<std::uint8_t, 3>{1, 0, 0}));

    // The round ends with signed scores and the other hands revealed.
    log.clear();
    feed(Bytes{23,   1,          0,          0, 0,          10,   0xFF, 0xFF, 0xFF,
               0xFB, 0,          0,          0, 0,          0xFF, 0xFF, 0xFF, 0xFB,
               2,    card(3, 0), card(4, 0), 1, card(7, 2), 2,    1,    2,    0});
    EXPECT_EQ(table.lngRoundScore, (std::array<std::int32_t, 4>{10, -5, 0, -5}));
    EXPECT_EQ(table.lngTotalScore, (std::array<std::int32_t, 4>{10, -5, 0, -5}));
    EXPECT_TRUE(logged("chat.system west：-5"));
    EXPECT_EQ(table.arrSeat[0].bteLeftPai, (Bytes{card(3, 0), card(4, 0)}));
    EXPECT_EQ(table.arrSeat[1].bteLeftPai, (Bytes{card(7, 2)}));
    EXPECT_TRUE(table.arrSeat[kMe].bteLeftPai.empty());
    EXPECT_TRUE(table.arrSeat[3].bteLeftPai.empty());
    EXPECT_EQ(table.blnShowOtherPai, 1);
    EXPECT_TRUE(logged("paint.result 10 -5 0 -5"));
    EXPECT_TRUE(logged("sound 7"));
    EXPECT_TRUE(pub.blnCanStart);
    EXPECT_TRUE(startButton.widget()->isVisibleTo(&surface));
    EXPECT_EQ(game.startButton().countdown(), kStartCountdownSeconds);
    EXPECT_FALSE(koClock.running());
}

TEST_F(GameHandlerTest, RoundStartOfAnotherSizeResetsButKeepsDefaults) {
    pub.bteGameState = 0;
    table.arrSeat[1].blnReady = true;
    feed(Bytes{17, 0, 0, 3});
    EXPECT_EQ(sender.packets, (std::vector<Bytes>{{130, 1}}));
    EXPECT_EQ(pub.bteGameState, 1);
    EXPECT_FALSE(table.blnNoGame);
    EXPECT_FALSE(table.arrSeat[1].blnReady);
    EXPECT_EQ(table.bteAutoPlayLimit, 5);
    EXPECT_EQ(table.btePlayTime, 30);
}

TEST_F(GameHandlerTest, EmptyHandOnTheLocalTurnIsAskedFor) {
    startPlaying({card(0, 0)});
    feed(outPaiPacket({kMe, {card(0, 0)}, 3, kRoundFollow}));
    sender.packets.clear();
    feed(outPaiPacket({3, {card(2, 1)}, kMe, kRoundFollow}));
    EXPECT_EQ(sender.packets, (std::vector<Bytes>{{2, 0, kMe}}));
    EXPECT_EQ(table.bteOutBut, (std::array<std::uint8_t, 3>{0, 0, 0}));

    feed(Bytes{2, 0, 2, card(4, 0), card(5, 0)});
    EXPECT_EQ(table.bteMyPai, (Bytes{card(4, 0), card(5, 0)}));
    EXPECT_EQ(table.arrSeat[kMe].btePaiCount, 2);
    EXPECT_EQ(table.bteOutBut, (std::array<std::uint8_t, 3>{1, 1, 1}));
}

TEST_F(GameHandlerTest, PassWithTrickFlagLeavesTheFreshRecordAndOnlyItsCard) {
    startPlaying(kMyHand, 0);
    feed(outPaiPacket({0, {card(9, 2)}, 1, kRoundFollow}));
    feed(outPaiPacket({1, {kPassMarker}, 3, kRoundFollow, 1}));
    EXPECT_EQ(table.udtMaxOutPai, (OutPaiInfo{0, kPaiSingle, 0, 1}));
    EXPECT_EQ(table.arrSeat[0].bteOutPai, (Bytes{0}));
    EXPECT_TRUE(logged("bomb 0 2"));
}

TEST_F(GameHandlerTest, PlaysArrivingDuringTheTrickPauseLeadTheNextTrickInOrder) {
    startPlaying(kMyHand, 0);
    feedHoldingArrivals(outPaiPacket({0, {card(9, 2)}, 1, kRoundLead}),
                        {outPaiPacket({1, {card(3, 1)}, 3, kRoundFollow}),
                         outPaiPacket({3, {card(4, 1)}, kMe, kRoundFollow})});
    EXPECT_EQ(table.arrSeat[0].bteLastOutPai, (Bytes{card(9, 2)}));
    EXPECT_EQ(table.arrSeat[1].bteOutPai, (Bytes{card(3, 1)}));
    EXPECT_EQ(table.arrSeat[3].bteOutPai, (Bytes{card(4, 1)}));
    EXPECT_EQ(table.udtMaxOutPai, (OutPaiInfo{3, kPaiSingle, card(4, 1), 1}));
    EXPECT_EQ(table.bteOutBut, (std::array<std::uint8_t, 3>{1, 1, 1}));
}

TEST_F(GameHandlerTest, ProgramEndingDuringTheTrickPauseStopsTheHandler) {
    startPlaying(kMyHand, 0);
    loop.onStep = [&] { loop.endRequested = true; };
    feed(outPaiPacket({0, {card(9, 2)}, 1, kRoundLead}));
    EXPECT_EQ(loop.endings, 1);
    EXPECT_EQ(table.arrSeat[0].bteOutPai, (Bytes{card(9, 2)}));
    EXPECT_FALSE(logged("paint.centre"));
    EXPECT_FALSE(koClock.running());
}

TEST_F(GameHandlerTest, OnlookerRoundEndWaitsThenResets) {
    pub.blnIsOnlooker = true;
    feed(roundStartPacket({}));
    EXPECT_TRUE(sender.packets.empty());  // onlookers do not acknowledge
    feed(dealPacket(kMyHand));
    EXPECT_TRUE(table.blnShowWait);
    const std::int64_t before = loop.clock().nowMs();
    feed(Bytes{23, 0, 0, 0, 0, 0});
    EXPECT_GE(loop.clock().nowMs() - before, 5000);
    EXPECT_TRUE(table.blnNoGame);
    EXPECT_TRUE(table.bteMyPai.empty());
    EXPECT_FALSE(pub.blnCanStart);
    EXPECT_EQ(log.back(), "paint.table");
}

TEST_F(GameHandlerTest, OnlookersNextRoundArrivingDuringTheResultPauseSurvivesTheReset) {
    pub.blnIsOnlooker = true;
    feed(roundStartPacket({}));
    feed(dealPacket(kMyHand));
    feedHoldingArrivals(Bytes{23, 0, 0, 0, 0, 0}, {roundStartPacket({.playTime = 20})});
    EXPECT_FALSE(table.blnNoGame);
    EXPECT_EQ(table.btePlayTime, 20);
}

TEST_F(GameHandlerTest, ShortRoundEndShowsTheNoticeAndStillEndsTheRound) {
    startPlaying(kMyHand);
    feed(Bytes{23, 1, 0, 0, 0, 10, 0, 0});  // scores cut short
    EXPECT_TRUE(logged("box.1 g0 krvo 10 本局游戏结束!"));
    EXPECT_EQ(table.lngTotalScore, (std::array<std::int32_t, 4>{}));
    EXPECT_TRUE(pub.blnCanStart);
    EXPECT_FALSE(koClock.running());
}

TEST_F(GameHandlerTest, HandUpSeeCardsAndUnknownMessages) {
    feed(Bytes{18, 3});
    EXPECT_TRUE(table.arrSeat[3].blnReady);
    EXPECT_TRUE(logged("paint.ready 3"));
    feed(Bytes{18, 4});  // no such chair
    feed(Bytes{113, 0, 0});
    EXPECT_EQ(table.blnCanSeeMyPai, 1);  // only onlookers depend on permission
    pub.blnIsOnlooker = true;
    feed(Bytes{113, 0, 0});
    EXPECT_EQ(table.blnCanSeeMyPai, 0);
    feed(Bytes{99, 1, 2});
    feed(Bytes{});
    EXPECT_TRUE(sender.packets.empty());
}

// Every message cut at every length: nothing read past its end (the sanitizer
// watches), and a message ignored for its size changes nothing at all.
TEST_F(GameHandlerTest, TruncatedMessagesAreIgnoredWholeOrReadOnlyAsFarAsTheyGo) {
    startPlaying(kMyHand, 0);
    const std::vector<Bytes> whole = {
        {2, 0, 3, card(4, 0), card(5, 0), card(6, 0)},
        {18, 1},
        dealPacket(kMyHand),
        declarePacket(1, 0, 1, 1, 3, 1, {3, 2, 1, 1}),
        outPaiPacket({0, {card(9, 2), card(9, 3)}, 1, kRoundFollow, 1, 1}),
        {113, 0, 1},
    };
    for (const Bytes& message : whole) {
        for (std::size_t length = 0; length < message.size(); ++length) {
            SCOPED_TRACE(::testing::Message() << int{message[0]} << " cut to " << length);
            const TableState before = table;
            feed(Bytes(message.begin(), message.begin() + static_cast<std::ptrdiff_t>(length)));
            EXPECT_TRUE(table == before);
            EXPECT_TRUE(sender.packets.empty());
        }
        // One byte too many is no better.
        Bytes longer = message;
        longer.push_back(0);
        const TableState before = table;
        if (message[0] != GMSG_MY_PAI) {
            feed(longer);
            EXPECT_TRUE(table == before) << int{message[0]};
        }
    }
    const std::vector<Bytes> partial = {
        roundStartPacket({}),
        {22, 'x', 'y'},
        {23, 1, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 2, 1, 2, 1, 5, 0, 0},
    };
    for (const Bytes& message : partial) {
        for (std::size_t length = 1; length < message.size(); ++length) {
            feed(Bytes(message.begin(), message.begin() + static_cast<std::ptrdiff_t>(length)));
        }
    }
    // The round end cut inside the hands keeps the complete ones only.
    table.arrSeat[0].bteLeftPai.clear();
    table.arrSeat[1].bteLeftPai.clear();
    const Bytes& end = partial[2];
    feed(Bytes(end.begin(), end.begin() + 22));
    EXPECT_EQ(table.arrSeat[0].bteLeftPai, (Bytes{1, 2}));
    EXPECT_TRUE(table.arrSeat[1].bteLeftPai.empty());
}

}  // namespace
}  // namespace krvo::testing
