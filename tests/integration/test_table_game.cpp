// The client's game side against a scripted room server: acknowledgements,
// automatic play on time-outs, the hand request, leave votes, the runaway
// limit and the packets held over a pause, all byte for byte.

#include <QKeyEvent>
#include <functional>
#include <iostream>
#include <sstream>

#include "support/game_packets.h"
#include "support/scripted_server.h"

namespace krvo {
namespace {

using testing::message;

using testing::roundStartPacket;

// A round start with one deck and one second on the clock for everything: the
// limit of automatic plays, first turn and state, no leave requests.
Packet roundStart(std::uint8_t autoPlayLimit, std::uint8_t chair, std::uint8_t state) {
    return roundStartPacket({.autoPlayLimit = autoPlayLimit,
                             .declareTime = 1,
                             .playTime = 1,
                             .curChair = chair,
                             .state = state,
                             .firstChair = 0,
                             .announceFirst = 0,
                             .maxLeave = 0});
}

Packet deal() {
    return testing::dealPacket({63, 24, 37, 10, 9, 8, 7, 6, 5, 4, 3, 2});
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
    // One write: the later packets come in while the first is being handled.
    void sendTogether(std::initializer_list<Packet> packets) {
        QByteArray bytes;
        for (const Packet& packet : packets) {
            const std::vector<std::uint8_t> frame = EncodeFrame(packet);
            bytes.append(reinterpret_cast<const char*>(frame.data()),
                         static_cast<qsizetype>(frame.size()));
        }
        peer->write(bytes);
        peer->flush();
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

// Chair 1 wins the trick and holds the trick flag; chairs 2 and 3 play pairs
// while the client pauses over the won trick. They come after the pause and
// after the flag, in order.
TEST_F(TableGameTest, PlaysArrivingDuringTheTrickPauseFollowItInOrder) {
    startRound(5, kRoundLead, 1);
    sendTogether({{21, 0, 2, kRoundLead, 1, 0, 1, 1, 30},
                  {21, 0, 3, kRoundFollow, 0, 0, 2, 2, 31, 44},
                  {21, 0, 0, kRoundFollow, 0, 0, 3, 2, 32, 45}});
    const TableState& table = app->table();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return table.bteRoundState == kRoundFollow && table.bteCurChair == 0; },
        testing::kLimitMs));
    EXPECT_EQ(table.arrSeat[1].bteOutPai, (CardList{30}));
    EXPECT_EQ(table.arrSeat[2].bteOutPai, (CardList{31, 44}));
    EXPECT_EQ(table.arrSeat[3].bteOutPai, (CardList{32, 45}));
    EXPECT_EQ(table.udtMaxOutPai.bteChair, 3);
    EXPECT_EQ(table.udtMaxOutPai.btePaiType, kPaiPair);
}

// Only the network waits: a timer fires in the pause and the key it posts
// sends a chat line at once.
TEST_F(TableGameTest, ThePauseHoldsOnlyTheNetwork) {
    startRound(5, kRoundLead, 1);
    QLineEdit* input = app->mainWindow()->chatPane().input();
    input->setText(QStringLiteral("hi"));
    const auto typing = clock.createTimer([&] {
        QCoreApplication::postEvent(input, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, {}));
    });
    typing->start(500, true);
    bool sentInPause = false;
    QObject::connect(input, &QLineEdit::returnPressed, input,
                     [&] { sentInPause = app->waiter().holdingPackets(); });
    deliver(played(1, 2, kRoundLead, 30));
    EXPECT_TRUE(sentInPause);
    EXPECT_EQ(nextPacket().at(0), 1);
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

Packet leaveRequest(std::uint8_t requester) {
    return {24, 0, requester, 'n', 'u', 'l', 'l'};
}

// Only the player's answer is a vote: a question that a reset or an agreement
// closes sends nothing, a "no" sends the refusal. Each closed question (from
// chair 3) is followed by one answered "no" (from chair 1), whose refusal must
// be the very next packet.
TEST_F(TableGameTest, LeaveQuestionClosedByTheProgramCastsNoVote) {
    startRound(5, 1, 2);  // chair 2 is to declare, so our clock does not run
    const auto answerNoInASecond = [this] {
        auto timer = clock.createTimer([this] {
            if (MessageBoxWindow* box = boxes().openBox(0)) box->answer(1);
        });
        timer->start(1000, true);
        return timer;
    };
    const std::function<void()> closings[] = {
        [this] {
            sendTogether({leaveRequest(3), message(112, 0, "甲")});
        },
        [this] {
            sendTogether({leaveRequest(3), message(130, 1, "")});
            seatEveryone();
        },
    };
    for (std::size_t way = 0; way < std::size(closings); ++way) {
        SCOPED_TRACE(way);
        closings[way]();
        const auto no = answerNoInASecond();
        send(leaveRequest(1));
        EXPECT_EQ(nextPacket(), (Packet{24, 2, 0, 1}));
    }
}

// Bursts of packets whose handlers wait (boxes, the trick pause) nest no
// deeper than the limit; what comes behind them is handled afterwards, in
// order: here a round start, acknowledged as always.
TEST_F(TableGameTest, BurstsOfWaitingPacketsNestNoDeeperThanTheLimit) {
    struct Burst {
        const char* name;
        Packet packet;
        Packet answer;  // what each packet of the burst makes the client send, if anything
    };
    const Burst bursts[] = {
        {"refusals", {22, 'n', 'o'}, {}},
        {"leave requests", leaveRequest(1), {24, 1, 0, 1}},
        {"trick-winning plays", {21, 0, 2, kRoundLead, 1, 0, 0, 1, 5}, {}},
    };
    constexpr int kCopies = 40;
    startRound(5, 1, 2);
    for (const Burst& burst : bursts) {
        SCOPED_TRACE(burst.name);
        deepestNesting = 0;
        QByteArray bytes;
        for (int copy = 0; copy <= kCopies; ++copy) {
            const std::vector<std::uint8_t> frame =
                EncodeFrame(copy < kCopies ? burst.packet : roundStart(5, 2, 1));
            bytes.append(reinterpret_cast<const char*>(frame.data()),
                         static_cast<qsizetype>(frame.size()));
        }
        peer->write(bytes);
        for (int copy = 0; copy < kCopies && !burst.answer.empty(); ++copy) {
            ASSERT_EQ(nextPacket(), burst.answer) << copy;
        }
        EXPECT_EQ(nextPacket(), (Packet{19, 0}));
        EXPECT_LE(deepestNesting, Waiter::kMaxNestedLoops);
        EXPECT_EQ(app->waiter().nestedLoops(), 0);
    }
}

// A burst too short to count by its size: once its notices nest as deep as
// the limit, they give way, and the round start behind them is answered
// before any notice could have counted down or the packets grown old.
TEST_F(TableGameTest, AShortBurstOfNoticesGivesWayOnceItNestsToTheLimit) {
    startRound(5, 1, 2);
    const Packet refusal{22, 'n', 'o'};
    const std::int64_t start = clock.nowMs();
    sendTogether({refusal, refusal, refusal, refusal, refusal, refusal, roundStart(5, 2, 1)});
    EXPECT_EQ(nextPacket(), (Packet{19, 0}));
    EXPECT_LT(clock.nowMs() - start, 1000);
    EXPECT_EQ(app->waiter().nestedLoops(), 0);
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

// Every way the client leaves the table by itself ends the program with the
// reason's own status and a line on standard error; where no box at the table
// has just said why, a notice over the table says it first.
enum class Way { StartCountdown, AutoPlayLimit, TableDissolved, CannotGoOn, ConnectionLost };

struct Leaving {
    const char* name;
    Way way;
    int status;
    const char* line;
    bool notice;
};

class LeavingTheTable : public TableGameTest, public ::testing::WithParamInterface<Leaving> {
protected:
    void leaveBy(Way way) {
        if (way == Way::AutoPlayLimit) {
            startRound(1, 1);
            deliver(declare(0, 0, 9));
            return;
        }
        seatEveryone();
        switch (way) {
            case Way::StartCountdown:
                deliver(message(111, 0, "a`b`c`0`d`0`0"));
                app->table().arrSeat[1].blnReady = true;
                return;
            case Way::TableDissolved:
                deliver({24, 3, 0, 0});
                return;
            case Way::CannotGoOn:
                deliver({5, 0, 0, 'x'});
                return;
            default:
                peer->close();
                return;
        }
    }
};

// Standard error into a string for the lifetime of this.
class CapturedErrors {
public:
    CapturedErrors() : old_(std::cerr.rdbuf(text_.rdbuf())) {}
    ~CapturedErrors() { std::cerr.rdbuf(old_); }
    std::string text() const { return text_.str(); }

private:
    std::ostringstream text_;
    std::streambuf* old_;
};

TEST_P(LeavingTheTable, SaysWhyAndEndsWithTheReasonsStatus) {
    const Leaving& leaving = GetParam();
    const CapturedErrors errors;
    leaveBy(leaving.way);
    bool noticeOverTable = false;
    for (int step = 0; step < 600 && !app->finished(); ++step) {
        clock.advance(100);
        QCoreApplication::processEvents();
        if (MessageBoxWindow* notice = app->leaveNotice()) {
            noticeOverTable = app->ended() && app->mainWindow()->isVisible() &&
                              notice->isVisible() && notice->bteMsgType() == MsgType::OneButton;
        }
    }
    ASSERT_TRUE(app->finished());
    EXPECT_EQ(app->exitStatus(), leaving.status);
    EXPECT_EQ(errors.text(), std::string("krvo: ") + leaving.line + "\n");
    EXPECT_EQ(noticeOverTable, leaving.notice);
    EXPECT_EQ(app->leaveNotice(), nullptr);
    EXPECT_FALSE(app->mainWindow()->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    EveryReason, LeavingTheTable,
    ::testing::Values(
        Leaving{"StartCountdown", Way::StartCountdown, 2,
                "20 秒内没有按“可以开始”，你已离开牌桌。（退出状态 2）", true},
        Leaving{"AutoPlayLimit", Way::AutoPlayLimit, 3,
                "系统帮你自动出牌的次数已到上限，算你逃跑，你已离开牌桌。（退出状态 3）", false},
        Leaving{"TableDissolved", Way::TableDissolved, 4,
                "大家都同意你离开，本桌解散，你已离开牌桌。（退出状态 4）", false},
        Leaving{"CannotGoOn", Way::CannotGoOn, 5,
                "服务器通知你不能继续玩下去，你已离开牌桌。（退出状态 5）", false},
        Leaving{"ConnectionLost", Way::ConnectionLost, 6,
                "与房间服务器的连接断开了，你已离开牌桌。（退出状态 6）", true}),
    [](const ::testing::TestParamInfo<Leaving>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace krvo
