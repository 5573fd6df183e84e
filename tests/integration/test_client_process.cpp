// The real client binary as the lobby starts it.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "core/framing.h"
#include "core/packet.h"
#include "state/command_line.h"
#include "support/game_packets.h"
#include "support/garbage_frames.h"
#include "support/qt_test_application.h"
#include "support/scripted_server.h"
#include "support/temporary_platform.h"

namespace {

constexpr int kLimitMs = 30000;

QStringList validFields(quint16 port) {
    return {QString::fromUtf8(krvo::kLaunchToken.data(), krvo::kLaunchToken.size()),
            "127.0.0.1",
            QString::number(port),
            QStringLiteral("测试牌桌"),
            QStringLiteral("新手_0`老手_100"),
            "x",
            "y",
            QStringLiteral("玩家甲"),
            "0"};
}

struct Outcome {
    int exitCode = -1;
    QString standardError;
};

class ClientProcess : public ::testing::Test {
protected:
    static void SetUpTestSuite() { krvo::testing::EnsureQtApplication(); }

    static QProcessEnvironment offscreen() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        return env;
    }

    void start(const QStringList& args, const QProcessEnvironment& env = offscreen()) {
        ASSERT_TRUE(platform.isValid());
        process.setProcessEnvironment(env);
        process.start(platform.client(), args);
        ASSERT_TRUE(process.waitForStarted(kLimitMs));
    }

    // The client beside its own preferences, never the ones a person left in
    // the build's program directory.
    krvo::testing::TemporaryPlatform platform{QFileInfo(KRVO_CLIENT_BINARY).path(),
                                              QFileInfo(KRVO_CLIENT_BINARY).fileName()};

    Outcome finish() {
        Outcome run;
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, kLimitMs));
        run.exitCode = process.exitCode();
        run.standardError = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    QProcess process;
};

TEST_F(ClientProcess, WrongFieldCountIsError1) {
    for (int extra : {-1, 1}) {
        QStringList args = validFields(1);
        if (extra < 0)
            args.removeLast();
        else
            args << "more";
        start(args);
        const Outcome run = finish();
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.standardError.contains(QStringLiteral("1号错误，无法正常启动游戏！")))
            << run.standardError.toStdString();
    }
}

TEST_F(ClientProcess, WrongTokenIsError2) {
    QStringList args = validFields(1);
    args[0] = args[0].toUpper();
    start(args);
    const Outcome run = finish();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.standardError.contains(QStringLiteral("2号错误，无法正常启动游戏！")))
        << run.standardError.toStdString();
}

// A display name that no X server answers on this machine.
QString UnservedDisplay() {
    for (int n = 200; n < 400; ++n) {
        if (!QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) &&
            !QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n))) {
            return QStringLiteral(":%1").arg(n);
        }
    }
    return QStringLiteral(":399");
}

// On a display that cannot be opened a start error, and a valid start too,
// is printed and the program ends with 1 instead of an abort inside Qt.
TEST_F(ClientProcess, ADisplayThatCannotBeOpenedIsPrintedAndEndsWith1) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"}) {
        env.remove(name);
    }
    env.insert("DISPLAY", UnservedDisplay());
    QStringList refused = validFields(1);
    refused.removeLast();
    const struct {
        QStringList args;
        QString printed;
    } cases[] = {{refused, QStringLiteral("1号错误，无法正常启动游戏！")},
                 {validFields(1), QStringLiteral("无法打开显示器")}};
    for (const auto& c : cases) {
        start(c.args, env);
        const Outcome run = finish();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.standardError.contains(c.printed)) << run.standardError.toStdString();
    }
}

