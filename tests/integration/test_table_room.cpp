// The whole client (minus the entry point) against a scripted room server on
// 127.0.0.1, with time driven by hand.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/table_app.h"
#include "chrome/game_main_window.h"
#include "core/framing.h"
#include "core/packet.h"
#include "platform/chat_control.h"
#include "platform/user_list_control.h"
#include "room/message_box_registry.h"
#include "room/message_box_window.h"
#include "support/qt_test_application.h"
#include "support/recording_alerts.h"

namespace krvo {
namespace {

constexpr int kLimitMs = 10000;

std::string row(std::string_view name, std::string_view watched, int chair) {
    return std::string(name) + "`7`0`100`" + std::string(watched) + "`3`50`0`1`1`1`0`1000`" +
           std::to_string(chair) + "`0`0";
}

Packet message(std::uint8_t id, std::uint8_t sub, std::string_view body) {
    const std::uint8_t header[] = {id, sub};
    Packet packet{id, sub};
    BuildPacket(body, packet, 2, header);
    return packet;
}

class TableRoomTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureQtApplication(); }

    void SetUp() override {
        ASSERT_TRUE(directory.isValid());
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        LaunchParams launch;
        launch.strRoomServerAddress = "127.0.0.1";
        launch.strRoomServerPort = std::to_string(server.serverPort());
        launch.strGameTitle = "测试";
        launch.strLevelTitles = "新手_0`老手_100";
        launch.strMyUserName = "我";
        app = std::make_unique<TableApp>(
            launch, directory.path().toStdString(), clock,
            [this](std::int64_t maxMs) {
                QCoreApplication::processEvents();
                clock.advance(std::min<std::int64_t>(maxMs, 100));
            },
            alerts);
        app->Start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.hasPendingConnections(); }, kLimitMs));
        peer = server.nextPendingConnection();
        const Packet login = nextPacket();
        EXPECT_EQ(login, message(130, 0, "500`KRVO`0"));
    }

    void TearDown() override { app.reset(); }

    void send(const Packet& packet) {
        peer->write(reinterpret_cast<const char*>(EncodeFrame(packet).data()),
                    static_cast<qint64>(packet.size() + 4));
        peer->flush();
    }
    // Sends and lets the client handle it.
    void deliver(const Packet& packet) {
        send(packet);
        QTest::qWait(50);
    }
    Packet nextPacket() {
        std::optional<Packet> packet;
        (void)QTest::qWaitFor(
            [&] {
                const QByteArray bytes = peer->readAll();
                decoder.feed(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                       static_cast<std::size_t>(bytes.size())));
                if (auto next = decoder.next()) packet = Packet(next->begin(), next->end());
                return packet.has_value();
            },
            kLimitMs);
        return packet.value_or(Packet{});
    }
    bool nothingSent() {
        QTest::qWait(50);
        return peer->bytesAvailable() == 0;
    }
    MessageBoxRegistry& boxes() { return dynamic_cast<MessageBoxRegistry&>(app->boxes()); }

    // Logs in, receives the list and takes chair 0; 甲 sits in chair 1.
    void seatEveryone() {
        deliver(message(130, 3, "我`我"));
        deliver(message(130, 2, row("我", "", 0) + "\r\n" + row("甲", "", 1) + "\n" +
                                    row("看客", "甲", 0)));
        ASSERT_EQ(app->table().arrSeat[1].strUserName, "甲");
    }

    QTemporaryDir directory;
    ManualClock clock;
    testing::RecordingAlerts alerts;
    QTcpServer server;
    QTcpSocket* peer = nullptr;
    FrameDecoder decoder;
    std::unique_ptr<TableApp> app;
};

