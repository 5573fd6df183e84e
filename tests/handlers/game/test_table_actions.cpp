#include <gtest/gtest.h>

#include <QPushButton>

#include "handlers/game/game_table_fixture.h"

namespace krvo::testing {
namespace {

using TableActionsTest = GameTableTest;

TEST_F(TableActionsTest, HintWalksFromTheCheapestPlayUpAndAround) {
    // K, K, 9, 6 against a single 5: one king, then the 9, then the 6.
    const Bytes hand = {card(10, 0), card(10, 1), card(6, 2), card(3, 3)};
    startPlaying(hand, 1);
    feed(outPaiPacket({1, {card(2, 0)}, kMe, kRoundFollow}));
    const auto hinted = [&] {
        game.actions().playAction(kPlayHint);
        return table.bteSelected;
    };
    EXPECT_EQ(hinted(), (Bytes{0, 0, 0, 1}));
    EXPECT_EQ(table.bteSelectPai, (Bytes{card(3, 3)}));
    EXPECT_EQ(hinted(), (Bytes{0, 0, 1, 0}));
    EXPECT_EQ(hinted(), (Bytes{1, 0, 0, 0}));
    EXPECT_EQ(hinted(), (Bytes{0, 0, 0, 1}));
    EXPECT_TRUE(sender.packets.empty());

    // Playing drops the list; the hinted card goes out.
    game.actions().playAction(kPlaySelection);
    EXPECT_EQ(table.tipList.lngTipCount, 0);
    EXPECT_EQ(sender.packets, (std::vector<Bytes>{myPlayPacket(kMe, {card(3, 3)})}));
}

TEST_F(TableActionsTest, HintAgainstTheRedAcePairPassesAtOnce) {
    startPlaying({card(11, 1), card(11, 2), card(4, 0)}, 1);
    feed(outPaiPacket({1, {63, 76}, kMe, kRoundFollow}));
    EXPECT_TRUE(logged("bomb 1 2"));
    game.actions().playAction(kPlayHint);
    EXPECT_EQ(sender.packets, (std::vector<Bytes>{myPlayPacket(kMe, {kPassMarker})}));
    EXPECT_EQ(table.bteOutBut, (std::array<std::uint8_t, 3>{0, 0, 0}));
    EXPECT_FALSE(koClock.running());
}

TEST_F(TableActionsTest, RefusedFollowKeepsHandSelectionAndClock) {
    startPlaying({card(4, 0), card(4, 1), card(9, 0)}, 1);
    feed(outPaiPacket({1, {card(6, 0), card(6, 1)}, kMe, kRoundFollow}));
    select({1, 2});
    game.actions().playAction(kPlaySelection);  // a pair of 7s does not beat 9s
    EXPECT_TRUE(logged("box.1 g0 krvo 10 出牌错误：你出牌必须比上一家出牌还要大！"));
    EXPECT_TRUE(sender.packets.empty());
    EXPECT_TRUE(table.bteSelectPai.empty());
    EXPECT_EQ(table.bteSelected, (Bytes{1, 1, 0}));
    EXPECT_EQ(table.bteMyPai.size(), 3u);
    EXPECT_TRUE(koClock.running());
}

TEST_F(TableActionsTest, ActionsOutsideTheOwnTurnOrByOnlookersSendNothing) {
    startPlaying({card(4, 0), card(9, 0)}, 1);
    select({1});
    game.actions().playAction(kPlaySelection);
    game.actions().playAction(kPlayPass);
    game.actions().rightClick();
    EXPECT_TRUE(sender.packets.empty());

    feed(outPaiPacket({1, {card(2, 0)}, kMe, kRoundFollow}));
    table.blnBombShow = true;
    table.bteOutBut[kPlaySelection] = kButtonHover;
    game.actions().clickPlayButton(kPlaySelection);
    game.actions().rightClick();
    EXPECT_TRUE(sender.packets.empty());
    table.blnBombShow = false;
    game.actions().rightClick();
    EXPECT_EQ(sender.packets, (std::vector<Bytes>{myPlayPacket(kMe, {card(4, 0)})}));

    pub.blnIsOnlooker = true;
    EXPECT_FALSE(game.actions().toggleCard(1));
    game.actions().sendAnswer(1);
    EXPECT_EQ(sender.packets.size(), 1u);
}

TEST_F(TableActionsTest, PlayButtonsActOnlyWhenHighlighted) {
    startPlaying({card(4, 0), card(9, 0)}, 1);
    feed(outPaiPacket({1, {card(2, 0)}, kMe, kRoundFollow}));
    for (const std::uint8_t state : {kButtonHidden, kButtonShown, kButtonHover}) {
        table.bteOutBut = {kButtonShown, state, kButtonShown};
        game.actions().clickPlayButton(kPlayPass);
        EXPECT_EQ(sender.packets.size(), state == kButtonHover ? 1u : 0u) << int{state};
    }
    EXPECT_EQ(sender.packets, (std::vector<Bytes>{myPlayPacket(kMe, {kPassMarker})}));
}

TEST_F(TableActionsTest, AnswersCarryTheKindOfTheState) {
    const std::pair<std::uint8_t, std::uint8_t> kinds[] = {{1, 0}, {2, 0}, {3, 1}, {4, 4},
                                                           {5, 2}, {6, 2}, {7, 3}, {8, 3}};
    for (const auto& [state, kind] : kinds) {
        table.bteRoundState = state;
        game.actions().sendAnswer(state % 2);
        EXPECT_EQ(sender.packets.back(), (Bytes{20, kind, kMe, static_cast<std::uint8_t>(state % 2),
                                                0, 0, 0, 0, 0, 0, 0}));
    }
    table.bteRoundState = kRoundLead;
    game.actions().sendAnswer(1);
    EXPECT_EQ(sender.packets.size(), 8u);
}

TEST_F(TableActionsTest, SortingAlternatesAndLeavesTheRaisedPositions) {
    startPlaying({card(0, 0), 63, card(10, 0), card(10, 2), card(5, 1)}, 1);
    select({1});
    game.actions().sortHand();
    EXPECT_EQ(table.bteMyPai, (Bytes{63, card(10, 0), card(10, 2), card(5, 1), card(0, 0)}));
    EXPECT_EQ(table.bteSelected, (Bytes{1, 0, 0, 0, 0}));
    game.actions().sortHand();
    EXPECT_EQ(table.bteMyPai.front(), 63);
    EXPECT_EQ(table.bteMyPai.back(), card(0, 0));
    EXPECT_FALSE(table.blnSortFlag);

    game.actions().toggleCard(1);
    game.actions().toggleCard(9);  // beyond the hand
    EXPECT_EQ(table.bteSelected, (Bytes{0, 0, 0, 0, 0}));
    EXPECT_TRUE(logged("paint.toggled 1"));
}

TEST_F(TableActionsTest, PreviousTrickStaysTwoTicksAndRestartsWhenAskedAgain) {
    game.actions().showPreviousTrick();
    EXPECT_TRUE(logged("paint.centre previous"));
    advance(1000);
    game.actions().showPreviousTrick();
    advance(1000);
    EXPECT_FALSE(logged("paint.centre"));
    advance(1000);
    EXPECT_EQ(log.end()[-2], "paint.centre");
    EXPECT_EQ(log.back(), "paint.playButtons");
    advance(5000);
    EXPECT_EQ(countOf("paint.centre"), 1);
}

TEST_F(TableActionsTest, FirstPlayerMarkBlinksFourTicksThenTheTableIsRepainted) {
    feed(roundStartPacket({.firstChair = 3, .announceFirst = 1}));
    feed(dealPacket(Bytes(12, card(0, 0))));
    EXPECT_TRUE(logged("chat.system east 有红桃3，先出牌！"));
    log.clear();
    advance(3000);
    EXPECT_EQ(countOf("paint.firstPlayer 3"), 3);
    EXPECT_FALSE(logged("paint.table"));
    advance(1000);
    EXPECT_EQ(countOf("paint.firstPlayer 3"), 4);
    EXPECT_EQ(log[indexOf("paint.table") - 1], "paint.firstPlayer 3");
    EXPECT_FALSE(game.actions().firstPlayerMarkRunning());
}

TEST_F(TableActionsTest, StartCountdownWaitsForSomebodyReadyThenEndsTheGame) {
    game.startButton().putUp();
    QPushButton& button = *startButton.widget();
    EXPECT_TRUE(button.isVisibleTo(&surface));
    advance(30000);
    EXPECT_EQ(button.text(), "可以开始");
    table.arrSeat[0].blnReady = true;
    advance(1000);
    EXPECT_EQ(button.text(), "可以开始 19");
    // Once counting, it goes on even if nobody is ready any more.
    table.arrSeat[0].blnReady = false;
    advance(18000);
    EXPECT_EQ(closes, 0);
    advance(1000);
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(game.startButton().countdownRunning());

    // Raised again while stopped: a fresh 20 seconds that waits again.
    game.startButton().putUp();
    EXPECT_EQ(game.startButton().countdown(), kStartCountdownSeconds);
    EXPECT_EQ(button.text(), "可以开始");

    pub.blnIsOnlooker = true;
    game.startButton().putUp();
    EXPECT_FALSE(pub.blnCanStart);
    EXPECT_FALSE(button.isVisibleTo(&surface));
}

TEST_F(TableActionsTest, StartClickGetsReadyOrAgreesToTheSettings) {
    startPlaying({card(0, 0)}, 1);
    table.arrSeat[1].blnReady = true;
    game.startButton().putUp();
    startButton.widget()->click();
    EXPECT_EQ(sender.packets, (std::vector<Bytes>{{18, kMe}}));
    EXPECT_TRUE(table.arrSeat[1].blnReady);  // ready flags survive this reset
    EXPECT_TRUE(table.bteMyPai.empty());
    EXPECT_FALSE(pub.blnCanStart);
    EXPECT_FALSE(koClock.running());
    EXPECT_TRUE(logged("paint.table"));

    sender.packets.clear();
    pub.bteGameState = 0;
    game.startButton().putUp();
    game.startButton().pressStart();
    EXPECT_EQ(sender.packets, (std::vector<Bytes>{{112, 1, 'm', 'e'}}));
}

TEST_F(TableActionsTest, IdleTableOffersStartOnlyToAPlayerNotReady) {
    table.bteRoundState = kRoundNone;
    game.refreshAction();
    EXPECT_TRUE(pub.blnCanStart);
    table.arrSeat[kMe].blnReady = true;
    game.refreshAction();
    EXPECT_FALSE(pub.blnCanStart);
    table.bteRoundState = kRoundBetween;
    log.clear();
    game.refreshAction();
    EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace krvo::testing
