// The launcher's server as real processes on loopback: a clear reason when it
// cannot start and nothing left running, and a hosted table that two real
// clients join, with and without its password.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <memory>
#include <vector>

#include "launcher/hosted_server.h"
#include "launcher/launch_line.h"
#include "support/qt_test_application.h"
#include "support/temporary_platform.h"

namespace krvo::launcher {
namespace {

constexpr int kLimitMs = 60'000;

class HostedServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { krvo::testing::EnsureQtApplication(); }

    // Waits for the outcome of a start: the reason it failed, or empty once it listens.
    static QString startOutcome(HostedServer& server, const ServerLaunch& launch) {
        QSignalSpy ready(&server, &HostedServer::ready);
        QSignalSpy failed(&server, &HostedServer::failed);
        server.start(launch);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return !ready.isEmpty() || !failed.isEmpty(); }, kLimitMs));
        QTest::qWait(50);  // nothing else may follow the outcome
        EXPECT_EQ(ready.size() + failed.size(), 1);
        return failed.isEmpty() ? QString() : failed.front().front().toString();
    }
};

TEST_F(HostedServerTest, AServerThatCannotStartSaysWhyAndLeavesNothingRunning) {
    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::LocalHost, 0));
    const int busy = occupant.serverPort();
    ServerLaunch busyPort{.program = KRVO_SERVER_BINARY, .port = busy};
    ServerLaunch badAddress{.program = KRVO_SERVER_BINARY, .bind = "the-table"};
    ServerLaunch missing{.program = "/nonexistent/krvo-server"};
    ServerLaunch unnamed{};
    const struct {
        const char* what;
        ServerLaunch launch;
        QString reason;
    } cases[] = {
        {"busy port", busyPort, QString("端口 %1 已被占用，请换一个端口。").arg(busy)},
        {"bad address", badAddress,
         "牌桌服务器没能启动（krvo-server: --bind needs an IP address）。"},
        {"missing program", missing, "无法启动牌桌服务器（/nonexistent/krvo-server）。"},
        {"no program", unnamed, "找不到牌桌服务器程序 krvo-server。"},
    };
    for (const auto& c : cases) {
        HostedServer server;
        EXPECT_EQ(startOutcome(server, c.launch), c.reason) << c.what;
        EXPECT_FALSE(server.running()) << c.what;
        EXPECT_FALSE(server.listening()) << c.what;
    }
}

// A table for two people: with a password only the client that knows it sits
// down and the other is counted as refused; without one both sit down. When
// the host stops the table its port is free again.
TEST_F(HostedServerTest, TwoClientsJoinTheHostedTableWithAndWithoutThePassword) {
    const struct {
        QString password;
        QString firstGives;
        QString secondGives;
        int seated;
        int refused;
    } cases[] = {
        {"门 开`了", "门 开`了", "门 开", 1, 1},
        {{}, {}, {}, 2, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.password.toStdString());
        HostedServer server;
        ASSERT_EQ(startOutcome(
                      server, {.program = KRVO_SERVER_BINARY, .humans = 2, .password = c.password}),
                  QString());
        std::vector<std::unique_ptr<krvo::testing::TemporaryPlatform>> platforms;
        std::vector<std::unique_ptr<QProcess>> clients;
        for (const QString& password : {c.firstGives, c.secondGives}) {
            platforms.push_back(std::make_unique<krvo::testing::TemporaryPlatform>(
                QFileInfo(KRVO_CLIENT_BINARY).path(), QFileInfo(KRVO_CLIENT_BINARY).fileName()));
            ASSERT_TRUE(platforms.back()->isValid());
            const ClientLaunch launch{"玩家", "127.0.0.1", server.port(), password};
            QProcessEnvironment environment =
                ClientEnvironment(launch, QProcessEnvironment::systemEnvironment());
            environment.insert("QT_QPA_PLATFORM", "offscreen");
            auto client = std::make_unique<QProcess>();
            client->setProcessEnvironment(environment);
            client->start(platforms.back()->client(), ClientArguments(launch));
            ASSERT_TRUE(client->waitForStarted(kLimitMs));
            clients.push_back(std::move(client));
        }
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return server.people().size() + server.refusedLogins() == 2; }, kLimitMs));
        EXPECT_EQ(server.people().size(), c.seated) << server.people().join(',').toStdString();
        EXPECT_EQ(server.refusedLogins(), c.refused);
        for (const auto& client : clients) {
            EXPECT_EQ(client->state(), QProcess::Running) << "a refused client reads the notice";
            client->kill();
            client->waitForFinished(kLimitMs);
        }
        const int port = server.port();
        server.stop();
        EXPECT_FALSE(server.running());
        QTcpServer again;
        EXPECT_TRUE(again.listen(QHostAddress::LocalHost, static_cast<quint16>(port)));
    }
}

}  // namespace
}  // namespace krvo::launcher
