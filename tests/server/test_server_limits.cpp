// The server's limits on real sockets (127.0.0.1, port 0) with a clock moved
// by hand: a member cut off during a timer's broadcast, the output budget over
// time, the connection limit and the place kept for a returning player,
// accept failing, the deadlines before the login, the chat rate and chat
// floods, the table's capacity and a packet too long for a frame.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <numeric>

#include "core/clock.h"
#include "server/room_server.h"
#include "tests/server/socket_test_support.h"

namespace krvo::server {
namespace {

using namespace testing_support;

struct Setup {
    ConnectionLimits limits;
    std::size_t capacity = kDefaultCapacity;
    std::size_t chatLines = kDefaultChatLines;
    std::int64_t tickMs = 0;
};

RoomSettings OneHuman(const Setup& setup) {
    RoomSettings settings;
    settings.names = {"甲", "乙"};
    settings.capacity = setup.capacity;
    settings.chatLines = setup.chatLines;
    return settings;
}

// Room and network as krvo-server puts them together, on a manual clock.
struct Table {
    explicit Table(const Setup& setup = {})
        : game(setup.tickMs),
          network(clock, setup.limits),
          room(OneHuman(setup), game, shop, clock, network) {
        EnsureApplication();
        network.setRoom(&room);
        EXPECT_TRUE(network.listen(QHostAddress::LocalHost, 0));
    }
    ~Table() { network.setRoom(nullptr); }
    quint16 port() const { return network.port(); }
    bool connections(std::size_t n) {
        return PumpUntil([&] { return network.connectionCount() == n; });
    }
    bool members(std::size_t n) {
        return PumpUntil([&] { return room.members().size() == n; });
    }