TEST_F(ClientProcess, LogsInWithOneFrameFromItsOwnPreferencesAndSaysSoWhenTheServerCloses) {
    struct Case {
        const char* preferences;  // null: no file
        const char* watchCards;
    };
    for (const Case& c : {Case{nullptr, "0"}, Case{"1\r\n0\r\n1\r\n1\r\n1\r\n", "1"}}) {
        SCOPED_TRACE(c.watchCards);
        QFile file(platform.appDir() + "/UserSet.ini");
        file.remove();
        if (c.preferences != nullptr) {
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.preferences);
            file.close();
        }
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        start(validFields(server.serverPort()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.hasPendingConnections(); }, kLimitMs));
        QTcpSocket* peer = server.nextPendingConnection();
        const QByteArray expected =
            QByteArray::fromHex("0000000c8200") + "500`KRVO`" + c.watchCards;
        QByteArray received;
        (void)QTest::qWaitFor(
            [&] {
                received += peer->readAll();
                return received.size() >= expected.size();
            },
            kLimitMs);
        // Nothing more may follow the login frame.
        QTest::qWait(200);
        received += peer->readAll();
        EXPECT_EQ(received.toHex().toStdString(), expected.toHex().toStdString());
        peer->close();
        const Outcome run = finish();
        EXPECT_EQ(run.exitCode, 6) << run.standardError.toStdString();
        EXPECT_TRUE(run.standardError.contains(QStringLiteral("与房间服务器的连接断开了")));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    }
}

TEST_F(ClientProcess, RefusedConnectionSaysWhereAndEndsWithItsOwnStatus) {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();  // nothing listens there now
    start(validFields(port));
    const Outcome run = finish();
    EXPECT_EQ(run.exitCode, 7) << run.standardError.toStdString();
    EXPECT_TRUE(run.standardError.contains(
        QStringLiteral("无法连接到房间服务器，请稍后再试。（127.0.0.1:%1，退出状态 7）").arg(port)))
        << run.standardError.toStdString();
}

// The peak of the process's resident memory, in MiB; 0 when unknown.
long PeakMemoryMiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLong() / 1024;
    }
    return 0;
}

// The test plays the room server of a client it started.
class FloodedClient : public ClientProcess {
protected:
    using Packet = krvo::Packet;

    // Seats the client alone in myChair; chair 3 declares first, so the
    // client's clock does not run.
    void connectAndStartARound(std::uint8_t myChair) {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        start(validFields(server.serverPort()), measured());
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.hasPendingConnections(); }, kLimitMs));
        peer = server.nextPendingConnection();
        using krvo::testing::message;
        ASSERT_EQ(nextPacket(), message(130, 0, "500`KRVO`0"));
        write({message(130, 3, kMe + "`" + kMe), userList(myChair), roundStart()});
        ASSERT_EQ(nextPacket(), (Packet{130, 1}));
        ASSERT_EQ(nextPacket(), (Packet{19, myChair}));
    }

    // Freed memory waits in the address sanitizer's quarantine, 256 MiB by
    // default; a burst of boxes that come and go would fill it, and the peak
    // would measure the sanitizer instead of the client.
    static QProcessEnvironment measured() {
        QProcessEnvironment env = offscreen();
        const QString options = env.value(QStringLiteral("ASAN_OPTIONS"));
        env.insert(QStringLiteral("ASAN_OPTIONS"), (options.isEmpty() ? QString() : options + ':') +
                                                       QStringLiteral("quarantine_size_mb=16"));
        return env;
    }

    static Packet userList(std::uint8_t myChair) {
        return krvo::testing::message(130, 2, krvo::testing::row(kMe, "", myChair));
    }

    // Chair 3 declares first.
    static Packet roundStart() {
        return krvo::testing::roundStartPacket({.declareTime = 1,
                                                .playTime = 1,
                                                .curChair = 3,
                                                .state = 1,
                                                .firstChair = 0,
                                                .announceFirst = 0,
                                                .maxLeave = 0});
    }

    void write(const std::vector<Packet>& packets, int copies = 1) {
        QByteArray bytes;
        for (const Packet& packet : packets) {
            const std::vector<std::uint8_t> frame = krvo::EncodeFrame(packet);
            bytes.append(reinterpret_cast<const char*>(frame.data()),
                         static_cast<qsizetype>(frame.size()));
        }
        peer->write(bytes.repeated(copies));
        peer->flush();
    }

    Packet nextPacket() {
        return krvo::testing::NextPacket(
            *peer, decoder, kLimitMs, [this] { return process.state() == QProcess::NotRunning; });
    }

    inline static const std::string kMe = "玩家甲";
    QTcpServer server;
    QTcpSocket* peer = nullptr;
    krvo::FrameDecoder decoder;
};

