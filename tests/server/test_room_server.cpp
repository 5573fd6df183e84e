// The room on real sockets (127.0.0.1, port 0): the login conversation byte for
// byte, broken or oversize frames from one client, a client that stops
// reading, and the command line.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTemporaryFile>

#include <algorithm>
#include <deque>
#include <optional>

#include "core/framing.h"
#include "core/packet.h"
#include "platform/qt_clock.h"
#include "server/room_server.h"
#include "server/server_options.h"

namespace krvo::server {
namespace {

QCoreApplication& EnsureApplication() {
    if (auto* existing = QCoreApplication::instance()) return *existing;
    static int argc = 1;
    static char name[] = "krvo_server_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* application = new QCoreApplication(argc, argv);
    return *application;
}

// A game that never starts a round: these tests are about the wire.
class IdleGame final : public TableGame {
public:
    void setSeat(std::uint8_t, std::string, bool) override {}
    void clearSeat(std::uint8_t) override {}
    void setOffline(std::uint8_t, bool) override {}
    bool roundRunning() const override { return false; }
    void setReady(std::uint8_t chair) override { readyChairs.push_back(chair); }
    bool isReady(std::uint8_t) const override { return false; }
    void handlePlayerPacket(std::uint8_t chair, std::span<const std::uint8_t> packet) override {
        received.emplace_back(chair, Packet(packet.begin(), packet.end()));
    }
    void advanceTo(std::int64_t) override {}
    std::optional<std::int64_t> nextDeadline() const override { return std::nullopt; }
    std::vector<Delivery> takeDeliveries() override { return std::exchange(pending, {}); }
    Packet snapshot(std::uint8_t, bool, bool) const override { return {109, 0, 0}; }

    std::vector<std::uint8_t> readyChairs;
    std::vector<std::pair<std::uint8_t, Packet>> received;
    std::vector<Delivery> pending;
};

// Runs the event loop until the condition holds or five seconds pass.
bool PumpUntil(const std::function<bool()>& done) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > 5000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

class TestClient {
public:
    explicit TestClient(quint16 port) {
        socket_.connectToHost(QHostAddress::LocalHost, port);
        // The kernel completes the handshake before the server accepts.
        EXPECT_TRUE(socket_.waitForConnected(5000));
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] {
            const QByteArray data = socket_.readAll();
            decoder_.feed(std::span(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                    static_cast<std::size_t>(data.size())));
            while (auto packet = decoder_.next()) {
                packets_.emplace_back(packet->begin(), packet->end());
                history_.push_back(packets_.back());
            }
        });
    }
    void sendRaw(const std::vector<std::uint8_t>& bytes) {
        socket_.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qint64>(bytes.size()));
        socket_.flush();
    }
    void send(const Packet& packet) { sendRaw(EncodeFrame(packet)); }
    void login() { send(Login()); }
    static Packet Login() {
        Packet packet;
        const std::uint8_t header[] = {130, 0};
        BuildPacket("500`KRVO`0", packet, 2, header);
        return packet;
    }
    // The next packet, waiting for it if needed.
    std::optional<Packet> next() {
        if (!PumpUntil([this] { return !packets_.empty(); })) return std::nullopt;
        Packet packet = std::move(packets_.front());
        packets_.pop_front();
        return packet;
    }
    // Skips packets until one with this main and sub id.
    std::optional<Packet> nextOf(std::uint8_t main, std::uint8_t sub) {
        while (auto packet = next()) {
            if (packet->size() >= 2 && (*packet)[0] == main && (*packet)[1] == sub) return packet;
        }
        return std::nullopt;
    }
    // Whether a packet with this main and sub id ever arrived, waiting for it if needed.
    bool received(std::uint8_t main, std::uint8_t sub) {
        return PumpUntil([&] {
            return std::any_of(history_.begin(), history_.end(), [&](const Packet& p) {
                return p.size() >= 2 && p[0] == main && p[1] == sub;
            });
        });
    }
    bool closedByServer() {
        return PumpUntil([this] { return socket_.state() == QAbstractSocket::UnconnectedState; });
    }
    QTcpSocket& socket() { return socket_; }

private:
    QTcpSocket socket_;
    FrameDecoder decoder_;
    std::deque<Packet> packets_;
    std::vector<Packet> history_;
};

Packet Gbk(std::initializer_list<std::uint8_t> header, const std::string& body) {
    Packet packet;
    BuildPacket(body, packet, static_cast<std::uint8_t>(header.size()),
                std::vector<std::uint8_t>(header));
    return packet;
}

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
    RoomServer network;
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

TEST(RoomServer, AClientThatStopsReadingIsCutOffAlone) {
    EnsureApplication();
    RoomSettings settings;
    settings.humans = 2;
    IdleGame game;
    PropsShop shop{3};
    QtClock clock;
    constexpr qint64 kLimit = 256 * 1024;
    RoomServer network(nullptr, kLimit);
    Room room(settings, game, shop, clock, network);
    network.setRoom(&room);
    ASSERT_TRUE(network.listen(QHostAddress::LocalHost, 0));

    TestClient reader(network.port());
    reader.login();
    ASSERT_TRUE(reader.nextOf(111, 0));
    TestClient stalled(network.port());
    stalled.socket().setReadBufferSize(1);  // stops taking data off the wire
    stalled.login();
    ASSERT_TRUE(PumpUntil([&room] { return room.members().size() == 4; }));

    // Big chat lines from the reader, each relayed to both, until the kernel's
    // buffers are full and the server's own queue passes the limit.
    const std::string filler(60000, 'x');
    const Packet line = Gbk({1}, "玩家1`所有人`玩家1`所有人`" + filler + "`宋体`9`0`0`12:00:00");
    int sent = 0;
    int echoed = 0;
    while (sent < 600 && network.connectionCount() == 2) {
        for (int i = 0; i < 2; ++i, ++sent) reader.send(line);
        while (echoed < sent && reader.nextOf(1, line[1])) ++echoed;
    }
    EXPECT_EQ(network.connectionCount(), 1u);
    EXPECT_TRUE(reader.received(110, 0)) << "the stalled player left the table";
    reader.send(line);
    EXPECT_TRUE(reader.nextOf(1, line[1])) << "the reader is still served";
    network.setRoom(nullptr);
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

TEST(ServerOptions, AutoStartRaisesHandsButNotInASettingsRound) {
    const auto autoStart = ParseServerOptions({"krvo-server", "--auto-start"});
    ASSERT_TRUE(autoStart.options);
    EXPECT_TRUE(autoStart.options->autoStart);
    const auto both = ParseServerOptions({"krvo-server", "--auto-start", "--settings-round"});
    EXPECT_FALSE(both.options);
    EXPECT_NE(both.error.find("--auto-start"), std::string::npos);
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
