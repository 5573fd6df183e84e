#pragma once
// The whole client (minus the entry point) against a scripted room server on
// 127.0.0.1: the test plays the server, and time moves only when the test (or
// a wait inside the client) moves the ManualClock.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>
#include <span>

#include "app/table_app.h"
#include "chrome/game_main_window.h"
#include "core/framing.h"
#include "core/packet.h"
#include "dialogs/message_box_registry.h"
#include "dialogs/message_box_window.h"
#include "controls/chat_control.h"
#include "controls/user_list_control.h"
#include "support/qt_test_application.h"
#include "support/recording_alerts.h"

namespace krvo::testing {

inline constexpr int kLimitMs = 10000;

inline std::string row(std::string_view name, std::string_view watched, int chair) {
    return std::string(name) + "`7`0`100`" + std::string(watched) + "`3`50`0`1`1`1`0`1000`" +
           std::to_string(chair) + "`0`0";
}

inline Packet message(std::uint8_t id, std::uint8_t sub, std::string_view body) {
    const std::uint8_t header[] = {id, sub};
    Packet packet{id, sub};
    BuildPacket(body, packet, 2, header);
    return packet;
}

// The next packet the client sends to `peer`; an empty one when none comes
// within limitMs, or once `gone` says the client can send no more.
inline Packet NextPacket(
    QTcpSocket& peer, FrameDecoder& decoder, int limitMs = kLimitMs,
    const std::function<bool()>& gone = [] { return false; }) {
    std::optional<Packet> packet;
    (void)QTest::qWaitFor(
        [&] {
            const QByteArray bytes = peer.readAll();
            decoder.feed(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                   static_cast<std::size_t>(bytes.size())));
            if (auto next = decoder.next()) packet = Packet(next->begin(), next->end());
            return packet.has_value() || gone();
        },
        limitMs);
    return packet.value_or(Packet{});
}

class ScriptedServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }

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
                if (app) deepestNesting = std::max(deepestNesting, app->waiter().nestedLoops());
                QCoreApplication::processEvents();
                clock.advance(std::min<std::int64_t>(maxMs, 100));
            },
            alerts);
        app->start();
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
    Packet nextPacket() { return NextPacket(*peer, decoder); }
    bool nothingSent() {
        QTest::qWait(50);
        return peer->bytesAvailable() == 0;
    }
    MessageBoxRegistry& boxes() { return dynamic_cast<MessageBoxRegistry&>(app->boxes()); }

    // Logs in, receives the list and takes chair 0; 甲 sits in chair 1.
    void seatEveryone() {
        deliver(message(130, 3, "我`我"));
        deliver(message(
            130, 2, row("我", "", 0) + "\r\n" + row("甲", "", 1) + "\n" + row("看客", "甲", 0)));
        ASSERT_EQ(app->table().arrSeat[1].strUserName, "甲");
    }

    QTemporaryDir directory;
    ManualClock clock;
    RecordingAlerts alerts;
    QTcpServer server;
    QTcpSocket* peer = nullptr;
    FrameDecoder decoder;
    std::unique_ptr<TableApp> app;
    // The most loops ever nested inside the client's waits.
    int deepestNesting = 0;
};

}  // namespace krvo::testing