TEST_F(TableRoomTest, SeatsFollowTheListArrivalsAndDepartures) {
    seatEveryone();
    EXPECT_EQ(app->table().arrSeat[0].strUserName, "我");
    EXPECT_EQ(app->pub().bteMyChair, 0);
    EXPECT_FALSE(app->pub().blnIsOnlooker);
    EXPECT_EQ(app->pub().bteViewPos, (std::array<std::uint8_t, 4>{2, 3, 0, 1}));

    UserListControl& list = app->mainWindow()->lstUser();
    deliver(message(130, 0, row("看客二", "甲", 0)));
    deliver(message(130, 4, row("乙", "", 2)));
    EXPECT_FALSE(list.FindUser("看客二").empty());
    EXPECT_EQ(app->table().arrSeat[2].strUserName, "乙");

    deliver(message(108, 4, "看客二"));
    deliver(message(110, 0, "乙"));
    EXPECT_TRUE(list.FindUser("看客二").empty());
    EXPECT_TRUE(list.FindUser("乙").empty());
    EXPECT_TRUE(app->table().arrSeat[2].strUserName.empty());
    EXPECT_EQ(app->table().arrSeat[1].strUserName, "甲");
}

TEST_F(TableRoomTest, NonOwnerAgreesWhenTheDialogCountsDown) {
    seatEveryone();
    deliver(message(111, 0, "a`b`c`0`d`1`1`10`100`5`20`50`1"));
    clock.advance(20999);
    QCoreApplication::processEvents();
    EXPECT_TRUE(nothingSent());
    clock.advance(1);
    EXPECT_EQ(nextPacket(), message(112, 1, "我"));
}

TEST_F(TableRoomTest, UnusableSettingsLeaveTheTable) {
    seatEveryone();
    deliver(message(111, 0, "a`b`c`0`d`1`1`10`100`5`20`50"));  // five settings fields
    EXPECT_EQ(nextPacket(), message(110, 0, "我"));
}

TEST_F(TableRoomTest, WaitingNoticeClosesWhenAPlayerAgrees) {
    seatEveryone();
    deliver(message(111, 0, "a`b`c`0`d`1`0"));
    EXPECT_EQ(boxes().openBoxCount(), 1);
    deliver(message(112, 0, "甲"));
    EXPECT_EQ(boxes().openBoxCount(), 0);
    EXPECT_TRUE(app->table().arrSeat[1].blnReady);
}

TEST_F(TableRoomTest, ChatGoesOutAsTenFields) {
    seatEveryone();
    ChatControl& chat = app->mainWindow()->VexChat();
    chat.input()->setText(QStringLiteral("大家好`"));
    ASSERT_TRUE(chat.SendInput());
    const Packet packet = nextPacket();
    ASSERT_FALSE(packet.empty());
    EXPECT_EQ(packet[0], 1);
    const std::vector<std::string> fields = SplitFields(PacketToString(packet, 1));
    ASSERT_EQ(fields.size(), 10u);
    EXPECT_EQ(fields[0], "我");
    EXPECT_EQ(fields[1], "所有人");
    EXPECT_EQ(fields[4], "大家好'");
}

TEST_F(TableRoomTest, ClosingDuringARoundAsksFirst) {
    seatEveryone();
    app->table().blnNoGame = false;
    // Let the reason box run out: the window stays and nothing is sent.
    EXPECT_FALSE(app->RequestClose());
    EXPECT_FALSE(app->ended());
    EXPECT_EQ(app->boxes().leaveAnswer().bteMsgResult, 2);
    EXPECT_TRUE(nothingSent());

    // "Quit anyway" closes.
    QTimer::singleShot(0, [this] {
        if (MessageBoxWindow* box = boxes().openBox(0)) box->answer(1);
    });
    EXPECT_TRUE(app->RequestClose());
    EXPECT_TRUE(app->ended());
    EXPECT_TRUE(nothingSent());
}

TEST_F(TableRoomTest, ClosingBetweenRoundsClosesAtOnce) {
    seatEveryone();
    EXPECT_TRUE(app->RequestClose());
    EXPECT_TRUE(app->ended());
    EXPECT_EQ(boxes().openBoxCount(), 0);
}

TEST_F(TableRoomTest, ServerClosingEndsTheTable) {
    peer->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return app->ended(); }, kLimitMs));
}

}  // namespace
}  // namespace krvo
