// The real client binary as the lobby starts it.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "app/command_line.h"
#include "support/qt_test_application.h"

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

    void start(const QStringList& args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.start(KRVO_CLIENT_BINARY, args);
        ASSERT_TRUE(process.waitForStarted(kLimitMs));
    }

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

TEST_F(ClientProcess, LogsInWithOneFrameAndEndsWhenTheServerCloses) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    start(validFields(server.serverPort()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.hasPendingConnections(); }, kLimitMs));
    QTcpSocket* peer = server.nextPendingConnection();
    const QByteArray expected = QByteArray::fromHex("0000000c8200") + "500`KRVO`0";
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
    EXPECT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
}

TEST_F(ClientProcess, RefusedConnectionEndsTheProgramWithStatus0) {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();  // nothing listens there now
    start(validFields(port));
    const Outcome run = finish();
    EXPECT_EQ(run.exitCode, 0) << run.standardError.toStdString();
}

}  // namespace
