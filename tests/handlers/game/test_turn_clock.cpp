#include <gtest/gtest.h>

#include "handlers/game/game_table_fixture.h"

namespace krvo::testing {
namespace {

const Bytes kHand = {card(0, 0), card(3, 1), card(3, 2), card(7, 0), card(10, 3)};

using TurnClockTest = GameTableTest;

TEST_F(TurnClockTest, CountdownTicksWarnsAndRunsOut) {
    KoClock bar(loop.clock());
    int ticks = 0, warnings = 0, timeOuts = 0;
    QObject::connect(&bar, &KoClock::ticked, [&] { ++ticks; });
    QObject::connect(&bar, &KoClock::warned, [&] {
        ++warnings;
        EXPECT_EQ(bar.secondsLeft(), 5);
    });
    QObject::connect(&bar, &KoClock::timedOut, [&] { ++timeOuts; });
    bar.start(5, 8);
    advance(7999);
    EXPECT_EQ(ticks, 7);
    EXPECT_EQ(warnings, 1);
    EXPECT_EQ(timeOuts, 0);
    advance(1);
    EXPECT_EQ(ticks, 8);
    EXPECT_EQ(timeOuts, 1);
    EXPECT_FALSE(bar.running());
    advance(5000);
    EXPECT_EQ(ticks, 8);

    // Restarting begins a new countdown with a new warning.
    bar.start(5, 6);
    advance(3000);
    bar.start(5, 6);
    advance(6000);
    EXPECT_EQ(warnings, 3);
    EXPECT_EQ(timeOuts, 2);
}

TEST_F(TurnClockTest, ClockDrawsEachTickAndWarnsWithASound) {
    startPlaying(kHand, 1);
    EXPECT_EQ(game.clock().clockChair(), 1);
    advance(3000);
    EXPECT_EQ(game.clock().lngClockTicks(), 3);
    EXPECT_TRUE(logged("paint.clock 1 3"));
    advance(22000);
    EXPECT_EQ(countOf("sound 6"), 1);

    settings.bteSoundOn = 0;
    game.stopClock();
    EXPECT_TRUE(logged("erase.clock 1"));
    EXPECT_EQ(game.clock().clockChair(), 100);
    game.clock().startClock(1);
    advance(26000);
    EXPECT_EQ(countOf("sound 6"), 1);  // sounds off
    game.clock().startClock(4);        // no such chair: ignored
    EXPECT_EQ(game.clock().clockChair(), 1);
}

TEST_F(TurnClockTest, DeclarationTimeOutDeclinesWithoutCounting) {
    feed(roundStartPacket({.declareTime = 15}));
    feed(dealPacket(Bytes(12, card(0, 0))));
    advance(14999);
    EXPECT_TRUE(sender.packets.size() == 1);  // only the acknowledgement of the start
    sender.packets.clear();
    advance(15000);
    EXPECT_EQ(sender.packets, (std::vector<Bytes>{{20, 0, kMe, 0, 0, 0, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(table.bteAutoPlayCount, 0);
    EXPECT_EQ(table.bteLiangBut, (std::array<std::uint8_t, 2>{0, 0}));
}

TEST_F(TurnClockTest, LeadTimeOutPlaysTheLastCardInScreenOrder) {
    startPlaying(kHand);
    game.actions().sortHand();  // by groups: the lowest single goes last
    ASSERT_EQ(table.bteMyPai.back(), card(0, 0));
    advance(30000);
    EXPECT_EQ(sender.packets, (std::vector<Bytes>{myPlayPacket(kMe, {card(0, 0)})}));
    EXPECT_EQ(table.bteMyPai.size(), kHand.size());  // the server's report removes it
    EXPECT_EQ(table.bteOutBut, (std::array<std::uint8_t, 3>{0, 0, 0}));
    EXPECT_EQ(table.bteAutoPlayCount, 1);
    EXPECT_EQ(game.clock().clockChair(), 100);
}

TEST_F(TurnClockTest, AutomaticPlaysAreWarnedOnceAndEndTheGameAtTheLimit) {
    startPlaying(kHand, 1);
    for (int turn = 1; turn <= 5; ++turn) {
        SCOPED_TRACE(turn);
        feed(outPaiPacket({1, {card(2, 0)}, kMe, kRoundFollow}));
        table.tipList.lngTipCount = 3;
        sender.packets.clear();
        advance(30000);
        EXPECT_EQ(sender.packets, (std::vector<Bytes>{myPlayPacket(kMe, {kPassMarker})}));
        EXPECT_EQ(table.tipList.lngTipCount, 0);
        EXPECT_EQ(closes, turn == 5 ? 1 : 0);
    }
    EXPECT_EQ(countOf("box.1 g0 系统提示 10 注意：系统帮你自动出牌的次数累计已达 4 "
                      "次，再出现一次就算你逃跑！"),
              1);
    EXPECT_EQ(countOf("box.1 g0 系统提示 10 注意：系统帮你自动出牌的次数累计已达 5 "
                      "次，现在算你逃跑！"),
              1);
    EXPECT_EQ(countOf("box.1 g0 系统提示 10 注意：系统帮你自动出牌的次数累计已达 3 "
                      "次，再出现一次就算你逃跑！"),
              0);
}

TEST_F(TurnClockTest, LimitOfOneEndsTheGameAtTheFirstAutomaticPlay) {
    startPlaying(kHand, kMe, {.autoPlayLimit = 1});
    advance(30000);
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(
        logged("box.1 g0 系统提示 10 注意：系统帮你自动出牌的次数累计已达 1 次，现在算你逃跑！"));
}

TEST_F(TurnClockTest, NothingIsPlayedAutomaticallyOnceTheLimitIsReached) {
    startPlaying(kHand, 1, {.autoPlayLimit = 1});
    feed(outPaiPacket({1, {card(2, 0)}, kMe, kRoundFollow}));
    advance(30000);
    EXPECT_EQ(closes, 1);
    sender.packets.clear();
    // The notice is still up (the window not yet gone) when the next turn runs out.
    feed(outPaiPacket({1, {card(2, 1)}, kMe, kRoundFollow}));
    advance(30000);
    EXPECT_TRUE(sender.packets.empty());
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(table.bteAutoPlayCount, 1);
}

TEST_F(TurnClockTest, TimeOutOfAnotherChairOrOnAnOnlookerChangesNothingButTheClock) {
    startPlaying(kHand, 1);
    advance(30000);
    EXPECT_TRUE(sender.packets.empty());
    EXPECT_EQ(table.bteAutoPlayCount, 0);
    EXPECT_FALSE(koClock.running());

    pub.blnIsOnlooker = true;
    table.bteCurChair = kMe;
    game.clock().startClock(kMe);
    advance(30000);
    EXPECT_TRUE(sender.packets.empty());
    EXPECT_EQ(game.clock().clockChair(), 100);
}

TEST_F(TurnClockTest, ProgramEndingInTheWarningBoxDoesNotCloseAgain) {
    startPlaying(kHand, kMe, {.autoPlayLimit = 1});
    boxes.answerYes = true;
    loop.endRequested = true;
    loop.waiter().pumpEvents();  // the program is ending
    advance(30000);
    EXPECT_EQ(closes, 0);
}

}  // namespace
}  // namespace krvo::testing
