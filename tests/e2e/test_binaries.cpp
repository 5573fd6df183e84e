// The real krvo-server and krvo programs, started as the launcher starts them:
// with nobody at the screen, the client plays on its own time-outs and leaves
// the table cleanly at its limit of automatic plays. The play time stays above
// the ten seconds of the client's notices, so that each notice has closed
// before the next time-out.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTest>

#include <set>
#include <utility>

#include "core/framing.h"
#include "core/packet.h"
#include "state/command_line.h"
#include "support/qt_test_application.h"
#include "support/temporary_platform.h"

namespace krvo {
namespace {

constexpr int kStartLimitMs = 30000;
constexpr int kGameLimitMs = 90000;

QProcessEnvironment Offscreen() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

// A bare connection that logs in after the player and so watches as an
// onlooker, keeping the (main id, sub id) of everything it is sent.
class Onlooker {
public:
    bool connectTo(quint16 port) {
        socket_.connectToHost(QHostAddress::LocalHost, port);
        if (!socket_.waitForConnected(kStartLimitMs)) return false;
        Packet login = {130, 0};
        const std::uint8_t header[] = {130, 0};
        BuildPacket("500`KRVO`0", login, 2, header);
        const std::vector<std::uint8_t> frame = EncodeFrame(login);
        socket_.write(reinterpret_cast<const char*>(frame.data()),
                      static_cast<qint64>(frame.size()));
        return socket_.flush() || socket_.bytesToWrite() == 0;
    }
    void read() {
        const QByteArray bytes = socket_.readAll();
        decoder_.feed(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                static_cast<std::size_t>(bytes.size())));
        while (auto next = decoder_.next()) {
            if (next->size() >= 2) seen.emplace((*next)[0], (*next)[1]);
        }
    }
    bool saw(std::uint8_t main, std::uint8_t sub) const { return seen.contains({main, sub}); }
    void close() { socket_.disconnectFromHost(); }

    std::set<std::pair<std::uint8_t, std::uint8_t>> seen;

private:
    QTcpSocket socket_;
    FrameDecoder decoder_;
};

class RealPrograms : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureQtApplication(); }

    void TearDown() override {
        for (QProcess* process : {&client, &server}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(kStartLimitMs);
            }
        }
    }

    // Starts the server and returns the port from its first line.
    quint16 startServer(const QStringList& args) {
        server.setProcessEnvironment(Offscreen());
        server.start(KRVO_SERVER_BINARY, args);
        if (!server.waitForStarted(kStartLimitMs)) return 0;
        (void)QTest::qWaitFor([&] { return server.canReadLine(); }, kStartLimitMs);
        const QString first = QString::fromUtf8(server.readLine()).trimmed();
        const QRegularExpressionMatch match =
            QRegularExpression("^listening on 127\\.0\\.0\\.1:(\\d+)$").match(first);
        return match.hasMatch() ? static_cast<quint16>(match.captured(1).toUInt()) : 0;
    }

    QProcess server;
    QProcess client;
    // The client beside preferences of its own, not the ones of `make run`.
    testing::TemporaryPlatform platform{QFileInfo(KRVO_CLIENT_BINARY).path(),
                                        QFileInfo(KRVO_CLIENT_BINARY).fileName()};
    QString serverOutput;
};

TEST_F(RealPrograms, TheClientLeavesCleanlyAtItsAutomaticPlayLimit) {
    const quint16 port =
        startServer({"--port", "0", "--humans", "1", "--seed", "11", "--auto-start", "--play-time",
                     "10", "--declare-time", "1", "--autoplay-limit", "1", "--exit-when-empty"});
    ASSERT_NE(port, 0) << server.readAllStandardError().toStdString();

    client.setProcessEnvironment(Offscreen());
    ASSERT_TRUE(platform.isValid());
    client.start(platform.client(),
                 {QString::fromUtf8(kLaunchToken.data(), kLaunchToken.size()), "127.0.0.1",
                  QString::number(port), QStringLiteral("端到端"),
                  QStringLiteral("新手_0`熟手_100"), "-", "-", QStringLiteral("玩家"), "1"});
    ASSERT_TRUE(client.waitForStarted(kStartLimitMs));
    // The player is seated once a round was dealt; then an onlooker may come.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            serverOutput += QString::fromUtf8(server.readAllStandardOutput());
            return serverOutput.contains("dealt round 1");
        },
        kStartLimitMs));
    Onlooker onlooker;
    ASSERT_TRUE(onlooker.connectTo(port));

    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            onlooker.read();
            return client.state() == QProcess::NotRunning;
        },
        kGameLimitMs));
    EXPECT_EQ(client.exitStatus(), QProcess::NormalExit);
    // The status that tells a launcher the player was counted as running away.
    EXPECT_EQ(client.exitCode(), 3) << client.readAllStandardError().toStdString();
    // Seen from the table: the player's connection ended during a round, so the
    // server marked the player offline; plays had been made.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            onlooker.read();
            return onlooker.saw(108, 3);
        },
        kStartLimitMs));
    EXPECT_TRUE(onlooker.saw(130, 3));  // the onlooker's own identity
    EXPECT_TRUE(onlooker.saw(21, 0));

    // The last person gone, the server ends by itself.
    onlooker.close();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return server.state() == QProcess::NotRunning; }, kStartLimitMs));
    EXPECT_EQ(server.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(server.exitCode(), 0);
}

}  // namespace
}  // namespace krvo
