// The room on real sockets (127.0.0.1, port 0): the login conversation byte for
// byte, broken or oversize frames from one client, a burst of logins, and the
// command line.

#include <gtest/gtest.h>

#include <QTemporaryFile>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "qt/qt_clock.h"
#include "server/local_server.h"
#include "server/room_server.h"
#include "server/server_options.h"
#include "tests/server/socket_test_support.h"

namespace krvo::server {
namespace {

using namespace testing_support;

struct RoomServerTest : ::testing::Test {
    RoomServerTest() {
        EnsureApplication();
        settings.humans = 2;
        settings.names = {"甲", "乙"};
        room = std::make_unique<Room>(settings, game, shop, clock, network);
        network.setRoom(room.get());
        EXPECT_TRUE(network.listen(QHostAddress::LocalHost, 0));
    }
    ~RoomServerTest() override { network.setRoom(nullptr); }

    RoomSettings settings;
    IdleGame game;
    PropsShop shop{3};
    QtClock clock;
    RoomServer network{clock};
    std::unique_ptr<Room> room;
};

TEST_F(RoomServerTest, LoginConversationByteForByte) {
    TestClient first(network.port());
    first.login();
    const auto identity = first.next();
    ASSERT_TRUE(identity);
    // 130, 3, then GBK "甲`甲": 甲 is BC D7.
    EXPECT_EQ(*identity, (Packet{130, 3, 0xBC, 0xD7, '`', 0xBC, 0xD7}));
    const auto list = first.next();
    ASSERT_TRUE(list);
    EXPECT_EQ((*list)[1], 2);
    EXPECT_EQ(SplitFields(PacketToString(*list, 2), '\n').size(), 3u);
    const auto welcome = first.next();
    ASSERT_TRUE(welcome);
    EXPECT_EQ(std::vector<std::uint8_t>(welcome->begin(), welcome->begin() + 3),
              (std::vector<std::uint8_t>{105, 0, 0}));
    EXPECT_NE(PacketToString(*welcome, 3).find("甲"), std::string::npos);
    EXPECT_EQ(first.next()->at(1), 0);           // props catalogue
    EXPECT_EQ(*first.next(), (Packet{133, 1}));  // nothing owned yet: header only
    EXPECT_EQ(*first.next(), Gbk({111, 0}, "甲`0`0`0`0`0`0"));

    TestClient second(network.port());
    second.login();
    ASSERT_TRUE(second.nextOf(111, 0));
    const auto arrival = first.nextOf(130, 4);
    ASSERT_TRUE(arrival);
    EXPECT_EQ(SplitFields(PacketToString(*arrival, 2))[0], "乙");

    second.send(Gbk({112, 1}, "乙"));
    ASSERT_TRUE(PumpUntil([this] { return !game.readyChairs.empty(); }));
    EXPECT_EQ(game.readyChairs, std::vector<std::uint8_t>{1});

    TestClient onlooker(network.port());
    onlooker.login();
    const auto watching = onlooker.next();
    ASSERT_TRUE(watching);
    EXPECT_EQ(PacketToString(*watching, 2), "玩家3`甲");
    EXPECT_TRUE(first.nextOf(130, 0));
}

TEST_F(RoomServerTest, BrokenFramesCostOnlyTheirOwnConnection) {
    TestClient good(network.port());
    good.login();
    ASSERT_TRUE(good.nextOf(111, 0));

    TestClient oversize(network.port());
    oversize.sendRaw({0x00, 0x01, 0x00, 0x01, 130});  // 65,537 announced
    EXPECT_TRUE(oversize.closedByServer());

    TestClient garbage(network.port());
    garbage.login();
    ASSERT_TRUE(garbage.nextOf(111, 0));
    garbage.send({});     // keep-alive
    garbage.send({21});   // a game packet too short to mean anything: the game decides
    garbage.send({112});  // no sub id
    garbage.send({250, 9, 9});
    garbage.sendRaw({0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_TRUE(garbage.closedByServer());
    // The player dropped between rounds: the others see the chair freed.
    EXPECT_TRUE(good.received(110, 0));

    TestClient truncated(network.port());
    truncated.sendRaw({0x00, 0x00, 0x00, 0x0C, 130, 0, '5'});  // stops mid-frame
    truncated.socket().disconnectFromHost();

    // The first client is still served.
    const Packet line = Gbk({1}, "甲`所有人`甲`所有人`还在`宋体`9`0`0`12:00:00");
    good.send(line);
    EXPECT_EQ(good.nextOf(1, line[1]), line);
    EXPECT_TRUE(PumpUntil([this] { return network.connectionCount() == 1; }));
    EXPECT_EQ(room->members().size(), 3u);
}

// Everybody pressing "log in" at the same moment lands in the kernel's queue
// at once; beyond a backlog of 50 the rest would only retry a second later.
TEST_F(RoomServerTest, AHundredSimultaneousLoginsAreAllAnswered) {
    constexpr std::size_t kPeople = 100;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(network.port());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::vector<pollfd> people;
    QElapsedTimer clock;
    clock.start();
    for (std::size_t i = 0; i < kPeople; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        ASSERT_GE(fd, 0);
        // Everybody at a machine of their own: five to a loopback address.
        sockaddr_in from{};
        from.sin_family = AF_INET;
        from.sin_addr.s_addr = htonl(INADDR_LOOPBACK + static_cast<std::uint32_t>(i % 20));
        ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&from), sizeof from), 0);
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        people.push_back({fd, POLLOUT, 0});
    }
    // The server has not accepted anybody yet: the handshakes complete in the
    // kernel's queue, well before a dropped one would be retried.
    const auto ready = [&](short event) {
        ::poll(people.data(), people.size(), 0);
        return static_cast<std::size_t>(std::count_if(
            people.begin(), people.end(), [&](const pollfd& p) { return p.revents & event; }));
    };
    QElapsedTimer handshakes;
    handshakes.start();
    while (ready(POLLOUT) < kPeople && handshakes.elapsed() < 500) ::poll(nullptr, 0, 5);
    EXPECT_EQ(ready(POLLOUT), kPeople);

