// The client's game side against a scripted room server: acknowledgements,
// automatic play on time-outs, the hand request, leave votes and the runaway
// limit, all byte for byte.

#include "support/scripted_server.h"

namespace krvo {
namespace {

using testing::message;

// A round start of 20 bytes: the limit of automatic plays, one deck, one
// second on the clock for everything, first turn and state, no leave requests.
Packet roundStart(std::uint8_t autoPlayLimit, std::uint8_t chair, std::uint8_t state) {
    Packet p(20, 0);
    p[0] = 17;
    p[3] = autoPlayLimit;
    p[11] = 1;
    p[13] = 1;
    p[14] = 1;
    p[15] = chair;
    p[16] = state;
    return p;
}

Packet deal() {
    Packet p{19, 0};
    for (std::uint8_t card : {63, 24, 37, 10, 9, 8, 7, 6, 5, 4, 3, 2}) p.push_back(card);
    return p;
}

// A declaration answer moving the round on to `next` with `state`.
Packet declare(std::uint8_t chair, std::uint8_t next, std::uint8_t state) {
    return Packet{20, 0, chair, 0, next, state, 0, 0, 0, 0, 0};
}

Packet played(std::uint8_t chair, std::uint8_t next, std::uint8_t state, std::uint8_t card) {
    return Packet{21, 0, next, state, 0, 0, chair, 1, card};
}

class TableGameTest : public testing::ScriptedServerTest {
protected:
    void startRound(std::uint8_t limit, std::uint8_t state, std::uint8_t turn = 0) {
        seatEveryone();
        deliver(roundStart(limit, turn, state));
        EXPECT_EQ(nextPacket(), (Packet{130, 1}));
        EXPECT_EQ(nextPacket(), (Packet{19, 0}));
        deliver(deal());
    }
    // Lets the turn clock run out.
    void runClockOut() {
        for (int i = 0; i < 25; ++i) {
            clock.advance(100);
            QCoreApplication::processEvents();
        }
    }
};

TEST_F(TableGameTest, TimeOutsDeclineLeadAndPass) {
    startRound(5, 1);
    runClockOut();
    EXPECT_EQ(nextPacket(), (Packet{20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    deliver(declare(0, 0, 9));  // the declarations are over; we lead
    runClockOut();
    EXPECT_EQ(nextPacket(), (Packet{21, 0, 0, 0, 0, 0, 0, 1, 2}));  // the last card of the hand

    deliver(played(0, 1, 10, 2));
    deliver(played(1, 0, 10, 30));  // chair 1 beats it; we must follow
    runClockOut();
    EXPECT_EQ(nextPacket(), (Packet{21, 0, 0, 0, 0, 0, 0, 1, 254}));
    EXPECT_EQ(app->table().bteAutoPlayCount, 2);
}

TEST_F(TableGameTest, AnEmptyHandAsksForTheHand) {
    seatEveryone();
    deliver(roundStart(5, 0, 1));
    EXPECT_EQ(nextPacket(), (Packet{130, 1}));
    EXPECT_EQ(nextPacket(), (Packet{19, 0}));
    deliver(declare(0, 0, 9));
    EXPECT_EQ(nextPacket(), (Packet{2, 0, 0}));
}

TEST_F(TableGameTest, AnotherPlayersLeaveRequestIsAgreedWhenTheBoxTimesOut) {
    startRound(5, 1, 2);  // chair 2 is to declare, so our clock does not run
    Packet request{24, 0, 1};
    for (char c : std::string("null")) request.push_back(static_cast<std::uint8_t>(c));
    send(request);
    EXPECT_EQ(nextPacket(), (Packet{24, 1, 0, 1}));
}

TEST_F(TableGameTest, TheFifthAutomaticPlayLeavesTheTable) {
    startRound(5, 9);
    deliver(declare(0, 0, 9));
    for (int play = 1; play <= 5 && !app->ended(); ++play) {
        runClockOut();
        const Packet sent = nextPacket();
        ASSERT_EQ(sent.size(), 9u) << "play " << play;
        EXPECT_EQ(sent[0], 21);
        if (play < 5) deliver(played(0, 0, 9, sent[8]));  // we won the trick and lead again
    }
    // The warning at four plays and the final notice answer themselves.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            clock.advance(100);
            return app->ended();
        },
        testing::kLimitMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return peer->state() != QAbstractSocket::ConnectedState; },
                                testing::kLimitMs));
}

}  // namespace
}  // namespace krvo