// Bursts whose every packet waits, in one write behind a leave question from
// chair 1. The client stays up with its memory bounded, answers the question
// when its countdown ends, and says so when the server goes.
TEST_F(FloodedClient, StaysUpAndAnswersThroughBurstsOfWaitingPackets) {
    struct Burst {
        const char* name;
        Packet packet;
        int copies;
        std::uint8_t myChair;  // not the requester of the leave requests
    };
    const Burst bursts[] = {
        {"trick-winning plays", {21, 0, 2, 9, 1, 0, 0, 1, 5}, 3000, 0},
        {"leave requests", {24, 0, 0, 0, 'n', 'u', 'l', 'l'}, 3000, 2},
        {"refusals", {22, 'n', 'o'}, 2000, 0},
    };
    // The client's own size is a few tens of MiB; an open box costs about one.
    constexpr long kMemoryLimitMiB = 250;
    for (const Burst& burst : bursts) {
        SCOPED_TRACE(burst.name);
        ASSERT_NO_FATAL_FAILURE(connectAndStartARound(burst.myChair));
        write({{24, 0, 1, 'n', 'u', 'l', 'l'}});
        write({burst.packet}, burst.copies);
        const Packet expected{24, 1, burst.myChair, 1};
        Packet vote;
        do {
            vote = nextPacket();
        } while (!vote.empty() && vote != expected);
        EXPECT_EQ(vote, expected);
        const long peak = PeakMemoryMiB(process.processId());
        EXPECT_LT(peak, kMemoryLimitMiB);
        std::cout << "[ figures  ] " << burst.name << ": peak " << peak << " MiB\n";
        peer->close();
        const Outcome run = finish();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(run.exitCode, 6) << run.standardError.toStdString();
        server.close();
        decoder = {};
    }
}

// A burst of waiting garbage, then a valid table reset, user list and round
// start: the client works the backlog off and answers the round start within
// seconds instead of playing every pause and box at full length.
TEST_F(FloodedClient, CatchesUpAfterABurstAndAnswersTheNextRoundStart) {
    constexpr std::uint8_t kChair = 0;
    constexpr int kBurst = 10000;
    // The goal for the Release client; the sanitizers' client takes about a
    // second, so this leaves room for a slow machine.
    constexpr double kLimitSeconds = 10;
    ASSERT_NO_FATAL_FAILURE(connectAndStartARound(kChair));
    std::mt19937 random(21);
    std::vector<Packet> burst;
    for (int n = 0; n < kBurst; ++n) burst.push_back(krvo::testing::GarbageGameFrame(random));
    write(burst);
    write({{130, 1}, userList(kChair), roundStart()});
    QElapsedTimer sinceLast;
    sinceLast.start();
    const Packet expected{19, kChair};
    Packet answer;
    do {
        answer = nextPacket();
    } while (!answer.empty() && answer != expected);
    const double seconds = static_cast<double>(sinceLast.elapsed()) / 1000;
    EXPECT_EQ(answer, expected);
    EXPECT_LT(seconds, kLimitSeconds);
    std::cout << "[ figures  ] " << kBurst << " garbage frames: round start answered " << seconds
              << " s after the last packet\n";
    peer->close();
    EXPECT_EQ(finish().exitCode, 6);
}

}  // namespace