    ManualClock clock;
    IdleGame game;
    PropsShop shop{3};
    RoomServer network;
    Room room;
};

Packet ChatLine(const std::string& from, const std::string& text) {
    return Gbk({1}, from + "`所有人`" + from + "`所有人`" + text + "`宋体`9`0`0`12:00:00");
}

std::size_t LinesFrom(const TestClient& client, const std::string& sender) {
    return std::count_if(client.history().begin(), client.history().end(), [&](const Packet& p) {
        return p[0] == 1 && SplitFields(PacketToString(p, 1))[0] == sender;
    });
}

std::vector<int> TicksSeen(const TestClient& client) {
    std::vector<int> ticks;
    for (const Packet& p : client.history()) {
        if (p[0] == IdleGame::kTick) ticks.push_back(p[1]);
    }
    return ticks;
}

// A connection that logs in and then never reads again, its receive buffer
// made small before the handshake so that the server's own queue fills.
class FrozenMember {
public:
    explicit FrozenMember(quint16 port) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        const int small = 4096;
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        const auto login = EncodeFrame(TestClient::loginPacket());
        EXPECT_EQ(::write(fd_, login.data(), login.size()), static_cast<ssize_t>(login.size()));
    }
    ~FrozenMember() { ::close(fd_); }
    FrozenMember(const FrozenMember&) = delete;
    FrozenMember& operator=(const FrozenMember&) = delete;

private:
    int fd_;
};

TEST(ServerLimits, AMemberCutOffDuringATimersBroadcastLeavesTheOthersTheirShare) {
    // A reader never holds more than one 60,000-byte tick; the frozen
    // onlooker passes the cap after a few.
    Table table({.limits = {.maxPendingOutput = 100'000}, .tickMs = 100});
    TestClient player(table.port());
    player.login();
    ASSERT_TRUE(table.members(4));
    const FrozenMember frozen(table.port());
    ASSERT_TRUE(table.members(5));
    // The two after it in the member list: a removal inside the loop would
    // skip the first and serve the second twice.
    TestClient first(table.port());
    first.login();
    ASSERT_TRUE(table.members(6));
    TestClient second(table.port());
    second.login();
    ASSERT_TRUE(table.members(7));

    const std::vector<TestClient*> readers = {&player, &first, &second};
    std::vector<int> sent;
    while (sent.size() < 200 && table.network.connectionCount() == 4) {
        table.clock.advance(100);  // the room's timer broadcasts one tick
        sent.push_back(static_cast<int>(sent.size()));
        for (TestClient* reader : readers) {
            ASSERT_TRUE(PumpUntil([&] { return TicksSeen(*reader).size() >= sent.size(); }));
        }
    }
    ASSERT_TRUE(table.members(6)) << "the frozen onlooker was cut off and has left";
    for (TestClient* reader : readers) {
        EXPECT_TRUE(reader->received(108, 4));
        EXPECT_EQ(TicksSeen(*reader), sent) << "every tick once, in order";
    }
}

TEST(ServerLimits, TheOutputBudgetCountsWhatAReaderLeavesUntakenOverTime) {
    const ConnectionLimits limits{.maxPendingOutput = 200'000};
    Table table({.limits = limits, .chatLines = 1000});
    TestClient player(table.port());
    player.login();
    ASSERT_TRUE(player.nextOf(111, 0));
    const FrozenMember frozen(table.port());
    ASSERT_TRUE(table.members(5));

    // 600 KB in one pass, three times the budget: the reader takes it at once.
    for (int tick = 0; tick < 10; ++tick) {
        Packet packet(60000, 'x');
        packet[0] = IdleGame::kTick;
        table.game.pending.push_back({Audience::Everyone, 0, std::move(packet)});
    }
    player.send({21, 0});
    ASSERT_TRUE(PumpUntil([&] { return TicksSeen(player).size() == 10; }));
    // Chat is what the frozen member misses: 300 KB of it would pass the hard limit.
    const Packet line = ChatLine("甲", std::string(1000, 'y'));
    for (std::size_t sent = 50; sent <= 300; sent += 50) {
        for (int i = 0; i < 50; ++i) player.send(line);
        ASSERT_TRUE(PumpUntil([&] { return LinesFrom(player, "甲") == sent; }));
    }
    EXPECT_EQ(table.network.connectionCount(), 2u);

    table.clock.advance(limits.slowReaderGraceMs - 1);
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(table.network.connectionCount(), 2u) << "behind, but not for long enough";
    table.clock.advance(1);
    EXPECT_TRUE(table.members(4)) << "still behind when the grace ended";
    EXPECT_EQ(table.network.connectionCount(), 1u);
}

TEST(ServerLimits, TwoOnlookersFloodingChatPushNobodyOff) {
    Table table;
    TestClient player(table.port());
    player.login();
    ASSERT_TRUE(player.nextOf(111, 0));
    TestClient first(table.port());
    first.login();
    TestClient second(table.port());
    second.login();
    ASSERT_TRUE(table.members(6));

    // Ten 64 KB lines each, within the rate.
    const std::string text(64000, 'x');
    for (int i = 0; i < 10; ++i) {
        first.send(ChatLine("乙", text));
        second.send(ChatLine("玩家3", text));
    }
    ASSERT_TRUE(
        PumpUntil([&] { return LinesFrom(player, "乙") + LinesFrom(player, "玩家3") == 20; }));
    table.clock.advance(ConnectionLimits{}.slowReaderGraceMs);
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(table.network.connectionCount(), 3u);
    const auto cut = std::find_if(player.history().begin(), player.history().end(),
                                  [](const Packet& p) { return p[0] == 1; });
    ASSERT_NE(cut, player.history().end());
    EXPECT_EQ(SplitFields(PacketToString(*cut, 1))[4].size(), kMaxChatTextBytes);
}

// Sets the soft descriptor limit for as long as it lives.
class DescriptorLimit {
public:
    explicit DescriptorLimit(rlim_t soft) {
        getrlimit(RLIMIT_NOFILE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = soft;
        EXPECT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    }
    ~DescriptorLimit() { setrlimit(RLIMIT_NOFILE, &saved_); }

private:
    rlimit saved_{};
};

TEST(ServerLimits, ConnectionsBeyondTheLimitAreClosedAtOnce) {
    Table table({.limits = {.maxConnections = 2}});
    TestClient first(table.port());
    TestClient second(table.port());
    ASSERT_TRUE(table.connections(2));
    TestClient third(table.port());
    EXPECT_TRUE(third.closedByServer());
    first.socket().abort();
    ASSERT_TRUE(table.connections(1));
    TestClient fourth(table.port());
    fourth.login();
    EXPECT_TRUE(fourth.nextOf(130, 3)) << "a place that came free takes the next newcomer";

    // The limit stays below what the process may open, 16 kept in reserve.
    std::size_t clamped = 0;
    std::size_t kept = 0;
    {
        const DescriptorLimit limit(100);
        clamped = RoomServer(table.clock, {.maxConnections = 1000}).maxConnections();
        kept = RoomServer(table.clock, {.maxConnections = 50}).maxConnections();
    }
    EXPECT_EQ(clamped, 84u);
    EXPECT_EQ(kept, 50u);
}

TEST(ServerLimits, ADroppedPlayerComesBackPastConnectionsHeldOpenElsewhere) {
    Table table({.limits = {.maxConnections = 20}});
    TestClient player(table.port());
    player.login();
    ASSERT_TRUE(player.nextOf(111, 0));
    table.game.running = true;
    player.socket().abort();
    ASSERT_TRUE(table.connections(0));

    // Forty connections from another machine that never log in, each opened
    // again as soon as the server closes it.
    const QHostAddress elsewhere("127.0.0.2");
    std::vector<std::unique_ptr<TestClient>> held(40);
    for (int round = 0; round < 3; ++round) {
        for (auto& each : held) {
            if (!each || each->socket().state() == QAbstractSocket::UnconnectedState) {
                each = std::make_unique<TestClient>(table.port(), elsewhere);
            }
            QCoreApplication::processEvents();
        }
        for (int i = 0; i < 10; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    TestClient stranger(table.port(), elsewhere);
    stranger.login();
    const auto watching = stranger.nextOf(130, 3);
    ASSERT_TRUE(watching);
    EXPECT_EQ(*watching, Gbk({130, 3}, "乙`甲")) << "an onlooker, not the player";

    TestClient back(table.port());
    back.login();
    const auto identity = back.nextOf(130, 3);
    ASSERT_TRUE(identity);
    EXPECT_EQ(*identity, Gbk({130, 3}, "甲`甲"));
}

TEST(ServerLimits, AFailingAcceptPausesInsteadOfSpinningAndRecovers) {
    Table table;
    QTcpSocket late;  // waits in the backlog while no descriptor is left
    late.connectToHost(QHostAddress::LocalHost, table.port());
    ASSERT_TRUE(late.waitForConnected(5000));
    std::size_t failed = 0;
    {
        // Every descriptor taken; poll refuses a limit below those it watches.
        int highest = 2;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
            highest = std::max(highest, std::stoi(entry.path().filename().string()));
        }
        const DescriptorLimit limit(static_cast<rlim_t>(highest + 1));
        std::vector<int> taken;
        for (int fd; (fd = ::dup(STDERR_FILENO)) >= 0;) taken.push_back(fd);
        // Nothing here may report a failure: that needs descriptors too. The
        // listening socket stays readable, so a server that tried again at
        // once would fail at every turn of the event loop.
        PumpUntil([&] { return table.network.failedAccepts() > 0; });
        for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        failed = table.network.failedAccepts();
        for (const int fd : taken) ::close(fd);
    }
    EXPECT_EQ(failed, 1u);
    table.clock.advance(kAcceptBackOffMs);
    EXPECT_TRUE(table.connections(1)) << "the waiting newcomer is taken after the pause";
}

TEST(ServerLimits, ConnectionsThatDoNotLogInEndAtTheirDeadlines) {
    struct Case {
        const char* what;
        std::int64_t loginMs;
        std::int64_t idleMs;
        std::int64_t trickleEveryMs;  // 0: nothing after the first bytes
        std::int64_t closedAtMs;
    };
    const Case cases[] = {
        {"silent past the idle deadline", 30'000, 1'000, 0, 1'000},
        {"silent past the login deadline", 1'000, 5'000, 0, 1'000},
        {"trickling past the login deadline", 3'000, 1'000, 800, 3'000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Table table({.limits = {.loginMs = c.loginMs, .idleMs = c.idleMs}});
        TestClient member(table.port());
        member.login();
        ASSERT_TRUE(member.nextOf(111, 0));
        TestClient stranger(table.port());
        ASSERT_TRUE(table.connections(2));
        stranger.sendRaw({0x00, 0x00, 0x10, 0x00});  // a frame that never ends
        for (std::int64_t t = 0; t + 100 < c.closedAtMs; t += 100) {
            if (c.trickleEveryMs > 0 && t > 0 && t % c.trickleEveryMs == 0) {
                stranger.sendRaw({'x'});
            }
            QCoreApplication::processEvents();
            table.clock.advance(100);
            ASSERT_EQ(table.network.connectionCount(), 2u) << "closed early, at " << t + 100;
        }
        table.clock.advance(100);
        EXPECT_TRUE(stranger.closedByServer());
        EXPECT_EQ(table.network.connectionCount(), 1u) << "a member has no deadline";
    }
}

TEST(ServerLimits, AChatFloodIsDroppedWhileEverybodyElseIsServed) {
    Table table({.limits = {}, .chatLines = 3});
    TestClient flooder(table.port());
    flooder.login();
    ASSERT_TRUE(flooder.nextOf(111, 0));
    TestClient other(table.port());
    other.login();
    ASSERT_TRUE(other.nextOf(130, 3));

    for (int i = 0; i < 8; ++i) flooder.send(ChatLine("甲", "第" + std::to_string(i) + "句"));
    const auto notice = flooder.nextOf(105, 0);
    ASSERT_TRUE(notice);
    EXPECT_NE(PacketToString(*notice, 3).find("太快"), std::string::npos);
    const Packet answer = ChatLine("乙", "我还在");
    other.send(answer);
    ASSERT_TRUE(flooder.nextOf(1, answer[1])) << "the flooder keeps the seat and is served";
    EXPECT_EQ(LinesFrom(other, "甲"), 3u);

    table.clock.advance(kChatWindowMs);
    flooder.send(ChatLine("甲", "过了一会儿"));
    EXPECT_TRUE(PumpUntil([&] { return LinesFrom(other, "甲") == 4; }));
}

TEST(ServerLimits, AFullTableRefusesNewcomersAsItRefusesAPlay) {
    Table table({.limits = {}, .capacity = 5});  // four chairs and one onlooker
    TestClient player(table.port());
    player.login();
    TestClient onlooker(table.port());
    onlooker.login();
    ASSERT_TRUE(table.members(5));

    TestClient refused(table.port());
    refused.login();
    const auto refusal = refused.next();
    ASSERT_TRUE(refusal);
    EXPECT_EQ(*refusal, Gbk({22}, "本桌人数已满，不能再进入！"));
    EXPECT_EQ(table.room.members().size(), 5u);
    // Left open for the notice to be read, then gone at the idle deadline.
    EXPECT_EQ(table.network.connectionCount(), 3u);
    table.clock.advance(ConnectionLimits{}.idleMs);
    EXPECT_TRUE(refused.closedByServer());

    onlooker.socket().abort();
    ASSERT_TRUE(table.members(4));
    TestClient next(table.port());
    next.login();
    EXPECT_TRUE(next.nextOf(130, 3)) << "the place that came free is taken";
}

TEST(ServerLimits, APacketTooLongForAFrameEndsItsConnectionWithALogLine) {
    Table table;
    TestClient player(table.port());
    player.login();
    ASSERT_TRUE(player.nextOf(111, 0));
    TestClient onlooker(table.port());
    onlooker.login();
    ASSERT_TRUE(onlooker.nextOf(130, 3));

    table.game.pending = {{Audience::Player, 0, Packet(kMaxPacketLength + 1, 21)}};
    ::testing::internal::CaptureStderr();
    player.send({21, 0});
    const bool closed = player.closedByServer();
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(closed);
    EXPECT_NE(log.find("krvo-server: a packet of 65537 bytes (message 21) does not fit a frame"),
              std::string::npos)
        << log;
    const Packet line = ChatLine("乙", "还在");
    onlooker.send(line);
    EXPECT_TRUE(onlooker.nextOf(1, line[1])) << "the others are served";
}

}  // namespace
}  // namespace krvo::server