    const std::vector<std::uint8_t> login = EncodeFrame(TestClient::loginPacket());
    for (pollfd& person : people) {
        EXPECT_EQ(::write(person.fd, login.data(), login.size()),
                  static_cast<ssize_t>(login.size()));
        person.events = POLLIN;
    }
    EXPECT_TRUE(PumpUntil([&] { return ready(POLLIN) == kPeople; }));
    RecordProperty("all_answered_ms", static_cast<int>(clock.elapsed()));
    for (const pollfd& person : people) ::close(person.fd);
}

TEST(ServerOptions, DefaultsAndEveryOption) {
    const auto defaults = ParseServerOptions({"krvo-server"});
    ASSERT_TRUE(defaults.options);
    EXPECT_EQ(defaults.options->bindAddress, "127.0.0.1");
    EXPECT_EQ(defaults.options->port, 0);
    EXPECT_EQ(defaults.options->humans, 1);

    const auto all = ParseServerOptions({"krvo-server",
                                         "--bind",
                                         "0.0.0.0",
                                         "--port",
                                         "4100",
                                         "--seed",
                                         "99",
                                         "--humans",
                                         "3",
                                         "--names",
                                         "甲,乙",
                                         "--names",
                                         "丙",
                                         "--decks",
                                         "2",
                                         "--play-time",
                                         "20",
                                         "--declare-time",
                                         "9",
                                         "--autoplay-limit",
                                         "3",
                                         "--max-leave-requests",
                                         "1",
                                         "--settings-round",
                                         "--exit-when-empty"});
    ASSERT_TRUE(all.options) << all.error;
    const ServerOptions& o = *all.options;
    EXPECT_EQ(o.port, 4100);
    EXPECT_EQ(o.seed, 99u);
    EXPECT_EQ(o.names, (std::vector<std::string>{"甲", "乙", "丙"}));
    EXPECT_EQ(o.decks, 2);
    EXPECT_EQ(o.playTime, 20);
    EXPECT_EQ(o.declareTime, 9);
    EXPECT_EQ(o.autoPlayLimit, 3);
    EXPECT_EQ(o.maxLeaveRequests, 1);
    EXPECT_TRUE(o.settingsRound && o.exitWhenEmpty);

    for (const char* bad : {"--humans=5", "--port=70000", "--decks=0", "--bind=nowhere",
                            "--play-time=x", "--no-such-option", "stray"}) {
        const auto parsed = ParseServerOptions({"krvo-server", bad});
        EXPECT_FALSE(parsed.options) << bad;
        EXPECT_FALSE(parsed.error.empty()) << bad;
    }
}

TEST(ServerOptions, LimitsTakeTheirDefaultsAndTheRangesTheRulesGive) {
    struct Limit {
        const char* name;
        long low;
        long high;
        long fallback;
        long (*field)(const ServerOptions&);
    };
    const Limit limits[] = {
        {"decks", 1, 4, 1, [](const ServerOptions& o) -> long { return o.decks; }},
        {"max-connections", 1, 10000, 200,
         [](const ServerOptions& o) -> long { return o.maxConnections; }},
        {"login-time", 1, 3600, 30, [](const ServerOptions& o) -> long { return o.loginTime; }},
        {"idle-time", 1, 3600, 10, [](const ServerOptions& o) -> long { return o.idleTime; }},
        {"capacity", 4, 200, 100, [](const ServerOptions& o) -> long { return o.capacity; }},
        {"chat-lines", 1, 1000, 10, [](const ServerOptions& o) -> long { return o.chatLines; }},
        {"trick-pause-ms", 0, 10000, 2000,
         [](const ServerOptions& o) -> long { return o.trickPauseMs; }},
    };
    std::ifstream file(std::filesystem::path(KRVO_SOURCE_DIR) / "docs/server-rules.md");
    const std::string rules((std::istreambuf_iterator<char>(file)), {});
    ASSERT_FALSE(rules.empty());
    const auto parse = [](const char* name, long value) {
        return ParseServerOptions({"krvo-server", QString("--%1=%2").arg(name).arg(value)});
    };
    const ServerOptions defaults = *ParseServerOptions({"krvo-server"}).options;
    for (const Limit& limit : limits) {
        SCOPED_TRACE(limit.name);
        EXPECT_EQ(limit.field(defaults), limit.fallback);
        for (const long value : {limit.low, limit.high}) {
            const auto parsed = parse(limit.name, value);
            ASSERT_TRUE(parsed.options) << parsed.error;
            EXPECT_EQ(limit.field(*parsed.options), value);
        }
        EXPECT_FALSE(parse(limit.name, limit.low - 1).options);
        EXPECT_FALSE(parse(limit.name, limit.high + 1).options);
        const auto at = rules.find(std::string("`--") + limit.name + "`");
        ASSERT_NE(at, std::string::npos) << "the rules name the option";
        const std::string line = rules.substr(at, rules.find('\n', at) - at);
        EXPECT_NE(line.find(std::to_string(limit.low) + " to " + std::to_string(limit.high)),
                  std::string::npos)
            << line;
    }
}

TEST(ServerOptions, LevelsPerChairAndThinkTimesReachTheEngine) {
    using L = ComputerLevel;
    const struct {
        std::vector<QString> arguments;
        std::array<L, 4> levels;
        std::int64_t thinkMin;
        std::int64_t thinkSpread;
    } cases[] = {
        {{}, {L::Normal, L::Normal, L::Normal, L::Normal}, 400, 400},
        {{"--level", "1=hard,2=easy"}, {L::Normal, L::Hard, L::Easy, L::Normal}, 400, 400},
        {{"--level", "hard,0=easy", "--think-ms", "250"},
         {L::Easy, L::Hard, L::Hard, L::Hard},
         250,
         0},
        {{"--level=easy", "--level", "3=hard", "--think-ms", "100-900"},
         {L::Easy, L::Easy, L::Easy, L::Hard},
         100,
         800},
    };
    for (const auto& each : cases) {
        QStringList arguments = {"krvo-server"};
        for (const QString& argument : each.arguments) arguments << argument;
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const auto parsed = ParseServerOptions(arguments);
        ASSERT_TRUE(parsed.options) << parsed.error;
        const EngineSettings settings = EngineSettingsFrom(*parsed.options);
        EXPECT_EQ(settings.levels, each.levels);
        EXPECT_EQ(settings.thinkMinMs, each.thinkMin);
        EXPECT_EQ(settings.thinkSpreadMs, each.thinkSpread);
        EXPECT_EQ(settings.trickPauseMs, 2000);
    }
    for (const char* bad :
         {"--level=4=hard", "--level=medium", "--level=1=hard=2", "--level=x=easy",
          "--think-ms=900-100", "--think-ms=20000", "--think-ms=fast"}) {
        const auto parsed = ParseServerOptions({"krvo-server", bad});
        EXPECT_FALSE(parsed.options) << bad;
        EXPECT_NE(parsed.error.find(QString(bad).section('=', 0, 0).toStdString()),
                  std::string::npos)
            << parsed.error;
    }
}

TEST(ServerOptions, AutoStartRaisesHandsButNotInASettingsRound) {
    const auto autoStart = ParseServerOptions({"krvo-server", "--auto-start"});
    ASSERT_TRUE(autoStart.options);
    EXPECT_TRUE(autoStart.options->autoStart);
    const auto both = ParseServerOptions({"krvo-server", "--auto-start", "--settings-round"});
    EXPECT_FALSE(both.options);
    EXPECT_NE(both.error.find("--auto-start"), std::string::npos);
}

TEST(ServerOptions, PropShowsAreOnUnlessSwitchedOff) {
    EXPECT_TRUE(ParseServerOptions({"krvo-server"}).options->propShows);
    EXPECT_TRUE(ParseServerOptions({"krvo-server", "--prop-shows=on"}).options->propShows);
    EXPECT_FALSE(ParseServerOptions({"krvo-server", "--prop-shows", "off"}).options->propShows);
    const auto bad = ParseServerOptions({"krvo-server", "--prop-shows=sometimes"});
    EXPECT_FALSE(bad.options);
    EXPECT_NE(bad.error.find("--prop-shows"), std::string::npos);
}

TEST(ServerOptions, ADealsFileIsReadForTheDecksGiven) {
    // One hand per line, four lines a round: every suit's 3..A, the red aces
    // under their own codes.
    std::string round;
    int code = 0;
    for (int chair = 0; chair < 4; ++chair) {
        for (int card = 0; card < 12; ++card, ++code) {
            if (code % 13 == 12) ++code;
            round += std::to_string(code == 11 ? 63 : code == 50 ? 76 : code) + " ";
        }
        round += "\n";
    }
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write(QByteArray::fromStdString("# fixed\n" + round + round));
    file.flush();
    const auto parsed = ParseServerOptions({"krvo-server", "--deals", file.fileName()});
    ASSERT_TRUE(parsed.options) << parsed.error;
    ASSERT_EQ(parsed.options->deals.size(), 2u);
    EXPECT_EQ(parsed.options->deals[1][3].back(), 76);

    const auto twoDecks =
        ParseServerOptions({"krvo-server", "--decks", "2", "--deals", file.fileName()});
    EXPECT_FALSE(twoDecks.options) << "two decks need 24 cards a hand";
    EXPECT_FALSE(twoDecks.error.empty());
    EXPECT_FALSE(ParseServerOptions({"krvo-server", "--deals", "/nonexistent/deals"}).options);
}

}  // namespace
}  // namespace krvo::server
